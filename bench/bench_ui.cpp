// How long the main window freezes: the program's own window, started on a generated collection of
// 1,000,000 items (about 1,000 folders of 1,000 links, one folder of 100,000 links and a tree of 111,111
// folders, ten sub-folders to a folder, five levels deep), driven through its
// menu commands, its search field and its folder tree as a user would. For each interaction a 1 ms timer
// records the longest gap between its ticks from the moment the interaction is posted until the ticks have
// come steadily for 300 ms again; that gap is the interaction's stall. The baseline is std::sort of the
// collection's names, in the same run. A child process generates the collection and sorts its names, so
// that the peak memory figure is the window's own.
//
//   quillmark-bench-ui [--quick]          1,000,000 items (--quick or QUILLMARK_BENCH_QUICK=1: 100,000)
//   quillmark-bench-ui --write-collection FILE ITEMS HUGE LEVELS
//                                         (internal) writes the collection, prints the baseline
// The exit status is 1 when a target was missed, 2 when the run could not be measured.
#include "BenchHome.h"
#include "Collection.h"
#include "Measure.h"
#include "mainwindow/AutoSave.h"
#include "mainwindow/CollectionView.h"
#include "mainwindow/FolderCommands.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/ItemCommands.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SearchCommands.h"
#include "mainwindow/TreeMenu.h"
#include "platform/MemoryPolicy.h"
#include "shell/TrayController.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

const char HugeFolderName[] = "Huge folder";
const char FolderTreeName[] = "Folder tree";
// Ticks further apart than this are work, not a loaded machine's scheduling noise.
constexpr qint64 BusyGapNs = 20'000'000;
constexpr qint64 IdleNs = 300'000'000;
constexpr qint64 GiveUpNs = 600'000'000'000;
constexpr double Target = 0.3;
constexpr double SearchKeyTarget = 0.15;

// The tree of folders: "T" holds T0 to T9, T0 holds T00 to T09, and so on, `levels` levels below the top.
std::unique_ptr<LinkItem> makeFolderTree(int levels)
{
    auto top = LinkItem::MakeFolder(FolderTreeName);
    std::vector<std::pair<LinkItem *, std::string>> level {{top.get(), "T"}};
    for (int depth = 0; depth < levels; ++depth) {
        std::vector<std::pair<LinkItem *, std::string>> next;
        for (const auto &[folder, name] : level) {
            for (int i = 0; i < 10; ++i) {
                auto child = LinkItem::MakeFolder(name + char('0' + i));
                next.emplace_back(child.get(), name + char('0' + i));
                folder->Children.InsertSorted(std::move(child));
            }
        }
        level = std::move(next);
    }
    return top;
}

int folderTreeSize(int levels)
{
    int size = 1;
    for (int depth = 0, width = 1; depth < levels; ++depth)
        size += (width *= 10);
    return size;
}

// The child's side: writes the collection to dataFile, then prints the baseline, std::sort of its names.
int writeCollection(const QString &dataFile, int items, int hugeLinks, int treeLevels)
{
    auto root = Collection::make(items - hugeLinks - 1 - folderTreeSize(treeLevels), 11);
    auto huge = Collection::makeFlat(hugeLinks, 12);
    huge->Name = HugeFolderName;
    root->Children.InsertSorted(std::move(huge));
    root->Children.InsertSorted(makeFolderTree(treeLevels));
    QDir().mkpath(QFileInfo(dataFile).path());
    QString error;
    if (!NativeFile::saveAtomically(dataFile, *root, &error, NativeFile::Sync::NoSync)) {
        std::fprintf(stderr, "cannot write the collection: %s\n", qPrintable(error));
        return 1;
    }
    std::vector<std::string> names;
    std::vector<const LinkItem *> pending {root.get()};
    while (!pending.empty()) {
        const LinkItem *item = pending.back();
        pending.pop_back();
        for (const auto &child : item->Children) {
            names.push_back(child->Name.str());
            pending.push_back(child.get());
        }
    }
    std::vector<std::string> work;
    const double sortMs = Measure::medianMs(
        3, [&] { std::sort(work.begin(), work.end()); }, [&] { work = names; });
    std::printf("items %zu\nsort %.6f\n", names.size(), sortMs);
    return 0;
}

// Answers the next modal dialog or message box as soon as it is up.
void answerModal(const std::function<void(QWidget *)> &answer)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

void typeKey(QWidget *widget, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &release);
}

class StallBench
{
public:
    explicit StallBench(double sortMs) : m_sortMs(sortMs) { }

