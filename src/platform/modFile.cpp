#include "platform/modFile.h"

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace modFile {

namespace {

int OpenFlags(uint32_t access, uint32_t disposition, uint32_t flags)
{
    int o = O_CLOEXEC;
    o |= (access & GENERIC_WRITE) ? O_WRONLY : O_RDONLY;
    // A test file name taken by a symbolic link must not truncate and overwrite the link's target,
    // a file outside the tested folder.
    if (disposition == CREATE_ALWAYS)
        o |= O_CREAT | O_TRUNC | O_NOFOLLOW;
    if (flags & FILE_FLAG_NO_BUFFERING)
        o |= O_DIRECT;
    if (flags & FILE_FLAG_WRITE_THROUGH)
        o |= O_DSYNC;
    return o;
}

// Opens without waiting: a FIFO or device under a test file's name would otherwise block the
// window's thread in open() until some other process came along. Only a regular file is kept.
int OpenRegularFile(const QByteArray &name, int o)
{
    const int fd = ::open(name.constData(), o | O_NONBLOCK, 0666);
    if (fd < 0)
        return fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = ENXIO; // not EINVAL, which would retry without direct I/O
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

namespace {
RawBlock::Allocator g_allocator = nullptr;
}

void RawBlock::SetAllocator(Allocator allocator)
{
    g_allocator = allocator;
}

RawBlock::RawBlock()
    : m_data(static_cast<char *>(g_allocator ? g_allocator(kAlignment, kCapacity)
                                             : std::aligned_alloc(kAlignment, kCapacity)))
{
    if (m_data)
        std::memset(m_data, 0, kCapacity);
}

RawBlock::~RawBlock()
{
    std::free(m_data);
}

int RawBlock::WriteSize(int length)
{
    int n = 128;
    do {
        n *= 2;
    } while (n < length);
    return n;
}

bool RawBlock::SetText(const QString &data)
{
    const QByteArray bytes = data.toLatin1();
    const int n = WriteSize(static_cast<int>(bytes.size()));
    if (n > kCapacity || !m_data)
        return false;
    std::memset(m_data, 0, kCapacity);
    std::memcpy(m_data, bytes.constData(), static_cast<size_t>(bytes.size()));
    m_size = n;
    return true;
}

int32_t OpenRawFile(const QString &path, uint32_t access, uint32_t /*share*/, uint32_t disposition, uint32_t flags)
{
    const QByteArray name = QFile::encodeName(path);
    const int o = OpenFlags(access, disposition, flags);
    int fd = OpenRegularFile(name, o);
    // A file system without direct I/O has no cache of its own to bypass: open it without.
    if (fd < 0 && errno == EINVAL && (o & O_DIRECT))
        fd = OpenRegularFile(name, o & ~O_DIRECT);
    if (fd < 0)
        return 0;
    ::fsync(fd);
    return HandleOf(fd);
}

int32_t OpenFileForRead(const QString &path, uint32_t style)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.size() > kMaxReadPath)
        return 0;
    const int o = (style & 3u) == 0 ? O_RDONLY : (style & 1u) ? O_WRONLY : O_RDWR;
    const int fd = OpenRegularFile(name, o | O_CLOEXEC);
    return fd < 0 ? 0 : HandleOf(fd);
}

int32_t ReadBlock(int32_t handle, RawBlock &data, int32_t count)
{
    if (handle == 0)
        return -1;
    if (count > kReadBufferSize)
        count = kReadBufferSize;
    const ssize_t got = count > 0 ? ::read(DescriptorOf(handle), data.data(), static_cast<size_t>(count)) : 0;
    const int32_t n = got < 0 ? 0 : static_cast<int32_t>(got);
    data.setSize(n);
    return n;
}

bool WriteBlock(int32_t handle, const RawBlock &data)
{
    if (handle == 0)
        return false;
    return ::write(DescriptorOf(handle), data.data(), static_cast<size_t>(data.size())) >= 0;
}

bool CloseRawFile(int32_t handle, bool flush)
{
    if (handle == 0)
        return false;
    const int fd = DescriptorOf(handle);
    if (flush)
        ::fsync(fd);
    return ::close(fd) == 0;
}

int32_t OpenFileForDirectRead(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.size() > kMaxReadPath)
        return 0;
    const int fd = OpenRegularFile(name, O_RDONLY | O_DIRECT | O_CLOEXEC);
    return fd < 0 ? 0 : HandleOf(fd);
}

bool IsDirect(int32_t handle)
{
    if (handle == 0)
        return false;
    const int flags = ::fcntl(DescriptorOf(handle), F_GETFL);
    return flags >= 0 && (flags & O_DIRECT);
}

} // namespace modFile
