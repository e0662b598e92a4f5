// The command-line parser.
#include "shell/modCmd.h"

#include <QtTest>

class TestModCmd : public QObject {
    Q_OBJECT

private slots:
    void valueMode()
    {
        // The value ends two characters before a "/", even inside a path; "/" right after the key makes
        // the value's length negative, which gives empty text.
        const std::pair<const char *, const char *> cases[] = {{"/x lang= English.lng", "english.lng"},
                                                               {"lang=english.lng", "deutsch.lng"},
                                                               {"lang= en.lng /quiet", "en.lng"},
                                                               {"LANG= ab/c.lng", "a"},
                                                               {"lang= a/b.lng", "deutsch.lng"},
                                                               {"lang= ", "deutsch.lng"},
                                                               {"lang= /x", ""},
                                                               {"lang=  /x", "deutsch.lng"},
                                                               {"", "deutsch.lng"}};
        for (const auto &[line, value] : cases) {
            QString key = QStringLiteral("lang="), commandLine = QString::fromLatin1(line);
            QCOMPARE(GetCommandParam(key, commandLine, true, false, QStringLiteral("deutsch.lng"), QStringLiteral(" ")),
                     QString::fromLatin1(value));
        }
        // Both arguments are lowered in place, and the key takes the separator; not so when asked to keep them.
        QString key = QStringLiteral("LANG="), commandLine = QStringLiteral("Lang= X.lng");
        GetCommandParam(key, commandLine, true, false, QString(), QStringLiteral(" "));
        QCOMPARE(key + u'|' + commandLine, QStringLiteral("lang= |lang= x.lng"));
        key = QStringLiteral("LANG="), commandLine = QStringLiteral("Lang= X.lng");
        QCOMPARE(GetCommandParam(key, commandLine, true, true, QStringLiteral("d"), QStringLiteral(" ")),
                 QStringLiteral("d"));
        QCOMPARE(commandLine, QStringLiteral("Lang= X.lng"));
    }

    void flagMode()
    {
        QString key = QStringLiteral("/Quiet"), commandLine = QStringLiteral("lang= a.lng /QUIET"), empty;
        QCOMPARE(GetCommandParam(key, commandLine, false, false, QStringLiteral("d"), QString()), QStringLiteral("1"));
        key = QStringLiteral("/verbose");
        QCOMPARE(GetCommandParam(key, commandLine, false, false, QStringLiteral("d"), QString()), QString());
        QCOMPARE(GetCommandParam(key, empty, false, false, QStringLiteral("d"), QString()), QString());
    }
};

QTEST_GUILESS_MAIN(TestModCmd)
#include "tst_modcmd.moc"
