#include "platform/TerminationSignals.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QVarLengthArray>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#include <iterator>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifndef Q_OS_WIN
namespace {

constexpr int CaughtSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr std::size_t SignalCount = std::size(CaughtSignals);

// Shared with the handler, which can reach nothing else. Set before the handlers go in, reset after they are out.
int s_readEnd = -1;
int s_writeEnd = -1;
struct sigaction s_previous[SignalCount];

void onSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // Never blocks; when the socket is full, requests are already waiting and one more would add nothing.
    [[maybe_unused]] const ssize_t written = ::write(s_writeEnd, &number, 1);
    errno = savedErrno;
}

bool prepare(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 && ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

void restoreHandlers(std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        ::sigaction(CaughtSignals[i], &s_previous[i], nullptr);
}

void closeSockets()
{
    ::close(s_readEnd);
    ::close(s_writeEnd);
    s_readEnd = s_writeEnd = -1;
}

} // namespace
#endif

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) { }

TerminationSignals::~TerminationSignals()
{
    uninstall();
}

bool TerminationSignals::install()
{
#ifdef Q_OS_WIN
    return false;
#else
    if (m_notifier)
        return true;
    if (s_readEnd >= 0)
        return false;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
        return false;
    s_readEnd = ends[0];
    s_writeEnd = ends[1];
    if (!prepare(s_readEnd) || !prepare(s_writeEnd)) {
        closeSockets();
        return false;
    }

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < SignalCount; ++i) {
        bool ok = ::sigaction(CaughtSignals[i], nullptr, &s_previous[i]) == 0;
        // A signal the program was started with ignored (nohup, a background job) stays ignored.
        if (ok && s_previous[i].sa_handler != SIG_IGN)
            ok = ::sigaction(CaughtSignals[i], &action, nullptr) == 0;
        if (!ok) {
            restoreHandlers(i);
            closeSockets();
            return false;
        }
    }
    m_notifier = new QSocketNotifier(s_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
    return true;
#endif
}

void TerminationSignals::uninstall()
{
#ifndef Q_OS_WIN
    if (!m_notifier)
        return;
    restoreHandlers(SignalCount);
    delete m_notifier;
    m_notifier = nullptr;
    closeSockets();
#endif
}

void TerminationSignals::readPending()
{
#ifndef Q_OS_WIN
    QVarLengthArray<int, 8> received;
    unsigned char buffer[32];
    for (;;) {
        const ssize_t count = ::read(s_readEnd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        for (ssize_t i = 0; i < count; ++i)
            received.append(buffer[i]);
    }
    // A receiver may end the program's objects, this one included.
    const QPointer<TerminationSignals> alive(this);
    for (const int signal : received) {
        emit terminationRequested(signal);
        if (!alive)
            return;
    }
#endif
}
