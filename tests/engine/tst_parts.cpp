// The parts below the phases: raw files, timers, clean-up file operations, log panel, number texts;
// and names someone else could have placed and inputs meant to hang or flood: each costs bounded time
// and memory and ends in the message that fits.
#include "common/EngineTestSupport.h"
#include "common/SystemSupport.h"
#include "engine/PhaseSupport.h"
#include "engine/RunDriver.h"
#include "engine/RunLog.h"
#include "lang/modLang.h"
#include "platform/FileOps.h"
#include "platform/NumberText.h"
#include "platform/SafeOpen.h"
#include "platform/TickClock.h"
#include "platform/modFile.h"
#include "report/LogFormat.h"

#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace EngineTest;
using namespace modFile;

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

class TestParts : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }

    void rawFiles()
    {
        RawBlock block;
        QVERIFY(!block.SetText(QString(5000, u'x')));
        QVERIFY(block.SetText(QString(257, u'x')));
        QVERIFY(block.size() == 512);
        QVERIFY(block.SetText(QString(1022, u'x')));
        QCOMPARE(reinterpret_cast<quintptr>(block.data()) % 4096, quintptr(0)); // as O_DIRECT needs
        QVERIFY(ReadBlock(0, block, 1024) == -1);
        QVERIFY(!WriteBlock(0, block));
        QVERIFY(!CloseRawFile(0, true));

        // The kernel holds the flags the two check boxes ask for; an old file is truncated.
        QTemporaryDir dir;
        const QString path = dir.path() + "/1.tst";
        QVERIFY(FileOps::AppendTextFile(path, QString(5000, u'o')));
        const auto kernelFlags = [](int32_t handle) {
            QFile info(QStringLiteral("/proc/self/fdinfo/%1").arg(handle - 1));
            const QByteArray text = info.open(QIODevice::ReadOnly) ? info.readAll() : QByteArray();
            return text.mid(text.indexOf("flags:") + 6).split('\n').first().trimmed().toInt(nullptr, 8) &
                   (O_ACCMODE | O_DIRECT | O_DSYNC);
        };
        for (const auto &[flags, expected] : {std::pair<uint32_t, int>{0, O_WRONLY},
                                              {FILE_FLAG_NO_BUFFERING, O_WRONLY | O_DIRECT},
                                              {FILE_FLAG_WRITE_THROUGH, O_WRONLY | O_DSYNC}}) {
            const int32_t h = OpenRawFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS, flags);
            QCOMPARE(kernelFlags(h), expected);
            QVERIFY(WriteBlock(h, block));
            QVERIFY(CloseRawFile(h, true));
        }
        QCOMPARE(EngineTest::ReadAll(path), EngineTest::Block());

        // The read record holds 128 characters of path; a longer one does not open.
        const QString fits = dir.path() + u'/' + QString(127 - dir.path().size(), u'a');
        QVERIFY(QFile::copy(path, fits));
        QVERIFY(QFile::copy(path, fits + u'b'));
        const int32_t r = OpenFileForRead(fits, OF_READ);
        QCOMPARE(kernelFlags(r), O_RDONLY);
        QVERIFY(CloseRawFile(r, false));
        QVERIFY(!CloseRawFile(r, false));
        QCOMPARE(OpenFileForRead(fits + u'b', OF_READ), 0);

        // The block calls are positioned: the handle keeps the place, across a move and a short read.
        RawFile file(OpenRawFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS, 0));
        QVERIFY(block.SetText(QString(1024, u'a')));
        QCOMPARE(file.writeBlock(block), 1024);
        RawFile moved(std::move(file)); // as the multiple test's handles move when their vector grows
        QCOMPARE(file.writeBlock(block), -1);
        QCOMPARE(errno, EBADF);
        QVERIFY(block.SetText(QString(512, u'b')));
        QCOMPARE(moved.writeBlock(block), 512);
        moved.close();
        QCOMPARE(EngineTest::ReadAll(path), QByteArray(1024, 'a') + QByteArray(512, 'b'));

        RawFile reader(OpenFileForRead(path, OF_READ));
        RawFile writeOnly(OpenRawFile(dir.path() + "/2.tst", GENERIC_WRITE, 0, CREATE_ALWAYS, 0));
        QCOMPARE(writeOnly.readBlock(block, 1024), -1); // failed, and the block holds nothing
        QCOMPARE(errno, EBADF);                         // the kernel's reason, as errno
        QCOMPARE(block.size(), 0);
        QVERIFY(block.SetText(QString(1024, u'c')));
        errno = 0;
        QCOMPARE(reader.writeBlock(block), -1);
        QCOMPARE(errno, EBADF);
        QCOMPARE(reader.readBlock(block, 4096), 1024); // never more than one block
        QCOMPARE(QByteArray(block.data(), block.size()), QByteArray(1024, 'a'));
        QCOMPARE(reader.readBlock(block, 1024), 512);
        QCOMPARE(QByteArray(block.data(), block.size()), QByteArray(512, 'b'));
        QCOMPARE(reader.readBlock(block, 1024), 0);
    }

    void timerReadsWrapsAndFails()
    {
        const auto timer = TimerComponent::Create();
        int32_t a = 0, b = 0;
        QVERIFY(timer);
        QVERIFY(timer->Time(a));
        QTest::qWait(20);
        QVERIFY(timer->Time(b));
        QVERIFY(TimerDifference(b, a) >= 15);
        QVERIFY(TimerDifference(b, a) < 5000);
        QVERIFY(!TimerComponent::Create([] { return std::optional<int64_t>(); }));
        // Readings are 32 bits and wrap; the difference stays right across the wrap.
        QVERIFY(TimerComponent::Create([] { return std::optional<int64_t>(0x7FFFFFFFLL + 6); })->Time(a));
        QCOMPARE(a, std::numeric_limits<int32_t>::min() + 5);
        QCOMPARE(TimerDifference(a, std::numeric_limits<int32_t>::max() - 4), 10);
    }

    // The per-block clock: the processor's counter scaled to the monotonic clock's nanoseconds.
    void tickClockAgreesWithTheMonotonicClock()
    {
        // Where the kernel keeps time otherwise, the ticks are the monotonic clock's own nanoseconds.
        const TickClock clock = TickClock::counter(2'000'000);
        const uint64_t ns0 = MonotonicNs();
        const uint64_t t0 = clock.now();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const uint64_t t1 = clock.now();
        const double measured = double(clock.toNs(t1 - t0)), reference = double(MonotonicNs() - ns0);
        QVERIFY2(qAbs(measured / reference - 1) < 0.002, qPrintable(QStringLiteral("counter %1: %2 ns against %3 ns")
                                                                        .arg(clock.usesCounter())
                                                                        .arg(measured)
                                                                        .arg(reference)));
        if (!clock.usesCounter())
            return;
        // About five days of ticks: the scaling must stay linear far past 64-bit products.
        const uint64_t ticks = uint64_t(1) << 50;
        const uint64_t ns = clock.toNs(ticks);
        QVERIFY(ns > ticks / 20);
        QVERIFY(ns < ticks * 10);
        QVERIFY(qAbs(qint64(clock.toNs(ticks * 2) - 2 * ns)) <= 2);
        QVERIFY(qAbs(qint64(clock.toNs(ticks / 1024) * 1024 - ns)) <= 1024);
    }

    void cleanUpFileOperations()
    {
        QTemporaryDir dir;
        const QString d = dir.path() + u'/';
        QVERIFY(!FileOps::DeleteFiles(d, QStringLiteral("*.tst"))); // nothing to delete fails
        for (const char *name : {"1.tst", "keep.txt", "x.TST"})
            QFile(d + name).open(QIODevice::WriteOnly);
        QVERIFY(QDir(d).mkpath(QStringLiteral("folder.tst/inner")));
        QVERIFY(FileOps::DeleteFiles(d, QStringLiteral("*.tst")));
        QCOMPARE(EngineTest::FilesIn(d), QStringList({"keep.txt", "x.TST"}));
        QCOMPARE(FileOps::DeleteFile(d + "1.tst"), FileOps::DeleteResult::Missing);
        QCOMPARE(FileOps::DeleteFile(d + "folder.tst"), FileOps::DeleteResult::Failed);
        QVERIFY(FileOps::AppendTextFile(d + "keep.txt", QStringLiteral("größer\r\n")));
        QCOMPARE(EngineTest::ReadAll(d + "keep.txt"), QByteArray("gr\xc3\xb6\xc3\x9f"
                                                                 "er\r\n"));
        QVERIFY(!FileOps::AppendTextFile(d + "no/a.log", QStringLiteral("x")));
    }

    void panelShowsTheSixNewestLines()
    {
        LogLineArray lines{};
        RunLog log;
        QString caption;
        for (const char *line : {"A", "B", "C", "D", "E", "F", "G"})
            caption = LogPrint(lines, log, QString::fromLatin1(line));
        QCOMPARE(caption, QStringLiteral("B\r\nC\r\nD\r\nE\r\nF\r\nG\r\n"));
        // "<clear>" empties the panel only; an empty line is logged but leaves the panel as it is.
        QCOMPARE(LogPrint(lines, log, QStringLiteral("<clear>")), QString());
        QCOMPARE(LogPrint(lines, log, QStringLiteral("H")), QStringLiteral("H\r\n"));
        QCOMPARE(LogPrint(lines, log, QString()), QStringLiteral("H\r\n"));
        QCOMPARE(log.text(), QStringLiteral("A\r\nB\r\nC\r\nD\r\nE\r\nF\r\nG\r\nH\r\n\r\n"));
    }

    void textsAndNumbers()
    {
        const QDateTime when(QDate(2009, 1, 2), QTime(7, 5, 59));
        QCOMPARE(
            QStringList({LogFormat::Seconds(-2.25), LogFormat::Seconds(0.006), LogFormat::General(12345678),
                         LogFormat::GroupedSeconds(1234.5), LogFormat::TimeOfDay(when), RunDriver::LogStamp(when)}),
            QStringList({"-2,25", ",01", "12345678", "1.234,50", "07:05 02.01.09", "01_02_09_07_05"}));
        QCOMPARE(RunDriver::ReadCount16(QStringLiteral("2,5")), int16_t(2)); // halves to even
        QCOMPARE(RunDriver::ReadCount16(QStringLiteral("3,5")), int16_t(4));
        int32_t v = 0;
        QVERIFY(RunDriver::ReadWholeNumber(QStringLiteral("-0,5"), v));
        QVERIFY(v == -1); // rounded down
        // The overall bar's numerator overflows once the megabytes done pass 21 474 836.
        QCOMPARE(PhaseSupport::Percent(21474836, 42949672), std::optional<double>(50.0));
        QVERIFY(!PhaseSupport::Percent(21474837, 42949674));
        // The number a text starts with, as text|number|whole number text.
        for (const QString &c : QStringLiteral("20|20|20;abc|0|0;12x|12|12;|0|0; 1 2 |12|12;7.9|7.9|7;-2.5|-2.5|-3;"
                                               "1e3|1000|1000;5e|5|5;&H1F|31|31;&o17|15|15;3,5|3|3;-|0|0;1e999|0|0;"
                                               "99999999999|99999999999|99999999999;1e20|1e20|1e+20")
                                    .split(u';')) {
            const QString text = c.section(u'|', 0, 0);
            QVERIFY2(qFuzzyCompare(LeadingNumber(text) + 1, c.section(u'|', 1, 1).toDouble() + 1), qPrintable(c));
            QCOMPARE(WholeNumberText(text), c.section(u'|', 2));
        }

        // deutsch.lng gives the built-in texts (blanks around them are added where they are fetched).
        modLang::LoadLanguageFile(qEnvironmentVariable("VELTARO_SOURCE_DIR") + QStringLiteral("/lang/deutsch.lng"));
        QStringList texts;
        for (int n :
             {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 40, 41, 54})
            texts << LangText(n, false, false, false, QString());
        QCOMPARE(texts.join(u'|'), QStringLiteral("Ergebnis:|Schreibzeit:|Lesezeit:|Veltaro auf:|Erstellt mit Veltaro "
                                                  "Version|Werte dürfen nicht größer als 32000 sein!|Kann Testdateien "
                                                  "nicht löschen!|Kann Testdatei|.tst nicht löschen!|Abbruch...|Kann "
                                                  "auf|nicht zugreifen!|Testende:|Durchschnitt:|MB/s|Sek.|MB|Lese|"
                                                  "Schreibe... |Teststart:|Erstelle|Dateien|Zeit:|Sekunden|Lese "
                                                  "Datei|Datei|Fehler bei der Kommunikation der Timerkomponente!|Das "
                                                  "Ziel existiert nicht oder wird nicht unterstützt!"));
    }

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
        // Save As and the settings ask this before they replace a file.
        QVERIFY(!SafeOpen::AbsentOrRegular(stem + RunDriver::LogStamp(now) + ".log"));
        t.ctx->Txt1Text = QStringLiteral("2");
        t.ctx->Txt2Text = QStringLiteral("1");
        t.ctx->Chk11 = true;
        QElapsedTimer clock;
        clock.start();
        multiple ? StartMultiple(*t.ctx) : StartSingle(*t.ctx);
        QVERIFY(clock.elapsed() < 10000); // no wait on the FIFO
        // Like any log that cannot be written: the single test tries until it gives up, the multiple test skips it.
        const QStringList lines = t.ctx->LogTextLines();
        QVERIFY(lines.contains(QStringLiteral("Ergebnis:")));
        QVERIFY(!lines.contains(QStringLiteral("Kann auf ") + t.ctx->LogFile + QStringLiteral(" nicht zugreifen!")));
        QCOMPARE(lines.last() == QStringLiteral("Kann Testdateien nicht löschen!"), !multiple);
        QCOMPARE(ReadAll(outside), QByteArray("untouched"));
        QCOMPARE(FilesIn(t.path, QStringLiteral("*.tst")), QStringList());
        QVERIFY(!t.ctx->InputsLocked);
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
        if (loaded) // the line cut at the limit
            QCOMPARE(LangText(2, false, false, false, {}).size(), 2 * (limit - 9));
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

QTEST_GUILESS_MAIN(TestParts)
#include "tst_parts.moc"
