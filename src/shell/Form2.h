#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class HelpCommands;
class QAction;
class QMenu;
class QSystemTrayIcon;
class TSDIAppForm;

// The owner of the program's life: it keeps the notification-area icon with its menu, creates the
// main window, shows and hides it, and ends the program on "E&xit". Where the desktop has no
// notification area, the main window behaves as an ordinary window and closing it ends the program.
class TForm2 : public QObject
{
    Q_OBJECT
public:
    // useTray: show the icon in the notification area (when the desktop has one).
    explicit TForm2(bool useTray, QObject *parent = nullptr);
    ~TForm2() override;

    TSDIAppForm *mainWindow() const { return m_mainWindow.get(); }
    HelpCommands *helpCommands() const { return m_helpCommands.get(); }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QMenu *trayMenu() const { return m_menu.get(); }
    QAction *openHideAction() const { return m_openHide; }
    QAction *exitAction() const { return m_exit; }
    bool MainWindowShown() const { return m_mainWindowShown; }

    void SetMainWindowShown(bool shown);
    // A second start of the program: show, focus and flash the main window.
    void ActivateMainWindow();
    void OpenHideRavelin1Click() { SetMainWindowShown(!m_mainWindowShown); }
    // Runs the main window's close sequence; when it completes, removes the icon and ends the program.
    // False when the collection could not be saved (the program keeps running).
    bool Exit1Click();

signals:
    // The close sequence completed; the program is about to end.
    void finished();

private:
    void MinimizeMessage() { SetMainWindowShown(false); }

    std::unique_ptr<QMenu> m_menu;
    QAction *m_openHide;
    QAction *m_exit;
    QSystemTrayIcon *m_tray = nullptr;
    std::unique_ptr<TSDIAppForm> m_mainWindow;
    std::unique_ptr<HelpCommands> m_helpCommands;
    bool m_mainWindowShown = false;
    bool m_exiting = false;
};
