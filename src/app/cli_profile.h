#pragma once

#include "report/HeadlessRun.h"

#include <QStringList>

// The profile test without a window: the named profiles, then the typed ones, on the folder of
// options, with count x size MB as each job's file size; every log line to onLine. The record
// gets the outcome; the result is the exit code: 0 when all ran to their end, 1 when one failed
// or was stopped, 2 for a bad name, spec or size (nothing run then; the reason on standard error).
int RunProfiles(const QStringList &names, const QStringList &specs, bool threads, const HeadlessRunOptions &options,
                const std::function<void(const QString &)> &onLine, RunRecord &record);

// --save-profile "name=spec": 0 when stored; with the reason on standard error, 2 for a bad name
// or spec and 1 when the settings file cannot be written.
int SaveUserProfile(const QString &nameAndSpec);
