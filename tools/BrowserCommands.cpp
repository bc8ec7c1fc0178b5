#include "BrowserCommands.h"

#include "Commands.h"
#include "FormatTransfer.h"

#include "formats/BrowserProfiles.h"
#include "store/LinkItem.h"

#include "ToolOutput.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace BrowserCommands {

namespace {
using ToolOutput::printError;

using namespace Commands;

} // namespace

int listProfiles()
{
    QJsonArray array;
    for (const BrowserProfile &profile : BrowserProfiles::find()) {
        LinkItem scratch;
        const ImportReport report = BrowserProfiles::read(profile, scratch);
        QJsonObject entry {
            {QStringLiteral("browser"), profile.browser},
            {QStringLiteral("profile"), profile.name},
            {QStringLiteral("path"), QDir::toNativeSeparators(profile.path)},
            {QStringLiteral("folders"), report.folders},
            {QStringLiteral("links"), report.links},
        };
        if (report.status == ImportReport::Unreadable)
            entry.insert(QStringLiteral("error"), report.errorString());
        array.append(entry);
    }
    const QByteArray json = QJsonDocument(array).toJson(QJsonDocument::Indented);
    if (std::fwrite(json.constData(), 1, json.size(), stdout) != std::size_t(json.size()) || std::fflush(stdout) != 0) {
        printError(QStringLiteral("Cannot write to standard output"));
        return Failure;
    }
    return Success;
}

int importProfile(const QString &browser, const QString &profilePath, const QString &dataFile)
{
    const BrowserProfile profile = BrowserProfiles::atPath(
        browser == QLatin1String("firefox") ? BrowserProfile::Family::Firefox : BrowserProfile::Family::Chromium,
        profilePath);
    LinkItem imported;
    auto folder = LinkItem::MakeFolder(profile.folderName().toStdString());
    ImportReport report = BrowserProfiles::read(profile, *folder);
    if (report.status == ImportReport::Unreadable) {
        printError(report.errorString() + QStringLiteral(" Nothing was imported."));
        return DataDamaged;
    }
    imported.Children.InsertSorted(std::move(folder));
    ++report.folders; // the profile's own folder
    return FormatTransfer::addImported(imported, report, profile.bookmarksFile(), QString(), dataFile);
}

} // namespace BrowserCommands
