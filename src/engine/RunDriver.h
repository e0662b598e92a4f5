#pragma once

#include "engine/ResultLogText.h"
#include "engine/RunContext.h"
#include "engine/RunLog.h"

#include <QDateTime>
#include <QString>

// What the two start commands see of the window beyond what a phase sees.
class DriverContext : public RunContext {
public:
    virtual QString TargetPath() = 0;                     // GetTargetPath: ends in "/"
    virtual bool TargetAccepted(const QString &path) = 0; // CheckDriveType
    virtual QString CountText() = 0;                      // Txt1
    virtual QString SizeText() = 0;                       // Txt2
    virtual bool WriteLogFile() = 0;                      // Chk11
    virtual QString DriveText() = 0;                      // Drive1 as typed, untrimmed
    virtual void LockInputs(bool locked) = 0;             // the eleven inputs
    virtual void StartBusy() = 0;                         // Image2 and the icon animation
    virtual void StopBusy() = 0;
    virtual RunLog &LogText() = 0;
    virtual QString &LogFileName() = 0;
    virtual void SetStopRequested(bool stop) = 0;
    virtual const ResultLogText &LogFileText() const = 0;
};

// "Start Single" and "Start Multiple", from the target check to the result log file.
void StartSingle(DriverContext &ctx);
void StartMultiple(DriverContext &ctx);

namespace RunDriver {

// A typed value as the runs read it: a number in the locale's notation, rounded down, kept as
// 32 bits; false for an empty or non-numeric text or a value out of range.
bool ReadWholeNumber(const QString &text, int32_t &value);
// Txt1 as the multiple test's clean-up reads it: 16 bits, halves to even; 0 when it does not fit.
int16_t ReadCount16(const QString &text);

// Appends the result log file: header, the run's log (streamed, never held whole) and trailer. False when it cannot,
// also when the name holds anything but a regular file: a symbolic link, a FIFO or a folder placed under the
// predictable name is neither followed nor waited on.
bool AppendResultLog(const QString &fileName, const QString &header, const RunLog &log, const QString &trailer);

// "mm_dd_yy_hh_mm", the stamp in a result log file's name.
QString LogStamp(const QDateTime &when);

} // namespace RunDriver
