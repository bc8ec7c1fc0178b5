#include "formats/BrowserProfiles.h"

#include "formats/ChromiumBookmarksReader.h"
#include "formats/FirefoxPlacesReader.h"
#include "formats/IniReader.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace {

constexpr int MaxFirefoxProfiles = 100;

const QString PlacesFile = QStringLiteral("places.sqlite");
const QString BookmarksFile = QStringLiteral("Bookmarks");

struct Home
{
    const char *browser;
    const char *folder;
    bool inConfig; // below configHome rather than home
};

// Where each Firefox-family browser keeps its profiles.ini.
constexpr Home FirefoxHomes[] = {
    {"Firefox", "mozilla/firefox", true},
    {"Firefox", ".mozilla/firefox", false},
    {"Firefox", "snap/firefox/common/.mozilla/firefox", false},
    {"Firefox", ".var/app/org.mozilla.firefox/.mozilla/firefox", false},
    {"Firefox", ".var/app/org.mozilla.firefox/config/mozilla/firefox", false},
    {"LibreWolf", ".librewolf", false},
    {"LibreWolf", ".var/app/io.gitlab.librewolf-community/.librewolf", false},
    {"Waterfox", ".waterfox", false},
    {"Waterfox", ".var/app/net.waterfox.waterfox/.waterfox", false},
};

// Where each Chromium-family browser keeps its profile folders.
constexpr Home ChromiumHomes[] = {
    {"Chrome", "google-chrome", true},
    {"Chrome", ".var/app/com.google.Chrome/config/google-chrome", false},
    {"Chromium", "chromium", true},
    {"Chromium", "snap/chromium/common/chromium", false},
    {"Chromium", ".var/app/org.chromium.Chromium/config/chromium", false},
    {"Brave", "BraveSoftware/Brave-Browser", true},
    {"Brave", "snap/brave/current/.config/BraveSoftware/Brave-Browser", false},
    {"Brave", ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser", false},
    {"Edge", "microsoft-edge", true},
    {"Edge", ".var/app/com.microsoft.Edge/config/microsoft-edge", false},
    {"Vivaldi", "vivaldi", true},
    {"Vivaldi", ".var/app/com.vivaldi.Vivaldi/config/vivaldi", false},
    {"Opera", "opera", true},
    {"Opera", "snap/opera/current/.config/opera", false},
    {"Opera", ".var/app/com.opera.Opera/config/opera", false},
};

QString folderOf(const Home &home, const QString &homePath, const QString &configHome)
{
    return QDir(home.inConfig ? configHome : homePath).filePath(QString::fromUtf8(home.folder));
}

void addFirefox(QList<BrowserProfile> &found, QSet<QString> &seen, const QString &browser, const QString &folder)
{
    const QString ini = QDir(folder).filePath(QStringLiteral("profiles.ini"));
    if (!QFileInfo(ini).isFile())
        return;
    for (int i = 0; i < MaxFirefoxProfiles; ++i) {
        const QByteArray section = "Profile" + QByteArray::number(i);
        const QByteArray path = IniReader::profileString(ini, section, "Path", {});
        if (path.isEmpty())
            continue;
        const bool relative = IniReader::profileString(ini, section, "IsRelative", "1") != "0";
        const QString pathText = QString::fromUtf8(path);
        const QString profile = relative ? QDir(folder).filePath(pathText) : pathText;
        const QString canonical = QFileInfo(profile).canonicalFilePath();
        if (canonical.isEmpty() || seen.contains(canonical) || !QFileInfo(QDir(profile).filePath(PlacesFile)).isFile())
            continue;
        seen.insert(canonical);
        QString name = QString::fromUtf8(IniReader::profileString(ini, section, "Name", {}));
        if (name.isEmpty())
            name = QFileInfo(profile).fileName();
        found.append({BrowserProfile::Family::Firefox, browser, name, QDir::cleanPath(profile)});
    }
}

void addChromium(QList<BrowserProfile> &found, QSet<QString> &seen, const QString &browser, const QString &folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return;
    QStringList candidates {QString()}; // the folder itself: Opera keeps its one profile there
    candidates += dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : candidates) {
        const QString profile = entry.isEmpty() ? dir.path() : dir.filePath(entry);
        if (!QFileInfo(QDir(profile).filePath(BookmarksFile)).isFile())
            continue;
        const QString canonical = QFileInfo(profile).canonicalFilePath();
        if (seen.contains(canonical))
            continue;
        seen.insert(canonical);
        found.append({BrowserProfile::Family::Chromium, browser, entry.isEmpty() ? QStringLiteral("Default") : entry,
                      QDir::cleanPath(profile)});
    }
}

} // namespace

QString BrowserProfile::bookmarksFile() const
{
    return QDir(path).filePath(family == Family::Firefox ? PlacesFile : BookmarksFile);
}

namespace BrowserProfiles {

QList<BrowserProfile> find(const QString &home, const QString &configHome)
{
    QList<BrowserProfile> found;
    QSet<QString> seen;
    for (const Home &entry : FirefoxHomes)
        addFirefox(found, seen, QString::fromUtf8(entry.browser), folderOf(entry, home, configHome));
    for (const Home &entry : ChromiumHomes)
        addChromium(found, seen, QString::fromUtf8(entry.browser), folderOf(entry, home, configHome));
    return found;
}

QList<BrowserProfile> find()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::home().filePath(QStringLiteral(".config"));
    return find(QDir::homePath(), config);
}

BrowserProfile atPath(BrowserProfile::Family family, const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    for (const BrowserProfile &profile : find()) {
        if (profile.family == family && !canonical.isEmpty()
            && QFileInfo(profile.path).canonicalFilePath() == canonical)
            return profile;
    }
    QString name = QFileInfo(QDir::cleanPath(path)).fileName();
    // Firefox names its profile folders "<random>.<profile name>".
    if (family == BrowserProfile::Family::Firefox && name.contains(u'.'))
        name = name.section(u'.', 1);
    return {family, family == BrowserProfile::Family::Firefox ? QStringLiteral("Firefox") : QStringLiteral("Chromium"),
            name, QDir::cleanPath(path)};
}

ImportReport read(const BrowserProfile &profile, LinkItem &target, const Progress &progress)
{
    if (profile.family == BrowserProfile::Family::Firefox)
        return FirefoxPlacesReader::read(profile.bookmarksFile(), target, progress);
    return ChromiumBookmarksReader::read(profile.bookmarksFile(), target, progress);
}

} // namespace BrowserProfiles
