#pragma once

#include <QHash>
#include <QtGlobal>

// LastVisit (an OLE date in local time) to and from seconds since 1970 UTC, as browsers store dates.
// Gives the same values as OleDate, but remembers the offset from UTC of each day without a change
// of offset, so that a hundred thousand bookmarks do not each consult the time zone.
class DateConverter
{
public:
    // 0 (never) for 0 and for values before the year 100 or beyond the year 9999.
    double toOleDate(qint64 secondsSinceEpoch);
    // Rounded to the nearest second (before 1970 negative); 0 for never and for values that are no
    // date of the years 100 to 9999.
    qint64 toEpochSeconds(double oleDate);

private:
    // The day's offset in seconds, or NoSingleOffset when it changes during the day.
    int offsetOfUtcDay(qint64 utcDay);
    int offsetOfLocalDay(qint64 localDay);

    static constexpr int NoSingleOffset = 1 << 30;
    QHash<qint64, int> m_utcDays;
    QHash<qint64, int> m_localDays;
};
