#pragma once

#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QString>

class LinkItem;

// Reads the bookmarks of a Firefox-family profile from its places.sqlite, through a snapshot (see
// SqliteSnapshot), so a running browser is neither disturbed nor read half-way through a change.
// The menu, toolbar, other and mobile roots become folders of Firefox's names for them; separators
// are skipped; a page's visit count and last visit become Visits and LastVisit. The bookmark's keyword
// and tags go into its Description, one line each: "Keyword: deb" and "Tags: linux, news".
// A database that cannot be read adds nothing; the report names the file. So does one whose tables are
// views (which could run without end) or that holds more rows than any browser keeps.
namespace FirefoxPlacesReader {

ImportReport read(const QString &placesPath, LinkItem &target, const Progress &progress = {});

} // namespace FirefoxPlacesReader
