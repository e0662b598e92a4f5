#pragma once

#include "report/HeadlessContext.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>

namespace EngineTest {

// The built-in German texts in a German locale, or english.lng in a US locale.
void UseGerman();
void UseEnglish();
// A clock that moves on by stepMs with every reading, so every timed span is stepMs long.
std::unique_ptr<TimerComponent> SteppingTimer(int32_t stepMs);

// A temporary folder and a headless context on it as during a run: spans of stepMs (no clock for
// a negative step), a pump doing nothing.
struct Target {
    explicit Target(int32_t stepMs = 1532);
    QTemporaryDir dir;
    QString path; // ends in "/"
    std::unique_ptr<HeadlessContext> ctx;
    QString Denied() const { return "Kann auf " + path + " nicht zugreifen!"; }
};

// Compares the lines of a run's log. In an expected line "<time>" stands for "hh:mm dd.mm.yy";
// the line "<...>" stands for any number of lines, and "<n> × text" for n lines of text.
bool MatchLines(const QStringList &actual, const QStringList &expected, QString *difference);
QByteArray Block(); // one test file block: 1022 "x" and two zero bytes
QByteArray ReadAll(const QString &path);
QStringList FilesIn(const QString &folder, const QString &pattern = QStringLiteral("*")); // sorted
// Runs run with room for only extra more descriptors; the descriptors it left open.
int LeakedUnderFileLimit(int extra, const std::function<void()> &run);

// The German log lines of runs timed by a clock that moves 1532 ms with every reading, so that
// every span is known.
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

inline QStringList SingleRead(int count, int sizeMB, const QString &rate)
{
    QStringList lines{QStringLiteral("Lese %1MB").arg(count * sizeMB)};
    for (int f = 1; f <= count; ++f)
        lines << QStringLiteral("Lese Datei  %1").arg(f) << kTime;
    return lines << End(QStringLiteral("1,53"), rate);
}

inline QStringList MultiWrite(int count, int sizeMB, const QString &seconds, const QString &rate)
{
    return Begin(count, sizeMB) << QStringLiteral("Schreibe... ") << kTime << End(seconds, rate);
}

inline QStringList MultiRead(int count, int sizeMB, const QString &seconds, const QString &rate)
{
    return QStringList{QStringLiteral("Lese %1MB").arg(count * sizeMB), kTime} << End(seconds, rate);
}

// Whole runs with no failure; the exact figures are those of the summary.
inline QStringList SingleRun(int count, int sizeMB, const QString &rate, const QString &exactRate)
{
    const QString seconds = QStringLiteral("1,532");
    return SingleWrite(count, sizeMB, rate)
           << SingleRead(count, sizeMB, rate) << Summary(seconds, exactRate, seconds, exactRate);
}

inline QStringList MultiRun(int count, int sizeMB, const QString &seconds, const QString &exactSeconds,
                            const QString &rate, const QString &exactRate)
{
    return MultiWrite(count, sizeMB, seconds, rate)
           << MultiRead(count, sizeMB, seconds, rate) << Summary(exactSeconds, exactRate, exactSeconds, exactRate);
}

} // namespace EngineTest

#define MATCH_LINES(actual, expected)                                                                                  \
    do {                                                                                                               \
        QString difference_;                                                                                           \
        QVERIFY2(EngineTest::MatchLines((actual), (expected), &difference_), qPrintable(difference_));                 \
    } while (false)
