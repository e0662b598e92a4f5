#include "engine/PhaseSupport.h"

#include "engine/EngineFormat.h"
#include "lang/modLang.h"
#include "platform/modFile.h"

#include <QDateTime>

namespace PhaseSupport {

std::optional<int32_t> Mul(int32_t a, int32_t b)
{
    int32_t r = 0;
    if (__builtin_mul_overflow(a, b, &r))
        return std::nullopt;
    return r;
}

std::optional<int32_t> Add(int32_t a, int32_t b)
{
    int32_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return std::nullopt;
    return r;
}

std::optional<int32_t> Sub(int32_t a, int32_t b)
{
    int32_t r = 0;
    if (__builtin_sub_overflow(a, b, &r))
        return std::nullopt;
    return r;
}

std::optional<double> Percent(std::optional<int32_t> numerator, std::optional<int32_t> denominator)
{
    if (!numerator || !denominator || *denominator == 0)
        return std::nullopt;
    const std::optional<int32_t> scaled = Mul(*numerator, 100);
    if (!scaled)
        return std::nullopt;
    return static_cast<double>(*scaled) / static_cast<double>(*denominator);
}

bool Averages(int64_t totalMs, int32_t count, int32_t sizeMB, double &average, double &rate)
{
    if (count == 0)
        return false;
    const double a = (static_cast<double>(totalMs) / 1000.0) / count;
    if (a == 0)
        return false;
    average = a;
    rate = sizeMB / a;
    return true;
}

QString TestFileName(const QString &path, int32_t number)
{
    return path + QString::number(number) + QStringLiteral(".tst");
}

uint32_t CacheFlags(const RunContext &ctx)
{
    uint32_t flags = 0;
    if (ctx.DisableCaching())
        flags = modFile::FILE_FLAG_NO_BUFFERING;
    if (ctx.WriteThrough())
        flags += modFile::FILE_FLAG_WRITE_THROUGH;
    return flags;
}

bool FailClosing(RunContext &ctx, int32_t &handle, const QString &message)
{
    modFile::CloseRawFile(handle, true);
    handle = 0;
    ctx.LogPrint(message);
    return false;
}

void CloseAll(std::vector<int32_t> &handles)
{
    for (int32_t &handle : handles) {
        modFile::CloseRawFile(handle, true);
        handle = 0;
    }
    handles.clear();
}

bool FailClosingAll(RunContext &ctx, std::vector<int32_t> &handles, const QString &message)
{
    ctx.LogPrint(message);
    CloseAll(handles);
    return false;
}

QString CreateLine(int32_t count, int32_t totalMB)
{
    return LangText(22, false, true, false, QStringLiteral("Erstelle ")) + QString::number(count) +
           LangText(23, true, true, false, QStringLiteral(" Dateien ")) + QStringLiteral("(") +
           QString::number(totalMB) + LangText(18, true, false, false, QStringLiteral(" MB")) + QStringLiteral(")");
}

QString Text(int number)
{
    switch (number) {
    case 7:
        return LangText(7, false, false, false, QStringLiteral("Werte dürfen nicht größer als 32000 sein!"));
    case 11:
        return LangText(11, false, false, false, QStringLiteral("Abbruch..."));
    case 12:
        return LangText(12, false, true, false, QStringLiteral("Kann auf "));
    case 13:
        return LangText(13, true, false, false, QStringLiteral(" nicht zugreifen!"));
    case 14:
        return LangText(14, false, true, false, QStringLiteral("Testende: "));
    case 15:
        return LangText(15, false, true, false, QStringLiteral("Durchschnitt: "));
    case 16:
        return LangText(16, true, false, false, QStringLiteral(" MB/s"));
    case 17:
        return LangText(17, true, false, false, QStringLiteral(" Sek."));
    case 19:
        return LangText(19, false, true, false, QStringLiteral("Lese "));
    case 21:
        return LangText(21, false, true, false, QStringLiteral("Teststart: "));
    case 24:
        return LangText(24, false, true, false, QStringLiteral("Zeit: "));
    case 25:
        return LangText(25, true, false, false, QStringLiteral(" Sekunden"));
    case 41:
        return LangText(41, false, false, false, QStringLiteral("Fehler bei der Kommunikation der Timerkomponente!"));
    default:
        return QString();
    }
}

QString AccessFailed(const QString &path)
{
    return Text(12) + path + Text(13);
}

QString StartLine()
{
    return Text(21) + EngineFormat::TimeOfDay(QDateTime::currentDateTime());
}

QString EndLine()
{
    return Text(14) + EngineFormat::TimeOfDay(QDateTime::currentDateTime());
}

QString TimeLine(const QString &seconds, int32_t ms)
{
    return Text(24) + seconds + Text(25) + QStringLiteral(" (") + QString::number(ms) + QStringLiteral(" ms)");
}

void LogAverages(RunContext &ctx, double average, double rate)
{
    ctx.LogPrint(Text(15) + EngineFormat::Seconds(average) + Text(17));
    ctx.LogPrint(Text(15) + EngineFormat::Seconds(rate) + Text(16));
}

} // namespace PhaseSupport
