#include "formats/FavoritesReader.h"

#include "formats/FolderWalk.h"
#include "formats/IniReader.h"
#include "formats/ItemSink.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

std::string FavoritesReader::linkName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return TextCodec::fromDisplay(dot < 0 ? fileName : fileName.left(dot));
}

ImportReport FavoritesReader::importDirectory(const QString &path, LinkItem &target, const Progress &progress)
{
    ImportReport report;
    if (!QFileInfo(path).isDir()) {
        report.fail(QCoreApplication::translate("FavoritesReader", "Cannot open folder %1")
                        .arg(QDir::toNativeSeparators(path)));
        return report;
    }

    static const QByteArray noUrl(NoUrl);
    ItemSink sink(target, report);
    FolderWalk walk(FolderWalk::FoldersAndFiles);
    // The walk goes depth first: an entry's folder is the sink's current folder or one it holds open.
    const auto into = [&sink](LinkItem *folder) {
        while (sink.current() != folder && sink.leaveFolder()) { }
    };
    const auto told = [&] {
        if (progress && !progress(report.folders, report.links)) {
            report.cancel();
            walk.stop();
        }
    };
    const auto onFolder = [&](LinkItem *parent, const FolderWalk::Entry &entry) -> LinkItem * {
        into(parent);
        LinkItem *folder = sink.addFolder(TextCodec::fromDisplay(entry.name));
        sink.enterFolder(folder);
        told();
        return folder;
    };
    const auto onFile = [&](LinkItem *parent, const FolderWalk::Entry &entry) {
        const QByteArray url = IniReader::profileString(entry.path, "InternetShortcut", "URL", noUrl);
        if (url != noUrl) {
            into(parent);
            sink.addLink(linkName(entry.name), std::string_view(url.constData(), size_t(url.size())));
        }
        told();
    };
    walk.run(path, &target, onFolder, onFile);
    return report;
}
