#include "engine/RunDriver.h"
#include "platform/SafeOpen.h"

#include <QFile>
#include <QLocale>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

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

bool AppendResultLog(const QString &fileName, const QString &header, const RunLog &log, const QString &trailer)
{
    const int fd = SafeOpen::OpenRegular(fileName, O_WRONLY | O_APPEND | O_CREAT);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    const auto put = [&file](const QString &text) {
        const QByteArray bytes = text.toUtf8();
        return file.write(bytes) == bytes.size();
    };
    bool ok = put(header);
    ok = ok && log.stream(put);
    ok = ok && put(trailer);
    ok = file.flush() && ok;
    file.close();
    return ok;
}

QString LogStamp(const QDateTime &when)
{
    return when.toString(QStringLiteral("MM_dd_yy_HH_mm"));
}

} // namespace RunDriver
