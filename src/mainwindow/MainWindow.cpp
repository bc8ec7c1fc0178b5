#include "mainwindow/MainWindow.h"

#include "mainwindow/AutoSave.h"
#include "mainwindow/CollectionView.h"
#include "mainwindow/ColumnFit.h"
#include "mainwindow/CommandHold.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderBar.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/LinkCheckCommands.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MessageBoxReporter.h"
#include "mainwindow/PaneStates.h"
#include "mainwindow/RestoreCommands.h"
#include "mainwindow/SearchCommands.h"
#include "mainwindow/StatusPanel.h"
#include "mainwindow/SyncCommands.h"
#include "mainwindow/TreeMenu.h"
#include "mainwindow/UpdatesGuard.h"
#include "mainwindow/WindowCommands.h"
#include "mainwindow/WindowPlacement.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"
#include "store/DataFilePrefetch.h"
#include "store/ItemPath.h"
#include "store/LinkItem.h"
#include "store/Repository.h"
#include "store/TextCodec.h"
#include "widgets/FolderHeader.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <functional>

namespace {
constexpr int MinimumPaneSize = 70;
constexpr int SplitterWidth = 3;
constexpr int StatusPanelMargin = 190;
// Room for the size grip beside the sync's status field.
constexpr int StatusGripRoom = 30;
// How often the status bar tells how far the loading of the collection has come.
constexpr int LoadingProgressMs = 200;
} // namespace

MainWindow::MainWindow(ErrorReporter *reporter, QWidget *parent, Loading loading)
    : QMainWindow(parent), m_reporter(reporter)
{
    std::function<void()> whenRead;
    if (loading == Loading::InBackground)
        whenRead = [this] { QMetaObject::invokeMethod(this, &MainWindow::showCollection, Qt::QueuedConnection); };
    m_prefetch = std::make_unique<DataFilePrefetch>(std::move(whenRead));
    if (!m_reporter) {
        m_ownReporter = std::make_unique<MessageBoxReporter>(this);
        m_reporter = m_ownReporter.get();
    }
    m_document = new CollectionDocument(nullptr, this);
    // The tree follows the document before the list does: a folder it loses may move its selection and show
    // another folder, whose rows the list then lets go of as the items are destroyed.
    m_folderBar = new FolderBar;
    folderTree()->follow(m_document);
    m_view = new CollectionView(m_document, this);
    buildLayout();
    followDocument();
    followView();
    m_treeMenu = new TreeMenu(folderTree(), m_actions, this);
    m_paneStates = new PaneStates(m_view, m_actions, m_descriptionPane, this);
    m_commands = new WindowCommands(
        m_document, m_view, {m_actions, folderTree(), m_treeMenu, m_list, m_descriptionPane, m_paneStates}, this);
    statusBar()->addPermanentWidget(syncCommands()->statusField());
    connect(syncCommands(), &SyncCommands::statusFieldChanged, this, &MainWindow::fitStatusPanel);
    connect(this, &MainWindow::collectionLoaded, syncCommands(), &SyncCommands::collectionLoaded);
    // At the right end of the menu bar, which is always there, whatever the toolbar's width or state.
    menuBar()->setCornerWidget(searchCommands()->searchField(), Qt::TopRightCorner);
    connectCommands();
    start(loading);
}

MainWindow::~MainWindow()
{
    m_prefetch.reset(); // waits for a reading still under way
    // The commands end their work on the collection (a transfer's reading or writing) before it goes.
    delete m_commands;
    m_commands = nullptr;
    // Every view lets go of the items before the collection goes with the repository: the rows, an open
    // in-place rename, the description.
    m_view->clearList();
    folderTree()->setRootFolder(nullptr);
    m_descriptionPane->ShowItemDetails(nullptr);
}

