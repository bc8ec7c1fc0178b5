#pragma once

// Collections and checks that the format tests share.
#include "store/LinkItem.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

namespace FormatFixtures {

// What a round trip through a format must keep.
struct Kept
{
    bool descriptions = true;
    bool numbers = true; // visits, rating, last visit (to the second)
    bool folderFields = true; // the same for folders
    bool exactLineBreaks = true; // false: any line break may come back as "\n"
};

// Nested folders, empty folders, twin names, non-ASCII and Windows-1252 names, multi-line descriptions,
// markup and quotes in names, URLs and descriptions, zero and non-zero visits, ratings and last visits.
std::unique_ptr<LinkItem> richCollection();

// Fails the running test at the first difference (names and texts compared as they display).
void compareTrees(const LinkItem &expected, const LinkItem &actual, const Kept &kept);

// One line per entry, depth first: "  " per level, then "name/" for a folder or "name <url>" for a link.
QString outline(const LinkItem &folder);

// Every parent pointer, owner and name order below root is sound, no name holds a zero byte or a
// backslash, and the counts match the tree. Fails the running test otherwise.
void checkSound(const LinkItem &root, int folders, int links);

QByteArray readFile(const QString &path);

} // namespace FormatFixtures
