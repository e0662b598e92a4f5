#pragma once

#include "engine/RunRecord.h"

#include <QString>
#include <functional>

// One start command without a window, as the runner and the benchmark give it.
struct HeadlessRunOptions {
    QString folder;
    bool multiple = false;
    QString count = QStringLiteral("20");
    QString sizeMB = QStringLiteral("10");
    bool disableCaching = true;
    bool writeThrough = false;
    bool lightPump = false;
    bool writeLogFile = false;
    bool readUncached = false;
    bool directIoRefused = false; // run through the cache although disableCaching asked otherwise
    bool verifyData = false;
    // Asked at each pump check besides the run's own flag (the runner's signals).
    std::function<bool()> stopRequested;
};

class HeadlessContext;

// The one mapping of a start command's options onto a context's inputs.
void ApplyOptions(const HeadlessRunOptions &options, HeadlessContext &ctx);
// "Start Single" or "Start Multiple" on the context, as options.multiple says.
void Start(const HeadlessRunOptions &options, HeadlessContext &ctx);

// The folder as the run reads it (ending in "/"), and whether the run would accept it.
QString HeadlessTargetPath(const QString &folder);
bool HeadlessTargetAccepted(const QString &path);

// Runs the test as the window would, each log line to onLine as it comes; the run's record.
RunRecord RunHeadless(const HeadlessRunOptions &options, const std::function<void(const QString &)> &onLine);
