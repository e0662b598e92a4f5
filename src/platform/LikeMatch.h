#pragma once

#include <QString>

// The classic "Like" pattern match: ? one character, # one digit, * any run of characters,
// [abc], [a-z] and [!abc] one character from (or not from) a list. Case-sensitive; callers
// upper-case both sides. A "[" without its "]" matches nothing.
bool LikeMatch(const QString &text, const QString &pattern);
