#pragma once

#include <QDeadlineTimer>

#include <cstdint>
#include <string_view>
#include <vector>

class LinkItem;

// Compares two texts of the list without regard to case: the letters a to z count as A to Z, every other
// byte counts by its unsigned value. The first differing byte decides (their difference), else the shorter
// text comes first (the difference of the lengths).
int LinkListCompareText(std::string_view a, std::string_view b) noexcept;

// Compares two rows of the list by the sort key (0 Name, 1 URL, 2 Visits, 3 Last Visit, 4 Rating; any other
// key counts as Name). A folder always comes before a link, and the whole result is negated when descending.
// A negative result puts a first.
int LinkListCompare(const LinkItem *a, const LinkItem *b, int sortColumn, bool ascending) noexcept;

// Puts rows in the order of LinkListCompare, stably (rows that compare equal keep their order), a slice at a
// time: a merge sort that can stop after any few thousand steps and go on later, so that a million rows
// never hold the event loop. It reads the items' fields while it runs: whoever changes or destroys an item
// of the rows drops the sort (or starts a new one) before the next slice.
class RowSort
{
public:
    // Sorts rows that it keeps.
    RowSort(std::vector<LinkItem *> &&rows, int sortColumn, bool ascending);
    // Sorts rows that stay the caller's, and must stay as they are while the sort lives.
    RowSort(const std::vector<LinkItem *> *rows, int sortColumn, bool ascending);
    RowSort(const RowSort &) = delete;
    RowSort &operator=(const RowSort &) = delete;

    // Sorts on until done or the deadline has passed; true when done.
    bool runSome(const QDeadlineTimer &deadline);
    // Sorts to the end at once.
    void run() { runSome(QDeadlineTimer::Forever); }
    bool finished() const noexcept { return m_finished; }
    // How far the sort has come, 0 to 100.
    int percentDone() const noexcept;

    int count() const noexcept { return static_cast<int>(m_rows->size()); }
    // The rows as they were given.
    const std::vector<LinkItem *> &rows() const noexcept { return *m_rows; }
    // Once finished: the row that comes to stand at a new row, and its item.
    int oldRowAt(int newRow) const noexcept
    {
        return static_cast<int>(m_entries[static_cast<size_t>(newRow)].row & ~FolderBit);
    }
    // Once finished: the items in their new order.
    std::vector<LinkItem *> items() const;

private:
    // A name or URL sort keeps the text in the entry, so that comparing two rows does not go through their
    // items; the top bit of `row` marks a folder. Small, as a million of them are sorted.
    struct Entry
    {
        const char *text;
        std::uint32_t length;
        std::uint32_t row;
    };
    static constexpr std::uint32_t FolderBit = 0x8000'0000u;

    void countPasses();
    LinkItem *itemOf(const Entry &entry) const noexcept { return (*m_rows)[entry.row & ~FolderBit]; }
    bool before(const Entry &a, const Entry &b) const noexcept;
    bool takeEntries(const QDeadlineTimer &deadline);
    bool sortRuns(const QDeadlineTimer &deadline);
    bool mergePass(const QDeadlineTimer &deadline);

    std::vector<LinkItem *> m_ownRows;
    const std::vector<LinkItem *> *m_rows;
    std::vector<Entry> m_entries;
    std::vector<Entry> m_buffer;
    int m_sortColumn;
    bool m_ascending;
    bool m_byText;
    bool m_finished = false;
    // The first phase sorts runs of RunLength entries; each pass after it merges pairs of runs of m_width
    // into runs twice as long. m_next is where the work of the phase or pass goes on. In the pair being
    // merged, m_left is the position reached in its left run (set aside in m_buffer) and m_right in its
    // right run.
    size_t m_width = 0;
    size_t m_next = 0;
    size_t m_left = 0;
    size_t m_right = 0;
    bool m_leftAside = false;
    int m_passesDone = 0;
    int m_passes = 0;
};
