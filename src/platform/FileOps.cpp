#include "platform/FileOps.h"

#include "platform/SafeOpen.h"

#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileOps {

bool PathFileExists(const QString &path)
{
    struct stat st {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

bool DeleteFiles(const QString &folder, const QString &pattern)
{
    const QByteArray dirName = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QByteArray glob = QFile::encodeName(pattern);
    DIR *dir = ::opendir(dirName.constData());
    if (!dir)
        return false;
    const int dirFd = ::dirfd(dir);
    int matched = 0;
    bool allDeleted = true;
    while (const dirent *entry = ::readdir(dir)) {
        if (::fnmatch(glob.constData(), entry->d_name, FNM_PERIOD) != 0)
            continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode))
            continue;
        ++matched;
        if (::unlinkat(dirFd, entry->d_name, 0) != 0)
            allDeleted = false;
    }
    ::closedir(dir);
    return matched > 0 && allDeleted;
}

DeleteResult DeleteFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::unlink(name.constData()) == 0)
        return DeleteResult::Deleted;
    if (errno == ENOENT)
        return DeleteResult::Missing;
    // A read-only file system refuses the unlink before it looks the name up.
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
        return DeleteResult::Missing;
    return DeleteResult::Failed;
}

bool AppendTextFile(const QString &path, const QString &text)
{
    const int fd = SafeOpen::OpenRegular(path, O_WRONLY | O_APPEND | O_CREAT);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

} // namespace FileOps
