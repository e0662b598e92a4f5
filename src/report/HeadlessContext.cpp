#include "report/HeadlessContext.h"

#include "platform/DriveType.h"

#include <QStringList>

void HeadlessContext::LogPrint(const QString &line)
{
    Caption = ::LogPrint(LogLines, Log, line);
    if (OnLog)
        OnLog(line);
}

void HeadlessContext::ClearPanel()
{
    LogLines.fill(QString());
    Caption.clear();
}

void HeadlessContext::FileProgress(double value)
{
    FileBar = value;
    ++FileBarChanges;
}

void HeadlessContext::OverallProgress(double value)
{
    OverallBar = value;
    ++OverallBarChanges;
}

void HeadlessContext::fDoEvents(bool bDoOriginalDoEvents)
{
    ++Pumps;
    if (Pump) {
        Pump(bDoOriginalDoEvents);
        return;
    }
    if (!m_doEvents)
        m_doEvents = std::make_unique<clsDoEvents>();
    m_doEvents->fDoEvents(bDoOriginalDoEvents);
}

TimerComponent *HeadlessContext::Timer()
{
    if (!m_timer && CreateTimer)
        m_timer = CreateTimer();
    return m_timer.get();
}

QString HeadlessContext::TargetPath()
{
    QString path = Drive1Text.trimmed();
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

bool HeadlessContext::TargetAccepted(const QString &path)
{
    return AcceptTarget ? AcceptTarget(path) : DriveType::Accepted(DriveType::Query(path));
}

QStringList HeadlessContext::LogTextLines() const
{
    return Log.lines();
}
