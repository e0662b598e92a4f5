// The results window offscreen: table, charts, comparison, export and delete over a real store.
#include "common/EngineTestSupport.h"
#include "common/SystemSupport.h"
#include "controls/Chk1.h"
#include "controls/Txt.h"
#include "history/RunCompare.h"
#include "history/RunHistory.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/SaveFileDialog.h"
#include "shell/frmMain.h"
#include "shell/results/HistoryModel.h"
#include "shell/results/frmResults.h"

#include <QSqlDatabase>
#include <QtCharts>
#include <QtTest>
#include <QtWidgets>

namespace {

// A run as the engine would hand it over: per-file spans in us, block latencies in the phases.
RunRecord MakeRun(RunKind kind, int minute, const QString &target, double writeRate, double readRate,
                  const QList<int64_t> &writeUs = {}, const QList<int64_t> &readUs = {})
{
    RunRecord r = RunRecord::begin(kind);
    r.startedUtc = QDateTime(QDate(2026, 12, 6), QTime(20, minute), Qt::UTC);
    r.target = target;
    r.fileCount = int(std::max<qsizetype>(writeUs.size(), 2));
    r.fileSizeMB = 2;
    r.options.disableCaching = true;
    r.outcome.status = RunStatus::Complete;
    for (PhaseKind pk : {PhaseKind::Write, PhaseKind::Read}) {
        PhaseRecord p;
        p.kind = pk;
        p.completed = true;
        p.rateMBps = pk == PhaseKind::Write ? writeRate : readRate;
        const QList<int64_t> &spans = pk == PhaseKind::Write ? writeUs : readUs;
        for (int i = 0; i < spans.size(); ++i) {
            FileRecord f;
            f.number = i + 1;
            f.timed = true;
            f.us = spans[i];
            f.ms = int32_t(spans[i] / 1000);
            f.directIo = i != 1;
            if (pk == PhaseKind::Read)
                f.cachedShare = 0.25 * i;
            p.files.push_back(f);
            p.ms += f.ms;
        }
        // Block times spread over three powers of ten, different per phase and per run.
        for (int b = 1; b <= 1000; ++b)
            p.latency.record(uint64_t(b) * (pk == PhaseKind::Write ? 2000 : 500) * (1 + minute % 3));
        r.phases.push_back(p);
    }
    return r;
}

// A profile run: each profile's passes at the rates given, block latencies scaled by the rate.
RunRecord MakeProfileRun(int minute, const QList<std::pair<QString, QList<double>>> &profiles)
{
    RunRecord r = RunRecord::begin(RunKind::Profile);
    r.startedUtc = QDateTime(QDate(2026, 12, 6), QTime(21, minute), Qt::UTC);
    r.target = QStringLiteral("/mnt/ssd/");
    r.fileSizeMB = 40;
    r.outcome.status = RunStatus::Complete;
    for (const auto &[name, rates] : profiles) {
        ProfileRecord p;
        p.name = name;
        p.spec = QStringLiteral("seq,read,1m,qd8,jobs1,size40m,5s,passes2");
        p.engine = QStringLiteral("io_uring");
        p.status = rates.isEmpty() ? RunStatus::Failed : RunStatus::Complete;
        p.reason = rates.isEmpty() ? QStringLiteral("no_space") : QString();
        for (double rate : rates) {
            ProfilePassRecord pass;
            pass.rateMBps = rate;
            pass.iops = rate * 256;
            for (int b = 1; b <= 200; ++b)
                pass.latency.record(uint64_t(b * 100000 / rate));
            p.passes.push_back(pass);
            p.bestMBps = std::max(p.bestMBps, rate);
            p.bestIops = std::max(p.bestIops, pass.iops);
            p.meanMBps += rate / rates.size();
            p.meanIops += pass.iops / rates.size();
        }
        r.profiles.push_back(p);
    }
    return r;
}

// Adds the runs to the history at path; the ids of those added.
QList<qint64> Keep(const QString &path, const QList<RunRecord> &records)
{
    HistoryStore store(path);
    QList<qint64> ids;
    if (RunHistory::Open(store))
        for (const RunRecord &r : records)
            if (HistoryEntry e = RunHistory::EntryOf(r); store.Add(e))
                ids << e.id;
    return ids;
}

QStringList Row(const QTableWidget *table, int row)
{
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c)
        cells << (table->item(row, c) ? table->item(row, c)->text() : QString());
    return cells;
}

