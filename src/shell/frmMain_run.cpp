// The two start buttons: the engine's run drivers over the window's controls.
#include "shell/frmMain.h"

#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/PPB.h"
#include "controls/Txt.h"
#include "engine/LogPanel.h"
#include "engine/RunDriver.h"
#include "engine/RunGuard.h"
#include "engine/clsDoEvents.h"
#include "platform/FileOps.h"
#include "platform/FolderLock.h"
#include "platform/TimerComponent.h"
#include "platform/ui/MsgBox.h"
#include "report/LogFormatter.h"
#include "report/RunReporter.h"
#include "report/RunWarnings.h"
#include "shell/PaintThrottle.h"

#include <QComboBox>
#include <QLabel>

namespace {

// What a run sees of the window, read from and written to its controls.
class WindowRunContext final : public DriverContext, public LogOutput {
public:
    explicit WindowRunContext(frmMain &w) : m_w(w) {}

    bool DisableCaching() const override { return m_w.chkDisableCaching->Checked() && !m_w.CacheForced; }
    bool WriteThrough() const override { return m_w.chkEnableWriteThrough->Checked(); }
    bool LightPump() const override { return m_w.ChkDoEvents->Checked(); }
    bool StopRequested() const override { return m_w.StopRequested; }
    bool ReadFromDevice() const override { return m_w.chkReadFromDevice->Checked(); }
    bool DirectIoRefused() const override { return m_w.CacheForced; }
    bool VerifyData() const override { return m_w.chkVerifyData->Checked(); }
    QByteArray RunId() const override { return m_reporter.record().runId; }
    void LogPrint(const QString &line) override { m_w.LogPrint(line); }
    void ClearPanel() override { m_w.ClearPanel(); }
    RunEvents &Events() override { return m_reporter; }
    const RunRecord &Record() const { return m_reporter.record(); }
    void FileProgress(double value) override { m_w.Progress1->ValueChange(value); }
    void OverallProgress(double value) override { m_w.OverallProgress->ValueChange(value); }
    void fDoEvents(bool bDoOriginalDoEvents) override
    {
        m_paints.During([&] { m_w.DoEvents().fDoEvents(bDoOriginalDoEvents); });
    }
    TimerComponent *Timer() override { return m_w.Timer(); }
    RunResults &Results() override { return m_w.Results; }

    QString TargetPath() override { return m_w.GetTargetPath(); }
    bool TargetAccepted(const QString &path) override { return m_w.CheckDriveType(path); }
    QString CountText() override { return m_w.Txt1->Text(); }
    QString SizeText() override { return m_w.Txt2->Text(); }
    bool WriteLogFile() override { return m_w.Chk11->Checked(); }
    QString DriveText() override { return m_w.Drive1->currentText(); }
    void LockInputs(bool locked) override
    {
        const auto enable = [locked](auto *control) { control->setEnabled(!locked); };
        enable(m_w.Chk11);
        enable(m_w.chkDisableCaching);
        enable(m_w.chkEnableWriteThrough);
        enable(m_w.chkReadFromDevice);
        enable(m_w.chkVerifyData);
        enable(m_w.ChkDoEvents);
        enable(m_w.Cmd11);
        enable(m_w.Cmd12);
        enable(m_w.Cmd13);
        enable(m_w.Cmd14);
        enable(m_w.Cmd15);
        enable(m_w.cboProfile);
        enable(m_w.Drive1);
        enable(m_w.Txt1);
        enable(m_w.Txt2);
        m_w.SetRunActive(locked);
        // Measured before the first span is timed: shaping a label costs more than a block.
        if (locked) {
            m_w.Progress1->PrepareValueLabels();
            m_w.OverallProgress->PrepareValueLabels();
        }
    }
    void StartBusy() override
    {
        m_w.Image2->setVisible(true);
        m_w.StartBusyAnimation();
    }
    void StopBusy() override { m_w.StopBusyAnimation(); }
    RunLog &LogText() override { return m_w.LogText; }
    QString &LogFileName() override { return m_w.LogFileName; }
    void SetStopRequested(bool stop) override { m_w.StopRequested = stop; }
    const ResultLogText &LogFileText() const override { return m_reporter.logFileText(); }

private:
    frmMain &m_w;
    RunReporter m_reporter{*this};
    PaintThrottle m_paints{&m_w};
};

} // namespace

void frmMain::connectRuns()
{
    connect(Cmd11, &Cmd1::Click, this, &frmMain::Cmd11_Click);
    connect(Cmd12, &Cmd1::Click, this, &frmMain::Cmd12_Click);
}

void frmMain::Cmd11_Click()
{
    Run(&StartSingle);
}

void frmMain::Cmd12_Click()
{
    Run(&StartMultiple);
}

void frmMain::Run(void (*start)(DriverContext &))
{
    const QString title = QStringLiteral("Veltaro");
    FolderLock lock;
    const QString path = GetTargetPath();
    const RunGuard::Check check = RunGuard::Before(path, FileOps::PathFileExists(path) && CheckDriveType(path),
                                                   chkDisableCaching->Checked(), lock);
    if (check.verdict == RunGuard::Verdict::FolderBusy) {
        MsgBox(LogFormatter::FolderBusy(path), MsgBoxStyle::Critical, title, this);
        return;
    }
    CacheForced = false;
    if (check.verdict == RunGuard::Verdict::BypassRefused) {
        const QString question = LogFormatter::BypassRefused(check.probe.error) + QStringLiteral("\r\n\r\n") +
                                 LogFormatter::RunWithCacheQuestion();
        if (MsgBox(question, MsgBoxStyle::YesNo | MsgBoxStyle::Information, title, this) != MsgBoxResult::Yes)
            return;
        CacheForced = true;
    }
    WindowRunContext ctx(*this);
    start(ctx);
    CacheForced = false;
    m_lastRecord = ctx.Record();
    // Told after the run, never inside it: a box would count in a timed span.
    const QString failedWrites = RunWarnings::FailedWritesText(m_lastRecord);
    if (!failedWrites.isEmpty())
        MsgBox(failedWrites, MsgBoxStyle::Exclamation, title, this);
    emit runFinished(m_lastRecord);
}

void frmMain::ClearPanel()
{
    LogLines.fill(QString());
    if (Label3->text().isEmpty())
        return;
    Label3->setText(QString());
    Label3->repaint();
}

void frmMain::LogPrint(const QString &InText)
{
    // The label breaks lines at LF; repainting only when the caption changed.
    const QString caption = ::LogPrint(LogLines, LogText, InText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (caption == Label3->text())
        return;
    Label3->setText(caption);
    // Painted now rather than at the next pump: the phases log just before they start and just
    // after they stop their clock, so the panel's cost stays outside the timed spans.
    Label3->repaint();
}

clsDoEvents &frmMain::DoEvents()
{
    if (!DoEventsInstance)
        DoEventsInstance = std::make_shared<clsDoEvents>();
    return *DoEventsInstance;
}

TimerComponent *frmMain::Timer()
{
    if (!TimerInstance)
        TimerInstance = TimerComponent::Create();
    return TimerInstance.get();
}
