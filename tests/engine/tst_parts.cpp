// The parts below the phases: raw files, timers, clean-up file operations, log panel, number texts.
#include "common/EngineTestSupport.h"
#include "engine/PhaseSupport.h"
#include "lang/modLang.h"
#include "platform/FileOps.h"
#include "platform/NumberText.h"
#include "platform/TickClock.h"
#include "platform/modFile.h"
#include "report/LogFormat.h"

#include <QtTest>
#include <fcntl.h>
#include <thread>

using namespace modFile;

class TestParts : public QObject {
    Q_OBJECT
private slots:
    void rawFiles()
    {
        RawBlock block;
        QVERIFY(!block.SetText(QString(5000, u'x')));
        QVERIFY(block.SetText(QString(257, u'x')) && block.size() == 512);
        QVERIFY(block.SetText(QString(1022, u'x')));
        QCOMPARE(reinterpret_cast<quintptr>(block.data()) % 4096, quintptr(0)); // as O_DIRECT needs
        QVERIFY(ReadBlock(0, block, 1024) == -1 && !WriteBlock(0, block) && !CloseRawFile(0, true));

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
            QVERIFY(WriteBlock(h, block) && CloseRawFile(h, true));
        }
        QCOMPARE(EngineTest::ReadAll(path), EngineTest::Block());

        // The read record holds 128 characters of path; a longer one does not open.
        const QString fits = dir.path() + u'/' + QString(127 - dir.path().size(), u'a');
        QVERIFY(QFile::copy(path, fits) && QFile::copy(path, fits + u'b'));
        const int32_t r = OpenFileForRead(fits, OF_READ);
        QCOMPARE(kernelFlags(r), O_RDONLY);
        QVERIFY(CloseRawFile(r, false) && !CloseRawFile(r, false));
        QCOMPARE(OpenFileForRead(fits + u'b', OF_READ), 0);
    }

    // The block calls are positioned: the handle keeps the place, across a move and a short read.
    void rawFileBlocksFollowEachOther()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/1.tst";
        RawBlock block;
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
        QCOMPARE(block.size(), 0);
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
        QVERIFY(timer && timer->Time(a));
        QTest::qWait(20);
        QVERIFY(timer->Time(b) && TimerDifference(b, a) >= 15 && TimerDifference(b, a) < 5000);
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
        QVERIFY(ns > ticks / 20 && ns < ticks * 10);
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
        EngineTest::UseGerman();
        const QDateTime when(QDate(2009, 1, 2), QTime(7, 5, 59));
        QCOMPARE(
            QStringList({LogFormat::Seconds(-2.25), LogFormat::Seconds(0.006), LogFormat::General(12345678),
                         LogFormat::GroupedSeconds(1234.5), LogFormat::TimeOfDay(when), RunDriver::LogStamp(when)}),
            QStringList({"-2,25", ",01", "12345678", "1.234,50", "07:05 02.01.09", "01_02_09_07_05"}));
        QCOMPARE(RunDriver::ReadCount16(QStringLiteral("2,5")), int16_t(2)); // halves to even
        QCOMPARE(RunDriver::ReadCount16(QStringLiteral("3,5")), int16_t(4));
        int32_t v = 0;
        QVERIFY(RunDriver::ReadWholeNumber(QStringLiteral("-0,5"), v) && v == -1); // rounded down
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
        EngineTest::UseGerman();
    }
};

QTEST_GUILESS_MAIN(TestParts)
#include "tst_parts.moc"
