#pragma once

#include "sync/SyncTree.h"

#include <QStringList>

#include <map>

// What a sync changes on each side, in words, and how many items it deletes there.
struct MergeReport
{
    QStringList taken; // changes from the server made to the local collection
    QStringList given; // local changes that go to the server
    QStringList conflicts; // the same field changed on both sides: which value was kept
    int deletedHere = 0; // items the local collection loses
    int deletedThere = 0; // items the server's file loses
};

// The three-way merge of a sync: the tree as last synced (base), the local collection and the
// server's file. Nodes are the same item on all sides when they have the same id; local items not
// synced before carry ids below SyncTree::RootId and are given new ids above the highest in use.
//
// A change on one side is taken; changes on both sides to different items or different fields are
// both taken; the same field changed both ways keeps the local value, and the report says so. An item
// deleted on one side and changed on the other is kept, with the folders it needs. Adds on both
// sides are kept both, but the same link (or folder of that name) added to the same folder on both
// sides is kept once. Our own fields are never changed by a server node that does not carry them.
class SyncMerge
{
public:
    struct Result
    {
        SyncTree merged;
        MergeReport report;
        // The id in merged of every local node (new local items included).
        std::map<qint64, qint64> localIds;
    };

    static Result merge(const SyncTree &base, const SyncTree &local, const SyncTree &remote);
};
