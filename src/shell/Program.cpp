#include "shell/Program.h"

#include "platform/Background.h"
#include "platform/MemoryPolicy.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"
#include "shell/Translations.h"
#include "shell/TrayController.h"
#include "widgets/Icons.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSessionManager>
#include <QSystemTrayIcon>

#include <cstdio>

int RunQuillmark(int argc, char **argv)
{
    MemoryPolicy::returnLargeBlocksAtOnce();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orbrook Software"));
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmark"));
    QApplication::setDesktopFileName(QStringLiteral("quillmark"));
    QApplication::setWindowIcon(Icons::application());
    // The program lives on while its window is hidden; only "E&xit" ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    Translations::install(app);

    SingleInstance instance;
    switch (instance.start()) {
    case SingleInstance::Role::Primary:
        break;
    case SingleInstance::Role::HandedOver:
        return 0;
    case SingleInstance::Role::NoAnswer:
        // Ending without a word would look as if the program had not started at all.
        std::fputs("quillmark: another copy is running but does not answer\n", stderr);
        MessageBoxes::warning(nullptr, QStringLiteral("Quillmark"),
                              QCoreApplication::translate("Program",
                                                          "Quillmark is already running, but it does not answer. "
                                                          "End it, then start Quillmark again."));
        return 1;
    }

    int code = 0;
    {
        // The window comes up at once; a large collection follows when it has been read.
        TrayController owner(QSystemTrayIcon::isSystemTrayAvailable(), nullptr, MainWindow::Loading::InBackground);
        QObject::connect(&instance, &SingleInstance::activationRequested, &owner, &TrayController::ActivateMainWindow);

        // Ended from outside (logout, shutdown, kill): save exactly as "E&xit" does.
        TerminationSignals termination;
        termination.install();
        owner.exitOnRequest(termination);
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &owner,
                         [&owner](QSessionManager &) { owner.exitProgramNow(); });

        code = QApplication::exec();
    }
    // The window and its commands have cancelled their work on the pool as they went: no task may outlive
    // the program's objects.
    Background::waitForAll();
    return code;
}
