#pragma once

#include <QString>
#include <cstdint>

// The value proposal: a file count and size that together fill a target's free space. The
// window offers it to the user; the runner's full-device mode takes it as it is.
namespace modTest {

struct Proposal {
    std::int32_t free = 0; // MB
    std::int32_t files = 0;
    std::int32_t megabytes = 0;
};

// The proposal for a free space given as the chain's decimal MB text.
Proposal ProposeValues(const QString &freeMB);

// The proposal for the free space of the volume holding path, measured now.
Proposal ProposeValuesFor(const QString &path);

} // namespace modTest
