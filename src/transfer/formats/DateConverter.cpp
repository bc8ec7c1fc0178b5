#include "transfer/formats/DateConverter.h"

#include "store/OleDate.h"

#include <QDateTime>

#include <cmath>

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

int DateConverter::offsetOfUtcDay(qint64 utcDay)
{
    const auto it = m_utcDays.constFind(utcDay);
    if (it != m_utcDays.constEnd())
        return *it;
    const int start = QDateTime::fromSecsSinceEpoch(utcDay * SecsPerDay).offsetFromUtc();
    const int end = QDateTime::fromSecsSinceEpoch(utcDay * SecsPerDay + SecsPerDay - 1).offsetFromUtc();
    const int offset = start == end ? start : NoSingleOffset;
    m_utcDays.insert(utcDay, offset);
    return offset;
}

int DateConverter::offsetOfLocalDay(qint64 localDay)
{
    const auto it = m_localDays.constFind(localDay);
    if (it != m_localDays.constEnd())
        return *it;
    const QDate date = QDate(1970, 1, 1).addDays(localDay);
    const QDateTime start(date, QTime(0, 0));
    const QDateTime end(date, QTime(23, 59, 59));
    // A day without a change of offset has the same offset at both ends, and its local times are
    // all valid and unambiguous.
    int offset = NoSingleOffset;
    if (start.isValid() && end.isValid() && start.offsetFromUtc() == end.offsetFromUtc()
        && start.secsTo(end) == SecsPerDay - 1)
        offset = start.offsetFromUtc();
    m_localDays.insert(localDay, offset);
    return offset;
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
