#include "engine/ValueProposal.h"

#include "platform/NumberText.h"
#include "platform/modGetDiskSpaceFree.h"

#include <cmath>
#include <limits>

namespace modTest {

namespace {

// Whole-number conversion as the counts get it: halves to the even neighbour, held to 32 bits.
std::int32_t RoundEven(double value)
{
    const double r = std::nearbyint(value);
    if (!(r >= std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (r > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

std::int32_t Digits(std::int64_t value)
{
    return static_cast<std::int32_t>(QString::number(value).size());
}

} // namespace

Proposal ProposeValues(const QString &freeMB)
{
    Proposal p;
    p.free = RoundEven(LeadingNumber(freeMB));
    const std::int32_t free = p.free;
    if (free == 1) {
        p.megabytes = 1;
        p.files = 1;
        return p;
    }
    if (free == 2 || free == 3 || free == 5 || free == 7 || free == 9) {
        p.megabytes = 1;
        p.files = free;
        return p;
    }
    std::int32_t megabytes = RoundEven(static_cast<double>(free) / Digits(free));
    megabytes = RoundEven(static_cast<double>(megabytes) / std::pow(2.0, Digits(megabytes)));
    if (megabytes < 1)
        megabytes = 1;
    std::int32_t files = RoundEven(static_cast<double>(free) / megabytes);
    // Rounding can overshoot the free space; trade size for count until it fits.
    for (int corrections = 0; static_cast<std::int64_t>(files) * megabytes > free;) {
        --megabytes;
        ++files;
        if (++corrections > 32000)
            break;
    }
    p.files = files;
    p.megabytes = megabytes;
    return p;
}

Proposal ProposeValuesFor(const QString &path)
{
    return ProposeValues(modGetDiskSpaceFree::FreeSpaceMB(path));
}

} // namespace modTest
