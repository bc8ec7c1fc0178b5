#pragma once

#include "sync/CollectionTree.h"
#include "sync/DavConnection.h"
#include "sync/SyncMerge.h"

#include <QString>
#include <QUrl>

#include <atomic>
#include <functional>
#include <memory>

class LinkItem;

// One whole sync of a folder of the collection with the file on a WebDAV server: the folder is
// checked, the lock taken, the file read and merged with the collection and the state of the last
// sync. The merged file is uploaded whole, then read back and compared; only then is the collection
// changed and the state saved. Nothing is uploaded when the file cannot be read or the merge is
// refused, and the lock is freed whatever happens.
//
// The exchange with the server works on a snapshot of the collection and touches nothing else, so that it
// may run on a thread of its own; the collection is changed and the state saved after it.
class SyncRun
{
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

    // Puts the merged entries in place of the folder's own; false with a message when it cannot.
    using Apply = std::function<bool(std::unique_ptr<LinkItem> entries, QString *error)>;
    // Asked before a sync deletes more than half of the synced tree on either side.
    using ConfirmDeletes = std::function<bool(int deleted, int synced)>;

    SyncRun(const Settings &settings, const QString &dataFile, const QString &folderPath);

    Outcome run(const LinkItem &folder, const Apply &apply, const ConfirmDeletes &confirm);

    // Everything up to changing the collection: the merged file is on the server when the outcome is ok.
    // manyDeletes allows deleting more than half of the synced tree.
    Exchange exchange(CollectionTree::Snapshot local, bool manyDeletes);
    // The merged tree becomes the base of the next sync, once the collection holds it.
    bool saveState(const SyncTree &merged, QString *error) const;
    // Checked between the requests: once set, the exchange stops with nothing uploaded after it.
    void setCancelFlag(const std::atomic_bool *cancelled) { m_cancelled = cancelled; }

    QString statePath() const;

private:
    // The exchange once the lock is held: the file read, merged and written back.
    void transfer(DavConnection &connection, CollectionTree::Snapshot local, const SyncTree &base, bool manyDeletes,
                  Exchange &done);

    Settings m_settings;
    QString m_dataFile;
    QString m_folderPath;
    const std::atomic_bool *m_cancelled = nullptr;
};
