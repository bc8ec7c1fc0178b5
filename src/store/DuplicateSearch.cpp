#include "store/DuplicateSearch.h"

#include "store/LinkItem.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <string_view>

namespace {

constexpr std::uint32_t None = std::numeric_limits<std::uint32_t>::max();
// Items between two looks at the clock.
constexpr std::uint32_t Batch = 256;

// Splits links whose keys hash alike into the groups of equal keys, in the order of their first links.
void splitByKey(const std::vector<LinkItem *> &links, const UrlKey &key, std::vector<Duplicates::Group> &groups)
{
    std::vector<Duplicates::Group> found;
    std::string text;
    for (LinkItem *link : links) {
        key.make(link->Url, text);
        auto it = std::find_if(found.begin(), found.end(),
                               [&](const Duplicates::Group &group) { return group.url == text; });
        if (it == found.end())
            found.push_back({text, {link}});
        else
            it->links.push_back(link);
    }
    for (Duplicates::Group &group : found) {
        if (group.links.size() > 1)
            groups.push_back(std::move(group));
    }
}

} // namespace

DuplicateSearch::DuplicateSearch(const LinkItem *folder, const UrlKey &key) : m_key(key)
{
    m_walk.start(folder);
}

int DuplicateSearch::percentCompared() const
{
    if (m_stage == Stage::Done)
        return 100;
    if (m_stage == Stage::Reading || m_links.empty())
        return 0;
    // Hashing is the first half, grouping the second.
    const double half = m_stage == Stage::Hashing ? 0.0 : 50.0;
    return static_cast<int>(half + 50.0 * m_done / static_cast<double>(m_links.size()));
}

bool DuplicateSearch::step(const QDeadlineTimer &deadline)
{
    if (m_stage == Stage::Reading && read(deadline)) {
        if (m_links.size() < 2 || m_links.size() >= None) {
            m_stage = Stage::Done;
        } else {
            const size_t slotCount = std::bit_ceil(m_links.size() * 2);
            m_table.assign(slotCount, None);
            m_next.assign(m_links.size(), None);
            m_last.assign(m_links.size(), None);
            m_done = 0;
            m_stage = Stage::Hashing;
        }
    }
    if (m_stage == Stage::Hashing && hash(deadline)) {
        m_table = {};
        m_hashes = {};
        m_done = 0;
        m_stage = Stage::Grouping;
    }
    if (m_stage == Stage::Grouping && group(deadline)) {
        m_next = {};
        m_last = {};
        m_links = {};
        m_stage = Stage::Done;
    }
    return m_stage == Stage::Done;
}

bool DuplicateSearch::read(const QDeadlineTimer &deadline)
{
    for (std::uint32_t count = 1; !m_walk.atEnd(); ++count) {
        LinkItem *item = m_walk.next();
        if (!item->isFolder() && m_key.make(item->Url, m_text)) {
            m_links.push_back(item);
            m_hashes.push_back(std::hash<std::string_view>()(m_text));
        }
        if (count % Batch == 0 && deadline.hasExpired())
            return m_walk.atEnd();
    }
    return true;
}

bool DuplicateSearch::hash(const QDeadlineTimer &deadline)
{
    const size_t mask = m_table.size() - 1;
    const auto count = static_cast<std::uint32_t>(m_links.size());
    const std::uint32_t start = m_done;
    for (; m_done < count; ++m_done) {
        if (m_done != start && (m_done - start) % (Batch * 16) == 0 && deadline.hasExpired())
            return false;
        const std::uint32_t i = m_done;
        size_t slot = static_cast<size_t>(m_hashes[i] ^ (m_hashes[i] >> 29)) & mask;
        while (true) {
            const std::uint32_t first = m_table[slot];
            if (first == None) {
                m_table[slot] = i;
                m_last[i] = i;
                break;
            }
            if (m_hashes[first] == m_hashes[i]) {
                m_next[m_last[first]] = i;
                m_last[first] = i;
                break;
            }
            slot = (slot + 1) & mask;
        }
    }
    return true;
}

bool DuplicateSearch::group(const QDeadlineTimer &deadline)
{
    const auto count = static_cast<std::uint32_t>(m_links.size());
    std::vector<LinkItem *> candidates;
    const std::uint32_t start = m_done;
    for (; m_done < count; ++m_done) {
        if (m_done != start && (m_done - start) % (Batch * 16) == 0 && deadline.hasExpired())
            return false;
        const std::uint32_t i = m_done;
        if (m_last[i] == None || m_next[i] == None)
            continue; // a later link of a chain, or a link alone
        candidates.clear();
        for (std::uint32_t member = i; member != None; member = m_next[member])
            candidates.push_back(m_links[member]);
        splitByKey(candidates, m_key, m_groups);
    }
    return true;
}
