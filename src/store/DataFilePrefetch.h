#pragma once

#include "store/NativeFile.h"

#include <QString>

#include <future>
#include <memory>

class LinkItem;

// What reading the data file gave: whether it is there, whether it opened, and the tree read.
struct DataFileContents
{
    bool exists = false;
    bool opened = false;
    QString openError;
    std::unique_ptr<LinkItem> root; // the root folder read; none unless opened
    NativeFile::ReadResult read;

    // Reads path now, into a root folder named Repository::RootName.
    static DataFileContents readNow(const QString &path);
};

// Reads the data file on a worker thread, so that a program starting up builds its window meanwhile.
// The Repository that is given it takes the result instead of reading the file itself; the messages,
// the setting aside of a bad file and everything else of loading still happen there, in their order.
class DataFilePrefetch
{
public:
    // Starts reading Repository::DataFile().
    DataFilePrefetch();
    // Waits for the reading to end when nobody took the result.
    ~DataFilePrefetch();

    DataFilePrefetch(const DataFilePrefetch &) = delete;
    DataFilePrefetch &operator=(const DataFilePrefetch &) = delete;

    // The result, waiting for it if need be; read now when the data file has moved since the start
    // (its folder was changed meanwhile) or the result was taken before.
    DataFileContents take(const QString &path);

private:
    QString m_path;
    std::future<DataFileContents> m_contents;
};
