#include "transfer/DialogFolders.h"

#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString DialogFolders::firstExisting(const QString &remembered, const QString &documents, const QString &home)
{
    for (const QString &folder : {remembered, documents}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return home;
}

QString DialogFolders::startFolder(const QString &dialog)
{
    return firstExisting(Settings().GetDialogFolder(dialog),
                         QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), QDir::homePath());
}

void DialogFolders::remember(const QString &dialog, const QString &chosen, bool chosenIsFolder)
{
    if (chosen.isEmpty())
        return;
    const QString folder = chosenIsFolder ? QDir::cleanPath(chosen) : QFileInfo(chosen).absolutePath();
    // A folder that cannot be remembered only means the next dialog starts elsewhere.
    Settings().SetDialogFolder(dialog, folder);
}
