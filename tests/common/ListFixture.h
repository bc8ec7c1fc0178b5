#pragma once

#include "mainwindow/LinkListModel.h"
#include "store/LinkItem.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <memory>

// One child of a test folder.
struct ItemShape
{
    QString name;
    bool folder = false;
    int visits = 0;
    double lastVisit = 0.0;
    int rating = 0;
    QString url = {};
};
Q_DECLARE_METATYPE(ItemShape)

inline ItemShape folderShape(const QString &name)
{
    return {name, true};
}

inline ItemShape linkShape(const QString &name, int visits = 0, double lastVisit = 0.0, int rating = 0,
                           const QString &url = {})
{
    return {name, false, visits, lastVisit, rating, url};
}

// A folder whose children stand in exactly the given order. Children are kept sorted by name when they are
// added, so they are added under names that sort in the wanted order and renamed afterwards, as a rename
// in place would leave them.
inline std::unique_ptr<LinkItem> makeFolder(const QList<ItemShape> &children)
{
    auto folder = LinkItem::MakeFolder("test");
    for (qsizetype i = 0; i < children.size(); ++i) {
        const ItemShape &shape = children[i];
        const std::string placeholder = QString::asprintf("%06lld", static_cast<long long>(i)).toStdString();
        auto item = shape.folder ? LinkItem::MakeFolder(placeholder)
                                 : LinkItem::MakeLink(placeholder, shape.url.toStdString());
        item->Visits = shape.visits;
        item->LastVisit = shape.lastVisit;
        item->Rating = static_cast<std::uint8_t>(shape.rating);
        folder->Children.InsertSorted(std::move(item));
    }
    for (qsizetype i = 0; i < children.size(); ++i)
        folder->Children.Get(static_cast<int>(i))->Name = children[i].name.toStdString();
    return folder;
}

// The names in the model's row order.
inline QStringList rowNames(const LinkListModel &model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.index(row, 0).data().toString();
    return names;
}
