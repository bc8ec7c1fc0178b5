#include "store/DataFilePrefetch.h"

#include "store/LinkItem.h"
#include "store/Repository.h"

#include <QFile>
#include <QFileInfo>

DataFileContents DataFileContents::readNow(const QString &path)
{
    DataFileContents contents;
    contents.exists = QFileInfo::exists(path);
    if (!contents.exists)
        return contents;
    QFile file(path);
    contents.opened = file.open(QIODevice::ReadOnly);
    if (!contents.opened) {
        contents.openError = file.errorString();
        return contents;
    }
    contents.root = LinkItem::MakeFolder(Repository::RootName);
    contents.read = NativeFile::read(file, *contents.root, true);
    return contents;
}

DataFilePrefetch::DataFilePrefetch() : m_path(Repository::DataFile())
{
    // The items are made on the worker and handed over whole through the future.
    m_contents = std::async(std::launch::async, [path = m_path] { return DataFileContents::readNow(path); });
}

DataFilePrefetch::~DataFilePrefetch() = default; // the future of std::async waits

DataFileContents DataFilePrefetch::take(const QString &path)
{
    if (!m_contents.valid())
        return DataFileContents::readNow(path);
    DataFileContents contents = m_contents.get();
    if (path != m_path)
        return DataFileContents::readNow(path);
    return contents;
}
