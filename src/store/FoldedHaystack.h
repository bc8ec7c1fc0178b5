#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Folded texts of many entries in one contiguous buffer, searched for words with a fast substring scan.
// Each entry is one or more fields; a word matches inside one field only. An entry matches a query when it
// holds every word of it, in any order. Entries are numbered in the order they were added.
class FoldedHaystack
{
public:
    void clear();
    void reserve(size_t entries, size_t bytes);

    // Starts the next entry; the fields added after it belong to it.
    void beginEntry();
    // Adds a field of stored item bytes (folded here) or of text that is already folded.
    void addStoredField(std::string_view bytes);
    void addFoldedField(std::string_view folded);

    int count() const noexcept { return static_cast<int>(m_starts.size()); }
    size_t bytes() const noexcept { return m_text.size(); }
    // The bytes held on the heap.
    size_t memoryBytes() const noexcept
    {
        return m_text.capacity() + m_starts.capacity() * sizeof(size_t) + m_lastMatches.capacity() * sizeof(int);
    }

    // Ascending numbers of the entries that hold every word. `words` are folded (TextFold::queryWords); no
    // words give no entries. The scan runs on the word that a sample of the text holds least often. When every word of
    // the previous search is part of a word of this one, only the previous matches are searched again, which is what
    // typing on does.
    std::vector<int> find(const std::vector<std::string> &words);
    // Whether one entry holds every word (folded).
    bool holdsAll(int entry, const std::vector<std::string> &words) const { return entryHoldsAll(entry, words, 0); }

private:
    bool entryHoldsAll(int entry, const std::vector<std::string> &words, size_t skip) const;
    std::vector<std::string> rarestFirst(const std::vector<std::string> &words) const;
    std::vector<int> scanAll(const std::vector<std::string> &words) const;
    std::vector<int> refine(const std::vector<int> &candidates, const std::vector<std::string> &words) const;
    size_t entryEnd(int entry) const noexcept;

    std::string m_text;
    std::vector<size_t> m_starts;

    std::vector<std::string> m_lastWords;
    std::vector<int> m_lastMatches;
};
