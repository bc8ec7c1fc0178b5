#include "platform/LaunchRules.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <array>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// The system's own limit on a chain of symbolic links; a longer chain leads nowhere.
constexpr int MaxLinkHops = 40;
// How much of a file is read to tell a desktop entry by its contents.
constexpr qsizetype EntryPrefixBytes = 64 * 1024;

// Names whose handler runs them: programs, installers, scripts, shortcuts and desktop entries.
constexpr std::array RunnableSuffixes {
    QLatin1String("appimage"), QLatin1String("application"), QLatin1String("bash"),    QLatin1String("bat"),
    QLatin1String("bin"),      QLatin1String("cmd"),         QLatin1String("com"),     QLatin1String("command"),
    QLatin1String("cpl"),      QLatin1String("csh"),         QLatin1String("desktop"), QLatin1String("exe"),
    QLatin1String("fish"),     QLatin1String("hta"),         QLatin1String("jar"),     QLatin1String("js"),
    QLatin1String("jse"),      QLatin1String("ksh"),         QLatin1String("lnk"),     QLatin1String("msc"),
    QLatin1String("msi"),      QLatin1String("msp"),         QLatin1String("pif"),     QLatin1String("pl"),
    QLatin1String("ps1"),      QLatin1String("py"),          QLatin1String("pyc"),     QLatin1String("pyw"),
    QLatin1String("pyz"),      QLatin1String("rb"),          QLatin1String("reg"),     QLatin1String("run"),
    QLatin1String("scr"),      QLatin1String("sh"),          QLatin1String("tcsh"),    QLatin1String("url"),
    QLatin1String("vb"),       QLatin1String("vbe"),         QLatin1String("vbs"),     QLatin1String("ws"),
    QLatin1String("wsf"),      QLatin1String("wsh"),         QLatin1String("zsh"),
};

bool hasRunnableName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QStringView suffix = QStringView(fileName).sliced(dot + 1);
    return std::any_of(RunnableSuffixes.begin(), RunnableSuffixes.end(),
                       [suffix](QLatin1String runnable) { return suffix.compare(runnable, Qt::CaseInsensitive) == 0; });
}

// The names a path goes by on its way to the file itself: its own, that of every link in between, and the file's.
// Handlers judge a file by the name they were given as well as by the name of what it points to.
QStringList namesAlongLinks(const QString &path)
{
    QStringList names;
    QString step = path;
    for (int hop = 0; hop < MaxLinkHops && !step.isEmpty(); ++hop) {
        const QFileInfo info(step);
        names << info.fileName();
        if (!info.isSymLink())
            break;
        step = info.symLinkTarget();
    }
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty())
        names << QFileInfo(canonical).fileName();
    return names;
}

// Reads the first bytes of a regular file (one more than EntryPrefixBytes, to tell whether there is more); false for
// anything else. A FIFO or a device is never read: nothing waits for a writer.
bool readRegularPrefix(const QString &path, QByteArray &data)
{
    if (!QFileInfo(path).isFile())
        return false;
#ifdef Q_OS_WIN
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    data = file.read(EntryPrefixBytes + 1);
    return true;
#else
    // The file may have been replaced since it was looked at: what was opened is checked again.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status = {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (regular) {
        data.resize(EntryPrefixBytes + 1);
        qsizetype got = 0;
        while (got < data.size()) {
            const ssize_t count = ::read(fd, data.data() + got, static_cast<size_t>(data.size() - got));
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            got += count;
        }
        data.truncate(got);
    }
    ::close(fd);
    return regular;
#endif
}

bool isEntryHeader(const QByteArray &line)
{
    return line == "[Desktop Entry]" || line == "[KDE Desktop Entry]";
}

// A desktop entry's first line that is neither blank nor a comment is its group header. When the bytes read end
// before such a line does, the file may still be one and counts as one, unless what was read of the line already
// rules a header out.
bool startsAsDesktopEntry(QByteArray text)
{
    const bool whole = text.size() <= EntryPrefixBytes;
    text.truncate(EntryPrefixBytes);
    qsizetype start = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf('\n', start);
        const QByteArray line = text.mid(start, end < 0 ? -1 : end - start).trimmed();
        if (end < 0 && !whole)
            return line.isEmpty() || line.startsWith('#') || line.startsWith('[');
        if (!line.isEmpty() && !line.startsWith('#'))
            return isEntryHeader(line);
        if (end < 0)
            break;
        start = end + 1;
    }
    return !whole;
}

} // namespace

bool isLaunchableFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return false;
    const QStringList names = namesAlongLinks(path);
    if (std::any_of(names.begin(), names.end(), hasRunnableName))
        return true;
#ifndef Q_OS_WIN
    if (info.isExecutable())
        return true;
#endif
    QByteArray prefix;
    return readRegularPrefix(path, prefix) && startsAsDesktopEntry(prefix);
}

} // namespace platform
