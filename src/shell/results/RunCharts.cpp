#include "shell/results/RunCharts.h"

#include "shell/results/ResultsTexts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QHeaderView>
#include <QLocale>
#include <QLogValueAxis>
#include <QTableWidget>
#include <QValueAxis>
#include <map>

namespace RunCharts {

namespace {

double FileMs(const FileRecord &f)
{
    return f.us > 0 ? f.us / 1000.0 : double(f.ms);
}

} // namespace

QChart *BarChart(const QString &title, const QStringList &categories, QBarSeries *series, QAbstractAxis *valueAxis)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->addSeries(series);
    auto *categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    chart->addAxis(categoryAxis, Qt::AlignBottom);
    chart->addAxis(valueAxis, Qt::AlignLeft);
    series->attachAxis(categoryAxis);
    series->attachAxis(valueAxis);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QAbstractAxis *LatencyAxis(double low, double high)
{
    auto *axis = new QLogValueAxis;
    axis->setBase(10);
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setRange(std::max(0.01, low / 2), std::max(1.0, high * 2));
    axis->setMinorTickCount(-1);
    return axis;
}

QChart *FileTimes(const RunRecord &record)
{
    if (record.kind != RunKind::Single)
        return nullptr;
    const PhaseRecord *write = record.phase(PhaseKind::Write);
    const PhaseRecord *read = record.phase(PhaseKind::Read);
    // Files by number: a stopped run may have written a file it never read.
    std::map<int, std::pair<double, double>> times;
    if (write)
        for (const FileRecord &f : write->files)
            if (f.timed)
                times[f.number].first = FileMs(f);
    if (read)
        for (const FileRecord &f : read->files)
            if (f.timed)
                times[f.number].second = FileMs(f);
    if (times.empty())
        return nullptr;
    auto *writeSet = new QBarSet(ResultsTexts::Write());
    auto *readSet = new QBarSet(ResultsTexts::Read());
    QStringList categories;
    double top = 0;
    for (const auto &[number, pair] : times) {
        categories << QString::number(number);
        writeSet->append(pair.first);
        readSet->append(pair.second);
        top = std::max({top, pair.first, pair.second});
    }
    auto *series = new QBarSeries;
    series->append(writeSet);
    series->append(readSet);
    auto *axis = new QValueAxis;
    axis->setRange(0, top > 0 ? top * 1.1 : 1);
    axis->applyNiceNumbers();
    axis->setLabelFormat(QStringLiteral("%.0f"));
    return BarChart(ResultsTexts::FileChartTitle(), categories, series, axis);
}

QChart *Latencies(const RunRecord &record)
{
    auto *series = new QBarSeries;
    double low = 0, high = 0;
    for (const PhaseRecord &phase : record.phases) {
        if (phase.latency.count() == 0)
            continue;
        const LatencySummary s = LatencySummary::of(phase.latency);
        auto *set = new QBarSet(phase.kind == PhaseKind::Write ? ResultsTexts::Write() : ResultsTexts::Read());
        *set << s.p50Us << s.p90Us << s.p99Us << s.p999Us << s.maxUs;
        series->append(set);
        low = low > 0 ? std::min(low, s.p50Us) : s.p50Us;
        high = std::max(high, s.maxUs);
    }
    if (series->count() == 0) {
        delete series;
        return nullptr;
    }
    return BarChart(ResultsTexts::LatencyChartTitle(),
                    {QStringLiteral("p50"), QStringLiteral("p90"), QStringLiteral("p99"), QStringLiteral("p99.9"),
                     QStringLiteral("max")},
                    series, LatencyAxis(low, high));
}

void FillFileTable(QTableWidget &table, const RunRecord &record)
{
    struct Row {
        const FileRecord *write = nullptr;
        const FileRecord *read = nullptr;
    };
    std::map<int, Row> rows;
    for (const PhaseRecord &phase : record.phases)
        for (const FileRecord &f : phase.files)
            (phase.kind == PhaseKind::Write ? rows[f.number].write : rows[f.number].read) = &f;

    const QStringList yesNo = ResultsTexts::YesNo();
    const auto flag = [&yesNo](const std::optional<bool> &value) {
        return value ? yesNo.value(*value ? 0 : 1) : QString();
    };
    const auto time = [](const FileRecord *f) {
        return f && f->timed ? QLocale().toString(FileMs(*f), 'f', 1) : QString();
    };
    table.clear();
    table.setColumnCount(5);
    table.setHorizontalHeaderLabels(ResultsTexts::FileHeaders());
    table.setRowCount(0);
    int r = 0;
    for (const auto &[number, row] : rows) {
        QString direct, cached;
        if (row.write && row.write->directIo)
            direct = flag(row.write->directIo);
        else if (row.read && row.read->directIo)
            direct = flag(row.read->directIo);
        if (row.read && row.read->cachedShare)
            cached = QLocale().toString(row.read->cachedShare.value() * 100, 'f', 0) + u'%';
        const QStringList cells{QString::number(number), time(row.write), time(row.read), direct, cached};
        if (QStringList(cells.mid(1)).join(QString()).isEmpty())
            continue; // the multiple test has no figures per file
        table.insertRow(r);
        for (int c = 0; c < cells.size(); ++c)
            table.setItem(r, c, new QTableWidgetItem(cells[c]));
        ++r;
    }
    table.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

} // namespace RunCharts
