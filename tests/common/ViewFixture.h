#pragma once

#include "common/RecordedBoxes.h"
#include "mainwindow/CollectionView.h"
#include "mainwindow/LinkListModel.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"

#include <QItemSelectionModel>
#include <QStringList>
#include <QWidget>

#include <memory>

// What a command works on, without a main window: a collection (the fixture owns its root), the document over
// it, the view of it showing the root, and a widget to own the command's dialogs. Message boxes are recorded,
// not shown.
class ViewFixture
{
public:
    explicit ViewFixture(std::unique_ptr<LinkItem> root)
        : m_root(std::move(root)), document(m_root.get()), view(&document), parent(std::make_unique<QWidget>())
    {
        view.showFolder(m_root.get());
    }
    ~ViewFixture()
    {
        view.clearList();
        document.setRoot(nullptr);
    }
    ViewFixture(const ViewFixture &) = delete;
    ViewFixture &operator=(const ViewFixture &) = delete;

    LinkItem *root() const { return m_root.get(); }

    // The names of the listed rows, in row order.
    QStringList rowNames() const
    {
        QStringList names;
        const LinkListModel *model = view.model();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 0).data().toString();
        return names;
    }

    // Selects exactly the rows with these names.
    void selectRows(const QStringList &names)
    {
        std::vector<LinkItem *> chosen;
        const LinkListModel *model = view.model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (names.contains(model->index(row, 0).data().toString()))
                chosen.push_back(model->itemAt(row));
        }
        view.select(chosen);
    }

private:
    std::unique_ptr<LinkItem> m_root;

public:
    CollectionDocument document;
    CollectionView view;
    std::unique_ptr<QWidget> parent;
    RecordedBoxes boxes;
};
