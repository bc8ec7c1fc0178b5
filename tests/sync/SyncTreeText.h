#pragma once

// A synced tree as one line of text, for comparing in tests: each node depth-first as
// "id parent F|B title <url>" with our fields when set, separated by "; ".
#include "sync/SyncTree.h"

#include <QStringList>

inline QString treeText(const SyncTree &tree)
{
    QStringList parts;
    std::vector<qint64> pending {SyncTree::RootId};
    while (!pending.empty()) {
        const qint64 id = pending.back();
        pending.pop_back();
        const std::vector<qint64> children = tree.children(id);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back(*it);
        if (id == SyncTree::RootId)
            continue;
        const SyncNode &node = *tree.find(id);
        QString text = QStringLiteral("%1 %2 %3 %4")
                           .arg(QString::number(node.id), QString::number(node.parent),
                                node.folder ? QStringLiteral("F") : QStringLiteral("B"), node.title);
        if (!node.folder)
            text += QStringLiteral(" <") + node.url + u'>';
        if (!node.description.isEmpty())
            text += QStringLiteral(" d=") + node.description;
        if (node.visits)
            text += QStringLiteral(" v=%1").arg(node.visits);
        if (node.rating)
            text += QStringLiteral(" r=%1").arg(node.rating);
        if (node.lastVisit)
            text += QStringLiteral(" t=%1").arg(node.lastVisit);
        parts << text;
    }
    return parts.join(u"; ");
}
