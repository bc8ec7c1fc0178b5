#include "mainwindow/FolderPathModel.h"

#include "store/ItemPath.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "store/TextFold.h"
#include "widgets/Icons.h"
#include "widgets/PlainText.h"

#include <algorithm>

FolderPathModel::FolderPathModel(QObject *parent) : QAbstractListModel(parent), m_folderIcon(Icons::folder()) { }

void FolderPathModel::setRoot(LinkItem *root)
{
    beginResetModel();
    m_folders.clear();
    m_numberOf.clear();
    m_haystack.clear();
    m_shown.clear();
    m_showsAll = true;
    if (root) {
        // Depth first without recursion, keeping the display names of the open folders for the paths.
        struct Frame
        {
            LinkItem *folder;
            int next;
        };
        std::vector<Frame> stack {{root, 0}};
        std::vector<QString> names {TextCodec::toDisplay(root->Name)};
        m_folders.push_back({root, ItemPath::fromNames(names)});
        while (!stack.empty()) {
            Frame &top = stack.back();
            if (top.next == top.folder->Children.Count()) {
                stack.pop_back();
                names.pop_back();
                continue;
            }
            LinkItem *child = top.folder->Children.Get(top.next++);
            if (!child->isFolder())
                continue;
            names.push_back(TextCodec::toDisplay(child->Name));
            m_folders.push_back({child, ItemPath::fromNames(names)});
            stack.push_back({child, 0});
        }
        m_haystack.reserve(m_folders.size(), 0);
        for (size_t i = 0; i < m_folders.size(); ++i) {
            m_numberOf.emplace(m_folders[i].item, static_cast<int>(i));
            m_haystack.beginEntry();
            m_haystack.addFoldedField(TextFold::fold(m_folders[i].path));
        }
    }
    const QString filter = m_filter;
    m_filter.clear();
    endResetModel();
    setFilter(filter);
}

void FolderPathModel::setFilter(const QString &filter)
{
    if (filter == m_filter)
        return;
    m_filter = filter;
    const std::vector<std::string> words = TextFold::queryWords(filter);
    beginResetModel();
    m_showsAll = words.empty();
    m_shown = m_showsAll ? std::vector<int>() : m_haystack.find(words);
    endResetModel();
}

LinkItem *FolderPathModel::folderAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return m_folders[static_cast<size_t>(m_showsAll ? row : m_shown[static_cast<size_t>(row)])].item;
}

int FolderPathModel::rowOf(const LinkItem *folder) const
{
    const auto it = m_numberOf.find(folder);
    if (it == m_numberOf.end())
        return -1;
    if (m_showsAll)
        return it->second;
    const auto shown = std::lower_bound(m_shown.begin(), m_shown.end(), it->second);
    return shown != m_shown.end() && *shown == it->second ? static_cast<int>(shown - m_shown.begin()) : -1;
}

int FolderPathModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(m_showsAll ? m_folders.size() : m_shown.size());
}

QVariant FolderPathModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int number = m_showsAll ? index.row() : m_shown[static_cast<size_t>(index.row())];
    const Folder &folder = m_folders[static_cast<size_t>(number)];
    switch (role) {
    case Qt::DisplayRole:
        return folder.path;
    case Qt::ToolTipRole:
        return PlainText::toolTip(folder.path);
    case Qt::DecorationRole:
        return m_folderIcon;
    default:
        return {};
    }
}
