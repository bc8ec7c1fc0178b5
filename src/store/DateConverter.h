#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <QtGlobal>

#include <vector>

// LastVisit values are OLE dates: days since 1899-12-30 00:00 local time, the fraction being the time
// of day; 0 means never. They convert to and from QDateTime (static), and to and from seconds since
// 1970 UTC as browsers store dates: a converter gives the same values as the QDateTime pair, but
// remembers the offset from UTC of each day without a change of offset, so that a hundred thousand
// bookmarks do not each consult the time zone.
class DateConverter
{
public:
    DateConverter();

    // An invalid QDateTime for 0 (never) and for values outside what QDateTime can hold.
    static QDateTime toDateTime(double oleDate);
    // 0 for an invalid QDateTime.
    static double fromDateTime(const QDateTime &dateTime);
    static double now();

    // 0 (never) for 0 and for values before the year 100 or beyond the year 9999.
    double toOleDate(qint64 secondsSinceEpoch);
    // Rounded to the nearest second (before 1970 negative); 0 for never and for values that are no
    // date of the years 100 to 9999.
    qint64 toEpochSeconds(double oleDate);

private:
    // The offset from UTC of local time at an instant.
    int offsetAt(qint64 secondsSinceEpoch) const;
    // The day's offset in seconds, or NoSingleOffset when it changes during the day.
    int offsetOfUtcDay(qint64 utcDay);
    int offsetOfLocalDay(qint64 localDay);

    static constexpr int NoSingleOffset = 1 << 30;

    // The days met last, by day number modulo the size: the days of twenty years never displace
    // one another.
    struct Day
    {
        qint64 day;
        int offset;
    };
    static constexpr size_t CacheSize = 8192;
    int computeUtcDay(qint64 utcDay) const;
    int computeLocalDay(qint64 localDay) const;

    // The zone of local time, asked directly: a local-time QDateTime asks the system, which looks for
    // changes of the zone on the disk each time.
    QTimeZone m_zone;
    // The zone's changes of offset from 1900 to 2100, read once: within those years an instant's offset
    // is a search in this list instead of a question to the zone.
    struct Change
    {
        qint64 at; // seconds since 1970 UTC
        int offset;
    };
    std::vector<Change> m_changes;
    qint64 m_tableFrom = 0;
    qint64 m_tableTo = 0; // none when equal to m_tableFrom
    int m_offsetBeforeChanges = 0;
    std::vector<Day> m_utcDays;
    std::vector<Day> m_localDays;
};