void MainWindow::buildLayout()
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowIcon(Icons::application());
    setStatusTip(tr("For Help, press F1"));
    move(249, 221);
    resize(583, 465);

    m_list = new FolderListView(m_view);
    m_list->setObjectName(QStringLiteral("LinkList"));
    m_list->setMinimumHeight(MinimumPaneSize);
    m_listPane = new LinkListPane(m_list, this, this);
    m_list->setHeaderPopupMenu(m_listPane->headerMenu());

    m_actions = new MainActions(this, m_listPane);
    m_actions->buildMenus(menuBar());
    m_toolbar = new QToolBar(tr("Toolbar"), this);
    m_toolbar->setObjectName(QStringLiteral("CommandToolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_actions->buildToolbar(m_toolbar);
    addToolBar(Qt::TopToolBarArea, m_toolbar);

    m_folderHeader = new FolderHeader;
    m_folderHeader->setObjectName(QStringLiteral("FolderPane"));
    m_folderHeader->setFolderImage(Icons::folder());
    m_folderHeader->setHomeImage(Icons::home());

    m_descriptionPane = new DescriptionPane;
    m_descriptionPane->setMinimumHeight(MinimumPaneSize);

    m_listPanel = new QWidget;
    m_listPanel->setObjectName(QStringLiteral("listPanel"));
    m_listPanel->setMinimumSize(100, 145);
    m_listPanel->installEventFilter(this);
    m_descriptionSplitter = new QSplitter(Qt::Vertical, m_listPanel);
    m_descriptionSplitter->setObjectName(QStringLiteral("descriptionSplitter"));
    m_descriptionSplitter->setHandleWidth(SplitterWidth);
    m_descriptionSplitter->setChildrenCollapsible(false);
    m_descriptionSplitter->addWidget(m_list);
    m_descriptionSplitter->addWidget(m_descriptionPane);
    m_descriptionSplitter->setStretchFactor(0, 1);
    m_descriptionSplitter->setStretchFactor(1, 0);
    auto *panelLayout = new QVBoxLayout(m_listPanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(m_descriptionSplitter);

    m_folderSplitter = new QSplitter(Qt::Horizontal);
    m_folderSplitter->setObjectName(QStringLiteral("folderSplitter"));
    m_folderSplitter->setHandleWidth(SplitterWidth);
    m_folderSplitter->setChildrenCollapsible(false);
    m_folderSplitter->addWidget(m_folderBar);
    m_folderSplitter->addWidget(m_listPanel);
    m_folderSplitter->setStretchFactor(0, 0);
    m_folderSplitter->setStretchFactor(1, 1);
    m_folderSplitter->setSizes({194, 583 - 194});

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_folderHeader);
    layout->addWidget(m_folderSplitter, 1);
    setCentralWidget(central);

    m_statusPanel = new StatusPanel;
    statusBar()->addWidget(m_statusPanel);
    statusBar()->setSizeGripEnabled(true);
    setDescriptionPaneHeight(210);
}

void MainWindow::followDocument()
{
    // The tree and the list follow the document already; the description pane last.
    m_descriptionPane->follow(m_document);

    m_listPane->follow(m_document);
    connect(m_document, &CollectionDocument::itemChanged, this,
            [this](LinkItem *item, CollectionDocument::Fields fields) {
                if ((fields & CollectionDocument::Field::Name) && item == m_view->folder())
                    m_folderHeader->setCaption(TextCodec::toDisplay(item->Name));
            });
}

void MainWindow::followView()
{
    FolderTreeView *tree = folderTree();
    // The tree's selection is the shown folder, both ways.
    tree->follow(m_view);
    connect(m_view, &CollectionView::folderShown, this, [this](LinkItem *folder) {
        if (!folder)
            return;
        m_folderHeader->ShowFolder(TextCodec::toDisplay(folder->Name), folder->Parent == nullptr);
        m_treeMenu->enableForFolder(folder);
    });
    connect(m_view, &CollectionView::statusTextChanged, this, &MainWindow::showStatusText);
    connect(m_view, &CollectionView::listFocusWanted, this, [this] { m_list->currentView()->setFocus(); });
    connect(m_view, &CollectionView::treeFocusWanted, this, [this, tree] {
        if (tree->isVisibleTo(this) && !m_folderBar->isHidden())
            tree->setFocus();
    });
    // Results from anywhere show no entry's details until one is selected; a single selected result names its
    // folder, which a click goes to.
    connect(m_view, &CollectionView::folderShown, this, [this] { m_descriptionPane->setLocation(QString()); });
    connect(m_view, &CollectionView::resultsShown, this, [this] {
        m_descriptionPane->ShowItemDetails(nullptr);
        m_descriptionPane->setLocation(QString());
    });
    connect(m_view, &CollectionView::selectionChanged, this, [this] {
        const bool one = m_view->showsResults() && m_view->selectedCount() == 1;
        m_descriptionPane->setLocation(one ? ItemPath::locationOf(m_view->selectedItems().front()) : QString());
    });
}

void MainWindow::connectCommands()
{
    MainActions *a = m_actions;
    connect(a->close, &QAction::triggered, this, &MainWindow::closeWindow);
    connect(a->toolbar, &QAction::triggered, this, [this] { m_toolbar->setVisible(m_actions->toolbar->isChecked()); });
    connect(a->statusBar, &QAction::triggered, this,
            [this] { statusBar()->setVisible(m_actions->statusBar->isChecked()); });
    connect(a->folderPane, &QAction::triggered, this,
            [this] { m_folderHeader->setVisible(m_actions->folderPane->isChecked()); });
    connect(a->descriptionPane, &QAction::triggered, this,
            [this] { m_descriptionPane->setVisible(m_actions->descriptionPane->isChecked()); });
    // The menu entry and the toolbar button run the same switch, which decides from the bar's state.
    connect(a->folders, &QAction::triggered, this, &MainWindow::toggleFolderBar);
    connect(a->foldersButton, &QAction::triggered, this, &MainWindow::toggleFolderBar);
    connect(m_folderBar, &FolderBar::closeRequested, this, &MainWindow::hideFolderBar);
    connect(m_descriptionSplitter, &QSplitter::splitterMoved, this, [this] {
        if (!m_descriptionPane->isHidden())
            m_descriptionPaneHeight = m_descriptionPane->height();
    });
    // A long sort tells how far it has come; its end brings the count back.
    LinkListModel *model = m_list->model();
    connect(model, &LinkListModel::sortProgress, this, [this, model](int percent) {
        m_view->setStatusText(tr("Sorting %1 objects... %2%").arg(model->rowCount()).arg(percent));
    });
    connect(model, &LinkListModel::sortFinished, m_view, &CollectionView::updateStatusText);
}

void MainWindow::start(Loading loading)
{
    setWindowTitle(QStringLiteral("Quillmark"));

    m_settings = std::make_unique<Settings>();
    restoreCommands()->setKept(m_settings->GetBackupsKept());
    linkCheckCommands()->setTimeoutSeconds(m_settings->GetLinkCheckTimeout());
    const WindowBounds stored = m_settings->GetWindowBounds();
    const QRect bounds = WindowPlacement::startBounds(m_settings->HasWindowBounds() ? &stored : nullptr);
    const int barWidth = m_settings->GetFoldersBarWidth();
    // First-start columns share the list's width: the window's less the folders bar and a scroll bar.
    const int listWidth = bounds.width() - barWidth - SplitterWidth - style()->pixelMetric(QStyle::PM_ScrollBarExtent)
        - 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    m_listPane->setColumnsInfo(
        m_settings->HasColumnsInfo()
            ? m_settings->GetColumnsInfo()
            : ColumnFit::firstStart(m_list->fontMetrics(), m_list->detailsView()->header()->fontMetrics(), listWidth));
    if (!m_settings->GetFolderPane())
        toggleFolderHeader();
    m_listPane->ApplyColumns();
    applyListStyleAndSort();

    m_folderSplitter->setSizes({barWidth, std::max(0, bounds.width() - barWidth - SplitterWidth)});
    m_folderBarWidth = barWidth;
    switch (m_settings->GetExplorerBar()) {
    case 0:
        setFolderBarShown(false);
        break;
    case 1:
        toggleFolderBar();
        break;
    default: // shown as laid out, button released
        break;
    }
    if (!m_settings->GetToolbar())
        toggleToolbar();
    if (!m_settings->GetStatusBar())
        toggleStatusBar();
    move(bounds.topLeft());
    resize(bounds.size());
    if (!m_settings->GetDescriptionPane())
        toggleDescriptionPane();
    setDescriptionPaneHeight(m_settings->GetDescriptionPaneHeight());
    m_folderBar->fitToHeaderHeight(m_list->detailsView()->header()->sizeHint().height());

    if (loading == Loading::Now) {
        showCollection();
        return;
    }
    // Until the collection is there, nothing may work on it; the panes, views and help stay usable.
    MainActions *a = m_actions;
    m_loadingHold = std::make_unique<CommandHold>();
    m_loadingHold->hold({a->newFolder, a->newUrl, a->import, a->exportMenu, a->restoreFromBackup, a->properties,
                         a->deleteItems, a->deleteEmptyFolders, a->selectAll, a->deselectAll, a->invertSelection,
                         a->search, a->upOneLevel, a->expandAll, a->collapseAll, a->goToFolder, a->allBookmarks,
                         a->deleteButton},
                        {searchCommands()->searchField()});
    m_view->setStatusText(tr("Loading the collection..."));
    auto *progress = new QTimer(this);
    connect(progress, &QTimer::timeout, this, [this] {
        if (m_prefetch)
            m_view->setStatusText(tr("Loading the collection... %1%").arg(m_prefetch->percentRead()));
    });
    connect(this, &MainWindow::collectionLoaded, progress, &QObject::deleteLater);
    progress->start(LoadingProgressMs);
}

bool MainWindow::finishLoading()
{
    if (!m_showingCollection)
        showCollection();
    return !isLoading();
}

void MainWindow::showCollection()
{
    if (!m_prefetch || m_showingCollection)
        return;
    // Loading may tell of a bad data file in a message box; nothing loads twice meanwhile.
    m_showingCollection = true;
    auto repository = std::make_unique<Repository>(m_reporter, m_prefetch.get());
    m_prefetch.reset();
    m_repository = std::move(repository);
    // Before anything can change the collection; a file that could not be read whole was set aside instead.
    if (m_repository->loadState() == Repository::LoadState::Loaded)
        restoreCommands()->keepDaily();
    m_autoSave = std::make_unique<AutoSave>(m_repository.get(), m_reporter);
    m_document->setRoot(m_repository->Root());
    connect(m_document, &CollectionDocument::changed, m_autoSave.get(), &AutoSave::markChanged);
    // Queued: the save that ended is still telling it when the close destroys the automatic save.
    connect(m_autoSave.get(), &AutoSave::exitSaveEnded, this, &MainWindow::exitSaveEnded, Qt::QueuedConnection);
    {
        UpdatesGuard guard(this);
        m_loadingHold.reset(); // gives the commands back
        folderTree()->setRootFolder(m_repository->Root());
        m_listPane->ApplyColumns();
    }
    m_showingCollection = false;
    emit collectionLoaded();
}

void MainWindow::applyListStyleAndSort()
{
    m_listPane->setViewStyle(m_settings->GetListStyle());
    if (m_settings->GetSort())
        m_listPane->sortAscending();
    else
        m_listPane->sortDescending();
    int key = m_settings->GetSortColumn();
    if (key >= 5)
        key = 0;
    if (key >= 0)
        m_listPane->arrangeBy(key);
}

bool MainWindow::closeNow()
{
    // An exit while the collection is on its way waits for it: the close saves what was read, as always.
    if (!finishLoading())
        return false;
    // A close under way in slices ends here, on the spot.
    m_closing = false;
    // Nothing may react to the rows while the tree goes away.
    m_paneStates->setEnabled(false);
    // The close saves by itself; a change after a failed save brings the automatic save back.
    if (!m_autoSave->saveNow()) {
        m_paneStates->setEnabled(true);
        return false;
    }
    closeAfterSave();
    return true;
}

bool MainWindow::beginClose()
{
    if (m_closing)
        return true;
    if (!finishLoading())
        return false;
    m_paneStates->setEnabled(false);
    if (!m_autoSave->saveForExit()) {
        m_paneStates->setEnabled(true);
        return false;
    }
    m_closing = true;
    return true;
}

void MainWindow::exitSaveEnded(bool saved)
{
    if (!m_closing)
        return;
    // A change that came after the save was written is saved too.
    if (saved && m_autoSave->hasUnsavedChanges() && m_autoSave->saveForExit())
        return;
    m_closing = false;
    if (!saved || m_autoSave->hasUnsavedChanges()) {
        m_paneStates->setEnabled(true);
        emit closeEnded(false);
        return;
    }
    closeAfterSave();
    emit closeEnded(true);
}

void MainWindow::closeAfterSave()
{
    {
        // Every view lets go of the items before the tree is destroyed.
        UpdatesGuard guard(this);
        m_list->model()->clear();
        folderTree()->setRootFolder(nullptr);
        m_descriptionPane->ShowItemDetails(nullptr);
    }
    m_document->setRoot(nullptr);
    m_autoSave.reset();
    m_repository.reset();

    const ColumnLayout columns = m_listPane->CaptureColumns();
    const int explorerBar = m_folderBar->isHidden() ? 0 : (m_actions->foldersButton->isChecked() ? 1 : 2);
    // The layout goes to disk in one write, which names the first value when it fails. The collection
    // is already safe at this point, so the program still ends.
    m_settings->BeginUpdate();
    const bool set = m_settings->SetWindowBounds(x(), y(), width(), height())
        && m_settings->SetFoldersBarWidth(m_folderBar->isHidden() ? m_folderBarWidth : m_folderBar->width())
        && m_settings->SetFolderPane(m_actions->folderPane->isChecked()) && m_settings->SetColumnsInfo(columns)
        && m_settings->SetExplorerBar(static_cast<quint8>(explorerBar))
        && m_settings->SetToolbar(!m_toolbar->isHidden()) && m_settings->SetStatusBar(!statusBar()->isHidden())
        && m_settings->SetListStyle(static_cast<quint8>(m_list->viewStyle()))
        && m_settings->SetDescriptionPane(m_actions->descriptionPane->isChecked())
        && m_settings->SetDescriptionPaneHeight(descriptionPaneHeight())
        && m_settings->SetSortColumn(m_listPane->SortColumn())
        && m_settings->SetSort(m_listPane->sortAscendingAction()->isChecked());
    const bool written = m_settings->EndUpdate() && set;
    if (!written)
        m_reporter->reportError(QString(), m_settings->errorString());
    m_settings->Close();
    m_settings.reset();
    m_closed = true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    event->ignore();
    if (m_hideOnClose) {
        hide();
        emit hideRequested();
    } else {
        emit exitRequested();
    }
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_hideOnClose && (windowState() & Qt::WindowMinimized)
        && !m_hidingMinimized) {
        // Minimizing hides the window in the notification area; it comes back in its normal state.
        m_hidingMinimized = true;
        QTimer::singleShot(0, this, [this] {
            m_hidingMinimized = false;
            const bool wasShown = isVisible();
            setWindowState(windowState() & ~Qt::WindowMinimized);
            if (wasShown) { // the system may repeat the state change after the window is gone
                hide();
                emit hideRequested();
            }
        });
    }
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && !m_activatedOnce) {
        m_activatedOnce = true;
        // Later activations (after a dialog, after coming back from the tray) open nothing.
        QTimer::singleShot(0, this, &MainWindow::firstActivated);
    }
    return QMainWindow::event(event);
}

