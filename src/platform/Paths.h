#pragma once

#include <QFileDevice>
#include <QString>
#include <QStringList>

namespace platform {

// The user's application-data folder with a trailing separator ($XDG_DATA_HOME, default
// ~/.local/share); empty when the system has none.
QString appDataPath();

// The folder of the running program with a trailing separator.
QString installPath();

// The user's Internet Explorer Favorites folder, as found: the string value "Shell Folders/Favorites" of
// the program's settings (top level, beside the "1.0" group) when it is there and not empty; otherwise the
// first existing folder of ~/Favorites and ~/.wine/drive_c/users/<user>/Favorites; otherwise empty.
// The settings value is returned as stored, whether or not the folder exists.
QString favoritesPath();

// Where the program may keep the files that live only while it runs (its lock and its socket), best first:
// the user's runtime folder ($XDG_RUNTIME_DIR, or the per-user folder the system falls back to) when there
// is one that only the user can use, then "Quillmark" in the user's cache folder. Never a folder that other
// users can write to, such as the temporary folder; the cache one may not exist yet and must go through
// makePrivateFolder before use. Empty when the user has neither.
QStringList runtimeFolders();

// The permissions a new file of the user gets when it asks for `wanted`: `wanted` less the process's
// file-creation mask where the system has one.
QFileDevice::Permissions userFilePermissions(QFileDevice::Permissions wanted);

} // namespace platform
