// The target box: completion while typing, the focus-lost rule and the browse list rules; and the
// values proposed for the target: the free-space chain, the proposal table, the question and the button.
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "lang/modLang.h"
#include "platform/modGetDiskSpaceFree.h"
#include "platform/ui/MsgBox.h"
#include "shell/TargetBox.h"
#include "shell/frmMain.h"
#include "shell/modTest_suggest.h"

#include <QtTest>
#include <QtWidgets>

using namespace modGetDiskSpaceFree;

class TestTargetBox : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QComboBox *m_box = nullptr;
    TargetBox *m_target = nullptr;
    bool m_busy = false;

    QLineEdit *edit() const { return m_box->lineEdit(); }
    // The text with its selected part in brackets.
    QString shown() const { return edit()->text() + u'[' + edit()->selectedText() + u']'; }

    // The items, the current index and the text.
    QString list() const
    {
        QStringList items;
        for (int i = 0; i < m_box->count(); ++i)
            items << m_box->itemText(i);
        return items.join(u'|') + QStringLiteral(" @%1 ").arg(m_box->currentIndex()) + edit()->text();
    }

    void fill(const QString &paths)
    {
        m_box->clear();
        m_box->addItems(paths.split(u' '));
        m_box->addItem(QStringLiteral("<Browse...>"));
        m_box->setEditText(QString());
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        QDir::setCurrent(m_dir.path());
        modLang::LoadLanguageData("53=<Browse...>\r\n52=Pick a folder\r\n");
    }

    void init()
    {
        m_box = new QComboBox;
        m_box->setEditable(true);
        m_box->setInsertPolicy(QComboBox::NoInsert);
        m_busy = false;
        m_target = new TargetBox(m_box, m_busy, nullptr);
        m_target->setBrowser([](QWidget *) -> QString { qFatal("the browser must not open here"); });
    }

    void cleanup() { delete m_box; }

    // The typed letters keep their case and are a wildcard pattern; the selected tail comes from the item.
    // Backspace (\b) takes the tail and one typed character, then completes again; Delete (\x7f) does not.
    void completion()
    {
        // clang-format off
        const std::tuple<const char *, const char *, const char *> cases[] = { // list ("" for three), keys, shown
            {"", "/m", "/media/Data/[edia/Data/]"}, {"", "/mn", "/mnt/disk2/[t/disk2/]"},
            {"", "/ME", "/MEdia/Data/[dia/Data/]"}, {"", "/MEDIA/DATA/", "/MEDIA/DATA/[]"},
            {"/media/Data/ /media/Data/old/", "/MEDIA/DATA/", "/MEDIA/DATA/old/[old/]"}, {"", "/x", "/x[]"},
            {"", "/mnt/disk#", "/mnt/disk#/[/]"}, {"", "/[lm]", "/[lm]a/Data/[a/Data/]"},
            {"", "/[!u]", "/[!u]a/Data/[a/Data/]"}, {"", "/*Da", "/*Daia/Data/[ia/Data/]"}, {"/[x/", "/[", "/[[]"},
            {"", "/me\b", "/media/Data/[edia/Data/]"}, {"", "/me\b\b", "/usr/[usr/]"}, {"", "/me\x7f", "/me[]"}};
        // clang-format on
        for (const auto &[items, keys, text] : cases) {
            fill(QString::fromLatin1(*items ? items : "/usr/ /media/Data/ /mnt/disk2/"));
            for (const char *k = keys; *k; ++k)
                *k == '\b'     ? QTest::keyClick(m_box, Qt::Key_Backspace)
                : *k == '\x7f' ? QTest::keyClick(m_box, Qt::Key_Delete)
                               : QTest::keyClicks(m_box, QString(QChar(*k)));
            QCOMPARE(shown(), QString::fromLatin1(text));
            QVERIFY2(!edit()->hasSelectedText() || edit()->selectionEnd() == edit()->text().size(), keys);
        }
        // While the program itself changes the text, typing does not complete.
        fill(QStringLiteral("/usr/"));
        m_busy = true;
        QTest::keyClicks(m_box, QStringLiteral("/u"));
        QCOMPARE(shown(), QStringLiteral("/u[]"));
    }

    // Leaving takes the list spelling of a listed path; Tab and Enter do the same and put the caret at the end.
    void leavingTakesTheListSpelling()
    {
        fill(QStringLiteral("/usr/ /media/Data/"));
        const auto leave = [&](const char *typed, Qt::Key key) {
            m_box->setEditText(QString::fromLatin1(typed));
            edit()->setCursorPosition(1);
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            key ? QTest::keyClick(m_box, key) : void(QApplication::sendEvent(m_box, &out));
            return edit()->text() + (key ? QStringLiteral("@%1").arg(edit()->cursorPosition()) : QString());
        };
        QCOMPARE(leave("/MEDIA/data/", Qt::Key(0)), QStringLiteral("/media/Data/"));
        QCOMPARE(leave("/srv/new", Qt::Key(0)), QStringLiteral("/srv/new")); // not listed: stays, not added
        QCOMPARE(leave("/USR/", Qt::Key_Tab), QStringLiteral("/usr/@5"));
        QCOMPARE(leave("/Media/DATA/", Qt::Key_Return), QStringLiteral("/media/Data/@12"));
        QCOMPARE(m_box->count(), 3);
        QVERIFY(!m_busy);
    }

    void browsingKeepsTenPathsNewestLast()
    {
        QString answer;
        int opened = 0;
        m_target->setBrowser([&](QWidget *) { return ++opened, answer; });
        const auto pick = [&](const QString &folder) {
            answer = folder;
            m_box->setCurrentIndex(m_box->count() - 1);
            emit m_box->activated(m_box->count() - 1);
            return list();
        };
        fill(QStringLiteral("/a/ /b/ /c/"));
        // Cancelled: nothing changes. A listed folder moves to the end; only its exact spelling counts.
        QCOMPARE(pick(QString()), QStringLiteral("/a/|/b/|/c/|<Browse...> @3 <Browse...>"));
        QCOMPARE(pick(QStringLiteral("/a/")), QStringLiteral("/b/|/c/|/a/|<Browse...> @2 /a/"));
        QCOMPARE(pick(QStringLiteral("/B/")), QStringLiteral("/b/|/c/|/a/|/B/|<Browse...> @3 /B/"));
        // Never more than ten paths after a browse; the oldest go first.
        fill(QStringLiteral("/0/ /1/ /2/ /3/ /4/ /5/ /6/ /7/ /8/ /9/ /10/ /11/"));
        QCOMPARE(pick(QStringLiteral("/new/")),
                 QStringLiteral("/3/|/4/|/5/|/6/|/7/|/8/|/9/|/10/|/11/|/new/|<Browse...> @9 /new/"));
        // Clicking an ordinary item does not browse.
        m_box->setCurrentIndex(0);
        emit m_box->activated(0);
        QCOMPARE(opened, 4);
    }

    void targetPathOfTheWindow()
    {
        frmMain w;
        for (auto [typed, path] : {std::pair{"  /srv/Test  ", "/srv/Test/"}, std::pair{"", "/"}}) {
            w.Drive1->setEditText(QString::fromLatin1(typed));
            QCOMPARE(w.GetTargetPath(), QString::fromLatin1(path));
        }
        // A missing folder is no target; the build machine's own folder is on some disk the test runs accept.
        qint16 kind = -1;
        QVERIFY(!w.CheckDriveType(m_dir.filePath(QStringLiteral("missing/")), kind));
        QCOMPARE(kind, qint16(0));
        QVERIFY(w.CheckDriveType(m_dir.path() + u'/', kind));
        QVERIFY2(QList<qint16>({1, 2, 3, 5}).contains(kind), qPrintable(QString::number(kind)));
    }

    void truncationAndProposalTable()
    {
        // Bytes=KB; rounding to four decimals comes first: 1023.95 / 1024 becomes 1, 1023.9 / 1024 stays below.
        for (const QString &c : QStringLiteral("0=0 1023=0 1024=1 2047=1 1048575=1023 1048576=1024 4294967295=4194303 "
                                               "4294967296=4194304 5000000000=4882812 1023.95=1 1023.9=0 = abc= "
                                               "922337203685477=900719925474 922337203685478=")
                                    .split(u' '))
            QVERIFY2(DivideBy1024(c.section(u'=', 0, 0)) == c.section(u'=', 1), qPrintable(c));
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

QTEST_MAIN(TestTargetBox)
#include "tst_targetbox.moc"
