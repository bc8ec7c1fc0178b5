#pragma once

#include <QString>

namespace platform {

// Whether the desktop's handler would run the local file at path rather than show it: a file with the executable
// bit, a program or script by its name (".sh", ".exe", ".jar", ".desktop" and the like, in any case, executable bit
// or not), or a desktop entry by its contents whatever its name. Every name a chain of symbolic links goes by counts,
// as does the file at its end. A missing file or a folder runs nothing.
bool isLaunchableFile(const QString &path);

} // namespace platform
