// The main window's life: where it starts, the collection loading behind it, the automatic saves, the work it
// starts on the background pool, the tip at its first activation, hiding to the notification area, and the
// close and exit that write the collection and the layout.
#include "common/BackgroundTask.h"
#include "common/FileWrites.h"
#include "common/TransferFakes.h"
#include "common/TreeBuilders.h"
#include "common/WindowFixture.h"
#include "formats/FormatCommands.h"
#include "linkcheck/LinkCheckStore.h"
#include "mainwindow/AutoSave.h"
#include "mainwindow/ColumnFit.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderBar.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/SearchCommands.h"
#include "mainwindow/TransferCommands.h"
#include "mainwindow/WindowPlacement.h"
#include "platform/Background.h"
#include "platform/TerminationSignals.h"
#include "shell/TipOfTheDayDialog.h"
#include "shell/TrayController.h"
#include "store/Backups.h"
#include "transfer/LongCommands.h"
#include "widgets/FolderHeader.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include <atomic>
#include <csignal>

using namespace TreeBuilders;

namespace {
constexpr int ManyLinks = 20000;

std::unique_ptr<LinkItem> manyLinks()
{
    auto root = LinkItem::MakeFolder(Repository::RootName);
    std::vector<std::unique_ptr<LinkItem>> links;
    for (int i = 0; i < ManyLinks; ++i)
        links.push_back(LinkItem::MakeLink("link " + std::to_string(i), "http://example.org/" + std::to_string(i)));
    root->Children.InsertSortedBatch(std::move(links));
    return root;
}

void addFolders(LinkItem &root, int folders, int links)
{
    for (int f = 0; f < folders; ++f) {
        LinkItem *folder = addFolder(root, "folder " + std::to_string(100 + f));
        for (int l = 0; l < links; ++l)
            addLink(*folder, "link " + std::to_string(l), "http://example.org/" + std::to_string(f * links + l));
    }
}

QStringList dataFolderFiles()
{
    return QDir(Repository::DataFolder()).entryList(QDir::Files | QDir::Hidden);
}

// Makes the data folder impossible to create: a regular file stands where its parent should be.
void blockDataFolder(const QTemporaryDir &dir)
{
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker + QStringLiteral("/data")));
}

// What the user sees of the collection once it is there, and what they were told on the way.
QStringList shown(const MainWindow &form, const RecordingReporter &reporter)
{
    QStringList state {form.statusPanel()->text()};
    // The folder tree's rows, each before those below it.
    const QAbstractItemModel *folders = form.folderTree()->model();
    std::vector<QModelIndex> pending {QModelIndex()};
    while (!pending.empty()) {
        const QModelIndex parent = pending.back();
        pending.pop_back();
        if (parent.isValid())
            state << parent.data().toString();
        for (int row = folders->rowCount(parent) - 1; row >= 0; --row)
            pending.push_back(folders->index(row, 0, parent));
    }
    const QAbstractItemModel *rows = form.listView()->model();
    for (int row = 0; row < rows->rowCount(); ++row)
        state << rows->index(row, 0).data().toString();
    static const QRegularExpression stamp(QStringLiteral("unreadable-[0-9-]+"));
    for (QString message : reporter.errors + reporter.notices)
        state << message.replace(stamp, QStringLiteral("unreadable-*"));
    return state;
}

// Runs the events until the automatic save is writing, a slice or two into the collection.
bool waitUntilWriting(const AutoSave &autoSave)
{
    for (int i = 0; i < 2000 && !autoSave.isSaving(); ++i) {
        QCoreApplication::processEvents();
        QThread::usleep(500);
    }
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    return autoSave.isSaving();
}

// The file dialogs answer with a path; with a dialog, the open dialog is a real modal one that the
// test leaves open, so that it gives the path only if someone accepts it.
class ModalPrompts : public FakePrompts
{
public:
    bool modal = false;
    QString openFileName(QWidget *parent, const FileDialogSettings &settings) override
    {
        if (!modal)
            return FakePrompts::openFileName(parent, settings);
        QDialog dialog(parent);
        return dialog.exec() == QDialog::Accepted ? fileName : QString();
    }
};

