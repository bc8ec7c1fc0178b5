#pragma once

#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QByteArray>

class LinkItem;
class QIODevice;

// Reads XBEL (the XML Bookmark Exchange Language) into a folder: folder and bookmark elements with
// their title and desc, the bookmark's href and visited (a date and time) attributes, and our own
// metadata element (visits, rating, a folder's last visit) inside info. An alias becomes a copy of
// the bookmark it names when that bookmark came before it, while all the copies together take no more
// than a few times the file (beyond that, without the description, or not at all). Separators and
// unknown elements are passed over. Broken XML is read up to where it breaks.
class XbelReader
{
public:
    // The owner of our metadata elements.
    static constexpr char MetadataOwner[] = "urn:x-quillmark:metadata";

    static ImportReport read(QIODevice &device, LinkItem &target, const Progress &progress = {});
    static ImportReport readBytes(const QByteArray &bytes, LinkItem &target, const Progress &progress = {});
};