void MainWindow::closeWindow()
{
    if (!m_hideOnClose) {
        emit exitRequested();
        return;
    }
    emit hideRequested();
    hide();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    fitStatusPanel();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_listPanel && event->type() == QEvent::Resize)
        fitDescriptionPane();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::fitDescriptionPane()
{
    if (m_descriptionPane->isHidden())
        return;
    // Keep the description pane usable: its top at least 70 below the top of the right-hand area,
    // and the pane itself at least 70 high.
    int paneHeight = descriptionPaneHeight();
    const int top = m_listPanel->height() - paneHeight - SplitterWidth;
    if (top < MinimumPaneSize)
        paneHeight -= MinimumPaneSize - top;
    paneHeight = std::max(paneHeight, MinimumPaneSize);
    setDescriptionPaneHeight(paneHeight);
}

void MainWindow::fitStatusPanel()
{
    // The sync's field keeps its place at the right end, in the margin while it fits there.
    const QWidget *sync = m_commands ? syncCommands()->statusField() : nullptr;
    const int syncWidth = sync && sync->isVisibleTo(this) ? sync->sizeHint().width() + StatusGripRoom : 0;
    m_statusPanel->setFixedWidth(std::max(0, width() - std::max(StatusPanelMargin, syncWidth)));
}

int MainWindow::descriptionPaneHeight() const
{
    return m_descriptionPaneHeight;
}

