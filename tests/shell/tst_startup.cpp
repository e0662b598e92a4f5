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

QTemporaryDir *g_config = nullptr;

QStringList Items(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    QTemporaryDir m_workDir;

    static void Seed(const QMap<QString, QString> &values)
    {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
        s.clear();
        s.beginGroup(QStringLiteral("Veltaro"));
        for (auto it = values.begin(); it != values.end(); ++it)
            s.setValue(it.key(), it.value());
    }

    static QString Stored(const QString &key)
    {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
        s.beginGroup(QStringLiteral("Veltaro"));
        return s.value(key, QStringLiteral("<absent>")).toString();
    }

    void useLanguageFile(const QByteArray &contents)
    {
        QFile::remove(m_workDir.filePath(QStringLiteral("deutsch.lng")));
        if (contents.isNull())
            return;
        QFile f(m_workDir.filePath(QStringLiteral("deutsch.lng")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_workDir.path()));
    }

    void firstStartShowsDefaultsAndSavesThem()
    {
        Seed({});
        useLanguageFile(QByteArray());
        frmMain w;
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltaro v.1.0.14"));
        QCOMPARE(w.Txt1->Text(), QStringLiteral("20"));
        QCOMPARE(w.Txt2->Text(), QStringLiteral("10"));
        const QString home = QDir::homePath() + (QDir::homePath().endsWith(u'/') ? "" : "/");
        QCOMPARE(Items(w.Drive1), (QStringList{home, QStringLiteral("Translation Error!")}));
        QCOMPARE(w.Drive1->currentIndex(), 0);
        QVERIFY(w.StopRequested);
        QVERIFY(w.chkDisableCaching->Checked());
        QVERIFY(!w.Chk11->Checked() && !w.ChkDoEvents->Checked() && !w.chkEnableWriteThrough->Checked());
        QCOMPARE(w.Label1->text(), QStringLiteral("Number of files:"));
        QCOMPARE(w.size(), QSize(320, 320));

        QVERIFY(w.close());
        QCOMPARE(Stored(QStringLiteral("NrFiles")), QStringLiteral("20"));
        QCOMPARE(Stored(QStringLiteral("NrMBytes")), QStringLiteral("10"));
        QCOMPARE(Stored(QStringLiteral("NrPrevPath")), QStringLiteral("1"));
        QCOMPARE(Stored(QStringLiteral("PrevPath1")), home);
        QCOMPARE(Stored(QStringLiteral("PrevPath2")), QStringLiteral("<absent>"));
        QCOMPARE(Stored(QStringLiteral("PrevPathSelected")), QStringLiteral("0"));
    }

    void restoresStoredValuesAndWritesThemBack()
    {
        Seed({{"NrFiles", "12x"}, {"NrMBytes", "abc"}, {"NrPrevPath", "3"}, {"PrevPath1", "/a/"},
              {"PrevPath2", ""}, {"PrevPath3", "/c d/"}, {"PrevPathSelected", "1"}});
        useLanguageFile("[Translation By: T]\r\n27=Anzahl:\r\n53=<Suchen>\r\n");
        frmMain w;
        w.show();
        QCOMPARE(w.Txt1->Text(), QStringLiteral("12"));
        QCOMPARE(w.Txt2->Text(), QStringLiteral("0"));
        QCOMPARE(Items(w.Drive1), (QStringList{"/a/", "/c d/", "<Suchen>"}));
        QCOMPARE(w.Drive1->currentIndex(), 1);
        QCOMPARE(w.Label1->text(), QStringLiteral("Anzahl:"));
        QCOMPARE(w.Label2->text(), QStringLiteral("Size of files (MB):"));

        w.Txt1->setText(QStringLiteral("7"));
        QVERIFY(w.close());
        QCOMPARE(Stored(QStringLiteral("NrFiles")), QStringLiteral("7"));
        QCOMPARE(Stored(QStringLiteral("NrMBytes")), QStringLiteral("0"));
        QCOMPARE(Stored(QStringLiteral("NrPrevPath")), QStringLiteral("2"));
        QCOMPARE(Stored(QStringLiteral("PrevPath1")), QStringLiteral("/a/"));
        QCOMPARE(Stored(QStringLiteral("PrevPath2")), QStringLiteral("/c d/"));
        QCOMPARE(Stored(QStringLiteral("PrevPathSelected")), QStringLiteral("1"));

        // The store is INI text with the group [Veltaro], read back as text by the next process.
        QFile file(g_config->filePath(QStringLiteral("Tavrin.conf")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ini = file.readAll();
        QVERIFY(ini.contains("[Veltaro]"));
        QVERIFY(ini.contains("NrFiles=7"));
    }

    void badStoredValuesFallBack()
    {
        Seed({{"NrFiles", "-2.5"}, {"NrMBytes", "1e3"}, {"NrPrevPath", "99999999999"}, {"PrevPath1", "/x/"},
              {"PrevPathSelected", "99"}});
        useLanguageFile(QByteArray(1024, '\xff'));
        frmMain w;
        QCOMPARE(w.Txt1->Text(), QStringLiteral("-3"));
        QCOMPARE(w.Txt2->Text(), QStringLiteral("1000"));
        QCOMPARE(Items(w.Drive1).first(), QStringLiteral("/x/"));
        QCOMPARE(w.Drive1->currentIndex(), 0);

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
        QVERIFY(w.isVisible());
        QVERIFY(w.StopRequested);
        QCOMPARE(Stored(QStringLiteral("NrFiles")), QStringLiteral("5"));
        QVERIFY(w.close());
        QCOMPARE(Stored(QStringLiteral("NrFiles")), QStringLiteral("9"));
    }
};

int main(int argc, char *argv[])
{
    // The store's folder is fixed at the first settings access, so it is set before anything runs.
    QTemporaryDir config;
    g_config = &config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
