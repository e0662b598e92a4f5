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
    // Asked at each pump check besides the run's own flag (the runner's signals).
    std::function<bool()> stopRequested;
};

// Runs the test as the window would, each log line to onLine as it comes; the run's record.
RunRecord RunHeadless(const HeadlessRunOptions &options, const std::function<void(const QString &)> &onLine);
