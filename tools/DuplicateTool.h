#pragma once

#include "store/UrlKey.h"

#include <QString>

// quillmark-tool's duplicates and dedupe. Each returns the program's exit status (Commands::ExitStatus).
namespace DuplicateTool {

// Prints the groups of links with the same address below the folder at folderPath (names joined by "\",
// empty for the root) of dataFile, as a JSON array.
int list(const QString &folderPath, UrlKeyOptions options, const QString &dataFile);

// Merges the duplicate folders below the folder at folderPath, then keeps one link of each group of
// duplicates, writes dataFile atomically and prints what went as JSON. Refuses while a running Quillmark
// holds dataFile, and leaves a data file that cannot be read whole alone.
int dedupe(const QString &folderPath, UrlKeyOptions options, const QString &dataFile);

} // namespace DuplicateTool
