#include "report/LogFormat.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace LogFormat {

QString Seconds(double value)
{
    const QLocale locale;
    QString digits = QString::number(std::fabs(value), 'f', 2);
    const qsizetype point = digits.indexOf(u'.');
    QString whole = digits.left(point);
    QString fraction = digits.mid(point + 1);
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (whole == QLatin1String("0"))
        whole.clear();
    const bool negative = value < 0 && !(whole.isEmpty() && fraction.isEmpty());
    return (negative ? QStringLiteral("-") : QString()) + whole + locale.decimalPoint() + fraction;
}

QString GroupedSeconds(double value)
{
    return QLocale().toString(value, 'f', 2);
}

QString General(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

QString TimeOfDay(const QDateTime &when)
{
    // The separator the locale puts between hour and minute.
    const QString format = QLocale().timeFormat(QLocale::ShortFormat);
    QString separator = QStringLiteral(":");
    const qsizetype h = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    if (h >= 0) {
        qsizetype i = h;
        while (i < format.size() && (format[i] == u'h' || format[i] == u'H'))
            ++i;
        const qsizetype m = format.indexOf(u'm', i);
        if (m > i)
            separator = format.mid(i, m - i).remove(u'\'');
    }
    const QTime t = when.time();
    const QDate d = when.date();
    return QStringLiteral("%1%2%3 %4.%5.%6")
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(separator)
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.year() % 100, 2, 10, QLatin1Char('0'));
}

QString Signed(qint64 value)
{
    return value < 0 ? QString::number(value) : QStringLiteral(" ") + QString::number(value);
}

} // namespace LogFormat
