#include "mainwindow/LinkOpener.h"

#include <QCoreApplication>

#include "platform/ShellOpen.h"
#include "widgets/MessageBoxes.h"
#include "widgets/ShellErrorReport.h"

namespace LinkOpener {

bool openLink(QWidget *parent, const QString &target, const std::function<void()> &countVisit)
{
    // Bookmark files come from anywhere: a program on this computer is not started without asking.
    if (platform::needsLaunchConfirmation(target)
        && !MessageBoxes::question(
            parent, QStringLiteral("Quillmark"),
            QCoreApplication::translate("LinkOpener", "\"%1\" is a program on this computer, not a web page. Run it?")
                .arg(target)))
        return false;
    // The visit counts whether or not the launch succeeds.
    if (countVisit)
        countVisit();
    ReportShellError(platform::shellOpen(target), target);
    return true;
}

} // namespace LinkOpener
