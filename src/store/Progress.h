#pragma once

#include <functional>

// Called now and then while a long read or write works (an import, an export, the native reader): the
// folders and links read or written so far. Returning false cancels the work; what was read so far
// stays in place, and a file being written is not created.
using Progress = std::function<bool(int folders, int links)>;
