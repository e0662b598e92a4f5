#include "app/cli/CliContext.h"

#include <algorithm>
#include <cmath>

CliContext::CliContext(const HeadlessRunOptions &options)
    : m_count(options.count.toInt()), m_sizeMB(options.sizeMB.toInt()), m_multiple(options.multiple)
{
    ApplyOptions(options, *this);
    m_clock.start();
}

// Untrimmed: "/data " names a folder of its own, and trimming it would test and clean "/data".
QString CliContext::TargetPath()
{
    return Drive1Text.endsWith(u'/') ? Drive1Text : Drive1Text + u'/';
}

void CliContext::OverallProgress(double value)
{
    HeadlessContext::OverallProgress(value);
    if (value > 50)
        m_reading = true;
}

void CliContext::fDoEvents(bool bDoOriginalDoEvents)
{
    if (m_progress)
        m_progress->update(StateAt(OverallBar), m_clock.elapsed());
    HeadlessContext::fDoEvents(bDoOriginalDoEvents);
}

ProgressState CliContext::StateAt(double overall) const
{
    static const QString write = QStringLiteral("write");
    static const QString read = QStringLiteral("read");
    const double total = double(m_count) * m_sizeMB;
    const double runMB = overall / 100.0 * 2 * total;
    const double done = std::clamp(m_reading ? runMB - total : runMB, 0.0, total);
    const int file = std::min(m_count, int(std::floor(done / m_sizeMB)) + 1);
    return ProgressState{m_reading ? read : write, m_multiple, m_multiple ? 0 : file, m_count, done, total};
}
