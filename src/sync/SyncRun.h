#pragma once

#include "sync/CollectionTree.h"
#include "sync/DavConnection.h"
#include "sync/SyncMerge.h"
#include "sync/SyncState.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class CollectionDocument;
class LinkItem;
class SyncLock;

// One whole sync of a folder of the collection with the file on a WebDAV server, the same for the window
// and quillmark-tool: the folder is checked, the lock taken, the file read and merged with the collection
// and the state of the last sync. The merged file is uploaded whole, then read back and compared; only then
// is the collection changed (through its document, item by item) and the state saved. Nothing is uploaded
// when the file cannot be read or the merge is refused, and the lock is freed whatever happens.
//
// The exchange with the server runs on the event loop, one request after the other, and its reading and
// merging on the background pool; it works on a snapshot of the collection and touches nothing else, so the
// collection may change meanwhile.
class SyncRun : public QObject
{
    Q_OBJECT
public:
    struct Settings
    {
        QUrl folder; // the server's folder that holds the file
        QString fileName = QStringLiteral("bookmarks.xbel");
        QString user;
        QString password;
        int timeout = 30000; // milliseconds for each request
        // The server's answers may hold this much, or 20 times the file as synced last when that is more.
        qint64 smallestAnswerLimit = DavConnection::DefaultAnswerLimit;
    };

    struct Outcome
    {
        QString error; // empty when the sync was done
        MergeReport report;
        bool uploaded = false;
        bool changedHere = false;
        bool ok() const { return error.isEmpty(); }
    };

    // What the exchange with the server ended with: the merge, and what the collection is to become.
    struct Exchange
    {
        Outcome outcome;
        SyncMerge::Result merge;
        CollectionTree::Read local; // the snapshot's items with their ids
        bool tooManyDeletes = false; // refused, as it would delete more than half of the synced tree
        int deleted = 0;
        int synced = 0;
    };

    SyncRun(const Settings &settings, const QString &dataFile, const QString &folderPath, QObject *parent = nullptr);
    ~SyncRun() override;

    // Starts everything up to changing the collection; exchanged() tells when it ended, the lock freed, and
    // exchange() how: the merged file is on the server when its outcome is ok. manyDeletes allows deleting
    // more than half of the synced tree.
    void start(CollectionTree::Snapshot local, bool manyDeletes);
    bool isRunning() const { return m_running; }
    // Ends the exchange at once, with nothing more sent but the freeing of the lock; exchanged() follows.
    void cancel();
    const Exchange &exchange() const { return m_done; }

    // Puts what the exchange merged into the folder through the document, as one step named caption: items
    // the sync did not change stay as they are. Only when the outcome is ok and something was taken.
    void apply(CollectionDocument &document, LinkItem &folder, const QString &caption);
    // The merged tree becomes the base of the next sync, once the collection holds it.
    bool saveState(QString *error) const;

    QString statePath() const;

signals:
    void exchanged();

private:
    SyncState state() const;
    void folderChecked(const DavConnection::Response &response);
    void stateLoaded(const SyncTree &base, const QString &error);
    void locked(const QString &error);
    void downloaded(DavConnection::Response download);
    void merged();
    void uploaded(const DavConnection::Response &put);
    void readBack(const DavConnection::Response &back);
    // Fails with the message unless it is empty or the sync was cancelled; true when the run goes on.
    bool goesOn(const QString &error);
    // Frees the lock, then tells that the exchange ended.
    void end();

    Settings m_settings;
    QString m_dataFile;
    QString m_folderPath;
    bool m_running = false;
    bool m_gone = false; // being destroyed
    QFuture<void> m_freeing; // the lock's release, once sent (finished while none is)
    bool m_manyDeletes = false;
    CollectionTree::Snapshot m_local;
    SyncTree m_base;
    QByteArray m_upload;
    Exchange m_done;
    std::unique_ptr<DavConnection> m_connection;
    std::unique_ptr<SyncLock> m_lock;
};
