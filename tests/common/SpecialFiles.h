#pragma once

// Folder entries that are no regular files, for the readers that walk folders, a way to let a reader go
// that is stuck opening a FIFO, so that such a test fails on its time instead of hanging, and a bound on the
// files written, so that a reader copying an endless device fails instead of filling the disk.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SpecialFiles {

// Puts into folder, named as shortcut files are: a FIFO "pipe.url", a link "pipe link.url" to it and a link
// "null.url" to the character device /dev/null. Gives the FIFO's path; empty when the system cannot make them.
inline QString addTo(const QString &folder)
{
    const QString fifo = folder + QStringLiteral("/pipe.url");
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0
        || !QFile::link(fifo, folder + QStringLiteral("/pipe link.url"))
        || !QFile::link(QStringLiteral("/dev/null"), folder + QStringLiteral("/null.url")))
        return QString();
    return fifo;
}

// While it lives, and once `after` has passed, opens the FIFO for writing again and again and closes it at
// once: a reader waiting in its open of the FIFO gets it (and reads nothing) instead of waiting for ever.
class FifoRelease
{
public:
    FifoRelease(const QString &fifo, std::chrono::milliseconds after)
        : m_path(QFile::encodeName(fifo)), m_thread([this, after] { run(after); })
    {
    }
    ~FifoRelease()
    {
        m_stop = true;
        m_thread.join();
    }
    FifoRelease(const FifoRelease &) = delete;
    FifoRelease &operator=(const FifoRelease &) = delete;

private:
    void run(std::chrono::milliseconds after)
    {
        const auto start = std::chrono::steady_clock::now();
        while (!m_stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (std::chrono::steady_clock::now() - start < after)
                continue;
            // Succeeds only while a reader has the FIFO open or waits in opening it.
            const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        }
    }

    QByteArray m_path;
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
};

// While it lives, no file this process writes grows past bytes (a write past it fails instead of ending the
// process): a reader that copies an endless device then fails instead of filling the disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_ok = ::getrlimit(RLIMIT_FSIZE, &m_before) == 0;
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = std::min(bytes, m_before.rlim_max);
        m_ok = m_ok && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_ok)
            ::setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isValid() const { return m_ok; }

private:
    rlimit m_before {};
    void (*m_signal)(int) = SIG_DFL;
    bool m_ok = false;
};

} // namespace SpecialFiles