// The window's start-up backup of a large collection.
class StartUpBackup : public BackgroundTask
{
public:
    explicit StartUpBackup(WindowFixture &window) : m_window(window) { }
    void start(std::function<void()> told) override
    {
        RestoreCommands *commands = m_window.form()->restoreCommands();
        const Backups backups = commands->backups();
        QFile::remove(backups.pathFor(backups.today()));
        QObject::connect(commands, &RestoreCommands::dailyBackupEnded, commands, std::move(told));
        commands->keepDaily();
    }
    bool running() const override { return m_window.form()->restoreCommands()->isKeepingDaily(); }
    void endOwner() override { m_window.closeWindow(); }

private:
    WindowFixture &m_window;
};

// An export of a large collection by a window that is destroyed while it writes.
class Export : public BackgroundTask
{
public:
    explicit Export(WindowFixture &window) : m_window(window) { }
    void start(std::function<void()> told) override
    {
        if (!m_window.form())
            m_window.start({});
        m_prompts.fileName = m_window.dir()->filePath(QStringLiteral("export.html"));
        TransferCommands *commands = m_window.form()->transferCommands();
        commands->setPrompts(&m_prompts);
        QObject::connect(commands, &TransferCommands::finished, commands, std::move(told));
        m_window.form()->actions()->exportAction(BookmarkFormat::BrowserHtml)->trigger();
    }
    bool running() const override { return m_window.form()->transferCommands()->isRunning(); }
    void endOwner() override { m_window.closeWindow(); }

private:
    WindowFixture &m_window;
    FakePrompts m_prompts;
};

// The reading of a large side file of link check results by a window that opens.
class LinkCheckResults : public BackgroundTask
{
public:
    explicit LinkCheckResults(WindowFixture &window) : m_window(window) { }
    void start(std::function<void()> told) override
    {
        m_window.closeWindow();
        m_window.start({.show = false, .waitForStartWork = false});
        LinkCheckCommands *commands = m_window.form()->linkCheckCommands();
        QObject::connect(commands, &LinkCheckCommands::loaded, commands, std::move(told));
    }
    bool running() const override { return m_window.form()->linkCheckCommands()->isLoading(); }
    void endOwner() override { m_window.closeWindow(); }

private:
    WindowFixture &m_window;
};

// A side file of this many outcomes.
QByteArray linkCheckFile(int outcomes)
{
    QByteArray bytes = "{\"format\": \"quillmark-link-check\", \"version\": 1, \"links\": [";
    for (int i = 0; i < outcomes; ++i) {
        bytes += i > 0 ? ",\n" : "\n";
        bytes += "{\"url\": \"https://example.org/page/" + QByteArray::number(i)
            + "\", \"outcome\": \"broken\", \"status\": 404, \"reason\": \"Not Found\", "
              "\"checked\": \"2026-01-01T10:00:00Z\"}";
    }
    return bytes + "]}";
}
} // namespace

class TestWindowLife : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { m_window.close(); }

    void startsAsItWasLeft_data();
    void startsAsItWasLeft();
    void usableWhileTheCollectionLoads_data();
    void usableWhileTheCollectionLoads();
    void startWorkEndsWithTheWindow_data();
    void startWorkEndsWithTheWindow();
    void startUpBackupOffTheLoop();
    void tipAtTheFirstActivation_data();
    void tipAtTheFirstActivation();
    void closeWaitsForTheAutomaticSave_data();
    void closeWaitsForTheAutomaticSave();
    void hidingToTheTray_data();
    void hidingToTheTray();
    void trayMenu();
    void exitWritesDataThenLayout_data();
    void exitWritesDataThenLayout();
    void terminationWaitsForTheCommand_data();
    void terminationWaitsForTheCommand();

private:
    // Folders of the test's own, with the tip of the day switched off (it would wait for a click at the first
    // activation).
    void prepare(const LinkItem &root)
    {
        m_window.prepare(root);
        QVERIFY(Settings().SetShowTip(false));
    }

    WindowFixture m_window;
};

