#include "shell/lang/modLang.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace modLang;

class TestModLang : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeFile(const QByteArray &bytes)
    {
        static int n = 0;
        const QString name = m_dir.filePath(QStringLiteral("f%1.lng").arg(++n));
        QFile f(name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return name;
    }

private slots:
    void lookupBeforeAnyLoadGivesDefaults()
    {
        state() = LanguageState();
        QCOMPARE(LangText(27, true, true, true, QStringLiteral("Number of files:")), QStringLiteral("Number of files:"));
        QCOMPARE(LangText(53, false, false, false, QString()), QStringLiteral("Translation Error!"));
    }

    void entriesCommentsAndHeader()
    {
        LoadLanguageFile(writeFile("# comment=1\r\n"
                                   "[Translation By: Erika Muster]\r\n"
                                   "27=Anzahl:\r\n"
                                   "28=A=B|C\n"
                                   " 30 =spaced number\r\n"
                                   "12=\r\n"
                                   "40=first\r\n"
                                   "40=second\r\n"
                                   "-3=negative\r\n"
                                   "just text\r\n"
                                   "3=\x80 \x9f \xe4\xfc\r\n"));
        const LanguageState &st = state();
        QVERIFY(!st.LangLoadError);
        QCOMPARE(st.TranslatorName, QStringLiteral("Erika Muster"));
        QCOMPARE(LangText(27, false, false, false, QStringLiteral("x")), QStringLiteral("Anzahl:"));
        QCOMPARE(LangText(28, false, false, false, QStringLiteral("x")), QStringLiteral("A=B\r\nC"));
        QCOMPARE(LangText(30, false, false, false, QStringLiteral("x")), QStringLiteral("spaced number"));
        QCOMPARE(LangText(40, false, false, false, QStringLiteral("x")), QStringLiteral("second"));
        // 0x80..0x9F are Windows-1252 letters, the rest Latin-1.
        QCOMPARE(LangText(3, false, false, false, QStringLiteral("x")), QString::fromUtf8("€ Ÿ äü"));
        // The table grows to the largest number plus one spare element.
        QCOMPARE(st.LangTable.size(), size_t(42));
        QVERIFY(st.LangTable[1].isEmpty());
    }

    void emptyEntryAndFlags()
    {
        LoadLanguageFile(writeFile("12=\r\n16=MB/s\r\n20=lower\r\n"));
        // An entry with empty text is empty, not the default, and still takes the blanks.
        QCOMPARE(LangText(12, false, false, false, QStringLiteral("Kann auf ")), QString());
        QCOMPARE(LangText(12, true, true, false, QStringLiteral("Kann auf ")), QStringLiteral("  "));
        QCOMPARE(LangText(12, false, false, true, QStringLiteral("dflt")), QStringLiteral("dflt"));
        QCOMPARE(LangText(16, true, false, false, QStringLiteral(" MB/s")), QStringLiteral(" MB/s"));
        QCOMPARE(LangText(16, false, true, false, QString()), QStringLiteral("MB/s "));
        QCOMPARE(LangText(20, false, false, true, QString()), QStringLiteral("Lower"));
        // Beyond the table, unset, or negative: the default unchanged, without the blanks.
        QCOMPARE(LangText(99, true, true, false, QStringLiteral("dflt")), QStringLiteral("dflt"));
        QCOMPARE(LangText(13, true, true, false, QStringLiteral(" nicht zugreifen!")), QStringLiteral(" nicht zugreifen!"));
        QCOMPARE(LangText(-1, true, false, false, QString()), QStringLiteral("Translation Error!"));
    }

    void errorsSetTheFlagAndGoOn()
    {
        LoadLanguageFile(writeFile("27=Anzahl:\r\nabc=text\r\n28=ok\r\n"));
        QVERIFY(state().LangLoadError);
        // A line whose number is no number lands on the last good entry.
        QCOMPARE(LangText(27, false, false, false, QStringLiteral("x")), QStringLiteral("text"));
        QCOMPARE(LangText(28, false, false, false, QStringLiteral("x")), QStringLiteral("ok"));

        LoadLanguageFile(writeFile("40000=too big\r\n5=five\r\n"));
        QVERIFY(state().LangLoadError);
        QCOMPARE(LangText(5, false, false, false, QStringLiteral("x")), QStringLiteral("five"));
        QCOMPARE(state().LangTable.size(), size_t(7));

        LoadLanguageFile(writeFile("[Translation By:\r\n"));
        QVERIFY(state().LangLoadError);

        LoadLanguageFile(m_dir.filePath(QStringLiteral("missing.lng")));
        QVERIFY(state().LangLoadError);
        QCOMPARE(state().LangTable.size(), size_t(1));
        QCOMPARE(LangText(5, false, false, false, QString()), QStringLiteral("Translation Error!"));

        LoadLanguageFile(writeFile(QByteArray()));
        QVERIFY(!state().LangLoadError);
        QCOMPARE(state().LangTable.size(), size_t(1));
    }

    void binaryAndHugeFilesLoad()
    {
        QByteArray noise(4 * 1024 * 1024, '\0');
        quint32 x = 12345;
        for (char &c : noise) {
            x = x * 1103515245u + 12345u;
            c = static_cast<char>(x >> 24);
        }
        noise += "\n27=after noise\n";
        LoadLanguageFile(writeFile(noise));
        QCOMPARE(LangText(27, false, false, false, QStringLiteral("x")), QStringLiteral("after noise"));
    }

    void shippedFilesCoverEveryEntry()
    {
        const QString source = qEnvironmentVariable("VELTARO_SOURCE_DIR");
        if (source.isEmpty())
            QSKIP("VELTARO_SOURCE_DIR not set");
        const QList<int> used = {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                                 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 35, 36, 37, 38, 39, 40, 41, 43, 44, 45, 46,
                                 47, 48, 50, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65};
        for (const char *name : {"deutsch.lng", "english.lng"}) {
            LoadLanguageFile(source + QStringLiteral("/lang/") + QLatin1String(name));
            QVERIFY2(!state().LangLoadError, name);
            QVERIFY2(!state().TranslatorName.isEmpty(), name);
            for (int n : used)
                QVERIFY2(LangText(n, false, false, false, QString()) != QStringLiteral("Translation Error!"),
                         qPrintable(QStringLiteral("%1 lacks entry %2").arg(QLatin1String(name)).arg(n)));
        }
    }
};

QTEST_GUILESS_MAIN(TestModLang)
#include "tst_modlang.moc"
