#pragma once

#include "sync/SyncMerge.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class LinkItem;

// One whole sync of a folder of the collection with the file on a WebDAV server: the folder is
// checked, the lock taken, the file read and merged with the collection and the state of the last
// sync. The merged file is uploaded whole, then read back and compared; only then is the collection
// changed and the state saved. Nothing is uploaded when the file cannot be read or the merge is
// refused, and the lock is freed whatever happens.
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
    };

    struct Outcome
    {
        QString error; // empty when the sync was done
        MergeReport report;
        bool uploaded = false;
        bool changedHere = false;
        bool ok() const { return error.isEmpty(); }
    };

    // Puts the merged entries in place of the folder's own; false with a message when it cannot.
    using Apply = std::function<bool(std::unique_ptr<LinkItem> entries, QString *error)>;
    // Asked before a sync deletes more than half of the synced tree on either side.
    using ConfirmDeletes = std::function<bool(int deleted, int synced)>;

    SyncRun(const Settings &settings, const QString &dataFile, const QString &folderPath);

    Outcome run(const LinkItem &folder, const Apply &apply, const ConfirmDeletes &confirm);

    QString statePath() const;

private:
    Settings m_settings;
    QString m_dataFile;
    QString m_folderPath;
};
