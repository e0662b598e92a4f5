#pragma once

#include <QString>
#include <cstdint>

// Free space of a target as decimal text: bytes, then whole KB and whole MB.
namespace modGetDiskSpaceFree {

bool HasFreeSpaceEx();
// "0" when the volume cannot be queried.
QString FreeSpaceBytes(const QString &path);
QString FreeSpaceKB(const QString &path);
QString FreeSpaceMB(const QString &path);

// One step of the chain: the value / 1024, rounded to four decimals and then truncated.
// Empty text for a value outside the fixed-point range.
QString DivideBy1024(const QString &value);

// The fallback's bytes per sector x sectors per cluster x free clusters, held to 32 bits
// signed: a product beyond it stops at 2147483647, as the old query's callers saw it.
std::int32_t FallbackFreeBytes(std::uint32_t bytesPerSector, std::uint32_t sectorsPerCluster,
                               std::uint32_t freeClusters);

} // namespace modGetDiskSpaceFree
