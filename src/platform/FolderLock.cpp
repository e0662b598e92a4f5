#include "platform/FolderLock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::~FolderLock()
{
    Release();
}

FolderLock::State FolderLock::Take(const QString &folder)
{
    Release();
    m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = errno;
        return m_state = State::Unlocked;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_error = 0;
        return m_state = State::Held;
    }
    m_error = errno;
    ::close(m_fd);
    m_fd = -1;
    // Only "somebody holds it" refuses the run; a file system without flock must not.
    return m_state = (m_error == EWOULDBLOCK ? State::Busy : State::Unlocked);
}

void FolderLock::Release()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
    m_state = State::Unlocked;
}
