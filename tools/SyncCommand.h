#pragma once

#include <QString>

// quillmark-tool's sync: one sync of a folder of a collection file with an XBEL file on a WebDAV
// server. Returns the program's exit status (Commands::ExitStatus).
namespace SyncCommand {

struct Options
{
    QString url;
    QString fileName;
    QString user;
    QString passwordVariable;
    QString folderPath; // names joined by "\", empty for the whole collection
};

int run(const Options &options, const QString &dataFile);

} // namespace SyncCommand
