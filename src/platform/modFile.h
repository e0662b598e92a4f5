#pragma once

#include "platform/BlockCall.h"

#include <QString>
#include <cerrno>
#include <cstdint>
#include <utility>

// The raw file layer of the test files: one system call per block, no buffering layer between.
// Handles are plain 32-bit values; 0 means no file is open.
namespace modFile {

// The values the write phases pass, under their classic names.
constexpr uint32_t GENERIC_WRITE = 0x40000000u;
constexpr uint32_t CREATE_ALWAYS = 2u;
constexpr uint32_t FILE_FLAG_NO_BUFFERING = 0x20000000u;
constexpr uint32_t FILE_FLAG_WRITE_THROUGH = 0x80000000u;
constexpr uint32_t OF_READ = 0u;

// The read record's path field: a longer path does not open.
constexpr int kMaxReadPath = 128;
// No read call asks for more than one block.
constexpr int kReadBufferSize = 1024;

// A descriptor is never 0 as a handle: the handle is the descriptor plus one.
constexpr int32_t HandleOf(int fd)
{
    return fd + 1;
}
constexpr int DescriptorOf(int32_t handle)
{
    return handle - 1;
}

// One block's bytes in a buffer aligned for O_DIRECT. A write block is prepared once per phase
// (text converted, zero-padded to its write size); a read block is filled by ReadBlock.
class RawBlock {
public:
    static constexpr int kCapacity = 4096;
    static constexpr int kAlignment = 4096;

    RawBlock();
    ~RawBlock();
    RawBlock(const RawBlock &) = delete;
    RawBlock &operator=(const RawBlock &) = delete;

    // False when the buffer could not be allocated; such a block must not be used.
    bool valid() const { return m_data != nullptr; }
    // Tests put a failing allocator in place; nullptr restores aligned_alloc.
    using Allocator = void *(*)(size_t alignment, size_t size);
    static void SetAllocator(Allocator allocator);

    // The write size: the smallest power of two not below the text's length, at least 256.
    static int WriteSize(int length);
    // Prepares the block for WriteBlock; false when the text needs more than the capacity.
    bool SetText(const QString &data); // also false for an invalid block

    const char *data() const { return m_data; }
    char *data() { return m_data; }
    int size() const { return m_size; }
    void setSize(int size) { m_size = size; }

private:
    char *m_data;
    int m_size = 0;
};

int32_t OpenRawFile(const QString &path, uint32_t access, uint32_t share, uint32_t disposition, uint32_t flags);
int32_t OpenFileForRead(const QString &path, uint32_t style);
// Reads up to count bytes (at most 1024) into data; the count read, or -1 for handle 0.
int32_t ReadBlock(int32_t handle, RawBlock &data, int32_t count);
// True when the one write call succeeded; the count written is not examined.
bool WriteBlock(int32_t handle, const RawBlock &data);
bool CloseRawFile(int32_t handle, bool flush);

// A test file opened for reading past the system cache (O_DIRECT); 0 when the file system refuses.
int32_t OpenFileForDirectRead(const QString &path);
// Whether the open handle bypasses the system cache.
bool IsDirect(int32_t handle);
// A test file's handle that closes itself with a flush, so no way out of a phase leaks it.
class RawFile {
public:
    explicit RawFile(int32_t handle = 0) : m_handle(handle) {}
    RawFile(RawFile &&o) noexcept
        : m_handle(std::exchange(o.m_handle, 0)), m_position(std::exchange(o.m_position, 0))
    {
    }
    RawFile &operator=(RawFile &&o) noexcept
    {
        if (this != &o) {
            close();
            m_handle = std::exchange(o.m_handle, 0);
            m_position = std::exchange(o.m_position, 0);
        }
        return *this;
    }
    RawFile(const RawFile &) = delete;
    RawFile &operator=(const RawFile &) = delete;
    ~RawFile() { close(); }

    int32_t get() const { return m_handle; }
    explicit operator bool() const { return m_handle != 0; }

    // One block at the position this handle keeps, which advances by what was moved. The system
    // call's own result: bytes moved, or -1 with errno set (also with no file open). A positioned
    // call made directly is no cancellation point and takes no lock on a shared file position, so
    // a process with threads (the window) pays per block what a single-threaded runner pays. In
    // line, so the per-block path touches no page beyond the phase's loop, stack and block.
    int32_t writeBlock(const RawBlock &data)
    {
        if (m_handle == 0) {
            errno = EBADF;
            return -1;
        }
        return advance(
            BlockCall::PWrite(DescriptorOf(m_handle), data.data(), static_cast<size_t>(data.size()), m_position));
    }
    // Reads up to count bytes (at most 1024) into data.
    int32_t readBlock(RawBlock &data, int32_t count)
    {
        if (m_handle == 0) {
            errno = EBADF;
            return -1;
        }
        if (count > kReadBufferSize)
            count = kReadBufferSize;
        const long got =
            count > 0 ? BlockCall::PRead(DescriptorOf(m_handle), data.data(), static_cast<size_t>(count), m_position)
                      : 0;
        data.setSize(got < 0 ? 0 : static_cast<int32_t>(got));
        return advance(got);
    }
    void close()
    {
        if (m_handle)
            CloseRawFile(std::exchange(m_handle, 0), true);
    }

private:
    // A call's result, after moving the position past what it moved.
    int32_t advance(long result)
    {
        if (result > 0)
            m_position += result;
        return static_cast<int32_t>(result);
    }

    int32_t m_handle;
    int64_t m_position = 0;
};

} // namespace modFile
