// The third start command: the chosen profiles on the target, with the two number fields giving
// the file size, one log line per profile.
#include "shell/frmMain.h"

#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/PPB.h"
#include "controls/Txt.h"
#include "engine/RunDriver.h"
#include "engine/clsDoEvents.h"
#include "lang/modLang.h"
#include "profile/ProfileRecord.h"
#include "profile/ProfileSession.h"
#include "profile/ProfileText.h"
#include "profile/UserProfiles.h"
#include "report/LogFormatter.h"
#include "shell/PaintThrottle.h"
#include "shell/frmProfiles.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLabel>

namespace {

// The formatter's lines go to the window's log, as during a classic run.
class WindowLog final : public LogOutput {
public:
    explicit WindowLog(frmMain &w) : m_w(w) {}
    void LogPrint(const QString &line) override { m_w.LogPrint(line); }
    void ClearPanel() override { m_w.ClearPanel(); }

private:
    frmMain &m_w;
};

} // namespace

void frmMain::connectProfile()
{
    FillProfileList();
    connect(Cmd14, &Cmd1::Click, this, &frmMain::Cmd14_Click);
    connect(Cmd15, &Cmd1::Click, this, &frmMain::ShowProfiles);
}

void frmMain::FillProfileList()
{
    const QString chosen = cboProfile->currentText();
    cboProfile->clear();
    cboProfile->addItem(QStringLiteral("standard"));
    for (const QList<ProfileSpec> &list : {Profiles::Standard(), UserProfiles::Load()}) {
        for (const ProfileSpec &spec : list)
            cboProfile->addItem(spec.name);
    }
    // A profile deleted meanwhile leaves the whole standard set chosen.
    cboProfile->setCurrentIndex(std::max(0, cboProfile->findText(chosen)));
}

void frmMain::ShowProfiles()
{
    if (RunActive)
        return;
    frmProfiles dialog(this);
    dialog.exec();
    FillProfileList();
}

void frmMain::Cmd14_Click()
{
    ClearPanel();
    const QString path = GetTargetPath();
    if (!QDir(path).exists() || !CheckDriveType(path)) {
        LogPrint(LangText(54, false, false, false, QString()));
        return;
    }
    Profiles::Session session;
    session.log = [this](const QString &line) { LogPrint(line); };
    int32_t count = 0;
    int32_t sizeMB = 0;
    if (!RunDriver::ReadWholeNumber(Txt1->Text(), count) || !RunDriver::ReadWholeNumber(Txt2->Text(), sizeMB) ||
        count <= 0 || sizeMB <= 0) {
        session.log(ProfileText::Error({ProfileError::FileSize, Txt1->Text() + QLatin1Char('x') + Txt2->Text()}));
        return;
    }
    if (const ProfileError e = Profiles::Find(cboProfile->currentText(), UserProfiles::Load(), session.specs)) {
        session.log(ProfileText::Error(e));
        return;
    }
    session.folder = path;
    session.fileCount = count;
    session.fileSizeMB = sizeMB;
    session.options.directIo = chkDisableCaching->Checked();
    session.options.writeThrough = chkEnableWriteThrough->Checked();
    PaintThrottle paints(this);
    session.poll = [this, &paints] {
        paints.During([this] { DoEvents().fDoEvents(!ChkDoEvents->Checked()); });
        return StopRequested;
    };
    int done = 0;
    const double total = session.specs.size();
    session.finished = [this, &done, total] { OverallProgress->ValueChange(100.0 * ++done / total); };

    // Named at the start as the classic tests name theirs, so the stamp is the run's start.
    const bool writeLog = Chk11->Checked();
    LogFileName = path + QStringLiteral("Profile_VeltaroLog_") + RunDriver::LogStamp(QDateTime::currentDateTime()) +
                  QStringLiteral(".log");
    LogText.clear();
    StopRequested = false;
    const auto lock = [this](bool locked) {
        const auto enable = [locked](auto *...controls) { (controls->setEnabled(!locked), ...); };
        enable(Chk11, ChkDoEvents, chkDisableCaching, chkEnableWriteThrough, chkReadFromDevice, chkVerifyData, Cmd11,
               Cmd12, Cmd13, Cmd14, Cmd15, Drive1, Txt1, Txt2, cboProfile);
        SetRunActive(locked);
    };
    lock(true);
    Image2->setVisible(true);
    StartBusyAnimation();
    OverallProgress->ValueChange(0);

    ProfileResults = session.run();
    m_lastRecord = Profiles::RunRecordOf(session, ProfileResults);
    m_lastRecord.options.writeLogFile = writeLog;
    m_lastRecord.options.lightPump = ChkDoEvents->Checked();

    StopRequested = true;
    lock(false);
    StopBusyAnimation();
    // After the test files are gone, as the classic tests write theirs.
    if (writeLog) {
        WindowLog out(*this);
        LogFormatter formatter(out);
        const bool written = RunDriver::AppendResultLog(LogFileName, formatter.Header(Drive1->currentText()), LogText,
                                                        formatter.Trailer());
        if (!written)
            formatter.failed(FailReason::AccessFailed, LogFileName);
        m_lastRecord.resultLogPath = LogFileName;
        m_lastRecord.resultLogWritten = written;
    }
    emit runFinished(m_lastRecord);
}
