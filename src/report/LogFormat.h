#pragma once

#include <QDateTime>
#include <QString>

// The number and date texts of the log, in the default locale (QLocale()).
namespace LogFormat {

// "#.##": at most two decimals, no leading zero, no trailing zeros, the separator always written:
// 2.5 -> "2,5", 2 -> "2,", 0.25 -> ",25" in German.
QString Seconds(double value);
// The multiple write phase's "#.##0.00": read as a grouped number with exactly two decimals
// ("1.234,56" in German), which shows the seconds with their fraction.
QString GroupedSeconds(double value);
// General number text: at most 15 significant digits, no grouping, the locale's separator.
QString General(double value);
// "hh:mm dd.mm.yy" with the locale's time separator.
QString TimeOfDay(const QDateTime &when);
// A number with its sign position: " 1", "-1".
QString Signed(qint64 value);

} // namespace LogFormat
