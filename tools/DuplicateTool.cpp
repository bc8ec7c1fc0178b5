#include "DuplicateTool.h"

#include "CollectionFile.h"
#include "Commands.h"

#include "store/CollectionDocument.h"
#include "store/Duplicates.h"
#include "store/FolderMerge.h"
#include "store/ItemPath.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include "ToolFolders.h"
#include "ToolOutput.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace DuplicateTool {

namespace {
using ToolOutput::nativePath;
using ToolOutput::printError;

using namespace Commands;

// More removed links than this keep the data file as today's backup first, as the program does.
constexpr int LargeRemoval = 100;

bool print(const QJsonValue &value)
{
    const QByteArray json = value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Indented)
                                            : QJsonDocument(value.toObject()).toJson(QJsonDocument::Indented);
    if (std::fwrite(json.constData(), 1, json.size(), stdout) != std::size_t(json.size()) || std::fflush(stdout) != 0) {
        printError(QStringLiteral("Cannot write to standard output"));
        return false;
    }
    return true;
}

// The folder named by path below root: the first folder of each name, from root's children down.
LinkItem *folderAt(LinkItem &root, const QString &path, const QString &dataFile)
{
    QString missing;
    LinkItem *folder = ToolFolders::folderAt(root, path, &missing);
    if (!folder)
        printError(QStringLiteral("%1 has no folder \"%2\"").arg(nativePath(dataFile), missing));
    return folder;
}

QJsonObject linkObject(const LinkItem &link)
{
    return {
        {QStringLiteral("path"), ItemPath::locationOf(&link)},
        {QStringLiteral("name"), TextCodec::toDisplay(link.Name)},
        {QStringLiteral("url"), TextCodec::toDisplay(link.Url)},
        {QStringLiteral("visits"), link.Visits},
        {QStringLiteral("lastVisit"), link.LastVisit},
    };
}

QJsonArray groupsArray(const std::vector<Duplicates::Group> &groups)
{
    QJsonArray array;
    for (const Duplicates::Group &group : groups) {
        QJsonArray links;
        for (const LinkItem *link : group.links)
            links.append(linkObject(*link));
        array.append(
            QJsonObject {{QStringLiteral("url"), TextCodec::toDisplay(group.url)}, {QStringLiteral("links"), links}});
    }
    return array;
}
} // namespace

int list(const QString &folderPath, UrlKeyOptions options, const QString &dataFile)
{
    CollectionFile file(dataFile, OpenPolicies::readWhole());
    if (!file.isOpen())
        return file.status();
    const LinkItem *folder = folderAt(file.top(), folderPath, dataFile);
    if (!folder)
        return Failure;
    return print(groupsArray(Duplicates::find(folder, UrlKey(options)))) ? Success : Failure;
}

int dedupe(const QString &folderPath, UrlKeyOptions options, const QString &dataFile)
{
    CollectionFile file(dataFile, OpenPolicies::dedupe());
    if (!file.isOpen())
        return file.status();
    LinkItem *folder = folderAt(file.top(), folderPath, dataFile);
    if (!folder)
        return Failure;

    CollectionDocument document(&file.top());
    const UrlKey key(options);
    // The folders first, so that the links that stay are in the merged folders.
    const FolderMergePlan plan = FolderMergePlan::of(folder, key);
    QJsonArray mergedFolders;
    for (const auto &[from, into] : plan.merges) {
        mergedFolders.append(QJsonObject {{QStringLiteral("path"), ItemPath::pathOf(from)},
                                          {QStringLiteral("into"), ItemPath::pathOf(into)}});
    }
    QJsonArray removedLinks;
    for (const auto &links : plan.identicalLinks) {
        const LinkItem *kept = Duplicates::keeper(links);
        for (const LinkItem *link : links) {
            if (link != kept)
                removedLinks.append(linkObject(*link));
        }
    }
    ApplyFolderMerge(document, plan);

    const std::vector<Duplicates::Group> groups = Duplicates::find(folder, key);
    std::vector<std::vector<LinkItem *>> links;
    for (const Duplicates::Group &group : groups)
        links.push_back(group.links);
    const std::vector<LinkItem *> others = Duplicates::cleanUp(document, links);
    for (const LinkItem *link : others)
        removedLinks.append(linkObject(*link));
    document.removeItems(others);

    if (!mergedFolders.isEmpty() || !removedLinks.isEmpty()) {
        const bool large = mergedFolders.size() + removedLinks.size() > LargeRemoval;
        QString error;
        if (!file.save(large ? CollectionFile::Backup::First : CollectionFile::Backup::None, &error)) {
            printError(error);
            return Failure;
        }
    }
    return print(QJsonObject {{QStringLiteral("mergedFolders"), mergedFolders},
                              {QStringLiteral("removedLinks"), removedLinks}})
        ? Success
        : Failure;
}

} // namespace DuplicateTool
