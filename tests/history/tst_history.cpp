// The history database: creation and migration, damaged and foreign files, two writers at once.
#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"
#include "common/SystemSupport.h"
#include "history/HistoryStore.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

HistoryEntry Entry(int n, const QString &tag = QStringLiteral("t"))
{
    HistoryEntry e;
    e.started = QDateTime(QDate(2026, 12, 1), QTime(10, 0), Qt::UTC).addSecs(n * 60);
    e.target = QStringLiteral("/media/%1/").arg(tag);
    e.device = QStringLiteral("sdb1");
    e.kind = n % 2 ? QStringLiteral("multiple") : QStringLiteral("single");
    e.outcome = QStringLiteral("complete");
    e.files = n + 1;
    e.megabytes = 10;
    e.writeRate = 12.5 + n;
    e.readRate = 80.25 + n;
    e.options = QStringLiteral("direct");
    e.record = QStringLiteral(R"({"tag":"%1","n":%2})").arg(tag).arg(n).toUtf8();
    return e;
}

using EngineTest::ReadAll;

// Every stored field but the id, to compare entries as a whole.
QVariantList Fields(const HistoryEntry &e)
{
    return {e.started,   e.target,    e.device,   e.kind,    e.outcome,  e.files,
            e.megabytes, e.writeRate, e.readRate, e.options, e.profiles, e.record};
}

// Runs one statement on the file outside the store, as another program would.
QVariant Raw(const QString &path, const QString &sql)
{
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                result = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return result;
}

constexpr int kRowsPerWriter = 150;

// The child half of the two-writer test: this program run with "--write <file> <tag>".
int WriteRows(const QString &path, const QString &tag)
{
    HistoryStore store(path);
    if (!store.Open())
        return 3;
    for (int n = 0; n < kRowsPerWriter; ++n) {
        HistoryEntry e = Entry(n, tag);
        if (!store.Add(e))
            return 4;
    }
    return 0;
}

} // namespace

class tst_history : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    int files = 0;
    QString FreshPath() { return dir.filePath(QStringLiteral("h%1/veltaro/history.sqlite").arg(++files)); }

