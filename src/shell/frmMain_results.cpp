// The history of runs and the results window.
#include "shell/frmMain.h"

#include "history/RunHistory.h"
#include "shell/results/frmResults.h"

#include <QAction>

void frmMain::connectResults()
{
    connect(this, &frmMain::runFinished, this, &frmMain::KeepRun);
}

void frmMain::ShowResults()
{
    // Kept once made, so it keeps its place and its chosen rows between showings.
    if (!ResultsWindow)
        ResultsWindow = new frmResults(this, HistoryStore::DefaultPath());
    ResultsWindow->Refresh();
    ResultsWindow->show();
    ResultsWindow->raise();
    ResultsWindow->activateWindow();
}

void frmMain::KeepRun(const RunRecord &record)
{
    // A history that cannot be written changes nothing of the run; the results window says why.
    RunHistory::Keep(record, HistoryStore::DefaultPath());
    if (ResultsWindow)
        ResultsWindow->RunEnded(record);
}
