#include "mainwindow/SearchCommands.h"

#include "mainwindow/FolderTreeView.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/RestoreCommands.h"
#include "mainwindow/ResultsJob.h"
#include "mainwindow/UpdatesGuard.h"
#include "store/CollectionDocument.h"
#include "store/EmptyFolders.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/MessageBoxes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr int WarmUpDelayMs = 2000;
constexpr int WarmUpSliceMs = 15;
} // namespace

SearchCommands::SearchCommands(CollectionDocument *document, CollectionView *view, QWidget *parent)
    : QObject(parent), m_document(document), m_view(view), m_parent(parent),
      m_job(std::make_unique<ResultsJob>(m_index))
{
    m_edit = new QLineEdit(parent);
    m_edit->setObjectName(QStringLiteral("SearchEdit"));
    m_edit->setPlaceholderText(tr("Search all folders"));
    m_edit->setAccessibleName(tr("Search all folders"));
    m_edit->setClearButtonEnabled(true);
    m_edit->setFixedWidth(220);
    m_edit->setStatusTip(tr("Finds objects across all folders"));
    m_edit->installEventFilter(this);
    m_field = new QWidget(parent);
    auto *fieldLayout = new QHBoxLayout(m_field);
    fieldLayout->setContentsMargins(0, 2, 4, 2);
    fieldLayout->addWidget(m_edit);
    connect(m_edit, &QLineEdit::textChanged, this, &SearchCommands::searchTextChanged);

    connect(view, &CollectionView::folderShown, this, &SearchCommands::folderShown);
    // The index holds the texts and the places of the items: any change but a visit makes it read again.
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
    if (m_job->isRunning() || !m_document->root())
        return;
    m_index.setRoot(m_document->root());
    if (!m_index.buildSome(QDeadlineTimer(WarmUpSliceMs, Qt::PreciseTimer)))
        m_warmUp.start(0);
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
    m_index.setRoot(m_document->root());
    m_listing = CollectionView::Listing::SearchResults;
    m_job->startSearch(text, m_view->sortColumn(), m_view->sortAscending());
}

void SearchCommands::showFirstResults(const std::vector<LinkItem *> &items)
{
    UpdatesGuard guard(m_parent);
    m_view->showResults(m_listing, items);
    m_view->sortBy(m_view->sortColumn(), m_view->sortAscending());
}

void SearchCommands::showProgress(int found, int sortPercent)
{
    if (sortPercent < 0)
        m_view->setStatusText(tr("Searching... %1 objects found").arg(found));
    else
        m_view->setStatusText(tr("Sorting %1 objects... %2%").arg(found).arg(sortPercent));
}

void SearchCommands::showResults(int sortColumn, bool ascending)
{
    {
        UpdatesGuard guard(m_parent);
        // In the list's order already, unless the user chose another one meanwhile.
        const bool inOrder = m_view->sortColumn() == sortColumn && m_view->sortAscending() == ascending;
        m_view->showResults(m_listing, m_job->takeResults(), inOrder ? sortColumn : -1, ascending);
        if (!inOrder)
            m_view->sortBy(m_view->sortColumn(), m_view->sortAscending());
    }
    m_view->updateStatusText();
}

void SearchCommands::leaveResults()
{
    m_job->cancel();
    if (showsResults() && m_view->folder())
        m_view->showFolderAgain();
}

void SearchCommands::folderShown()
{
    m_job->cancel();
    if (!m_edit->text().isEmpty()) {
        const QSignalBlocker blocker(m_edit);
        m_edit->clear();
    }
}

void SearchCommands::showAllBookmarks()
{
    m_index.setRoot(m_document->root());
    {
        const QSignalBlocker blocker(m_edit);
        m_edit->clear();
    }
    m_listing = CollectionView::Listing::AllBookmarks;
    m_job->startAllLinks(m_view->sortColumn(), m_view->sortAscending());
}

void SearchCommands::goToFolder(LinkItem *folder)
{
    if (!folder)
        return;
    // Shown already: shown all the same, leaving any results.
    m_view->showFolder(folder);
    m_view->focusTree();
    // A box rather than the status bar: the focus coming back to the tree when the dialog closes would
    // set the status text again at once.
    if (m_view->folder() != folder)
        MessageBoxes::information(m_parent, QStringLiteral("Quillmark"), FolderTreeView::tooDeepText());
}

void SearchCommands::goToResultFolder()
{
    const std::vector<LinkItem *> selected = m_view->selectedItems();
    if (selected.size() == 1 && selected.front()->Parent)
        goToFolder(selected.front()->Parent);
}

void SearchCommands::goToChosenFolder()
{
    GoToFolderDialog dialog(m_document->root(), m_parent);
    const std::vector<LinkItem *> selected = m_view->selectedItems();
    // From a result, the dialog starts on that result's folder.
    const LinkItem *start = showsResults() && selected.size() == 1 ? selected.front()->Parent : m_view->folder();
    dialog.setCurrentFolder(start);
    if (dialog.exec() == QDialog::Accepted && dialog.chosenFolder())
        goToFolder(dialog.chosenFolder());
}

void SearchCommands::deleteEmptyFolders()
{
    LinkItem *folder = m_view->folder();
    if (!folder)
        return;
    const EmptyFolderList empty = FindEmptyFolders(folder);
    if (empty.count == 0) {
        MessageBoxes::information(m_parent, QStringLiteral("Quillmark"),
                                  tr("There are no empty folders in '%1'.").arg(TextCodec::toDisplay(folder->Name)));
        return;
    }
    if (!MessageBoxes::question(
            m_parent, QStringLiteral("Quillmark"),
            QCoreApplication::translate("SearchCommands", "Are you sure you want to delete %1 empty folders?")
                .arg(empty.count)))
        return;
    if (empty.count > RestoreCommands::LargeRemoval)
        m_view->keepBackup();
    {
        // The views let go of the folders before they are destroyed. The list is relisted below: emptying
        // it first spares removing its rows one by one.
        UpdatesGuard guard(m_parent);
        m_view->clearList();
        m_document->beginCommand(QCoreApplication::translate("SearchCommands", "Delete Empty Folders"));
        m_document->removeItems(empty.topmost);
        m_document->endCommand();
    }
    if (m_view->folder())
        m_view->showFolderAgain();
}

bool SearchCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            m_edit->clear(); // back to the shown folder
            m_view->focusList();
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) && showsResults()) {
            m_view->focusList();
            if (m_view->model()->rowCount() > 0 && m_view->selectedCount() == 0)
                m_view->select({m_view->model()->itemAt(0)});
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
