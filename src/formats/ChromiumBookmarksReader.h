#pragma once

#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QByteArray>
#include <QHash>
#include <QString>

class LinkItem;

// Reads the bookmarks of a Chromium-family profile: the JSON "Bookmarks" file with its roots (bookmark
// bar, other, synced) and, when the profile has one, the visit counts of its "History" database (read
// through a snapshot, see SqliteSnapshot). A bookmark's last use becomes its LastVisit, else the last
// visit History knows. A Bookmarks file that cannot be read whole adds nothing; the report names it. A
// History that cannot be read only leaves the visit counts out, and the report says so.
namespace ChromiumBookmarksReader {

struct Visits
{
    qint64 count = 0;
    qint64 last = 0; // microseconds since 1601, as Chromium keeps times
};

// bookmarksPath is the "Bookmarks" file; History is looked for beside it.
ImportReport read(const QString &bookmarksPath, LinkItem &target, const Progress &progress = {});

// The JSON alone, with the visits known for each address (for the fuzzer and the tests).
ImportReport readBytes(const QByteArray &json, LinkItem &target, const QHash<QByteArray, Visits> &visits = {},
                       const Progress &progress = {});

} // namespace ChromiumBookmarksReader
