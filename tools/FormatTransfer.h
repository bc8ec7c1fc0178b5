#pragma once

#include "formats/BookmarkFormat.h"

#include <QString>

class LinkItem;
struct ImportReport;

// quillmark-tool's export and import: bookmark files of every format to and from a folder of a
// collection file. Each returns the program's exit status (Commands::ExitStatus).
namespace FormatTransfer {

// Writes the folder at folderPath (names joined by "\", empty for the root) of dataFile to out.
int exportFolder(const BookmarkFormatInfo &format, const QString &folderPath, const QString &dataFile,
                 const QString &out);

// Adds what in holds to the folder at folderPath of dataFile and writes dataFile atomically. Refuses
// while a running Quillmark holds dataFile.
int importInto(const BookmarkFormatInfo &format, const QString &folderPath, const QString &in, const QString &dataFile);

// The second half of importInto, for what was read by other means: moves imported's children into the
// folder at folderPath of dataFile and writes dataFile; in names the source in messages.
int addImported(LinkItem &imported, const ImportReport &report, const QString &in, const QString &folderPath,
                const QString &dataFile);

} // namespace FormatTransfer
