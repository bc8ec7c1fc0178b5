#pragma once

#include "mainwindow/MainWindow.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class HelpCommands;
class QAction;
class QMenu;
class QSystemTrayIcon;
class TerminationSignals;

// The owner of the program's life: it keeps the notification-area icon with its menu, creates the
// main window, shows and hides it, and ends the program on "E&xit". Where the desktop has no
// notification area, the main window behaves as an ordinary window and closing it ends the program.
class TrayController : public QObject
{
    Q_OBJECT
public:
    // useTray: show the icon in the notification area (when the desktop has one). loading: whether the main
    // window waits for the collection before it shows (see MainWindow::Loading).
    explicit TrayController(bool useTray, QObject *parent = nullptr,
                            MainWindow::Loading loading = MainWindow::Loading::Now);
    ~TrayController() override;

    MainWindow *mainWindow() const { return m_mainWindow.get(); }
    HelpCommands *helpCommands() const { return m_helpCommands.get(); }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QMenu *trayMenu() const { return m_menu.get(); }
    QAction *openHideAction() const { return m_openHide; }
    QAction *exitAction() const { return m_exit; }
    QAction *syncNowAction() const { return m_syncNow; }
    bool MainWindowShown() const { return m_mainWindowShown; }

    void SetMainWindowShown(bool shown);
    // A second start of the program: show, focus and flash the main window.
    void ActivateMainWindow();
    void toggleMainWindow() { SetMainWindowShown(!m_mainWindowShown); }
    // Runs the main window's close sequence; when it completes, removes the icon and ends the program.
    // False when the collection could not be saved (the program keeps running).
    // "E&xit" hides the window at once and writes the collection with the event loop running; the program
    // goes on once the save has ended (the window comes back as it was when the save failed).
    // exitProgramNow saves on the spot, for the requests after which the event loop may not run again (a
    // termination signal, the end of the session); it also finishes an "E&xit" under way.
    // The close never runs inside a long command (an import, an export) or inside the event loop of a
    // dialog, which would destroy the collection under the command that works on it: the request is
    // then remembered, the command is cancelled and the open dialogs are closed as if the user had
    // cancelled them, and the exit runs once the command has unwound. exitProgram then returns true.
    bool exitProgram();
    bool exitProgramNow();
    // A request to end the program from outside (a termination signal) runs "E&xit" on the spot.
    void exitOnRequest(TerminationSignals &termination);

signals:
    // The close sequence completed; the program is about to end.
    void finished();

private:
    void MinimizeMessage() { SetMainWindowShown(false); }
    static bool exitCanRunNow();
    void retryExit();
    bool exit(bool now);
    void closeEnded(bool closed);
    void endProgram();

    std::unique_ptr<QMenu> m_menu;
    QAction *m_openHide;
    QAction *m_syncNow;
    QAction *m_exit;
    QSystemTrayIcon *m_tray = nullptr;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<HelpCommands> m_helpCommands;
    bool m_mainWindowShown = false;
    bool m_exiting = false;
    bool m_exitNow = false; // a remembered exit saves on the spot
    bool m_shownBeforeClose = false;
    bool m_exitSynced = false; // the last sync before the exit has run
    bool m_shownBeforeSync = false;
    QTimer m_exitRetry;
};
