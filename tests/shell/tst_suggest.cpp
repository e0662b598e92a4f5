// The value proposal: the free-space chain, the proposal table, the question and the button.
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "lang/modLang.h"
#include "platform/modGetDiskSpaceFree.h"
#include "platform/ui/MsgBox.h"
#include "shell/frmMain.h"
#include "shell/modTest_suggest.h"

#include <QtTest>
#include <QtWidgets>

using namespace modGetDiskSpaceFree;

class TestSuggest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        QDir::setCurrent(m_dir.path());
    }

    void truncationAndProposalTable()
    {
        // Bytes=KB; rounding to four decimals comes first: 1023.95 / 1024 becomes 1, 1023.9 / 1024 stays below.
        for (const QString &c : QStringLiteral("0=0 1023=0 1024=1 2047=1 1048575=1023 1048576=1024 4294967295=4194303 "
                                               "4294967296=4194304 5000000000=4882812 1023.95=1 1023.9=0 = abc= "
                                               "922337203685477=900719925474 922337203685478=")
                                    .split(u' '))
            QVERIFY2(DivideBy1024(c.section(u'=', 0, 0)) == c.section(u'=', 1), qPrintable(c));
        // Bytes to MB through both steps, at the edges where whole MB begin.
        for (const auto &[in, out] : {std::pair{"1048575", "0"}, {"2097151", "1"}, {"10737418240", "10240"}})
            QVERIFY2(DivideBy1024(DivideBy1024(QString::fromLatin1(in))) == QString::fromLatin1(out), in);
        // free=MB,files,MB each: 2.5 files round to 2 (10), 12.5 to 12 (100), 12.5 MB to 12; 11 and 15 need a fix.
        for (const QString &row : QStringLiteral("0=0,0,1 1=1,1,1 2=2,2,1 7=7,7,1 9=9,9,1 4=4,2,2 6=6,2,3 8=8,2,4 "
                                                 "10=10,5,2 11=11,5,2 15=15,5,3 100=100,12,8 7000=7000,64,109 "
                                                 "10000=10000,80,125 5000=5000,64,78 123456=123456,192,643 "
                                                 "2000000=2000000,448,4464 12.5=12,4,3 =0,0,1")
                                      .split(u' ')) {
            const modTest::Proposal p = modTest::ProposeValues(row.section(u'=', 0, 0));
            QCOMPARE(row.section(u'=', 0, 0) + QStringLiteral("=%1,%2,%3").arg(p.free).arg(p.files).arg(p.megabytes),
                     row);
        }
    }

    void questionAndAnswer()
    {
        const modTest::Proposal p{10000, 80, 125};
        const auto message = [&](const char *file) {
            LoadLanguageFile(qEnvironmentVariable("VELTARO_SOURCE_DIR") + "/lang/" + QLatin1String(file));
            return modTest::ProposalMessage(QStringLiteral("/data/"), p);
        };
        QCOMPARE(message("none"),
                 QStringLiteral("Freier Speicher auf[/data/]: 10000 MB\r\n\r\nVorschlag für die "
                                "Einstellungen: 80 Dateien á 125 MB= 10000 MB\r\n\r\nVorschlag übernehmen?"));
        QCOMPARE(message("deutsch.lng"),
                 QStringLiteral("Freier Speicher auf [/data/]: 10000 MB\r\n\r\nVorschlag für die "
                                "Einstellungen: 80 Dateien á 125 MB = 10000 MB\r\n\r\nVorschlag übernehmen?"));
        modLang::state() = modLang::LanguageState{};
        QString box; // "style|title|prompt"
        int answer = MsgBoxResult::No;
        SetMsgBoxHandler([&](const QString &prompt, int style, const QString &title) {
            box = QStringLiteral("%1|%2|%3").arg(style).arg(title, prompt);
            return answer;
        });
        // The button: No keeps the fields, Yes fills both with what the question offered.
        frmMain w;
        w.Drive1->setEditText(m_dir.path());
        w.Txt1->setText(QStringLiteral("3"));
        w.Txt2->setText(QStringLiteral("4"));
        emit w.Cmd13->Click();
        QVERIFY2(box.startsWith(QStringLiteral("68|Veltaro|Freier Speicher auf[%1/]: ").arg(m_dir.path())),
                 qPrintable(box));
        QCOMPARE(w.Txt1->Text() + w.Txt2->Text(), QStringLiteral("34"));
        answer = MsgBoxResult::Yes;
        emit w.Cmd13->Click();
        const auto m = QRegularExpression(QStringLiteral(": (\\d+) Dateien á (\\d+) MB")).match(box);
        QVERIFY2(m.hasMatch(), qPrintable(box));
        if (m.captured(1).toInt() >= 1)
            QCOMPARE(w.Txt1->Text() + u'/' + w.Txt2->Text(), m.captured(1) + u'/' + m.captured(2));
        // Nothing free where nothing exists: 0 files are not taken even on Yes.
        w.Txt1->setText(QStringLiteral("3"));
        w.Drive1->setEditText(m_dir.filePath(QStringLiteral("missing")));
        emit w.Cmd13->Click();
        QVERIFY2(box.contains(QStringLiteral("]: 0 MB\r\n\r\nVorschlag für die Einstellungen: 0 Dateien á 1 MB")),
                 qPrintable(box));
        QCOMPARE(w.Txt1->Text(), QStringLiteral("3"));
        SetMsgBoxHandler({});
    }
};

QTEST_MAIN(TestSuggest)
#include "tst_suggest.moc"
