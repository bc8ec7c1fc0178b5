#pragma once

#include "store/Duplicates.h"
#include "store/TreeWalk.h"
#include "store/UrlKey.h"

#include <cstdint>
#include <string>
#include <vector>

class LinkItem;
class QDeadlineTimer;

// Finding the groups of duplicates below a folder a slice at a time, so that a million links never hold the
// window: reads the links' keys in tree order, puts their hashes in a table, then splits each chain of equal
// hashes into the groups of equal keys. The groups, and their order, are those Duplicates::find gives.
//
// The search reads the items between slices: after any change of the tree below the folder, or of a URL,
// start a new search before the next slice.
class DuplicateSearch
{
public:
    DuplicateSearch(const LinkItem *folder, const UrlKey &key);

    // Works on until the deadline has passed (after a small step at least); true once done.
    bool step(const QDeadlineTimer &deadline);
    bool done() const { return m_stage == Stage::Done; }
    // Whether the links are still being read (else they are being compared).
    bool reading() const { return m_stage == Stage::Reading; }
    // The links with a URL read so far.
    int linksRead() const { return static_cast<int>(m_links.size()); }
    // How far the comparison has come, 0 to 100.
    int percentCompared() const;
    // The groups once done.
    std::vector<Duplicates::Group> takeGroups() { return std::move(m_groups); }

private:
    enum class Stage { Reading, Hashing, Grouping, Done };

    bool read(const QDeadlineTimer &deadline);
    bool hash(const QDeadlineTimer &deadline);
    bool group(const QDeadlineTimer &deadline);

    UrlKey m_key;
    Stage m_stage = Stage::Reading;
    TreeWalk m_walk;
    std::string m_text;
    std::vector<LinkItem *> m_links;
    std::vector<std::uint64_t> m_hashes;
    // Open addressing over the hashes: each slot holds the first link of a hash, whose chain (next) collects
    // the later ones in tree order.
    std::vector<std::uint32_t> m_table;
    std::vector<std::uint32_t> m_next;
    std::vector<std::uint32_t> m_last;
    std::uint32_t m_done = 0; // the links hashed, then the links grouped
    std::vector<Duplicates::Group> m_groups;
};
