#include "widgets/Icons.h"

#include <QHash>
#include <QString>

// Outside any namespace, as the resource initialiser requires. A static library keeps its resources only
// when something calls this.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace {

QIcon ownIcon(const char *file)
{
    static const bool loaded = (initIconResources(), true);
    Q_UNUSED(loaded);
    return QIcon(QStringLiteral(":/icons/") + QLatin1String(file));
}

// Looking an icon up in the theme searches its folders: each icon is looked up once. A theme icon
// follows a change of theme by itself.
QIcon themed(const char *themeName, const char *file)
{
    static QHash<const char *, QIcon> cache;
    auto it = cache.constFind(file);
    if (it == cache.constEnd())
        it = cache.insert(file, QIcon::fromTheme(QLatin1String(themeName), ownIcon(file)));
    return *it;
}

} // namespace

namespace Icons {

QIcon folder()
{
    return themed("folder", "folder.svg");
}

QIcon link()
{
    return themed("text-html", "link.svg");
}

QIcon home()
{
    return themed("go-home", "home.svg");
}

QIcon newFolder()
{
    return themed("folder-new", "new-folder.svg");
}

QIcon newUrl()
{
    return themed("document-new", "new-url.svg");
}

QIcon up()
{
    return themed("go-up", "up.svg");
}

QIcon deleteItems()
{
    return themed("edit-delete", "delete.svg");
}

QIcon search()
{
    return themed("edit-find", "search.svg");
}

QIcon folders()
{
    return themed("view-list-tree", "folders.svg");
}

QIcon views()
{
    return themed("view-list-icons", "views.svg");
}

QIcon help()
{
    return themed("help-contents", "help.svg");
}

QIcon application()
{
    return ownIcon("quillmark.svg");
}

} // namespace Icons
