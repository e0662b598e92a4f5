#pragma once

#include "engine/HeadlessContext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

namespace EngineTest {

// The built-in German texts in a German locale, or english.lng in a US locale.
void UseGerman();
void UseEnglish();

// A clock that moves on by stepMs with every reading, so every timed span is stepMs long.
std::unique_ptr<TimerComponent> SteppingTimer(int32_t stepMs);

// A headless context on folder (ending in "/") as during a run: stepping timer of 1532 ms, pump
// doing nothing.
std::unique_ptr<HeadlessContext> MakeContext(const QString &folder);

// Compares logged lines; "<time>" in an expected line stands for "hh:mm dd.mm.yy".
bool SameLines(const QStringList &actual, const QStringList &expected, QString *difference);

// One test file block: 1022 "x" and two zero bytes.
QByteArray Block();
QByteArray ReadAll(const QString &path);
// Names of the regular files in folder matching the pattern, sorted.
QStringList FilesIn(const QString &folder, const QString &pattern = QStringLiteral("*"));
// Descriptors this process holds open.
int OpenDescriptors();

} // namespace EngineTest

#define COMPARE_LINES(actual, expected)                                                                                \
    do {                                                                                                               \
        QString difference_;                                                                                           \
        QVERIFY2(EngineTest::SameLines((actual), (expected), &difference_), qPrintable(difference_));                  \
    } while (false)
