// The value proposal: the free-space chain, the proposal table, the question and the button.
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "platform/DiskSpace.h"
#include "platform/MsgBox.h"
#include "shell/frmMain.h"
#include "shell/lang/modLang.h"
#include "shell/modGetDiskSpaceFree.h"
#include "shell/modTest_suggest.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/statvfs.h>

using namespace modGetDiskSpaceFree;

class TestSuggest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static void loadLanguage(const QString &name)
    {
        QFile f(qEnvironmentVariable("VELTARO_SOURCE_DIR") + QStringLiteral("/lang/") + name);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        modLang::LoadLanguageData(f.readAll());
    }

    static void noLanguage() { modLang::state() = modLang::LanguageState{}; }

    static std::uint64_t statvfsAvailable(const QString &path)
    {
        struct statvfs st {};
        if (::statvfs(QFile::encodeName(path).constData(), &st) != 0)
            return 0;
        return static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        QDir::setCurrent(m_dir.path());
    }

    void cleanup()
    {
        SetMsgBoxHandler({});
        DiskSpace::SetExtendedQueryAvailable(true);
        noLanguage();
    }

    void chainRoundsToFourDecimalsThenTruncates()
    {
        const QList<std::pair<const char *, const char *>> cases{
            {"0", "0"},
            {"1023", "0"},
            {"1024", "1"},
            {"2047", "1"},
            {"1048575", "1023"},
            {"1048576", "1024"},
            {"4294967295", "4194303"},
            {"4294967296", "4194304"},
            {"5000000000", "4882812"},
            {"922337203685477", "900719925474"},
            // Rounding to four decimals comes first: 0.99995 becomes 1, 0.9999 stays below.
            {"1023.95", "1"},
            {"1023.9", "0"},
            {"922337203685478", ""}, // beyond the fixed-point range
            {"", ""},
            {"abc", ""},
        };
        for (const auto &[in, out] : cases)
            QVERIFY2(DivideBy1024(QString::fromLatin1(in)) == QString::fromLatin1(out), in);

        // Bytes to MB through both steps, at the edges where whole MB begin.
        QCOMPARE(DivideBy1024(DivideBy1024(QStringLiteral("1048575"))), QStringLiteral("0"));
        QCOMPARE(DivideBy1024(DivideBy1024(QStringLiteral("2097151"))), QStringLiteral("1"));
        QCOMPARE(DivideBy1024(DivideBy1024(QStringLiteral("10737418240"))), QStringLiteral("10240"));
    }

    void bothFreeSpaceQueries()
    {
        const QString path = m_dir.path() + u'/';
        QVERIFY(HasFreeSpaceEx());
        const double exact = QString(FreeSpaceBytes(path)).toDouble();
        const double expected = static_cast<double>(statvfsAvailable(path));
        // Other programs write meanwhile; a few MB of drift are theirs.
        QVERIFY2(std::abs(exact - expected) < 64.0 * 1048576, qPrintable(FreeSpaceBytes(path)));
        QCOMPARE(FreeSpaceBytes(m_dir.filePath(QStringLiteral("missing/"))), QStringLiteral("0"));
        QCOMPARE(FreeSpaceMB(m_dir.filePath(QStringLiteral("missing/"))), QStringLiteral("0"));

        DiskSpace::SetExtendedQueryAvailable(false);
        QVERIFY(!HasFreeSpaceEx());
        const double old = QString(FreeSpaceBytes(path)).toDouble();
        QVERIFY(old >= 0 && old <= 2147483647.0);
        if (expected > 4294967296.0) {
            // The 32-bit query stops at its range; the 64-bit one did not wrap.
            QCOMPARE(old, 2147483647.0);
            QVERIFY(exact > 4294967296.0);
        } else {
            QVERIFY(std::abs(old - std::min(expected, 2147483647.0)) < 64.0 * 1048576);
        }
        QCOMPARE(FreeSpaceBytes(m_dir.filePath(QStringLiteral("missing/"))), QStringLiteral("0"));

        QCOMPARE(FallbackFreeBytes(512, 8, 1000), 4096000);
        QCOMPARE(FallbackFreeBytes(512, 8, 524287), 2147479552);
        QCOMPARE(FallbackFreeBytes(512, 8, 524288), 2147483647); // 2 GB exactly is one past the range
        QCOMPARE(FallbackFreeBytes(4096, 1, 0xFFFFFFFFu), 2147483647);
        QCOMPARE(FallbackFreeBytes(0, 8, 1000), 0);
    }

    void proposalTable()
    {
        struct Row {
            const char *free;
            int freeMB, files, megabytes;
        };
        const QList<Row> rows{
            {"0", 0, 0, 1},
            {"1", 1, 1, 1},
            {"2", 2, 2, 1},
            {"7", 7, 7, 1},
            {"9", 9, 9, 1},
            {"4", 4, 2, 2},
            {"6", 6, 2, 3},
            {"8", 8, 2, 4},
            {"10", 10, 5, 2},    // 2.5 rounds to 2, not 3
            {"11", 11, 5, 2},    // 12 > 11: one correction
            {"15", 15, 5, 3},    // 16 > 15: one correction
            {"100", 100, 12, 8}, // 12.5 files round to 12
            {"7000", 7000, 64, 109},
            {"10000", 10000, 80, 125},
            // Above 4 GB free.
            {"5000", 5000, 64, 78},
            {"123456", 123456, 192, 643},
            {"2000000", 2000000, 448, 4464},
            {"12.5", 12, 4, 3}, // the free MB themselves round half to even
            {"", 0, 0, 1},
        };
        for (const Row &r : rows) {
            const modTest::Proposal p = modTest::ProposeValues(QString::fromLatin1(r.free));
            QVERIFY2(p.free == r.freeMB && p.files == r.files && p.megabytes == r.megabytes,
                     qPrintable(QStringLiteral("%1 MB: %2 files of %3 MB").arg(r.free).arg(p.files).arg(p.megabytes)));
            QVERIFY(qint64(p.files) * p.megabytes <= p.free || p.free <= 0);
        }
    }

    void questionInEachLanguage()
    {
        const modTest::Proposal p{10000, 80, 125};
        QCOMPARE(modTest::ProposalMessage(QStringLiteral("/data/"), p),
                 QStringLiteral("Freier Speicher auf[/data/]: 10000 MB\r\n\r\n"
                                "Vorschlag für die Einstellungen: 80 Dateien á 125 MB= 10000 MB\r\n\r\n"
                                "Vorschlag übernehmen?"));
        loadLanguage(QStringLiteral("english.lng"));
        QCOMPARE(modTest::ProposalMessage(QStringLiteral("/data/"), p),
                 QStringLiteral("Free space on [/data/]: 10000 MB\r\n\r\n"
                                "Suggested settings: 80 files of 125 MB = 10000 MB\r\n\r\n"
                                "Use these values?"));
        loadLanguage(QStringLiteral("deutsch.lng"));
        QCOMPARE(modTest::ProposalMessage(QStringLiteral("/data/"), p),
                 QStringLiteral("Freier Speicher auf [/data/]: 10000 MB\r\n\r\n"
                                "Vorschlag für die Einstellungen: 80 Dateien á 125 MB = 10000 MB\r\n\r\n"
                                "Vorschlag übernehmen?"));
        // The other entries the target box and the about window use exist in both files.
        for (const QString &file : {QStringLiteral("deutsch.lng"), QStringLiteral("english.lng")}) {
            loadLanguage(file);
            for (int entry : {52, 53, 65}) {
                const QString text = LangText(entry, false, false, false, QString());
                QVERIFY2(text != QStringLiteral("Translation Error!") && text == text.trimmed(),
                         qPrintable(file + QString::number(entry)));
            }
        }
    }

    void answerDecides()
    {
        QString prompt;
        int style = -1;
        QString title;
        int answer = MsgBoxResult::Yes;
        SetMsgBoxHandler([&](const QString &p, int s, const QString &t) {
            prompt = p;
            style = s;
            title = t;
            return answer;
        });
        std::int32_t files = 0, megabytes = 0;
        modTest::SuggestValuesFor(files, megabytes, QStringLiteral("/x/"), QStringLiteral("11"));
        QCOMPARE(style, 68);
        QCOMPARE(title, QStringLiteral("Veltaro"));
        QVERIFY(prompt.startsWith(QStringLiteral("Freier Speicher auf[/x/]: 11 MB")));
        QCOMPARE(files, 5);
        QCOMPARE(megabytes, 2);
        answer = MsgBoxResult::No;
        modTest::SuggestValuesFor(files, megabytes, QStringLiteral("/x/"), QStringLiteral("11"));
        QCOMPARE(files, -1);
        QCOMPARE(megabytes, -1);

        // The button on the window: Yes fills both fields with what the question offered.
        frmMain w;
        w.Drive1->setEditText(m_dir.path());
        w.Txt1->setText(QStringLiteral("3"));
        w.Txt2->setText(QStringLiteral("4"));
        answer = MsgBoxResult::No;
        emit w.Cmd13->Click();
        QVERIFY(prompt.contains(QStringLiteral("[") + m_dir.path() + QStringLiteral("/]: ")));
        QCOMPARE(w.Txt1->Text(), QStringLiteral("3"));
        QCOMPARE(w.Txt2->Text(), QStringLiteral("4"));

        answer = MsgBoxResult::Yes;
        emit w.Cmd13->Click();
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral(": (\\d+) Dateien á (\\d+) MB")).match(prompt);
        QVERIFY2(m.hasMatch(), qPrintable(prompt));
        if (m.captured(1).toInt() >= 1) {
            QCOMPARE(w.Txt1->Text(), m.captured(1));
            QCOMPARE(w.Txt2->Text(), m.captured(2));
        }

        // Nothing free where nothing exists: 0 files are not taken even on Yes.
        w.Txt1->setText(QStringLiteral("3"));
        w.Drive1->setEditText(m_dir.filePath(QStringLiteral("missing")));
        emit w.Cmd13->Click();
        QVERIFY(prompt.contains(QStringLiteral("]: 0 MB")));
        QVERIFY(prompt.contains(QStringLiteral(": 0 Dateien á 1 MB")));
        QCOMPARE(w.Txt1->Text(), QStringLiteral("3"));
    }
};

QTEST_MAIN(TestSuggest)
#include "tst_suggest.moc"
