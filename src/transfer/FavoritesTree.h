#pragma once

#include <QTreeWidget>

// The folders of a Favorites directory as a tree: a top node "Favorites" for the directory itself and
// one node per folder below it, to any depth, hidden folders left out, the children of every node in
// locale-aware order. Files are not shown. Node captions cannot be edited.
class FavoritesTree : public QTreeWidget
{
    Q_OBJECT
public:
    explicit FavoritesTree(QWidget *parent = nullptr);

    // Reads the whole folder tree below rootPath into new nodes (the old ones go), then selects and
    // expands the top node. An empty rootPath gives no nodes at all.
    void Fill(const QString &rootPath);

    QString rootPath() const { return m_rootPath; }
    QTreeWidgetItem *topNode() const { return topLevelItem(0); }

    // The folder of the selected node: rootPath for the top node (or when nothing is selected), else
    // rootPath, a separator and the captions from below the top node down to the selected node, each
    // followed by a separator.
    QString selectedPath() const;

private:
    void sortAll();

    QString m_rootPath;
    QIcon m_topIcon;
    QIcon m_folderIcon;
};
