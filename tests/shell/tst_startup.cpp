// Start-up and close of the main window against a settings store of its own.
#include "controls/Chk1.h"
#include "controls/Txt.h"
#include "shell/frmMain.h"

#include <QTemporaryDir>
#include <QtTest>
#include <QtWidgets>

// The two number fields, the target list and its current index.
static QString Fields(const frmMain &w)
{
    QStringList items;
    for (int i = 0; i < w.Drive1->count(); ++i)
        items << w.Drive1->itemText(i);
    return QStringLiteral("%1/%2 %3 @%4")
        .arg(w.Txt1->Text(), w.Txt2->Text(), items.join(u'|'))
        .arg(w.Drive1->currentIndex());
}

// Replaces the store's contents with "key=value" pairs separated by "|".
static void Seed(const QString &pairs)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
    s.clear();
    for (const QString &pair : pairs.split(u'|', Qt::SkipEmptyParts))
        s.setValue(QStringLiteral("Veltaro/") + pair.section(u'=', 0, 0), pair.section(u'=', 1));
}

// The stored values of the keys, joined by "|".
static QString
Stored(const QString &keys = QStringLiteral("NrFiles NrMBytes NrPrevPath PrevPath1 PrevPath2 PrevPathSelected"))
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
    QStringList values;
    for (const QString &key : keys.split(u' '))
        values << s.value(QStringLiteral("Veltaro/") + key, QStringLiteral("<absent>")).toString();
    return values.join(u'|');
}

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
        Seed(QString());
        useLanguageFile(QByteArray());
        frmMain w;
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltaro v.1.0.14"));
        const QString home = QDir::homePath() + (QDir::homePath().endsWith(u'/') ? "" : "/");
        QCOMPARE(Fields(w), QStringLiteral("20/10 %1|Translation Error! @0").arg(home));
        QVERIFY(w.StopRequested && w.chkDisableCaching->Checked());
        QVERIFY(!w.Chk11->Checked() && !w.ChkDoEvents->Checked() && !w.chkEnableWriteThrough->Checked());
        QCOMPARE(w.Label1->text(), QStringLiteral("Number of files:"));
        QCOMPARE(w.size(), QSize(320, 320));
        QVERIFY(w.close());
        QCOMPARE(Stored(), QStringLiteral("20|10|1|%1|<absent>|0").arg(home));
    }

    void restoresStoredValuesAndWritesThemBack()
    {
        // The empty path is dropped, so the paths are numbered anew on close.
        Seed(QStringLiteral(
            "NrFiles=12x|NrMBytes=abc|NrPrevPath=3|PrevPath1=/a/|PrevPath2=|PrevPath3=/c d/|PrevPathSelected=1"));
        useLanguageFile("[Translation By: T]\r\n27=Anzahl:\r\n53=<Suchen>\r\n");
        frmMain w;
        w.show();
        QCOMPARE(Fields(w), QStringLiteral("12/0 /a/|/c d/|<Suchen> @1"));
        QCOMPARE(w.Label1->text() + w.Label2->text(), QStringLiteral("Anzahl:Size of files (MB):"));
        w.Txt1->setText(QStringLiteral("7"));
        QVERIFY(w.close());
        QCOMPARE(Stored(), QStringLiteral("7|0|2|/a/|/c d/|1"));
        // The store is INI text with the group [Veltaro], read back as text by the next process.
        QFile file(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tavrin.conf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ini = file.readAll();
        QVERIFY(ini.contains("[Veltaro]") && ini.contains("NrFiles=7"));

        // Bad values fall back.
        Seed(QStringLiteral("NrFiles=-2.5|NrMBytes=1e3|NrPrevPath=99999999999|PrevPath1=/x/|PrevPathSelected=99"));
        useLanguageFile(QByteArray(1024, '\xff'));
        QCOMPARE(Fields(frmMain()), QStringLiteral("-3/1000 /x/|Translation Error! @0"));
        Seed(QStringLiteral("PrevPathSelected=-1|NrPrevPath=abc"));
        QCOMPARE(Fields(frmMain()), QStringLiteral("20/10 %1/|Translation Error! @0").arg(QDir::homePath()));
    }

    void closeDuringRunOnlyAsksToStop()
    {
        Seed(QStringLiteral("NrFiles=5"));
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
