#pragma once

#include <QString>
#include <QtGlobal>

#include <map>
#include <vector>

// One folder or bookmark of a synced tree. Ids are the shared file's: integers, unique in the file,
// for ever with their item. The fields after url are those only Quillmark writes (in desc and its own
// metadata); hasExtras tells whether the side the node came from carried them at all.
struct SyncNode
{
    qint64 id = 0;
    qint64 parent = 0;
    bool folder = false;
    QString title;
    QString url;
    // Where the node stands among its siblings (lower first); only the order matters.
    qint64 order = 0;

    bool hasExtras = false;
    QString description;
    qint32 visits = 0;
    int rating = 0;
    qint64 lastVisit = 0; // seconds since 1970 UTC; 0 = never

    bool sameContent(const SyncNode &other) const;
};

// A tree of folders and bookmarks by id. The root is the synced folder itself (the file's xbel
// element) and always has the id RootId; every other node names its parent.
class SyncTree
{
public:
    static constexpr qint64 RootId = -1;

    SyncTree();

    const SyncNode *find(qint64 id) const;
    SyncNode *find(qint64 id);
    bool contains(qint64 id) const { return m_nodes.count(id) != 0; }

    // Adds a node under its parent, placed among the entries by its order; false when the id is taken
    // or the parent is not a folder of this tree.
    bool add(SyncNode node);
    // Removes the node and everything below it.
    void remove(qint64 id);
    // Puts the node at the end of another folder's entries; false when that is no folder of this
    // tree or lies within the node itself.
    bool move(qint64 id, qint64 parent);

    // The ids of the node's entries in their order.
    std::vector<qint64> children(qint64 id) const;
    // Every id below the node (not the node itself), depth first in the order of the entries.
    std::vector<qint64> descendants(qint64 id) const;
    // Whether `id` is `ancestor` or lies below it.
    bool isWithin(qint64 id, qint64 ancestor) const;

    const std::map<qint64, SyncNode> &nodes() const { return m_nodes; }
    // Folders and bookmarks, the root not counted.
    int size() const { return static_cast<int>(m_nodes.size()) - 1; }

    // The highest id in use; never below what the file said.
    qint64 highestId() const { return m_highestId; }
    void setHighestId(qint64 id) { m_highestId = id; }

    // Same ids with the same content, parents and order of entries.
    bool operator==(const SyncTree &other) const;

private:
    std::map<qint64, SyncNode> m_nodes;
    std::multimap<qint64, qint64> m_childrenOf; // parent id -> child ids
    qint64 m_highestId = 0;
};
