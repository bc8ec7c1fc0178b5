#pragma once

#include "store/FoldedHaystack.h"

#include <QAbstractListModel>
#include <QIcon>

#include <unordered_map>
#include <vector>

class LinkItem;

// Every folder of a tree as one row showing its path ("Quillmark\Work\Projects"), in tree order, narrowed by
// a filter: a folder stays when its path holds every word of the filter, in any order, regardless of case
// and accents. The rows refer to the folders and do not own them; the tree must not change while the model
// shows it.
class FolderPathModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit FolderPathModel(QObject *parent = nullptr);

    // Reads the folders of the tree below root (root included); none empties the model.
    void setRoot(LinkItem *root);
    void setFilter(const QString &filter);
    QString filter() const { return m_filter; }

    // All folders, whatever the filter.
    int folderCount() const { return static_cast<int>(m_folders.size()); }

    LinkItem *folderAt(int row) const;
    // The row showing the folder, or -1 when the filter hides it or it is not in the tree.
    int rowOf(const LinkItem *folder) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    struct Folder
    {
        LinkItem *item;
        QString path;
    };

    std::vector<Folder> m_folders;
    std::unordered_map<const LinkItem *, int> m_numberOf;
    FoldedHaystack m_haystack;
    QString m_filter;
    // The folders shown, by their number in m_folders, ascending; all of them while there is no filter.
    std::vector<int> m_shown;
    bool m_showsAll = true;
    QIcon m_folderIcon;
};
