#pragma once

#include "formats/ExportReport.h"
#include "store/Progress.h"

#include <QByteArray>

class LinkItem;
class QIODevice;

// Writes the entries below a folder as browser bookmark HTML: the standard header, UTF-8, folders as
// H3 headings with their entries in a DL list, links as A elements, descriptions as DD. Every text and
// attribute is escaped, so a name such as <script> stays text. LAST_VISIT carries LastVisit (seconds
// since 1970); the visits and the rating go into attributes of our own that browsers pass over, so
// that BookmarkHtmlReader restores them.
class BookmarkHtmlWriter
{
public:
    static ExportReport write(QIODevice &device, const LinkItem &folder, const Progress &progress = {});
    static QByteArray toBytes(const LinkItem &folder);
};