    // Once the window exists, each interaction also prints the number of rows the list shows after it.
    void setList(const FolderListView *list) { m_list = list; }
    bool allMet() const { return m_allMet; }

    // Posts the interaction and runs the event loop until it has returned, `ready` holds, and the loop has
    // been idle for a while (and at least minimumMs have passed); prints the longest gap between ticks.
    void measure(const std::string &name, const std::function<void()> &interaction, double target = Target,
                 const std::function<bool()> &ready = {}, int minimumMs = 0)
    {
        QElapsedTimer clock;
        clock.start();
        qint64 lastTick = 0;
        qint64 lastBusy = 0;
        qint64 longest = 0;
        bool done = false;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - lastTick);
            if (now - lastTick > BusyGapNs)
                lastBusy = now;
            lastTick = now;
        });
        tick.start();
        QTimer::singleShot(0, [&] {
            interaction();
            done = true;
            lastBusy = clock.nsecsElapsed();
        });
        const qint64 minimumNs = qint64(minimumMs) * 1'000'000;
        // Settled: the ticks have come steadily for a while since the interaction returned.
        while (!done || (ready && !ready()) || lastTick - lastBusy < IdleNs || lastTick < minimumNs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            if (done && clock.nsecsElapsed() - lastBusy >= GiveUpNs) {
                std::fprintf(stderr, "%s: the window did not settle in %lld s\n", name.c_str(),
                             GiveUpNs / 1'000'000'000);
                break;
            }
        }
        const double stallMs = static_cast<double>(longest) / 1e6;
        Measure::figure("stall_" + name + "_ms", stallMs);
        m_allMet = Measure::ratio("stall_" + name + "_vs_sort", stallMs / m_sortMs, target) && m_allMet;
        if (m_list)
            Measure::figure("rows_" + name, m_list->model()->rowCount());
        // Where the memory goes up: the peak so far after each interaction.
        Measure::figure("peak_memory_mb_after_" + name, static_cast<double>(Measure::peakResidentKb()) / 1024.0);
    }

private:
    double m_sortMs;
    const FolderListView *m_list = nullptr;
    bool m_allMet = true;
};

QModelIndex childNode(const QModelIndex &parent, const char *name)
{
    const QAbstractItemModel *model = parent.model();
    for (int i = 0; model && i < model->rowCount(parent); ++i) {
        if (FolderTreeView::itemOf(model->index(i, 0, parent))->Name.view() == name)
            return model->index(i, 0, parent);
    }
    return {};
}

LinkItem *childFolder(const LinkItem *parent, std::string_view name)
{
    for (const auto &child : parent->Children) {
        if (child->isFolder() && child->Name.view() == name)
            return child.get();
    }
    return nullptr;
}

