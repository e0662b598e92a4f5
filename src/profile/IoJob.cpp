#include "profile/IoJob.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <sys/mman.h>

namespace Profiles {

namespace {
constexpr size_t kHugePage = size_t(2) << 20;
constexpr int64_t kLargeBlock = 64 * 1024;
}

int64_t NowNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void PassTally::add(const PassTally &o)
{
    startNs = startNs && o.startNs ? std::min(startNs, o.startNs) : std::max(startNs, o.startNs);
    endNs = std::max(endNs, o.endNs);
    bytesRead += o.bytesRead;
    bytesWritten += o.bytesWritten;
    ios += o.ios;
    failures += o.failures;
    if (!firstErrno)
        firstErrno = o.firstErrno;
    latency.merge(o.latency);
}

IoJob::IoJob(const ProfileSpec &spec, int fd, int64_t fileSize)
    : m_spec(spec), m_fd(fd), m_blocks(fileSize / spec.blockSize),
      m_seed(0x5EED0000ull + uint64_t(spec.blockSize))
{
}

IoJob::~IoJob()
{
    std::free(m_buffers);
}

bool IoJob::allocate()
{
    // Large blocks get huge pages where the system gives them: a block then is one piece of memory
    // and reaches the device as one request, instead of being split at the queue's segment limit.
    const bool huge = m_spec.blockSize >= kLargeBlock;
    const size_t used = size_t(m_spec.depth) * size_t(m_spec.blockSize);
    const size_t size = huge ? (used + kHugePage - 1) / kHugePage * kHugePage : used;
    if (posix_memalign(reinterpret_cast<void **>(&m_buffers), huge ? kHugePage : size_t(kAlignment), size) != 0) {
        m_buffers = nullptr;
        return false;
    }
    if (huge)
        madvise(m_buffers, size, MADV_HUGEPAGE); // a hint: without it the buffers work as they are
    for (int s = 0; s < m_spec.depth; ++s)
        FillPattern(buffer(s), m_spec.blockSize, m_seed);
    return true;
}

void IoJob::beginPass(uint64_t tag, int64_t byteLimit, int64_t deadlineNs, const std::atomic<bool> *stop)
{
    m_tag = tag;
    m_issueLimit = byteLimit > 0 ? (byteLimit + m_spec.blockSize - 1) / m_spec.blockSize
                                 : std::numeric_limits<int64_t>::max();
    m_deadlineNs = deadlineNs > 0 ? deadlineNs : std::numeric_limits<int64_t>::max();
    m_stop = stop;
    m_serial.store(0);
}

void IoJob::FillPattern(char *data, int64_t size, uint64_t seed)
{
    Rng rng(seed);
    for (int64_t i = 0; i + 8 <= size; i += 8) {
        const uint64_t v = rng.next();
        std::memcpy(data + i, &v, 8);
    }
}

void IoJob::Stamp(char *data, int64_t size, int64_t offset, uint64_t tag)
{
    for (int64_t s = 0; s < size; s += kSector) {
        const uint64_t at = uint64_t(offset + s);
        std::memcpy(data + s, &at, 8);
        std::memcpy(data + s + 8, &tag, 8);
    }
}

} // namespace Profiles
