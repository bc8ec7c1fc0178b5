#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QString>

#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#include <unistd.h>
#endif

// Counts how often the system saw a file written the way a save that cannot be torn writes it: replaced
// by a rename, or made under its name when there was none before. (A file written in place is not
// counted: closing a file opened for writing looks the same whether or not anything was written.)
// It watches the file's folder, which must exist, so it counts what reached the disk, not what the
// program meant to do. Only on Linux (isValid()).
class FileWrites
{
public:
    explicit FileWrites(const QString &path) : m_name(QFile::encodeName(QFileInfo(path).fileName()))
    {
#ifdef Q_OS_LINUX
        m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
        if (m_fd >= 0 && inotify_add_watch(m_fd, folder.constData(), IN_MOVED_TO | IN_CREATE) < 0) {
            close(m_fd);
            m_fd = -1;
        }
#endif
    }
    ~FileWrites()
    {
#ifdef Q_OS_LINUX
        if (m_fd >= 0)
            close(m_fd);
#endif
    }
    FileWrites(const FileWrites &) = delete;
    FileWrites &operator=(const FileWrites &) = delete;

    bool isValid() const
    {
        return m_fd >= 0;
    }

    // The writes since the watch began, as far as the system has told them.
    int count()
    {
#ifdef Q_OS_LINUX
        alignas(inotify_event) char buffer[4096];
        ssize_t length;
        while ((length = read(m_fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                if (event->len > 0 && m_name == event->name)
                    ++m_count;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
#endif
        return m_count;
    }

private:
    QByteArray m_name;
    int m_fd = -1;
    int m_count = 0;
};
