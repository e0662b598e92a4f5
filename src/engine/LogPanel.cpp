#include "engine/LogPanel.h"

namespace {
const QString kNewLine = QStringLiteral("\r\n");
}

QString LogCaption(const LogLineArray &logLines)
{
    QString caption;
    for (const QString &line : logLines)
        if (!line.isEmpty())
            caption = line + kNewLine + caption;
    return caption;
}

QString LogPrint(LogLineArray &logLines, RunLog &logText, const QString &inText)
{
    if (inText == QLatin1String("<clear>")) {
        logLines.fill(QString());
        return QString();
    }
    // An empty line goes into the log only: shifting the panel for it would show the newest line
    // twice.
    if (!inText.isEmpty() && inText != kNewLine) {
        for (size_t i = logLines.size() - 1; i > 0; --i)
            logLines[i] = logLines[i - 1];
        logLines[0] = inText;
    }
    logText.append(inText);
    return LogCaption(logLines);
}
