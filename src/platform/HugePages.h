#pragma once

#include <cstdint>

// Whether memory the program mapped is backed by transparent huge pages, as the kernel reports it.
namespace HugePages {

// Kilobytes of the mapping holding address that sit in huge pages (AnonHugePages in
// /proc/self/smaps); -1 when it cannot be told.
int64_t KbAt(const void *address);

} // namespace HugePages
