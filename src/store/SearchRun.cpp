#include "store/SearchRun.h"

#include "store/LinkItem.h"
#include "store/SearchIndex.h"
#include "store/TextFold.h"

#include <QDeadlineTimer>

#include <algorithm>

namespace {

// Items looked at between two looks at the deadline.
constexpr size_t ScanChunk = 2048;

} // namespace

SearchRun::SearchRun(SearchIndex &index, Kind kind) : m_index(&index), m_kind(kind) { }

SearchRun::SearchRun(SearchIndex &index, const QString &query) : SearchRun(index, Kind::Search)
{
    m_queryWords = TextFold::queryWords(query);
    if (m_queryWords.empty()) {
        // The next search starts afresh, as after an empty search field.
        index.remember({}, nullptr);
        m_phase = Phase::Finished;
    }
}

SearchRun SearchRun::allLinks(SearchIndex &index)
{
    return SearchRun(index, Kind::AllLinks);
}

SearchRun::~SearchRun() = default;

bool SearchRun::runSome(const QDeadlineTimer &deadline)
{
    if (finished())
        return true;
    if (m_phase != Phase::Waiting && m_generation != m_index->generation())
        startOver();
    if (m_phase == Phase::Waiting) {
        if (m_kind == Kind::Search && m_index->isStale()) {
            m_buildsIndex = true;
            if (!m_index->buildSome(deadline) || deadline.hasExpired())
                return false;
        }
        start();
    }
    return m_phase == Phase::Walking ? walkSome(deadline) : scanSome(deadline);
}

// Everything found so far may name items that are gone: forget it without looking at it.
void SearchRun::startOver()
{
    m_phase = Phase::Waiting;
    m_candidates.reset();
    m_walk.clear();
    m_entries.clear();
    m_matches.clear();
}

void SearchRun::start()
{
    SearchIndex &index = *m_index;
    m_generation = index.generation();
    m_next = 0;
    m_foldedAt = 0;
    if (m_kind == Kind::AllLinks && index.isStale()) {
        // Listing needs no folded texts: walk the tree rather than build the index.
        m_walk.start(index.root());
        m_total = index.m_lastCount;
        m_phase = Phase::Walking;
        return;
    }
    if (m_kind == Kind::Search) {
        m_candidates = index.narrowedFrom(m_queryWords);
        m_words = index.rarestFirst(m_queryWords);
    }
    m_total = m_candidates ? m_candidates->size() : index.m_items.size();
    // Nearly every item of a collection is a link: room for them all at once rather than copies as they come.
    if (m_kind == Kind::AllLinks)
        m_matches.reserve(m_total);
    m_phase = Phase::Scanning;
}

bool SearchRun::walkSome(const QDeadlineTimer &deadline)
{
    do {
        for (size_t n = 0; n < ScanChunk && !m_walk.atEnd(); ++n) {
            LinkItem *item = m_walk.next();
            ++m_next;
            if (!item->isFolder())
                m_matches.push_back(item);
        }
        if (m_walk.atEnd()) {
            finish();
            return true;
        }
    } while (!deadline.hasExpired());
    return false;
}

bool SearchRun::scanSome(const QDeadlineTimer &deadline)
{
    const SearchIndex &index = *m_index;
    const std::vector<LinkItem *> &items = index.m_items;
    do {
        const size_t end = std::min(m_total, m_next + ScanChunk);
        for (; m_next < end; ++m_next) {
            const std::uint32_t entry = m_candidates ? (*m_candidates)[m_next] : static_cast<std::uint32_t>(m_next);
            LinkItem *item = items[entry];
            const bool match
                = m_kind == Kind::AllLinks ? !item->isFolder() : index.holdsAll(entry, m_words, m_foldedAt);
            if (match) {
                if (m_kind == Kind::Search)
                    m_entries.push_back(entry);
                m_matches.push_back(item);
            }
        }
        if (m_next == m_total) {
            finish();
            return true;
        }
    } while (!deadline.hasExpired());
    return false;
}

void SearchRun::finish()
{
    m_phase = Phase::Finished;
    m_candidates.reset();
    m_walk.clear();
    if (m_kind == Kind::Search) {
        m_entries.shrink_to_fit();
        m_index->remember(std::move(m_queryWords),
                          std::make_shared<const std::vector<std::uint32_t>>(std::move(m_entries)));
    }
}

double SearchRun::progress() const noexcept
{
    switch (m_phase) {
    case Phase::Waiting: // building the index, if it was stale
        return m_buildsIndex ? 0.5 * m_index->buildProgress() : 0.0;
    case Phase::Walking: // the size of the last build, if any, is the best guess
        return m_total ? std::min(0.99, static_cast<double>(m_next) / static_cast<double>(m_total)) : 0.0;
    case Phase::Scanning: {
        const double scanned = m_total ? static_cast<double>(m_next) / static_cast<double>(m_total) : 1.0;
        return m_buildsIndex ? 0.5 + 0.5 * scanned : scanned;
    }
    case Phase::Finished:
        break;
    }
    return 1.0;
}
