#pragma once

#include <QString>

// One run per folder: an advisory lock on the folder's own descriptor, held for the run. No file
// is made for it, so nothing is left behind, and the lock goes with the process.
class FolderLock {
public:
    enum class State {
        Held,     // this object holds the folder's lock
        Busy,     // another run holds it
        Unlocked, // the folder cannot be opened or locked here; the run goes on without
    };

    FolderLock() = default;
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    State Take(const QString &folder);
    void Release();
    State state() const { return m_state; }
    int error() const { return m_error; }

private:
    int m_fd = -1;
    int m_error = 0;
    State m_state = State::Unlocked;
};
