#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into a stop request on the event loop. The handler only writes
// the signal's number to a pipe; the loop reads it and emits Received, so a running test stops at
// its next pump check and cleans up like any other stop. A stop signal inherited as ignored stays
// ignored. SIGPIPE and SIGXFSZ are ignored: a write to a closed pipe or past the file size limit
// then fails as a write instead of killing the process.
// One instance at a time; the old dispositions come back when it goes.
class SignalStop : public QObject {
    Q_OBJECT
public:
    explicit SignalStop(QObject *parent = nullptr);
    ~SignalStop() override;

    // The first signal received, 0 while none.
    int received() const { return m_received; }
    // What the process returns after the clean-up that follows a signal.
    static int ExitCode(int signal) { return 128 + signal; }
    // Whether a stop signal has arrived, known at once, before the event loop has read it: the
    // multiple test's pump checks can lie hundreds of megabytes apart.
    static bool Caught();

signals:
    void Received(int signal);

private:
    void ReadPipe();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    int m_received = 0;
};