void MainWindow::setDescriptionPaneHeight(int height)
{
    m_descriptionPaneHeight = height;
    const int total = std::max(m_listPanel->height(), height + SplitterWidth + MinimumPaneSize);
    m_descriptionSplitter->setSizes({total - height - SplitterWidth, height});
}

void MainWindow::toggleToolbar()
{
    m_actions->toolbar->setChecked(!m_actions->toolbar->isChecked());
    m_toolbar->setVisible(m_actions->toolbar->isChecked());
}

void MainWindow::toggleStatusBar()
{
    m_actions->statusBar->setChecked(!m_actions->statusBar->isChecked());
    statusBar()->setVisible(m_actions->statusBar->isChecked());
}

void MainWindow::toggleFolderHeader()
{
    m_folderHeader->setVisible(m_folderHeader->isHidden());
    m_actions->folderPane->setChecked(!m_folderHeader->isHidden());
}

void MainWindow::toggleDescriptionPane()
{
    m_descriptionPane->setVisible(m_descriptionPane->isHidden());
    m_actions->descriptionPane->setChecked(!m_descriptionPane->isHidden());
}

void MainWindow::setFolderBarShown(bool shown)
{
    if (!shown && !m_folderBar->isHidden())
        m_folderBarWidth = m_folderBar->width();
    m_folderBar->setVisible(shown);
    if (shown) {
        const int width = m_folderBarWidth;
        m_folderSplitter->setSizes({width, std::max(0, m_folderSplitter->width() - width - SplitterWidth)});
    }
}

