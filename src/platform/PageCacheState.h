#pragma once

#include <QString>

// How much of a file the system cache holds, taken outside any timed span.
namespace PageCacheState {

enum class Method { Cachestat, Mincore };

struct Share {
    bool known = false;
    double fraction = 0; // cached pages / pages of the file, 0 to 1; 0 for an empty file
    Method method = Method::Cachestat;
};

// cachestat(2) where the kernel has it (Linux 6.5 and later), else mincore(2) on a mapping.
Share OfFile(const QString &path);
Share OfDescriptor(int fd);

// Each way on its own, for a caller that must know which one answered.
Share ByCachestat(int fd);
Share ByMincore(int fd);

// Writes the file's dirty pages to the device and asks the kernel to drop its cached pages, so
// that the next read comes from the device; false when either step failed.
bool FlushAndDrop(const QString &path);

} // namespace PageCacheState