void TestWindowLife::startsAsItWasLeft_data()
{
    // The bounds, panes, list style and order stored by the last run; none at the first start.
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QList<qint32>>("bounds"); // left, top, width, height
    QTest::addColumn<int>("explorerBar");
    QTest::addColumn<bool>("toolbar");
    QTest::addColumn<bool>("statusBar");
    QTest::addColumn<bool>("folderPane");
    QTest::addColumn<bool>("descriptionPane");
    QTest::addColumn<int>("listStyle");
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<bool>("ascending");

    using Bounds = QList<qint32>;
    QTest::newRow("first start") << false << Bounds() << 1 << true << true << true << true << 3 << 0 << true;
    QTest::newRow("on the screen, bar shown, button released")
        << true << Bounds {20, 30, 640, 480} << 2 << true << true << true << true << 3 << 2 << false;
    QTest::newRow("off every screen, bar hidden, panes off")
        << true << Bounds {9000, -4000, 640, 480} << 0 << false << false << false << false << 0 << 4 << true;
    QTest::newRow("at the far end, list style, pressed button")
        << true << Bounds {INT32_MAX, INT32_MAX, 640, 480} << 1 << true << false << true << false << 2 << 1 << true;
}

void TestWindowLife::startsAsItWasLeft()
{
    QFETCH(bool, stored);
    QFETCH(QList<qint32>, bounds);
    QFETCH(int, explorerBar);
    QFETCH(bool, toolbar);
    QFETCH(bool, statusBar);
    QFETCH(bool, folderPane);
    QFETCH(bool, descriptionPane);
    QFETCH(int, listStyle);
    QFETCH(int, sortColumn);
    QFETCH(bool, ascending);
    prepare(*LinkItem::MakeFolder(Repository::RootName));
    const int widths[] = {101, 102, 33, 44, 55};
    if (stored) {
        Settings settings;
        QVERIFY(settings.SetWindowBounds(bounds[0], bounds[1], bounds[2], bounds[3]));
        QVERIFY(settings.SetFoldersBarWidth(230));
        QVERIFY(settings.SetExplorerBar(static_cast<quint8>(explorerBar)));
        QVERIFY(settings.SetToolbar(toolbar));
        QVERIFY(settings.SetStatusBar(statusBar));
        QVERIFY(settings.SetFolderPane(folderPane));
        QVERIFY(settings.SetDescriptionPane(descriptionPane));
        QVERIFY(settings.SetDescriptionPaneHeight(150));
        QVERIFY(settings.SetListStyle(static_cast<quint8>(listStyle)));
        QVERIFY(settings.SetSortColumn(sortColumn));
        QVERIFY(settings.SetSort(ascending));
        ColumnLayout columns = DefaultColumns();
        for (size_t k = 0; k < columns.size(); ++k)
            columns[k].Width = widths[k];
        QVERIFY(settings.SetColumnsInfo(columns));
    }
    const QList<QRect> screens = WindowPlacement::availableScreens();
    QVERIFY(!screens.isEmpty());
    m_window.start({.show = false});
    MainWindow &form = *m_window.form();
    const QRect placed(form.pos(), form.size());
    if (!stored) {
        QCOMPARE(placed, WindowPlacement::firstStart(screens, QCursor::pos()));
        const QRect &screen = screens.constFirst();
        QVERIFY(qAbs(placed.width() * 3 - screen.width() * 2) < 3);
        QVERIFY(qAbs(placed.center().x() - screen.center().x()) <= 1);
    } else {
        QCOMPARE(placed.size(), QSize(bounds[2], bounds[3]));
        bool reachable = false;
        for (const QRect &screen : screens)
            reachable = reachable || screen.contains(placed);
        QVERIFY2(reachable, qPrintable(QStringLiteral("placed at %1,%2").arg(placed.x()).arg(placed.y())));
        if (bounds[0] < screens.constFirst().right())
            QCOMPARE(placed.topLeft(), QPoint(bounds[0], bounds[1]));
    }
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QCOMPARE(form.windowTitle(), QStringLiteral("Quillmark"));
    QCOMPARE(form.folderBar()->isHidden(), explorerBar == 0);
    QCOMPARE(form.actions()->foldersButton->isChecked(), explorerBar == 1);
    QCOMPARE(form.actions()->folders->isChecked(), explorerBar == 1);
    if (explorerBar != 0)
        QCOMPARE(form.folderBar()->width(), stored ? 230 : 180);
    QCOMPARE(form.toolbar()->isHidden(), !toolbar);
    QCOMPARE(form.actions()->toolbar->isChecked(), toolbar);
    QCOMPARE(form.statusBar()->isHidden(), !statusBar);
    QCOMPARE(form.folderHeader()->isHidden(), !folderPane);
    QCOMPARE(form.actions()->folderPane->isChecked(), folderPane);
    QCOMPARE(form.folderHeader()->caption(), QStringLiteral("Quillmark"));
    QCOMPARE(form.folderHeader()->imageType(), FolderHeader::itHome);
    QCOMPARE(form.descriptionPane()->isHidden(), !descriptionPane);
    if (descriptionPane)
        QCOMPARE(form.descriptionPane()->height(), stored ? 150 : 180);
    QCOMPARE(form.listView()->viewStyle(), listStyle);
    QCOMPARE(form.listPane()->SortColumn(), sortColumn);
    QCOMPARE(form.listPane()->SortAscending(), ascending);
    // The columns as stored; at the first start the visits, dates and ratings fit their usual texts.
    FolderListView *list = m_window.list();
    const QFontMetrics cells = list->detailsView()->fontMetrics();
    for (int column = NameColumn; column <= RatingColumn; ++column) {
        if (stored)
            QCOMPARE(list->columnWidth(column), widths[column]);
        else if (column != NameColumn && column != UrlColumn)
            QVERIFY(list->columnWidth(column) > cells.horizontalAdvance(ColumnFit::usualText(column)));
    }
    QVERIFY(list->columnWidth(NameColumn) != DefaultColumns()[NameColumn].Width);
    QVERIFY(m_window.reporter.errors.isEmpty());

    // Closing writes back what it found.
    QVERIFY(form.closeNow());
    Settings settings;
    QCOMPARE(settings.GetExplorerBar(), explorerBar);
    QCOMPARE(settings.GetToolbar(), toolbar);
    QCOMPARE(settings.GetStatusBar(), statusBar);
    QCOMPARE(settings.GetFolderPane(), folderPane);
    QCOMPARE(settings.GetDescriptionPane(), descriptionPane);
    if (stored) {
        QCOMPARE(settings.GetDescriptionPaneHeight(), 150);
        QCOMPARE(settings.GetFoldersBarWidth(), 230);
    }
    QCOMPARE(settings.GetListStyle(), listStyle);
    QCOMPARE(settings.GetSortColumn(), sortColumn);
    QCOMPARE(settings.GetSort(), ascending);
    QCOMPARE(QSize(settings.GetWindowBounds().width(), settings.GetWindowBounds().height()), placed.size());
}

