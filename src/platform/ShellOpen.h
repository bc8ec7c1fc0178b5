#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// Result numbers of shellOpen(), the ones the shell's own open call uses: more than 32 means the target was handed
// to its handler, anything else is a failure that ReportShellError can describe.
namespace ShellResult {
constexpr int FileNotFound = 2;
constexpr int PathNotFound = 3;
constexpr int AccessDenied = 5;
constexpr int NoAssociation = 31;
constexpr int Success = 33;
} // namespace ShellResult

// Opens a link, file or folder with the desktop's default handler and returns a number from ShellResult.
//
// The target is never seen by a shell: it goes unchanged, as one argument, to the desktop's opener (xdg-open;
// ShellExecuteW on Windows). A target that begins with "-" would read as an option and is refused with FileNotFound,
// as is an empty one. On Linux the outcome is checked before the launch, since the opener reports nothing back:
// - a local target (an absolute path or a file: URL) that does not exist gives FileNotFound when its folder exists
//   and PathNotFound when it does not; one that cannot be read gives AccessDenied; a relative path gives
//   FileNotFound, as there is no folder it could be relative to;
// - http and https always have a handler while xdg-open exists (it falls back to a browser of its own choosing);
//   any other scheme needs a default handler for "x-scheme-handler/<scheme>" as `xdg-mime query default` reports
//   it, otherwise NoAssociation. When that query cannot answer in time the opener is given the benefit of the doubt;
// - no xdg-open on the PATH, or an opener that cannot be started, gives NoAssociation.
int shellOpen(const QString &target);

// True when the target (an absolute path or a file: URL) is a local file that would be run rather than shown: a
// program, a script or a desktop entry, by the rules of isLaunchableFile(). The one function that opens links asks
// the user before it hands such a target to shellOpen(), since imported links come from anywhere.
bool needsLaunchConfirmation(const QString &target);

// Starts a program with the given arguments and returns at once; false when it could not be started.
using ShellLauncher = std::function<bool(const QString &program, const QStringList &arguments)>;

// Replaces the launcher shellOpen() uses on Linux (QProcess::startDetached unless replaced) and returns the previous
// one. An empty launcher brings the default back. Meant for tests, which must not start a browser.
ShellLauncher setShellLauncher(ShellLauncher launcher);

} // namespace platform
