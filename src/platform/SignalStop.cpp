#include "platform/SignalStop.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kStopSignals{SIGTERM, SIGHUP, SIGINT};
constexpr std::array<int, 2> kIgnoredSignals{SIGPIPE, SIGXFSZ};

volatile sig_atomic_t g_writeEnd = -1;
volatile sig_atomic_t g_caught = 0;
struct sigaction g_saved[kStopSignals.size() + kIgnoredSignals.size()];

void OnSignal(int signal)
{
    const int saved = errno;
    g_caught = 1;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (g_writeEnd >= 0 && ::write(g_writeEnd, &number, 1) < 0) {
        // A full pipe already holds a stop request.
    }
    errno = saved;
}

} // namespace

bool SignalStop::Caught()
{
    return g_caught != 0;
}

SignalStop::SignalStop(QObject *parent) : QObject(parent)
{
    g_caught = 0;
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        m_pipe[0] = m_pipe[1] = -1;
    g_writeEnd = m_pipe[1];
    if (m_pipe[0] >= 0) {
        m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &SignalStop::ReadPipe);
    }
    size_t i = 0;
    for (const int signal : kStopSignals) {
        struct sigaction &saved = g_saved[i++];
        ::sigaction(signal, nullptr, &saved);
        // Ignored when inherited (nohup, a background job of a script): the caller meant it so.
        if (saved.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = &OnSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
    for (const int signal : kIgnoredSignals) {
        struct sigaction action {};
        action.sa_handler = SIG_IGN;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, &g_saved[i++]);
    }
}

SignalStop::~SignalStop()
{
    size_t i = 0;
    for (const int signal : kStopSignals)
        ::sigaction(signal, &g_saved[i++], nullptr);
    for (const int signal : kIgnoredSignals)
        ::sigaction(signal, &g_saved[i++], nullptr);
    g_writeEnd = -1;
    for (const int fd : m_pipe)
        if (fd >= 0)
            ::close(fd);
}

void SignalStop::ReadPipe()
{
    unsigned char number = 0;
    while (::read(m_pipe[0], &number, 1) == 1) {
        if (m_received == 0)
            m_received = number;
        emit Received(number);
    }
}
