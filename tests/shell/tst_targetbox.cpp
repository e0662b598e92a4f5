// The target box: completion while typing, the focus-lost rule and the browse list rules.
#include "lang/modLang.h"
#include "shell/TargetBox.h"
#include "shell/frmMain.h"

#include <QtTest>
#include <QtWidgets>

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
};

QTEST_MAIN(TestTargetBox)
#include "tst_targetbox.moc"
