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

} // namespace EngineTest

#define MATCH_LINES(actual, expected)                                                                                  \
    do {                                                                                                               \
        QString difference_;                                                                                           \
        QVERIFY2(EngineTest::MatchLines((actual), (expected), &difference_), qPrintable(difference_));                 \
    } while (false)
