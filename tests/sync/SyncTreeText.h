#pragma once

// A synced tree as one line of text, for comparing in tests: each node depth-first as
// "id parent F|B title <url>" with our fields when set, separated by "; ".
#include "sync/SyncTree.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

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

// The other way: a tree from that text (descriptions of one word). Nodes carry our fields unless
// extras is false; the highest id is that of the nodes unless given.
inline SyncTree treeFrom(const QString &text, bool extras = true, qint64 highest = 0)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(-?\\d+) (-?\\d+) ([FB]) (.*?)(?: <([^>]*)>)?(?: d=(\\S*))?(?: v=(\\d+))?(?: r=(\\d))?$"));
    SyncTree tree;
    qint64 order = 0;
    for (const QString &part : text.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = pattern.match(part);
        if (!match.hasMatch())
            qFatal("not a node: %s", qPrintable(part));
        SyncNode node;
        node.id = match.captured(1).toLongLong();
        node.parent = match.captured(2).toLongLong();
        node.folder = match.captured(3) == u"F";
        node.title = match.captured(4);
        node.url = match.captured(5);
        node.description = match.captured(6);
        node.visits = match.captured(7).toInt();
        node.rating = match.captured(8).toInt();
        node.hasExtras = extras;
        node.order = order++;
        if (!tree.add(node))
            qFatal("cannot add: %s", qPrintable(part));
    }
    tree.setHighestId(std::max(highest, tree.highestId()));
    return tree;
}
