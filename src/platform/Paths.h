#pragma once

#include <QString>

namespace platform {

// The user's application-data folder with a trailing separator ($XDG_DATA_HOME, default
// ~/.local/share); empty when the system has none.
QString appDataPath();

// The folder of the running program with a trailing separator.
QString installPath();

} // namespace platform
