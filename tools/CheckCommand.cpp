#include "CheckCommand.h"

#include "CollectionFile.h"
#include "Commands.h"

#include "linkcheck/LinkChecker.h"
#include "store/ItemPath.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include "ToolFolders.h"
#include "ToolOutput.h"

#include <QDir>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <cstdio>
#include <vector>

namespace CheckCommand {

namespace {
using ToolOutput::nativePath;
using ToolOutput::printError;

using namespace Commands;

// Every link below folder, in the collection's order, without recursion.
std::vector<const LinkItem *> linksBelow(const LinkItem &folder)
{
    std::vector<const LinkItem *> links;
    std::vector<const LinkItem *> pending {&folder};
    while (!pending.empty()) {
        const LinkItem *current = pending.back();
        pending.pop_back();
        for (auto child = current->Children.end(); child != current->Children.begin();) {
            --child;
            if ((*child)->isFolder())
                pending.push_back(child->get());
        }
        for (const auto &child : current->Children) {
            if (!child->isFolder())
                links.push_back(child.get());
        }
    }
    return links;
}

} // namespace

int run(const QString &dataFile, const QString &folderPath, int timeoutSeconds, int jobs)
{
    CollectionFile file(dataFile, OpenPolicies::readAsFarAsItGoes());
    if (!file.isOpen())
        return file.status();
    QString missing;
    const LinkItem *folder = ToolFolders::folderAt(file.top(), folderPath, &missing);
    if (!folder) {
        printError(QStringLiteral("%1 has no folder \"%2\"").arg(nativePath(dataFile), missing));
        return Failure;
    }

    LinkChecker::Options options;
    if (timeoutSeconds > 0)
        options.timeoutMs = timeoutSeconds * 1000;
    if (jobs > 0)
        options.maxRequests = jobs;
    LinkChecker checker(options);
    const std::vector<const LinkItem *> links = linksBelow(*folder);
    for (const LinkItem *link : links)
        checker.add(TextCodec::toDisplay(link->Url));

    std::array<int, LinkCheckResult::OutcomeCount> counts {};
    int rateLimited = 0;
    QObject::connect(&checker, &LinkChecker::linkChecked, [&](int index, const LinkCheckResult &result) {
        const LinkItem *link = links[static_cast<size_t>(index)];
        ++counts[static_cast<size_t>(result.outcome)];
        rateLimited += result.isRateLimited() ? 1 : 0;
        const QJsonObject line {
            {QStringLiteral("path"), ItemPath::locationOf(link)},
            {QStringLiteral("name"), TextCodec::toDisplay(link->Name)},
            {QStringLiteral("url"), checker.url(index)},
            {QStringLiteral("outcome"), LinkCheckResult::outcomeKey(result.outcome)},
            {QStringLiteral("verdict"), result.verdict()},
            {QStringLiteral("status"), result.status},
            {QStringLiteral("finalUrl"), result.finalUrl},
            {QStringLiteral("reason"), result.reason},
        };
        const QByteArray text = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
        std::fflush(stdout);
    });
    QEventLoop loop;
    QObject::connect(&checker, &LinkChecker::finished, &loop, &QEventLoop::quit);
    checker.start();
    if (checker.count() > 0)
        loop.exec();

    std::fputs(QStringLiteral("%1 links checked: %2 ok, %3 moved, %4 redirected, %5 broken, %6 unreachable "
                              "(%8 rate limited), %7 not checked\n")
                   .arg(checker.count())
                   .arg(counts[LinkCheckResult::Ok])
                   .arg(counts[LinkCheckResult::Moved])
                   .arg(counts[LinkCheckResult::Redirected])
                   .arg(counts[LinkCheckResult::Broken])
                   .arg(counts[LinkCheckResult::Unreachable])
                   .arg(counts[LinkCheckResult::NotChecked])
                   .arg(rateLimited)
                   .toLocal8Bit()
                   .constData(),
               stderr);
    return file.status();
}

} // namespace CheckCommand
