#include "platform/ShellOpen.h"

#include "platform/LaunchRules.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#endif

namespace platform {

namespace {

// How long the desktop may take to say whether a URL scheme has a handler.
constexpr int SchemeQueryTimeoutMs = 1500;

bool startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

ShellLauncher &currentLauncher()
{
    static ShellLauncher launcher = startDetached;
    return launcher;
}

// The lower-cased scheme of a URL-like target ("http" for "http://host/"); empty when it has none.
QString schemeOf(const QString &target)
{
    static const QRegularExpression pattern(QStringLiteral("^([A-Za-z][A-Za-z0-9+.\\-]*):"));
    const QRegularExpressionMatch match = pattern.match(target);
    if (!match.hasMatch())
        return {};
#ifdef Q_OS_WIN
    if (match.capturedLength(1) == 1)
        return {}; // a drive letter
#endif
    return match.captured(1).toLower();
}

bool isAbsoluteLocalPath(const QString &path)
{
#ifdef Q_OS_WIN
    return QDir::isAbsolutePath(path) && !path.startsWith(QLatin1Char(':'));
#else
    return path.startsWith(QLatin1Char('/')); // not QDir::isAbsolutePath, which takes ":name" for a resource
#endif
}

enum class Kind {
    LocalPath, // an absolute path on this machine, given as such or as a file: URL
    Unlocatable, // a relative path or a file: URL that names no absolute path
    RemoteFile, // a file: URL on another host
    Url, // any other scheme
};

struct Target
{
    Kind kind;
    QString path;
    QString scheme;
};

Target classify(const QString &target)
{
    const QString scheme = schemeOf(target);
    if (scheme.isEmpty())
        return {isAbsoluteLocalPath(target) ? Kind::LocalPath : Kind::Unlocatable, target, {}};
    if (scheme != QLatin1String("file"))
        return {Kind::Url, {}, scheme};
    const QUrl url(target);
    if (!url.isValid())
        return {Kind::Unlocatable, {}, scheme};
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return {Kind::RemoteFile, {}, scheme};
    QString path = url.path(QUrl::FullyDecoded);
#ifdef Q_OS_WIN
    if (path.size() > 2 && path.at(0) == QLatin1Char('/') && path.at(2) == QLatin1Char(':'))
        path.remove(0, 1); // file:///C:/...
#endif
    return {isAbsoluteLocalPath(path) ? Kind::LocalPath : Kind::Unlocatable, path, scheme};
}

#ifndef Q_OS_WIN
int checkLocalPath(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        const QFileInfo folder(info.absolutePath());
        if (!folder.isDir())
            return ShellResult::PathNotFound;
        return folder.isExecutable() ? ShellResult::FileNotFound : ShellResult::AccessDenied;
    }
    return info.isReadable() ? ShellResult::Success : ShellResult::AccessDenied;
}

// Whether the desktop has a default handler for URLs of this scheme. The web schemes always have one while xdg-open
// exists. For the others the answer of `xdg-mime query default x-scheme-handler/<scheme>` counts: a handler's name
// means yes, an empty answer no. When the question cannot be asked (no xdg-mime, a crash, no answer in time) the
// opener is given the benefit of the doubt.
bool hasSchemeHandler(const QString &scheme)
{
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return true;
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true;
    QProcess query;
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/") + scheme});
    if (!query.waitForFinished(SchemeQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished(SchemeQueryTimeoutMs);
        return true;
    }
    if (query.exitStatus() != QProcess::NormalExit)
        return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}
#endif

} // namespace

int shellOpen(const QString &target)
{
    if (target.isEmpty() || target.startsWith(QLatin1Char('-')))
        return ShellResult::FileNotFound;
#ifdef Q_OS_WIN
    const HINSTANCE result = ::ShellExecuteW(nullptr, nullptr, reinterpret_cast<const wchar_t *>(target.utf16()),
                                             nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<qintptr>(result));
#else
    const Target parsed = classify(target);
    switch (parsed.kind) {
    case Kind::Unlocatable:
        return ShellResult::FileNotFound;
    case Kind::RemoteFile:
        return ShellResult::PathNotFound;
    case Kind::LocalPath:
        if (const int checked = checkLocalPath(parsed.path); checked != ShellResult::Success)
            return checked;
        break;
    case Kind::Url:
        break;
    }
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return ShellResult::NoAssociation;
    if (parsed.kind == Kind::Url && !hasSchemeHandler(parsed.scheme))
        return ShellResult::NoAssociation;
    return currentLauncher()(opener, {target}) ? ShellResult::Success : ShellResult::NoAssociation;
#endif
}

bool needsLaunchConfirmation(const QString &target)
{
    const Target parsed = classify(target);
    if (parsed.kind != Kind::LocalPath)
        return false;
    return isLaunchableFile(parsed.path);
}

ShellLauncher setShellLauncher(ShellLauncher launcher)
{
    ShellLauncher previous = std::move(currentLauncher());
    currentLauncher() = launcher ? std::move(launcher) : ShellLauncher(startDetached);
    return previous;
}

} // namespace platform
