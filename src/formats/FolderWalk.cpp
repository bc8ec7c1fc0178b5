#include "formats/FolderWalk.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

QString FolderWalk::withSeparator(const QString &path)
{
    if (path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator()))
        return path;
    return path + QLatin1Char('/');
}

std::vector<FolderWalk::Entry> FolderWalk::list(const QString &folder)
{
    const QString prefix = withSeparator(folder);
    std::vector<Entry> entries;
    const auto add = [&](const QString &name, bool isFolder, bool isLink) {
        entries.push_back(Entry {name, prefix + name, isFolder, isLink});
    };
#ifdef Q_OS_WIN
    // Without QDir::Hidden the listing leaves out entries with the hidden attribute; without QDir::System
    // shortcuts to nowhere and special files.
    QDir::Filters filters = QDir::Dirs | QDir::NoDotAndDotDot;
    if (m_contents == FoldersAndFiles)
        filters |= QDir::Files;
    QDirIterator it(folder, filters);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        add(info.fileName(), info.isDir(), info.isSymLink() || info.isJunction());
    }
#else
    // The file system's listing carries each entry's type, so that only symbolic links cost a look at
    // what they lead to. Hidden entries are those whose names start with a dot; anything that is neither
    // a folder nor a plain file (sockets, devices, links that lead nowhere) is left out as well.
    namespace fs = std::filesystem;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(QFile::encodeName(folder).toStdString()), error), end; !error && it != end;
         it.increment(error)) {
        const std::string &path = it->path().native();
        const std::string_view name = std::string_view(path).substr(path.rfind('/') + 1);
        if (name.empty() || name.front() == '.')
            continue;
        std::error_code typeError;
        const bool isLink = it->is_symlink(typeError);
        const fs::file_type type = isLink    ? it->status(typeError).type()
            : it->is_directory(typeError)    ? fs::file_type::directory
            : it->is_regular_file(typeError) ? fs::file_type::regular
                                             : fs::file_type::unknown;
        if (typeError)
            continue;
        if (type == fs::file_type::directory)
            add(QFile::decodeName(QByteArray(name.data(), qsizetype(name.size()))), true, isLink);
        else if (type == fs::file_type::regular && m_contents == FoldersAndFiles)
            add(QFile::decodeName(QByteArray(name.data(), qsizetype(name.size()))), false, isLink);
    }
#endif
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
