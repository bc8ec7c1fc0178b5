#include "formats/FormatCommands.h"

#include "formats/FavoritesReader.h"
#include "formats/FavoritesWriter.h"
#include "formats/TreeWalk.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <memory>
#include <vector>

namespace FormatCommands {

namespace {

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

void moveChildren(LinkItem &from, LinkItem &to)
{
    // Taken from the back, so that no entry moves up in the list; the order is put right after.
    std::vector<std::unique_ptr<LinkItem>> children;
    children.reserve(size_t(from.Children.Count()));
    while (from.Children.Count() > 0)
        children.push_back(from.Children.TakeAt(from.Children.Count() - 1));
    std::reverse(children.begin(), children.end());
    to.Children.InsertSortedBatch(std::move(children));
}

ImportReport importFrom(BookmarkFormat format, const QString &path, LinkItem &target, const Progress &progress)
{
    const BookmarkFormatInfo &info = BookmarkFormatInfo::of(format);
    if (info.isDirectory)
        return FavoritesReader::importDirectory(path, target, progress);
    ImportReport report;
    if (!info.read) {
        report.fail(QCoreApplication::translate("FormatCommands", "HTML pages cannot be imported."));
        return report;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report.fail(QCoreApplication::translate("FormatCommands", "Cannot open file %1").arg(nativePath(path)));
        return report;
    }
    return info.read(file, target, progress);
}

ExportReport exportTo(BookmarkFormat format, const QString &path, const LinkItem &folder, const Progress &progress)
{
    if (BookmarkFormatInfo::of(format).isDirectory)
        return FavoritesWriter::write(path, folder, progress);
    ExportReport report;
    if (format == BookmarkFormat::Native) {
        // An export is an ordinary file of the user's: a file that is replaced keeps its permissions, a
        // new one gets those of a new file.
        const QFileInfo existing(path);
        const QFileDevice::Permissions permissions = existing.exists()
            ? existing.permissions()
            : platform::userFilePermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                            | QFileDevice::ReadOther);
        QString error;
        if (!NativeFile::saveAtomically(path, folder, &error, NativeFile::Sync::Full, permissions)) {
            report.fail(QCoreApplication::translate("FormatCommands", "Cannot create file %1: %2")
                            .arg(nativePath(path), error));
            return report;
        }
        walkSubtree(
            folder,
            [&report](const LinkItem &item, int) { return ++(item.isFolder() ? report.folders : report.links) > 0; },
            [](const LinkItem &, int) { return true; });
        return report;
    }

    QSaveFile file(path);
    file.setDirectWriteFallback(false); // replacing a symbolic link would replace the link
    if (!file.open(QIODevice::WriteOnly)) {
        report.fail(QCoreApplication::translate("FormatCommands", "Cannot create file %1: %2")
                        .arg(nativePath(path), file.errorString()));
        return report;
    }
    report = BookmarkFormatInfo::of(format).write(file, folder, progress);
    if (report.ok() && !platform::syncFile(file))
        report.fail(QCoreApplication::translate("FormatCommands", "The data could not be flushed to the disk."));
    if (!report.ok()) {
        file.cancelWriting();
        if (report.status == ExportReport::Failed)
            report.error = QCoreApplication::translate("FormatCommands", "Cannot create file %1: %2")
                               .arg(nativePath(path), report.error);
        return report;
    }
    if (!file.commit())
        report.fail(QCoreApplication::translate("FormatCommands", "Cannot create file %1: %2")
                        .arg(nativePath(path), file.errorString()));
    return report;
}

QString importSummary(const ImportReport &report)
{
    const QString imported = QCoreApplication::translate("FormatCommands", "%1 folders and %2 links imported")
                                 .arg(report.folders)
                                 .arg(report.links);
    if (report.skipped == 0)
        return imported;
    return QCoreApplication::translate("FormatCommands", "%1, %2 links already in the collection skipped")
        .arg(imported)
        .arg(report.skipped);
}

QString importProblems(const QString &path, const ImportReport &report)
{
    const QString file = nativePath(path);
    switch (report.status) {
    case ImportReport::Complete:
        return {};
    case ImportReport::Unreadable:
        return QCoreApplication::translate("FormatCommands", "Nothing could be imported from %1.\n\n%2")
            .arg(file, report.problems.join(u'\n'));
    case ImportReport::Cancelled:
        return QCoreApplication::translate("FormatCommands",
                                           "The import of %1 was cancelled. %2 folders and %3 links were imported.")
            .arg(file)
            .arg(report.folders)
            .arg(report.links);
    case ImportReport::Damaged:
        break;
    }
    return QCoreApplication::translate(
               "FormatCommands",
               "%1 is damaged or partly unreadable. %2 folders and %3 links were imported; what could "
               "not be read was skipped:\n\n%4")
        .arg(file)
        .arg(report.folders)
        .arg(report.links)
        .arg(report.problems.join(u'\n'));
}

} // namespace FormatCommands
