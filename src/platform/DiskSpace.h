#pragma once

#include <QString>
#include <cstdint>

// Free space of the volume holding a path, in the two shapes the free-space chain knows.
namespace DiskSpace {

// The 64-bit query: bytes available to the calling user. False when the query fails.
bool GetDiskFreeSpaceEx(const QString &path, std::uint64_t &bytesAvailable);

// The old 32-bit query: the volume described as sectors and clusters, each a 32-bit count
// (counts beyond that range are capped). False when the query fails.
bool GetDiskFreeSpace(const QString &path, std::uint32_t &bytesPerSector, std::uint32_t &sectorsPerCluster,
                      std::uint32_t &freeClusters);

// Whether the 64-bit query exists. It always does here; tests switch it off to run the
// fallback path.
bool ExtendedQueryAvailable();
void SetExtendedQueryAvailable(bool available);

} // namespace DiskSpace
