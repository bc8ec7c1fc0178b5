#include "mainwindow/SearchCommands.h"

#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/RestoreCommands.h"
#include "mainwindow/ResultsJob.h"
#include "mainwindow/UpdatesGuard.h"
#include "store/CollectionDocument.h"
#include "store/EmptyFolders.h"
#include "store/ItemPath.h"
#include "store/LinkItem.h"
#include "store/Repository.h"
#include "store/TextCodec.h"
#include "widgets/MessageBoxes.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr int WarmUpDelayMs = 2000;
constexpr int WarmUpSliceMs = 15;
} // namespace

SearchCommands::SearchCommands(const MainPanes &panes, QObject *parent)
    : QObject(parent), m_panes(panes), m_job(std::make_unique<ResultsJob>(m_index))
{
    MainActions *a = panes.actions;
    m_edit = new QLineEdit(panes.window);
    m_edit->setObjectName(QStringLiteral("SearchEdit"));
    m_edit->setPlaceholderText(tr("Search all folders"));
    m_edit->setAccessibleName(tr("Search all folders"));
    m_edit->setClearButtonEnabled(true);
    m_edit->setFixedWidth(220);
    m_edit->setStatusTip(tr("Finds objects across all folders"));
    m_edit->installEventFilter(this);
    m_field = new QWidget(panes.window);
    auto *fieldLayout = new QHBoxLayout(m_field);
    fieldLayout->setContentsMargins(0, 2, 4, 2);
    fieldLayout->addWidget(m_edit);
    connect(m_edit, &QLineEdit::textChanged, this, &SearchCommands::searchTextChanged);

    connect(a->search, &QAction::triggered, this, &SearchCommands::search);
    connect(a->allBookmarks, &QAction::triggered, this, &SearchCommands::showAllBookmarks);
    connect(a->goToFolder, &QAction::triggered, this, &SearchCommands::goToChosenFolder);
    connect(a->deleteEmptyFolders, &QAction::triggered, this, &SearchCommands::deleteEmptyFolders);

    DescriptionPane *pane = panes.description;
    connect(pane, &DescriptionPane::locationClicked, this, &SearchCommands::locationClicked);
    // The index holds the texts and the places of the items: any change but a visit makes it read again.
    CollectionDocument *document = panes.document;
    // Before the items go, as the listing under way reads them.
    connect(document, &CollectionDocument::itemAboutToBeRemoved, this, &SearchCommands::collectionChanged);
    connect(document, &CollectionDocument::itemsAboutToBeRemoved, this, &SearchCommands::collectionChanged);
    connect(document, &CollectionDocument::itemInserted, this, &SearchCommands::collectionChanged);
    connect(document, &CollectionDocument::childrenInserted, this, &SearchCommands::collectionChanged);
    connect(document, &CollectionDocument::itemRemoved, this, &SearchCommands::collectionChanged);
    connect(document, &CollectionDocument::itemMoved, this, &SearchCommands::collectionChanged);
    connect(document, &CollectionDocument::itemChanged, this, [this](LinkItem *, CollectionDocument::Fields fields) {
        if (fields != CollectionDocument::Fields(CollectionDocument::Field::Visits))
            collectionChanged();
    });
    // A while after the collection was loaded or last changed.
    m_warmUp.setSingleShot(true);
    m_warmUp.setInterval(WarmUpDelayMs);
    connect(&m_warmUp, &QTimer::timeout, this, &SearchCommands::warmUpSlice);
    m_warmUp.start();
    connect(m_job.get(), &ResultsJob::firstResults, this, &SearchCommands::showFirstResults);
    connect(m_job.get(), &ResultsJob::progress, this, &SearchCommands::showProgress);
    connect(m_job.get(), &ResultsJob::finished, this, &SearchCommands::showResults);
    // After the item commands have shown the selected entry: name its folder while results are shown.
    connect(panes.list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const std::vector<LinkItem *> selected = m_panes.list->selectedItems();
        const bool one = showsResults() && selected.size() == 1;
        m_panes.description->setLocation(one ? ItemPath::locationOf(selected.front()) : QString());
    });
}

SearchCommands::~SearchCommands() = default;

void SearchCommands::collectionChanged()
{
    m_index.invalidate();
    m_job->restart();
    m_warmUp.start(WarmUpDelayMs);
}

void SearchCommands::warmUpSlice()
{
    // A search under way builds the index itself.
    if (m_job->isRunning() || !m_panes.document->root())
        return;
    m_index.setRoot(m_panes.document->root());
    if (!m_index.buildSome(QDeadlineTimer(WarmUpSliceMs, Qt::PreciseTimer)))
        m_warmUp.start(0);
}

bool SearchCommands::showsResults() const
{
    return m_panes.list->model()->showsResults();
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
    m_index.setRoot(m_panes.document->root());
    m_job->startSearch(text, m_panes.listPane->SortColumn(), m_panes.listPane->SortAscending());
}

void SearchCommands::showFirstResults(const std::vector<LinkItem *> &items)
{
    FolderListView *list = m_panes.list;
    {
        UpdatesGuard guard(m_panes.window);
        list->model()->FillFromItems(items);
        m_panes.listPane->ApplySort();
    }
    m_panes.description->ShowItemDetails(nullptr);
    m_panes.description->setLocation(QString());
}

