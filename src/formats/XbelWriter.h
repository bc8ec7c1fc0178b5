#pragma once

#include "formats/ExportReport.h"
#include "store/Progress.h"

#include <QByteArray>

class LinkItem;
class QIODevice;

// Writes the entries below a folder as XBEL 1.0 in UTF-8: folder and bookmark elements with title and
// desc, href and visited (LastVisit in UTC, to the second) on bookmarks, and our own metadata element
// (visits, rating, a folder's last visit) in info. Carriage returns are written as references, so
// that descriptions keep their line breaks exactly; characters XML cannot hold become U+FFFD.
class XbelWriter
{
public:
    static ExportReport write(QIODevice &device, const LinkItem &folder, const Progress &progress = {});
    static QByteArray toBytes(const LinkItem &folder);
};
