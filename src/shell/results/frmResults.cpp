#include "shell/results/frmResults.h"

#include "history/RunCompare.h"
#include "history/RunHistory.h"
#include "platform/OutputFile.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/SaveFileDialog.h"
#include "shell/results/HistoryModel.h"
#include "shell/results/ResultsTexts.h"
#include "shell/results/RunCharts.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Veltaro");

QString Figure(const std::optional<double> &value)
{
    return value ? QLocale().toString(*value, 'f', 2) : QString();
}

QString Percent(const std::optional<double> &value)
{
    if (!value)
        return QString();
    return (*value > 0 ? QStringLiteral("+") : QString()) + QLocale().toString(*value, 'f', 1) + QStringLiteral(" %");
}

QString When(const QDateTime &utc)
{
    return utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// Replaces the view's chart; the view gives up the old one without deleting it.
void SetChart(QChartView *view, QChart *chart)
{
    QChart *old = view->chart();
    view->setVisible(chart != nullptr);
    view->setChart(chart ? chart : new QChart);
    delete old;
}

} // namespace

frmResults::frmResults(QWidget *parent, const QString &storePath) : QWidget(parent, Qt::Window), m_storePath(storePath)
{
    Tabs = new QTabWidget(this);
    Tabs->addTab(createLastRunPage(), QString());
    Tabs->addTab(createHistoryPage(), QString());
    CompareTable = new QTableWidget(0, 4);
    CompareTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CompareTable->verticalHeader()->hide();
    Tabs->addTab(CompareTable, QString());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Tabs);
    Translate();
    resize(900, 640);
}

frmResults::~frmResults() = default;

QWidget *frmResults::createLastRunPage()
{
    auto *page = new QWidget;
    lblLastRun = new QLabel;
    lblLastRun->setWordWrap(true);
    lblLastRun->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FileChart = new QChartView;
    LatencyChart = new QChartView;
    for (QChartView *view : {FileChart, LatencyChart}) {
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumHeight(220);
        view->hide();
    }
    FileTable = new QTableWidget;
    FileTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FileTable->verticalHeader()->hide();
    auto *charts = new QHBoxLayout;
    charts->addWidget(FileChart, 1);
    charts->addWidget(LatencyChart, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(lblLastRun);
    layout->addLayout(charts, 3);
    layout->addWidget(FileTable, 2);
    return page;
}

QWidget *frmResults::createHistoryPage()
{
    auto *page = new QWidget;
    Model = new HistoryModel(this);
    Sorted = new QSortFilterProxyModel(this);
    Sorted->setSourceModel(Model);
    Sorted->setSortRole(Qt::UserRole);
    HistoryView = new QTableView;
    HistoryView->setModel(Sorted);
    HistoryView->setSortingEnabled(true);
    HistoryView->sortByColumn(HistoryModel::Date, Qt::DescendingOrder);
    HistoryView->setSelectionBehavior(QAbstractItemView::SelectRows);
    HistoryView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    HistoryView->verticalHeader()->hide();
    HistoryView->horizontalHeader()->setStretchLastSection(true);
    lblHistory = new QLabel;
    lblHistory->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdCompare = new QPushButton;
    cmdExportJson = new QPushButton;
    cmdExportCsv = new QPushButton;
    cmdDelete = new QPushButton;
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblHistory, 1);
    for (QPushButton *b : {cmdCompare, cmdExportJson, cmdExportCsv, cmdDelete}) {
        b->setEnabled(false);
        buttons->addWidget(b);
    }
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(HistoryView);
    layout->addLayout(buttons);

    connect(HistoryView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const qsizetype chosen = HistoryView->selectionModel()->selectedRows().size();
        cmdCompare->setEnabled(chosen == 2);
        cmdExportJson->setEnabled(chosen > 0);
        cmdExportCsv->setEnabled(chosen > 0);
        cmdDelete->setEnabled(chosen > 0);
    });
    // A run from the history opens in the first tab, as the last run does.
    connect(HistoryView, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!EnsureStore())
            return;
        for (const HistoryEntry &e : m_store->Read({Model->EntryAt(Sorted->mapToSource(index).row()).id}))
            if (const auto record = RunHistory::RecordOf(e)) {
                ShowRun(*record);
                Tabs->setCurrentIndex(0);
            }
    });
    connect(cmdCompare, &QPushButton::clicked, this, &frmResults::CompareChosen);
    connect(cmdExportJson, &QPushButton::clicked, this, [this] { ExportChosen(Format::Json); });
    connect(cmdExportCsv, &QPushButton::clicked, this, [this] { ExportChosen(Format::Csv); });
    connect(cmdDelete, &QPushButton::clicked, this, &frmResults::DeleteChosen);
    return page;
}

