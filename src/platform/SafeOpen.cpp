#include "platform/SafeOpen.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeOpen {

int OpenRegular(const QString &path, int flags, unsigned mode)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int kind = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
        ::close(fd);
        errno = kind;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool ReadRegular(const QString &path, qint64 limit, QByteArray &data, bool *truncated)
{
    data.clear();
    if (truncated)
        *truncated = false;
    const int fd = OpenRegular(path, O_RDONLY);
    if (fd < 0)
        return false;
    // One byte beyond the limit tells a file of exactly limit bytes from a longer one.
    char chunk[65536];
    while (data.size() <= limit) {
        const qint64 want = std::min<qint64>(sizeof chunk, limit + 1 - data.size());
        const ssize_t got = ::read(fd, chunk, static_cast<size_t>(want));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        data.append(chunk, got);
    }
    ::close(fd);
    if (data.size() > limit) {
        data.truncate(limit);
        if (truncated)
            *truncated = true;
    }
    return true;
}

bool AbsentOrRegular(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode);
}

} // namespace SafeOpen
