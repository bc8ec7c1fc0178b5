#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace platform {

namespace {
QString withSeparator(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

#ifndef Q_OS_WIN
// The file-creation mask. Linux shows it in /proc without changing it; elsewhere it is read by setting
// it and putting it back at once.
mode_t creationMask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        const QByteArray prefix("Umask:");
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (!line.startsWith(prefix))
                continue;
            bool ok = false;
            const uint mask = line.mid(prefix.size()).trimmed().toUInt(&ok, 8);
            if (ok)
                return static_cast<mode_t>(mask);
        }
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
#endif
} // namespace

QString appDataPath()
{
    const QString location = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return location.isEmpty() ? QString() : withSeparator(location);
}

QString installPath()
{
    if (!QCoreApplication::instance())
        return withSeparator(QDir::currentPath());
    return withSeparator(QCoreApplication::applicationDirPath());
}

QString favoritesPath()
{
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orbrook Software"),
                             QStringLiteral("Quillmark"));
    const QVariant value = settings.value(QStringLiteral("Shell Folders/Favorites"));
    if (value.typeId() == QMetaType::QString && !value.toString().isEmpty())
        return value.toString();

    const QString home = QDir::homePath();
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    if (user.isEmpty())
        user = QDir::home().dirName();
    const QString candidates[] = {
        home + QStringLiteral("/Favorites"),
        home + QStringLiteral("/.wine/drive_c/users/") + user + QStringLiteral("/Favorites"),
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isDir())
            return candidate;
    }
    return QString();
}

QStringList runtimeFolders()
{
    QStringList folders;
    // Qt gives a runtime folder only when it is the user's alone (mode 0700), else nothing.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        folders << QDir::cleanPath(runtime);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty())
        folders << QDir::cleanPath(cache + QStringLiteral("/Quillmark"));
    return folders;
}

QFileDevice::Permissions userFilePermissions(QFileDevice::Permissions wanted)
{
#ifdef Q_OS_WIN
    return wanted;
#else
    const mode_t mask = creationMask();
    const struct
    {
        mode_t bit;
        QFileDevice::Permissions permissions;
    } bits[] = {
        {S_IRUSR, QFileDevice::ReadOwner | QFileDevice::ReadUser},
        {S_IWUSR, QFileDevice::WriteOwner | QFileDevice::WriteUser},
        {S_IXUSR, QFileDevice::ExeOwner | QFileDevice::ExeUser},
        {S_IRGRP, QFileDevice::ReadGroup},
        {S_IWGRP, QFileDevice::WriteGroup},
        {S_IXGRP, QFileDevice::ExeGroup},
        {S_IROTH, QFileDevice::ReadOther},
        {S_IWOTH, QFileDevice::WriteOther},
        {S_IXOTH, QFileDevice::ExeOther},
    };
    for (const auto &entry : bits) {
        if (mask & entry.bit)
            wanted &= ~entry.permissions;
    }
    return wanted;
#endif
}

} // namespace platform
