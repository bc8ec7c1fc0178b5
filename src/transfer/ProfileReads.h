#pragma once

#include "formats/BrowserProfiles.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class LinkItem;
class QThreadPool;
class TransferProgress;

// Reading browser profiles on worker threads, so that a large profile (a copy of its database, a history to
// read) never holds the window. The reader runs on the worker: it must touch nothing but its arguments.
namespace ProfileReads {

using Reader = std::function<ImportReport(const BrowserProfile &profile, LinkItem &target, const Progress &progress)>;

// Reads profile into folder on a worker while this thread waits, showing the progress (which handles the
// events every few hundredths of a second and offers Cancel); folder comes back once read. After a cancel the
// worker is left to end by itself, at its next progress call, and keeps folder to drop it: folder is null
// then, and the report says Cancelled. The worker is one of pool's.
ImportReport readAside(const BrowserProfile &profile, std::unique_ptr<LinkItem> &folder, const Reader &reader,
                       TransferProgress &progress, QThreadPool &pool);

} // namespace ProfileReads

// Counts the folders and links of browser profiles on workers of the global pool, each profile on its own, and
// hands each
// profile's counts over on this object's thread as they come. Destroying the counter stops the work: the
// profile being read stops at its reader's next progress call, and nothing more is handed over.
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
    struct Shared;

    QList<BrowserProfile> m_profiles;
    ProfileReads::Reader m_reader;
    std::shared_ptr<Shared> m_shared;
};
