#include "store/NativeFile.h"

#include "platform/FileSync.h"
#include "platform/WriteError.h"
#include "store/LinkItem.h"
#include "store/NativeImportExport10000.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QtEndian>

#include <memory>
#include <new>

namespace NativeFile {

ReadResult read(QIODevice &stream, LinkItem &target, bool refuseNewer, Progress progress)
{
    ReadResult result;
    const qint64 start = stream.pos();
    char bytes[4];
    qint64 got = 0;
    // A pipe may hand out fewer bytes at a time than asked for.
    for (qint64 n = 0; got < 4 && (n = stream.read(bytes + got, 4 - got)) > 0;)
        got += n;
    if (got != 4) {
        result.status = ReadResult::Damaged;
        result.error = QCoreApplication::translate("NativeFile", "The file is too short to hold a collection.");
        return result;
    }
    const std::int32_t number = qFromLittleEndian<qint32>(bytes);
    if (number > CurrentVersion && refuseNewer) {
        result.status = ReadResult::NewerVersion;
        result.version = number;
        result.error = QCoreApplication::translate("NativeFile", "Uncorrect data format.");
        return result;
    }

    std::unique_ptr<ImportExport> reader;
    if (number == CurrentVersion) {
        result.version = CurrentVersion;
        reader = std::make_unique<NativeImportExport10000>(&stream);
    } else {
        // No header: those four bytes were the length of the top item's name.
        if (!stream.seek(start)) {
            result.status = ReadResult::Damaged;
            result.error = QCoreApplication::translate("NativeFile", "The stream cannot go back to its start.");
            return result;
        }
        reader = std::make_unique<NativeImportExport>(&stream);
    }
    reader->setProgress(std::move(progress));
    try {
        reader->ReadItem(target);
    } catch (const std::bad_alloc &) {
        // The items read so far went with the stack that held them; none reached the target.
        result.status = ReadResult::OutOfMemory;
        result.error = QCoreApplication::translate("NativeFile", "There is not enough memory to read the file.");
        return result;
    }
    result.folders = reader->foldersRead();
    result.links = reader->linksRead();
    if (reader->wasCancelled())
        result.status = ReadResult::Cancelled;
    else if (reader->hasError())
        result.status = ReadResult::Damaged;
    result.error = reader->errorString();
    return result;
}

bool write(QIODevice &stream, const LinkItem &item, QString *error)
{
    char bytes[4];
    qToLittleEndian<qint32>(CurrentVersion, bytes);
    if (stream.write(bytes, 4) != 4) {
        if (error)
            *error = stream.errorString();
        return false;
    }
    NativeImportExport10000 writer(&stream);
    if (!writer.WriteItem(item)) {
        if (error)
            *error = writer.errorString();
        return false;
    }
    return true;
}

bool saveAtomically(const QString &path, const LinkItem &item, QString *error, Sync sync,
                    QFileDevice::Permissions permissions)
{
    QSaveFile file(path);
    // Renaming over a symbolic link would replace the link, not the file it points to.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = platform::writeError(file, path);
        return false;
    }
    file.setPermissions(permissions);
    QString writeError;
    if (!write(file, item, &writeError)) {
        file.cancelWriting();
        if (error)
            *error = writeError;
        return false;
    }
    if (sync == Sync::Full && !platform::syncFile(file)) {
        file.cancelWriting();
        if (error)
            *error = QCoreApplication::translate("NativeFile", "The data could not be flushed to the disk.");
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = platform::writeError(file, path);
        return false;
    }
    if (sync == Sync::Full)
        platform::syncDirectory(QFileInfo(path).absolutePath());
    return true;
}

} // namespace NativeFile
