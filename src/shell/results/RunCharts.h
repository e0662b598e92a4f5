#pragma once

#include "engine/RunRecord.h"

class QAbstractAxis;
class QBarSeries;
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

// A profile run's, in the order its profiles ran.
// Each profile's MB/s, one bar set per counted pass; nullptr when no profile counted a pass.
QChart *ProfileRates(const RunRecord &record);
// p50, p90, p99, p99.9 and max block latency in us over each profile's passes, one bar set per
// percentile; nullptr without samples.
QChart *ProfileLatencies(const RunRecord &record);
// One row per profile and pass: MB/s, IOPS, latency percentiles and the I/O engine; a profile
// that counted no pass gets one row with its outcome.
void FillProfileTable(QTableWidget &table, const RunRecord &record);

// A bar chart over categories, its value axis on the left; the chart owns series and axis.
QChart *BarChart(const QString &title, const QStringList &categories, QBarSeries *series, QAbstractAxis *valueAxis);
// A base-10 log axis from below low to above high: latencies span several powers of ten.
QAbstractAxis *LatencyAxis(double low, double high);

} // namespace RunCharts
