#pragma once

#include "engine/RunContext.h"

#include <QString>
#include <cstdint>

// The four test phases. Each logs its own lines and failures and returns success; path ends in "/".
bool SingleWriteTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path);
bool SingleReadTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path);
bool MultiWriteTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path);
bool MultiReadTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path);
