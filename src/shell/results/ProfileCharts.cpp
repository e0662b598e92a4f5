// The profile test's last run: rates per pass, latencies per profile, and the table of both.
#include "shell/results/RunCharts.h"

#include "history/RunCompare.h"
#include "shell/results/ResultsTexts.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QHeaderView>
#include <QLocale>
#include <QTableWidget>
#include <QValueAxis>

namespace RunCharts {

namespace {

QString Name(const ProfileRecord &p)
{
    return p.name.isEmpty() ? p.spec : p.name;
}

QString Number(double value, int decimals)
{
    return QLocale().toString(value, 'f', decimals);
}

} // namespace

QChart *ProfileRates(const RunRecord &record)
{
    size_t passes = 0;
    for (const ProfileRecord &p : record.profiles)
        passes = std::max(passes, p.passes.size());
    if (passes == 0)
        return nullptr;
    auto *series = new QBarSeries;
    double top = 0;
    for (size_t n = 0; n < passes; ++n) {
        auto *set = new QBarSet(ResultsTexts::Pass() + u' ' + QString::number(n + 1));
        for (const ProfileRecord &p : record.profiles) {
            const double rate = n < p.passes.size() ? p.passes[n].rateMBps : 0.0;
            *set << rate;
            top = std::max(top, rate);
        }
        series->append(set);
    }
    QStringList categories;
    for (const ProfileRecord &p : record.profiles)
        categories << Name(p);
    auto *axis = new QValueAxis;
    axis->setRange(0, top > 0 ? top * 1.1 : 1);
    axis->applyNiceNumbers();
    axis->setLabelFormat(QStringLiteral("%.0f"));
    return BarChart(ResultsTexts::ProfileRateChartTitle(), categories, series, axis);
}

QChart *ProfileLatencies(const RunRecord &record)
{
    using F = RunCompare::ProfileFigure;
    const std::pair<const char *, double LatencySummary::*> percentiles[] = {{"p50", &LatencySummary::p50Us},
                                                                             {"p90", &LatencySummary::p90Us},
                                                                             {"p99", &LatencySummary::p99Us},
                                                                             {"p99.9", &LatencySummary::p999Us},
                                                                             {"max", &LatencySummary::maxUs}};
    QStringList categories;
    std::vector<LatencySummary> summaries;
    for (const ProfileRecord &p : record.profiles) {
        if (!RunCompare::FigureOf(p, F::LatencyP50))
            continue;
        LatencyHistogram all;
        for (const ProfilePassRecord &pass : p.passes)
            all.merge(pass.latency);
        categories << Name(p);
        summaries.push_back(LatencySummary::of(all));
    }
    if (summaries.empty())
        return nullptr;
    auto *series = new QBarSeries;
    double low = 0, high = 0;
    for (const auto &[label, field] : percentiles) {
        auto *set = new QBarSet(QLatin1String(label));
        for (const LatencySummary &s : summaries) {
            *set << s.*field;
            low = low > 0 ? std::min(low, s.*field) : s.*field;
            high = std::max(high, s.*field);
        }
        series->append(set);
    }
    return BarChart(ResultsTexts::ProfileLatencyChartTitle(), categories, series, LatencyAxis(low, high));
}

void FillProfileTable(QTableWidget &table, const RunRecord &record)
{
    const QStringList headers = ResultsTexts::ProfileHeaders();
    table.clear();
    table.setColumnCount(int(headers.size()));
    table.setHorizontalHeaderLabels(headers);
    table.setRowCount(0);
    const auto addRow = [&table](const QStringList &cells) {
        const int r = table.rowCount();
        table.insertRow(r);
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c > 0 && c < cells.size() - 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table.setItem(r, c, item);
        }
    };
    for (const ProfileRecord &p : record.profiles) {
        if (p.passes.empty()) {
            // No figures: the pass column tells why.
            const QString why = toString(p.status) + (p.reason.isEmpty() ? QString() : QStringLiteral(": ") + p.reason);
            addRow({Name(p), why, QString(), QString(), QString(), QString(), QString(), QString(), p.engine});
            continue;
        }
        for (size_t n = 0; n < p.passes.size(); ++n) {
            const ProfilePassRecord &pass = p.passes[n];
            const LatencySummary s = LatencySummary::of(pass.latency);
            const bool timed = pass.latency.count() > 0;
            addRow({Name(p), QString::number(n + 1), Number(pass.rateMBps, 1), Number(pass.iops, 0),
                    timed ? Number(s.p50Us, 1) : QString(), timed ? Number(s.p99Us, 1) : QString(),
                    timed ? Number(s.p999Us, 1) : QString(), timed ? Number(s.maxUs, 1) : QString(), p.engine});
        }
    }
    table.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

} // namespace RunCharts
