#include "history/RunCompare.h"

namespace RunCompare {

namespace {

std::optional<double> Latency(const PhaseRecord *phase, double LatencySummary::*field)
{
    if (!phase || phase->latency.count() == 0)
        return std::nullopt;
    return LatencySummary::of(phase->latency).*field;
}

QString Key(const ProfileRecord &p)
{
    return p.name.isEmpty() ? p.spec : p.name;
}

const ProfileRecord *Find(const RunRecord &run, const QString &key)
{
    for (const ProfileRecord &p : run.profiles)
        if (Key(p) == key)
            return &p;
    return nullptr;
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

namespace RunCompare {

std::optional<double> FigureOf(const ProfileRecord &p, ProfileFigure figure)
{
    if (p.passes.empty())
        return std::nullopt;
    LatencyHistogram latency;
    for (const ProfilePassRecord &pass : p.passes)
        latency.merge(pass.latency);
    const auto percentile = [&latency](double LatencySummary::*field) -> std::optional<double> {
        if (latency.count() == 0)
            return std::nullopt;
        return LatencySummary::of(latency).*field;
    };
    switch (figure) {
    case ProfileFigure::BestRate:
        return p.bestMBps;
    case ProfileFigure::MeanRate:
        return p.meanMBps;
    case ProfileFigure::BestIops:
        return p.bestIops;
    case ProfileFigure::MeanIops:
        return p.meanIops;
    case ProfileFigure::LatencyP50:
        return percentile(&LatencySummary::p50Us);
    case ProfileFigure::LatencyP99:
        return percentile(&LatencySummary::p99Us);
    case ProfileFigure::LatencyMax:
        return percentile(&LatencySummary::maxUs);
    }
    return std::nullopt;
}

QList<ProfileRow> CompareProfiles(const RunRecord &first, const RunRecord &second)
{
    QStringList keys;
    for (const RunRecord *run : {&first, &second})
        for (const ProfileRecord &p : run->profiles)
            if (!keys.contains(Key(p)))
                keys << Key(p);
    QList<ProfileRow> rows;
    for (const QString &key : keys) {
        const ProfileRecord *a = Find(first, key);
        const ProfileRecord *b = Find(second, key);
        for (int i = 0; i < kProfileFigureCount; ++i) {
            const ProfileFigure f = ProfileFigure(i);
            const std::optional<double> x = a ? FigureOf(*a, f) : std::nullopt;
            const std::optional<double> y = b ? FigureOf(*b, f) : std::nullopt;
            rows.append({key, f, x, y, PercentChange(x, y)});
        }
    }
    return rows;
}

} // namespace RunCompare
