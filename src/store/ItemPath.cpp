#include "store/ItemPath.h"

#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QStringList>

#include <algorithm>

namespace ItemPath {

namespace {

// `tail` holds names from the deepest upwards; `complete` says whether its last entry is the root.
QString joinReversed(QStringList tail, bool complete, const QString &rootName)
{
    if (!complete) {
        tail.append(QStringLiteral("\u2026"));
        tail.append(rootName);
    }
    std::reverse(tail.begin(), tail.end());
    return tail.join(QLatin1Char('\\'));
}

bool full(const QStringList &tail, qsizetype length)
{
    return tail.size() > MaxPathFolders || length >= MaxPathLength;
}

} // namespace

QString pathOf(const LinkItem *folder)
{
    if (!folder)
        return {};
    QStringList tail;
    qsizetype length = 0;
    const LinkItem *item = folder;
    for (; item && !full(tail, length); item = item->Parent) {
        tail.append(TextCodec::toDisplay(item->Name));
        length += tail.back().size() + 1;
    }
    if (!item)
        return joinReversed(std::move(tail), true, {});
    const LinkItem *root = item;
    while (root->Parent)
        root = root->Parent;
    // The root may be the next one up: then the path is whole after all.
    if (root == item) {
        tail.append(TextCodec::toDisplay(root->Name));
        return joinReversed(std::move(tail), true, {});
    }
    return joinReversed(std::move(tail), false, TextCodec::toDisplay(root->Name));
}

QString locationOf(const LinkItem *item)
{
    return item ? pathOf(item->Parent) : QString();
}

QString fromNames(const std::vector<QString> &namesFromRoot)
{
    QStringList tail;
    qsizetype length = 0;
    auto it = namesFromRoot.rbegin();
    for (; it != namesFromRoot.rend() && !full(tail, length); ++it) {
        tail.append(*it);
        length += it->size() + 1;
    }
    if (it == namesFromRoot.rend())
        return joinReversed(std::move(tail), true, {});
    if (std::next(it) == namesFromRoot.rend()) {
        tail.append(*it);
        return joinReversed(std::move(tail), true, {});
    }
    return joinReversed(std::move(tail), false, namesFromRoot.front());
}

} // namespace ItemPath
