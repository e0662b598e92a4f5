// Profiles as typed, named and stored, and both I/O engines running them on real files: what lands
// on the disk byte for byte, what is counted, stopping.
#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"
#include "common/SystemSupport.h"
#include "lang/modLang.h"
#include "platform/HugePages.h"
#include "profile/IoJob.h"
#include "profile/ProfileRecord.h"
#include "profile/ProfileRunner.h"
#include "profile/ProfileSession.h"
#include "profile/ProfileSpec.h"
#include "profile/ProfileText.h"
#include "profile/UserProfiles.h"

#include <QtTest>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Profiles;
Q_DECLARE_METATYPE(Profiles::EngineChoice)
Q_DECLARE_METATYPE(ProfileError::Code)

namespace {

quint64 Word(const QByteArray &data, qint64 at)
{
    quint64 v = 0;
    std::memcpy(&v, data.constData() + at, 8);
    return v;
}

// Checks a kept test file sector by sector: its own offset in the first 8 bytes, a tag from
// allowed in the next 8, and beyond that the same bytes as the first block at the same place.
// Returns the number of blocks whose tag is not 0 (written by the profile, not the creation).
int CheckFile(const QString &path, qint64 size, qint64 block, const QList<quint64> &allowed, QString &fault)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fault = QStringLiteral("missing ") + path, -1;
    const QByteArray data = f.readAll();
    if (data.size() != size)
        return fault = QStringLiteral("size %1").arg(data.size()), -1;
    int written = 0;
    for (qint64 b = 0; b < size; b += block) {
        const quint64 tag = Word(data, b + 8);
        written += tag != 0;
        for (qint64 s = b; s < b + block; s += 4096) {
            if (Word(data, s) != quint64(s))
                return fault = QStringLiteral("offset stamp at %1").arg(s), -1;
            if (Word(data, s + 8) != tag || !allowed.contains(tag))
                return fault = QStringLiteral("tag %1 at %2").arg(Word(data, s + 8)).arg(s), -1;
            if (std::memcmp(data.constData() + s + 16, data.constData() + (s - b) + 16, 4096 - 16) != 0)
                return fault = QStringLiteral("data at %1").arg(s), -1;
        }
    }
    // The data must not compress: a device that packs data would otherwise look fast.
    if (qCompress(data.left(block)).size() < block * 99 / 100)
        return fault = QStringLiteral("compressible"), -1;
    return written;
}

ProfileSpec Spec(const char *text, qint64 fileSize)
{
    ProfileSpec spec;
    if (Profiles::Parse(QString::fromLatin1(text), spec))
        qFatal("bad spec in test: %s", text);
    spec.fileSize = fileSize;
    return spec;
}

} // namespace

