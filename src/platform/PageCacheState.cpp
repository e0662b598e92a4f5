#include "platform/PageCacheState.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace PageCacheState {

namespace {

#ifdef SYS_cachestat
constexpr long kCachestat = SYS_cachestat;
#else
constexpr long kCachestat = 451; // the same number on every architecture
#endif

// The kernel's own layouts (uapi linux/mman.h), which older C libraries lack.
struct CachestatRange {
    uint64_t off;
    uint64_t len; // 0: to the end of the file
};
struct Cachestat {
    uint64_t nr_cache;
    uint64_t nr_dirty;
    uint64_t nr_writeback;
    uint64_t nr_evicted;
    uint64_t nr_recently_evicted;
};

int64_t PageCount(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return -1;
    const int64_t page = ::sysconf(_SC_PAGESIZE);
    return (int64_t(st.st_size) + page - 1) / page;
}

Share Fraction(int64_t cached, int64_t pages, Method method)
{
    Share share;
    share.known = true;
    share.method = method;
    share.fraction = pages > 0 ? std::min(1.0, double(cached) / double(pages)) : 0.0;
    return share;
}

} // namespace

Share ByCachestat(int fd)
{
    const int64_t pages = PageCount(fd);
    CachestatRange range{0, 0};
    Cachestat cs{};
    if (pages < 0 || ::syscall(kCachestat, fd, &range, &cs, 0) != 0)
        return {false, 0, Method::Cachestat};
    return Fraction(int64_t(cs.nr_cache), pages, Method::Cachestat);
}

Share ByMincore(int fd)
{
    const int64_t pages = PageCount(fd);
    if (pages < 0)
        return {false, 0, Method::Mincore};
    if (pages == 0)
        return Fraction(0, 0, Method::Mincore);
    const size_t length = size_t(pages) * size_t(::sysconf(_SC_PAGESIZE));
    void *map = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED)
        return {false, 0, Method::Mincore};
    std::vector<unsigned char> resident(size_t(pages), 0);
    const bool ok = ::mincore(map, length, resident.data()) == 0;
    ::munmap(map, length);
    if (!ok)
        return {false, 0, Method::Mincore};
    int64_t cached = 0;
    for (unsigned char r : resident)
        cached += r & 1;
    return Fraction(cached, pages, Method::Mincore);
}

Share OfDescriptor(int fd)
{
    const Share share = ByCachestat(fd);
    return share.known ? share : ByMincore(fd);
}

Share OfFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return {};
    const Share share = OfDescriptor(fd);
    ::close(fd);
    return share;
}

bool FlushAndDrop(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    // Dirty pages are not dropped: they must reach the device first.
    const bool flushed = ::fdatasync(fd) == 0;
    const bool dropped = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return flushed && dropped;
}

} // namespace PageCacheState
