// How long the main window freezes while it imports a large bookmark file and exports it again: a generated
// browser HTML file of 1,000,000 links is imported through the File menu into the window's (empty) collection,
// then the collection is exported to another HTML file. A 10 ms timer records the longest gap between its ticks
// from the moment the command is posted until it has ended. The baseline is reading the file's bytes into memory.
//
//   quillmark-bench-transfer-window [--quick]     1,000,000 links (--quick: 100,000)
// The exit status is 1 when a target was missed, 2 when the run could not be measured.
#include "BenchHome.h"
#include "Measure.h"
#include "common/FilePrompts.h"
#include "mainwindow/AutoSave.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/TransferCommands.h"
#include "platform/Background.h"
#include "store/LinkItem.h"
#include "store/Repository.h"
#include "transfer/LongCommands.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

// The longest a user should wait for the window to answer.
constexpr double TargetMs = 100;

bool writeHtml(const QString &path, int links)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
    for (int i = 0; i < links; ++i) {
        const QByteArray n = QByteArray::number(i);
        html += "    <DT><A HREF=\"https://example.org/" + n + "\" ADD_DATE=\"1700000000\">Link " + n + "</A>\n";
        if (html.size() > (1 << 20)) {
            if (file.write(html) != html.size())
                return false;
            html.clear();
        }
    }
    html += "</DL><p>\n";
    return file.write(html) == html.size();
}

// Posts the command and runs the event loop until it has returned, no transfer runs any more, and the ticks of a
// 10 ms timer have come steadily for 300 ms (the views may still be laying out what an import added); the longest
// gap between the ticks, in milliseconds, and the time until the transfer ended.
std::pair<double, double> stallMs(const std::function<void()> &command)
{
    constexpr qint64 SteadyNs = 300'000'000;
    constexpr qint64 BusyGapNs = 30'000'000;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 lastBusy = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        if (now - last > BusyGapNs)
            lastBusy = now;
        last = now;
    });
    tick.start();
    clock.start();
    bool returned = false;
    qint64 ended = -1;
    QTimer::singleShot(0, [&] {
        command();
        returned = true;
    });
    while (ended < 0 || last - std::max(lastBusy, ended) < SteadyNs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (ended < 0 && returned && !LongCommands::instance().running())
            ended = clock.nsecsElapsed();
    }
    return {static_cast<double>(longest) / 1e6, static_cast<double>(ended) / 1e6};
}

} // namespace

int main(int argc, char **argv)
{
    bool quick = qEnvironmentVariableIntValue("QUILLMARK_BENCH_QUICK") != 0;
    for (int i = 1; i < argc; ++i)
        quick = quick || std::strcmp(argv[i], "--quick") == 0;
    const int links = quick ? 100'000 : 1'000'000;

    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    useBenchHome(home);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    {
        // The tip of the day would open at the first activation.
        const QString folder = home.filePath(QStringLiteral("XDG_CONFIG_HOME/Orbrook Software"));
        QDir().mkpath(folder);
        QFile settings(folder + QStringLiteral("/Quillmark.conf"));
        if (!settings.open(QIODevice::WriteOnly) || settings.write("[1.0]\nShowTip=0\n") < 0)
            return 2;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orbrook Software"));
    QApplication::setApplicationName(QStringLiteral("Quillmark"));

    const QString in = home.filePath(QStringLiteral("in.html"));
    const QString out = home.filePath(QStringLiteral("out.html"));
    if (!writeHtml(in, links))
        return 2;
    Measure::figure("links", links);
    const double readMs = Measure::medianMs(3, [&in] {
        QFile file(in);
        if (file.open(QIODevice::ReadOnly))
            (void)file.readAll();
    });
    Measure::figure("read_file_ms", readMs);

    MainWindow window;
    window.show();
    // What the machine alone makes of the loop: the longest gap while the window waits for a second.
    const double idleStall
        = stallMs([] {
              QElapsedTimer idle;
              idle.start();
              while (idle.elapsed() < 1000)
                  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
          }).first;
    // And while one of the pool's threads computes for a second, as an export's writer does.
    const double busyStall
        = stallMs([] {
              QFuture<void> busy = Background::run([] {
                  QElapsedTimer spin;
                  spin.start();
                  volatile unsigned sum = 0;
                  while (spin.elapsed() < 1000)
                      sum = sum + 1;
              });
              while (!busy.isFinished())
                  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
          }).first;
    MainActions *actions = window.actions();
    FilePrompts importing(in);
    window.transferCommands()->setPrompts(&importing);
    const auto [importStall, importMs]
        = stallMs([&] { actions->importAction(BookmarkFormat::BrowserHtml)->trigger(); });
    if (window.repository()->Root()->Children.Count() != links)
        return 2;
    // The automatic save of what was imported is not the export's.
    if (!window.autoSave()->saveNow())
        return 2;
    FilePrompts exporting(out);
    window.transferCommands()->setPrompts(&exporting);
    const auto [exportStall, exportMs]
        = stallMs([&] { actions->exportAction(BookmarkFormat::BrowserHtml)->trigger(); });
    window.transferCommands()->setPrompts(nullptr);
    if (!QFile::exists(out))
        return 2;

    Measure::figure("stall_idle_ms", idleStall);
    Measure::figure("stall_busy_pool_ms", busyStall);
    Measure::figure("import_ms", importMs);
    Measure::figure("export_ms", exportMs);
    Measure::figure("stall_import_ms", importStall);
    Measure::figure("stall_export_ms", exportStall);
    Measure::figure("import_vs_read_file", importMs / readMs);
    bool ok = Measure::ratio("stall_import_vs_target", importStall / TargetMs, 1.0);
    ok = Measure::ratio("stall_export_vs_target", exportStall / TargetMs, 1.0) && ok;
    return ok ? 0 : 1;
}
