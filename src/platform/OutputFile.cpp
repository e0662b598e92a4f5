#include "platform/OutputFile.h"

#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OutputFile {

namespace {

QString Reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A rename would put a regular file where the FIFO or device was, so the bytes go in directly.
QString WriteInto(const QByteArray &name, bool fifo, const QByteArray &bytes)
{
    // Non-blocking for the open only: a FIFO without a reader fails with ENXIO instead of hanging.
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == ENXIO && fifo ? QStringLiteral("nothing reads from the FIFO") : Reason(errno);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            ::close(fd);
            return Reason(error);
        }
        done += n;
    }
    return ::close(fd) == 0 ? QString() : Reason(errno);
}

} // namespace

QString Write(const QString &path, const QByteArray &bytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    // Links are followed: /dev/stdout names the pipe or terminal behind it.
    if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return WriteInto(name, S_ISFIFO(st.st_mode), bytes);
    // Unbuffered: a write the disk refuses fails here, where commit() would still rename the
    // temporary file into place after a failed flush of its buffer.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size() && file.commit())
        return {};
    const QString reason = file.errorString();
    file.cancelWriting();
    return reason;
}

} // namespace OutputFile
