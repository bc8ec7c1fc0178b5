#pragma once

#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

class LinkItem;

// Imports a directory tree of Internet shortcut files into a folder, by the rules of the Favorites
// import: every subdirectory becomes a folder (inserted before its contents, kept when empty), every
// file whose INI text holds the key URL in the section InternetShortcut a link named after the file
// without its last extension. Hidden and system entries are skipped with everything below them, and
// so are files that are no shortcuts, silently, and anything that is not a regular file (FIFOs and
// devices, also behind a link, are never opened); a directory reached again through a link is left out,
// so link cycles end. Only a top directory that cannot be opened is an error.
class FavoritesReader
{
public:
    static ImportReport importDirectory(const QString &path, LinkItem &target, const Progress &progress = {});

    // The value of the key "URL" in the section "InternetShortcut" (section and key in any case), with
    // blanks around it and one pair of enclosing quotes removed, cut at a zero byte and to 2047 bytes
    // (never inside a UTF-8 character); none when the key
    // is missing or its value is "non url". UTF-16 files with a byte order mark are read too.
    static std::optional<std::string> shortcutUrl(const QByteArray &contents);

    // Shortcut files are small; larger files are not read.
    static constexpr qint64 MaxShortcutSize = 1 << 20;
};
