#include "mainwindow/RowSort.h"

#include "settings/ColumnInfo.h"
#include "store/LinkItem.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Runs this long are sorted in one go before the merging starts: a fraction of a millisecond each.
constexpr size_t RunLength = 1024;
// Merge steps between two looks at the clock.
constexpr int StepsPerCheck = 4096;

inline int foldCase(char c) noexcept
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') ? byte - ('a' - 'A') : byte;
}

int compareDates(double a, double b) noexcept
{
    // A stored date that is not a number would make the order inconsistent and the sort unsafe:
    // such values sort after every real date and equal to each other.
    const bool aNan = std::isnan(a);
    const bool bNan = std::isnan(b);
    if (aNan || bNan)
        return static_cast<int>(aNan) - static_cast<int>(bNan);
    return a > b ? 1 : (a == b ? 0 : -1);
}

bool sortsByText(int sortColumn) noexcept
{
    return sortColumn != VisitsColumn && sortColumn != LastVisitColumn && sortColumn != RatingColumn;
}

} // namespace

int LinkListCompareText(std::string_view a, std::string_view b) noexcept
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const int ca = foldCase(a[i]);
        const int cb = foldCase(b[i]);
        if (ca != cb)
            return ca - cb;
    }
    const auto difference = static_cast<long long>(a.size()) - static_cast<long long>(b.size());
    return static_cast<int>(std::clamp<long long>(difference, -INT_MAX, INT_MAX));
}

int LinkListCompare(const LinkItem *a, const LinkItem *b, int sortColumn, bool ascending) noexcept
{
    int result;
    if (a->isFolder() != b->isFolder()) {
        result = a->isFolder() ? -1 : 1;
    } else {
        switch (sortColumn) {
        case UrlColumn:
            result = LinkListCompareText(a->Url, b->Url);
            break;
        case VisitsColumn:
            // The sign of A minus B, without the overflow of the subtraction.
            result = (a->Visits > b->Visits) - (a->Visits < b->Visits);
            break;
        case LastVisitColumn:
            result = compareDates(a->LastVisit, b->LastVisit);
            break;
        case RatingColumn:
            result = static_cast<int>(a->Rating) - static_cast<int>(b->Rating);
            break;
        default:
            result = LinkListCompareText(a->Name, b->Name);
            break;
        }
    }
    return ascending ? result : -result;
}

RowSort::RowSort(std::vector<LinkItem *> &&rows, int sortColumn, bool ascending)
    : m_ownRows(std::move(rows)), m_rows(&m_ownRows), m_sortColumn(sortColumn), m_ascending(ascending),
      m_byText(sortsByText(sortColumn))
{
    countPasses();
}

RowSort::RowSort(const std::vector<LinkItem *> *rows, int sortColumn, bool ascending)
    : m_rows(rows), m_sortColumn(sortColumn), m_ascending(ascending), m_byText(sortsByText(sortColumn))
{
    countPasses();
}

void RowSort::countPasses()
{
    for (size_t width = RunLength; width < m_rows->size(); width *= 2)
        ++m_passes;
}

bool RowSort::takeEntries(const QDeadlineTimer &deadline)
{
    // Reading a million items' texts takes a while of its own.
    m_entries.reserve(m_rows->size());
    while (m_entries.size() < m_rows->size()) {
        const size_t end = std::min(m_entries.size() + RunLength * 4, m_rows->size());
        for (size_t row = m_entries.size(); row < end; ++row) {
            const LinkItem *item = (*m_rows)[row];
            const std::string_view text
                = m_byText ? std::string_view(m_sortColumn == UrlColumn ? item->Url : item->Name) : std::string_view();
            m_entries.push_back({text.data(), static_cast<std::uint32_t>(text.size()),
                                 static_cast<std::uint32_t>(row) | (item->isFolder() ? FolderBit : 0)});
        }
        if (deadline.hasExpired() && m_entries.size() < m_rows->size())
            return false;
    }
    return true;
}

bool RowSort::before(const Entry &a, const Entry &b) const noexcept
{
    if (!m_byText)
        return LinkListCompare(itemOf(a), itemOf(b), m_sortColumn, m_ascending) < 0;
    const bool aFolder = a.row & FolderBit;
    const bool bFolder = b.row & FolderBit;
    const int result = aFolder != bFolder
        ? (aFolder ? -1 : 1)
        : LinkListCompareText(std::string_view(a.text, a.length), std::string_view(b.text, b.length));
    return m_ascending ? result < 0 : result > 0;
}

bool RowSort::sortRuns(const QDeadlineTimer &deadline)
{
    const size_t count = m_entries.size();
    const auto before = [this](const Entry &a, const Entry &b) { return this->before(a, b); };
    while (m_next < count) {
        const size_t end = std::min(m_next + RunLength, count);
        std::stable_sort(m_entries.begin() + m_next, m_entries.begin() + end, before);
        m_next = end;
        if (deadline.hasExpired() && m_next < count)
            return false;
    }
    return true;
}

bool RowSort::mergePass(const QDeadlineTimer &deadline)
{
    // Each pair merges in place: the left run is copied aside and merged with the right run from the
    // front, which never overtakes the right entries still to be read. The copy aside is at most one run.
    const size_t count = m_entries.size();
    int steps = 0;
    while (m_next < count) {
        const size_t middle = std::min(m_next + m_width, count);
        const size_t end = std::min(m_next + 2 * m_width, count);
        if (!m_leftAside) {
            m_buffer.assign(m_entries.begin() + m_next, m_entries.begin() + middle);
            m_leftAside = true;
            m_left = 0;
            m_right = middle;
        }
        const size_t leftCount = middle - m_next;
        size_t out = m_next + m_left + (m_right - middle);
        // On a tie the left run goes first, which keeps the sort stable.
        while (m_left < leftCount && m_right < end) {
            if (before(m_entries[m_right], m_buffer[m_left]))
                m_entries[out++] = m_entries[m_right++];
            else
                m_entries[out++] = m_buffer[m_left++];
            if (++steps == StepsPerCheck) {
                steps = 0;
                if (deadline.hasExpired())
                    return false;
            }
        }
        // What is left of the right run stands where it belongs already.
        std::copy(m_buffer.begin() + m_left, m_buffer.begin() + leftCount, m_entries.begin() + out);
        m_next = end;
        m_leftAside = false;
    }
    m_width *= 2;
    ++m_passesDone;
    m_next = 0;
    return true;
}

bool RowSort::runSome(const QDeadlineTimer &deadline)
{
    if (m_finished)
        return true;
    const size_t count = rows().size();
    if (m_width == 0) {
        if (!takeEntries(deadline) || !sortRuns(deadline))
            return false;
        m_width = RunLength;
        m_next = 0;
    }
    while (m_width < count) {
        if (!mergePass(deadline))
            return false;
    }
    m_buffer = {};
    m_finished = true;
    return true;
}

int RowSort::percentDone() const noexcept
{
    if (m_finished)
        return 100;
    const double count = static_cast<double>(std::max<size_t>(m_rows->size(), 1));
    // Taking the entries and sorting the runs count as one pass.
    const double first = (static_cast<double>(m_entries.size()) + static_cast<double>(m_next)) / (2 * count);
    const double stage = m_width == 0 ? first : 1 + m_passesDone + static_cast<double>(m_next) / count;
    return static_cast<int>(100 * stage / (m_passes + 1));
}

std::vector<LinkItem *> RowSort::items() const
{
    std::vector<LinkItem *> items;
    items.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        items.push_back(itemOf(entry));
    return items;
}
