#pragma once

#include <QDateTime>

// LastVisit values are OLE dates: days since 1899-12-30 00:00 local time, the fraction being the
// time of day; 0 means never.
namespace OleDate {

// An invalid QDateTime for 0 (never) and for values outside what QDateTime can hold.
QDateTime toDateTime(double oleDate);
double fromDateTime(const QDateTime &dateTime);
double now();

} // namespace OleDate