private slots:
    // A set XDG_DATA_HOME is the runner's test; an empty or relative one is not to be used.
    void defaultPathFallsBackToTheHomeFolder()
    {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        for (const QByteArray xdg : {"", "rel/x"}) {
            qputenv("XDG_DATA_HOME", xdg);
            QCOMPARE(HistoryStore::DefaultPath(), QDir::homePath() + "/.local/share/veltaro/history.sqlite");
        }
        qputenv("XDG_DATA_HOME", saved);
    }

    void migratesFromNothingAndFromAnEmptyFile_data()
    {
        QTest::addColumn<bool>("emptyFileFirst");
        QTest::newRow("no file") << false;
        QTest::newRow("zero-byte file") << true;
    }
    void migratesFromNothingAndFromAnEmptyFile()
    {
        QFETCH(bool, emptyFileFirst);
        const QString path = FreshPath();
        if (emptyFileFirst)
            QVERIFY(SystemTest::WriteFile(path));
        HistoryEntry a = Entry(1), b = Entry(2);
        {
            HistoryStore store(path);
            QVERIFY2(store.Open(), qPrintable(store.Problem().detail));
            QCOMPARE(store.Problem().kind, HistoryProblem::None);
            b.device = QString(); // unknown device
            QVERIFY(store.Add(a));
            QVERIFY(store.Add(b));
        }
        QCOMPARE(Raw(path, QStringLiteral("PRAGMA user_version")).toInt(), HistoryStore::kSchemaVersion);
        QCOMPARE(Raw(path, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        // A second opening finds the current version and keeps every row, every field as stored.
        HistoryStore again(path);
        QVERIFY(again.Open());
        const HistoryStore::Listing all = again.ReadAll(true);
        QCOMPARE(all.skipped, 0);
        QCOMPARE(all.entries.size(), 2);
        b.device = QStringLiteral(""); // read back empty, not null
        QCOMPARE(Fields(all.entries.first()), Fields(b));
        QVERIFY(again.ReadAll(false).entries.first().record.isEmpty());
    }

    // A file of the first version, as the release before the profile test left it.
    void migratesVersion1KeepingItsRows()
    {
        const QString path = FreshPath();
        const HistoryEntry old = Entry(3);
        {
            HistoryStore store(path);
            HistoryEntry e = old;
            QVERIFY(store.Open());
            QVERIFY(store.Add(e));
        }
        Raw(path, QStringLiteral("ALTER TABLE runs DROP COLUMN profiles"));
        Raw(path, QStringLiteral("PRAGMA user_version = 1"));
        QVERIFY(!Raw(path, QStringLiteral("SELECT profiles FROM runs")).isValid()); // dropped

        HistoryStore store(path);
        QVERIFY2(store.Open(), qPrintable(store.Problem().detail));
        QCOMPARE(Raw(path, QStringLiteral("PRAGMA user_version")).toInt(), HistoryStore::kSchemaVersion);
        HistoryEntry added = Entry(4);
        added.profiles = QStringLiteral("seq1m-qd8-read 512.0 MB/s 512 IOPS");
        QVERIFY(store.Add(added));
        const HistoryStore::Listing all = store.ReadAll(true);
        QCOMPARE(all.entries.size(), 2);
        QCOMPARE(Fields(all.entries[1]), Fields(old));
        QCOMPARE(all.entries[0].profiles, added.profiles);
    }

    void readsSkipUnreadableRecordsAndRemoveDeletes()
    {
        const QString path = FreshPath();
        HistoryStore store(path);
        QVERIFY(store.Open());
        QList<qint64> ids;
        for (int n = 0; n < 4; ++n) {
            HistoryEntry e = Entry(n);
            QVERIFY(store.Add(e));
            ids << e.id;
        }
        QVERIFY(Raw(path, QStringLiteral("UPDATE runs SET record = '{broken' WHERE id = %1 RETURNING id").arg(ids[1]))
                    .isValid());
        QVERIFY(
            Raw(path, QStringLiteral("UPDATE runs SET started = 'yesterday' WHERE id = %1 RETURNING id").arg(ids[2]))
                .isValid());
        HistoryStore::Listing listing = store.ReadAll();
        QCOMPARE(listing.skipped, 2);
        QCOMPARE(listing.entries.size(), 2);
        QCOMPARE(listing.entries[0].id, ids[3]);
        QCOMPARE(listing.entries[1].id, ids[0]);
        // Read keeps the order asked for and leaves out what it cannot read.
        const QList<HistoryEntry> picked = store.Read({ids[3], ids[1], ids[0], 9999});
        QCOMPARE(picked.size(), 2);
        QCOMPARE(picked[0].id, ids[3]);
        QCOMPARE(picked[1].id, ids[0]);

        QVERIFY(store.Remove({ids[0], ids[1]}));
        listing = store.ReadAll();
        QCOMPARE(listing.entries.size(), 1);
        QCOMPARE(listing.skipped, 1);
        QCOMPARE(listing.entries[0].id, ids[3]);
    }

    void damagedFileIsMovedAsideNeverDeleted()
    {
        const QString path = FreshPath();
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        const QByteArray garbage = QByteArray("not a database at all\n").repeated(300);
        QStringList asides;
        // Twice within the same second: the second damaged file must not replace the first one aside.
        for (int round = 0; round < 2; ++round) {
            QVERIFY(SystemTest::WriteFile(path, garbage + QByteArray::number(round)));
            HistoryStore store(path);
            QVERIFY2(store.Open(), qPrintable(store.Problem().detail));
            QCOMPARE(store.Problem().kind, HistoryProblem::Damaged);
            const QString aside = store.Problem().movedTo;
            QVERIFY(aside.startsWith(path + ".damaged-"));
            QCOMPARE(ReadAll(aside), garbage + QByteArray::number(round));
            asides << aside;
            // The new file is a working store.
            HistoryEntry e = Entry(round);
            QVERIFY(store.Add(e));
            QCOMPARE(store.ReadAll().entries.size(), 1);
        }
        QVERIFY(asides[0] != asides[1]);
    }

    void newerSchemaIsRefusedUntouched()
    {
        const QString path = FreshPath();
        {
            HistoryStore store(path);
            QVERIFY(store.Open());
            HistoryEntry e = Entry(0);
            QVERIFY(store.Add(e));
        }
        Raw(path, QStringLiteral("PRAGMA user_version = %1").arg(HistoryStore::kSchemaVersion + 1));
        Raw(path, QStringLiteral("PRAGMA journal_mode = DELETE"));
        const QByteArray before = ReadAll(path);

        HistoryStore store(path);
        QVERIFY(!store.Open());
        QCOMPARE(store.Problem().kind, HistoryProblem::NewerSchema);
        HistoryEntry e = Entry(1);
        QVERIFY(!store.Add(e));
        QCOMPARE(ReadAll(path), before); // neither written nor moved aside
        QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), QStringList{"history.sqlite"});
    }

    // A folder that cannot be made is the runner's test.
    void readOnlyFileIsAProblemNotACrash()
    {
        // Root passes every permission bit, so it takes a read-only mount.
        const QString mountPoint = dir.filePath(QStringLiteral("ro"));
        QVERIFY(QDir().mkpath(mountPoint));
        std::unique_ptr<FaultTest::ScratchMount> mount;
        const QString path = mountPoint + "/history.sqlite";
        if (FaultTest::IsRoot()) {
            mount = FaultTest::ScratchMount::Tmpfs(mountPoint, QStringLiteral("size=4m"));
            if (!mount->Error().isEmpty())
                QSKIP(qPrintable("no tmpfs mount for the read-only case: " + mount->Error()));
        }
        {
            HistoryStore store(path);
            HistoryEntry e = Entry(0);
            QVERIFY(store.Open());
            QVERIFY(store.Add(e));
        }
        Raw(path, QStringLiteral("PRAGMA journal_mode = DELETE"));
        const QByteArray before = ReadAll(path);
        if (mount)
            QVERIFY(mount->RemountReadOnly());
        else {
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
            QVERIFY(QFile::setPermissions(mountPoint, QFile::ReadOwner | QFile::ExeOwner));
        }
        HistoryStore store(path);
        QVERIFY(!store.Open());
        QCOMPARE(store.Problem().kind, HistoryProblem::ReadOnly);
        QCOMPARE(ReadAll(path), before);
        if (!mount)
            QFile::setPermissions(mountPoint, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void twoProcessesWritingAtOnceLoseNothing()
    {
        // Both start on a file that does not exist yet, so they also race to create and migrate it.
        const QString path = FreshPath();
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--write", path, "child"});
        QVERIFY(child.waitForStarted());
        QCOMPARE(WriteRows(path, QStringLiteral("parent")), 0);
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);

        HistoryStore store(path);
        QVERIFY(store.Open());
        const HistoryStore::Listing all = store.ReadAll(true);
        QCOMPARE(all.skipped, 0);
        QSet<QByteArray> records;
        for (const HistoryEntry &e : all.entries)
            records.insert(e.record);
        QCOMPARE(records.size(), 2 * kRowsPerWriter); // as many as the two write, so every one of them
    }

    void runnerKeepsItsRunsUnlessTold_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<bool>("blocked"); // the data folder is a file, so the history has no folder
        QTest::addColumn<bool>("kept");
        QTest::newRow("default") << QStringList() << false << true;
        QTest::newRow("--no-history") << QStringList{"--no-history"} << false << false;
        QTest::newRow("--json") << QStringList{"--json"} << false << true;
        QTest::newRow("no folder for the history") << QStringList() << true << false;
    }
    void runnerKeepsItsRunsUnlessTold()
    {
        QFETCH(QStringList, extra);
        QFETCH(bool, blocked);
        QFETCH(bool, kept);
        QTemporaryDir data, target;
        const QString home = blocked ? data.filePath(QStringLiteral("file")) : data.path();
        if (blocked)
            QVERIFY(SystemTest::WriteFile(home));
        // Kept whatever the outcome: a page-cached read may take 0 ms. What an entry holds of a run is
        // the results window's test.
        const SystemTest::Result r = RunCli(home, extra + QStringList{"--cache", "-n", "2", "-s", "1", target.path()});
        QVERIFY2(r.code >= 0, r.err.constData());
        const QByteArray told = "not kept in the history: " + QFile::encodeName(home) + "/veltaro/history.sqlite";
        QVERIFY2(blocked ? r.err.contains(told + ": its folder cannot be created") : !r.err.contains(told),
                 r.err.constData());
        const QString path = data.filePath(QStringLiteral("veltaro/history.sqlite"));
        QCOMPARE(QFileInfo::exists(path), kept);
        if (!kept) {
            QVERIFY(r.out.contains("Teststart: ")); // the run goes on without it
            return;
        }
        HistoryStore store(path);
        QVERIFY(store.Open());
        QCOMPARE(store.ReadAll().entries.size(), 1);
    }

private:
    // The runner with its history under dataHome.
    static SystemTest::Result RunCli(const QString &dataHome, const QStringList &args)
    {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
        SystemTest::Result r = SystemTest::RunCli(args);
        qputenv("XDG_DATA_HOME", saved);
        return r;
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--write") == 0)
        return WriteRows(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    tst_history test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_history.moc"
