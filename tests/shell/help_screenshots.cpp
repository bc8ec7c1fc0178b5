// Shows the tip of the day, the about box or the help window over the main window, for the pictures in
// docs/screenshots/ (scripts/help-screenshots takes them). Run under a virtual screen with HOME and the XDG folders
// pointing at a scratch home; the program prints the geometry (WxH+X+Y) of the window to photograph once it is on
// screen, and quits three seconds later.
//
// The first argument is "tip", "about" or "help".

#include "mainwindow/MainWindow.h"
#include "settings/Settings.h"
#include "shell/HelpCommands.h"
#include "shell/HelpSystem.h"
#include "shell/TipOfTheDayDialog.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

QWidget *shownWindow(const char *className)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->inherits(className))
            return widget;
    }
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmark"));
    const QString which = app.arguments().value(1);
    const char *photographed = which == QLatin1String("tip") ? "TipOfTheDayDialog"
        : which == QLatin1String("about")                    ? "AboutBox"
        : which == QLatin1String("help")                     ? "HelpWindow"
                                                             : nullptr;
    if (!photographed) {
        std::fprintf(stderr, "usage: help_screenshots tip|about|help\n");
        return 2;
    }

    // The tip opens by itself at the window's first activation, as at every start of the program.
    Settings().SetShowTip(which == QLatin1String("tip"));
    MainWindow window;
    HelpCommands commands(&window, window.actions());
    QObject::connect(&window, &MainWindow::firstActivated, &commands, &HelpCommands::showTipAtStart);
    window.show();
    window.activateWindow();

    QTimer::singleShot(1000, &window, [&] {
        if (which == QLatin1String("about"))
            commands.showAbout();
        else if (which == QLatin1String("help"))
            commands.help()->showContents();
        else if (!shownWindow(photographed)) // a screen without a window manager may never activate the window
            commands.showTipOfTheDay();
    });
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, &app, [&] {
        if (QWidget *shown = shownWindow(photographed)) {
            watcher.stop();
            const QRect frame = shown->frameGeometry();
            std::printf("%dx%d+%d+%d\n", frame.width(), frame.height(), frame.x(), frame.y());
            std::fflush(stdout);
            QTimer::singleShot(3000, &app, [] { QApplication::exit(0); });
        }
    });
    watcher.start(100);
    return QApplication::exec();
}
