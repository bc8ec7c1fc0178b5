#pragma once

#include <QMainWindow>

#include <memory>

class AutoSave;
class CollectionDocument;
class CollectionView;
class CommandHold;
class DataFilePrefetch;
class DuplicateCommands;
class DescriptionPane;
class ErrorReporter;
class FolderBar;
class FolderCommands;
class FolderTreeView;
class ItemCommands;
class SearchCommands;
class SyncCommands;
class LinkCheckCommands;
class FolderListView;
class LinkItem;
class LinkListPane;
class MainActions;
class PaneStates;
class TreeMenu;
class QLabel;
class QSplitter;
class QToolBar;
class FolderHeader;
class Settings;
class Repository;
class RestoreCommands;
class TransferCommands;
class WindowCommands;
class BrowserImportCommands;

// The program's one working window: toolbar, folder header strip, folder bar, link list, description
// pane and status bar. Minimizing or closing it only hides it (when the program lives in the
// notification area); closeNow, run by "E&xit", saves the collection and then the layout.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Now: the constructor waits for the collection and shows it. InBackground: the window is usable at once
    // with an empty folder tree, the status bar saying that the collection loads and the commands that need
    // it disabled; the collection is shown (and collectionLoaded emitted) when the reading is done.
    enum class Loading { Now, InBackground };

    // Runs the start-up sequence: settings, layout, collection, panes. reporter (not owned) receives
    // the store's messages; none means message boxes over this window.
    explicit MainWindow(ErrorReporter *reporter = nullptr, QWidget *parent = nullptr, Loading loading = Loading::Now);
    ~MainWindow() override;

    // Whether the collection is still on its way (repository() and autoSave() are none until it is shown).
    bool isLoading() const { return m_prefetch || m_showingCollection; }
    // Shows the collection now, waiting for the reading if need be. False only while the loading is
    // under way further down the stack (a message box of its own is open).
    bool finishLoading();

    // The close sequence: the data file first, then the layout. False when the collection could not be
    // saved: the window then stays as it is, with the collection in memory, and nothing else is written.
    bool closeNow();
    // The close sequence with the event loop running: the data file is written in slices, then the close goes
    // on as closeNow does and closeEnded tells the outcome. False when the save could not start (told); the
    // window then stays as it is. closeNow finishes a close under way on the spot.
    bool beginClose();
    bool isClosing() const { return m_closing; }

    // With hideOnClose (the default), the window's close and minimize hide it and emit hideRequested;
    // without it (no notification area), minimize is ordinary and closing emits exitRequested.
    void setHideOnClose(bool hide) { m_hideOnClose = hide; }
    bool hideOnClose() const { return m_hideOnClose; }

    Repository *repository() const { return m_repository.get(); }
    // Every change of the collection goes through the document; the panes follow it.
    CollectionDocument *document() const { return m_document; }
    // What the window shows of the collection.
    CollectionView *view() const { return m_view; }
    AutoSave *autoSave() const { return m_autoSave.get(); }
    MainActions *actions() const { return m_actions; }
    FolderListView *listView() const { return m_list; }
    LinkListPane *listPane() const { return m_listPane; }
    FolderBar *folderBar() const { return m_folderBar; }
    FolderTreeView *folderTree() const;
    FolderCommands *folderCommands() const;
    TreeMenu *treeMenu() const { return m_treeMenu; }
    ItemCommands *itemCommands() const;
    FolderHeader *folderHeader() const { return m_folderHeader; }
    DescriptionPane *descriptionPane() const { return m_descriptionPane; }
    QToolBar *toolbar() const { return m_toolbar; }
    QLabel *statusPanel() const { return m_statusPanel; }

    // Pane switches.
    void toggleToolbar();
    void toggleStatusBar();
    void toggleFolderHeader();
    void toggleDescriptionPane();
    void toggleFolderBar();
    void hideFolderBar();
    // "&File" > "&Close": hides the window; the program goes on in the notification area.
    void closeWindow();

    TransferCommands *transferCommands() const;
    BrowserImportCommands *browserImport() const;
    SearchCommands *searchCommands() const;
    LinkCheckCommands *linkCheckCommands() const;

    RestoreCommands *restoreCommands() const;
    DuplicateCommands *duplicateCommands() const;
    SyncCommands *syncCommands() const;

signals:
    // The window hid itself (minimize, close button, "&File" > "&Close").
    void hideRequested();
    // Without a notification area, closing the window ends the program.
    void exitRequested();
    // The window became the active window for the first time since its creation (FormActivate).
    void firstActivated();
    // The collection is loaded and shown, with the commands enabled.
    void collectionLoaded();
    // A close begun by beginClose has ended: the window is closed, or the save failed and it stays as it was.
    void closeEnded(bool closed);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void followDocument();
    // The panes follow what the view shows.
    void followView();
    // Writes the status text and sets it as the hint of the panes, the toolbar and the window.
    void showStatusText(const QString &text);
    // The actions that work on the window itself: its panes, bars and close.
    void connectCommands();
    void start(Loading loading);
    // Start-up steps from the creation of the repository on, once the data file is read.
    void showCollection();
    void fitDescriptionPane();
    void fitStatusPanel();
    void applyListStyleAndSort();
    // The close sequence after the data file has been written.
    void closeAfterSave();
    void exitSaveEnded(bool saved);
    void setFolderBarShown(bool shown);
    int descriptionPaneHeight() const;
    void setDescriptionPaneHeight(int height);

    // The collection is read while the window is built; showCollection takes it.
    std::unique_ptr<DataFilePrefetch> m_prefetch;
    // The commands disabled while the collection is on its way.
    std::unique_ptr<CommandHold> m_loadingHold;
    bool m_showingCollection = false;
    std::unique_ptr<ErrorReporter> m_ownReporter;
    ErrorReporter *m_reporter;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Repository> m_repository;
    std::unique_ptr<AutoSave> m_autoSave;
    CollectionDocument *m_document = nullptr;
    CollectionView *m_view = nullptr;

    MainActions *m_actions = nullptr;
    QToolBar *m_toolbar = nullptr;
    FolderHeader *m_folderHeader = nullptr;
    QSplitter *m_folderSplitter = nullptr;
    FolderBar *m_folderBar = nullptr;
    QWidget *m_listPanel = nullptr;
    QSplitter *m_descriptionSplitter = nullptr;
    FolderListView *m_list = nullptr;
    LinkListPane *m_listPane = nullptr;
    TreeMenu *m_treeMenu = nullptr;
    PaneStates *m_paneStates = nullptr;
    WindowCommands *m_commands = nullptr;
    DescriptionPane *m_descriptionPane = nullptr;
    QLabel *m_statusPanel = nullptr;

    // The folder bar's width while it is hidden, to come back with and to be stored at the close.
    int m_folderBarWidth = 0;
    // The "Folders" button's state: the switch flips it and decides from it.
    bool m_foldersPressed = false;
    // The description pane's height as last set or dragged, kept while the pane is hidden.
    int m_descriptionPaneHeight = 0;
    bool m_hideOnClose = true;
    bool m_closed = false;
    bool m_closing = false; // beginClose's save is under way
    bool m_hidingMinimized = false;
    bool m_activatedOnce = false;
};
