#include "shell/results/ResultsTexts.h"

#include "lang/modLang.h"

#include <algorithm>

namespace ResultsTexts {

namespace {

QString Text(int number, const char *defaultText)
{
    return LangText(number, false, false, false, QString::fromUtf8(defaultText));
}

// A list kept in one entry, its items separated by "|" (which the table holds as line breaks).
QStringList List(int number, const char *defaultText)
{
    return Text(number, defaultText).split(QStringLiteral("\r\n"));
}

} // namespace

QString MenuEntry()
{
    return Text(150, "Results...");
}
QString Title()
{
    return Text(151, "Results");
}
QString LastRunTab()
{
    return Text(152, "Last run");
}
QString HistoryTab()
{
    return Text(153, "History");
}
QString CompareTab()
{
    return Text(154, "Compare");
}
QString CompareButton()
{
    return Text(155, "Compare chosen");
}
QString ExportJsonButton()
{
    return Text(156, "Export JSON...");
}
QString ExportCsvButton()
{
    return Text(157, "Export CSV...");
}
QString DeleteButton()
{
    return Text(158, "Delete chosen");
}
QStringList HistoryHeaders()
{
    QStringList headers =
        List(159, "Date\r\nTarget\r\nDevice\r\nKind\r\nFiles × MB\r\nWrite MB/s\r\nRead MB/s\r\nOptions\r\nOutcome");
    headers.insert(std::min<qsizetype>(7, headers.size()), Text(269, "Profiles")); // after the rates
    return headers;
}
QStringList CompareHeaders()
{
    return List(160, "Figure\r\nFirst run\r\nSecond run\r\nDifference");
}
QStringList FileHeaders()
{
    return List(161, "File\r\nWrite (ms)\r\nRead (ms)\r\nDirect I/O\r\nCached before read");
}
QString FileChartTitle()
{
    return Text(162, "Time per file (ms)");
}
QString LatencyChartTitle()
{
    return Text(163, "Block latency per phase (µs)");
}
QString Write()
{
    return Text(164, "Write");
}
QString Read()
{
    return Text(165, "Read");
}
QStringList FigureNames()
{
    return List(166, "Write rate (MB/s)\r\nRead rate (MB/s)\r\nWrite time (ms)\r\nRead time (ms)\r\n"
                     "Write latency p50 (µs)\r\nWrite latency p99 (µs)\r\nWrite latency max (µs)\r\n"
                     "Read latency p50 (µs)\r\nRead latency p99 (µs)\r\nRead latency max (µs)\r\n"
                     "Files\r\nFile size (MB)");
}
QString NoRun()
{
    return Text(167, "Noch kein Testlauf.");
}
QString StoreUnusable()
{
    return Text(168, "Der Verlauf kann nicht benutzt werden:");
}
QString FolderNotCreated()
{
    return Text(169, "Sein Ordner kann nicht angelegt werden.");
}
QString ReadOnly()
{
    return Text(170, "Die Datei oder ihr Ordner ist schreibgeschützt.");
}
QString MovedAside()
{
    return Text(171, "Die Datei war beschädigt und wurde beiseitegelegt als:");
}
QString NewerSchema()
{
    return Text(172, "Die Datei stammt von einer neueren Version und bleibt unverändert.");
}
QString DatabaseError()
{
    return Text(173, "Datenbankfehler:");
}
QString Skipped()
{
    return Text(174, "Nicht lesbare Einträge übersprungen: ");
}
QString ChooseTwo()
{
    return Text(175, "Bitte genau zwei Testläufe wählen.");
}
QString ConfirmDelete()
{
    return Text(176, "Die gewählten Testläufe löschen?");
}
QString CannotWrite()
{
    return Text(177, "Die Datei kann nicht geschrieben werden:");
}
QStringList ProfileHeaders()
{
    return List(262, "Profile\r\nPass\r\nMB/s\r\nIOPS\r\np50 (µs)\r\np99 (µs)\r\np99.9 (µs)\r\nmax (µs)\r\nEngine");
}
QString ProfileRateChartTitle()
{
    return Text(263, "MB/s per profile and pass");
}
QString ProfileLatencyChartTitle()
{
    return Text(264, "Block latency per profile (µs)");
}
QString Pass()
{
    return Text(265, "Pass");
}
QStringList ProfileFigureNames()
{
    return List(266, "Best MB/s\r\nMean MB/s\r\nBest IOPS\r\nMean IOPS\r\nLatency p50 (µs)\r\n"
                     "Latency p99 (µs)\r\nLatency max (µs)");
}
QStringList ProfileCompareHeaders()
{
    return List(267, "Profile\r\nFigure\r\nFirst run\r\nSecond run\r\nDifference");
}
QString ProfileWithClassic()
{
    return Text(268, "Ein Profillauf lässt sich nur mit einem Profillauf vergleichen.");
}
QStringList YesNo()
{
    return List(178, "yes\r\nno");
}

} // namespace ResultsTexts
