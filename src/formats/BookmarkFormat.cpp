#include "formats/BookmarkFormat.h"

#include "formats/BookmarkHtmlReader.h"
#include "formats/BookmarkHtmlWriter.h"
#include "formats/NativeImport.h"
#include "formats/OperaHotlistReader.h"
#include "formats/OperaHotlistWriter.h"
#include "formats/PageWriter.h"
#include "formats/XbelReader.h"
#include "formats/XbelWriter.h"

#include <QCoreApplication>
#include <QDateTime>

namespace {
ExportReport writePage(QIODevice &device, const LinkItem &folder, const Progress &progress)
{
    return PageWriter::write(device, folder, QDateTime::currentDateTime(), progress);
}
} // namespace

const QList<BookmarkFormatInfo> &BookmarkFormatInfo::all()
{
    static const QList<BookmarkFormatInfo> formats = {
        {BookmarkFormat::Native, QStringLiteral("qmf"),
         QCoreApplication::translate("BookmarkFormat", "&Quillmark File..."),
         QCoreApplication::translate("BookmarkFormat", "Imports quillmark file into the repository"),
         QCoreApplication::translate("BookmarkFormat", "Import Quillmark File"),
         QCoreApplication::translate("BookmarkFormat", "&Quillmark File..."),
         QCoreApplication::translate("BookmarkFormat", "Exports all or part of the repository into quillmark file"),
         QCoreApplication::translate("BookmarkFormat", "Export Quillmark File"),
         QCoreApplication::translate("BookmarkFormat", "Quillmark Files (*.qmf)"), QStringLiteral("qmf"), false, 0,
         1021, 1031, &NativeImport::read, nullptr},
        {BookmarkFormat::Favorites, QStringLiteral("favorites"),
         QCoreApplication::translate("BookmarkFormat", "Internet Explorer &Favorites..."),
         QCoreApplication::translate("BookmarkFormat", "Imports internet explorer favorites into the repository"),
         QCoreApplication::translate("BookmarkFormat", "Import Internet Explorer Favorites"),
         QCoreApplication::translate("BookmarkFormat", "Internet Explorer &Favorites..."),
         QCoreApplication::translate("BookmarkFormat",
                                     "Exports all or part of the repository into internet explorer favorites"),
         QCoreApplication::translate("BookmarkFormat", "Export Internet Explorer Favorites"), QString(), QString(),
         true, 1, 1022, 0, nullptr, nullptr},
        {BookmarkFormat::BrowserHtml, QStringLiteral("html"),
         QCoreApplication::translate("BookmarkFormat", "&Mozilla Bookmarks..."),
         QCoreApplication::translate("BookmarkFormat", "Imports mozilla bookmarks into the repository"),
         QCoreApplication::translate("BookmarkFormat", "Import Mozilla Bookmarks"),
         QCoreApplication::translate("BookmarkFormat", "&Mozilla Bookmarks..."),
         QCoreApplication::translate("BookmarkFormat", "Exports all or part of the repository into mozilla bookmarks"),
         QCoreApplication::translate("BookmarkFormat", "Export Mozilla Bookmarks"),
         QCoreApplication::translate("BookmarkFormat", "Bookmark Files (*.html *.htm)"), QStringLiteral("html"), false,
         1, 0, 0, &BookmarkHtmlReader::read, &BookmarkHtmlWriter::write},
        {BookmarkFormat::OperaHotlist, QStringLiteral("opera"),
         QCoreApplication::translate("BookmarkFormat", "&Opera Hotlist..."),
         QCoreApplication::translate("BookmarkFormat", "Imports opera hotlist into the repository"),
         QCoreApplication::translate("BookmarkFormat", "Import Opera Hotlist"),
         QCoreApplication::translate("BookmarkFormat", "&Opera Hotlist..."),
         QCoreApplication::translate("BookmarkFormat", "Exports all or part of the repository into opera hotlist"),
         QCoreApplication::translate("BookmarkFormat", "Export Opera Hotlist"),
         QCoreApplication::translate("BookmarkFormat", "Opera Hotlist Files (*.adr)"), QStringLiteral("adr"), false, 1,
         0, 0, &OperaHotlistReader::read, &OperaHotlistWriter::write},
        {BookmarkFormat::Xbel, QStringLiteral("xbel"),
         QCoreApplication::translate("BookmarkFormat", "&XBEL Bookmarks..."),
         QCoreApplication::translate("BookmarkFormat", "Imports XBEL bookmarks into the repository"),
         QCoreApplication::translate("BookmarkFormat", "Import XBEL Bookmarks"),
         QCoreApplication::translate("BookmarkFormat", "&XBEL Bookmarks..."),
         QCoreApplication::translate("BookmarkFormat", "Exports all or part of the repository into XBEL bookmarks"),
         QCoreApplication::translate("BookmarkFormat", "Export XBEL Bookmarks"),
         QCoreApplication::translate("BookmarkFormat", "XBEL Files (*.xbel *.xml)"), QStringLiteral("xbel"), false, 2,
         0, 0, &XbelReader::read, &XbelWriter::write},
        {BookmarkFormat::Page, QStringLiteral("page"), QString(), QString(), QString(),
         QCoreApplication::translate("BookmarkFormat", "&HTML File..."),
         QCoreApplication::translate("BookmarkFormat", "Exports all or part of the repository into html file"),
         QCoreApplication::translate("BookmarkFormat", "Export HTML File"),
         QCoreApplication::translate("BookmarkFormat", "HTML Files (*.html *.htm)"), QStringLiteral("html"), false, 2,
         0, 0, nullptr, &writePage},
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
