// How long the main window freezes in File > Import > From Browser with a Firefox profile of 1,000,000
// bookmarks (the test profile's database, filled in folders of 1,000). A zero timer records the longest gap
// between its ticks:
//   - from the command until its dialog is up, and while the dialog waits for the profile's counts;
//   - while the chosen profile is imported.
// For comparison, the same run reads the profile on the window's thread as the command once did: once
// before the dialog (for the counts) and once with the import's progress, each with the same timer.
//
//   quillmark-bench-browser-window [--quick]     1,000,000 bookmarks (--quick: 100,000)
// The exit status is 1 when a target was missed, 2 when the run could not be measured.
#include "BenchHome.h"
#include "Measure.h"

#include "formats/BrowserProfiles.h"
#include "mainwindow/BrowserImportCommands.h"
#include "mainwindow/MainWindow.h"
#include "settings/Settings.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"
#include "transfer/BrowserImportDialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr int PerFolder = 1000;
// A stall of the window, in milliseconds, at most.
constexpr double TargetMs = 100;

bool exec(sqlite3 *db, const std::string &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "%s\n", error ? error : "SQLite failed");
    sqlite3_free(error);
    return false;
}

// Fills a copy of the test profile's database with links bookmarks below the menu, a tenth of them tagged.
bool fill(const QString &path, int links)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    const std::string n = std::to_string(links);
    const std::string perFolder = std::to_string(PerFolder);
    const bool ok = exec(db, "PRAGMA journal_mode = DELETE") && exec(db, "BEGIN")
        && exec(db, "CREATE TEMP TABLE ids(n INTEGER PRIMARY KEY)")
        && exec(db,
                "WITH RECURSIVE c(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM c WHERE n + 1 < " + n
                    + ") INSERT INTO ids SELECT n FROM c")
        && exec(db,
                "INSERT INTO moz_places (id, url, title, rev_host, visit_count, last_visit_date, guid, url_hash) "
                "SELECT 10000000 + n, 'https://site' || (n % 977) || '.example/page/' || n, 'Page ' || n, '', "
                "n % 50, 1600000000000000 + n * 1000000, 'pl' || n, 0 FROM ids")
        && exec(db,
                "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) "
                "SELECT 20000000 + n, 2, (SELECT id FROM moz_bookmarks WHERE guid = 'menu________'), 100 + n, "
                "'Folder ' || n, 'fo' || n FROM ids WHERE n < "
                    + std::to_string((links + PerFolder - 1) / PerFolder))
        && exec(db,
                "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) "
                "SELECT 30000000 + n, 1, 10000000 + n, 20000000 + n / "
                    + perFolder + ", n % " + perFolder + ", 'Bookmark ' || n, 'bm' || n FROM ids")
        && exec(db,
                "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) "
                "SELECT 40000000 + n, 2, (SELECT id FROM moz_bookmarks WHERE guid = 'tags________'), n, "
                "'tag' || n, 'tg' || n FROM ids WHERE n < 20")
        && exec(db,
                "INSERT INTO moz_bookmarks (id, type, fk, parent, position, guid) "
                "SELECT 50000000 + n, 1, 10000000 + n, 40000000 + n % 20, n, 'tb' || n FROM ids WHERE n % 10 = 0")
        && exec(db, "COMMIT") && exec(db, "PRAGMA journal_mode = WAL");
    sqlite3_close(db);
    return ok;
}

// Runs work from the event loop and returns the longest gap between the ticks of a zero timer until it has
// returned.
double stallMs(const std::function<void()> &work, const std::function<bool()> &ended = {})
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.nsecsElapsed() - last);
        last = clock.nsecsElapsed();
    });
    tick.start();
    clock.start();
    bool done = false;
    QTimer::singleShot(0, [&] {
        work();
        done = true;
    });
    while (!done || (ended && !ended()))
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return static_cast<double>(std::max(longest, clock.nsecsElapsed() - last)) / 1e6;
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
    if (!NativeFile::saveAtomically(Repository::DataFile(), *LinkItem::MakeFolder(Repository::RootName), nullptr))
        return 2;
    const QString folder = home.filePath(QStringLiteral("profile"));
    QDir().mkpath(folder);
    const QString places = QDir(folder).filePath(QStringLiteral("places.sqlite"));
    if (!QFile::copy(QStringLiteral(QUILLMARK_SOURCE_DIR "/tests/data/browsers/places.sqlite"), places)
        || !fill(places, links))
        return 2;
    const BrowserProfile profile {BrowserProfile::Family::Firefox, QStringLiteral("Firefox"), QStringLiteral("big"),
                                  folder};
    Measure::figure("bookmarks", links);

    MainWindow window;
    window.show();
    // As the command once did it: the counts read before the dialog, then the import read, both on the window's
    // thread.
    const double countedBefore = stallMs([&] {
        LinkItem scratch;
        BrowserProfiles::read(profile, scratch);
    });
    const double importedBefore = stallMs([&] {
        LinkItem target;
        BrowserProfiles::read(profile, target);
    });
    Measure::figure("stall_counts_on_window_thread_ms", countedBefore);
    Measure::figure("stall_import_on_window_thread_ms", importedBefore);

    BrowserImportCommands *commands = window.browserImport();
    commands->setFinder([&profile] { return QList<BrowserProfile> {profile}; });
    QElapsedTimer clock;
    double openedMs = -1;
    QString counts;
    commands->setChooser([&](BrowserImportDialog &dialog) {
        openedMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        const QTreeWidgetItem *row = dialog.list()->topLevelItem(0);
        while (row->text(3).isEmpty())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        counts = row->text(2) + QLatin1Char(' ') + row->text(3);
        return int(QDialog::Rejected);
    });
    const double counting = stallMs([&] {
        clock.start();
        window.browserImport()->importFromBrowser();
    });
    bool imported = false;
    bool ended = false;
    QObject::connect(commands, &BrowserImportCommands::finished, [&](bool added) {
        imported = added;
        ended = true;
    });
    const double importing = stallMs([&] { commands->importProfile(profile); }, [&ended] { return ended; });
    if (!imported || counts.isEmpty())
        return 2;
    std::printf("counts %s\n", qPrintable(counts));
    Measure::figure("dialog_open_ms", openedMs);
    Measure::figure("stall_while_counting_ms", counting);
    Measure::figure("stall_import_ms", importing);
    bool ok = Measure::ratio("dialog_open_vs_target", openedMs / TargetMs, 1.0);
    ok = Measure::ratio("stall_while_counting_vs_target", counting / TargetMs, 1.0) && ok;
    ok = Measure::ratio("stall_import_vs_target", importing / TargetMs, 1.0) && ok;
    return ok ? 0 : 1;
}