void TestWindowLife::usableWhileTheCollectionLoads_data()
{
    QTest::addColumn<int>("cut"); // bytes taken off the end of the data file
    QTest::addColumn<bool>("newer"); // the file says it is of a newer version
    QTest::addColumn<bool>("exitAtOnce");
    QTest::newRow("whole file") << 0 << false << false;
    QTest::newRow("damaged file") << 30 << false << false;
    QTest::newRow("newer version") << 0 << true << false;
    QTest::newRow("exit while loading") << 0 << false << true;
}

void TestWindowLife::usableWhileTheCollectionLoads()
{
    QFETCH(int, cut);
    QFETCH(bool, newer);
    QFETCH(bool, exitAtOnce);
    auto root = LinkItem::MakeFolder(Repository::RootName);
    addLink(*addFolder(*root, "Alpha"), "inner", "http://inner.example/");
    addFolder(*root, "Beta");
    addLink(*root, "gamma", "http://gamma.example/");
    prepare(*root);
    const auto writeDataFile = [&root, cut, newer] {
        QDir(Repository::DataFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(Repository::DataFolder()));
        QVERIFY(NativeFile::saveAtomically(Repository::DataFile(), *root, nullptr));
        QFile file(Repository::DataFile());
        QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(file.size() - cut));
        QVERIFY(!newer || file.write(QByteArray::fromHex("11270000")) == 4);
    };
    // What the window shows and tells when it waits for the collection before it comes up.
    writeDataFile();
    m_window.start({.show = false});
    const QStringList expected = shown(*m_window.form(), m_window.reporter);
    m_window.closeWindow();
    writeDataFile();
    m_window.reporter = {};

    m_window.start({.loading = MainWindow::Loading::InBackground, .show = false, .waitForStartWork = false});
    MainWindow &form = *m_window.form();
    QSignalSpy loaded(&form, &MainWindow::collectionLoaded);
    form.show();
    QVERIFY(form.isLoading());
    QCOMPARE(shown(form, m_window.reporter), QStringList {"Loading the collection..."});
    // The commands that work on the collection wait for it; whatever is tried meanwhile does nothing.
    MainActions *a = form.actions();
    const QList<QAction *> held {a->newFolder, a->import, a->exportMenu, a->selectAll, a->search, a->allBookmarks};
    for (QAction *action : held) {
        QVERIFY(!action->isEnabled());
        action->trigger();
    }
    QLineEdit *search = form.searchCommands()->searchEdit();
    QTest::keyClicks(search, QStringLiteral("gamma"));
    QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
    if (exitAtOnce) {
        QVERIFY(form.closeNow());
        QCOMPARE(Repository().Root()->Children.Count(), 3);
        return;
    }
    QVERIFY(loaded.wait());
    QCOMPARE(shown(form, m_window.reporter), expected);
    for (QAction *action : held)
        QVERIFY(action->isEnabled());
    QVERIFY(search->isEnabled() && search->text().isEmpty());
}

