// The language loader and lookup, and the command line that can name the language file.
#include "lang/modLang.h"
#include "shell/modCmd.h"

#include <QtTest>

using namespace modLang;

class TestModLang : public QObject {
    Q_OBJECT
    static QString T(int n, const QString &defaultText = QStringLiteral("x"))
    {
        return LangText(n, 0, 0, 0, defaultText);
    }

private slots:
    void entriesHeaderAndFlags()
    {
        QCOMPARE(T(53, QString()), QStringLiteral("Translation Error!")); // before any load
        LoadLanguageData("# comment=1\r\n[Translation By: Erika Muster]\r\n27=Anzahl:\r\n28=A=B|C\n 30 =spaced\r\n"
                         "12=\r\n40=first\r\n40=second\r\n-3=negative\r\njust text\r\n3=\x80 \x9f \xe4\xfc\r\n"
                         "16=MB/s\r\n20=lower\r\n");
        QVERIFY(!state().LangLoadError);
        QCOMPARE(state().TranslatorName, QStringLiteral("Erika Muster"));
        QCOMPARE(T(27) + u'/' + T(28) + u'/' + T(30) + u'/' + T(40), QStringLiteral("Anzahl:/A=B\r\nC/spaced/second"));
        QCOMPARE(T(3), QString::fromUtf8("€ Ÿ äü")); // 0x80..0x9F are Windows-1252 letters, the rest Latin-1
        // An entry with empty text is empty, not the default, and still takes the blanks. Beyond the table,
        // unset, or negative: the default unchanged, without the blanks. Flags: 1 lead, 2 trail, 4 upper first.
        // Number|flags|default|text.
        for (const QString &c :
             QStringLiteral("12|0|Kann auf |;12|3|Kann auf |  ;12|4|dflt|dflt;16|1| MB/s| MB/s;16|2||MB/s ;"
                            "20|4||Lower;99|3|dflt|dflt;13|3| nicht| nicht;-1|1||Translation Error!")
                 .split(u';')) {
            const int f = c.section(u'|', 1, 1).toInt();
            QCOMPARE(LangText(c.section(u'|', 0, 0).toInt(), f & 1, f & 2, f & 4, c.section(u'|', 2, 2)),
                     c.section(u'|', 3));
        }
    }

    void errorsSetTheFlagAndGoOn()
    {
        // The error flag and the table size after loading.
        const auto load = [](const QByteArray &data) {
            LoadLanguageData(data);
            return QStringLiteral("%1/%2").arg(state().LangLoadError).arg(state().LangTable.size());
        };
        // A line whose number is no number lands on the last good entry.
        QCOMPARE(load("27=Anzahl:\r\nabc=text\r\n28=ok\r\n"), QStringLiteral("1/29"));
        QCOMPARE(T(27) + T(28), QStringLiteral("textok"));
        QCOMPARE(load("40000=too big\r\n5=five\r\n"), QStringLiteral("1/7"));
        QCOMPARE(T(5), QStringLiteral("five"));
        QCOMPARE(load("[Translation By:\r\n"), QStringLiteral("1/1"));
        QCOMPARE(load(QByteArray()), QStringLiteral("0/1"));
        LoadLanguageFile(QStringLiteral("/nonexistent/missing.lng"));
        QVERIFY(state().LangLoadError);
        QCOMPARE(state().LangTable.size(), size_t(1));
        QCOMPARE(T(5, QString()), QStringLiteral("Translation Error!"));
    }

    void shippedFilesCoverEveryEntry()
    {
        for (const char *name : {"deutsch.lng", "english.lng"}) {
            LoadLanguageFile(qEnvironmentVariable("VELTARO_SOURCE_DIR") + "/lang/" + QLatin1String(name));
            QVERIFY2(!state().LangLoadError, name);
            QVERIFY2(!state().TranslatorName.isEmpty(), name);
            for (int n = 2; n <= 65; ++n) // every entry the program uses
                QVERIFY2(QList<int>({33, 34, 42, 49, 51}).contains(n) || T(n, QString()) != "Translation Error!",
                         qPrintable(QStringLiteral("%1 lacks %2").arg(QLatin1String(name)).arg(n)));
        }
    }

    void commandLine()
    {
        // A value ends two characters before a "/", even inside a path; "/" right after the key makes its length
        // negative, which gives empty text. A flag ("/" keys) gives "1" when present in any case, else empty text.
        // Key|command line|value.
        for (const QString &c :
             QStringLiteral("lang=|/x lang= English.lng|english.lng;lang=|lang=english.lng|deutsch.lng;"
                            "lang=|lang= |deutsch.lng;lang=|lang= en.lng /quiet|en.lng;"
                            "lang=|LANG= ab/c.lng|a;lang=|lang= a/b.lng|deutsch.lng;lang=|lang= /x|;"
                            "lang=|lang=  /x|deutsch.lng;lang=||deutsch.lng;/Quiet|lang= a.lng /QUIET|1;"
                            "/verbose|lang= a.lng /QUIET|;/verbose||")
                 .split(u';')) {
            QString key = c.section(u'|', 0, 0), commandLine = c.section(u'|', 1, 1);
            const bool isValue = !key.startsWith(u'/');
            QCOMPARE(GetCommandParam(key, commandLine, isValue, false, "deutsch.lng", isValue ? " " : ""),
                     c.section(u'|', 2));
        }
        // Both arguments are lowered in place, and the key takes the separator; not so when asked to keep them.
        QString key = QStringLiteral("LANG="), commandLine = QStringLiteral("Lang= X.lng");
        GetCommandParam(key, commandLine, true, false, QString(), QStringLiteral(" "));
        QCOMPARE(key + u'|' + commandLine, QStringLiteral("lang= |lang= x.lng"));
        key = QStringLiteral("LANG="), commandLine = QStringLiteral("Lang= X.lng");
        QCOMPARE(GetCommandParam(key, commandLine, true, true, "d", " ") + u'|' + commandLine, "d|Lang= X.lng");
    }
};

QTEST_GUILESS_MAIN(TestModLang)
#include "tst_modlang.moc"
