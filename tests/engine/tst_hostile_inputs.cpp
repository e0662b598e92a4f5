// Names someone else could have placed and inputs meant to hang or flood: each costs bounded time
// and memory and ends in the message that fits.
#include "common/EngineTestSupport.h"
#include "common/SystemSupport.h"
#include "engine/RunDriver.h"
#include "engine/RunLog.h"
#include "lang/modLang.h"
#include "platform/SafeOpen.h"
#include "platform/modFile.h"

#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace EngineTest;

namespace {

enum class Trap { Link, Fifo, Folder };

// Puts a trap under name; a link points at outside, a file outside the folder.
void Place(Trap trap, const QString &name, const QString &outside)
{
    const QByteArray n = QFile::encodeName(name);
    switch (trap) {
    case Trap::Link:
        QVERIFY(::symlink(QFile::encodeName(outside).constData(), n.constData()) == 0);
        break;
    case Trap::Fifo:
        QVERIFY(::mkfifo(n.constData(), 0600) == 0);
        break;
    case Trap::Folder:
        QVERIFY(QDir().mkdir(name));
        break;
    }
}

} // namespace

class TestHostileInputs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseGerman(); }

    void resultLogTrap_data()
    {
        QTest::addColumn<int>("trap");
        QTest::addColumn<bool>("multiple");
        for (const bool multiple : {false, true})
            for (const auto &[trap, name] :
                 {std::pair{Trap::Link, "link"}, {Trap::Fifo, "fifo"}, {Trap::Folder, "folder"}})
                QTest::addRow("%s %s", name, multiple ? "multiple" : "single") << int(trap) << multiple;
    }

    // The log's name is predictable from the clock: traps wait under this minute's and the next's.
    void resultLogTrap()
    {
        QFETCH(int, trap);
        QFETCH(bool, multiple);
        Target t;
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("victim.txt"));
        QVERIFY(SystemTest::WriteFile(outside, "untouched"));
        const QString stem = t.path + (multiple ? "Multiple_VeltaroLog_" : "Single_VeltaroLog_");
        const QDateTime now = QDateTime::currentDateTime();
        for (const QDateTime &when : {now, now.addSecs(60)})
            Place(Trap(trap), stem + RunDriver::LogStamp(when) + ".log", outside);
        t.ctx->Txt1Text = QStringLiteral("2");
        t.ctx->Txt2Text = QStringLiteral("1");
        t.ctx->Chk11 = true;
        QElapsedTimer clock;
        clock.start();
        multiple ? StartMultiple(*t.ctx) : StartSingle(*t.ctx);
        QVERIFY(clock.elapsed() < 10000); // no wait on the FIFO, no 32000 retries
        const QStringList lines = t.ctx->LogTextLines();
        QCOMPARE(lines.last(), QStringLiteral("Kann auf ") + t.ctx->LogFile + QStringLiteral(" nicht zugreifen!"));
        QVERIFY(!lines.contains(QStringLiteral("Kann Testdateien nicht löschen!")));
        QVERIFY(lines.contains(QStringLiteral("Ergebnis:")));
        QCOMPARE(ReadAll(outside), QByteArray("untouched"));
        QCOMPARE(FilesIn(t.path, QStringLiteral("*.tst")), QStringList());
        QVERIFY(!t.ctx->InputsLocked);
    }

    void safeOpenKeepsOnlyRegularFiles()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("plain"));
        QVERIFY(SystemTest::WriteFile(file, "abcdef"));
        Place(Trap::Link, dir.filePath(QStringLiteral("link")), file);
        Place(Trap::Fifo, dir.filePath(QStringLiteral("fifo")), file);
        Place(Trap::Folder, dir.filePath(QStringLiteral("folder")), file);
        const struct {
            const char *name;
            int error; // 0: opens
        } rows[] = {{"plain", 0}, {"link", ELOOP}, {"fifo", ENXIO}, {"folder", EISDIR}, {"missing", ENOENT}};
        for (const auto &row : rows) {
            errno = 0;
            const int fd = SafeOpen::OpenRegular(dir.filePath(QString::fromLatin1(row.name)), O_RDONLY);
            if (fd >= 0)
                ::close(fd);
            QVERIFY2(row.error == 0 ? fd >= 0 : fd < 0 && errno == row.error, row.name);
            QCOMPARE(SafeOpen::AbsentOrRegular(dir.filePath(QString::fromLatin1(row.name))),
                     row.error == 0 || row.error == ENOENT);
        }
        QByteArray data;
        bool truncated = false;
        QVERIFY(SafeOpen::ReadRegular(file, 4, data, &truncated));
        QVERIFY(data == "abcd" && truncated);
        QVERIFY(SafeOpen::ReadRegular(file, 6, data, &truncated));
        QVERIFY(data == "abcdef" && !truncated);
    }

    void languageFileCannotHangOrFlood_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("loaded"); // entry 1 read from it
        QTest::newRow("fifo") << "fifo" << false;
        QTest::newRow("/dev/zero") << "zero" << false;
        QTest::newRow("16 MB line of |") << "pipes" << true;
        QTest::newRow("beyond 16 MB") << "huge" << true;
    }

    void languageFileCannotHangOrFlood()
    {
        QFETCH(QString, kind);
        QFETCH(bool, loaded);
        QTemporaryDir dir;
        QString name = dir.filePath(QStringLiteral("deutsch.lng"));
        const qint64 limit = modLang::kMaxLanguageFileBytes;
        if (kind == u"fifo")
            Place(Trap::Fifo, name, {});
        else if (kind == u"zero")
            name = QStringLiteral("/dev/zero");
        else
            QVERIFY(
                SystemTest::WriteFile(name, "1=a|b\r\n2=" + QByteArray(limit - 9 + (kind == u"huge" ? 100 : 0), '|')));
        QElapsedTimer clock;
        clock.start();
        modLang::LoadLanguageFile(name);
        // Linear work takes a second or two, even in the sanitizer build on a busy machine; a
        // quadratic loader takes minutes on 16 MB.
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        const modLang::LanguageState &st = modLang::state();
        QCOMPARE(st.LangLoadError, kind != u"pipes");
        QCOMPARE(LangText(1, false, false, false, QStringLiteral("none")),
                 loaded ? QStringLiteral("a\r\nb") : QStringLiteral("none"));
        if (kind == u"pipes")
            QCOMPARE(LangText(2, false, false, false, {}).size(), 2 * (limit - 9));
        modLang::LoadLanguageData(QByteArray());
    }

    // A phase that logs the same line for every block of every file holds it once.
    void runLogHoldsRepeatsOnce()
    {
        RunLog log;
        const QStringList lines{"a", "b", "b", "", "", "b", "a"};
        for (const QString &line : lines)
            log.append(line);
        for (int i = 0; i < 1000000; ++i)
            log.append(QStringLiteral("Checksum Error! (0)"));
        log.append(QStringLiteral("end"));
        QCOMPARE(log.heldEntries(), qsizetype(7));
        QCOMPARE(log.lineCount(), qint64(lines.size() + 1000001));
        QString streamed;
        int pieces = 0;
        QVERIFY(log.stream([&](const QString &piece) {
            ++pieces;
            streamed += piece;
            return true;
        }));
        QVERIFY(pieces > 1); // handed out in bounded pieces
        QCOMPARE(streamed, QStringLiteral("a\r\nb\r\nb\r\n\r\n\r\nb\r\na\r\n") +
                               QStringLiteral("Checksum Error! (0)\r\n").repeated(1000000) + QStringLiteral("end\r\n"));
        QCOMPARE(log.text(), streamed);
        QVERIFY(!log.stream([](const QString &) { return false; }));
        log.setText(QStringLiteral("x\r\ny"));
        QCOMPARE(log.lines(), QStringList({"x", "y"}));
    }

    void failedBlockAllocationIsAnAccessFailure()
    {
        for (bool multiple : {false, true}) {
            Target t;
            t.ctx->Txt1Text = QStringLiteral("2");
            t.ctx->Txt2Text = QStringLiteral("1");
            modFile::RawBlock::SetAllocator([](size_t, size_t) -> void * { return nullptr; });
            multiple ? StartMultiple(*t.ctx) : StartSingle(*t.ctx);
            modFile::RawBlock::SetAllocator(nullptr);
            const QStringList lines = t.ctx->LogTextLines();
            QVERIFY2(lines.contains(t.Denied()), qPrintable(lines.join(u'\n')));
            QVERIFY(!lines.contains(QStringLiteral("Ergebnis:")));
            QCOMPARE(FilesIn(t.path, QStringLiteral("*.tst")), QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TestHostileInputs)
#include "tst_hostile_inputs.moc"
