#include "mainwindow/SearchCommands.h"

#include "mainwindow/Confirmations.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/ItemCommands.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/UpdatesGuard.h"
#include "store/CollectionDocument.h"
#include "store/EmptyFolders.h"
#include "store/ItemPath.h"
#include "store/LinkItem.h"
#include "store/Repository.h"
#include "store/TextCodec.h"

#include <QAbstractItemView>
#include <QAction>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>

SearchCommands::SearchCommands(MainWindow *window) : QObject(window), m_window(window)
{
    MainActions *a = window->actions();
    m_edit = new QLineEdit(window);
    m_edit->setObjectName(QStringLiteral("SearchEdit"));
    m_edit->setPlaceholderText(tr("Search all folders"));
    m_edit->setClearButtonEnabled(true);
    m_edit->setFixedWidth(220);
    m_edit->setStatusTip(tr("Finds objects across all folders"));
    m_edit->installEventFilter(this);
    // At the right end of the menu bar, which is always there, whatever the toolbar's width or state.
    auto *corner = new QWidget(window);
    auto *cornerLayout = new QHBoxLayout(corner);
    cornerLayout->setContentsMargins(0, 2, 4, 2);
    cornerLayout->addWidget(m_edit);
    window->menuBar()->setCornerWidget(corner, Qt::TopRightCorner);
    connect(m_edit, &QLineEdit::textChanged, this, &SearchCommands::searchTextChanged);

    connect(a->search, &QAction::triggered, this, &SearchCommands::search);
    connect(a->allBookmarks, &QAction::triggered, this, &SearchCommands::showAllBookmarks);
    connect(a->goToFolder, &QAction::triggered, this, &SearchCommands::goToChosenFolder);
    connect(a->deleteEmptyFolders, &QAction::triggered, this, &SearchCommands::deleteEmptyFolders);

    DescriptionPane *pane = window->descriptionPane();
    connect(pane, &DescriptionPane::locationClicked, this, &SearchCommands::locationClicked);
    // The index holds the texts and the places of the items: any change but a visit makes it read again.
    CollectionDocument *document = window->document();
    connect(document, &CollectionDocument::itemInserted, this, &SearchCommands::collectionChanged);
    connect(document, &CollectionDocument::childrenInserted, this, &SearchCommands::collectionChanged);
    connect(document, &CollectionDocument::itemRemoved, this, &SearchCommands::collectionChanged);
    connect(document, &CollectionDocument::itemMoved, this, &SearchCommands::collectionChanged);
    connect(document, &CollectionDocument::itemChanged, this, [this](LinkItem *, CollectionDocument::Fields fields) {
        if (fields != CollectionDocument::Fields(CollectionDocument::Field::Visits))
            collectionChanged();
    });
    // After the item commands have shown the selected entry: name its folder while results are shown.
    connect(window->LinkList()->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const std::vector<LinkItem *> selected = m_window->LinkList()->selectedItems();
        const bool one = showsResults() && selected.size() == 1;
        m_window->descriptionPane()->setLocation(one ? ItemPath::locationOf(selected.front()) : QString());
    });
}

bool SearchCommands::showsResults() const
{
    return m_window->LinkList()->model()->showsResults();
}

void SearchCommands::search()
{
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void SearchCommands::searchTextChanged(const QString &text)
{
    if (!SearchIndex::hasWords(text)) {
        leaveResults();
        return;
    }
    m_index.setRoot(m_window->repository()->Root());
    showResults(m_index.search(text));
}

void SearchCommands::showResults(std::vector<LinkItem *> items)
{
    FolderListView *list = m_window->LinkList();
    {
        UpdatesGuard guard(m_window);
        list->model()->FillFromItems(std::move(items));
        m_window->listPane()->ApplySort();
    }
    m_window->itemCommands()->ShowItemDetails(nullptr);
    m_window->descriptionPane()->setLocation(QString());
    m_window->updateStatusText();
}

void SearchCommands::leaveResults()
{
    if (!showsResults())
        return;
    if (QTreeWidgetItem *node = m_window->shownNode())
        m_window->LinksTreeChanging(node);
}

void SearchCommands::folderShown()
{
    if (!m_edit->text().isEmpty()) {
        const QSignalBlocker blocker(m_edit);
        m_edit->clear();
    }
    m_window->descriptionPane()->setLocation(QString());
}

void SearchCommands::showAllBookmarks()
{
    m_index.setRoot(m_window->repository()->Root());
    {
        const QSignalBlocker blocker(m_edit);
        m_edit->clear();
    }
    showResults(m_index.allLinks());
}

void SearchCommands::goToFolder(const LinkItem *folder)
{
    FolderTreeView *tree = m_window->LinksTree();
    QTreeWidgetItem *node = tree->revealFolder(folder);
    if (!node)
        return;
    if (tree->currentItem() == node)
        m_window->LinksTreeChanging(node); // already selected: show it all the same, leaving any results
    else
        tree->setCurrentItem(node);
    tree->scrollToItem(node);
    if (!tree->isHidden())
        tree->setFocus();
    // A box rather than the status bar: the focus coming back to the tree when the dialog closes would
    // set the status text again at once.
    if (FolderTreeView::itemOf(node) != folder)
        Confirmations::information(m_window, QStringLiteral("Quillmark"), FolderTreeView::tooDeepText());
}

void SearchCommands::locationClicked()
{
    const std::vector<LinkItem *> selected = m_window->LinkList()->selectedItems();
    if (selected.size() == 1 && selected.front()->Parent)
        goToFolder(selected.front()->Parent);
}

void SearchCommands::goToChosenFolder()
{
    GoToFolderDialog dialog(m_window->repository()->Root(), m_window);
    const std::vector<LinkItem *> selected = m_window->LinkList()->selectedItems();
    // From a result, the dialog starts on that result's folder.
    const LinkItem *start = showsResults() && selected.size() == 1 ? selected.front()->Parent : m_window->shownFolder();
    dialog.setCurrentFolder(start);
    if (dialog.exec() == QDialog::Accepted && dialog.chosenFolder())
        goToFolder(dialog.chosenFolder());
}

void SearchCommands::deleteEmptyFolders()
{
    LinkItem *folder = m_window->shownFolder();
    if (!folder)
        return;
    const EmptyFolderList empty = FindEmptyFolders(folder);
    if (empty.count == 0) {
        Confirmations::information(m_window, QStringLiteral("Quillmark"),
                                   tr("There are no empty folders in '%1'.").arg(TextCodec::toDisplay(folder->Name)));
        return;
    }
    if (!Confirmations::question(m_window, QStringLiteral("Quillmark"),
                                 QStringLiteral("Are you sure you want to delete %1 empty folders?").arg(empty.count)))
        return;
    {
        // The views let go of the folders before they are destroyed. The list is relisted below: emptying
        // it first spares removing its rows one by one.
        UpdatesGuard guard(m_window);
        m_window->LinkList()->model()->clear();
        m_window->document()->removeFolders(empty.topmost);
    }
    m_window->LinksTreeChanging(m_window->shownNode());
}

bool SearchCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            m_edit->clear(); // back to the shown folder
            m_window->LinkList()->currentView()->setFocus();
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) && showsResults()) {
            QAbstractItemView *view = m_window->LinkList()->currentView();
            view->setFocus();
            if (view->model()->rowCount() > 0 && !view->selectionModel()->hasSelection())
                view->setCurrentIndex(view->model()->index(0, 0));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