void SearchCommands::showProgress(int found, int sortPercent)
{
    if (sortPercent < 0)
        m_panes.view->setStatusText(tr("Searching... %1 objects found").arg(found));
    else
        m_panes.view->setStatusText(tr("Sorting %1 objects... %2%").arg(found).arg(sortPercent));
}

void SearchCommands::showResults(int sortColumn, bool ascending)
{
    FolderListView *list = m_panes.list;
    LinkListPane *pane = m_panes.listPane;
    {
        UpdatesGuard guard(m_panes.window);
        // In the list's order already, unless the user chose another one meanwhile.
        const bool inOrder = pane->SortColumn() == sortColumn && pane->SortAscending() == ascending;
        list->model()->FillFromItems(m_job->takeResults(), inOrder ? sortColumn : -1, ascending);
        if (!inOrder)
            pane->ApplySort();
    }
    m_panes.description->ShowItemDetails(nullptr);
    m_panes.description->setLocation(QString());
    m_panes.view->updateStatusText();
}

void SearchCommands::leaveResults()
{
    m_job->cancel();
    if (!showsResults())
        return;
    if (QTreeWidgetItem *node = m_panes.tree->SelectedNode())
        m_panes.view->LinksTreeChanging(node);
}

void SearchCommands::folderShown()
{
    m_job->cancel();
    if (!m_edit->text().isEmpty()) {
        const QSignalBlocker blocker(m_edit);
        m_edit->clear();
    }
    m_panes.description->setLocation(QString());
}

void SearchCommands::showAllBookmarks()
{
    m_index.setRoot(m_panes.document->root());
    {
        const QSignalBlocker blocker(m_edit);
        m_edit->clear();
    }
    m_job->startAllLinks(m_panes.listPane->SortColumn(), m_panes.listPane->SortAscending());
}

void SearchCommands::goToFolder(const LinkItem *folder)
{
    FolderTreeView *tree = m_panes.tree;
    QTreeWidgetItem *node = tree->revealFolder(folder);
    if (!node)
        return;
    if (tree->currentItem() == node)
        m_panes.view->LinksTreeChanging(node); // already selected: show it all the same, leaving any results
    else
        tree->setCurrentItem(node);
    tree->scrollToItem(node);
    if (!tree->isHidden())
        tree->setFocus();
    // A box rather than the status bar: the focus coming back to the tree when the dialog closes would
    // set the status text again at once.
    if (FolderTreeView::itemOf(node) != folder)
        MessageBoxes::information(m_panes.window, QStringLiteral("Quillmark"), FolderTreeView::tooDeepText());
}

void SearchCommands::locationClicked()
{
    const std::vector<LinkItem *> selected = m_panes.list->selectedItems();
    if (selected.size() == 1 && selected.front()->Parent)
        goToFolder(selected.front()->Parent);
}

void SearchCommands::goToChosenFolder()
{
    GoToFolderDialog dialog(m_panes.document->root(), m_panes.window);
    const std::vector<LinkItem *> selected = m_panes.list->selectedItems();
    // From a result, the dialog starts on that result's folder.
    const LinkItem *start
        = showsResults() && selected.size() == 1 ? selected.front()->Parent : m_panes.tree->SelectedItem();
    dialog.setCurrentFolder(start);
    if (dialog.exec() == QDialog::Accepted && dialog.chosenFolder())
        goToFolder(dialog.chosenFolder());
}

void SearchCommands::deleteEmptyFolders()
{
    LinkItem *folder = m_panes.tree->SelectedItem();
    if (!folder)
        return;
    const EmptyFolderList empty = FindEmptyFolders(folder);
    if (empty.count == 0) {
        MessageBoxes::information(m_panes.window, QStringLiteral("Quillmark"),
                                  tr("There are no empty folders in '%1'.").arg(TextCodec::toDisplay(folder->Name)));
        return;
    }
    if (!MessageBoxes::question(
            m_panes.window, QStringLiteral("Quillmark"),
            QCoreApplication::translate("SearchCommands", "Are you sure you want to delete %1 empty folders?")
                .arg(empty.count)))
        return;
    if (empty.count > RestoreCommands::LargeRemoval)
        m_panes.view->keepBackup();
    {
        // The views let go of the folders before they are destroyed. The list is relisted below: emptying
        // it first spares removing its rows one by one.
        UpdatesGuard guard(m_panes.window);
        m_panes.list->model()->clear();
        m_panes.document->beginCommand(QCoreApplication::translate("SearchCommands", "Delete Empty Folders"));
        m_panes.document->removeItems(empty.topmost);
        m_panes.document->endCommand();
    }
    m_panes.view->LinksTreeChanging(m_panes.tree->SelectedNode());
}

bool SearchCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            m_edit->clear(); // back to the shown folder
            m_panes.list->currentView()->setFocus();
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) && showsResults()) {
            QAbstractItemView *view = m_panes.list->currentView();
            view->setFocus();
            if (view->model()->rowCount() > 0 && !view->selectionModel()->hasSelection())
                view->setCurrentIndex(view->model()->index(0, 0));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
