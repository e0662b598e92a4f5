#pragma once

#include <QString>

// Reads a text by its leading numeric part, the way typed and stored numbers are read:
// blanks are skipped, "&H"/"&O" prefixes give hex and octal, no number gives 0.
// "abc" -> 0, "12x" -> 12, " 1 2" -> 12, "-3.5e1z" -> -35.
double LeadingNumber(const QString &text);

// The largest whole number not above LeadingNumber(text), as the text written back.
QString WholeNumberText(const QString &text);