class TestProfile : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        modLang::LoadLanguageData(QByteArray());
    }

    void parsesWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical");
        QTest::newRow("defaults kept") << "seq"
                                       << "seq,read,1m,qd1,jobs1,5s,passes2";
        QTest::newRow("case and blanks") << " SEQ , Write ,8M, QD32"
                                         << "seq,write,8m,qd32,jobs1,5s,passes2";
        QTest::newRow("mix and bytes") << "rand,mix70,64k,qd4,jobs16,size1g,bytes256m,passes3"
                                       << "rnd,mix70,64k,qd4,jobs16,size1g,bytes256m,passes3";
        QTest::newRow("millis") << "seq,1500ms"
                                << "seq,read,1m,qd1,jobs1,1500ms,passes2";
        QTest::newRow("plain bytes block") << "seq,8192"
                                           << "seq,read,8k,qd1,jobs1,5s,passes2";
        QTest::newRow("last word wins") << "seq,rnd,write,read,qd2,qd3"
                                        << "rnd,read,1m,qd3,jobs1,5s,passes2";
        QTest::newRow("block equal to file") << "seq,1m,size1m"
                                             << "seq,read,1m,qd1,jobs1,size1m,5s,passes2";
    }
    void parsesWords()
    {
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        ProfileSpec spec;
        QCOMPARE(Profiles::Parse(text, spec).code, ProfileError::None);
        QCOMPARE(Profiles::Format(spec), canonical);
        ProfileSpec again;
        QCOMPARE(Profiles::Parse(canonical, again).code, ProfileError::None);
        QCOMPARE(again, spec);
    }

    void refusesBadInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ProfileError::Code>("code");
        QTest::addColumn<QString>("value");
        QTest::newRow("not a power of two") << "seq,12k" << ProfileError::BlockSize << "12k";
        QTest::newRow("below 4k") << "seq,2k" << ProfileError::BlockSize << "2k";
        QTest::newRow("above 8m") << "seq,16m" << ProfileError::BlockSize << "16m";
        QTest::newRow("above file") << "seq,1m,size512k" << ProfileError::BlockAboveFile << "1m";
        QTest::newRow("depth 0") << "rnd,qd0" << ProfileError::Depth << "0";
        QTest::newRow("depth 257") << "rnd,qd257" << ProfileError::Depth << "257";
        QTest::newRow("jobs 17") << "rnd,jobs17" << ProfileError::Jobs << "17";
        QTest::newRow("no passes") << "rnd,passes0" << ProfileError::Passes << "0";
        QTest::newRow("zero time") << "rnd,0s" << ProfileError::Limit << "";
        QTest::newRow("huge queue") << "seq,8m,qd64" << ProfileError::QueueTooLarge << "64x8m";
        QTest::newRow("unknown word") << "seq,fast" << ProfileError::UnknownToken << "fast";
        QTest::newRow("mix above 100") << "seq,mix101" << ProfileError::UnknownToken << "mix101";
        QTest::newRow("empty") << "" << ProfileError::UnknownToken << "";
        QTest::newRow("bad size") << "seq,sizex" << ProfileError::FileSize << "sizex";
    }
    void refusesBadInput()
    {
        QFETCH(QString, text);
        QFETCH(ProfileError::Code, code);
        QFETCH(QString, value);
        ProfileSpec spec;
        spec.name = QStringLiteral("untouched");
        const ProfileError e = Profiles::Parse(text, spec);
        QCOMPARE(e.code, code);
        QCOMPARE(e.value, value);
        QCOMPARE(spec.name, QStringLiteral("untouched")); // a refused text leaves the profile as it was
        QVERIFY(ProfileText::Error(e).endsWith(value));
        QVERIFY(ProfileText::Error(e).size() > value.size() + 10);
    }

    // Each standard profile is found by its name in any letters, the name saying what it does;
    // "standard" is all of them.
    void standardSetAndNames()
    {
        const QList<ProfileSpec> standard = Profiles::Standard();
        for (const ProfileSpec &s : standard) {
            QList<ProfileSpec> found;
            QVERIFY2(!Profiles::Find(s.name.toUpper(), {}, found), qPrintable(s.name));
            QCOMPARE(found, QList<ProfileSpec>{s});
        }
        QList<ProfileSpec> one, all, none;
        QVERIFY(!Profiles::Find(QStringLiteral("rnd4k-qd32-write"), {}, one));
        QCOMPARE(Profiles::Format(one.value(0)), QStringLiteral("rnd,write,4k,qd32,jobs1,5s,passes2"));
        QVERIFY(!Profiles::Find(QStringLiteral("standard"), {}, all));
        QCOMPARE(all, standard);
        QCOMPARE(Profiles::Find(QStringLiteral("seq1m-qd9-read"), {}, none).code, ProfileError::UnknownName);
        QVERIFY(none.isEmpty());
    }

    void userProfilesInTheStore()
    {
        QVERIFY(UserProfiles::Load().isEmpty());
        QVERIFY(!UserProfiles::Save(QStringLiteral("db"), QStringLiteral("rnd,mix70,8k,qd16,jobs4")));
        QVERIFY(!UserProfiles::Save(QStringLiteral("big"), QStringLiteral("seq,write,4m,qd2")));
        QVERIFY(!UserProfiles::Save(QStringLiteral("DB"), QStringLiteral("rnd,read,16k,qd16"))); // replaces
        const QList<ProfileSpec> stored = UserProfiles::Load();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0].name, QStringLiteral("big"));
        QCOMPARE(stored[1].name, QStringLiteral("DB"));
        QCOMPARE(stored[1].blockSize, 16384);
        QList<ProfileSpec> found;
        QVERIFY(!Profiles::Find(QStringLiteral("db"), stored, found));
        QCOMPARE(found.value(0).depth, 16);
        QVERIFY(UserProfiles::Remove(QStringLiteral("BIG")));
        QVERIFY(!UserProfiles::Remove(QStringLiteral("big")));
        QCOMPARE(UserProfiles::Load().size(), 1);

        // The window's keys keep their bytes, a path that is not UTF-8 too.
        const QString file = m_config.filePath("Tavrin.conf");
        const QByteArray window = "[Veltaro]\nNrFiles=3\nPrevPath1=/mnt/caf\xe9/\nProfiles=\n";
        QVERIFY(SystemTest::WriteFile(file, window));
        QVERIFY(!UserProfiles::Save(QStringLiteral("q"), QStringLiteral("rnd,read,4k,qd1")));
        QCOMPARE(EngineTest::ReadAll(file),
                 QByteArray(window).insert(window.size() - 1, "\"q=rnd,read,4k,qd1,jobs1,5s,passes2\""));
        // Read-only (not for root, who may write anyway), or a FIFO that is not waited on: no profile
        // is stored and the caller is told so.
        const auto refused = [&] {
            const ProfileError e = UserProfiles::Save(QStringLiteral("r"), QStringLiteral("seq,read,4k,qd1"));
            return e.code == ProfileError::NotStored && e.value == file;
        };
        if (geteuid() != 0) {
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
            QVERIFY(refused());
        }
        QVERIFY(QFile::remove(file));
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        QVERIFY(UserProfiles::Load().isEmpty());
        QVERIFY(refused());
        QVERIFY(QFileInfo(file).isFile() == false && QFileInfo::exists(file));
        QVERIFY(QFile::remove(file));
    }

    void filesWritten_data()
    {
        QTest::addColumn<EngineChoice>("engine");
        QTest::addColumn<bool>("direct");
        for (const auto &[engine, name] :
             {std::pair{EngineChoice::Uring, "io_uring"}, std::pair{EngineChoice::Threads, "threads"}}) {
            QTest::addRow("%s direct", name) << engine << true;
            QTest::addRow("%s cached", name) << engine << false;
        }
    }
    void filesWritten()
    {
        QFETCH(EngineChoice, engine);
        QFETCH(bool, direct);
        QTemporaryDir dir;
        const qint64 size = 4 << 20;
        ProfileOptions options;
        options.engine = engine;
        options.directIo = direct;
        options.keepFiles = true;

        // Sequential writes over the whole file twice, after a warm-up over a quarter of it:
        // the last pass's tag on every block, every pass exactly one file's worth.
        ProfileRunner runner(dir.path(), options, {});
        ProfileOutcome seq = runner.run(Spec("seq,write,64k,qd4,jobs2,bytes4m,passes2", size));
        if (engine == EngineChoice::Uring && seq.error.code == ProfileError::IoFailed && seq.uringErrno)
            QSKIP("io_uring is refused here");
        if (seq.error.code == ProfileError::NoDirectIo)
            QSKIP("the temporary folder refuses O_DIRECT");
        QVERIFY2(!seq.error, qPrintable(QString::number(seq.error.code) + seq.error.value));
        QCOMPARE(seq.engine, engine == EngineChoice::Uring ? QStringLiteral("io_uring") : QStringLiteral("threads"));
        QCOMPARE(seq.passes.size(), 2);
        for (const PassFigures &p : seq.passes) {
            QCOMPARE(p.bytes, 2 * size);
            QCOMPARE(p.ios, 2 * size / 65536);
            QCOMPARE(p.failures, 0);
            QVERIFY(p.mbps > 0);
            QVERIFY(p.iops > 0);
            QCOMPARE(p.latency.count(), uint64_t(p.ios));
            QVERIFY(LatencySummary::of(p.latency).p50Us > 0);
        }
        QString fault;
        for (int job = 0; job < 2; ++job) {
            QCOMPARE(CheckFile(ProfileRunner::FilePath(dir.path(), job), size, 65536, {3}, fault), 64);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }

        // Random writes of half the file's worth, no warm-up: some blocks written, the others as
        // created, nothing written out of place.
        options.warmUp = false;
        ProfileRunner randomRunner(dir.path(), options, {});
        ProfileOutcome rnd = randomRunner.run(Spec("rnd,write,4k,qd8,jobs1,bytes2m,passes1", size));
        QVERIFY(!rnd.error);
        QCOMPARE(rnd.passes.value(0).ios, 512);
        const int written = CheckFile(ProfileRunner::FilePath(dir.path(), 0), size, 4096, {0, 2}, fault);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY(written > 300);
        QVERIFY(written <= 512); // 512 random picks of 1024 blocks hit ~400 distinct

        // Reads and a read-heavy mix leave the created file as it was, the mix's writes aside.
        ProfileOutcome read = randomRunner.run(Spec("seq,read,1m,qd2,jobs1,bytes4m,passes1", size));
        QCOMPARE(read.passes.value(0).bytes, size);
        QCOMPARE(CheckFile(ProfileRunner::FilePath(dir.path(), 0), size, 1 << 20, {0}, fault), 0);
        ProfileOutcome mix = randomRunner.run(Spec("rnd,mix50,16k,qd4,jobs1,bytes4m,passes1", size));
        QVERIFY(!mix.error);
        QCOMPARE(mix.passes.value(0).bytes, size);
        const int mixed = CheckFile(ProfileRunner::FilePath(dir.path(), 0), size, 16384, {0, 2}, fault);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY(mixed > 20);
        QVERIFY(mixed < 256);
    }

    void filesDeletedAndTimed()
    {
        QTemporaryDir dir;
        ProfileOptions options;
        options.engine = EngineChoice::Threads;
        int polls = 0;
        ProfileRunner runner(dir.path(), options, [&polls] { return ++polls, false; });
        QElapsedTimer clock;
        clock.start();
        const ProfileOutcome o = runner.run(Spec("rnd,read,4k,qd2,jobs1,300ms,passes2", 1 << 20));
        QVERIFY(!o.error);
        QVERIFY(!o.stopped);
        QCOMPARE(o.passes.size(), 2);
        // Warm-up of a quarter of a pass, then two passes of 300 ms each.
        QVERIFY(clock.elapsed() >= 675);
        QVERIFY(clock.elapsed() < 3000);
        QVERIFY(o.passes[0].seconds >= 0.3);
        QVERIFY(o.passes[0].seconds < 0.6);
        QVERIFY(polls >= 30); // the caller's pump ran all along
        QVERIFY(o.bestMbps() >= o.meanMbps());
        QVERIFY(o.meanMbps() > 0);
        QVERIFY(QDir(dir.path()).isEmpty());

        // The run record holds every pass with its latency, and reads back as it was written.
        ProfileOutcome stopped = o;
        stopped.stopped = true;
        stopped.passes.removeLast();
        stopped.hugePageBuffers = true;
        Session session;
        session.folder = dir.path();
        session.options = options;
        session.specs = {o.spec, o.spec, o.spec};
        const RunRecord record = RunRecordOf(session, {o, stopped});
        QVERIFY(record.kind == RunKind::Profile);
        QVERIFY(record.outcome.status == RunStatus::Stopped);
        QCOMPARE(record.profiles.size(), size_t(2));
        const ProfileRecord &r = record.profiles[0];
        QCOMPARE(r.spec, QStringLiteral("rnd,read,4k,qd2,jobs1,size1m,300ms,passes2"));
        QCOMPARE(r.engine, QStringLiteral("threads"));
        QVERIFY(r.status == RunStatus::Complete);
        QCOMPARE(r.passes.size(), size_t(2));
        QCOMPARE(r.passes[1].ios, o.passes[1].ios);
        QCOMPARE(r.passes[1].latency.count(), uint64_t(o.passes[1].ios));
        QCOMPARE(r.meanIops, (o.passes[0].iops + o.passes[1].iops) / 2);
        QVERIFY(record.profiles[1].status == RunStatus::Stopped);
        QString error;
        const std::optional<RunRecord> back = RunRecord::fromJsonBytes(record.toJsonBytes(), &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(back->profiles, record.profiles);
        QJsonObject broken = record.toJson();
        broken["profiles"] = QJsonArray{QJsonObject{{"name", "x"}}};
        QVERIFY(!RunRecord::fromJson(broken, &error));
        QVERIFY(error.contains(QStringLiteral("spec")));
        // A record from before the buffers were told reads as small pages; a wrong type is refused.
        const auto withBuffers = [&](const QJsonValue &value) {
            QJsonObject json = record.toJson();
            QJsonArray profiles = json["profiles"].toArray();
            QJsonObject entry = profiles[1].toObject();
            entry.insert(QStringLiteral("huge_page_buffers"), value); // undefined: no such field
            profiles[1] = entry;
            json["profiles"] = profiles;
            return RunRecord::fromJson(json, &error);
        };
        const std::optional<RunRecord> older = withBuffers(QJsonValue::Undefined);
        QVERIFY2(older, qPrintable(error));
        QVERIFY(!older->profiles[1].hugePageBuffers);
        QVERIFY(!withBuffers(QStringLiteral("yes")));
        QVERIFY(error.contains(QStringLiteral("huge_page_buffers")));
    }

    void stopsInTheMiddle_data()
    {
        QTest::addColumn<EngineChoice>("engine");
        QTest::addColumn<int>("stopAfterPolls");
        QTest::newRow("io_uring, in a pass") << EngineChoice::Uring << 40;
        QTest::newRow("threads, in a pass") << EngineChoice::Threads << 40;
        QTest::newRow("while creating the file") << EngineChoice::Auto << 1;
    }
    void stopsInTheMiddle()
    {
        QFETCH(EngineChoice, engine);
        QFETCH(int, stopAfterPolls);
        QTemporaryDir dir;
        ProfileOptions options;
        options.engine = engine;
        options.pollMs = stopAfterPolls == 1 ? 0 : 10;
        int polls = 0;
        Session session;
        session.folder = dir.path();
        session.options = options;
        session.fileCount = 2;
        session.fileSizeMB = 32;
        session.specs = {Spec("rnd,write,4k,qd16,jobs2,20s,passes3", 0), Spec("seq,read,1m,qd1", 0)};
        QStringList lines;
        session.log = [&lines](const QString &line) { lines << line; };
        session.poll = [&] { return ++polls >= stopAfterPolls; };
        QElapsedTimer clock;
        clock.start();
        const QList<ProfileOutcome> outcomes = session.run();
        if (engine == EngineChoice::Uring && outcomes.value(0).uringErrno)
            QSKIP("io_uring is refused here");
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(outcomes.size(), 1); // the second profile never starts
        QVERIFY(outcomes[0].stopped);
        QVERIFY(outcomes[0].passes.isEmpty());
        QCOMPARE(lines.last(), QStringLiteral("Abbruch..."));
        QCOMPARE(polls, stopAfterPolls);
        QVERIFY(QDir(dir.path()).isEmpty());
        // The record spans the run and keeps the two numbers as given.
        const RunRecord record = RunRecordOf(session, outcomes);
        QVERIFY(record.startedUtc.msecsTo(record.endedUtc) + 50 >= clock.elapsed());
        QCOMPARE(record.fileCount, 2);
        QCOMPARE(record.fileSizeMB, 32);
    }

    void badProfileWritesNothing()
    {
        QTemporaryDir dir;
        Session session;
        session.folder = dir.path();
        session.fileCount = 1;
        session.fileSizeMB = 1;
        session.specs = {Spec("seq,read,4k", 0), Spec("seq,read,2m", 0)}; // the second's block is above the file
        QStringList lines;
        session.log = [&lines](const QString &line) { lines << line; };
        QVERIFY(session.run().isEmpty());
        QCOMPARE(lines, QStringList{QStringLiteral("Blockgröße ist größer als die Testdatei: 2m")});
        QVERIFY(QDir(dir.path()).isEmpty());

        ProfileRunner runner(dir.path() + QStringLiteral("/missing"), {}, {});
        QCOMPARE(runner.run(Spec("seq,read,4k", 1 << 20)).error.code, ProfileError::CreateFailed);
        ProfileRunner sizeless(dir.path(), {}, {});
        QCOMPARE(sizeless.run(Spec("seq,read,4k", 0)).error.code, ProfileError::FileSize);
    }

    // A job set up after another was freed still gets huge pages for its large blocks: memory the
    // first job touched and gave back must not be reused in small pages.
    void largeBlocksKeepHugePagesAfterAnotherJob()
    {
        QFile thp(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
        if (!thp.open(QIODevice::ReadOnly) || thp.readAll().contains("[never]"))
            QSKIP("transparent huge pages are off");
        qint64 first = 0;
        {
            IoJob job(Spec("seq,read,1m,qd8", 8 << 20), -1, 8 << 20);
            QVERIFY(job.allocate());
            first = HugePages::KbAt(job.buffer(0));
        }
        if (first < 2048)
            QSKIP("the system gives no huge page even to a fresh buffer here");
        // As the next profile's file creation does: heap memory touched and given back.
        QByteArray creationChunk(1 << 20, 'x');
        QCOMPARE(creationChunk.back(), 'x');
        creationChunk = QByteArray();
        IoJob second(Spec("seq,read,1m,qd1", 8 << 20), -1, 8 << 20);
        QVERIFY(second.allocate());
        QCOMPARE(quintptr(second.buffer(0)) % (2u << 20), quintptr(0));
        QCOMPARE(HugePages::KbAt(second.buffer(0)), qint64(2048));
        QVERIFY(second.hugePageBuffers());
        IoJob small(Spec("rnd,read,4k,qd4", 8 << 20), -1, 8 << 20);
        QVERIFY(small.allocate());
        QCOMPARE(quintptr(small.buffer(0)) % IoJob::kAlignment, quintptr(0));
        QVERIFY(!small.hugePageBuffers()); // 4 KiB blocks need no huge page
    }

    // A target that will not bypass the cache is told before any file is made or any I/O set up.
    void directIoRefusedBeforeTheRun()
    {
        TEST_TARGET_OR_SKIP(ramfs, FaultTest::TestTarget::Ramfs);
        Session session;
        session.folder = ramfs.Path();
        session.fileCount = 1;
        session.fileSizeMB = 1;
        session.options.directIo = true;
        session.specs = {Spec("seq,write,4k", 0), Spec("rnd,read,4k", 0)};
        QStringList lines;
        session.log = [&lines](const QString &line) { lines << line; };
        const QList<ProfileOutcome> outcomes = session.run();
        QCOMPARE(outcomes.size(), 1);
        QCOMPARE(outcomes.first().error.code, ProfileError::NoDirectIo);
        QVERIFY(outcomes.first().engine.isEmpty()); // no engine was started
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().contains(ramfs.Path()), qPrintable(lines.first()));
        QVERIFY(QDir(ramfs.Path()).isEmpty());
        QVERIFY(Profiles::RunRecordOf(session, outcomes).directIoRefused);
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
