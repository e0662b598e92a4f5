#pragma once

#include "app/cli/CliOptions.h"
#include "app/cli/FioCommand.h"
#include "engine/RunRecord.h"
#include "report/HeadlessRun.h"

class SignalStop;

namespace CliRun {

// Runs the test the options describe, writes its results and returns the exit code. A signal
// that stop catches ends the run as the window's close request does.
int Run(const CliOptions &options, const SignalStop &stop);

// --profile, --profile-spec: the profile test on the folder, its record written as for a run.
int RunProfileTest(const CliOptions &options, const SignalStop &stop);

// Keeps the run in the history and writes its JSON or CSV; the exit code, 1 when the output failed.
int Deliver(const CliOptions &options, const RunRecord &record, int code);

// --fio: the commands on standard output, nothing run.
int PrintFio(const CliOptions &options);

// What the options ask of a run; stop ends it as the window's close request does.
HeadlessRunOptions HeadlessOptionsOf(const CliOptions &options, const SignalStop &stop);

// The exit code the record's status calls for: 0 complete, 1 failed, 128 + signal stopped (a
// signal that came after the run ended changes nothing).
int ExitCodeOf(const RunRecord &record, int signal);

// What the fio jobs repeat; directIoRefused when the folder made the run go through the cache.
FioSetup FioSetupOf(const CliOptions &options, bool directIoRefused = false);
std::vector<FioCommandRecord> FioRecords(const FioSetup &setup);

} // namespace CliRun
