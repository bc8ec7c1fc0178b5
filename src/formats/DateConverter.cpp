#include "formats/DateConverter.h"

#include "store/OleDate.h"

#include <QDateTime>

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
constexpr double OleLimit = 3'000'000.0; // as OleDate

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

qint64 roundedSeconds(qint64 msecs)
{
    return floorDiv(msecs + 500, 1000);
}
} // namespace

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
        return OleDate::fromDateTime(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch));
    const qint64 local = secondsSinceEpoch + offset;
    const qint64 localDay = floorDiv(local, SecsPerDay);
    const qint64 msecsOfDay = (local - localDay * SecsPerDay) * 1000;
    const double days = static_cast<double>(localDay + OleDayOf1970);
    if (days < 0) // before 1899-12-30 the fraction counts the other way; leave that to OleDate
        return OleDate::fromDateTime(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch));
    return days + static_cast<double>(msecsOfDay) / MsecsPerDay;
}

qint64 DateConverter::toEpochSeconds(double oleDate)
{
    if (oleDate == 0.0 || !std::isfinite(oleDate) || std::fabs(oleDate) > OleLimit)
        return 0;
    if (oleDate > 0) {
        // The same rounding as OleDate::toDateTime.
        const double days = std::trunc(oleDate);
        qint64 msecs = std::llround((oleDate - days) * MsecsPerDay);
        qint64 wholeDays = static_cast<qint64>(days);
        if (msecs >= MsecsPerDay) {
            msecs -= MsecsPerDay;
            ++wholeDays;
        }
        const qint64 localDay = wholeDays - OleDayOf1970;
        const int offset = offsetOfLocalDay(localDay);
        if (offset != NoSingleOffset)
            return roundedSeconds(localDay * MsecsPerDay + msecs - qint64(offset) * 1000);
    }
    const QDateTime dateTime = OleDate::toDateTime(oleDate);
    if (!dateTime.isValid())
        return 0;
    const qint64 seconds = roundedSeconds(dateTime.toMSecsSinceEpoch());
    return seconds >= FirstSecond && seconds <= LastSecond ? seconds : 0;
}
