#include "store/DateConverter.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace {
constexpr qint64 SecsPerDay = 24 * 60 * 60;
constexpr qint64 MsecsPerDay = SecsPerDay * 1000;
constexpr qint64 OleDayOf1970 = 25569; // 1970-01-01 counted from 1899-12-30
constexpr qint64 FirstSecond = -59011459200; // 0100-01-01 00:00:00 UTC
constexpr qint64 LastSecond = 253402300799; // 9999-12-31 23:59:59 UTC
const QDate Epoch(1899, 12, 30);
// QDate covers far more, but beyond ten thousand years a stored value is certainly garbage.
constexpr double OleLimit = 3'000'000.0;

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

qint64 roundedSeconds(qint64 msecs)
{
    return floorDiv(msecs + 500, 1000);
}

bool isDate(double oleDate)
{
    return oleDate != 0.0 && std::isfinite(oleDate) && std::fabs(oleDate) <= OleLimit;
}

// The day (counted from the epoch) and the milliseconds into it of a date. Before the epoch the fraction
// still counts forward from midnight: -1.25 is 1899-12-29 06:00.
void split(double oleDate, qint64 *day, qint64 *msecs)
{
    const double days = std::trunc(oleDate);
    *msecs = std::llround(std::fabs(oleDate - days) * MsecsPerDay);
    *day = static_cast<qint64>(days);
    if (*msecs >= MsecsPerDay) { // rounding reached the next midnight
        *msecs -= MsecsPerDay;
        ++*day;
    }
}
} // namespace

QDateTime DateConverter::toDateTime(double oleDate)
{
    if (!isDate(oleDate))
        return {};
    qint64 day = 0;
    qint64 msecs = 0;
    split(oleDate, &day, &msecs);
    return QDateTime(Epoch.addDays(day), QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)));
}

double DateConverter::fromDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const QDateTime local = dateTime.toLocalTime();
    const double days = static_cast<double>(Epoch.daysTo(local.date()));
    const double fraction = static_cast<double>(local.time().msecsSinceStartOfDay()) / MsecsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

double DateConverter::now()
{
    return fromDateTime(QDateTime::currentDateTime());
}

DateConverter::DateConverter() : m_zone(QTimeZone::systemTimeZone())
{
    if (!m_zone.isValid())
        return;
    const QDateTime from(QDate(1900, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime to(QDate(2100, 1, 1), QTime(0, 0), Qt::UTC);
    m_offsetBeforeChanges = m_zone.offsetFromUtc(from);
    for (const QTimeZone::OffsetData &change : m_zone.transitions(from, to))
        m_changes.push_back({change.atUtc.toSecsSinceEpoch(), change.offsetFromUtc});
    m_tableFrom = from.toSecsSinceEpoch();
    m_tableTo = to.toSecsSinceEpoch();
}

int DateConverter::offsetAt(qint64 secondsSinceEpoch) const
{
    if (secondsSinceEpoch >= m_tableFrom && secondsSinceEpoch < m_tableTo) {
        // The last change at or before the instant decides.
        const auto after = std::upper_bound(m_changes.begin(), m_changes.end(), secondsSinceEpoch,
                                            [](qint64 at, const Change &change) { return at < change.at; });
        return after == m_changes.begin() ? m_offsetBeforeChanges : std::prev(after)->offset;
    }
    const QDateTime instant = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::UTC);
    return m_zone.isValid() ? m_zone.offsetFromUtc(instant) : instant.toLocalTime().offsetFromUtc();
}

int DateConverter::offsetOfUtcDay(qint64 utcDay)
{
    if (m_utcDays.empty())
        m_utcDays.assign(CacheSize, Day {std::numeric_limits<qint64>::min(), 0});
    Day &slot = m_utcDays[static_cast<size_t>(utcDay) % CacheSize];
    if (slot.day != utcDay)
        slot = {utcDay, computeUtcDay(utcDay)};
    return slot.offset;
}

int DateConverter::offsetOfLocalDay(qint64 localDay)
{
    if (m_localDays.empty())
        m_localDays.assign(CacheSize, Day {std::numeric_limits<qint64>::min(), 0});
    Day &slot = m_localDays[static_cast<size_t>(localDay) % CacheSize];
    if (slot.day != localDay)
        slot = {localDay, computeLocalDay(localDay)};
    return slot.offset;
}

int DateConverter::computeUtcDay(qint64 utcDay) const
{
    const int start = offsetAt(utcDay * SecsPerDay);
    const int end = offsetAt(utcDay * SecsPerDay + SecsPerDay - 1);
    return start == end ? start : NoSingleOffset;
}

int DateConverter::computeLocalDay(qint64 localDay) const
{
    // A day without a change of offset: the offset found for its local midnight holds from that
    // instant to the day's last second, so every local time of the day is valid and unambiguous.
    const qint64 midnight = localDay * SecsPerDay;
    const int guess = offsetAt(midnight);
    const int offset = offsetAt(midnight - guess);
    const bool single = offsetAt(midnight - offset) == offset && offsetAt(midnight + SecsPerDay - 1 - offset) == offset;
    return single ? offset : NoSingleOffset;
}

double DateConverter::toOleDate(qint64 secondsSinceEpoch)
{
    if (secondsSinceEpoch == 0 || secondsSinceEpoch < FirstSecond || secondsSinceEpoch > LastSecond)
        return 0.0;
    const int offset = offsetOfUtcDay(floorDiv(secondsSinceEpoch, SecsPerDay));
    if (offset == NoSingleOffset)
        return fromDateTime(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch));
    const qint64 local = secondsSinceEpoch + offset;
    const qint64 localDay = floorDiv(local, SecsPerDay);
    const qint64 msecsOfDay = (local - localDay * SecsPerDay) * 1000;
    const double days = static_cast<double>(localDay + OleDayOf1970);
    if (days < 0) // before 1899-12-30 the fraction counts the other way; leave that to fromDateTime
        return fromDateTime(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch));
    return days + static_cast<double>(msecsOfDay) / MsecsPerDay;
}

qint64 DateConverter::toEpochSeconds(double oleDate)
{
    if (!isDate(oleDate))
        return 0;
    if (oleDate > 0) {
        qint64 wholeDays = 0;
        qint64 msecs = 0;
        split(oleDate, &wholeDays, &msecs); // the rounding of toDateTime
        const qint64 localDay = wholeDays - OleDayOf1970;
        const int offset = offsetOfLocalDay(localDay);
        if (offset != NoSingleOffset)
            return roundedSeconds(localDay * MsecsPerDay + msecs - qint64(offset) * 1000);
    }
    const QDateTime dateTime = toDateTime(oleDate);
    if (!dateTime.isValid())
        return 0;
    const qint64 seconds = roundedSeconds(dateTime.toMSecsSinceEpoch());
    return seconds >= FirstSecond && seconds <= LastSecond ? seconds : 0;
}
