#pragma once

#include "sync/SyncTree.h"

#include <QString>

// What a computer keeps between syncs, beside the data file (whose format does not change): the
// tree as it was synced last, with the server's ids. It is the merge's base, and through it the
// collection's items are recognised again with their ids. One state for each server file and
// synced folder, so that syncing elsewhere starts afresh.
class SyncState
{
public:
    // The largest state read: far more than any collection the server's answer limit lets in.
    static constexpr qint64 MaxBytes = qint64(1) << 30;

    SyncState(const QString &dataFile, const QString &serverFile, const QString &folderPath);

    QString path() const { return m_path; }

    // An empty tree when there is no state yet (the first sync); false when the file cannot be read, is no
    // regular file or is larger than MaxBytes.
    bool load(SyncTree *base, QString *error) const;
    // Written whole or not at all.
    bool save(const SyncTree &base, QString *error) const;

private:
    QString m_path;
};
