#include "Commands.h"

#include "BackupCommands.h"
#include "BrowserCommands.h"
#include "CheckCommand.h"
#include "CollectionFile.h"
#include "CommandLine.h"
#include "DuplicateTool.h"
#include "FormatTransfer.h"
#include "JsonDump.h"
#include "SyncCommand.h"
#include "ToolOutput.h"

#include "store/LinkItem.h"
#include "store/Repository.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace Commands {

namespace {
using ToolOutput::printError;

void printOut(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

int printJson(const LinkItem &top)
{
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly)) {
        printError(QStringLiteral("Cannot write to standard output: %1").arg(out.errorString()));
        return Failure;
    }
    JsonDump dump(&out);
    if (!dump.write(top) || !out.flush()) {
        printError(QStringLiteral("Cannot write to standard output: %1")
                       .arg(dump.errorString().isEmpty() ? out.errorString() : dump.errorString()));
        return Failure;
    }
    return Success;
}

int dump(const QString &path, const OpenPolicy &policy)
{
    CollectionFile file(path, policy);
    if (!file.isOpen())
        return file.status();
    const int printed = printJson(file.top());
    return printed != Success ? printed : file.status();
}
} // namespace

int run(const QStringList &arguments)
{
    const CommandLine line = CommandLine::parse(arguments);
    switch (line.action()) {
    case CommandLine::Help:
        printOut(CommandLine::usage(line.command()));
        return Success;
    case CommandLine::Version:
        printOut(QStringLiteral("quillmark-tool %1\n").arg(QCoreApplication::applicationVersion()));
        return Success;
    case CommandLine::Dump:
        return line.files().isEmpty() ? dumpDataFile() : dumpFile(line.files().constFirst());
    case CommandLine::Convert:
        return convert(line.files().at(0), line.files().at(1));
    case CommandLine::Export:
        return FormatTransfer::exportFolder(*BookmarkFormatInfo::byToolName(line.format()), line.folder(),
                                            line.files().at(0), line.files().at(1));
    case CommandLine::Import:
        return FormatTransfer::importInto(*BookmarkFormatInfo::byToolName(line.format()), line.folder(),
                                          line.files().at(0), line.files().at(1));
    case CommandLine::ListBackups:
        return BackupCommands::list(line.files().isEmpty() ? Repository::DataFile() : line.files().constFirst());
    case CommandLine::Restore:
        return BackupCommands::restore(line.files().at(0), line.files().at(1));
    case CommandLine::ListProfiles:
        return BrowserCommands::listProfiles();
    case CommandLine::ImportProfile:
        return BrowserCommands::importProfile(line.browser(), line.profile(), line.files().at(0));
    case CommandLine::Sync:
        return SyncCommand::run({line.url(), line.fileName(), line.user(), line.passwordVariable(), line.folder()},
                                line.files().at(0));
    case CommandLine::Duplicates:
        return DuplicateTool::list(line.folder(), line.urlOptions(), line.files().at(0));
    case CommandLine::Dedupe:
        return DuplicateTool::dedupe(line.folder(), line.urlOptions(), line.files().at(0));
    case CommandLine::Check:
        return CheckCommand::run(line.files().at(0), line.folder(), line.timeout(), line.jobs());
    case CommandLine::Invalid:
        break;
    }
    printError(line.error());
    const QString helpCommand = line.command().isEmpty() ? QString() : line.command() + QLatin1Char(' ');
    std::fputs(QStringLiteral("Try 'quillmark-tool %1--help'.\n").arg(helpCommand).toLocal8Bit().constData(), stderr);
    return Failure;
}

int dumpDataFile()
{
    // Read the file as the program does, into the root folder it starts from, but leave the file alone:
    // the repository would set a damaged file aside.
    return dump(Repository::DataFile(), OpenPolicies::dumpDataFile());
}

int dumpFile(const QString &path)
{
    return dump(path, OpenPolicies::anyFile());
}

int convert(const QString &input, const QString &output)
{
    const CollectionFile file(input, OpenPolicies::anyFile());
    if (!file.isOpen()) // leave the output alone
        return file.status();
    QString error;
    if (!file.saveAs(output, &error)) {
        printError(error);
        return Failure;
    }
    return file.status();
}

} // namespace Commands