QStringList Column(const frmResults &w, int column)
{
    QStringList cells;
    for (int row = 0; row < w.Sorted->rowCount(); ++row)
        cells << w.Sorted->index(row, column).data().toString();
    return cells;
}

QBarSeries *Bars(QChartView *view)
{
    return view->chart()->series().isEmpty() ? nullptr : qobject_cast<QBarSeries *>(view->chart()->series().first());
}

QList<qreal> Values(const QBarSet *set)
{
    QList<qreal> values;
    for (int i = 0; i < set->count(); ++i)
        values << set->at(i);
    return values;
}

} // namespace

class tst_results : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString storePath;
    QStringList boxes; // "style|prompt"
    int answer = MsgBoxResult::Yes;
    QString saveAs;
    QList<RunRecord> runs;
    QList<qint64> ids;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
        SetMsgBoxHandler([this](const QString &prompt, int style, const QString &) {
            boxes << QStringLiteral("%1|%2").arg(style).arg(prompt);
            return answer;
        });
        SetSaveFileNameHandler([this](const QString &) { return saveAs; });
        runs = {
            MakeRun(RunKind::Single, 1, QStringLiteral("/media/usb,stick/"), 10.25, 80, {400500, 399000, 410250},
                    {100000, 90000, 95000}),
            MakeRun(RunKind::Multiple, 2, QStringLiteral("/mnt/ssd/"), 9.5, 120),
            MakeRun(RunKind::Single, 3, QStringLiteral("/media/usb,stick/"), 100, 40, {50000, 60000}, {20000, 21000})};
        storePath = dir.filePath(QStringLiteral("history.sqlite"));
        ids = Keep(storePath, runs);
        QCOMPARE(ids.size(), 3);
    }

    void init() { boxes.clear(); }

    void tableIsFilledFromTheStoreAndSortsByValue()
    {
        {
            // A row this program cannot read: shown as a count, not in the table.
            HistoryStore store(storePath);
            QVERIFY(store.Open());
            HistoryEntry broken = RunHistory::EntryOf(runs[0]);
            broken.record = R"({"program":"Veltaro","schema_version":99})";
            QVERIFY(store.Add(broken));
        }
        frmResults w(nullptr, storePath);
        w.Refresh();
        QVERIFY(boxes.isEmpty());
        QCOMPARE(w.Model->rowCount(), 3);
        QVERIFY(w.lblHistory->text().endsWith(QStringLiteral(": 1")));
        // Newest first, then sorted by value, not by text ("100" after "9.5").
        QCOMPARE(Column(w, HistoryModel::Kind), (QStringList{"single", "multiple", "single"}));
        QCOMPARE(Column(w, HistoryModel::Size),
                 (QStringList{QStringLiteral("2 × 2"), QStringLiteral("2 × 2"), QStringLiteral("3 × 2")}));
        w.HistoryView->sortByColumn(HistoryModel::WriteRate, Qt::AscendingOrder);
        QCOMPARE(Column(w, HistoryModel::WriteRate), (QStringList{"9.50", "10.25", "100.00"}));
        w.HistoryView->sortByColumn(HistoryModel::Date, Qt::AscendingOrder);
        QCOMPARE(Column(w, HistoryModel::Target), (QStringList{"/media/usb,stick/", "/mnt/ssd/", "/media/usb,stick/"}));
        QCOMPARE(Column(w, HistoryModel::Options), (QStringList(3, QStringLiteral("no cache"))));
        // The header added for profile runs sits over their column.
        QCOMPARE(w.Model->headerData(HistoryModel::Profiles, Qt::Horizontal).toString(), QStringLiteral("Profiles"));
        // Opening shows the newest stored run as the last run.
        QVERIFY(w.lblLastRun->text().contains(QStringLiteral("100.00 MB/s")));
        // Buttons follow the choice: compare wants exactly two.
        w.Choose({ids[0]});
        QVERIFY(!w.cmdCompare->isEnabled());
        QVERIFY(w.cmdExportCsv->isEnabled());
        w.Choose({ids[0], ids[2]});
        QVERIFY(w.cmdCompare->isEnabled());
        QVERIFY(w.cmdDelete->isEnabled());
    }

    void chartsShowTheRecordsFigures()
    {
        frmResults w(nullptr, storePath);
        w.show();
        const RunRecord &single = runs[0];
        w.ShowRun(single);
        QVERIFY(!w.FileChart->isHidden());
        QBarSeries *files = Bars(w.FileChart);
        QVERIFY(files);
        QCOMPARE(files->count(), 2);
        QCOMPARE(Values(files->barSets()[0]), (QList<qreal>{400.5, 399.0, 410.25}));
        QCOMPARE(Values(files->barSets()[1]), (QList<qreal>{100.0, 90.0, 95.0}));
        auto *categories = qobject_cast<QBarCategoryAxis *>(w.FileChart->chart()->axes(Qt::Horizontal).first());
        QCOMPARE(categories->categories(), (QStringList{"1", "2", "3"}));

        QBarSeries *latency = Bars(w.LatencyChart);
        QVERIFY(latency);
        QCOMPARE(latency->count(), 2);
        for (int p = 0; p < 2; ++p) {
            const LatencySummary s = LatencySummary::of(single.phases[p].latency);
            QCOMPARE(Values(latency->barSets()[p]), (QList<qreal>{s.p50Us, s.p90Us, s.p99Us, s.p999Us, s.maxUs}));
            QCOMPARE(latency->barSets()[p]->label(), p == 0 ? QStringLiteral("Write") : QStringLiteral("Read"));
        }
        // Cache state and direct I/O per file, from the record.
        QCOMPARE(w.FileTable->rowCount(), 3);
        QCOMPARE(Row(w.FileTable, 1), (QStringList{"2", "399.0", "90.0", "no", "25%"}));

        // The multiple test times whole phases: no file chart, latencies still.
        w.ShowRun(runs[1]);
        QVERIFY(w.FileChart->isHidden());
        QVERIFY(Bars(w.LatencyChart));
        QCOMPARE(w.FileTable->rowCount(), 0);
    }

    void chosenRunsAreComparedExportedAndDeleted()
    {
        frmResults w(nullptr, storePath);
        w.Refresh();
        w.Choose({ids[0]});
        QVERIFY(!w.CompareChosen());
        QCOMPARE(boxes.size(), 1);
        // Chosen newest first; compared oldest first.
        w.Choose({ids[2], ids[0]});
        QVERIFY(w.CompareChosen());
        QCOMPARE(w.Tabs->currentWidget(), w.CompareTable);
        QCOMPARE(w.CompareTable->rowCount(), RunCompare::kFigureCount);
        const auto row = [&](RunCompare::Figure f) { return Row(w.CompareTable, int(f)).join(u'|'); };
        QCOMPARE(row(RunCompare::Figure::WriteRate), QStringLiteral("Write rate (MB/s)|10.25|100.00|+875.6 %"));
        QCOMPARE(row(RunCompare::Figure::ReadRate), QStringLiteral("Read rate (MB/s)|80.00|40.00|-50.0 %"));
        QCOMPARE(row(RunCompare::Figure::Files), QStringLiteral("Files|3.00|2.00|-33.3 %"));
        const double p50first = LatencySummary::of(runs[0].phases[0].latency).p50Us;
        const double p50second = LatencySummary::of(runs[2].phases[0].latency).p50Us;
        QCOMPARE(row(RunCompare::Figure::WriteP50),
                 QStringLiteral("Write latency p50 (µs)|%1|%2|%3")
                     .arg(QString::number(p50first, 'f', 2), QString::number(p50second, 'f', 2),
                          QString::number((p50second - p50first) / p50first * 100, 'f', 1) + " %"));
        QVERIFY(w.CompareTable->horizontalHeaderItem(1)->text().contains(
            runs[0].startedUtc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
        // Rates of 0 are real figures: no change from 0 to 0, no per cent from 0 to anything else.
        QCOMPARE(RunCompare::PercentChange(0.0, 0.0), std::optional<double>(0.0));
        QVERIFY(!RunCompare::PercentChange(0.0, 5.0));

        // Exported oldest first too, and read back as they were.
        saveAs = dir.filePath(QStringLiteral("runs.json"));
        QVERIFY(w.ExportChosen(frmResults::Format::Json));
        const QJsonArray array = QJsonDocument::fromJson(EngineTest::ReadAll(saveAs)).array();
        QCOMPARE(array.size(), 2);
        QCOMPARE(RunRecord::fromJson(array[0].toObject()), std::optional<RunRecord>(runs[0]));
        QCOMPARE(RunRecord::fromJson(array[1].toObject()), std::optional<RunRecord>(runs[2]));

        saveAs = dir.filePath(QStringLiteral("runs.csv"));
        QVERIFY(w.ExportChosen(frmResults::Format::Csv));
        const QStringList lines =
            QString::fromUtf8(EngineTest::ReadAll(saveAs)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(QStringLiteral("run_id,started_utc,target,")));
        QCOMPARE(lines[1], QStringLiteral("%1,2026-12-06T20:01:00.000Z,\"/media/usb,stick/\",,single,complete,3,2,"
                                          "1209,285,10.250,80.000,no cache,")
                               .arg(QString::fromLatin1(runs[0].runId)));

        // A file that cannot be written: one box naming it, and a false result.
        saveAs = dir.filePath(QStringLiteral("missing/runs.csv"));
        QVERIFY(!w.ExportChosen(frmResults::Format::Csv));
        QCOMPARE(boxes.size(), 2);
        QVERIFY(boxes[1].startsWith(QStringLiteral("16|")));
        QVERIFY(boxes[1].contains(saveAs));
        saveAs.clear(); // cancelled
        QVERIFY(!w.ExportChosen(frmResults::Format::Json));
        QCOMPARE(boxes.size(), 2);

        // Deleting asks first.
        w.Choose({ids[0], ids[1]});
        answer = MsgBoxResult::No;
        QVERIFY(!w.DeleteChosen());
        QCOMPARE(w.Model->rowCount(), 3);
        answer = MsgBoxResult::Yes;
        QVERIFY(w.DeleteChosen());
        QCOMPARE(w.Model->rowCount(), 1);
        QCOMPARE(w.Model->EntryAt(0).id, ids[2]);
        QCOMPARE(boxes.size(), 4);
    }

    void unusableHistoryIsToldOnceAndRunsStillShow()
    {
        const QString blocker = dir.filePath(QStringLiteral("blocker"));
        QVERIFY(SystemTest::WriteFile(blocker));
        const QString path = blocker + QStringLiteral("/veltaro/history.sqlite");
        frmResults w(nullptr, path);
        w.Refresh();
        w.RunEnded(runs[0]);
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].startsWith(QStringLiteral("16|Der Verlauf kann nicht benutzt werden:")));
        QVERIFY(boxes[0].contains(path));
        QCOMPARE(w.Model->rowCount(), 0);
        QVERIFY(w.lblLastRun->text().contains(QStringLiteral("10.25 MB/s")));

        // A damaged file: moved aside, told as information, and the window works on a new file.
        const QString damaged = dir.filePath(QStringLiteral("damaged/history.sqlite"));
        QVERIFY(SystemTest::WriteFile(damaged, QByteArray(8192, 'x')));
        frmResults repaired(nullptr, damaged);
        repaired.Refresh();
        QCOMPARE(boxes.size(), 2);
        QVERIFY(boxes[1].startsWith(QStringLiteral("64|Die Datei war beschädigt")));
        QVERIFY(boxes[1].contains(damaged + QStringLiteral(".damaged-")));
    }

    void profileRunsShowTheirFiguresAndCompareByProfile()
    {
        const RunRecord first = MakeProfileRun(4, {{"seq1m-qd8-read", {500, 520}}, {"gone", {50}}, {"full", {}}});
        const RunRecord second = MakeProfileRun(5, {{"seq1m-qd8-read", {546, 480}}, {"new", {100}}});
        const QString path = dir.filePath(QStringLiteral("profiles.sqlite"));
        const QList<qint64> profileIds = Keep(path, {first, second, runs[0]});
        QCOMPARE(profileIds.size(), 3);
        frmResults w(nullptr, path);
        w.show();
        w.Refresh();
        w.HistoryView->sortByColumn(HistoryModel::Date, Qt::AscendingOrder);
        QCOMPARE(Column(w, HistoryModel::Kind), (QStringList{"single", "profile", "profile"}));
        QCOMPARE(Column(w, HistoryModel::Size), (QStringList{"3 × 2", "40", "40"}));
        QCOMPARE(Column(w, HistoryModel::Profiles)[1],
                 QStringLiteral("seq1m-qd8-read 520.0 MB/s 133120 IOPS\ngone 50.0 MB/s 12800 IOPS\n"
                                "full 0.0 MB/s 0 IOPS (failed)"));

        // The last run: MB/s per profile with a bar set per pass, latencies over both passes, a
        // table row per pass and one for the profile that measured nothing.
        w.ShowRun(first);
        QVERIFY(w.lblLastRun->text().contains(QStringLiteral("profile 40 MB")));
        QBarSeries *rates = Bars(w.FileChart);
        QVERIFY(rates);
        QVERIFY(!w.FileChart->isHidden());
        QCOMPARE(rates->count(), 2);
        QCOMPARE(Values(rates->barSets()[0]), (QList<qreal>{500, 50, 0}));
        QCOMPARE(Values(rates->barSets()[1]), (QList<qreal>{520, 0, 0}));
        QCOMPARE(rates->barSets()[1]->label(), QStringLiteral("Pass 2"));
        QBarSeries *latency = Bars(w.LatencyChart);
        QVERIFY(latency);
        QCOMPARE(latency->count(), 5); // p50 to max
        LatencyHistogram both = first.profiles[0].passes[0].latency;
        both.merge(first.profiles[0].passes[1].latency);
        QCOMPARE(Values(latency->barSets()[0]),
                 (QList<qreal>{LatencySummary::of(both).p50Us,
                               LatencySummary::of(first.profiles[1].passes[0].latency).p50Us}));
        QCOMPARE(w.FileTable->rowCount(), 4);
        const LatencySummary pass2 = LatencySummary::of(first.profiles[0].passes[1].latency);
        QCOMPARE(Row(w.FileTable, 1),
                 (QStringList{"seq1m-qd8-read", "2", "520.0", "133120", QString::number(pass2.p50Us, 'f', 1),
                              QString::number(pass2.p99Us, 'f', 1), QString::number(pass2.p999Us, 'f', 1),
                              QString::number(pass2.maxUs, 'f', 1), "io_uring"}));
        QCOMPARE(Row(w.FileTable, 3).mid(0, 3), (QStringList{"full", "failed: no_space", ""}));

        // Compared per profile, matched by name; a profile of one run only has one side.
        w.Choose({profileIds[1], profileIds[0]});
        QVERIFY(w.CompareChosen());
        QCOMPARE(w.CompareTable->rowCount(), 4 * RunCompare::kProfileFigureCount);
        const int n = RunCompare::kProfileFigureCount;
        const std::pair<int, const char *> rows[] = {{0, "seq1m-qd8-read|Best MB/s|520.00|546.00|+5.0 %"},
                                                     {1, "seq1m-qd8-read|Mean MB/s|510.00|513.00|+0.6 %"},
                                                     {2, "seq1m-qd8-read|Best IOPS|133120.00|139776.00|+5.0 %"},
                                                     {n, "gone|Best MB/s|50.00||"},
                                                     {2 * n, "full|Best MB/s|||"},
                                                     {3 * n, "new|Best MB/s||100.00|"}};
        for (const auto &[row, text] : rows)
            QCOMPARE(Row(w.CompareTable, row).join('|'), QString::fromUtf8(text));
        QVERIFY(w.CompareTable->horizontalHeaderItem(3)->text().contains(
            second.startedUtc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
        // A classic run has no profiles to set beside them.
        w.Choose({profileIds[0], profileIds[2]});
        QVERIFY(!w.CompareChosen());
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].endsWith(QStringLiteral("nur mit einem Profillauf vergleichen.")));
    }

    void mainWindowKeepsEveryRunAndOpensTheWindow()
    {
        QTemporaryDir target;
        frmMain w;
        QVERIFY(!w.ResultsWindow);
        // A real run from the start button is stored, even with the window never opened.
        w.Drive1->setEditText(target.path());
        w.Txt1->setText(QStringLiteral("2"));
        w.Txt2->setText(QStringLiteral("1"));
        w.chkDisableCaching->setChecked(false); // the temporary folder may not take direct I/O
        w.Cmd11_Click();
        // A read served from the page cache in 0 ms makes the run fail; it is stored all the same.
        QVERIFY(!w.LastRecord().phases.empty());
        w.mnuEditResults->trigger();
        QVERIFY(w.ResultsWindow);
        QVERIFY(w.ResultsWindow->isVisible());
        QCOMPARE(w.ResultsWindow->Model->rowCount(), 1);
        const HistoryEntry &stored = w.ResultsWindow->Model->EntryAt(0);
        QCOMPARE(stored.outcome, toString(w.LastRecord().outcome.status));
        QCOMPARE(stored.writeRate, w.LastRecord().phase(PhaseKind::Write)->rateMBps.value_or(0));
        QVERIFY(stored.writeRate > 0);
        // An open window shows the next run as it ends.
        emit w.runFinished(runs[0]);
        QCOMPARE(w.ResultsWindow->Model->rowCount(), 2);
        QVERIFY(w.ResultsWindow->lblLastRun->text().contains(QStringLiteral("10.25 MB/s")));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("data/veltaro/history.sqlite"))));
        QVERIFY(boxes.isEmpty());
    }
};

QTEST_MAIN(tst_results)
#include "tst_results.moc"
