#pragma once

#include "store/TreeWalk.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class LinkItem;
class QDeadlineTimer;
class SearchIndex;

// One search of a SearchIndex (or the listing of all links), done a slice at a time so that the event loop
// never waits long: call runSome() with a deadline, from a timer for instance, until it returns true. A run
// on a stale index builds the index first, in the same slices. The matches come in tree order as with
// SearchIndex::search(); matches() holds those found so far.
//
// A run may be dropped at any time (a newer keystroke): neither the index nor what it keeps for typing on
// suffers. Only a finished run leaves its results for the next search to narrow.
//
// The index must outlive the run. When the tree changes the caller invalidates the index as always; a run in
// progress then starts over on its next runSome(), and matches() becomes empty before any item is looked at
// again. Matches taken from a run before the invalidation may name destroyed items: drop them (or simply drop
// the run on invalidate and start a new one).
class SearchRun
{
public:
    // A search for the items holding every word of the query; a query without words finishes at once with
    // no matches, and the next search does not narrow earlier results.
    SearchRun(SearchIndex &index, const QString &query);
    // Every link below the index's root, in tree order. A stale index is not built for this: the run walks
    // the tree itself.
    static SearchRun allLinks(SearchIndex &index);

    SearchRun(SearchRun &&) noexcept = default;
    SearchRun &operator=(SearchRun &&) noexcept = default;
    ~SearchRun();

    // Works until the deadline passes or the run is done, and returns finished(). Each call does some work
    // even when the deadline has passed, and checks the deadline every few thousand items.
    bool runSome(const QDeadlineTimer &deadline);
    bool finished() const noexcept { return m_phase == Phase::Finished; }
    // How far the run has got, from 0 to 1 (an estimate while the index is built).
    double progress() const noexcept;

    // The matches found so far (all of them once finished), in tree order.
    const std::vector<LinkItem *> &matches() const noexcept { return m_matches; }
    // Hands the matches found so far over, leaving none here: the next slices add only new ones.
    std::vector<LinkItem *> takeMatches() noexcept
    {
        std::vector<LinkItem *> taken;
        taken.swap(m_matches);
        return taken;
    }

private:
    enum class Phase { Waiting, Walking, Scanning, Finished };
    enum class Kind { Search, AllLinks };
    SearchRun(SearchIndex &index, Kind kind);

    void start();
    void startOver();
    void finish();
    bool scanSome(const QDeadlineTimer &deadline);
    bool walkSome(const QDeadlineTimer &deadline);

    SearchIndex *m_index;
    Kind m_kind;
    Phase m_phase = Phase::Waiting;
    std::uint64_t m_generation = 0;
    bool m_buildsIndex = false; // the index was stale: the run builds it first
    std::vector<std::string> m_queryWords; // as the query gave them
    std::vector<std::string> m_words; // in the order the scan looks for them
    std::shared_ptr<const std::vector<std::uint32_t>> m_candidates; // none: every entry
    size_t m_total = 0;
    size_t m_next = 0;
    size_t m_foldedAt = 0;
    TreeWalk m_walk;
    std::vector<std::uint32_t> m_entries;
    std::vector<LinkItem *> m_matches;
};
