#pragma once

#include <QString>

#include <functional>

class QWidget;

// The one way a link leaves the program, whatever the user clicked: the list, the description pane, search
// results, the about box, the help window and the web commands all open their links here.
namespace LinkOpener {

// Opens target with the desktop's handler. A target that would run a program, a script or a desktop entry on this
// computer is opened only after the user said yes to the question over parent; then countVisit runs (when given),
// the target is handed to the shell, and a failure is reported with ReportShellError. Returns false when the user
// said no, so that nothing was counted or opened; true otherwise, whether or not the launch succeeded.
bool openLink(QWidget *parent, const QString &target, const std::function<void()> &countVisit = {});

} // namespace LinkOpener
