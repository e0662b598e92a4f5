#include "platform/NumberText.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

double PrefixedInteger(const QString &text, qsizetype i, int base)
{
    std::string digits;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (IsBlank(c))
            continue;
        const int d = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                      : (base == 16 && c.toLower() >= u'a' && c.toLower() <= u'f') ? c.toLower().unicode() - 'a' + 10
                                                                                   : -1;
        if (d < 0 || d >= base)
            break;
        digits.push_back(static_cast<char>(c.toLatin1()));
        if (digits.size() > 22)
            break;
    }
    if (digits.empty())
        return 0;
    return static_cast<double>(std::strtoull(digits.c_str(), nullptr, base));
}

} // namespace

double LeadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i + 1 < text.size() && text[i] == u'&') {
        const QChar p = text[i + 1].toLower();
        if (p == u'h')
            return PrefixedInteger(text, i + 2, 16);
        if (p == u'o')
            return PrefixedInteger(text, i + 2, 8);
    }

    // Collect sign, digits, one point and an exponent, skipping blanks between them.
    std::string number;
    bool digits = false, point = false, exponent = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (IsBlank(c))
            continue;
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9') {
            number.push_back(static_cast<char>(u));
            digits = true;
        } else if ((u == '+' || u == '-') && (number.empty() || number.back() == 'e')) {
            number.push_back(static_cast<char>(u));
        } else if (u == '.' && !point && !exponent) {
            number.push_back('.');
            point = true;
        } else if ((u == 'e' || u == 'E' || u == 'd' || u == 'D') && digits && !exponent) {
            number.push_back('e');
            exponent = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    // strtod stops before a dangling "e" or sign, which is what a leading-part read wants.
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

QString WholeNumberText(const QString &text)
{
    const double whole = std::floor(LeadingNumber(text));
    if (std::fabs(whole) < 9.0e15)
        return QString::number(static_cast<long long>(whole));
    return QString::number(whole, 'g', 15);
}
