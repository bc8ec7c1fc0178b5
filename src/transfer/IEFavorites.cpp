#include "transfer/IEFavorites.h"

#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "transfer/FolderWalk.h"
#include "transfer/IniReader.h"

std::string IEFavorites::FolderName(const QString &folderName)
{
    QString name = folderName;
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return TextCodec::fromDisplay(name);
}

std::string IEFavorites::LinkName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return FolderName(dot < 0 ? fileName : fileName.left(dot));
}

bool IEFavorites::report()
{
    if (m_progress && !m_progress(m_folders, m_links))
        m_cancelled = true;
    return !m_cancelled;
}

void IEFavorites::ImportDirectory(const QString &path, LinkItem *target)
{
    m_folders = m_links = 0;
    m_cancelled = false;
    if (!target)
        return;

    static const QByteArray noUrl(NoUrl);
    FolderWalk walk(FolderWalk::FoldersAndFiles);
    const auto onFolder = [&](LinkItem *parent, const FolderWalk::Entry &entry) -> LinkItem * {
        auto folder = LinkItem::MakeFolder(FolderName(entry.name));
        LinkItem *raw = folder.get();
        parent->Children.InsertSorted(std::move(folder));
        ++m_folders;
        if (!report())
            walk.stop();
        return raw;
    };
    const auto onFile = [&](LinkItem *parent, const FolderWalk::Entry &entry) {
        const QByteArray url = IniReader::profileString(entry.path, "InternetShortcut", "URL", noUrl);
        if (url != noUrl) {
            parent->Children.InsertSorted(LinkItem::MakeLink(LinkName(entry.name), url.toStdString()));
            ++m_links;
        }
        if (!report())
            walk.stop();
    };
    walk.run(path, target, onFolder, onFile);
}
