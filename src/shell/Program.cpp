#include "shell/Program.h"

#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"
#include "shell/Form2.h"
#include "widgets/Icons.h"

#include <QApplication>
#include <QSessionManager>
#include <QSystemTrayIcon>

int RunQuillmark(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orbrook Software"));
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmark"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quillmark"));
    QApplication::setWindowIcon(Icons::application());
    // The program lives on while its window is hidden; only "E&xit" ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    if (instance.start() == SingleInstance::Role::HandedOver)
        return 0;

    TForm2 owner(QSystemTrayIcon::isSystemTrayAvailable());
    QObject::connect(&instance, &SingleInstance::activationRequested, &owner, &TForm2::ActivateMainWindow);

    // Ended from outside (logout, shutdown, kill): save exactly as "E&xit" does.
    TerminationSignals termination;
    termination.install();
    owner.exitOnRequest(termination);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &owner, [&owner](QSessionManager &) {
        owner.Exit1Click();
    });

    return QApplication::exec();
}
