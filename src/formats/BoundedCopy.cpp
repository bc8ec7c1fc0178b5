#include "formats/BoundedCopy.h"

#include "platform/RegularFile.h"
#include "platform/WriteError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace BoundedCopy {

namespace {

constexpr qint64 Piece = 256 * 1024;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// written is what the last write took (-1: nothing, with an error).
QString writeError(const QFileDevice &target, qint64 written)
{
    // A file that takes only part of a write is on a full disk (Qt sets no error then, which reads "Unknown
    // error"); one that takes nothing says so by ResourceError (ENOSPC, also a quota).
    if (written >= 0 || target.error() == QFileDevice::ResourceError)
        return platform::diskFullError(target.fileName());
    const QString reason = target.errorString();
    return QCoreApplication::translate("BoundedCopy", "%1 could not be written: %2")
        .arg(shown(target.fileName()),
             reason.isEmpty() ? QCoreApplication::translate("BoundedCopy", "the system gave no reason") : reason);
}

} // namespace

Result copy(const QString &from, QFileDevice &target, qint64 maxBytes, const std::function<bool()> &keepGoing,
            QString *error)
{
    QFile source(from);
    if (!platform::openRegularFile(source, QIODevice::Unbuffered)) {
        *error = QFileInfo::exists(from)
            ? QCoreApplication::translate("BoundedCopy", "%1 is not a regular file or cannot be opened.")
                  .arg(shown(from))
            : QCoreApplication::translate("BoundedCopy", "%1 does not exist.").arg(shown(from));
        return Result::NotRegular;
    }
    const auto tooLarge = [&] {
        *error = QCoreApplication::translate("BoundedCopy", "%1 is larger than %2 MB.")
                     .arg(shown(from))
                     .arg(maxBytes / (1024 * 1024));
        return Result::TooLarge;
    };
    // Checked before anything is spent, and again as it is read: the file may grow meanwhile.
    if (source.size() > maxBytes)
        return tooLarge();
    QByteArray buffer(Piece, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        if (keepGoing && !keepGoing()) {
            *error = QCoreApplication::translate("BoundedCopy", "The copy of %1 was stopped.").arg(shown(from));
            return Result::Stopped;
        }
        const qint64 read = source.read(buffer.data(), Piece);
        if (read < 0) {
            *error = QCoreApplication::translate("BoundedCopy", "%1 could not be read: %2")
                         .arg(shown(from), source.errorString());
            return Result::Failed;
        }
        if (read == 0)
            break;
        copied += read;
        if (copied > maxBytes)
            return tooLarge();
        if (const qint64 written = target.write(buffer.constData(), read); written != read) {
            *error = writeError(target, written);
            return Result::Failed;
        }
    }
    if (!target.flush()) {
        *error = writeError(target, -1);
        return Result::Failed;
    }
    return Result::Copied;
}

} // namespace BoundedCopy
