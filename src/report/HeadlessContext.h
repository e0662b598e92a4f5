#pragma once

#include "engine/LogPanel.h"
#include "engine/RunDriver.h"
#include "engine/clsDoEvents.h"
#include "platform/TimerComponent.h"
#include "report/RunReporter.h"

#include <QString>
#include <functional>
#include <memory>

// The run state and inputs of a window without one: for the command-line runner, the benchmark
// and the tests. Inputs are plain fields; the pump, the timer's creation, the target check and
// each logged line can be replaced.
class HeadlessContext : public DriverContext, public LogOutput {
public:
    // Inputs, as the window's controls would hold them.
    QString Drive1Text;
    QString Txt1Text = QStringLiteral("20");
    QString Txt2Text = QStringLiteral("10");
    bool Chk11 = false;
    bool ChkDoEvents = false;
    bool chkDisableCaching = true;
    bool chkEnableWriteThrough = false;
    bool chkReadFromDevice = false;
    bool directIoRefused = false; // the bypass was refused and the run allowed through the cache
    bool chkVerifyData = false;

    // Run state.
    bool Stop = true;
    LogLineArray LogLines{};
    QString Caption; // what Label3 would show
    RunLog Log;
    QString LogFile;
    RunResults Figures;
    bool InputsLocked = false;
    bool Busy = false;
    double FileBar = 0;
    double OverallBar = 0;
    int FileBarChanges = 0;
    int OverallBarChanges = 0;
    int Pumps = 0;

    // Replaceable parts. An empty pump uses the real one (clsDoEvents).
    std::function<void(bool full)> Pump;
    std::function<std::unique_ptr<TimerComponent>()> CreateTimer = [] { return TimerComponent::Create(); };
    std::function<bool(const QString &path)> AcceptTarget;
    std::function<void(const QString &line)> OnLog;
    // A stop from outside the run (a signal), which the start of a run does not clear.
    std::function<bool()> ExternalStop;

    bool WriteThrough() const override { return chkEnableWriteThrough; }
    bool LightPump() const override { return ChkDoEvents; }
    bool StopRequested() const override { return Stop || (ExternalStop && ExternalStop()); }
    bool ReadFromDevice() const override { return chkReadFromDevice; }
    bool DirectIoRefused() const override { return directIoRefused; }
    bool DisableCaching() const override { return chkDisableCaching && !directIoRefused; }
    bool VerifyData() const override { return chkVerifyData; }
    QByteArray RunId() const override { return m_reporter.record().runId; }
    void LogPrint(const QString &line) override;
    void ClearPanel() override;
    RunEvents &Events() override { return m_reporter; }
    // The last run's record; a watcher set here sees every event after the log and the record.
    const RunRecord &Record() const { return m_reporter.record(); }
    void SetWatcher(RunEvents *watcher) { m_reporter.watcher = watcher; }
    void FileProgress(double value) override;
    void OverallProgress(double value) override;
    void fDoEvents(bool bDoOriginalDoEvents) override;
    TimerComponent *Timer() override;
    RunResults &Results() override { return Figures; }

    // The trimmed target, ending in "/".
    QString TargetPath() override;
    // The window's drive-kind check, unless replaced.
    bool TargetAccepted(const QString &path) override;
    QString CountText() override { return Txt1Text; }
    QString SizeText() override { return Txt2Text; }
    bool WriteLogFile() override { return Chk11; }
    QString DriveText() override { return Drive1Text; }
    void LockInputs(bool locked) override { InputsLocked = locked; }
    void StartBusy() override { Busy = true; }
    void StopBusy() override { Busy = false; }
    RunLog &LogText() override { return Log; }
    QString &LogFileName() override { return LogFile; }
    void SetStopRequested(bool stop) override { Stop = stop; }
    const ResultLogText &LogFileText() const override { return m_reporter.logFileText(); }

    // Every line logged, the run's log split at its CR LF.
    QStringList LogTextLines() const;

private:
    RunReporter m_reporter{*this};
    std::unique_ptr<TimerComponent> m_timer;
    std::unique_ptr<clsDoEvents> m_doEvents;
};
