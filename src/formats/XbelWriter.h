#pragma once

#include "formats/ExportReport.h"
#include "store/Progress.h"

#include <QByteArray>
#include <QString>

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

    // The file the browsers' sync extension shares, in its exact shape: an id on every folder and bookmark,
    // the highest id in a comment, and on every entry its desc (when there is one) and a metadata element of
    // the given owner inside info. The entries come in the file's order, each folder's before its contents;
    // a folder is open until close(). Deep trees are indented no further than 32 levels, which would grow
    // with the square of the depth.
    class Shared
    {
    public:
        struct Entry
        {
            qint64 id = 0;
            bool folder = false;
            QString title;
            QString url;
            QString description;
            qint32 visits = 0;
            int rating = 0;
            qint64 lastVisit = 0; // seconds since 1970 UTC; 0 = never
        };

        Shared(qint64 highestId, const char *metadataOwner);

        // depth: 0 for an entry right inside xbel.
        void add(const Entry &entry, int depth);
        void close(int depth);
        QByteArray finish();

    private:
        QString m_out;
        QString m_owner;
        QString m_spaces;
    };
};
