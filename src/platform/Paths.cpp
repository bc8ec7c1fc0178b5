#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace platform {

namespace {
QString withSeparator(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}
} // namespace

QString appDataPath()
{
    const QString location = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return location.isEmpty() ? QString() : withSeparator(location);
}

QString installPath()
{
    if (!QCoreApplication::instance())
        return withSeparator(QDir::currentPath());
    return withSeparator(QCoreApplication::applicationDirPath());
}

} // namespace platform
