#pragma once

#include "engine/RunRecord.h"
#include "history/HistoryStore.h"

#include <QWidget>
#include <memory>
#include <optional>

class HistoryModel;
class QChartView;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;
class QTableWidget;

// The results window: the last run as charts, every stored run in a table, two runs compared,
// chosen runs exported or deleted. It only reads the history, so it stays usable during a run.
class frmResults : public QWidget {
    Q_OBJECT
public:
    explicit frmResults(QWidget *parent = nullptr, const QString &storePath = HistoryStore::DefaultPath());
    ~frmResults() override;

    // Reads the history again; a store that cannot be used is told in a message box once.
    void Refresh();
    // A run has ended (and was stored): the table and the last run show it.
    void RunEnded(const RunRecord &record);
    void ShowRun(const RunRecord &record);

    // The table's chosen runs, oldest first.
    QList<qint64> ChosenIds() const;
    void Choose(const QList<qint64> &ids);
    bool CompareChosen();
    enum class Format { Json, Csv };
    bool ExportChosen(Format format);
    bool DeleteChosen();

    QTabWidget *Tabs = nullptr;
    QLabel *lblLastRun = nullptr;
    QChartView *FileChart = nullptr;
    QChartView *LatencyChart = nullptr;
    QTableWidget *FileTable = nullptr;
    QTableView *HistoryView = nullptr;
    QLabel *lblHistory = nullptr;
    QPushButton *cmdCompare = nullptr;
    QPushButton *cmdExportJson = nullptr;
    QPushButton *cmdExportCsv = nullptr;
    QPushButton *cmdDelete = nullptr;
    QTableWidget *CompareTable = nullptr;
    HistoryModel *Model = nullptr;
    QSortFilterProxyModel *Sorted = nullptr;

private:
    QWidget *createLastRunPage();
    QWidget *createHistoryPage();
    bool EnsureStore();
    void TellProblem(const HistoryProblem &problem);
    void Translate();
    QList<RunRecord> ChosenRecords();

    QString m_storePath;
    std::unique_ptr<HistoryStore> m_store;
    HistoryProblem::Kind m_toldProblem = HistoryProblem::None;
    bool m_runShown = false;
};
