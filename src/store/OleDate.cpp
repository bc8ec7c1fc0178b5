#include "store/OleDate.h"

#include <cmath>

namespace OleDate {

namespace {
constexpr qint64 MsecsPerDay = 24 * 60 * 60 * 1000;
const QDate Epoch(1899, 12, 30);
// QDate covers far more, but beyond ten thousand years a stored value is certainly garbage.
constexpr double Limit = 3'000'000.0;
} // namespace

QDateTime toDateTime(double oleDate)
{
    if (oleDate == 0.0 || !std::isfinite(oleDate) || std::fabs(oleDate) > Limit)
        return {};
    // Before the epoch the fraction still counts forward from midnight: -1.25 is 1899-12-29 06:00.
    const double days = std::trunc(oleDate);
    qint64 msecs = std::llround(std::fabs(oleDate - days) * MsecsPerDay);
    qint64 wholeDays = static_cast<qint64>(days);
    if (msecs >= MsecsPerDay) { // rounding reached the next midnight
        msecs -= MsecsPerDay;
        ++wholeDays;
    }
    return QDateTime(Epoch.addDays(wholeDays), QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)));
}

double fromDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const QDateTime local = dateTime.toLocalTime();
    const double days = static_cast<double>(Epoch.daysTo(local.date()));
    const double fraction = static_cast<double>(local.time().msecsSinceStartOfDay()) / MsecsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

double now()
{
    return fromDateTime(QDateTime::currentDateTime());
}

} // namespace OleDate
