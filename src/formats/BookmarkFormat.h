#pragma once

#include "formats/ExportReport.h"
#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QList>
#include <QString>

class LinkItem;
class QIODevice;

// The file formats that the Import and Export menus and quillmark-tool offer.
enum class BookmarkFormat {
    Native, // our own .qmf files
    BrowserHtml, // <!DOCTYPE NETSCAPE-Bookmark-file-1>, as every browser imports and exports
    OperaHotlist, // .adr
    Xbel, // XML Bookmark Exchange Language
    Favorites, // a directory of Internet shortcut files
    Page, // a printable HTML page (export only)
};

// What the commands of one format show (menu entries, hints, help contexts, the file dialog's settings) and the
// reader and writer that do the work. An empty import or export title means the format has no such command here.
// The table lists the formats in the order of the Import and Export menus.
struct BookmarkFormatInfo
{
    // Reads a file of the format into target's children; writes folder's subtree as a file of the format.
    using Reader = ImportReport (*)(QIODevice &device, LinkItem &target, const Progress &progress);
    using Writer = ExportReport (*)(QIODevice &device, const LinkItem &folder, const Progress &progress);

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
    int menuGroup; // the menus put a separator between groups
    int importHelpContext; // 0: the menu's own
    int exportHelpContext;
    Reader read; // none for a folder of shortcuts, and for a format that is not imported
    Writer write; // none for a folder of shortcuts, and for our own files, which are saved as the collection is

    bool canImport() const { return !importTitle.isEmpty(); }
    bool canExport() const { return !exportTitle.isEmpty(); }

    static const QList<BookmarkFormatInfo> &all();
    static const BookmarkFormatInfo &of(BookmarkFormat format);
    // nullptr for a name that is none of ours.
    static const BookmarkFormatInfo *byToolName(const QString &name);
};
