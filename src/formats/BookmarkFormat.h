#pragma once

#include <QList>
#include <QString>

// The file formats that the Import and Export menus and quillmark-tool offer.
enum class BookmarkFormat {
    Native, // our own .qmf files
    BrowserHtml, // <!DOCTYPE NETSCAPE-Bookmark-file-1>, as every browser imports and exports
    OperaHotlist, // .adr
    Xbel, // XML Bookmark Exchange Language
    Favorites, // a directory of Internet shortcut files
    Page, // a printable HTML page (export only)
};

// What the commands of one format show: menu entries, hints and the file dialog's settings. An empty
// import or export title means the format has no such command here.
struct BookmarkFormatInfo
{
    BookmarkFormat format;
    QString toolName; // the FORMAT of quillmark-tool
    QString importMenuText;
    QString importHint;
    QString importTitle;
    QString exportMenuText;
    QString exportHint;
    QString exportTitle;
    QString filter; // "Bookmark Files (*.html *.htm)"
    QString defaultSuffix; // without the dot
    bool isDirectory; // the source or destination is a folder, not a file

    bool canImport() const { return !importTitle.isEmpty(); }
    bool canExport() const { return !exportTitle.isEmpty(); }

    static const QList<BookmarkFormatInfo> &all();
    static const BookmarkFormatInfo &of(BookmarkFormat format);
    // nullptr for a name that is none of ours.
    static const BookmarkFormatInfo *byToolName(const QString &name);
};
