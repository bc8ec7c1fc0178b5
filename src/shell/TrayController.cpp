#include "shell/TrayController.h"

#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SyncCommands.h"
#include "mainwindow/UpdatesGuard.h"
#include "platform/TerminationSignals.h"
#include "settings/Settings.h"
#include "shell/HelpCommands.h"
#include "transfer/LongCommands.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QThread>

namespace {
// How often a remembered exit looks whether the command it waits for has unwound.
constexpr int ExitRetryMs = 50;
} // namespace

TrayController::TrayController(bool useTray, QObject *parent, MainWindow::Loading loading)
    : QObject(parent), m_menu(std::make_unique<QMenu>())
{
    m_openHide = m_menu->addAction(tr("Open/Hide Quillmark"));
    QFont bold = m_openHide->font();
    bold.setBold(true);
    m_openHide->setFont(bold);
    m_menu->setDefaultAction(m_openHide);
    m_syncNow = m_menu->addAction(tr("Sync No&w"));
    m_menu->addSeparator();
    m_exit = m_menu->addAction(tr("E&xit"));
    connect(m_openHide, &QAction::triggered, this, &TrayController::toggleMainWindow);
    connect(m_exit, &QAction::triggered, this, &TrayController::exitProgram);
    m_exitRetry.setInterval(ExitRetryMs);
    connect(&m_exitRetry, &QTimer::timeout, this, &TrayController::retryExit);

    if (useTray) {
        m_tray = new QSystemTrayIcon(Icons::application(), this);
        m_tray->setToolTip(QStringLiteral("Quillmark"));
        m_tray->setContextMenu(m_menu.get());
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            // A left click toggles; the right click opens the menu by itself; double clicks add nothing.
            if (reason == QSystemTrayIcon::Trigger)
                SetMainWindowShown(!m_mainWindowShown);
        });
        m_tray->show();
    }

    m_mainWindow = std::make_unique<MainWindow>(nullptr, nullptr, loading);
    m_mainWindow->setHideOnClose(m_tray != nullptr);
    connect(m_mainWindow.get(), &MainWindow::hideRequested, this, &TrayController::MinimizeMessage);
    connect(m_mainWindow.get(), &MainWindow::exitRequested, this, &TrayController::exitProgram);
    connect(m_mainWindow.get(), &MainWindow::closeEnded, this, &TrayController::closeEnded);
    // The tray's "Sync Now" is the window's, and is there when it is.
    QAction *syncNow = m_mainWindow->actions()->syncNow;
    m_syncNow->setEnabled(syncNow->isEnabled());
    connect(syncNow, &QAction::enabledChanged, m_syncNow, &QAction::setEnabled);
    connect(m_syncNow, &QAction::triggered, syncNow, &QAction::trigger);
    m_helpCommands = std::make_unique<HelpCommands>(m_mainWindow.get(), m_mainWindow->actions());
    connect(m_mainWindow.get(), &MainWindow::firstActivated, m_helpCommands.get(), &HelpCommands::showTipAtStart);
    {
        UpdatesGuard guard(m_mainWindow.get());
        Settings(); // from here on the settings exist
        SetMainWindowShown(true);
    }
}

TrayController::~TrayController() = default;

void TrayController::SetMainWindowShown(bool shown)
{
    // Nothing may change the collection while the close writes it.
    if (shown && m_mainWindow->isClosing())
        return;
    m_mainWindowShown = shown;
    if (!shown) {
        m_mainWindow->hide();
        return;
    }
    UpdatesGuard guard(m_mainWindow.get());
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

void TrayController::ActivateMainWindow()
{
    if (m_mainWindow->isClosing())
        return;
    {
        UpdatesGuard guard(m_mainWindow.get());
        m_mainWindow->show();
        m_mainWindow->raise();
    }
    m_mainWindowShown = true;
    m_mainWindow->activateWindow();
    m_mainWindow->setFocus(Qt::ActiveWindowFocusReason);
    QApplication::alert(m_mainWindow.get());
}

void TrayController::exitOnRequest(TerminationSignals &termination)
{
    connect(&termination, &TerminationSignals::terminationRequested, this, &TrayController::exitProgramNow);
}

bool TrayController::exitCanRunNow()
{
    // The main loop is the first; a dialog's loop (or a drag's) runs above it.
    return !LongCommands::instance().running() && QThread::currentThread()->loopLevel() <= 1;
}

void TrayController::retryExit()
{
    LongCommands::instance().cancelAll();
    if (exitCanRunNow()) {
        m_exitRetry.stop();
        const bool now = m_exitNow;
        m_exitNow = false;
        exit(now);
        return;
    }
    // A dialog that the command (or anything else) opened ends its loop as if the user had cancelled it.
    if (QThread::currentThread()->loopLevel() > 1) {
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
    }
}

bool TrayController::exitProgram()
{
    return exit(false);
}

bool TrayController::exitProgramNow()
{
    return exit(true);
}

bool TrayController::exit(bool now)
{
    if (m_exiting)
        return true;
    if (!exitCanRunNow()) {
        m_exitNow = m_exitNow || now;
        if (!m_exitRetry.isActive()) {
            m_exitRetry.start();
            LongCommands::instance().cancelAll();
        }
        return true;
    }
    if (now) {
        const bool closing = m_mainWindow->isClosing();
        if (!m_mainWindow->closeNow()) {
            if (closing)
                SetMainWindowShown(m_shownBeforeClose);
            return false; // the collection could not be saved: keep running
        }
        endProgram();
        return true;
    }
    if (m_mainWindow->isClosing())
        return true;
    // A last sync first, when it is set so; the window goes away meanwhile.
    if (!m_exitSynced && m_mainWindow->syncCommands()->syncBeforeExit([this] {
            m_exitSynced = true;
            exit(false);
        })) {
        m_shownBeforeSync = m_mainWindowShown;
        SetMainWindowShown(false);
        return true;
    }
    const bool shown = m_mainWindowShown || (m_exitSynced && m_shownBeforeSync);
    m_exitSynced = false;
    if (!m_mainWindow->beginClose()) {
        SetMainWindowShown(shown);
        return false; // the collection could not be saved: keep running
    }
    m_shownBeforeClose = shown;
    SetMainWindowShown(false);
    return true;
}

void TrayController::closeEnded(bool closed)
{
    if (closed)
        endProgram();
    else
        SetMainWindowShown(m_shownBeforeClose);
}

void TrayController::endProgram()
{
    m_exiting = true;
    m_mainWindow->close();
    if (m_tray)
        m_tray->hide();
    emit finished();
    QCoreApplication::quit();
}
