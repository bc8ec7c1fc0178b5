#include "SyncCommand.h"

#include "Commands.h"
#include "ProgramLock.h"

#include "platform/TerminationSignals.h"
#include "store/Backups.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/TextCodec.h"
#include "sync/SyncAddress.h"
#include "sync/SyncRun.h"

#include "ToolFolders.h"
#include "ToolOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cstdio>

namespace SyncCommand {

namespace {
using ToolOutput::nativePath;
using ToolOutput::printError;
using ToolOutput::printLine;
using ToolOutput::RootName;

using namespace Commands;

void printLines(const QString &heading, const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    printLine(heading);
    for (const QString &line : lines)
        printLine(QStringLiteral("  ") + line);
}

} // namespace

int run(const Options &options, const QString &dataFile)
{
    const ProgramLock lock(dataFile);
    if (lock.busy()) {
        printError(QStringLiteral("Quillmark is running and holds %1; it would write over the sync when it ends. "
                                  "Exit Quillmark, or sync from its window.")
                       .arg(nativePath(dataFile)));
        return Busy;
    }
    auto root = LinkItem::MakeFolder(RootName);
    if (QFileInfo::exists(dataFile)) {
        QFile file(dataFile);
        if (!file.open(QIODevice::ReadOnly)) {
            printError(QStringLiteral("Cannot open file %1: %2").arg(nativePath(dataFile), file.errorString()));
            return Failure;
        }
        const NativeFile::ReadResult read = NativeFile::read(file, *root, /*refuseNewer=*/true);
        if (!read.ok()) {
            // Syncing what could be read would delete the rest on the server.
            printError(QStringLiteral("%1: %2; it was left alone and nothing was synced.")
                           .arg(nativePath(dataFile), read.error));
            return DataDamaged;
        }
    }
    QString missing;
    LinkItem *folder = ToolFolders::folderAt(
        *root, options.folderPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\')), &missing);
    if (!folder) {
        printError(QStringLiteral("%1 has no folder \"%2\"").arg(nativePath(dataFile), missing));
        return Failure;
    }

    SyncRun::Settings settings;
    settings.folder = QUrl::fromUserInput(options.url);
    settings.fileName = options.fileName;
    settings.user = options.user;
    if (!options.passwordVariable.isEmpty())
        settings.password = qEnvironmentVariable(options.passwordVariable.toLocal8Bit().constData());
    if (!settings.password.isEmpty() && SyncAddress::passwordInClear(settings.folder))
        printError(QStringLiteral("Warning: the password goes to %1 in clear text over http://, readable on the way; "
                                  "use https:// unless the server is this computer.")
                       .arg(settings.folder.host()));
    SyncRun run(settings, dataFile, options.folderPath);
    // A request to end (kill, Ctrl+C, a logout) stops the exchange at its next step; the lock on the
    // server is freed on the way out, or the browsers would wait for it to grow stale.
    std::atomic_bool cancelled {false};
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, [&cancelled](int) { cancelled = true; });
    termination.install();
    run.setCancelFlag(&cancelled);
    const auto apply = [&](std::unique_ptr<LinkItem> entries, QString *error) {
        if (QFileInfo::exists(dataFile)) {
            Backups backups(dataFile);
            backups.setKeep(0); // how many are kept is Quillmark's setting
            if (!backups.copyDataFile(error))
                return false;
        }
        folder->Children.TakeAll();
        folder->Children.Assign(entries->Children.TakeAll());
        if (!NativeFile::saveAtomically(dataFile, *root, error)) {
            *error = QStringLiteral("Cannot write %1: %2").arg(nativePath(dataFile), *error);
            return false;
        }
        return true;
    };
    // Deleting more than half of what was synced is not done without a person to ask.
    const SyncRun::Outcome outcome = run.run(*folder, apply, {});
    printLines(QStringLiteral("Took from the server:"), outcome.report.taken);
    printLines(QStringLiteral("Gave to the server:"), outcome.report.given);
    printLines(QStringLiteral("Changed on both sides:"), outcome.report.conflicts);
    if (!outcome.ok()) {
        printError(outcome.error);
        return Failure;
    }
    if (outcome.report.taken.isEmpty() && outcome.report.given.isEmpty())
        printLine(QStringLiteral("Nothing to take or give."));
    return Success;
}

} // namespace SyncCommand
