#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <sys/syscall.h>
#include <unistd.h>

// The one system call of a timed block, made in line. A call into libc's wrapper jumps through the
// PLT into pages of their own; where each system call flushes the TLB (page-table isolation
// without PCID), finding those pages again after every block costs a buffered 1 KiB write about
// 6 %: the tool's cost, not the device's. Elsewhere than x86-64 Linux the wrapper is used.
namespace BlockCall {

// The call's own result: bytes moved, or -1 with errno set.
inline long Positioned(long number, int fd, const void *data, size_t size, int64_t offset) noexcept
{
#if defined(__x86_64__) && defined(__linux__)
    long result;
    register long fourth asm("r10") = offset;
    asm volatile("syscall"
                 : "=a"(result)
                 : "0"(number), "D"(long(fd)), "S"(data), "d"(size), "r"(fourth)
                 : "rcx", "r11", "memory");
    // The kernel gives a failure as -errno, from -4095 up.
    if (result < 0 && result > -4096) {
        errno = int(-result);
        return -1;
    }
    return result;
#else
    return ::syscall(number, fd, data, size, offset);
#endif
}

inline long PWrite(int fd, const void *data, size_t size, int64_t offset) noexcept
{
    return Positioned(SYS_pwrite64, fd, data, size, offset);
}

inline long PRead(int fd, void *data, size_t size, int64_t offset) noexcept
{
    return Positioned(SYS_pread64, fd, data, size, offset);
}

} // namespace BlockCall
