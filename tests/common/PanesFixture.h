#pragma once

#include "common/RecordedBoxes.h"
#include "mainwindow/CollectionView.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderCommands.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/ItemCommands.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/PaneDrops.h"
#include "mainwindow/PaneStates.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"

#include <QCoreApplication>
#include <QListView>
#include <QMainWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStringList>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include <memory>

// The panes over a collection of the test's own, built and linked as the main window builds them but without it:
// the folder tree and the list follow the document and the view, the description pane and the actions follow the
// focus and the selection (PaneStates), and drops between the tree and the list move items through the item
// commands. The panes stand in a plain shown window that owns the commands' dialogs. Message boxes are recorded.
// After building one, check QTest::currentTestFailed().
class PanesFixture
{
public:
    explicit PanesFixture(std::unique_ptr<LinkItem> root)
        : m_root(std::move(root)), document(m_root.get()), window(std::make_unique<QMainWindow>())
    {
        tree = new FolderTreeView;
        // The tree follows the document before the list does, as in the window.
        tree->follow(&document);
        view = std::make_unique<CollectionView>(&document);
        list = new FolderListView(view.get());
        listPane = new LinkListPane(list, window.get(), window.get());
        actions = new MainActions(window.get(), listPane);
        actions->buildMenus(window->menuBar());
        actions->buildToolbar(window->addToolBar(QString()));
        description = new DescriptionPane;
        description->follow(&document);
        listPane->follow(&document);
        tree->follow(view.get());
        states = new PaneStates(view.get(), actions, description, window.get());
        states->watch(tree, QList<QWidget *> {list->detailsView(), list->iconView()});
        items = new ItemCommands(&document, view.get(), window.get());
        folders = new FolderCommands(&document, view.get(), window.get());
        new PaneDrops(tree, list, items, window.get());

        auto *right = new QSplitter(Qt::Vertical);
        right->addWidget(list);
        right->addWidget(description);
        auto *panes = new QSplitter;
        panes->addWidget(tree);
        panes->addWidget(right);
        panes->setSizes({200, 440});
        window->setCentralWidget(panes);
        window->resize(640, 480);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        tree->setRootFolder(m_root.get()); // shows the root
    }
    ~PanesFixture()
    {
        view->clearList();
        tree->setRootFolder(nullptr);
        description->ShowItemDetails(nullptr);
        document.setRoot(nullptr);
        window.reset();
    }
    PanesFixture(const PanesFixture &) = delete;
    PanesFixture &operator=(const PanesFixture &) = delete;

    LinkItem *root() const { return m_root.get(); }

    // The first row of the folder tree with this text among the branches fetched so far, or none.
    QPersistentModelIndex node(const QString &text) const
    {
        const QModelIndexList found
            = tree->model()->match(tree->rootRow(), Qt::DisplayRole, text, 1, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? QPersistentModelIndex() : QPersistentModelIndex(found.first());
    }

    // The texts of a row's children in the folder tree.
    QStringList nodeTexts(const QModelIndex &node) const
    {
        QStringList texts;
        for (int row = 0; row < tree->model()->rowCount(node); ++row)
            texts << tree->model()->index(row, 0, node).data().toString();
        return texts;
    }

    // The names of the listed rows, in row order.
    QStringList rowNames() const
    {
        QStringList names;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            names << list->model()->index(row, 0).data().toString();
        return names;
    }

    // Selects exactly the listed rows with these names.
    void selectRows(const QStringList &names) const
    {
        std::vector<LinkItem *> chosen;
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            if (names.contains(list->model()->index(row, 0).data().toString()))
                chosen.push_back(list->model()->itemAt(row));
        }
        view->select(chosen);
    }

    // The centre of a folder's row, scrolled into sight.
    QPoint centreOf(const QModelIndex &node) const
    {
        tree->scrollTo(node);
        return tree->visualRect(node).center();
    }

    // Presses the mouse on a folder of the tree, as a drag from there begins.
    void pressOn(const QModelIndex &node) const
    {
        QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, centreOf(node));
    }

    // Delivers a drag of this kind that enters, moves over and (with drop) drops at a point of a widget, as a
    // real drag does; whether the widget accepted it.
    static bool dragAndDrop(QWidget *target, const QPoint &point, const QString &format, bool drop = true)
    {
        QMimeData data;
        data.setData(format, QByteArray());
        QDragEnterEvent enter(point, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDragMoveEvent move(point, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        if (!move.isAccepted() || !drop)
            return move.isAccepted();
        QDropEvent dropEvent(QPointF(point), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropEvent);
        return dropEvent.isAccepted();
    }

private:
    std::unique_ptr<LinkItem> m_root;

public:
    CollectionDocument document;
    RecordedBoxes boxes;
    std::unique_ptr<CollectionView> view;
    std::unique_ptr<QMainWindow> window;
    FolderTreeView *tree = nullptr;
    FolderListView *list = nullptr;
    LinkListPane *listPane = nullptr;
    MainActions *actions = nullptr;
    DescriptionPane *description = nullptr;
    PaneStates *states = nullptr;
    ItemCommands *items = nullptr;
    FolderCommands *folders = nullptr;
};
