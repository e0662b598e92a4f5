// The target box: completion while typing, the focus-lost rule and the browse list rules.
#include "shell/TargetBox.h"
#include "shell/frmMain.h"
#include "shell/lang/modLang.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList Items(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

} // namespace

class TestTargetBox : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QComboBox *m_box = nullptr;
    TargetBox *m_target = nullptr;
    bool m_busy = false;
    QString m_browse;

    QLineEdit *edit() const { return m_box->lineEdit(); }

    void fill(const QStringList &paths)
    {
        m_box->clear();
        m_box->addItems(paths);
        m_box->addItem(m_browse);
        m_box->setEditText(QString());
    }

    void type(const QString &keys) { QTest::keyClicks(m_box, keys); }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        QDir::setCurrent(m_dir.path());
        modLang::LoadLanguageData("53=<Browse...>\r\n52=Pick a folder\r\n");
        m_browse = QStringLiteral("<Browse...>");
    }

    void init()
    {
        m_box = new QComboBox;
        m_box->setEditable(true);
        m_box->setInsertPolicy(QComboBox::NoInsert);
        m_busy = false;
        m_target = new TargetBox(m_box, m_busy, nullptr);
        m_target->setBrowser([](QWidget *) -> QString {
            qFatal("the browser must not open here");
            return {};
        });
    }

    void cleanup() { delete m_box; }

    void completesFromListAndKeepsTypedCharacters()
    {
        fill({"/usr/", "/media/Data/", "/mnt/disk2/"});
        type("/m");
        QCOMPARE(edit()->text(), QStringLiteral("/media/Data/"));
        QCOMPARE(edit()->selectionStart(), 2);
        QCOMPARE(edit()->selectedText(), QStringLiteral("edia/Data/"));

        // Typing over the completed tail goes on searching.
        type("n");
        QCOMPARE(edit()->text(), QStringLiteral("/mnt/disk2/"));
        QCOMPARE(edit()->selectedText(), QStringLiteral("t/disk2/"));

        // The typed letters keep their case; the tail comes from the item.
        fill({"/usr/", "/media/Data/"});
        type("/ME");
        QCOMPARE(edit()->text(), QStringLiteral("/MEdia/Data/"));

        // The whole item in other letter case completes nothing; a longer item still can.
        fill({"/media/Data/", "/usr/"});
        type("/MEDIA/DATA/");
        QCOMPARE(edit()->text(), QStringLiteral("/MEDIA/DATA/"));
        QVERIFY(!edit()->hasSelectedText());
        fill({"/media/Data/", "/media/Data/old/"});
        type("/MEDIA/DATA/");
        QCOMPARE(edit()->text(), QStringLiteral("/MEDIA/DATA/old/"));
        QCOMPARE(edit()->selectedText(), QStringLiteral("old/"));

        // No item matches: the text stays as typed.
        fill({"/usr/"});
        type("/x");
        QCOMPARE(edit()->text(), QStringLiteral("/x"));
        QVERIFY(!edit()->hasSelectedText());
    }

    void typedTextIsAWildcardPattern()
    {
        fill({"/usr/", "/mnt/disk2/", "/media/Data/"});
        type("/mnt/disk#");
        QCOMPARE(edit()->text(), QStringLiteral("/mnt/disk#/"));

        fill({"/usr/", "/media/Data/"});
        type("/[lm]");
        QCOMPARE(edit()->text(), QStringLiteral("/[lm]a/Data/"));

        fill({"/usr/", "/media/Data/"});
        type("/[!u]");
        QCOMPARE(edit()->text(), QStringLiteral("/[!u]a/Data/"));

        fill({"/usr/", "/media/Data/"});
        type("/*Da");
        QCOMPARE(edit()->text(), QStringLiteral("/*Daia/Data/"));

        // An unclosed list matches nothing.
        fill({"/[x/"});
        type("/[");
        QCOMPARE(edit()->text(), QStringLiteral("/["));
    }

    void backspaceRemovesTailThenCompletesAgain()
    {
        fill({"/usr/", "/media/Data/"});
        type("/me");
        QCOMPARE(edit()->text(), QStringLiteral("/media/Data/"));
        QTest::keyClick(m_box, Qt::Key_Backspace);
        // The completed tail and one typed character are gone; "/m" completes again.
        QCOMPARE(edit()->text(), QStringLiteral("/media/Data/"));
        QCOMPARE(edit()->selectedText(), QStringLiteral("edia/Data/"));
        QCOMPARE(m_busy, false);

        QTest::keyClick(m_box, Qt::Key_Backspace);
        // "/" is completed from the first item that starts with it.
        QCOMPARE(edit()->text(), QStringLiteral("/usr/"));

        // Delete takes the selected tail away, and the completion does not put it back.
        fill({"/usr/", "/media/Data/"});
        type("/me");
        QTest::keyClick(m_box, Qt::Key_Delete);
        QCOMPARE(edit()->text(), QStringLiteral("/me"));

        // While the program itself changes the text, typing does not complete.
        fill({"/usr/"});
        m_busy = true;
        type("/u");
        QCOMPARE(edit()->text(), QStringLiteral("/u"));
        m_busy = false;
    }

    void leavingTakesTheListSpelling()
    {
        fill({"/usr/", "/media/Data/"});
        m_box->setEditText(QStringLiteral("/MEDIA/data/"));
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(m_box, &out);
        QCOMPARE(edit()->text(), QStringLiteral("/media/Data/"));

        // A path not in the list stays as typed and is not added.
        m_box->setEditText(QStringLiteral("/srv/new"));
        QApplication::sendEvent(m_box, &out);
        QCOMPARE(edit()->text(), QStringLiteral("/srv/new"));
        QCOMPARE(m_box->count(), 3);

        // Tab and Enter do the same and put the caret at the end.
        m_box->setEditText(QStringLiteral("/USR/"));
        edit()->setCursorPosition(1);
        QTest::keyClick(m_box, Qt::Key_Tab);
        QCOMPARE(edit()->text(), QStringLiteral("/usr/"));
        QCOMPARE(edit()->cursorPosition(), 5);

        m_box->setEditText(QStringLiteral("/Media/DATA/"));
        edit()->setCursorPosition(0);
        QTest::keyClick(m_box, Qt::Key_Return);
        QCOMPARE(edit()->text(), QStringLiteral("/media/Data/"));
        QCOMPARE(edit()->cursorPosition(), 12);
        QCOMPARE(m_busy, false);
    }

    void browsingKeepsTenPathsNewestLast()
    {
        QStringList answers;
        int opened = 0;
        m_target->setBrowser([&](QWidget *) {
            ++opened;
            return answers.takeFirst();
        });
        const auto pick = [&](const QString &answer) {
            answers = {answer};
            m_box->setCurrentIndex(m_box->count() - 1);
            emit m_box->activated(m_box->count() - 1);
        };

        fill({"/a/", "/b/", "/c/"});
        // Cancelled: nothing changes and the box still shows the browse entry.
        pick(QString());
        QCOMPARE(Items(m_box), (QStringList{"/a/", "/b/", "/c/", m_browse}));
        QCOMPARE(edit()->text(), m_browse);

        // A listed folder moves to the end and is selected.
        pick(QStringLiteral("/a/"));
        QCOMPARE(Items(m_box), (QStringList{"/b/", "/c/", "/a/", m_browse}));
        QCOMPARE(m_box->currentIndex(), 2);
        QCOMPARE(edit()->text(), QStringLiteral("/a/"));

        // Only exact spelling counts as listed.
        pick(QStringLiteral("/B/"));
        QCOMPARE(Items(m_box), (QStringList{"/b/", "/c/", "/a/", "/B/", m_browse}));

        // Never more than ten paths after a browse; the oldest go first.
        QStringList ten;
        for (int i = 0; i < 12; ++i)
            ten << QStringLiteral("/p%1/").arg(i);
        fill(ten);
        pick(QStringLiteral("/new/"));
        QStringList expected = ten.mid(3);
        expected << QStringLiteral("/new/") << m_browse;
        QCOMPARE(Items(m_box), expected);
        QCOMPARE(edit()->text(), QStringLiteral("/new/"));

        // Clicking an ordinary item does not browse.
        const int before = opened;
        m_box->setCurrentIndex(0);
        emit m_box->activated(0);
        QCOMPARE(opened, before);
    }

    void targetPathOfTheWindow()
    {
        frmMain w;
        QVERIFY(w.Drive1Box);
        QVERIFY(!w.Drive1->completer());
        w.Drive1->setEditText(QStringLiteral("  /srv/Test  "));
        QCOMPARE(w.GetTargetPath(), QStringLiteral("/srv/Test/"));
        w.Drive1->setEditText(QStringLiteral("/mnt/usb/"));
        QCOMPARE(w.GetTargetPath(), QStringLiteral("/mnt/usb/"));
        w.Drive1->setEditText(QString());
        QCOMPARE(w.GetTargetPath(), QStringLiteral("/"));

        qint16 kind = -1;
        QVERIFY(!w.CheckDriveType(m_dir.filePath(QStringLiteral("missing/")), kind));
        QCOMPARE(kind, qint16(0));
        // The build machine's own folder is on some disk the test runs accept.
        QVERIFY(w.CheckDriveType(m_dir.path() + u'/', kind));
        QVERIFY(kind == 1 || kind == 2 || kind == 3 || kind == 5);
    }
};

QTEST_MAIN(TestTargetBox)
#include "tst_targetbox.moc"
