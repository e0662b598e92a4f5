#pragma once

#include "engine/RunRecord.h"

class QChart;
class QTableWidget;

// The last run's pictures: built from the record alone, so a test can compare them with it.
namespace RunCharts {

// Each file's write and read time in ms, one bar pair per file; nullptr for a run that timed no
// single files (the multiple test times whole phases).
QChart *FileTimes(const RunRecord &record);
// p50, p90, p99, p99.9 and max block latency in us, one bar set per phase; nullptr without samples.
QChart *Latencies(const RunRecord &record);
// One row per file: its times, direct I/O and how much of it was cached before reading.
void FillFileTable(QTableWidget &table, const RunRecord &record);

} // namespace RunCharts
