// The settings file: QSettings' escaping both ways, bytes kept, and a file that is a trap left alone.
#include "common/SystemSupport.h"
#include "platform/SettingsStore.h"

#include <QSettings>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using SettingsStore::Store;

class TestSettingsStore : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;
    QString m_file;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        m_file = m_config.filePath(QStringLiteral("App.conf"));
        QCOMPARE(SettingsStore::FilePath(QStringLiteral("App")), m_file);
    }
    void cleanup() { QFile::remove(m_file); }

    void valuesReadByQSettingsAndBack_data()
    {
        QTest::addColumn<QString>("value");
        for (const char *v : {"/home/a b/", " lead", "trail ", "a,b;c=d", "quote\"back\\slash", "@at", "tab\there",
                              "line\nbreak\r", "\x01" "1f", "", "Größe €"})
            QTest::newRow(v) << QString::fromUtf8(v);
    }

    void valuesReadByQSettingsAndBack()
    {
        QFETCH(QString, value);
        {
            Store store(QStringLiteral("App"));
            store.setValue(QStringLiteral("Sec"), QStringLiteral("Key"), value.toUtf8());
            QVERIFY(store.save());
        }
        {
            QSettings q(m_file, QSettings::IniFormat);
            QCOMPARE(q.value(QStringLiteral("Sec/Key")).toString(), value);
            q.setValue(QStringLiteral("Sec/Other"), value);
        }
        const Store again(QStringLiteral("App"));
        QCOMPARE(QString::fromUtf8(again.value(QStringLiteral("Sec"), QStringLiteral("Other"))), value);
        QCOMPARE(QString::fromUtf8(again.value(QStringLiteral("Sec"), QStringLiteral("Key"))), value);
    }

    void bytesThatAreNotUtf8StayAsTheyAre()
    {
        const QByteArray path("/mnt/caf\xe9/\xff\xfe/");
        {
            Store store(QStringLiteral("App"));
            store.setValue(QStringLiteral("Sec"), QStringLiteral("PrevPath1"), path);
            QVERIFY(store.save());
        }
        Store store(QStringLiteral("App"));
        QCOMPARE(store.value(QStringLiteral("Sec"), QStringLiteral("PrevPath1")), path);
        store.setValue(QStringLiteral("Sec"), QStringLiteral("NrFiles"), "3");
        QVERIFY(store.save());
        QFile file(m_file);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("PrevPath1=" + path + "\n"));
    }

    void trapUnderTheNameGivesDefaultsAndNoWrite_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("fifo") << true;
        QTest::newRow("link") << false;
    }

    void trapUnderTheNameGivesDefaultsAndNoWrite()
    {
        QFETCH(bool, fifo);
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("victim"));
        QVERIFY(SystemTest::WriteFile(target, "[Sec]\nKey=secret\n"));
        const QByteArray name = QFile::encodeName(m_file);
        QVERIFY(fifo ? ::mkfifo(name.constData(), 0600) == 0
                     : ::symlink(QFile::encodeName(target).constData(), name.constData()) == 0);
        Store store(QStringLiteral("App"));
        QVERIFY(!store.writable());
        QVERIFY(!store.contains(QStringLiteral("Sec"), QStringLiteral("Key")));
        QCOMPARE(SettingsStore::GetSetting(QStringLiteral("App"), QStringLiteral("Sec"), QStringLiteral("Key"),
                                           QStringLiteral("default")),
                 QStringLiteral("default"));
        store.setValue(QStringLiteral("Sec"), QStringLiteral("Key"), "new");
        QVERIFY(!store.save());
        struct stat st {};
        QVERIFY(::lstat(name.constData(), &st) == 0);
        QVERIFY(fifo ? S_ISFIFO(st.st_mode) : S_ISLNK(st.st_mode));
        QFile victim(target);
        QVERIFY(victim.open(QIODevice::ReadOnly));
        QCOMPARE(victim.readAll(), QByteArray("[Sec]\nKey=secret\n"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
