#include "engine/RunDriver.h"

#include <QLocale>
#include <cmath>

namespace RunDriver {

namespace {

bool ReadNumber(const QString &text, double &value)
{
    bool ok = false;
    const QString trimmed = text.trimmed();
    value = QLocale().toDouble(trimmed, &ok);
    return ok && std::isfinite(value);
}

} // namespace

bool ReadWholeNumber(const QString &text, int32_t &value)
{
    double number = 0;
    if (!ReadNumber(text, number))
        return false;
    const double whole = std::floor(number);
    if (whole < -2147483648.0 || whole > 2147483647.0)
        return false;
    value = static_cast<int32_t>(whole);
    return true;
}

int16_t ReadCount16(const QString &text)
{
    double number = 0;
    if (!ReadNumber(text, number))
        return 0;
    const double rounded = std::nearbyint(number); // the default rounding mode: halves to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return 0;
    return static_cast<int16_t>(rounded);
}

} // namespace RunDriver
