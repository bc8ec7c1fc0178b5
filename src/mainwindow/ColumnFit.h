#pragma once

#include "settings/ColumnInfo.h"

class QFontMetrics;

// The list's columns for a start without stored widths: each as wide as what it usually holds (a name
// or address of about thirty characters, a visit count of five digits, a date and time in the locale's
// form) or as its caption, whichever is wider.
namespace ColumnFit {

// Room around a cell's text: the margins the styles draw on both sides.
constexpr int CellPadding = 16;
// Room a caption leaves for the sort arrow.
constexpr int SortMarkRoom = 20;
// Room before a name for its icon.
constexpr int IconRoom = 22;
constexpr int NameCharacters = 30;
constexpr int UrlCharacters = 32;

// The widths for cells and captions measured with these fonts; captions are the texts as shown. The
// visits, date and rating columns get their width; the name and address share what is left of available
// (up to their usual width, down to their caption's).
ColumnLayout firstStart(const QFontMetrics &cells, const QFontMetrics &captions, int available);

// The part of what is left that goes to the name; the address gets the rest.
constexpr int NameSharePercent = 45;

// The text of the widest usual cell of a column ("99999" for visits, a late date of the year with a
// time for the last visit), as the list shows it now.
QString usualText(int column);

} // namespace ColumnFit