// Drags the folder onto target as the mouse would: a press on its node, then the drag's events over the
// target's node.
void dropFolder(FolderTreeView *tree, const LinkItem *folder, const LinkItem *target)
{
    QWidget *viewport = tree->viewport();
    const QModelIndex source = tree->revealFolder(folder);
    tree->scrollTo(source);
    const QPoint from = tree->visualRect(source).center();
    QMouseEvent press(QEvent::MouseButtonPress, from, viewport->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &press);
    const QModelIndex onto = tree->revealFolder(target);
    tree->scrollTo(onto);
    const QPoint to = tree->visualRect(onto).center();
    QMimeData data;
    data.setData(FolderTreeModel::TreeMimeType, QByteArray());
    QDragEnterEvent enter(to, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(to, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    QDropEvent drop(QPointF(to), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
}

int checkedStyle(const LinkListPane *pane)
{
    for (int style = 0; style < 4; ++style) {
        if (pane->viewMenuAction(style)->isChecked())
            return style;
    }
    return 0;
}

int checkedSortKey(const LinkListPane *pane)
{
    for (int key = 0; key < 5; ++key) {
        if (pane->arrangeAction(key)->isChecked())
            return key;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 6 && std::strcmp(argv[1], "--write-collection") == 0)
        return writeCollection(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                               std::atoi(argv[5]));
    bool quick = qEnvironmentVariableIntValue("QUILLMARK_BENCH_QUICK") != 0;
    for (int i = 1; i < argc; ++i)
        quick = quick || std::strcmp(argv[i], "--quick") == 0;
    const int items = quick ? 100'000 : 1'000'000;
    const int hugeLinks = items / 10;
    const int treeLevels = quick ? 4 : 5;

    // Never the user's own files: the home, the settings and the data live in a folder of their own.
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    useBenchHome(home);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path())); // private, as that folder must be
    {
        // The tip of the day would open at the first activation.
        const QString folder = home.filePath(QStringLiteral("XDG_CONFIG_HOME/Orbrook Software"));
        QDir().mkpath(folder);
        QFile settings(folder + QStringLiteral("/Quillmark.conf"));
        if (!settings.open(QIODevice::WriteOnly) || settings.write("[1.0]\nShowTip=0\n") < 0)
            return 2;
    }

    MemoryPolicy::returnLargeBlocksAtOnce(); // as the program does when it starts
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orbrook Software"));
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setQuitOnLastWindowClosed(false);

    const QString dataFile = Repository::DataFile();
    double sortMs = 0;
    {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--write-collection"), dataFile, QString::number(items),
                      QString::number(hugeLinks), QString::number(treeLevels)});
        if (!writer.waitForFinished(-1) || writer.exitCode() != 0)
            return 2;
        for (const QByteArray &line : writer.readAllStandardOutput().split('\n')) {
            if (line.startsWith("items "))
                std::printf("%s\n", line.constData());
            else if (line.startsWith("sort "))
                sortMs = line.mid(5).toDouble();
        }
    }
    if (sortMs <= 0)
        return 2;
    const qint64 fileSize = QFileInfo(dataFile).size();
    std::printf("data_file_bytes %lld\n", static_cast<long long>(fileSize));
    Measure::figure("std_sort_names_ms", sortMs);

    StallBench bench(sortMs);
    std::unique_ptr<TrayController> owner;
    // As the program starts: the window comes up while the collection is read. Started up means on screen
    // with the collection shown, the folder tree filled.
    const auto shown = [&] {
        MainWindow *window = owner ? owner->mainWindow() : nullptr;
        QWindow *handle = window ? window->windowHandle() : nullptr;
        return handle && handle->isExposed() && !window->isLoading() && window->folderTree()->rootRow().isValid();
    };
    bench.measure(
        "startup", [&] { owner = std::make_unique<TrayController>(false, nullptr, MainWindow::Loading::InBackground); },
        Target, shown);
    MainWindow *window = owner->mainWindow();
    FolderListView *list = window->listView();
    bench.setList(list);
    // The autosave is measured on its own, after the deletion; until then it would fall into whichever
    // interaction happened to be running a few seconds after the first visit.
    window->autoSave()->setDelays(1'000'000'000, 1'000'000'000);
    MainActions *actions = window->actions();
    LinkListPane *pane = window->listPane();
    FolderTreeView *tree = window->folderTree();
    QLineEdit *search = window->searchCommands()->searchEdit();

    bench.measure("all_bookmarks", [&] { actions->allBookmarks->trigger(); });
    static const char *const StyleNames[] = {"large_icons", "small_icons", "list", "details"};
    // The checked style last: choosing it while it is checked would do nothing.
    const int firstStyle = checkedStyle(pane) + 1;
    for (int i = 0; i < 4; ++i) {
        const int style = (firstStyle + i) % 4;
        bench.measure(std::string("view_") + StyleNames[style], [&] { pane->viewMenuAction(style)->trigger(); });
    }
    static const char *const KeyNames[] = {"name", "url", "visits", "last_visit", "rating"};
    const int firstKey = checkedSortKey(pane) + 1;
    for (int i = 0; i < 5; ++i) {
        const int key = (firstKey + i) % 5;
        const std::string prefix = std::string("arrange_") + KeyNames[key];
        const bool ascending = pane->sortAscendingAction()->isChecked();
        bench.measure(prefix + (ascending ? "_asc" : "_desc"), [&] { pane->arrangeAction(key)->trigger(); });
        QAction *other = ascending ? pane->sortDescendingAction() : pane->sortAscendingAction();
        bench.measure(prefix + (ascending ? "_desc" : "_asc"), [&] { other->trigger(); });
    }
    search->setFocus();
    for (const char *letter : {"a", "b", "c"}) {
        const QString text = QString::fromLatin1(letter);
        const auto key = static_cast<Qt::Key>(Qt::Key_A + (letter[0] - 'a'));
        bench.measure(
            std::string("search_key_") + letter, [&] { typeKey(search, key, text); }, SearchKeyTarget);
    }
    bench.measure(
        "search_backspace", [&] { typeKey(search, Qt::Key_Backspace, QString()); }, SearchKeyTarget);
    bench.measure("expand_all", [&] { actions->expandAll->trigger(); });
    bench.measure("go_to_folder", [&] {
        answerModal([](QWidget *modal) {
            auto *dialog = qobject_cast<GoToFolderDialog *>(modal);
            if (!dialog)
                return;
            QListView *list = dialog->folderList();
            list->setCurrentIndex(list->model()->index(list->model()->rowCount() / 2, 0));
            dialog->accept();
        });
        actions->goToFolder->trigger();
    });
    const QPersistentModelIndex hugeNode = childNode(tree->rootRow(), HugeFolderName);
    if (!hugeNode.isValid()) {
        std::fprintf(stderr, "the folder of %d links is not in the tree\n", hugeLinks);
        return 2;
    }
    bench.measure("select_huge_folder", [&] { tree->setCurrentIndex(hugeNode); });
    LinkItem *hugeFolder = FolderTreeView::itemOf(hugeNode);
    // The dialog has closed: the window takes the keyboard back, and the list the focus, so that Delete
    // acts on the selected rows.
    window->activateWindow();
    for (int i = 0; i < 100 && QApplication::activeWindow() != window; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    list->currentView()->setFocus();
    if (!window->view()->listActive()) {
        std::fprintf(stderr, "the list does not have the keyboard focus\n");
        return 2;
    }
    bench.measure("select_all", [&] { actions->selectAll->trigger(); });
    if (list->selectedCount() != hugeLinks) {
        std::fprintf(stderr, "%d rows selected instead of %d\n", list->selectedCount(), hugeLinks);
        return 2;
    }
    bench.measure("delete_selected", [&] {
        answerModal([](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->button(QMessageBox::Yes)->click();
        });
        actions->deleteItems->trigger();
    });
    if (hugeFolder->Children.Count() != 0 || childNode(tree->rootRow(), HugeFolderName) != hugeNode) {
        std::fprintf(stderr, "the links were not deleted from their folder\n");
        return 2;
    }

    // The folder tree: show a folder five levels down, delete a folder of 11,111 folders, drop another on a
    // third. Expand All has opened the tree's upper levels.
    LinkItem *collectionRoot = FolderTreeView::itemOf(tree->rootRow());
    LinkItem *treeTop = childFolder(collectionRoot, FolderTreeName);
    LinkItem *deep = treeTop;
    std::string deepName = "T";
    for (int level = 0; deep && level < treeLevels; ++level)
        deep = childFolder(deep, deepName += char('1' + level));
    if (!deep) {
        std::fprintf(stderr, "the tree of folders is not in the collection\n");
        return 2;
    }
    bench.measure("tree_show_folder", [&] { tree->selectFolder(deep); });
    if (tree->selectedFolder() != deep) {
        std::fprintf(stderr, "the tree does not show the folder %s\n", deepName.c_str());
        return 2;
    }
    LinkItem *doomed = childFolder(treeTop, "T7");
    tree->selectFolder(doomed);
    tree->setFocus();
    bench.measure("tree_delete_folder", [&] {
        answerModal([](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->button(QMessageBox::Yes)->click();
        });
        window->treeMenu()->deleteAction()->trigger();
    });
    if (childFolder(treeTop, "T7")) {
        std::fprintf(stderr, "the folder was not deleted\n");
        return 2;
    }
    LinkItem *moving = childFolder(treeTop, "T8");
    LinkItem *target = childFolder(treeTop, "T9");
    bench.measure("tree_drop", [&] { dropFolder(tree, moving, target); });
    if (moving->Parent != target) {
        std::fprintf(stderr, "the folder was not dropped\n");
        return 2;
    }
    bench.measure(
        "autosave",
        [&] {
            window->autoSave()->setDelays(AutoSave::DefaultDelayMs, AutoSave::DefaultLongestWaitMs);
            window->autoSave()->markChanged();
        },
        Target, [&] { return !window->autoSave()->isSaving() && !window->autoSave()->hasUnsavedChanges(); },
        AutoSave::DefaultDelayMs + 500);
    // The program may go on writing after the menu command has returned: the close lasts until it ends.
    bool finished = false;
    QObject::connect(owner.get(), &TrayController::finished, [&finished] { finished = true; });
    bench.measure(
        "close", [&] { owner->exitAction()->trigger(); }, Target, [&finished] { return finished; });

    const double peakBytes = static_cast<double>(Measure::peakResidentKb()) * 1024.0;
    Measure::figure("peak_memory_bytes", peakBytes);
    const bool memoryMet = Measure::ratio("peak_memory_vs_file", peakBytes / static_cast<double>(fileSize), 2.2);
    return bench.allMet() && memoryMet ? 0 : 1;
}
