#pragma once

#include "formats/BrowserProfiles.h"
#include "transfer/TransferProgress.h"

#include <QFuture>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class LinkItem;

// Reading browser profiles on the background pool, so that a large profile (a copy of its database, a history
// to read) never holds the window. The reader runs on the pool: it must touch nothing but its arguments.
namespace ProfileReads {

using Reader = std::function<ImportReport(const BrowserProfile &profile, LinkItem &target, const Progress &progress)>;

// What a read gave: the folder filled and the report.
struct Read
{
    std::unique_ptr<LinkItem> folder;
    ImportReport report;
    bool ran = false; // false: cancelled before the pool began it
};

// Reads profile into read->folder on the pool, telling the counts so far to counts; the returned future ends
// once read holds the folder and the report. A cancelled read stops at the reader's next progress call and
// keeps what it read so far, and its report says Cancelled.
QFuture<void> readAside(const BrowserProfile &profile, const Reader &reader, std::shared_ptr<Read> read,
                        std::shared_ptr<TransferProgress::Counts> counts);

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
