#pragma once

#include "formats/ExportReport.h"
#include "store/Progress.h"

#include <QByteArray>
#include <QString>

#include <string>

class LinkItem;

// Writes the entries below a folder into a directory as the Favorites import reads them: each folder
// a subdirectory, each link an Internet shortcut file "<name>.url" ("[InternetShortcut]" with
// "URL="). Names are made safe for every common file system (see safeFileName) and numbered
// " (2)", " (3)"... where they would meet a name already there, in any case, so that nothing that is
// in the directory is replaced. Each file is written atomically.
class FavoritesWriter
{
public:
    // Creates directory when it does not exist.
    static ExportReport write(const QString &directory, const LinkItem &folder, const Progress &progress = {});

    // name as a file name: / \ : * ? " < > | and control characters become "_", and so do leading
    // dots (such names are hidden); trailing dots and blanks go; a reserved device name of Windows
    // (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension) gets a "_"; an empty name becomes "_";
    // long names are cut to a length that leaves room for a number and the extension.
    static QString safeFileName(const QString &name);

    // The contents of a shortcut file for url (line breaks in it percent-encoded).
    static QByteArray shortcut(std::string_view url);
};
