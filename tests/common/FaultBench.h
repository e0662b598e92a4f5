#pragma once

#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace FaultTest {

// A base folder holding the target and, beside it, a sibling with things a run must leave alone:
// test files, a result log, a sub-folder and a plain file.
struct Bench {
    QTemporaryDir base{FastTempRoot() + QStringLiteral("/veltaro-faults-XXXXXX")};
    QString target = base.path() + QStringLiteral("/target");
    QString sibling = base.path() + QStringLiteral("/sibling");
    Snapshot siblingBefore;
    QStringList baseBefore;

    Bench()
    {
        QDir().mkpath(target);
        QDir().mkpath(sibling + QStringLiteral("/sub"));
        for (const char *name : {"1.tst", "2.tst", "sub/3.tst", "Single_VeltaroLog_01_02_26_03_04.log", "keep.txt"}) {
            QFile file(sibling + u'/' + QLatin1String(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(EngineTest::Block().repeated(3));
        }
        siblingBefore = TakeSnapshot(sibling);
        baseBefore = Names();
    }
    QString Path() const { return target + u'/'; }
    QStringList Names() const
    {
        QStringList names = QDir(base.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral("target"));
        return names.filter(QRegularExpression(QStringLiteral("^(?!.*\\.img$)"))); // the device images change
    }
    // What changed outside the target folder; empty when nothing did.
    QString OutsideChanges() const
    {
        QString changes = Difference(siblingBefore, TakeSnapshot(sibling));
        if (Names() != baseBefore)
            changes += QStringLiteral("\nbase folder now holds ") + Names().join(u' ');
        return changes;
    }
};

// The German log lines of runs timed by a clock that moves 1532 ms with every reading, so that
// every span is known. "<time>" stands for a time of day, as MatchLines reads it.
inline const QString kTime = QStringLiteral("Zeit: 1,53 Sekunden (1532 ms)");
inline const QString kText7 = QStringLiteral("Werte dürfen nicht größer als 32000 sein!");
inline const QString kText8 = QStringLiteral("Kann Testdateien nicht löschen!");
// <path> stands for the folder tested, with "/".
inline const QString kDenied = QStringLiteral("Kann auf <path> nicht zugreifen!");

inline QStringList Begin(int count, int sizeMB)
{
    return {QStringLiteral("Teststart: <time>"),
            QStringLiteral("Erstelle %1 Dateien (%2 MB)").arg(count).arg(count * sizeMB)};
}

// The averages and the end of a phase.
inline QStringList End(const QString &seconds, const QString &rate)
{
    return {"Durchschnitt: " + seconds + " Sek.", "Durchschnitt: " + rate + " MB/s", QStringLiteral("Testende: <time>"),
            QString()};
}

inline QStringList Summary(const QString &writeTime, const QString &writeRate, const QString &readTime,
                           const QString &readRate)
{
    return {QStringLiteral("Ergebnis:"), "Schreibzeit: " + writeTime + " Sek.", writeRate + " MB/s",
            "Lesezeit: " + readTime + " Sek.", readRate + " MB/s"};
}

inline QStringList SingleWrite(int count, int sizeMB, const QString &rate)
{
    QStringList lines = Begin(count, sizeMB);
    for (int f = 1; f <= count; ++f)
        lines << QStringLiteral("Datei  %1...").arg(f) << kTime;
    return lines << QString() << End(QStringLiteral("1,53"), rate);
}

inline QStringList MultiWrite(int count, int sizeMB, const QString &seconds, const QString &rate)
{
    return Begin(count, sizeMB) << QStringLiteral("Schreibe... ") << kTime << End(seconds, rate);
}

// Whole runs with no failure; the exact figures are those of the summary.
inline QStringList SingleRun(int count, int sizeMB, const QString &rate, const QString &exactRate)
{
    QStringList lines = SingleWrite(count, sizeMB, rate) << QStringLiteral("Lese %1MB").arg(count * sizeMB);
    for (int f = 1; f <= count; ++f)
        lines << QStringLiteral("Lese Datei  %1").arg(f) << kTime;
    const QString seconds = QStringLiteral("1,532");
    return lines << End(QStringLiteral("1,53"), rate) << Summary(seconds, exactRate, seconds, exactRate);
}

inline QStringList MultiRun(int count, int sizeMB, const QString &seconds, const QString &exactSeconds,
                            const QString &rate, const QString &exactRate)
{
    return MultiWrite(count, sizeMB, seconds, rate)
           << QStringLiteral("Lese %1MB").arg(count * sizeMB) << kTime << End(seconds, rate)
           << Summary(exactSeconds, exactRate, exactSeconds, exactRate);
}

} // namespace FaultTest
