// The formatter alone, fed a stream of events, makes the lines the window shows.
#include "common/EngineTestSupport.h"
#include "report/LogFormatter.h"

#include <QtTest>

using namespace EngineTest;

namespace {

// Formatted lines with the panel's instruction kept apart, as the formatter hands them out.
struct Lines final : LogOutput {
    QStringList lines;
    void LogPrint(const QString &line) override { lines << line; }
    void ClearPanel() override { lines << "[clear]"; }
};

} // namespace

class TestLogFormatter : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }

    void formatterLines_data()
    {
        QTest::addColumn<bool>("english");
        QTest::newRow("German") << false;
        QTest::newRow("English") << true;
    }

    // The formatter alone, fed a stream, makes the lines the window shows; the panel's clearing is
    // an instruction, never a line.
    void formatterLines()
    {
        QFETCH(bool, english);
        if (english)
            UseEnglish();
        Lines out;
        LogFormatter f(out);
        const QDateTime when(QDate(2026, 3, 4), QTime(5, 6));
        f.runBegins(true);
        f.phaseStarted(TestPhase::MultiWrite, when);
        f.phaseSized(TestPhase::MultiWrite, 3, 30);
        f.blocksStarted(TestPhase::MultiWrite);
        FileTimed span;
        span.phase = TestPhase::MultiWrite;
        span.ms = 1234567;
        f.fileTimed(span);
        span.timed = false;
        f.fileTimed(span);
        f.phaseFinished(TestPhase::MultiWrite, 2.5, 12, when);
        f.shortRead(TestPhase::MultiRead, 2, 7, 12);
        f.failed(FailReason::TimerFailed, QString());
        f.cleanupFailed(4);
        const QStringList german = {"[clear]",
                                    "Teststart: 05:06 04.03.26",
                                    "Erstelle 3 Dateien (30 MB)",
                                    "Schreibe... ",
                                    "Zeit: 1.234,57 Sekunden (1234567 ms)",
                                    "[clear]",
                                    "Durchschnitt: 2,5 Sek.",
                                    "Durchschnitt: 12, MB/s",
                                    "Testende: 05:06 04.03.26",
                                    "",
                                    "Checksum Error! (12)",
                                    "Fehler bei der Kommunikation der Timerkomponente!",
                                    "Kann Testdatei 4.tst nicht löschen!"};
        if (!english) {
            QCOMPARE(out.lines, german);
            return;
        }
        QCOMPARE(out.lines.size(), german.size());
        QCOMPARE(out.lines.at(4), QString("Time: 1,234.57 seconds (1234567 ms)"));
        QVERIFY(!out.lines.contains("Durchschnitt: 2,5 Sek."));
    }
};

QTEST_GUILESS_MAIN(TestLogFormatter)
#include "tst_logformatter.moc"
