#pragma once

#include "engine/RunContext.h"

#include <QString>
#include <cstdint>

// "Read from the device": the read phases see the device, not the pages the write phase left.
namespace DeviceRead {

// Between the phases, outside the timed spans: every test file's dirty pages written out and its
// cached pages dropped. The number of files for which that failed.
int DropTestFiles(const QString &path, int32_t count);

// Opens a test file for a read phase: past the cache when the option and the disabled cache ask
// for it and the file system allows, else as the classic read.
int32_t OpenForRead(const RunContext &ctx, const QString &fileName);

} // namespace DeviceRead
