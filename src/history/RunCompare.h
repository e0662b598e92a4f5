#pragma once

#include "engine/RunRecord.h"

#include <QList>
#include <optional>

// Two runs side by side: each figure of both, and how far the second lies from the first.
namespace RunCompare {

enum class Figure {
    WriteRate,
    ReadRate, // MB/s
    WriteTime,
    ReadTime, // ms
    WriteP50,
    WriteP99,
    WriteMax, // block latency, us
    ReadP50,
    ReadP99,
    ReadMax,
    Files,
    FileSize, // count, MB
};
constexpr int kFigureCount = int(Figure::FileSize) + 1;

struct Row {
    Figure figure;
    std::optional<double> first; // empty when the run has no such figure
    std::optional<double> second;
    std::optional<double> percent; // (second - first) / first x 100; empty when first is 0 or missing
};

std::optional<double> FigureOf(const RunRecord &record, Figure figure);
std::optional<double> PercentChange(std::optional<double> from, std::optional<double> to);
QList<Row> Compare(const RunRecord &first, const RunRecord &second);

// The profile test's figures of one profile; latencies over all its passes.
enum class ProfileFigure { BestRate, MeanRate, BestIops, MeanIops, LatencyP50, LatencyP99, LatencyMax };
constexpr int kProfileFigureCount = int(ProfileFigure::LatencyMax) + 1;

struct ProfileRow {
    QString profile; // its name, or its text when it has none
    ProfileFigure figure;
    std::optional<double> first; // empty when that run did not measure the profile
    std::optional<double> second;
    std::optional<double> percent;
};

// Empty for a profile without a counted pass.
std::optional<double> FigureOf(const ProfileRecord &profile, ProfileFigure figure);
// Every figure of every profile, matched by name: first the first run's profiles in their order,
// then those only the second run has.
QList<ProfileRow> CompareProfiles(const RunRecord &first, const RunRecord &second);

} // namespace RunCompare
