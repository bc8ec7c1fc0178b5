#pragma once

#include "formats/ExportReport.h"
#include "store/Progress.h"

#include <QByteArray>
#include <QDateTime>

class LinkItem;
class QIODevice;

// Writes a folder's subtree as a readable, printable HTML page that needs nothing else: styles are
// embedded, nested folders are nested sections, links show their name as a link, their URL, their
// description, visits, last visit and rating. Every text and attribute is escaped; the page carries
// a policy that runs no script, and only web, mail and file addresses become links.
class PageWriter
{
public:
    // generated is the time printed in the page's heading.
    static ExportReport write(QIODevice &device, const LinkItem &folder, const QDateTime &generated,
                              const Progress &progress = {});
    static QByteArray toBytes(const LinkItem &folder, const QDateTime &generated);

    // Whether url may be the target of a link in the page (http, https, ftp, mailto, file, news).
    static bool isSafeLinkTarget(std::string_view url);
};
