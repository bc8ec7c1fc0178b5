#pragma once

#include "formats/BrowserProfiles.h"

#include <QFuture>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class LinkItem;
class TransferProgress;

// Reading browser profiles on the background pool, so that a large profile (a copy of its database, a history
// to read) never holds the window. The reader runs on the pool: it must touch nothing but its arguments.
namespace ProfileReads {

using Reader = std::function<ImportReport(const BrowserProfile &profile, LinkItem &target, const Progress &progress)>;

// What a read gave: the folder filled and the report.
struct Read
{
    std::unique_ptr<LinkItem> folder;
    ImportReport report;
};

// Reads profile into folder on the pool while this thread waits, showing the progress (which handles the
// events every few hundredths of a second and offers Cancel); folder comes back once read. After a cancel the
// read is cancelled and left to end by itself, at its next progress call, dropping folder: folder is null
// then, and the report says Cancelled. reading, if given, is set to the read (to wait for it).
ImportReport readAside(const BrowserProfile &profile, std::unique_ptr<LinkItem> &folder, const Reader &reader,
                       TransferProgress &progress, QFuture<Read> *reading = nullptr);

} // namespace ProfileReads

// Counts the folders and links of browser profiles on the background pool, each profile on its own (leaving one
// of the pool's threads to other work), and hands each profile's counts over on this object's thread as they come.
// Destroying the counter stops the work: the profiles being read stop at their reader's next progress call, and
// nothing more is handed over.
class ProfileCounter : public QObject
{
    Q_OBJECT
public:
    ProfileCounter(QList<BrowserProfile> profiles, ProfileReads::Reader reader, QObject *parent = nullptr);
    ~ProfileCounter() override;

    void start();

signals:
    // The counts of profiles[index]; error says why it cannot be read, and is empty when it can.
    void counted(int index, int folders, int links, const QString &error);

private:
    // Starts counting the next profile, when there is one left.
    void startNext();

    QList<BrowserProfile> m_profiles;
    ProfileReads::Reader m_reader;
    QList<QFuture<ImportReport>> m_counting;
    int m_started = 0;
    int m_running = 0;
};
