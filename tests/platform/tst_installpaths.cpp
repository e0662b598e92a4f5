// Finding the language file when the program runs from an installed or unpacked tree.
#include "common/SystemSupport.h"
#include "lang/modLang.h"
#include "platform/InstallPaths.h"
#include "shell/frmMain.h"

#include <QtTest>
#include <QtWidgets>
#include <unistd.h>

class TestInstallPaths : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QString m_cwd, m_bin, m_lang; // the current folder; <prefix>/bin; <prefix>/share/veltaro/lang

    QString path(const QString &relative) const { return m_root.filePath(relative); }

    void reset()
    {
        QFile::setPermissions(m_lang, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const QString &dir : {m_cwd, path(QStringLiteral("prefix"))}) {
            QDir(dir).removeRecursively();
            QVERIFY(QDir().mkpath(dir));
        }
        QVERIFY(QDir().mkpath(m_bin));
        QVERIFY(QDir::setCurrent(m_cwd));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_cwd = path(QStringLiteral("cwd"));
        m_bin = path(QStringLiteral("prefix/bin"));
        m_lang = path(QStringLiteral("prefix/share/veltaro/lang"));
    }

    void cleanupTestCase() { QFile::setPermissions(m_lang, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }

    void chosenFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("inCwd");    // "file", "dir" or empty
        QTest::addColumn<QString>("inShare");  // the same, for the installed language folder
        QTest::addColumn<QString>("expected"); // "name" (unchanged) or "share"
        // clang-format off
        QTest::newRow("current folder first") << "deutsch.lng" << "file" << "file" << "name";
        QTest::newRow("installed when not in the current folder") << "deutsch.lng" << "" << "file" << "share";
        QTest::newRow("nowhere stays the name") << "missing.lng" << "" << "" << "name";
        QTest::newRow("folder named like the file is no file") << "deutsch.lng" << "dir" << "file" << "share";
        QTest::newRow("folder in the share is no file") << "deutsch.lng" << "" << "dir" << "name";
        QTest::newRow("relative name with a subfolder") << "more/english.lng" << "" << "file" << "share";
        // clang-format on
    }

    void chosenFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, inCwd);
        QFETCH(QString, inShare);
        QFETCH(QString, expected);
        reset();
        const std::pair<QString, QString> places[] = {{inCwd, m_cwd}, {inShare, m_lang}};
        for (const auto &[kind, dir] : places) {
            const QString file = QDir(dir).filePath(name);
            if (kind == u"file")
                QVERIFY(SystemTest::WriteFile(file, "27=x\r\n"));
            else if (kind == u"dir")
                QVERIFY(QDir().mkpath(file));
        }
        const QString want = expected == u"share" ? QDir(m_lang).filePath(name) : name;
        QCOMPARE(InstallPaths::LanguageFile(name, m_bin), want);
        QCOMPARE(InstallPaths::LanguageFile(name, QString()), name);
    }

    // The installed German file is read from a read-only share; an unreadable one gives the built-in texts.
    void loadedTexts_data()
    {
        QTest::addColumn<bool>("readable");
        QTest::newRow("read-only share folder") << true;
        QTest::newRow("unreadable installed file") << false;
    }

    void loadedTexts()
    {
        QFETCH(bool, readable);
        if (!readable && geteuid() == 0)
            QSKIP("root reads files without read permission");
        reset();
        const QString file = QDir(m_lang).filePath(QStringLiteral("deutsch.lng"));
        QVERIFY(SystemTest::WriteFile(file, "# comment\r\n32=Start Einzeln\r\n"));
        const QFile::Permissions read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(file, readable ? read : QFile::Permissions()));
        QVERIFY(QFile::setPermissions(m_lang, QFile::ReadOwner | QFile::ExeOwner));
        modLang::LoadLanguageFile(InstallPaths::LanguageFile(QStringLiteral("deutsch.lng"), m_bin));
        QCOMPARE(LangText(32, false, false, false, QStringLiteral("Start Single")),
                 readable ? QStringLiteral("Start Einzeln") : QStringLiteral("Start Single"));
        QCOMPARE(modLang::state().LangLoadError, !readable);
    }

    // The window names the file it loaded on the quiet "veltaro.lang" category, which the package check reads.
    void windowReportsTheLoadedFile()
    {
        reset();
        const QString loaded = QDir(m_cwd).filePath(QStringLiteral("deutsch.lng"));
        QVERIFY(SystemTest::WriteFile(loaded, "27=Anzahl:\r\n28=\r\n99=x\r\n"));
        QLoggingCategory::setFilterRules(QStringLiteral("veltaro.lang.info=true"));
        QTest::ignoreMessage(QtInfoMsg, qPrintable(QStringLiteral("language file %1: 3 entries").arg(loaded)));
        frmMain w;
        QCOMPARE(w.Label1->text(), QStringLiteral("Anzahl:"));
        QLoggingCategory::setFilterRules(QString());
    }
};

QTEST_MAIN(TestInstallPaths)
#include "tst_installpaths.moc"
