#include "engine/LogFormatter.h"

#include "engine/EngineFormat.h"
#include "lang/modLang.h"
#include "platform/Version.h"

namespace {

QString Text(int number, bool lead, bool trail, const char16_t *german)
{
    return LangText(number, lead, trail, false, QString::fromUtf16(german));
}

QString TimeLine(const QString &seconds, int32_t ms)
{
    return Text(24, false, true, u"Zeit: ") + seconds + Text(25, true, false, u" Sekunden") + QStringLiteral(" (") +
           QString::number(ms) + QStringLiteral(" ms)");
}

} // namespace

void LogFormatter::runBegins(bool)
{
    m_out.ClearPanel();
}

void LogFormatter::phaseStarted(TestPhase, const QDateTime &time)
{
    m_out.LogPrint(Text(21, false, true, u"Teststart: ") + EngineFormat::TimeOfDay(time));
}

void LogFormatter::phaseSized(TestPhase phase, int32_t count, int32_t totalMB)
{
    if (IsWritePhase(phase))
        m_out.LogPrint(Text(22, false, true, u"Erstelle ") + QString::number(count) +
                       Text(23, true, true, u" Dateien ") + QStringLiteral("(") + QString::number(totalMB) +
                       Text(18, true, false, u" MB") + QStringLiteral(")"));
    else
        m_out.LogPrint(Text(19, false, true, u"Lese ") + QString::number(totalMB) + Text(18, false, false, u"MB"));
}

void LogFormatter::blocksStarted(TestPhase)
{
    m_out.LogPrint(Text(20, false, false, u"Schreibe... "));
}

void LogFormatter::fileStarted(TestPhase phase, int32_t file)
{
    if (IsWritePhase(phase))
        m_out.LogPrint(Text(40, false, true, u"Datei ") + EngineFormat::Signed(file) + QStringLiteral("..."));
    else
        m_out.LogPrint(Text(26, false, true, u"Lese Datei ") + EngineFormat::Signed(file));
}

void LogFormatter::fileTimed(const FileTimed &e)
{
    if (!e.timed)
        return;
    // The multiple write phase's pattern is "#.##0.00": the seconds grouped, with two decimals.
    const double seconds = e.ms / 1000.0;
    m_out.LogPrint(TimeLine(e.phase == TestPhase::MultiWrite ? EngineFormat::GroupedSeconds(seconds)
                                                             : EngineFormat::Seconds(seconds),
                            e.ms));
}

void LogFormatter::shortRead(TestPhase phase, int32_t, int64_t, int32_t bytes)
{
    if (phase == TestPhase::MultiRead)
        m_out.LogPrint(QStringLiteral("Checksum Error! (") + QString::number(bytes) + QStringLiteral(")"));
    else
        m_out.LogPrint(QStringLiteral("Checksum Error!"));
}

void LogFormatter::phaseFinished(TestPhase phase, double averageSeconds, double rateMBps, const QDateTime &time)
{
    if (phase == TestPhase::SingleWrite)
        m_out.LogPrint(QString());
    m_out.ClearPanel();
    const QString average = Text(15, false, true, u"Durchschnitt: ");
    m_out.LogPrint(average + EngineFormat::Seconds(averageSeconds) + Text(17, true, false, u" Sek."));
    m_out.LogPrint(average + EngineFormat::Seconds(rateMBps) + Text(16, true, false, u" MB/s"));
    m_out.LogPrint(Text(14, false, true, u"Testende: ") + EngineFormat::TimeOfDay(time));
    m_out.LogPrint(QString());
}

void LogFormatter::stopped(TestPhase)
{
    m_out.LogPrint(Text(11, false, false, u"Abbruch..."));
}

void LogFormatter::failed(FailReason reason, const QString &path)
{
    switch (reason) {
    case FailReason::AccessFailed:
        m_out.LogPrint(Text(12, false, true, u"Kann auf ") + path + Text(13, true, false, u" nicht zugreifen!"));
        return;
    case FailReason::ValueOverflow:
    case FailReason::LateCreateFailed:
    case FailReason::BadValues:
        m_out.LogPrint(Text(7, false, false, u"Werte dürfen nicht größer als 32000 sein!"));
        return;
    case FailReason::TimerFailed:
        m_out.LogPrint(Text(41, false, false, u"Fehler bei der Kommunikation der Timerkomponente!"));
        return;
    case FailReason::TargetRefused:
        m_out.LogPrint(LangText(54, false, false, false, QString()));
        return;
    }
}

void LogFormatter::runSummary(double writeSeconds, double writeRate, double readSeconds, double readRate)
{
    const QString seconds = Text(17, true, false, u" Sek.");
    const QString rate = Text(16, true, false, u" MB/s");
    m_out.ClearPanel();
    m_out.LogPrint(Text(2, false, false, u"Ergebnis:"));
    m_out.LogPrint(Text(3, false, true, u"Schreibzeit: ") + EngineFormat::General(writeSeconds) + seconds);
    m_out.LogPrint(EngineFormat::General(writeRate) + rate);
    m_out.LogPrint(Text(4, false, true, u"Lesezeit: ") + EngineFormat::General(readSeconds) + seconds);
    m_out.LogPrint(EngineFormat::General(readRate) + rate);
}

void LogFormatter::cleanupFailed(int32_t file)
{
    if (file == 0)
        m_out.LogPrint(Text(8, false, true, u"Kann Testdateien nicht löschen!"));
    else
        m_out.LogPrint(Text(9, false, true, u"Kann Testdatei ") + QString::number(file) +
                       Text(10, false, false, u".tst nicht löschen!"));
}

QString LogFormatter::ResultLogHeader(const QString &driveText)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString rule(43, u'#');
    return rule + crlf + QStringLiteral("# ") + LangText(5, false, true, false, QStringLiteral("Veltaro auf: ")) +
           driveText + crlf + rule + crlf + crlf;
}

QString LogFormatter::ResultLogTrailer()
{
    return QStringLiteral("\r\n") + LangText(6, false, true, false, QStringLiteral("Erstellt mit Veltaro v.")) +
           ProgramVersion() + QStringLiteral("\r\n");
}
