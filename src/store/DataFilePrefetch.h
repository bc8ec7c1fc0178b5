#pragma once

#include "store/NativeFile.h"

#include <QFuture>
#include <QString>

#include <atomic>
#include <functional>
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

    // Reads path now, into a root folder named Repository::RootName. percent, if given, follows how much of
    // the file has been read.
    static DataFileContents readNow(const QString &path, std::atomic<int> *percent = nullptr);
};

// Reads the data file on the background pool, so that a program starting up builds its window meanwhile.
// The Repository that is given it takes the result instead of reading the file itself; the messages,
// the setting aside of a bad file and everything else of loading still happen there, in their order.
class DataFilePrefetch
{
public:
    // Starts reading Repository::DataFile(). whenRead, if given, is called on the worker thread when the
    // reading has ended, just before the result is handed over; it must do no more than pass the news on.
    explicit DataFilePrefetch(std::function<void()> whenRead = {});
    // Waits for the reading to end when nobody took the result (it is not cancelled: an exit saves it).
    ~DataFilePrefetch();

    DataFilePrefetch(const DataFilePrefetch &) = delete;
    DataFilePrefetch &operator=(const DataFilePrefetch &) = delete;

    // The result, waiting for it if need be; read now when the data file has moved since the start
    // (its folder was changed meanwhile) or the result was taken before.
    DataFileContents take(const QString &path);
    // How much of the data file has been read so far, from 0 to 100; for a window that waits for it.
    int percentRead() const { return m_percent.load(std::memory_order_relaxed); }

private:
    QString m_path;
    std::atomic<int> m_percent {0};
    QFuture<DataFileContents> m_contents;
    bool m_taken = false;
};