void TestWindowLife::startWorkEndsWithTheWindow_data()
{
    QTest::addColumn<QString>("task");
    QTest::newRow("start-up backup") << "backup";
    QTest::newRow("link check results") << "results";
    QTest::newRow("export") << "export";
}

void TestWindowLife::startWorkEndsWithTheWindow()
{
    QFETCH(QString, task);
    m_window.open(*LinkItem::MakeFolder(Repository::RootName));
    if (QTest::currentTestFailed())
        return;
    std::unique_ptr<BackgroundTask> run;
    if (task == QLatin1String("backup")) {
        // The window shows an empty collection, which closes at once; the backup copies a large data file.
        auto root = LinkItem::MakeFolder(Repository::RootName);
        addFolders(*root, 200, 5000);
        QVERIFY(NativeFile::saveAtomically(Repository::DataFile(), *root, nullptr));
        run = std::make_unique<StartUpBackup>(m_window);
    } else if (task == QLatin1String("export")) {
        auto root = LinkItem::MakeFolder(Repository::RootName);
        addFolders(*root, 200, 2000);
        QVERIFY(NativeFile::saveAtomically(Repository::DataFile(), *root, nullptr));
        m_window.closeWindow();
        run = std::make_unique<Export>(m_window);
    } else {
        QFile file(LinkCheckStore::pathFor(Repository::DataFile()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(linkCheckFile(150000)) > 0);
        file.close();
        run = std::make_unique<LinkCheckResults>(m_window);
    }
    run->checkOwnerEndsPromptly();
}

// The start-up backup is today's copy of the data file, written off the event loop.
void TestWindowLife::startUpBackupOffTheLoop()
{
    auto root = LinkItem::MakeFolder(Repository::RootName);
    addFolders(*root, 2000, 10);
    m_window.open(*root);
    if (QTest::currentTestFailed())
        return;
    RestoreCommands *commands = m_window.form()->restoreCommands();
    const Backups backups = commands->backups();
    const QString today = backups.pathFor(backups.today());
    const auto readAll = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray data = readAll(Repository::DataFile());
    QCOMPARE(readAll(today), data);

    QVERIFY(QFile::remove(today));
    QSignalSpy ended(commands, &RestoreCommands::dailyBackupEnded);
    commands->keepDaily();
    QVERIFY(commands->isKeepingDaily());
    QVERIFY(!QFileInfo::exists(today));
    QVERIFY(ended.wait(20000));
    QCOMPARE(ended.first().at(0).toBool(), true);
    QCOMPARE(readAll(today), data);
}

void TestWindowLife::tipAtTheFirstActivation_data()
{
    QTest::addColumn<bool>("showTip");
    QTest::newRow("tips at start") << true;
    QTest::newRow("switched off") << false;
}

void TestWindowLife::tipAtTheFirstActivation()
{
    QFETCH(bool, showTip);
    prepare(*LinkItem::MakeFolder(Repository::RootName));
    QVERIFY(Settings().SetShowTip(showTip));
    // Every tip dialog that shows is counted and closed with Esc.
    int opened = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&opened] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *tip = qobject_cast<TipOfTheDayDialog *>(widget);
            if (tip && tip->isVisible()) {
                ++opened;
                QTest::keyClick(tip, Qt::Key_Escape);
            }
        }
    });
    closer.start(10);

    TrayController owner(false);
    MainWindow *window = owner.mainWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTRY_COMPARE(opened, showTip ? 1 : 0);
    // Neither the window's activation after the tip closed, nor after another window, nor after hiding counts.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    owner.toggleMainWindow();
    owner.toggleMainWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::qWait(100);
    QCOMPARE(opened, showTip ? 1 : 0);
    QCOMPARE(Settings().GetShowTip(), showTip);
    // The menu entry opens it either way.
    window->actions()->tipOfTheDay->trigger();
    QCOMPARE(opened, showTip ? 2 : 1);
}

