#pragma once

#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QByteArray>
#include <QString>

class LinkItem;
class QIODevice;

// Reads XBEL (the XML Bookmark Exchange Language) into a folder, or for the sync into its own tree: folder and bookmark
// elements with their title and desc, the bookmark's href and visited (a date and time) attributes, and our own
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

    // What a file holds, told as it is read to whatever builds something of it: folders and bookmarks right
    // inside the xbel element or a folder, the title, desc and info right inside them, the metadata elements
    // right inside such an info, and the comments right inside xbel. Texts and attributes are as the file has
    // them; everything else is passed over.
    class Handler
    {
    public:
        struct Entry
        {
            bool folder = false;
            QString id;
            QString href; // a bookmark's
            QString visited; // a bookmark's
        };
        struct Metadata
        {
            QString owner;
            QString visits;
            QString rating;
            QString visited;
            bool hasVisited = false;
        };

        virtual ~Handler() = default;
        // A folder or bookmark begins; what follows belongs to it until leave().
        virtual void enter(const Entry &entry) = 0;
        virtual void leave() = 0;
        // Of the folder or bookmark entered last.
        virtual void title(const QString &text) = 0;
        virtual void description(const QString &text) = 0;
        virtual void metadata(const Metadata &metadata) = 0;
        // An alias, with how far the file has been read (in characters).
        virtual void alias(const QString &ref, qint64 characters);
        virtual void comment(const QString &text);
        // After each piece of the file, with how far it has been read; false stops the reading.
        virtual bool advance(qint64 characters);
    };

    struct Parse
    {
        enum class End { Complete, Broken, Stopped };
        End end = End::Complete;
        bool sawXbel = false; // the document's element was xbel
        QString error; // the XML's complaint, when broken
        qint64 line = 0; // where it broke
    };

    // Reads the whole file, or up to where the XML breaks or the handler stops it. Nesting of any depth is
    // read without recursion.
    static Parse parse(QIODevice &device, Handler &handler);
};
