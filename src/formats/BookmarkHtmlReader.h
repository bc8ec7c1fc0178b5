#pragma once

#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QByteArray>
#include <QString>

class LinkItem;
class QIODevice;

// Reads the bookmark HTML that browsers export (<!DOCTYPE NETSCAPE-Bookmark-file-1>) into a folder:
// H3 headings are folders whose entries follow in a DL list, A elements are links (HREF, LAST_VISIT in
// seconds since 1970, and the visits and rating that our own export adds), a DD after either is its
// description. Separators, icons and every attribute it does not know are passed over.
//
// It forgives what real files get wrong: tags in any case, missing end tags (a folder's list ends at
// the next </DL> or at the end of the file), entities with or without their semicolon, broken quotes
// and comments (see HtmlTokenizer), markup in names (a <script> in a title is kept as text of the
// name, and every bookmark after it is read). The charset comes from a byte order mark or the META
// tag: UTF-8 when there is none, Windows-1252 for one that Qt does not know.
class BookmarkHtmlReader
{
public:
    // Our own attributes, which browsers pass over.
    static constexpr char VisitsAttribute[] = "QUILLMARK_VISITS";
    static constexpr char RatingAttribute[] = "QUILLMARK_RATING";
    // LAST_VISIT values above this (the year 5138) are taken as milliseconds or microseconds, which
    // some programs write; a later date cannot be stored in seconds without being misread.
    static constexpr long long MaxLastVisitSeconds = 100'000'000'000LL;

    static ImportReport read(QIODevice &device, LinkItem &target, const Progress &progress = {});
    static ImportReport readBytes(const QByteArray &bytes, LinkItem &target, const Progress &progress = {});

    // The charset that the byte order mark or the META tag names, lower case; empty when none does.
    static QByteArray declaredCharset(const QByteArray &bytes);
    // The file as UTF-8, decoded by its declared charset.
    static QByteArray toUtf8(const QByteArray &bytes);
};
