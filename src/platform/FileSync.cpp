#include "platform/FileSync.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QStringList>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

bool syncFile(QFileDevice &file)
{
    if (!file.flush())
        return false;
    const int handle = file.handle();
    if (handle < 0)
        return false;
#ifdef Q_OS_WIN
    return ::_commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

bool syncDirectory(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true; // NTFS journals the rename; there is no folder handle to flush
#else
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#endif
}

bool makePrivateFolder(const QString &path, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
#ifdef Q_OS_WIN
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(QFileInfo(folder).absolutePath()))
        return fail(QCoreApplication::translate("FileSync", "The folders above it cannot be created."));
    if (!QDir().mkdir(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        return fail(QCoreApplication::translate("FileSync", "It cannot be created."));
    return true;
#else
    // Every level that is missing is created for the user alone, whatever the file-creation mask.
    QStringList missing;
    for (QString level = folder; !QFileInfo::exists(level) && !QFileInfo(level).isSymLink();
         level = QFileInfo(level).absolutePath())
        missing.prepend(level);
    for (const QString &level : std::as_const(missing)) {
        const QByteArray native = QFile::encodeName(level);
        if (::mkdir(native.constData(), S_IRWXU) != 0 && errno != EEXIST)
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
        ::chmod(native.constData(), S_IRWXU); // the mask may have taken some of the owner's rights too
    }
    // An existing folder is checked where it leads: it must be the user's, and it loses the rights of others.
    const QByteArray native = QFile::encodeName(folder);
    struct stat status;
    if (::stat(native.constData(), &status) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISDIR(status.st_mode))
        return fail(QCoreApplication::translate("FileSync", "It is not a folder."));
    if (status.st_uid != ::geteuid())
        return fail(QCoreApplication::translate("FileSync", "It belongs to another user."));
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0 && ::chmod(native.constData(), status.st_mode & S_IRWXU) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    return true;
#endif
}

bool keepCopy(const QString &from, const QString &to)
{
#ifndef Q_OS_WIN
    // The data itself, also when from is a symbolic link: a link to the link would show what is saved later.
    if (::linkat(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD, QFile::encodeName(to).constData(),
                 AT_SYMLINK_FOLLOW)
        == 0)
        return true;
#endif
    return QFile::copy(from, to);
}

bool makeFilePrivate(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true; // a file in the user's profile is closed to others by its folder's access list
#else
    const QByteArray native = QFile::encodeName(path);
    struct stat status;
    if (::stat(native.constData(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid())
        return false;
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) == 0)
        return true;
    return ::chmod(native.constData(), status.st_mode & S_IRWXU) == 0;
#endif
}

} // namespace platform
