#pragma once

#include "engine/RunContext.h"
#include "engine/RunLog.h"
#include "engine/RunRecord.h"
#include "profile/ProfileRunner.h"

#include <QWidget>
#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QTimer;
class Cmd1;
class Chk1;
class PPB;
class Txt;
class McToolBar;
class ViewFrame;
class TargetBox;
class BusyAnimation;
class QMenu;
class QAction;
class InetTransfer;
class clsDoEvents;
class TimerComponent;
class DriverContext;
class frmResults;

// The whole user interface: every control, and the state a test run shares with the engine.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Captions from the language table.
    void Translate();

    // Target selection: the trimmed text of Drive1, always ending in "/", and the drive-kind test.
    QString GetTargetPath() const;
    bool CheckDriveType(const QString &path) const;
    // kindCode gets the drive kind: 1 removable, 2 fixed, 3 remote, 4 CD-ROM, 5 RAM disk, 0 unknown.
    bool CheckDriveType(const QString &path, qint16 &kindCode) const;
    // The busy display while a test runs.
    void StartBusyAnimation();
    void StopBusyAnimation();
    // The about window, modal, made anew for each showing.
    void ShowAbout();

    // Run state shared with the test engine.
    bool StopRequested = true;
    bool AutoCompleteBusy = false;
    RunLog LogText;
    QString LogFileName;
    std::array<QString, 6> LogLines{}; // 0 is the newest line
    RunResults Results;

    // Controls, named as the program names them.
    McToolBar *McToolBar1 = nullptr;
    ViewFrame *frView = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    Txt *Txt1 = nullptr;
    Txt *Txt2 = nullptr;
    Cmd1 *Cmd13 = nullptr;
    Cmd1 *Cmd11 = nullptr;
    Cmd1 *Cmd12 = nullptr;
    QComboBox *Drive1 = nullptr;
    Chk1 *Chk11 = nullptr;
    Chk1 *ChkDoEvents = nullptr;
    Chk1 *chkDisableCaching = nullptr;
    Chk1 *chkEnableWriteThrough = nullptr;
    Chk1 *chkReadFromDevice = nullptr;
    Chk1 *chkVerifyData = nullptr;
    PPB *Progress1 = nullptr;
    PPB *OverallProgress = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;
    std::array<QLabel *, 2> iIcon{};
    QTimer *IconAnimation = nullptr;

    // Behaviour of the target box and of the busy display (frmMain_target.cpp, frmMain_busy.cpp),
    // and the proposal button's handler (frmMain_suggest.cpp).
    TargetBox *Drive1Box = nullptr;
    BusyAnimation *Busy = nullptr;
    BusyAnimation &BusyDisplay(); // made on first use
    void Cmd13_Click();

    // Pop-up menus under the toolbar and the update check (frmMain_menus.cpp).
    QMenu *mnuFile = nullptr;
    QMenu *mnuEdit = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuFileSaveAs = nullptr;
    QAction *mnuFileExit = nullptr;
    QAction *mnuEditCopy = nullptr;
    QAction *mnuEditResults = nullptr;
    QAction *mnuHelpCheckUpdate = nullptr;
    QAction *mnuHelpAbout = nullptr;
    InetTransfer *Inet1 = nullptr;
    QString UpdateUrl; // the information file's address
    void McToolBar1_Click(int index);

    // Every run that ends goes into the history; the results window shows it (frmMain_results.cpp).
    frmResults *ResultsWindow = nullptr; // made on first showing
    void ShowResults();
    void KeepRun(const RunRecord &record);

    // Test runs (frmMain_run.cpp): the log panel, the start buttons' handlers, and the window's one
    // pump and one clock, made on first use and kept until the window ends.
    void LogPrint(const QString &InText);
    void ClearPanel();
    // Every figure of the last run, complete or not; empty before the first.
    const RunRecord &LastRecord() const { return m_lastRecord; }
    void Cmd11_Click();
    void Cmd12_Click();
    clsDoEvents &DoEvents();
    TimerComponent *Timer();
    std::shared_ptr<clsDoEvents> DoEventsInstance;
    std::shared_ptr<TimerComponent> TimerInstance;

    // True from the lock of the inputs to their unlock. While it is, nothing that opens a dialog
    // or a window may run: its time would be counted in the phase's timed span.
    bool RunActive = false;
    void SetRunActive(bool active);
    // Set for one run when the user chose to run through the cache after the bypass was refused.
    bool CacheForced = false;
    // The profile test (frmMain_profile.cpp): the profiles offered, the start command, and the
    // outcomes of the last profile run. Escape stops it, as it stops the classic tests.
    QComboBox *cboProfile = nullptr;
    Cmd1 *Cmd14 = nullptr;
    Cmd1 *Cmd15 = nullptr; // opens the dialog of the user's own profiles
    QList<Profiles::ProfileOutcome> ProfileResults;
    void Cmd14_Click();
    void FillProfileList();
    // The user's own profiles, added, changed and deleted in a dialog (not during a run).
    void ShowProfiles();

    // The Exit command: a running test stops at its next pump check, then the program ends.
    void RequestExit() { mnuFileExit_Click(); }
signals:
    // A start command has returned, with the run's record.
    void runFinished(const RunRecord &record);
    void RunActiveChanged(bool active);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    // Each concern wires its own signals, in its own file.
    void connectTarget();  // frmMain_target.cpp
    void connectRuns();    // frmMain_run.cpp
    void connectSuggest(); // frmMain_suggest.cpp
    void connectMenus();   // frmMain_menus.cpp
    void connectResults(); // frmMain_results.cpp
    void connectProfile(); // frmMain_profile.cpp
    void mnuFileSaveAs_Click();
    void ShowSaveError(const QString &fileName, const QString &reason);
    void mnuFileExit_Click();
    void mnuEditCopy_Click();
    void mnuHelpCheckUpdate_Click();
    void Form_Load();
    // Returns true when the window may close (settings saved); false when a run was asked to stop.
    bool Form_QueryUnload();
    void RestoreSettings();
    void SaveSettings();
    void Run(void (*start)(DriverContext &));

    RunRecord m_lastRecord;
};
