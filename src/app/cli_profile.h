#pragma once

#include "engine/HeadlessContext.h"

#include <QCommandLineParser>

// Runs the profiles given by --profile and --profile-spec with the count x size of ctx as the file
// size; 0 when all ran to their end, 1 when one failed or was stopped, 2 for bad input.
int RunProfiles(const QCommandLineParser &parser, const QCommandLineOption &names, const QCommandLineOption &specs,
                const QCommandLineOption &threads, HeadlessContext &ctx);
