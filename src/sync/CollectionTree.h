#pragma once

#include "sync/SyncTree.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class LinkItem;

// The collection below one folder as a synced tree, and back.
//
// The data file has no ids, so the items are recognised again from the tree as synced last: by
// name and URL in the same folder first, then a link by its URL alone (moved or renamed), a link
// by its name in the same folder (a new URL), a folder by its name alone (moved) or by where most
// of its entries were (renamed). What is not recognised is new here and gets an id below
// SyncTree::RootId, as the merge expects.
namespace CollectionTree {

// The collection's items below the folder as they are now, parents before their entries: what a sync
// needs of them, taken at once so that the rest of the sync may run elsewhere.
struct Snapshot
{
    struct Text
    {
        size_t at = 0;
        size_t size = 0;
    };
    struct Entry
    {
        const LinkItem *item;
        int parent; // index of the parent entry; -1 for the folder taken
        bool folder;
        std::uint8_t rating;
        qint32 visits;
        double lastVisit;
        Text name, url, description; // in bytes
    };
    std::vector<Entry> entries;
    // The texts of all entries, one after the other: one buffer copies as fast as a save writes.
    std::string bytes;
};

Snapshot snapshot(const LinkItem &folder);

struct Read
{
    SyncTree tree;
    std::map<qint64, const LinkItem *> items; // the collection's item of each node
};

// Recognises the snapshot's items in base and gives their tree with its ids.
Read match(Snapshot snapshot, const SyncTree &base);
Read read(const LinkItem &folder, const SyncTree &base);

// New entries for a folder from the merged tree. A node whose item is known keeps that item's last
// visit when it is the same to the second, so that a sync changes nothing it did not merge.
std::unique_ptr<LinkItem> build(const SyncTree &merged, const std::map<qint64, const LinkItem *> &items,
                                std::string_view rootName);

} // namespace CollectionTree
