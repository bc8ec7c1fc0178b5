#pragma once

#include <QString>

// quillmark-tool's commands for the browsers' own profiles. Each returns the program's exit status.
namespace BrowserCommands {

// Prints the profiles found for the current user as a JSON array.
int listProfiles();

// Adds the bookmarks of the profile in folder profile (browser "firefox" or "chromium") to dataFile, as
// a new folder named after the browser and the profile. Refuses while a running Quillmark holds dataFile.
int importProfile(const QString &browser, const QString &profile, const QString &dataFile);

} // namespace BrowserCommands
