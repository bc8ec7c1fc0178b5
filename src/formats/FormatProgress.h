#pragma once

#include <QtGlobal>

#include <functional>

// Called now and then while a file is read: the folders and links added so far. Returning false
// cancels the import; what was read so far stays in place.
using ReadProgress = std::function<bool(int folders, int links)>;

// Called now and then while a file is written: the folders and links written so far, and how many
// entries there are in all. Returning false cancels the export; a file being written is not created.
using WriteProgress = std::function<bool(int folders, int links, qint64 total)>;
