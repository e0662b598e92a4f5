#include "report/LogFormatter.h"

#include "lang/modLang.h"
#include "platform/Version.h"
#include "report/LogFormat.h"

#include <cstring>

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
    m_out.LogPrint(Text(21, false, true, u"Teststart: ") + LogFormat::TimeOfDay(time));
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
        m_out.LogPrint(Text(40, false, true, u"Datei ") + LogFormat::Signed(file) + QStringLiteral("..."));
    else
        m_out.LogPrint(Text(26, false, true, u"Lese Datei ") + LogFormat::Signed(file));
}

void LogFormatter::fileTimed(const FileTimed &e)
{
    if (!e.timed)
        return;
    // The multiple write phase's pattern is "#.##0.00": the seconds grouped, with two decimals.
    const double seconds = e.ms / 1000.0;
    m_out.LogPrint(TimeLine(
        e.phase == TestPhase::MultiWrite ? LogFormat::GroupedSeconds(seconds) : LogFormat::Seconds(seconds), e.ms));
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
    m_out.LogPrint(average + LogFormat::Seconds(averageSeconds) + Text(17, true, false, u" Sek."));
    m_out.LogPrint(average + LogFormat::Seconds(rateMBps) + Text(16, true, false, u" MB/s"));
    m_out.LogPrint(Text(14, false, true, u"Testende: ") + LogFormat::TimeOfDay(time));
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
    m_out.LogPrint(Text(3, false, true, u"Schreibzeit: ") + LogFormat::General(writeSeconds) + seconds);
    m_out.LogPrint(LogFormat::General(writeRate) + rate);
    m_out.LogPrint(Text(4, false, true, u"Lesezeit: ") + LogFormat::General(readSeconds) + seconds);
    m_out.LogPrint(LogFormat::General(readRate) + rate);
}

void LogFormatter::cleanupFailed(int32_t file)
{
    if (file == 0)
        m_out.LogPrint(Text(8, false, true, u"Kann Testdateien nicht löschen!"));
    else
        m_out.LogPrint(Text(9, false, true, u"Kann Testdatei ") + QString::number(file) +
                       Text(10, false, false, u".tst nicht löschen!"));
}

void LogFormatter::fileVerified(const FileVerified &e)
{
    const VerifyCounts &c = e.counts;
    if (c.badBlocks == 0 && c.misplacedBlocks == 0)
        return;
    QString line = Text(202, false, true, u"Prüfung Datei ") + QString::number(e.file) +
                   Text(203, false, true, u": beschädigt ") + QString::number(c.badBlocks) +
                   Text(204, false, true, u", vertauscht ") + QString::number(c.misplacedBlocks) +
                   Text(205, false, true, u", erster Fehler bei Byte ") + QString::number(c.firstBadOffset.value_or(0));
    if (c.misplacedBlocks > 0)
        line += Text(206, false, true, u", der erste vertauschte aus Datei ") + QString::number(e.firstOriginFile) +
                Text(207, false, true, u", Block ") + QString::number(e.firstOriginBlock);
    m_out.LogPrint(line);
}

void LogFormatter::dataVerified(int64_t failedBlocks)
{
    if (failedBlocks == 0)
        m_out.LogPrint(Text(208, false, false, u"Daten geprüft: alle Blöcke richtig."));
    else
        m_out.LogPrint(Text(209, false, true, u"Daten geprüft: ") + QString::number(failedBlocks) +
                       Text(210, true, false, u" Blöcke fehlerhaft!"));
}

QString LogFormatter::Header(const QString &driveText) const
{
    const QString crlf = QStringLiteral("\r\n");
    const QString rule(43, u'#');
    return rule + crlf + QStringLiteral("# ") + LangText(5, false, true, false, QStringLiteral("Veltaro auf: ")) +
           driveText + crlf + rule + crlf + crlf;
}

QString LogFormatter::Trailer() const
{
    return QStringLiteral("\r\n") + LangText(6, false, true, false, QStringLiteral("Erstellt mit Veltaro v.")) +
           ProgramVersion() + QStringLiteral("\r\n");
}

namespace {

// errno in the system's words; a short write has none.
QString Reason(int error)
{
    return error ? QString::fromLocal8Bit(std::strerror(error))
                 : LangText(133, false, false, false, QStringLiteral("unvollständiger Schreibzugriff"));
}

} // namespace

QString LogFormatter::BypassRefused(int error)
{
    return LangText(132, false, false, false,
                    QStringLiteral("Dieses Gerät oder Dateisystem nimmt keine Schreibzugriffe von 1 KB am "
                                   "Systemcache vorbei an (%1)."))
        .arg(Reason(error));
}

QString LogFormatter::RunWithCacheQuestion()
{
    return LangText(134, false, false, false, QStringLiteral("Soll der Test stattdessen mit Systemcache laufen?"));
}

QString LogFormatter::AllowCacheHint()
{
    return LangText(138, false, false, false,
                    QStringLiteral("Mit --allow-cache läuft der Test stattdessen mit Systemcache."));
}

QString LogFormatter::FolderBusy(const QString &path)
{
    return LangText(135, false, false, false,
                    QStringLiteral("In %1 läuft bereits ein Test. Es wurde nichts verändert."))
        .arg(path);
}

QString LogFormatter::FailedWrites(int64_t calls, int firstErrno)
{
    return LangText(136, false, false, false,
                    QStringLiteral("%1 Schreibzugriffe sind fehlgeschlagen (%2). Die angezeigten Werte messen nicht "
                                   "das Gerät."))
        .arg(calls)
        .arg(Reason(firstErrno));
}
