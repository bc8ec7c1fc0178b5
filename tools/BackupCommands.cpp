#include "BackupCommands.h"

#include "CollectionFile.h"
#include "Commands.h"

#include "store/Backups.h"

#include "ToolOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace BackupCommands {

namespace {
using ToolOutput::nativePath;
using ToolOutput::printError;

using namespace Commands;

} // namespace

int list(const QString &dataFile)
{
    QJsonArray array;
    for (const Backups::Entry &entry : Backups(dataFile).list()) {
        array.append(QJsonObject {
            {QStringLiteral("path"), nativePath(entry.path)},
            {QStringLiteral("date"), entry.date.toString(Qt::ISODate)},
            {QStringLiteral("folders"), entry.folders},
            {QStringLiteral("links"), entry.links},
            {QStringLiteral("readable"), entry.readable},
        });
    }
    const QByteArray json = QJsonDocument(array).toJson(QJsonDocument::Indented);
    if (std::fwrite(json.constData(), 1, json.size(), stdout) != std::size_t(json.size()) || std::fflush(stdout) != 0) {
        printError(QStringLiteral("Cannot write to standard output"));
        return Failure;
    }
    return Success;
}

int restore(const QString &backup, const QString &dataFile)
{
    if (!QFileInfo(backup).isFile()) {
        printError(QStringLiteral("Cannot open file %1").arg(nativePath(backup)));
        return Failure;
    }
    // Held against a running Quillmark until the restore is done.
    const CollectionFile held(dataFile, OpenPolicies::restore());
    if (!held.isOpen())
        return held.status();
    Backups backups(dataFile);
    backups.setKeep(0); // how many are kept is Quillmark's setting: leave the pruning to it
    QString error;
    switch (backups.restore(backup, &error)) {
    case Backups::Restore::Done:
        return Success;
    case Backups::Restore::Unreadable:
        printError(error + QStringLiteral(" Nothing was changed."));
        return DataDamaged;
    case Backups::Restore::Failed:
        break;
    }
    printError(error);
    return Failure;
}

} // namespace BackupCommands