void MainWindow::toggleFolderBar()
{
    m_foldersPressed = !m_foldersPressed;
    setFolderBarShown(m_foldersPressed);
    const bool shown = !m_folderBar->isHidden();
    m_actions->folders->setChecked(shown);
    m_actions->foldersButton->setChecked(shown);
    m_foldersPressed = shown;
    m_folderBar->titleLabel()->setText(tr("Folders"));
}

void MainWindow::hideFolderBar()
{
    setFolderBarShown(false);
    m_foldersPressed = false;
    m_actions->foldersButton->setChecked(false);
    m_actions->folders->setChecked(false);
}

FolderCommands *MainWindow::folderCommands() const
{
    return m_commands->folders();
}

ItemCommands *MainWindow::itemCommands() const
{
    return m_commands->items();
}

TransferCommands *MainWindow::transferCommands() const
{
    return m_commands->transfer();
}

BrowserImportCommands *MainWindow::browserImport() const
{
    return m_commands->browserImport();
}

SearchCommands *MainWindow::searchCommands() const
{
    return m_commands->search();
}

LinkCheckCommands *MainWindow::linkCheckCommands() const
{
    return m_commands->linkCheck();
}

RestoreCommands *MainWindow::restoreCommands() const
{
    return m_commands->restore();
}

DuplicateCommands *MainWindow::duplicateCommands() const
{
    return m_commands->duplicates();
}

SyncCommands *MainWindow::syncCommands() const
{
    return m_commands->sync();
}

FolderTreeView *MainWindow::folderTree() const
{
    return m_folderBar->folderTree();
}

void MainWindow::showStatusText(const QString &text)
{
    // The pointer over a pane shows that pane's status tip, the status text it had then, over the panel:
    // such a message makes way for the new text.
    if (!statusBar()->currentMessage().isEmpty() && statusBar()->currentMessage() == m_statusPanel->text())
        statusBar()->clearMessage();
    m_statusPanel->setText(text);
    for (QWidget *widget : {static_cast<QWidget *>(m_list), static_cast<QWidget *>(m_toolbar),
                            static_cast<QWidget *>(m_folderBar->folderTree()), static_cast<QWidget *>(statusBar()),
                            static_cast<QWidget *>(this)})
        widget->setStatusTip(text);
}
