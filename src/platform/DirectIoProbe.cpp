#include "platform/DirectIoProbe.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace DirectIoProbe {

namespace {

constexpr size_t kProbeBytes = 1024;

// Out of room or quota: the device said nothing about direct I/O.
bool IsFull(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

// Opens the scratch file without following a link and without taking over an existing file.
int OpenScratch(const QByteArray &name, int extra)
{
    return ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | extra, 0600);
}

} // namespace

QString ScratchPath(const QString &folder)
{
    const QString dir = folder.endsWith(u'/') ? folder : folder + u'/';
    return dir + QStringLiteral(".veltaro-direct-probe-%1").arg(::getpid());
}

Result Probe(const QString &folder, const char *block)
{
    const QByteArray name = QFile::encodeName(ScratchPath(folder));
    int fd = OpenScratch(name, O_DIRECT);
    if (fd < 0) {
        const int directError = errno;
        if (directError == EEXIST)
            return {Verdict::Undecided, directError}; // not ours to touch
        // Some file systems create the file before they refuse O_DIRECT, so no O_EXCL here. Only
        // a plain open that works tells the refusal came from O_DIRECT itself.
        const int plain = ::open(name.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (plain >= 0)
            ::close(plain);
        ::unlink(name.constData());
        if (plain < 0)
            return {Verdict::Undecided, directError};
        return {Verdict::Refused, directError};
    }

    Result result{Verdict::Accepted, 0};
    for (off_t offset : {off_t(0), off_t(kProbeBytes)}) {
        if (!block)
            break;
        const ssize_t written = ::pwrite(fd, block, kProbeBytes, offset);
        if (written == ssize_t(kProbeBytes))
            continue;
        const int error = written < 0 ? errno : 0; // a short write has no errno
        result = {IsFull(error) ? Verdict::Undecided : Verdict::Refused, error};
        break;
    }
    // Removed only once closed: a FUSE file system keeps an open file that is unlinked under a
    // hidden name of its own, which then stays in the folder. Nothing pumps in between, so only a
    // kill leaves the probe behind.
    ::close(fd);
    ::unlink(name.constData());
    return result;
}

} // namespace DirectIoProbe
