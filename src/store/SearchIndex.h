#pragma once

#include "store/FoldedHaystack.h"
#include "store/TreeWalk.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class LinkItem;
class QDeadlineTimer;

// Finds folders and links anywhere below a root by the words typed: an item matches when each word occurs,
// in any order, in its name, its URL or its description, regardless of case and accents. Results come in
// tree order (a folder, then its children in their stored order, depth first); the root itself is never a
// result.
//
// The index holds the items in tree order and folded copies of the few texts whose folded form is not simply
// their ASCII lower case; every other text is searched where the item keeps it. It does not see the tree
// change: call invalidate() after anything that adds, removes or moves items or changes a name, URL or
// description (imports, New Folder, New URL, Properties, description edits, rename, delete, drag and drop,
// Delete Empty Folders), before the next search. Invalidating is cheap; the index is read again by the next
// search, by buildSome() a slice at a time or by rebuild() at once. A visit (Visits, LastVisit) needs nothing.
//
// Searching a slice at a time goes through a SearchRun (store/SearchRun.h); search() and allLinks() run one
// to the end at once.
class SearchIndex
{
public:
    SearchIndex() = default;
    explicit SearchIndex(LinkItem *root) : m_root(root) { }
    SearchIndex(const SearchIndex &) = delete;
    SearchIndex &operator=(const SearchIndex &) = delete;

    // A new root (or none): the index is read again. The root it already has keeps the index as it is.
    void setRoot(LinkItem *root) noexcept;
    LinkItem *root() const noexcept { return m_root; }

    // Forgets everything read from the tree, which must happen before anyone searches again after the tree
    // changed. Safe while runs are in progress: each one starts over on its next slice without touching
    // what it found before.
    void invalidate() noexcept;
    bool isStale() const noexcept { return !m_built; }
    // Counts the invalidations (and new roots): a run compares it with the one it started under.
    std::uint64_t generation() const noexcept { return m_generation; }

    // Reads the whole tree now.
    void rebuild();
    // Reads the tree a slice at a time until the deadline passes, and returns true once the index is built
    // (at once when it is). Each call does some work even when the deadline has passed, and checks the
    // deadline every few thousand items. An invalidation in between starts the reading over.
    bool buildSome(const QDeadlineTimer &deadline);
    // How far building has got, from 0 to 1; while the tree is walked this is an estimate from the last
    // build's size.
    double buildProgress() const noexcept;

    // True when the query holds something to search for; an empty or blank query means "no search".
    static bool hasWords(const QString &query);

    // The items that hold every word of the query; none for a query without words.
    std::vector<LinkItem *> search(const QString &query);

    // Every link below the root, in tree order; a stale index walks the tree for it instead of rebuilding.
    std::vector<LinkItem *> allLinks();

    // Items below the root (folders and links); builds the index when it is stale.
    int itemCount();

    // The bytes the index holds on the heap (the item list, folded copies and the last results kept for
    // typing on), for measurements.
    size_t memoryBytes() const noexcept;

private:
    friend class SearchRun;

    using EntryList = std::vector<std::uint32_t>;

    enum class BuildStep { Start, Walk, Check };

    // Looks at the texts of the next items until about `budget` work is done.
    void checkTexts(size_t budget);
    // The index must be built. `foldedAt` is where the search stands in the list of folded entries; the
    // entries asked about must ascend from one call to the next with the same `foldedAt`.
    bool holdsAll(size_t entry, const std::vector<std::string> &words, size_t &foldedAt) const;
    std::vector<std::string> rarestFirst(const std::vector<std::string> &words) const;
    // The previous results when every word of the previous query is part of a word of `words`: whatever
    // matches `words` is among them, which is what typing on does. None otherwise.
    std::shared_ptr<const EntryList> narrowedFrom(const std::vector<std::string> &words) const;
    void remember(std::vector<std::string> words, std::shared_ptr<const EntryList> matches);

    LinkItem *m_root = nullptr;
    std::uint64_t m_generation = 0;
    bool m_built = false;
    BuildStep m_step = BuildStep::Start;
    TreeWalk m_walk;
    size_t m_checked = 0; // items whose texts were looked at for folded copies
    size_t m_lastCount = 0; // items of the last build, for progress

    std::vector<LinkItem *> m_items; // tree order
    EntryList m_foldedEntries; // ascending: the items whose folded texts m_folded holds, one entry each
    FoldedHaystack m_folded;

    std::vector<std::string> m_lastWords;
    std::shared_ptr<const EntryList> m_lastMatches;
};
