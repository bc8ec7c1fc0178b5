#include "formats/BookmarkFormat.h"

const QList<BookmarkFormatInfo> &BookmarkFormatInfo::all()
{
    static const QList<BookmarkFormatInfo> formats = {
        {BookmarkFormat::Native, QStringLiteral("qmf"), QStringLiteral("&Quillmark File..."),
         QStringLiteral("Imports quillmark file into the repository"), QStringLiteral("Import Quillmark File"),
         QStringLiteral("&Quillmark File..."),
         QStringLiteral("Exports all or part of the repository into quillmark file"),
         QStringLiteral("Export Quillmark File"), QStringLiteral("Quillmark Files (*.qmf)"), QStringLiteral("qmf"),
         false},
        {BookmarkFormat::BrowserHtml, QStringLiteral("html"), QStringLiteral("&Mozilla Bookmarks..."),
         QStringLiteral("Imports mozilla bookmarks into the repository"), QStringLiteral("Import Mozilla Bookmarks"),
         QStringLiteral("&Mozilla Bookmarks..."),
         QStringLiteral("Exports all or part of the repository into mozilla bookmarks"),
         QStringLiteral("Export Mozilla Bookmarks"), QStringLiteral("Bookmark Files (*.html *.htm)"),
         QStringLiteral("html"), false},
        {BookmarkFormat::OperaHotlist, QStringLiteral("opera"), QStringLiteral("&Opera Hotlist..."),
         QStringLiteral("Imports opera hotlist into the repository"), QStringLiteral("Import Opera Hotlist"),
         QStringLiteral("&Opera Hotlist..."),
         QStringLiteral("Exports all or part of the repository into opera hotlist"),
         QStringLiteral("Export Opera Hotlist"), QStringLiteral("Opera Hotlist Files (*.adr)"), QStringLiteral("adr"),
         false},
        {BookmarkFormat::Xbel, QStringLiteral("xbel"), QStringLiteral("&XBEL Bookmarks..."),
         QStringLiteral("Imports XBEL bookmarks into the repository"), QStringLiteral("Import XBEL Bookmarks"),
         QStringLiteral("&XBEL Bookmarks..."),
         QStringLiteral("Exports all or part of the repository into XBEL bookmarks"),
         QStringLiteral("Export XBEL Bookmarks"), QStringLiteral("XBEL Files (*.xbel *.xml)"), QStringLiteral("xbel"),
         false},
        {BookmarkFormat::Favorites, QStringLiteral("favorites"), QStringLiteral("Internet Explorer &Favorites..."),
         QStringLiteral("Imports internet explorer favorites into the repository"),
         QStringLiteral("Import Internet Explorer Favorites"), QStringLiteral("Internet Explorer &Favorites..."),
         QStringLiteral("Exports all or part of the repository into internet explorer favorites"),
         QStringLiteral("Export Internet Explorer Favorites"), QString(), QString(), true},
        {BookmarkFormat::Page, QStringLiteral("page"), QString(), QString(), QString(), QStringLiteral("&HTML File..."),
         QStringLiteral("Exports all or part of the repository into html file"), QStringLiteral("Export HTML File"),
         QStringLiteral("HTML Files (*.html *.htm)"), QStringLiteral("html"), false},
    };
    return formats;
}

const BookmarkFormatInfo &BookmarkFormatInfo::of(BookmarkFormat format)
{
    for (const BookmarkFormatInfo &info : all()) {
        if (info.format == format)
            return info;
    }
    return all().constFirst();
}

const BookmarkFormatInfo *BookmarkFormatInfo::byToolName(const QString &name)
{
    for (const BookmarkFormatInfo &info : all()) {
        if (info.toolName == name)
            return &info;
    }
    return nullptr;
}
