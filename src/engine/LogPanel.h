#pragma once

#include "engine/RunLog.h"

#include <QString>
#include <array>

// The six lines of the log panel, entry 0 the newest.
using LogLineArray = std::array<QString, 6>;

// Appends one line to the run's log and returns the panel's new caption: the shown lines, oldest
// on top, each ending in CR LF. "<clear>" empties only the panel; every other text, even an empty
// one, adds a line to logText.
QString LogPrint(LogLineArray &logLines, RunLog &logText, const QString &inText);

// The panel's caption for the lines held.
QString LogCaption(const LogLineArray &logLines);
