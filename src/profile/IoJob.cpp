#include "profile/IoJob.h"

#include "platform/HugePages.h"

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
    if (m_buffers)
        munmap(m_buffers, m_bufferBytes);
}

bool IoJob::allocate()
{
    // Fresh pages from the system, not reused heap: large blocks get huge pages where the system gives
    // them, so a block is one piece of memory and reaches the device as one request instead of being
    // split at the queue's segment limit. Heap memory a freed job touched would stay in small pages.
    const bool huge = m_spec.blockSize >= kLargeBlock;
    const size_t used = size_t(m_spec.depth) * size_t(m_spec.blockSize);
    const size_t size = huge ? (used + kHugePage - 1) / kHugePage * kHugePage : used;
    const size_t slack = huge ? kHugePage : 0;
    void *mapped = mmap(nullptr, size + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return false;
    auto *start = static_cast<char *>(mapped);
    if (huge) {
        // Trims the mapping to a huge page boundary at both ends.
        auto *aligned = reinterpret_cast<char *>((reinterpret_cast<uintptr_t>(start) + kHugePage - 1) & ~(kHugePage - 1));
        if (aligned > start)
            munmap(start, size_t(aligned - start));
        if (const size_t tail = slack - size_t(aligned - start))
            munmap(aligned + size, tail);
        start = aligned;
        madvise(start, size, MADV_HUGEPAGE); // a hint: without it the buffers work as they are
    }
    m_buffers = start;
    m_bufferBytes = size;
    for (int s = 0; s < m_spec.depth; ++s)
        FillPattern(buffer(s), m_spec.blockSize, m_seed);
    return true;
}

bool IoJob::hugePageBuffers() const
{
    return m_buffers && HugePages::KbAt(m_buffers) * 1024 >= int64_t(m_bufferBytes);
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
