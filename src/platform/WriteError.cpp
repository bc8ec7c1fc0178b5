#include "platform/WriteError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>

namespace platform {

namespace {
bool looksFull(const QFileDevice &file)
{
    if (file.error() == QFileDevice::ResourceError)
        return true; // ENOSPC, EDQUOT
    const QFileDevice::FileError error = file.error();
    if (error != QFileDevice::WriteError && error != QFileDevice::NoError && error != QFileDevice::UnspecifiedError)
        return false;
    // A short write leaves no reason of its own behind (and a write larger than the buffer not even an error).
    const QString reason = file.errorString();
    return reason.isEmpty() || reason == QLatin1String("Unknown error");
}
} // namespace

QString writeError(const QFileDevice &file, const QString &path)
{
    if (looksFull(file))
        return diskFullError(path);
    const QString native = QDir::toNativeSeparators(path);
    const QString reason = file.errorString();
    if (reason.isEmpty() || reason == QLatin1String("Unknown error"))
        return QCoreApplication::translate("WriteError", "Cannot write %1.").arg(native);
    return QCoreApplication::translate("WriteError", "Cannot write %1: %2").arg(native, reason);
}

QString diskFullError(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (disk.isValid() && !disk.rootPath().isEmpty())
        return QCoreApplication::translate("WriteError", "The disk at %1 is full: cannot write %2.")
            .arg(QDir::toNativeSeparators(disk.rootPath()), native);
    return QCoreApplication::translate("WriteError", "The disk is full: cannot write %1.").arg(native);
}

} // namespace platform
