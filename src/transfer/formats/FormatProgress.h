#pragma once

#include <QtGlobal>

#include <functional>

// Called now and then while a file is read: the folders and links added so far. Returning false
// cancels the import; what was read so far stays in place.
using ReadProgress = std::function<bool(int folders, int links)>;

// Called now and then while a file is written: the items written so far out of all of them.
// Returning false cancels the export; a file being written is not created.
using WriteProgress = std::function<bool(qint64 done, qint64 total)>;
