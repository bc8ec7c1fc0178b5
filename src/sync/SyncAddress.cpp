#include "sync/SyncAddress.h"

#include <QCoreApplication>
#include <QHostAddress>

QString SyncAddress::fileNameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QCoreApplication::translate("Sync", "The file name is empty.");
    if (name.startsWith(QLatin1Char('/')))
        return QCoreApplication::translate("Sync",
                                           "The file name \"%1\" begins with \"/\": give it "
                                           "from the server folder, as in \"sub/bookmarks.xbel\".")
            .arg(name);
    for (const QStringView part : QStringView(name).split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == u"." || part == u"..")
            return QCoreApplication::translate("Sync",
                                               "The file name \"%1\" must name a file in the server "
                                               "folder or in a folder below it.")
                .arg(name);
    }
    return {};
}

bool SyncAddress::passwordInClear(const QUrl &folder)
{
    if (folder.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0)
        return false;
    const QString host = folder.host().toLower();
    if (host == u"localhost" || host.endsWith(QLatin1String(".localhost")))
        return false;
    const QHostAddress address(host);
    return address.isNull() || !address.isLoopback();
}
