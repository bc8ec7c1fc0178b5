#pragma once

#include "sync/SyncTree.h"

#include <QStringList>

#include <map>

// What turns one tree into another, in words: the items added, deleted, renamed, moved or changed.
namespace SyncDiff {

struct Changes
{
    QStringList lines;
    int added = 0;
    int deleted = 0; // items gone, those inside deleted folders counted
    int changed = 0;
};

// ids gives the id in `to` of the nodes of `from` that have one. Our own fields are compared only
// when compareExtras is set or a node of `from` carries them.
Changes changes(const SyncTree &from, const SyncTree &to, const std::map<qint64, qint64> &ids, bool compareExtras);

} // namespace SyncDiff
