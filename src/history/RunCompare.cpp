#include "history/RunCompare.h"

namespace RunCompare {

namespace {

std::optional<double> Latency(const PhaseRecord *phase, double LatencySummary::*field)
{
    if (!phase || phase->latency.count() == 0)
        return std::nullopt;
    return LatencySummary::of(phase->latency).*field;
}

} // namespace

std::optional<double> FigureOf(const RunRecord &record, Figure figure)
{
    const PhaseRecord *write = record.phase(PhaseKind::Write);
    const PhaseRecord *read = record.phase(PhaseKind::Read);
    switch (figure) {
    case Figure::WriteRate:
        return write ? write->rateMBps : std::nullopt;
    case Figure::ReadRate:
        return read ? read->rateMBps : std::nullopt;
    case Figure::WriteTime:
        return write && write->completed ? std::optional<double>(write->ms) : std::nullopt;
    case Figure::ReadTime:
        return read && read->completed ? std::optional<double>(read->ms) : std::nullopt;
    case Figure::WriteP50:
        return Latency(write, &LatencySummary::p50Us);
    case Figure::WriteP99:
        return Latency(write, &LatencySummary::p99Us);
    case Figure::WriteMax:
        return Latency(write, &LatencySummary::maxUs);
    case Figure::ReadP50:
        return Latency(read, &LatencySummary::p50Us);
    case Figure::ReadP99:
        return Latency(read, &LatencySummary::p99Us);
    case Figure::ReadMax:
        return Latency(read, &LatencySummary::maxUs);
    case Figure::Files:
        return record.fileCount;
    case Figure::FileSize:
        return record.fileSizeMB;
    }
    return std::nullopt;
}

std::optional<double> PercentChange(std::optional<double> from, std::optional<double> to)
{
    if (!from || !to)
        return std::nullopt;
    if (*from == 0)
        return *to == 0 ? std::optional<double>(0.0) : std::nullopt;
    return (*to - *from) / *from * 100.0;
}

QList<Row> Compare(const RunRecord &first, const RunRecord &second)
{
    QList<Row> rows;
    for (int i = 0; i < kFigureCount; ++i) {
        const Figure f = Figure(i);
        const std::optional<double> a = FigureOf(first, f), b = FigureOf(second, f);
        rows.append({f, a, b, PercentChange(a, b)});
    }
    return rows;
}

} // namespace RunCompare
