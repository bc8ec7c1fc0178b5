#include "store/DataFilePrefetch.h"

#include "platform/Background.h"
#include "store/LinkItem.h"
#include "store/Progress.h"
#include "store/Repository.h"

#include <QFile>
#include <QFileInfo>

DataFileContents DataFileContents::readNow(const QString &path, std::atomic<int> *percent)
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
    Progress progress;
    if (const qint64 size = file.size(); percent && size > 0) {
        progress = [&file, size, percent](int, int) {
            percent->store(static_cast<int>(file.pos() * 100 / size), std::memory_order_relaxed);
            return true;
        };
    }
    contents.read = NativeFile::read(file, *contents.root, true, std::move(progress));
    return contents;
}

DataFilePrefetch::DataFilePrefetch(std::function<void()> whenRead) : m_path(Repository::DataFile())
{
    // The items are made on the worker and handed over whole through the future.
    m_contents = Background::run([percent = &m_percent, path = m_path, whenRead = std::move(whenRead)] {
        DataFileContents contents = DataFileContents::readNow(path, percent);
        if (whenRead)
            whenRead();
        return contents;
    });
}

DataFilePrefetch::~DataFilePrefetch()
{
    // The worker writes m_percent until it ends.
    m_contents.waitForFinished();
}

DataFileContents DataFilePrefetch::take(const QString &path)
{
    if (m_taken)
        return DataFileContents::readNow(path);
    m_taken = true;
    // Taking the result leaves the future in no state at all: wait for its end first, and drop it.
    m_contents.waitForFinished();
    DataFileContents contents = m_contents.takeResult();
    m_contents = {};
    if (path != m_path)
        return DataFileContents::readNow(path);
    return contents;
}