void frmResults::Translate()
{
    setWindowTitle(ResultsTexts::Title());
    Tabs->setTabText(0, ResultsTexts::LastRunTab());
    Tabs->setTabText(1, ResultsTexts::HistoryTab());
    Tabs->setTabText(2, ResultsTexts::CompareTab());
    cmdCompare->setText(ResultsTexts::CompareButton());
    cmdExportJson->setText(ResultsTexts::ExportJsonButton());
    cmdExportCsv->setText(ResultsTexts::ExportCsvButton());
    cmdDelete->setText(ResultsTexts::DeleteButton());
    Model->SetHeaders(ResultsTexts::HistoryHeaders());
    CompareTable->setHorizontalHeaderLabels(ResultsTexts::CompareHeaders());
    lblLastRun->setText(ResultsTexts::NoRun());
}

bool frmResults::EnsureStore()
{
    if (m_store && m_store->IsOpen())
        return true;
    m_store = std::make_unique<HistoryStore>(m_storePath);
    RunHistory::Open(*m_store);
    TellProblem(m_store->Problem());
    return m_store->IsOpen();
}

void frmResults::TellProblem(const HistoryProblem &problem)
{
    // Once per kind of problem, not at every run that ends.
    if (problem.kind == HistoryProblem::None || problem.kind == m_toldProblem)
        return;
    m_toldProblem = problem.kind;
    QString reason;
    switch (problem.kind) {
    case HistoryProblem::FolderNotCreated:
        reason = ResultsTexts::FolderNotCreated();
        break;
    case HistoryProblem::ReadOnly:
        reason = ResultsTexts::ReadOnly();
        break;
    case HistoryProblem::Damaged:
        reason = ResultsTexts::MovedAside() + QStringLiteral("\r\n") + QDir::toNativeSeparators(problem.movedTo);
        break;
    case HistoryProblem::NewerSchema:
        reason = ResultsTexts::NewerSchema();
        break;
    default:
        reason = ResultsTexts::DatabaseError() + u' ' + problem.detail;
        break;
    }
    const bool usable = problem.kind == HistoryProblem::Damaged && m_store && m_store->IsOpen();
    MsgBox((usable ? QString() : ResultsTexts::StoreUnusable() + QStringLiteral("\r\n")) + reason +
               QStringLiteral("\r\n\r\n") + QDir::toNativeSeparators(problem.path),
           usable ? MsgBoxStyle::Information : MsgBoxStyle::Critical, kTitle, this);
}

void frmResults::Refresh()
{
    if (!EnsureStore()) {
        Model->SetEntries({});
        lblHistory->setText(QDir::toNativeSeparators(m_storePath));
        return;
    }
    const HistoryStore::Listing listing = m_store->ReadAll();
    Model->SetEntries(listing.entries);
    HistoryView->resizeColumnsToContents();
    HistoryView->resizeRowsToContents();
    lblHistory->setText(listing.skipped ? ResultsTexts::Skipped() + QString::number(listing.skipped)
                                        : QDir::toNativeSeparators(m_storePath));
    // On first opening, the last run is the newest one stored.
    if (!m_runShown && !listing.entries.isEmpty())
        for (const HistoryEntry &e : m_store->Read({listing.entries.first().id}))
            if (const auto record = RunHistory::RecordOf(e))
                ShowRun(*record);
}

void frmResults::RunEnded(const RunRecord &record)
{
    Refresh();
    ShowRun(record);
}

void frmResults::ShowRun(const RunRecord &record)
{
    const auto rate = [&record](PhaseKind kind) {
        const PhaseRecord *p = record.phase(kind);
        return p && p->rateMBps ? QLocale().toString(*p->rateMBps, 'f', 2) + QStringLiteral(" MB/s") : QString();
    };
    const bool profiles = record.kind == RunKind::Profile;
    // Profile records of earlier versions held the whole size and no count.
    const QString size = record.fileCount > 0
                             ? QStringLiteral(" %1 × %2 MB").arg(record.fileCount).arg(record.fileSizeMB)
                             : QStringLiteral(" %1 MB").arg(record.fileSizeMB);
    QStringList parts{When(record.startedUtc), record.target, RunHistory::DeviceText(record),
                      toString(record.kind) + size, toString(record.outcome.status)};
    if (!rate(PhaseKind::Write).isEmpty())
        parts << ResultsTexts::Write() + u' ' + rate(PhaseKind::Write);
    if (!rate(PhaseKind::Read).isEmpty())
        parts << ResultsTexts::Read() + u' ' + rate(PhaseKind::Read);
    parts.removeAll(QString());
    lblLastRun->setText(parts.join(QStringLiteral("  ·  ")));
    m_runShown = true;
    if (profiles) {
        SetChart(FileChart, RunCharts::ProfileRates(record));
        SetChart(LatencyChart, RunCharts::ProfileLatencies(record));
        RunCharts::FillProfileTable(*FileTable, record);
    } else {
        SetChart(FileChart, RunCharts::FileTimes(record));
        SetChart(LatencyChart, RunCharts::Latencies(record));
        RunCharts::FillFileTable(*FileTable, record);
    }
    FileTable->setVisible(FileTable->rowCount() > 0);
}

