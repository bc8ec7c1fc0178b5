#include "Commands.h"

#include "BackupCommands.h"
#include "BrowserCommands.h"
#include "CheckCommand.h"
#include "CommandLine.h"
#include "DuplicateTool.h"
#include "FormatTransfer.h"
#include "JsonDump.h"
#include "SyncCommand.h"
#include "ToolOutput.h"

#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace Commands {

namespace {
using ToolOutput::nativePath;
using ToolOutput::printError;
using ToolOutput::RootName;

void printOut(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

bool openForReading(QFile &file)
{
    if (file.open(QIODevice::ReadOnly))
        return true;
    printError(QStringLiteral("Cannot open file %1: %2").arg(nativePath(file.fileName()), file.errorString()));
    return false;
}

enum class Read { Whole, Partly, Nothing };

// Reads the collection in file into top; what went wrong goes to standard error.
Read readInto(QFile &file, LinkItem &top)
{
    // A version above 10000 cannot be read as version 10000; reading it as the first version would
    // only make up items out of the newer fields.
    const NativeFile::ReadResult result = NativeFile::read(file, top, /*refuseNewer=*/true);
    switch (result.status) {
    case NativeFile::ReadResult::Complete:
        return Read::Whole;
    case NativeFile::ReadResult::NewerVersion:
    case NativeFile::ReadResult::OutOfMemory:
        printError(QStringLiteral("%1: %2").arg(nativePath(file.fileName()), result.error));
        return Read::Nothing;
    case NativeFile::ReadResult::Damaged:
    case NativeFile::ReadResult::Cancelled:
        break;
    }
    printError(QStringLiteral("warning: %1 is damaged; only part of it was read: %2")
                   .arg(nativePath(file.fileName()), result.error));
    return Read::Partly;
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

int dump(QFile &file, std::unique_ptr<LinkItem> top)
{
    if (!openForReading(file))
        return Failure;
    const Read read = readInto(file, *top);
    if (read == Read::Nothing)
        return DataDamaged;
    const int printed = printJson(*top);
    if (printed != Success)
        return printed;
    return read == Read::Whole ? Success : DataDamaged;
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
    QFile file(Repository::DataFile());
    if (!QFileInfo::exists(file.fileName()))
        return printJson(*LinkItem::MakeFolder(RootName));
    return dump(file, LinkItem::MakeFolder(RootName));
}

int dumpFile(const QString &path)
{
    QFile file(path);
    return dump(file, std::make_unique<LinkItem>());
}

int convert(const QString &input, const QString &output)
{
    QFile file(input);
    if (!openForReading(file))
        return Failure;
    auto top = std::make_unique<LinkItem>();
    const Read read = readInto(file, *top);
    file.close();
    if (read == Read::Nothing) // leave the output alone
        return DataDamaged;

    QString error;
    if (!NativeFile::saveAtomically(output, *top, &error)) {
        printError(QStringLiteral("Cannot create file %1: %2").arg(nativePath(output), error));
        return Failure;
    }
    return read == Read::Whole ? Success : DataDamaged;
}

} // namespace Commands
