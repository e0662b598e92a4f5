// The target box: completion while typing, the focus-lost rule and the browse list rules.
#include "shell/TargetBox.h"
#include "shell/frmMain.h"
#include "shell/lang/modLang.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

class TestTargetBox : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QComboBox *m_box = nullptr;
    TargetBox *m_target = nullptr;
    bool m_busy = false;
    const QString m_browse = QStringLiteral("<Browse...>");

    QLineEdit *edit() const { return m_box->lineEdit(); }

    QStringList items() const
    {
        QStringList items;
        for (int i = 0; i < m_box->count(); ++i)
            items << m_box->itemText(i);
        return items;
    }

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

    // The typed letters keep their case and are a wildcard pattern; the selected tail comes from the item.
    void completion_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        const QStringList three{"/usr/", "/media/Data/", "/mnt/disk2/"};
        QTest::newRow("first match") << three << "/m"
                                     << "/media/Data/";
        QTest::newRow("typing over the tail") << three << "/mn"
                                              << "/mnt/disk2/";
        QTest::newRow("case kept") << three << "/ME"
                                   << "/MEdia/Data/";
        QTest::newRow("whole item, other case") << three << "/MEDIA/DATA/"
                                                << "/MEDIA/DATA/";
        QTest::newRow("longer item") << QStringList{"/media/Data/", "/media/Data/old/"} << "/MEDIA/DATA/"
                                     << "/MEDIA/DATA/old/";
        QTest::newRow("no match") << three << "/x"
                                  << "/x";
        QTest::newRow("#") << three << "/mnt/disk#"
                           << "/mnt/disk#/";
        QTest::newRow("list") << three << "/[lm]"
                              << "/[lm]a/Data/";
        QTest::newRow("not in list") << three << "/[!u]"
                                     << "/[!u]a/Data/";
        QTest::newRow("*") << three << "/*Da"
                           << "/*Daia/Data/";
        QTest::newRow("unclosed list") << QStringList{"/[x/"} << "/["
                                       << "/[";
    }

    void completion()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        fill(list);
        type(keys);
        QCOMPARE(edit()->text(), text);
        QCOMPARE(edit()->selectedText(), text.mid(keys.size()));
        if (edit()->hasSelectedText())
            QCOMPARE(edit()->selectionStart(), keys.size());
    }

    void deletingAndBusy()
    {
        fill({"/usr/", "/media/Data/"});
        type("/me");
        // Backspace takes the completed tail and one typed character; "/m" completes again.
        QTest::keyClick(m_box, Qt::Key_Backspace);
        QCOMPARE(edit()->text(), QStringLiteral("/media/Data/"));
        QCOMPARE(edit()->selectedText(), QStringLiteral("edia/Data/"));
        QTest::keyClick(m_box, Qt::Key_Backspace);
        QCOMPARE(edit()->text(), QStringLiteral("/usr/"));
        QVERIFY(!m_busy);
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
    }

    void leavingTakesTheListSpelling()
    {
        fill({"/usr/", "/media/Data/"});
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        m_box->setEditText(QStringLiteral("/MEDIA/data/"));
        QApplication::sendEvent(m_box, &out);
        QCOMPARE(edit()->text(), QStringLiteral("/media/Data/"));
        m_box->setEditText(QStringLiteral("/srv/new")); // not listed: stays as typed, not added
        QApplication::sendEvent(m_box, &out);
        QCOMPARE(edit()->text(), QStringLiteral("/srv/new"));
        QCOMPARE(m_box->count(), 3);
        // Tab and Enter do the same and put the caret at the end.
        for (auto [key, typed, listed] :
             {std::tuple{Qt::Key_Tab, "/USR/", "/usr/"}, std::tuple{Qt::Key_Return, "/Media/DATA/", "/media/Data/"}}) {
            m_box->setEditText(QString::fromLatin1(typed));
            edit()->setCursorPosition(1);
            QTest::keyClick(m_box, key);
            QCOMPARE(edit()->text(), QString::fromLatin1(listed));
            QCOMPARE(edit()->cursorPosition(), int(strlen(listed)));
        }
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
        };
        fill({"/a/", "/b/", "/c/"});
        pick(QString()); // cancelled: nothing changes
        QCOMPARE(items(), (QStringList{"/a/", "/b/", "/c/", m_browse}));
        QCOMPARE(edit()->text(), m_browse);
        pick(QStringLiteral("/a/")); // a listed folder moves to the end and is selected
        QCOMPARE(items(), (QStringList{"/b/", "/c/", "/a/", m_browse}));
        QCOMPARE(m_box->currentIndex(), 2);
        QCOMPARE(edit()->text(), QStringLiteral("/a/"));
        pick(QStringLiteral("/B/")); // only the exact spelling counts as listed
        QCOMPARE(items(), (QStringList{"/b/", "/c/", "/a/", "/B/", m_browse}));

        // Never more than ten paths after a browse; the oldest go first.
        QStringList twelve;
        for (int i = 0; i < 12; ++i)
            twelve << QStringLiteral("/p%1/").arg(i);
        fill(twelve);
        pick(QStringLiteral("/new/"));
        QCOMPARE(items(), twelve.mid(3) << QStringLiteral("/new/") << m_browse);
        QCOMPARE(edit()->text(), QStringLiteral("/new/"));
        // Clicking an ordinary item does not browse.
        m_box->setCurrentIndex(0);
        emit m_box->activated(0);
        QCOMPARE(opened, 4);
    }

    void targetPathOfTheWindow()
    {
        frmMain w;
        QVERIFY(w.Drive1Box && !w.Drive1->completer());
        const std::pair<const char *, const char *> paths[] = {
            {"  /srv/Test  ", "/srv/Test/"}, {"/mnt/usb/", "/mnt/usb/"}, {"", "/"}};
        for (auto [typed, path] : paths) {
            w.Drive1->setEditText(QString::fromLatin1(typed));
            QCOMPARE(w.GetTargetPath(), QString::fromLatin1(path));
        }
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
