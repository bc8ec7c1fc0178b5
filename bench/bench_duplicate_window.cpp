// How long the main window freezes in the duplicates commands on a generated collection of 1,000,000 links:
// 1,000 folders of 1,000 links, every second folder with a twin of the same name in other letters, and one
// link in twenty repeating an earlier address. For each command a zero timer records the longest gap between
// its ticks from the moment the command is posted until it is done and the ticks have come steadily for
// 300 ms again. The baseline is std::sort of the links' URLs, in the same run.
//
//   quillmark-bench-duplicate-window [--quick]     1,000,000 links (--quick: 100,000)
// The exit status is 1 when a target was missed, 2 when the run could not be measured.
#include "BenchHome.h"
#include "Measure.h"
#include "Random.h"

#include "mainwindow/DuplicateCommands.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t Seed = 20261208;
constexpr int LinksPerFolder = 1000;
constexpr qint64 IdleNs = 300'000'000;
constexpr qint64 GiveUpNs = 600'000'000'000;
// Each stall at most this many times the sort of the URLs.
constexpr double Target = 0.3;

std::string addressOf(std::uint64_t n)
{
    return "https://host" + std::to_string(n % 50000) + ".example.org/articles/" + std::to_string(n) + "/index.html";
}

std::unique_ptr<LinkItem> makeCollection(int links)
{
    Random random(Seed);
    auto root = LinkItem::MakeFolder(Repository::RootName);
    std::vector<std::uint64_t> made;
    for (int f = 0; f * LinksPerFolder < links; ++f) {
        // Folders 2k and 2k+1 share a name in other letters: a merge moves the second one's links.
        std::string name = "Topic " + std::to_string(f / 2);
        if (f % 2)
            std::transform(name.begin(), name.end(), name.begin(), [](char c) { return char(std::toupper(c)); });
        auto folder = LinkItem::MakeFolder(name);
        std::vector<std::unique_ptr<LinkItem>> children;
        for (int i = 0; i < LinksPerFolder; ++i) {
            std::uint64_t n = random.next() >> 20;
            if (!made.empty() && random.between(0, 19) == 0)
                n = made[random.next() % made.size()];
            else
                made.push_back(n);
            children.push_back(LinkItem::MakeLink("Link " + std::to_string(n), addressOf(n)));
        }
        folder->Children.InsertSortedBatch(std::move(children));
        root->Children.InsertSorted(std::move(folder));
    }
    return root;
}

// Runs the event loop from posting `command` until it has returned, `done` holds and the ticks of a zero
// timer have come steadily for a while; returns the longest gap between ticks in milliseconds.
double stallMs(const std::function<void()> &command, const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 lastBusy = 0;
    qint64 longest = 0;
    bool returned = false;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - lastTick);
        if (now - lastTick > 20'000'000)
            lastBusy = now;
        lastTick = now;
    });
    tick.start();
    QTimer::singleShot(0, [&] {
        command();
        returned = true;
        lastBusy = clock.nsecsElapsed();
    });
    while (!returned || !done() || lastTick - lastBusy < IdleNs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (clock.nsecsElapsed() >= GiveUpNs) {
            std::fprintf(stderr, "the window did not settle\n");
            return -1;
        }
    }
    return static_cast<double>(longest) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    bool quick = false;
    for (int i = 1; i < argc; ++i)
        quick = quick || std::strcmp(argv[i], "--quick") == 0;
    const int links = quick ? 100'000 : 1'000'000;

    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    useBenchHome(home);
    QApplication app(argc, argv);
    Settings::SetStorageFolder(home.filePath(QStringLiteral("config")));
    QDir().mkpath(Repository::DataFolder());

    double sortMs = 0;
    {
        const auto root = makeCollection(links);
        if (!NativeFile::saveAtomically(Repository::DataFile(), *root, nullptr))
            return 2;
        std::vector<std::string> urls;
        for (const auto &folder : root->Children) {
            for (const auto &link : folder->Children)
                urls.push_back(link->Url.str());
        }
        std::vector<std::string> work;
        sortMs = Measure::medianMs(
            3, [&] { std::sort(work.begin(), work.end()); }, [&] { work = urls; });
    }
    Measure::figure("links", links);
    Measure::figure("std_sort_urls_ms", sortMs);
    MessageBoxes::setPresenter([](const MessageBoxes::Message &message) {
        if (message.kind == MessageBoxes::Kind::Error)
            std::fprintf(stderr, "%s\n", qPrintable(message.text));
        return true;
    });

    MainWindow window;
    window.show();
    DuplicateCommands *commands = window.duplicateCommands();
    CollectionDocument *document = window.document();
    MainActions *actions = window.actions();
    bool ok = true;
    const auto measure
        = [&](const char *name, const std::function<void()> &command, const std::function<bool()> &done) {
              const double ms = stallMs(command, done);
              if (ms < 0)
                  return false;
              Measure::figure(std::string("stall_") + name + "_ms", ms);
              ok = Measure::ratio(std::string("stall_") + name + "_vs_sort", ms / sortMs, Target) && ok;
              return true;
          };
    const auto listed = [commands] { return commands->showsDuplicates() && !commands->isFinding(); };
    const auto always = [] { return true; };
    size_t groups = 0;
    const bool measured = measure(
                              "find_duplicates", [&] { commands->showDuplicates(document->root(), {}); }, listed)
        && (groups = commands->groups().size(), true)
        && measure(
                              "clean_up_all", [&] { actions->cleanUpDuplicates->trigger(); },
                              [commands] { return !commands->isFinding() && !commands->showsDuplicates(); })
        && measure(
                              "undo_clean_up", [&] { actions->undo->trigger(); }, always)
        && measure(
                              "merge_duplicate_folders",
                              [&] {
                                  window.folderTree()->setCurrentIndex(window.folderTree()->rootRow());
                                  actions->mergeDuplicateFolders->trigger();
                              },
                              always)
        && measure(
                              "undo_merge", [&] { actions->undo->trigger(); }, always);
    if (!measured)
        return 2;
    Measure::figure("groups_found", static_cast<double>(groups));
    return ok ? 0 : 1;
}
