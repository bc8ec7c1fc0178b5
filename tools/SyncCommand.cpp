#include "SyncCommand.h"

#include "CollectionFile.h"
#include "Commands.h"

#include "platform/TerminationSignals.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "sync/SyncAddress.h"
#include "sync/SyncRun.h"

#include "ToolFolders.h"
#include "ToolOutput.h"

#include <QEventLoop>

#include <cstdio>

namespace SyncCommand {

namespace {
using ToolOutput::nativePath;
using ToolOutput::printError;
using ToolOutput::printLine;

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
    CollectionFile file(dataFile, OpenPolicies::sync());
    if (!file.isOpen())
        return file.status();
    QString missing;
    LinkItem *folder = ToolFolders::folderAt(
        file.top(), options.folderPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\')), &missing);
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
    // The collection changes through its document, as in the window: what the sync did not change stays as it is.
    CollectionDocument document(&file.top());
    SyncRun run(settings, dataFile, options.folderPath);
    // A request to end (kill, Ctrl+C, a logout) stops the exchange at once; the lock on the server is freed on
    // the way out, or the browsers would wait for it to grow stale.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &run, [&run](int) { run.cancel(); });
    termination.install();
    // Deleting more than half of what was synced is not done without a person to ask.
    QEventLoop loop;
    QObject::connect(&run, &SyncRun::exchanged, &loop, &QEventLoop::quit);
    run.start(CollectionTree::snapshot(*folder), false);
    loop.exec();
    SyncRun::Outcome outcome = run.exchange().outcome;
    if (outcome.ok() && !outcome.report.taken.isEmpty()) {
        run.apply(document, *folder, QStringLiteral("Sync"));
        file.save(CollectionFile::Backup::First, &outcome.error);
    }
    if (outcome.ok())
        run.saveState(&outcome.error);
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
