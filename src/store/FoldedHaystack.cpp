#include "store/FoldedHaystack.h"

#include "store/SubstringScan.h"
#include "store/TextFold.h"

#include <algorithm>
#include <utility>

namespace {

const char *findIn(const char *first, const char *last, const std::string &needle)
{
    return SubstringScan::find(first, last, needle);
}

// Every word of `previous` lies inside some word of `words`: whatever matches `words` matched `previous`.
bool narrows(const std::vector<std::string> &previous, const std::vector<std::string> &words)
{
    return std::all_of(previous.begin(), previous.end(), [&](const std::string &old) {
        return std::any_of(words.begin(), words.end(),
                           [&](const std::string &word) { return word.find(old) != std::string::npos; });
    });
}

} // namespace

void FoldedHaystack::clear()
{
    m_text.clear();
    m_starts.clear();
    m_lastWords.clear();
    m_lastMatches.clear();
}

void FoldedHaystack::reserve(size_t entries, size_t bytes)
{
    m_starts.reserve(entries);
    m_text.reserve(bytes);
}

void FoldedHaystack::beginEntry()
{
    m_starts.push_back(m_text.size());
    m_lastWords.clear();
    m_lastMatches.clear();
}

// Every field ends with a zero byte, which no folded word holds, so no match reaches into the next field
// or entry.
void FoldedHaystack::addStoredField(std::string_view bytes)
{
    TextFold::appendFoldedStored(m_text, bytes);
    m_text.push_back('\0');
}

void FoldedHaystack::addFoldedField(std::string_view folded)
{
    m_text.append(folded);
    m_text.push_back('\0');
}

size_t FoldedHaystack::entryEnd(int entry) const noexcept
{
    const auto next = static_cast<size_t>(entry) + 1;
    return next < m_starts.size() ? m_starts[next] : m_text.size();
}

bool FoldedHaystack::entryHoldsAll(int entry, const std::vector<std::string> &words, size_t skip) const
{
    const char *first = m_text.data() + m_starts[static_cast<size_t>(entry)];
    const char *last = m_text.data() + entryEnd(entry);
    for (size_t w = skip; w < words.size(); ++w) {
        if (!findIn(first, last, words[w]))
            return false;
    }
    return true;
}

std::vector<int> FoldedHaystack::scanAll(const std::vector<std::string> &words) const
{
    // Scan the whole text for the first (longest) word; at each hit, look for the others inside that
    // entry only, then go on from the next entry.
    std::vector<int> matches;
    const char *text = m_text.data();
    const char *end = text + m_text.size();
    const char *from = text;
    auto cursor = m_starts.begin();
    while (from < end) {
        const char *hit = findIn(from, end, words.front());
        if (!hit)
            break;
        const auto offset = static_cast<size_t>(hit - text);
        cursor = std::upper_bound(cursor, m_starts.end(), offset) - 1;
        const auto entry = static_cast<int>(cursor - m_starts.begin());
        if (entryHoldsAll(entry, words, 1))
            matches.push_back(entry);
        from = text + entryEnd(entry);
        ++cursor;
    }
    return matches;
}

std::vector<std::string> FoldedHaystack::rarestFirst(const std::vector<std::string> &words) const
{
    // The whole scan runs on the first word, and every hit of it costs a look at its entry: count each word
    // in a few samples spread over the text and put the one seen least first (the longest on a tie).
    if (words.size() < 2)
        return words;
    constexpr size_t Samples = 4;
    constexpr size_t SampleBytes = 64 * 1024;
    constexpr size_t MaxSampleHits = 1024;
    return TextFold::fewestFirst(words, [&](const std::string &word) {
        size_t hits = 0;
        for (size_t sample = 0; sample < Samples; ++sample) {
            const char *first = m_text.data() + m_text.size() / Samples * sample;
            const char *last = first + std::min(SampleBytes, m_text.size() / Samples);
            size_t inSample = 0;
            for (const char *hit = first; inSample < MaxSampleHits && (hit = findIn(hit, last, word)); ++hit)
                ++inSample;
            hits += inSample;
        }
        return hits;
    });
}

std::vector<int> FoldedHaystack::refine(const std::vector<int> &candidates, const std::vector<std::string> &words) const
{
    std::vector<int> matches;
    for (const int entry : candidates) {
        if (entryHoldsAll(entry, words, 0))
            matches.push_back(entry);
    }
    return matches;
}

std::vector<int> FoldedHaystack::find(const std::vector<std::string> &words)
{
    if (words.empty() || m_starts.empty()) {
        m_lastWords.clear();
        m_lastMatches.clear();
        return {};
    }
    // Refining many candidates one entry at a time costs more than one scan of the whole text.
    const bool refining
        = !m_lastWords.empty() && narrows(m_lastWords, words) && m_lastMatches.size() <= m_starts.size() / 8;
    std::vector<int> matches = refining ? refine(m_lastMatches, words) : scanAll(rarestFirst(words));
    m_lastWords = words;
    m_lastMatches = matches;
    return matches;
}
