#include "FormatTransfer.h"

#include "CollectionFile.h"
#include "Commands.h"

#include "formats/FormatCommands.h"
#include "store/LinkItem.h"

#include "ToolFolders.h"
#include "ToolOutput.h"

#include <QFile>
#include <QFileInfo>

namespace FormatTransfer {

namespace {
using ToolOutput::nativePath;
using ToolOutput::printError;
using ToolOutput::printLine;

using namespace Commands;
using ToolFolders::folderAt;

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
    CollectionFile file(dataFile, OpenPolicies::readAsFarAsItGoes());
    if (!file.isOpen())
        return file.status();
    QString missing;
    const LinkItem *folder = folderAt(file.top(), folderPath, &missing);
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
    return file.status();
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
    CollectionFile file(dataFile, OpenPolicies::importInto());
    if (!file.isOpen())
        return file.status();
    QString missing;
    LinkItem *folder = folderAt(file.top(), folderPath, &missing);
    if (!folder) {
        printError(QStringLiteral("%1 has no folder \"%2\"").arg(nativePath(dataFile), missing));
        return Failure;
    }
    FormatCommands::moveChildren(imported, *folder);

    QString error;
    if (!file.save(CollectionFile::Backup::None, &error)) {
        printError(error);
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