QList<qint64> frmResults::ChosenIds() const
{
    QList<const HistoryEntry *> chosen;
    for (const QModelIndex &index : HistoryView->selectionModel()->selectedRows())
        chosen << &Model->EntryAt(Sorted->mapToSource(index).row());
    std::sort(chosen.begin(), chosen.end(), [](const HistoryEntry *a, const HistoryEntry *b) {
        return a->started != b->started ? a->started < b->started : a->id < b->id;
    });
    QList<qint64> ids;
    for (const HistoryEntry *e : chosen)
        ids << e->id;
    return ids;
}

void frmResults::Choose(const QList<qint64> &ids)
{
    QItemSelection selection;
    for (int row = 0; row < Model->rowCount(); ++row)
        if (ids.contains(Model->EntryAt(row).id)) {
            const QModelIndex index = Sorted->mapFromSource(Model->index(row, 0));
            selection.select(index, index);
        }
    HistoryView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QList<RunRecord> frmResults::ChosenRecords()
{
    QList<RunRecord> records;
    if (!EnsureStore())
        return records;
    for (const HistoryEntry &e : m_store->Read(ChosenIds()))
        if (const auto record = RunHistory::RecordOf(e))
            records << *record;
    return records;
}

bool frmResults::CompareChosen()
{
    const QList<RunRecord> runs = ChosenRecords();
    if (runs.size() != 2) {
        MsgBox(ResultsTexts::ChooseTwo(), MsgBoxStyle::Information, kTitle, this);
        return false;
    }
    const bool profiles = runs[0].kind == RunKind::Profile;
    if (profiles != (runs[1].kind == RunKind::Profile)) {
        MsgBox(ResultsTexts::ProfileWithClassic(), MsgBoxStyle::Information, kTitle, this);
        return false;
    }
    // Rows of text cells: the leading ones name the figure, the last three are numbers.
    QList<QStringList> rows;
    if (profiles) {
        const QStringList names = ResultsTexts::ProfileFigureNames();
        for (const RunCompare::ProfileRow &row : RunCompare::CompareProfiles(runs[0], runs[1]))
            rows << QStringList{row.profile, names.value(int(row.figure)), Figure(row.first), Figure(row.second),
                                Percent(row.percent)};
    } else {
        const QStringList names = ResultsTexts::FigureNames();
        for (const RunCompare::Row &row : RunCompare::Compare(runs[0], runs[1]))
            rows << QStringList{names.value(int(row.figure)), Figure(row.first), Figure(row.second),
                                Percent(row.percent)};
    }
    QStringList headers = profiles ? ResultsTexts::ProfileCompareHeaders() : ResultsTexts::CompareHeaders();
    const int firstRun = profiles ? 2 : 1;
    for (int i = 0; i < 2 && firstRun + i < headers.size(); ++i)
        headers[firstRun + i] += QStringLiteral("\n") + When(runs[i].startedUtc);
    CompareTable->clear();
    CompareTable->setColumnCount(int(headers.size()));
    CompareTable->setHorizontalHeaderLabels(headers);
    CompareTable->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            auto *item = new QTableWidgetItem(rows[r][c]);
            if (c >= firstRun)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            CompareTable->setItem(r, c, item);
        }
    }
    CompareTable->resizeColumnsToContents();
    Tabs->setCurrentWidget(CompareTable);
    return true;
}

bool frmResults::ExportChosen(Format format)
{
    const QList<RunRecord> runs = ChosenRecords();
    if (runs.isEmpty())
        return false;
    const QString fileName =
        GetSaveFileName(this, format == Format::Json ? QStringLiteral("*.json") : QStringLiteral("*.csv"));
    if (fileName.isEmpty())
        return false;
    const QByteArray bytes = format == Format::Json ? RunHistory::ToJson(runs) : RunHistory::ToCsv(runs);
    const QString reason = OutputFile::Write(fileName, bytes);
    if (reason.isEmpty())
        return true;
    MsgBox(ResultsTexts::CannotWrite() + QStringLiteral("\r\n") + QDir::toNativeSeparators(fileName) +
               QStringLiteral("\r\n\r\n") + reason,
           MsgBoxStyle::Critical, kTitle, this);
    return false;
}

bool frmResults::DeleteChosen()
{
    const QList<qint64> ids = ChosenIds();
    if (ids.isEmpty() || !EnsureStore())
        return false;
    if (MsgBox(ResultsTexts::ConfirmDelete(), MsgBoxStyle::YesNo | MsgBoxStyle::Question, kTitle, this) !=
        MsgBoxResult::Yes)
        return false;
    const bool removed = m_store->Remove(ids);
    Refresh();
    return removed;
}
