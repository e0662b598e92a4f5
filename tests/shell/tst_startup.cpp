// Start-up and close of the main window against a settings store of its own.
#include "controls/Chk1.h"
#include "controls/Txt.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString Items(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items.join(u'|') + QStringLiteral(" @%1").arg(box->currentIndex());
}

void Seed(const QMap<QString, QString> &values)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
    s.clear();
    for (auto it = values.begin(); it != values.end(); ++it)
        s.setValue(QStringLiteral("Veltaro/") + it.key(), it.value());
}

// The stored values of the keys, joined by "|".
QString Stored(const QString &keys)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
    QStringList values;
    for (const QString &key : keys.split(u' '))
        values << s.value(QStringLiteral("Veltaro/") + key, QStringLiteral("<absent>")).toString();
    return values.join(u'|');
}

const QString kKeys = QStringLiteral("NrFiles NrMBytes NrPrevPath PrevPath1 PrevPath2 PrevPathSelected");

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    QTemporaryDir m_workDir;

    void useLanguageFile(const QByteArray &contents)
    {
        QFile f(m_workDir.filePath(QStringLiteral("deutsch.lng")));
        f.remove();
        QVERIFY(contents.isNull() || (f.open(QIODevice::WriteOnly) && f.write(contents) == contents.size()));
    }

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(m_workDir.path())); }

    void firstStartShowsDefaultsAndSavesThem()
    {
        Seed({});
        useLanguageFile(QByteArray());
        frmMain w;
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltaro v.1.0.14"));
        QCOMPARE(w.Txt1->Text() + u'/' + w.Txt2->Text(), QStringLiteral("20/10"));
        const QString home = QDir::homePath() + (QDir::homePath().endsWith(u'/') ? "" : "/");
        QCOMPARE(Items(w.Drive1), home + QStringLiteral("|Translation Error! @0"));
        QVERIFY(w.StopRequested && w.chkDisableCaching->Checked());
        QVERIFY(!w.Chk11->Checked() && !w.ChkDoEvents->Checked() && !w.chkEnableWriteThrough->Checked());
        QCOMPARE(w.Label1->text(), QStringLiteral("Number of files:"));
        QCOMPARE(w.size(), QSize(320, 320));
        QVERIFY(w.close());
        QCOMPARE(Stored(kKeys), QStringLiteral("20|10|1|%1|<absent>|0").arg(home));
    }

    void restoresStoredValuesAndWritesThemBack()
    {
        // The empty path is dropped, so the paths are numbered anew on close.
        Seed({{"NrFiles", "12x"},
              {"NrMBytes", "abc"},
              {"NrPrevPath", "3"},
              {"PrevPath1", "/a/"},
              {"PrevPath2", ""},
              {"PrevPath3", "/c d/"},
              {"PrevPathSelected", "1"}});
        useLanguageFile("[Translation By: T]\r\n27=Anzahl:\r\n53=<Suchen>\r\n");
        frmMain w;
        w.show();
        QCOMPARE(w.Txt1->Text() + u'/' + w.Txt2->Text(), QStringLiteral("12/0"));
        QCOMPARE(Items(w.Drive1), QStringLiteral("/a/|/c d/|<Suchen> @1"));
        QCOMPARE(w.Label1->text() + w.Label2->text(), QStringLiteral("Anzahl:Size of files (MB):"));
        w.Txt1->setText(QStringLiteral("7"));
        QVERIFY(w.close());
        QCOMPARE(Stored(kKeys), QStringLiteral("7|0|2|/a/|/c d/|1"));
        // The store is INI text with the group [Veltaro], read back as text by the next process.
        QFile file(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tavrin.conf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ini = file.readAll();
        QVERIFY(ini.contains("[Veltaro]") && ini.contains("NrFiles=7"));
    }

    void badStoredValuesFallBack()
    {
        Seed({{"NrFiles", "-2.5"},
              {"NrMBytes", "1e3"},
              {"NrPrevPath", "99999999999"},
              {"PrevPath1", "/x/"},
              {"PrevPathSelected", "99"}});
        useLanguageFile(QByteArray(1024, '\xff'));
        frmMain w;
        QCOMPARE(w.Txt1->Text() + u'/' + w.Txt2->Text(), QStringLiteral("-3/1000"));
        QVERIFY2(Items(w.Drive1).startsWith(QStringLiteral("/x/|")) && Items(w.Drive1).endsWith(" @0"),
                 qPrintable(Items(w.Drive1)));
        Seed({{"PrevPathSelected", "-1"}, {"NrPrevPath", "abc"}});
        frmMain w2;
        QCOMPARE(w2.Drive1->count(), 2);
        QCOMPARE(w2.Drive1->currentIndex(), 0);
    }

    void closeDuringRunOnlyAsksToStop()
    {
        Seed({{"NrFiles", "5"}});
        useLanguageFile(QByteArray());
        frmMain w;
        w.show();
        w.Txt1->setText(QStringLiteral("9"));
        w.StopRequested = false;
        QVERIFY(!w.close());
        QVERIFY(w.isVisible() && w.StopRequested);
        QCOMPARE(Stored(QStringLiteral("NrFiles")), QStringLiteral("5"));
        QVERIFY(w.close());
        QCOMPARE(Stored(QStringLiteral("NrFiles")), QStringLiteral("9"));
    }
};

int main(int argc, char *argv[])
{
    // The store's folder is fixed at the first settings access, so it is set before anything runs.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
