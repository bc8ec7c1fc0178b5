#pragma once

#include "formats/BookmarkFormat.h"
#include "formats/ExportReport.h"
#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QString>

class LinkItem;

// The work behind the Import and Export commands of every format, apart from their dialogs: the main
// window asks for the path (BookmarkFormatInfo has the dialog's settings), runs one of these with a
// progress callback (an import's gives the folders and links read so far), relists the folder after an
// import, and shows the texts below.
namespace FormatCommands {

// Adds what the file (for Favorites: the folder) at path holds to target's children. The target's own
// fields are left alone (a native file's top record included).
ImportReport importFrom(BookmarkFormat format, const QString &path, LinkItem &target, const Progress &progress = {});

// Moves every child of from into to's children, where inserting them one by one with InsertSorted would
// put them, in time linear in the number of children of both.
void moveChildren(LinkItem &from, LinkItem &to);

// Writes folder's subtree to path: files through a temporary file that replaces path only once it
// is complete (nothing is left behind when the export fails or is cancelled); for Favorites, into the
// folder path, created when missing.
ExportReport exportTo(BookmarkFormat format, const QString &path, const LinkItem &folder,
                      const Progress &progress = {});

// For the status bar: "2 folders and 12 links imported", and how many links were skipped when some were.
QString importSummary(const ImportReport &report);

// For a message box after an import that was not complete: what was added and what was skipped;
// empty when the import was complete.
QString importProblems(const QString &path, const ImportReport &report);

} // namespace FormatCommands
