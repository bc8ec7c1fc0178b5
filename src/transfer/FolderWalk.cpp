#include "transfer/FolderWalk.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

QString FolderWalk::withSeparator(const QString &path)
{
    if (path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator()))
        return path;
    return path + QLatin1Char('/');
}

std::vector<FolderWalk::Entry> FolderWalk::list(const QString &folder)
{
    // Without QDir::Hidden and QDir::System the listing leaves out hidden entries (and, on Windows, those
    // with the system attribute), special files and broken links.
    QDir::Filters filters = QDir::Dirs | QDir::NoDotAndDotDot;
    if (m_contents == FoldersAndFiles)
        filters |= QDir::Files;
    const QString prefix = withSeparator(folder);
    std::vector<Entry> entries;
    QDirIterator it(folder, filters);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        const QString name = info.fileName();
        entries.push_back(Entry {name, prefix + name, info.isDir(), info.isSymLink() || info.isJunction()});
    }
    return entries;
}

bool FolderWalk::enter(const Entry &entry, const QString &parentCanonical, QString *canonical)
{
    if (!parentCanonical.isEmpty() && !entry.isLink) {
        // A plain folder below a folder whose real path is known: it cannot lead back up, and its real
        // path needs no question to the file system.
        *canonical = withSeparator(parentCanonical) + entry.name;
        m_entered.insert(*canonical);
        return true;
    }
    *canonical = QFileInfo(entry.path).canonicalFilePath();
    if (canonical->isEmpty())
        return false;
    if (m_entered.contains(*canonical)) {
        ++m_linksNotFollowed;
        return false;
    }
    m_entered.insert(*canonical);
    return true;
}
