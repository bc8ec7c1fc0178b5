#include "FormatTransfer.h"

#include "Commands.h"
#include "ProgramLock.h"

#include "formats/FormatCommands.h"
#include "platform/FileSync.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"
#include "store/TextCodec.h"

#include "ToolFolders.h"
#include "ToolOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace FormatTransfer {

namespace {
using ToolOutput::nativePath;
using ToolOutput::printError;
using ToolOutput::printLine;
using ToolOutput::RootName;

using namespace Commands;
using ToolFolders::folderAt;

enum class Loaded { Whole, Partly, Nothing, CannotOpen };

// Reads the collection file; newer versions are refused as the program refuses them. Nothing is read of
// those, nor of a file too large to hold.
Loaded load(const QString &path, LinkItem &root)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("Cannot open file %1: %2").arg(nativePath(path), file.errorString()));
        return Loaded::CannotOpen;
    }
    const NativeFile::ReadResult result = NativeFile::read(file, root, /*refuseNewer=*/true);
    if (result.ok())
        return Loaded::Whole;
    if (result.status == NativeFile::ReadResult::NewerVersion || result.status == NativeFile::ReadResult::OutOfMemory) {
        printError(QStringLiteral("%1: %2").arg(nativePath(path), result.error));
        return Loaded::Nothing;
    }
    printError(
        QStringLiteral("warning: %1 is damaged; only part of it was read: %2").arg(nativePath(path), result.error));
    return Loaded::Partly;
}

QString counts(int folders, int links)
{
    return QStringLiteral("%1 folders and %2 links").arg(folders).arg(links);
}

bool canOpen(const BookmarkFormatInfo &format, const QString &in)
{
    const QFileInfo info(in);
    if (format.isDirectory) {
        if (info.isDir())
            return true;
        printError(QStringLiteral("Cannot open folder %1").arg(nativePath(in)));
        return false;
    }
    QFile file(in);
    if (!info.isDir() && file.open(QIODevice::ReadOnly))
        return true;
    printError(QStringLiteral("Cannot open file %1: %2")
                   .arg(nativePath(in), info.isDir() ? QStringLiteral("Is a directory") : file.errorString()));
    return false;
}

} // namespace

int exportFolder(const BookmarkFormatInfo &format, const QString &folderPath, const QString &dataFile,
                 const QString &out)
{
    auto root = LinkItem::MakeFolder(RootName);
    const Loaded loaded = load(dataFile, *root);
    if (loaded == Loaded::CannotOpen)
        return Failure;
    if (loaded == Loaded::Nothing)
        return DataDamaged;
    QString missing;
    const LinkItem *folder = folderAt(*root, folderPath, &missing);
    if (!folder) {
        printError(QStringLiteral("%1 has no folder \"%2\"").arg(nativePath(dataFile), missing));
        return Failure;
    }
    const ExportReport report = FormatCommands::exportTo(format.format, out, *folder);
    if (!report.ok()) {
        printError(report.errorString());
        return Failure;
    }
    printLine(QStringLiteral("%1 written to %2").arg(counts(report.folders, report.links), nativePath(out)));
    return loaded == Loaded::Whole ? Success : DataDamaged;
}

int importInto(const BookmarkFormatInfo &format, const QString &folderPath, const QString &in, const QString &dataFile)
{
    if (!canOpen(format, in))
        return Failure;
    LinkItem imported;
    const ImportReport report = FormatCommands::importFrom(format.format, in, imported);
    if (report.status == ImportReport::Unreadable) {
        printError(QStringLiteral("%1: %2").arg(nativePath(in), report.errorString()));
        return DataDamaged;
    }
    return addImported(imported, report, in, folderPath, dataFile);
}

int addImported(LinkItem &imported, const ImportReport &report, const QString &in, const QString &folderPath,
                const QString &dataFile)
{
    const ProgramLock lock(dataFile);
    if (lock.busy()) {
        printError(QStringLiteral("Quillmark is running and holds %1; it would write over the import when it ends. "
                                  "Exit Quillmark, then import again.")
                       .arg(nativePath(dataFile)));
        return Busy;
    }

    auto root = LinkItem::MakeFolder(RootName);
    if (QFileInfo::exists(dataFile)) {
        // A damaged collection would lose what could not be read if it were written back.
        const Loaded loaded = load(dataFile, *root);
        if (loaded == Loaded::CannotOpen)
            return Failure;
        if (loaded != Loaded::Whole) {
            printError(QStringLiteral("%1 was left alone; nothing was imported.").arg(nativePath(dataFile)));
            return DataDamaged;
        }
    } else if (sameFile(dataFile, Repository::DataFile())) {
        platform::makePrivateFolder(QFileInfo(dataFile).absolutePath());
    }
    QString missing;
    LinkItem *folder = folderAt(*root, folderPath, &missing);
    if (!folder) {
        printError(QStringLiteral("%1 has no folder \"%2\"").arg(nativePath(dataFile), missing));
        return Failure;
    }
    FormatCommands::moveChildren(imported, *folder);

    QString error;
    if (!NativeFile::saveAtomically(dataFile, *root, &error)) {
        printError(QStringLiteral("Cannot create file %1: %2").arg(nativePath(dataFile), error));
        return Failure;
    }
    printLine(QStringLiteral("%1 imported").arg(counts(report.folders, report.links)));
    if (report.ok())
        return Success;
    printError(QStringLiteral("warning: %1 is damaged or partly unreadable; what could not be read was skipped:")
                   .arg(nativePath(in)));
    for (const QString &problem : report.problems)
        printError(QStringLiteral("  %1").arg(problem));
    return DataDamaged;
}

} // namespace FormatTransfer
