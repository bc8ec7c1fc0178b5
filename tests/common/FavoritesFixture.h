#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

// Writes files and folders of a Favorites tree below a temporary folder.
namespace FavoritesFixture {

inline QByteArray shortcut(const QByteArray &url)
{
    return "[DEFAULT]\r\nBASEURL=" + url + "\r\n[InternetShortcut]\r\nURL=" + url + "\r\nIconIndex=0\r\n";
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool makeFolder(const QString &path)
{
    return QDir().mkpath(path);
}

} // namespace FavoritesFixture
