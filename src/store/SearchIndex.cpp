#include "store/SearchIndex.h"

#include "store/LinkItem.h"
#include "store/SearchRun.h"
#include "store/SubstringScan.h"
#include "store/TextFold.h"

#include <QDeadlineTimer>

#include <algorithm>

namespace {

// Items walked between two looks at the deadline.
constexpr size_t WalkChunk = 4096;
// Work between two looks at the deadline while texts are checked: an item counts one, a text folded the
// slow way (accents, other scripts) as many.
constexpr size_t CheckChunk = 4096;
constexpr size_t SlowFoldCost = 32;

// Every word of `previous` lies inside some word of `words`: whatever matches `words` matched `previous`.
bool narrows(const std::vector<std::string> &previous, const std::vector<std::string> &words)
{
    return std::all_of(previous.begin(), previous.end(), [&](const std::string &old) {
        return std::any_of(words.begin(), words.end(),
                           [&](const std::string &word) { return word.find(old) != std::string::npos; });
    });
}

// The texts of an item without folded copies are their folded form but for the case of A to Z.
bool holdsCaseless(const ItemText &text, const std::string &word)
{
    return SubstringScan::findCaseless(text.begin(), text.end(), word) != nullptr;
}

} // namespace

void SearchIndex::setRoot(LinkItem *root) noexcept
{
    if (root == m_root)
        return;
    m_root = root;
    invalidate();
}

void SearchIndex::invalidate() noexcept
{
    ++m_generation;
    m_built = false;
    m_step = BuildStep::Start;
    m_walk.clear();
    m_items.clear();
    m_checked = 0;
    m_foldedEntries.clear();
    m_folded.clear();
    m_lastWords.clear();
    m_lastMatches.reset();
}

void SearchIndex::rebuild()
{
    invalidate();
    buildSome(QDeadlineTimer(QDeadlineTimer::Forever));
}

bool SearchIndex::buildSome(const QDeadlineTimer &deadline)
{
    if (m_built)
        return true;
    if (m_step == BuildStep::Start) {
        m_walk.start(m_root);
        m_step = BuildStep::Walk;
    }
    do {
        if (m_step == BuildStep::Walk) {
            for (size_t n = 0; n < WalkChunk && !m_walk.atEnd(); ++n)
                m_items.push_back(m_walk.next());
            if (m_walk.atEnd()) {
                m_step = BuildStep::Check;
                m_items.shrink_to_fit();
            }
        } else {
            checkTexts(CheckChunk);
            if (m_checked == m_items.size()) {
                m_built = true;
                m_lastCount = m_items.size();
                return true;
            }
        }
    } while (!deadline.hasExpired());
    return false;
}

// Looks at the texts of the next items, until about `budget` work is done. An item gets folded copies of its
// texts only when one of them folds to something else than its ASCII lower case (accents, ligatures, some
// other scripts); the texts of all others are searched where they are.
void SearchIndex::checkTexts(size_t budget)
{
    size_t spent = 0;
    for (; m_checked < m_items.size() && spent < budget; ++m_checked) {
        const LinkItem *item = m_items[m_checked];
        const std::string_view texts[] = {item->Name, item->Url, item->Description};
        bool plain = true;
        for (const std::string_view text : texts) {
            if (TextFold::isAscii(text))
                continue;
            spent += SlowFoldCost;
            if (!TextFold::foldsToAsciiLower(text))
                plain = false;
        }
        ++spent;
        if (plain)
            continue;
        m_foldedEntries.push_back(static_cast<std::uint32_t>(m_checked));
        m_folded.beginEntry();
        for (const std::string_view text : texts)
            m_folded.addStoredField(text);
    }
}

double SearchIndex::buildProgress() const noexcept
{
    if (m_built)
        return 1.0;
    if (m_step == BuildStep::Walk) {
        const double expected = static_cast<double>(std::max(m_lastCount, m_items.size() + 1));
        return 0.5 * static_cast<double>(m_items.size()) / expected;
    }
    if (m_step == BuildStep::Start || m_items.empty())
        return 0.0;
    return 0.5 + 0.5 * static_cast<double>(m_checked) / static_cast<double>(m_items.size());
}

bool SearchIndex::holdsAll(size_t entry, const std::vector<std::string> &words, size_t &foldedAt) const
{
    while (foldedAt < m_foldedEntries.size() && m_foldedEntries[foldedAt] < entry)
        ++foldedAt;
    if (foldedAt < m_foldedEntries.size() && m_foldedEntries[foldedAt] == entry)
        return m_folded.holdsAll(static_cast<int>(foldedAt), words);
    const LinkItem *item = m_items[entry];
    return std::all_of(words.begin(), words.end(), [item](const std::string &word) {
        return holdsCaseless(item->Name, word) || holdsCaseless(item->Url, word)
            || holdsCaseless(item->Description, word);
    });
}

std::vector<std::string> SearchIndex::rarestFirst(const std::vector<std::string> &words) const
{
    // The scan looks for the first word in every item, and for the next only where it found the first: count
    // each word in a few samples spread over the items and put the one seen least first (the longest on a
    // tie).
    if (words.size() < 2 || m_items.empty())
        return words;
    constexpr size_t Samples = 4;
    constexpr size_t SampleItems = 256;
    return TextFold::fewestFirst(words, [&](const std::string &each) {
        const std::vector<std::string> word {each};
        size_t hits = 0;
        for (size_t sample = 0; sample < Samples; ++sample) {
            const size_t first = m_items.size() / Samples * sample;
            const size_t last = std::min(m_items.size(), first + SampleItems);
            size_t foldedAt = 0;
            for (size_t entry = first; entry < last; ++entry)
                hits += holdsAll(entry, word, foldedAt) ? 1 : 0;
        }
        return hits;
    });
}

std::shared_ptr<const SearchIndex::EntryList> SearchIndex::narrowedFrom(const std::vector<std::string> &words) const
{
    if (!m_lastMatches || m_lastWords.empty() || !narrows(m_lastWords, words))
        return nullptr;
    return m_lastMatches;
}

void SearchIndex::remember(std::vector<std::string> words, std::shared_ptr<const EntryList> matches)
{
    m_lastWords = std::move(words);
    m_lastMatches = std::move(matches);
}

bool SearchIndex::hasWords(const QString &query)
{
    return !TextFold::queryWords(query).empty();
}

std::vector<LinkItem *> SearchIndex::search(const QString &query)
{
    SearchRun run(*this, query);
    run.runSome(QDeadlineTimer(QDeadlineTimer::Forever));
    return run.takeMatches();
}

std::vector<LinkItem *> SearchIndex::allLinks()
{
    SearchRun run = SearchRun::allLinks(*this);
    run.runSome(QDeadlineTimer(QDeadlineTimer::Forever));
    return run.takeMatches();
}

int SearchIndex::itemCount()
{
    buildSome(QDeadlineTimer(QDeadlineTimer::Forever));
    return static_cast<int>(m_items.size());
}

size_t SearchIndex::memoryBytes() const noexcept
{
    size_t bytes = m_items.capacity() * sizeof(LinkItem *) + m_foldedEntries.capacity() * sizeof(std::uint32_t)
        + m_folded.memoryBytes();
    if (m_lastMatches)
        bytes += m_lastMatches->capacity() * sizeof(std::uint32_t);
    return bytes;
}
