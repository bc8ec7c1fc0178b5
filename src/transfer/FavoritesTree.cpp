#include "transfer/FavoritesTree.h"

#include "formats/FolderWalk.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace {
constexpr int IconSize = 16;
}

FavoritesTree::FavoritesTree(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setMouseTracking(true); // hot tracking: the node under the pointer is highlighted
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(IconSize, IconSize));
    setCursor(Qt::ArrowCursor);

    // Image 0 for the top node; images 1 and 2 for a folder node, not selected and selected.
    m_topIcon = QIcon::fromTheme(QStringLiteral("user-bookmarks"), style()->standardIcon(QStyle::SP_DirHomeIcon));
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    m_folderIcon.addPixmap(closed.pixmap(IconSize), QIcon::Normal);
    m_folderIcon.addPixmap(open.pixmap(IconSize), QIcon::Selected);
}

void FavoritesTree::Fill(const QString &rootPath)
{
    clear();
    m_rootPath = rootPath;
    if (rootPath.isEmpty())
        return;

    auto *top = new QTreeWidgetItem(this, QStringList {QCoreApplication::translate("FavoritesTree", "Favorites")});
    top->setIcon(0, m_topIcon);
    FolderWalk walk(FolderWalk::FoldersOnly);
    walk.run(
        rootPath, top,
        [this](QTreeWidgetItem *parent, const FolderWalk::Entry &entry) {
            auto *node = new QTreeWidgetItem(parent, QStringList {entry.name});
            node->setIcon(0, m_folderIcon);
            return node;
        },
        [](QTreeWidgetItem *, const FolderWalk::Entry &) {});
    sortAll();
    setCurrentItem(top);
    top->setExpanded(true);
}

void FavoritesTree::sortAll()
{
    // Every level by caption, with the locale's comparison; the file system's order does not show.
    const auto byCaption = [](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        return QString::localeAwareCompare(a->text(0), b->text(0)) < 0;
    };
    std::vector<QTreeWidgetItem *> pending;
    for (int i = 0; i < topLevelItemCount(); ++i)
        pending.push_back(topLevelItem(i));
    while (!pending.empty()) {
        QTreeWidgetItem *node = pending.back();
        pending.pop_back();
        if (node->childCount() == 0)
            continue;
        QList<QTreeWidgetItem *> children = node->takeChildren();
        std::stable_sort(children.begin(), children.end(), byCaption);
        node->addChildren(children);
        pending.insert(pending.end(), children.begin(), children.end());
    }
}

QString FavoritesTree::selectedPath() const
{
    const QList<QTreeWidgetItem *> selected = selectedItems();
    const QTreeWidgetItem *node = selected.isEmpty() ? nullptr : selected.constFirst();
    if (!node || !node->parent())
        return m_rootPath;
    QString path;
    for (; node->parent(); node = node->parent())
        path = node->text(0) + QLatin1Char('/') + path;
    return FolderWalk::withSeparator(m_rootPath) + path;
}
