#include "platform/LikeMatch.h"

namespace {

// Matches one bracketed list starting after "[" at pattern[p]; sets end to the index after "]".
// Returns false for an unclosed list.
bool ParseList(const QString &pattern, qsizetype p, QChar c, bool &matched, qsizetype &end)
{
    bool negate = false;
    if (p < pattern.size() && pattern[p] == u'!') {
        negate = true;
        ++p;
    }
    const qsizetype close = pattern.indexOf(u']', p);
    if (close < 0)
        return false;
    bool found = false;
    for (qsizetype i = p; i < close; ++i) {
        if (i + 2 < close && pattern[i + 1] == u'-') {
            if (c >= pattern[i] && c <= pattern[i + 2])
                found = true;
            i += 2;
        } else if (pattern[i] == c) {
            found = true;
        }
    }
    matched = negate ? !found : found;
    end = close + 1;
    return true;
}

bool MatchFrom(const QString &text, qsizetype t, const QString &pattern, qsizetype p)
{
    while (p < pattern.size()) {
        const QChar pc = pattern[p];
        if (pc == u'*') {
            while (p < pattern.size() && pattern[p] == u'*')
                ++p;
            if (p == pattern.size())
                return true;
            for (qsizetype k = t; k <= text.size(); ++k)
                if (MatchFrom(text, k, pattern, p))
                    return true;
            return false;
        }
        if (pc == u'[') {
            // "[]" stands for nothing and consumes no character.
            if (p + 1 < pattern.size() && pattern[p + 1] == u']') {
                p += 2;
                continue;
            }
            if (t >= text.size())
                return false;
            bool matched = false;
            qsizetype end = 0;
            if (!ParseList(pattern, p + 1, text[t], matched, end) || !matched)
                return false;
            p = end;
            ++t;
            continue;
        }
        if (t >= text.size())
            return false;
        if (pc == u'?' || (pc == u'#' && text[t] >= u'0' && text[t] <= u'9') || pc == text[t]) {
            ++p;
            ++t;
            continue;
        }
        return false;
    }
    return t == text.size();
}

bool ListsClosed(const QString &pattern)
{
    for (qsizetype p = pattern.indexOf(u'['); p >= 0; p = pattern.indexOf(u'[', p + 1)) {
        const qsizetype close = pattern.indexOf(u']', p + 1);
        if (close < 0)
            return false;
        p = close;
    }
    return true;
}

} // namespace

bool LikeMatch(const QString &text, const QString &pattern)
{
    // A malformed pattern is an error, whatever the text.
    if (!ListsClosed(pattern))
        return false;
    return MatchFrom(text, 0, pattern, 0);
}