void TestWindowLife::closeWaitsForTheAutomaticSave_data()
{
    QTest::addColumn<bool>("autoSaving"); // an automatic save is writing when the close begins
    QTest::addColumn<bool>("changeWhileClosing");
    QTest::addColumn<bool>("finishNow"); // the event loop stops: closeNow ends the close on the spot
    QTest::newRow("idle") << false << false << false;
    QTest::newRow("automatic save writing") << true << false << false;
    QTest::newRow("change while closing") << false << true << false;
    QTest::newRow("finished on the spot") << true << false << true;
}

void TestWindowLife::closeWaitsForTheAutomaticSave()
{
    QFETCH(bool, autoSaving);
    QFETCH(bool, changeWhileClosing);
    QFETCH(bool, finishNow);
    m_window.open(*LinkItem::MakeFolder(Repository::RootName));
    if (QTest::currentTestFailed())
        return;
    MainWindow &form = *m_window.form();
    LinkItem *root = form.repository()->Root();
    addFolders(*root, 10, 50);
    AutoSave *autoSave = form.autoSave();
    autoSave->setItemsPerSlice(20);
    FileWrites written(Repository::DataFile());
    if (autoSaving) {
        autoSave->setDelays(1, 60000);
        autoSave->markChanged();
        QVERIFY(waitUntilWriting(*autoSave));
    }
    int writtenWhenEnded = -1;
    QSignalSpy ended(&form, &MainWindow::closeEnded);
    connect(&form, &MainWindow::closeEnded, this, [&] { writtenWhenEnded = written.count(); });

    QVERIFY(form.beginClose());
    QVERIFY(form.isClosing());
    QVERIFY(form.repository());
    QCOMPARE(written.count(), 0);
    if (changeWhileClosing) {
        QCoreApplication::processEvents();
        form.document()->insertSorted(root, LinkItem::MakeLink("late", "http://late.example/"));
    }
    if (finishNow) {
        QVERIFY(form.closeNow());
        QCOMPARE(written.count(), 1);
    } else {
        QTRY_COMPARE(ended.size(), 1);
        QCOMPARE(ended.front().front().toBool(), true);
        QCOMPARE(writtenWhenEnded, 1);
    }
    QVERIFY(!form.repository());
    QTest::qWait(50);
    QCOMPARE(ended.size(), finishNow ? 0 : 1);
    QCOMPARE(written.count(), 1);
    QCOMPARE(dataFolderFiles(), QStringList {QStringLiteral("Quillmark.dat")});
    Repository reread;
    QCOMPARE(reread.Root()->Children.Count(), changeWhileClosing ? 11 : 10);
}

void TestWindowLife::hidingToTheTray_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("closing the window") << "close";
    QTest::newRow("Close") << "Close";
    QTest::newRow("minimizing") << "minimize";
    QTest::newRow("Open/Hide") << "Open/Hide";
}

void TestWindowLife::hidingToTheTray()
{
    QFETCH(QString, way);
    prepare(*LinkItem::MakeFolder(Repository::RootName));
    FileWrites written(Repository::DataFile());
    TrayController owner(false);
    MainWindow *window = owner.mainWindow();
    QVERIFY(owner.MainWindowShown());
    QVERIFY(window->isVisible());
    // Without a notification area the window must stay reachable: closing it ends the program.
    QVERIFY(!window->hideOnClose());
    window->setHideOnClose(true);
    QSignalSpy hidden(window, &MainWindow::hideRequested);

    if (way == QLatin1String("close"))
        window->close();
    else if (way == QLatin1String("Close"))
        window->actions()->close->trigger();
    else if (way == QLatin1String("minimize"))
        window->showMinimized();
    else
        owner.openHideAction()->trigger();
    QTRY_VERIFY(window->isHidden());
    QVERIFY(!owner.MainWindowShown());
    QCOMPARE(hidden.size(), way == QLatin1String("Open/Hide") ? 0 : 1);
    QVERIFY(window->repository());
    QCOMPARE(written.count(), 0); // nothing is saved by hiding

    // Back through the same entry, or from a second start of the program.
    if (way == QLatin1String("Open/Hide"))
        owner.openHideAction()->trigger();
    else
        owner.ActivateMainWindow();
    QVERIFY(window->isVisible());
    QVERIFY(owner.MainWindowShown());
    // One toggle after the hand-over hides it again.
    owner.toggleMainWindow();
    QVERIFY(window->isHidden());
}

