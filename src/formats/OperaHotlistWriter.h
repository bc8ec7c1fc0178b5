#pragma once

#include "formats/ExportReport.h"
#include "store/Progress.h"

#include <QByteArray>

class LinkItem;
class QIODevice;

// Writes the entries below a folder as an Opera hotlist in UTF-8: "#FOLDER" and "#URL" blocks with
// NAME, URL, DESCRIPTION and VISITED (LastVisit, seconds since 1970), a line "-" after each folder's
// entries. Line breaks in values are stored as 02 02. The visits and the rating go into keys of our own,
// which OperaHotlistReader restores.
class OperaHotlistWriter
{
public:
    static ExportReport write(QIODevice &device, const LinkItem &folder, const Progress &progress = {});
    static QByteArray toBytes(const LinkItem &folder);
};
