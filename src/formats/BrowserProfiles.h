#pragma once

#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QList>
#include <QString>

class LinkItem;

// The browser profiles of the user, and reading one of them.
struct BrowserProfile
{
    enum class Family { Firefox, Chromium };

    Family family = Family::Firefox;
    QString browser; // "Firefox", "LibreWolf", "Chromium", "Brave", ...
    QString name; // "default-release", "Default", "Profile 1"
    QString path; // the profile's folder

    // What an import names its folder: "Firefox (default-release)".
    QString folderName() const { return QStringLiteral("%1 (%2)").arg(browser, name); }
    // The file the bookmarks are read from: places.sqlite or Bookmarks.
    QString bookmarksFile() const;
};

namespace BrowserProfiles {

// Every profile with bookmarks below home (and configHome, the XDG configuration folder, normally
// ~/.config): the Firefox family from the profiles.ini of each of their homes (also the snap and
// flatpak ones), the Chromium family from the profile folders of theirs. In the order of the browsers,
// then as the browser lists them.
QList<BrowserProfile> find(const QString &home, const QString &configHome);
// The same for the current user.
QList<BrowserProfile> find();

// The profile at path as the command line names it: a known profile of that folder when there is one,
// else one named after the folder.
BrowserProfile atPath(BrowserProfile::Family family, const QString &path);

// Adds the profile's bookmarks to target's children.
ImportReport read(const BrowserProfile &profile, LinkItem &target, const Progress &progress = {});

} // namespace BrowserProfiles