void TestWindowLife::trayMenu()
{
    prepare(*LinkItem::MakeFolder(Repository::RootName));
    TrayController owner(false);
    const QList<QAction *> entries = owner.trayMenu()->actions();
    QCOMPARE(entries.size(), 4);
    QCOMPARE(entries.at(0)->text(), QStringLiteral("Open/Hide Quillmark"));
    QVERIFY(entries.at(0)->font().bold());
    QCOMPARE(owner.trayMenu()->defaultAction(), entries.at(0));
    // "Sync Now" is there once the window's is: when a server is set.
    QCOMPARE(entries.at(1)->text(), QStringLiteral("Sync No&w"));
    QVERIFY(!entries.at(1)->isEnabled());
    owner.mainWindow()->actions()->syncNow->setEnabled(true);
    QVERIFY(entries.at(1)->isEnabled());
    QVERIFY(entries.at(2)->isSeparator());
    QCOMPARE(entries.at(3)->text(), QStringLiteral("E&xit"));
}

void TestWindowLife::exitWritesDataThenLayout_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("saves");
    QTest::newRow("Exit") << "Exit" << true;
    QTest::newRow("closing the window without a notification area") << "close" << true;
    QTest::newRow("Close without a notification area") << "Close" << true;
    QTest::newRow("Exit, the collection cannot be saved") << "Exit" << false;
}

void TestWindowLife::exitWritesDataThenLayout()
{
    QFETCH(QString, way);
    QFETCH(bool, saves);
    prepare(*LinkItem::MakeFolder(Repository::RootName));
    // The settings file is there from an earlier run; the exit replaces it, and only once.
    const QString conf = m_window.dir()->filePath(QStringLiteral("config/Orbrook Software/Quillmark.conf"));
    FileWrites settingsWrites(conf);
    QVERIFY(settingsWrites.isValid());
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    if (!saves)
        blockDataFolder(*m_window.dir());
    TrayController owner(false);
    MainWindow *window = owner.mainWindow();
    addLink(*window->repository()->Root(), "kept", "http://kept");
    QSignalSpy finished(&owner, &TrayController::finished);

    if (!saves) {
        QVERIFY(!owner.exitProgram());
        QCOMPARE(m_window.errors.size(), 1);
        QVERIFY2(m_window.errors.first().contains(QStringLiteral("Cannot create file ")),
                 qPrintable(m_window.errors.first()));
        // Nothing else was written, and the collection is still there.
        QCOMPARE(settingsWrites.count(), 0);
        QVERIFY(!QSettings(conf, QSettings::IniFormat).contains(QStringLiteral("1.0/Main Window/Left")));
        QCOMPARE(finished.size(), 0);
        QVERIFY(window->isVisible());
        QVERIFY(window->repository());
        QCOMPARE(window->repository()->Root()->Children.Count(), 1);
        QCOMPARE(window->listView()->model()->folder(), window->repository()->Root());
        // Once the disk is back, "E&xit" succeeds.
        qputenv("XDG_DATA_HOME", dataHome);
    }
    if (way == QLatin1String("close"))
        window->close();
    else if (way == QLatin1String("Close"))
        window->actions()->close->trigger();
    else
        owner.exitAction()->trigger();
    // Hidden at once; the program goes on once the collection is written.
    QVERIFY(window->isHidden());
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(settingsWrites.count(), 1);

    Repository again;
    QCOMPARE(again.Root()->Children.Count(), 1);
    QCOMPARE(again.Root()->Children.Get(0)->Name, std::string("kept"));
    QVERIFY(again.Root()->LastVisit > 0); // the root was shown, and that was saved too
    QCOMPARE(Settings().GetWindowBounds().width(), window->width());
    QCOMPARE(m_window.errors.size(), saves ? 0 : 1);
}

