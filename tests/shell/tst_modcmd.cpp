#include "shell/modCmd.h"

#include <QtTest>

class TestModCmd : public QObject {
    Q_OBJECT

    static QString Lang(const QString &line)
    {
        QString key = QStringLiteral("lang=");
        QString commandLine = line;
        return GetCommandParam(key, commandLine, true, false, QStringLiteral("deutsch.lng"), QStringLiteral(" "));
    }

private slots:
    void valueMode()
    {
        QCOMPARE(Lang(QStringLiteral("/x lang= English.lng")), QStringLiteral("english.lng"));
        QCOMPARE(Lang(QStringLiteral("lang=english.lng")), QStringLiteral("deutsch.lng"));
        QCOMPARE(Lang(QStringLiteral("lang= en.lng /quiet")), QStringLiteral("en.lng"));
        // The value ends two characters before a "/", even inside a path.
        QCOMPARE(Lang(QStringLiteral("LANG= ab/c.lng")), QStringLiteral("a"));
        QCOMPARE(Lang(QStringLiteral("lang= a/b.lng")), QStringLiteral("deutsch.lng"));
        QCOMPARE(Lang(QStringLiteral("lang= ")), QStringLiteral("deutsch.lng"));
        // "/" right after the key: the value's length would be negative, which gives empty text.
        QCOMPARE(Lang(QStringLiteral("lang= /x")), QString());
        QCOMPARE(Lang(QStringLiteral("lang=  /x")), QStringLiteral("deutsch.lng"));
        // No command line at all (the test process has none either).
        QCOMPARE(Lang(QString()), QStringLiteral("deutsch.lng"));
    }

    void argumentsChangeInPlace()
    {
        QString key = QStringLiteral("LANG=");
        QString commandLine = QStringLiteral("Lang= X.lng");
        GetCommandParam(key, commandLine, true, false, QString(), QStringLiteral(" "));
        QCOMPARE(commandLine, QStringLiteral("lang= x.lng"));
        QCOMPARE(key, QStringLiteral("lang= "));

        key = QStringLiteral("LANG=");
        commandLine = QStringLiteral("Lang= X.lng");
        QCOMPARE(GetCommandParam(key, commandLine, true, true, QStringLiteral("d"), QStringLiteral(" ")),
                 QStringLiteral("d"));
        QCOMPARE(commandLine, QStringLiteral("Lang= X.lng"));
    }

    void flagMode()
    {
        QString key = QStringLiteral("/Quiet");
        QString commandLine = QStringLiteral("lang= a.lng /QUIET");
        QCOMPARE(GetCommandParam(key, commandLine, false, false, QStringLiteral("d"), QString()), QStringLiteral("1"));
        key = QStringLiteral("/verbose");
        QCOMPARE(GetCommandParam(key, commandLine, false, false, QStringLiteral("d"), QString()), QString());
        QString empty;
        QCOMPARE(GetCommandParam(key, empty, false, false, QStringLiteral("d"), QString()), QString());
    }
};

QTEST_GUILESS_MAIN(TestModCmd)
#include "tst_modcmd.moc"