void TestWindowLife::terminationWaitsForTheCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("modal");
    QTest::newRow("native import") << "importQuillmark" << false;
    QTest::newRow("bookmark file import") << "importMozilla" << false;
    QTest::newRow("bookmark file export") << "exportMozilla" << false;
    QTest::newRow("import's file dialog") << "importMozilla" << true;
}

void TestWindowLife::terminationWaitsForTheCommand()
{
    QFETCH(QString, command);
    QFETCH(bool, modal);
    const bool exporting = command.startsWith(QLatin1String("export"));
    // The collection holds one link, and many when they are exported.
    auto collection = exporting ? manyLinks() : LinkItem::MakeFolder(Repository::RootName);
    addLink(*collection, "kept", "http://kept.example");
    prepare(*collection);
    ModalPrompts prompts;
    prompts.modal = modal;
    if (exporting) {
        prompts.fileName = m_window.dir()->filePath(QStringLiteral("out.html"));
    } else {
        const bool native = command == QLatin1String("importQuillmark");
        prompts.fileName = m_window.dir()->filePath(native ? QStringLiteral("in.qmf") : QStringLiteral("in.html"));
        const BookmarkFormat format = native ? BookmarkFormat::Native : BookmarkFormat::BrowserHtml;
        QVERIFY(FormatCommands::exportTo(format, prompts.fileName, *manyLinks()).ok());
    }

    TrayController owner(false);
    MainWindow *window = owner.mainWindow();
    LinkItem *root = window->repository()->Root();
    const int before = root->Children.Count();
    window->transferCommands()->setPrompts(&prompts);
    window->transferCommands()->setProgressDelay(0);
    MainActions *a = window->actions();
    const QHash<QString, QAction *> actions {{"importQuillmark", a->importAction(BookmarkFormat::Native)},
                                             {"importMozilla", a->importAction(BookmarkFormat::BrowserHtml)},
                                             {"exportMozilla", a->exportAction(BookmarkFormat::BrowserHtml)}};

    TerminationSignals termination;
    QVERIFY(termination.install());
    owner.exitOnRequest(termination);
    bool inCommand = false;
    bool endedInCommand = false;
    int countAfterCommand = -1;
    connect(&owner, &TrayController::finished, this, [&] { endedInCommand = inCommand; });
    QSignalSpy finished(&owner, &TrayController::finished);

    // Stands for the program's main loop; the command's dialogs and progress run inside it.
    QEventLoop mainLoop;
    // The pool stays busy until the exit has asked the command to stop, so that the transfer cannot end before.
    std::atomic_bool exitAsked = modal;
    QObject asking;
    connect(&LongCommands::instance(), &LongCommands::cancelling, &asking, [&exitAsked] { exitAsked = true; });
    QList<QFuture<void>> busy;
    for (int i = 0; i < Background::pool()->maxThreadCount(); ++i) {
        busy << Background::run([&exitAsked] {
            while (!exitAsked)
                QThread::msleep(1);
        });
    }
    // The command lasts until its transfer, if it started one, has ended.
    connect(window->transferCommands(), &TransferCommands::finished, this, [&] {
        inCommand = false;
        countAfterCommand = root->Children.Count();
    });
    QTimer::singleShot(0, this, [&] {
        // The signal waits in its socket until the command lets the event loop run.
        ::raise(SIGTERM);
        inCommand = true;
        actions.value(command)->trigger();
        if (!window->transferCommands()->isRunning()) {
            inCommand = false;
            countAfterCommand = root->Children.Count();
        }
    });
    connect(&owner, &TrayController::finished, &mainLoop, &QEventLoop::quit);
    QTimer::singleShot(20000, &mainLoop, &QEventLoop::quit);
    mainLoop.exec();
    exitAsked = true;
    for (QFuture<void> &task : busy)
        task.waitForFinished();

    QCOMPARE(finished.size(), 1);
    QVERIFY(!endedInCommand);
    // The command stopped before the pool began it: an import adds nothing, an export leaves no file.
    QCOMPARE(countAfterCommand, before);
    if (exporting)
        QVERIFY(!QFile::exists(prompts.fileName));
    // What the collection held when the command stopped is saved, whole.
    RecordingReporter reporter;
    Repository written(&reporter);
    QCOMPARE(written.loadState(), Repository::LoadState::Loaded);
    QCOMPARE(written.Root()->Children.Count(), countAfterCommand);
}

QTEST_MAIN(TestWindowLife)
#include "tst_windowlife.moc"
