#pragma once

#include <QString>

// quillmark-tool's backups and restore. Each returns the program's exit status (Commands::ExitStatus).
namespace BackupCommands {

// Prints the backups of dataFile, newest first, as a JSON array.
int list(const QString &dataFile);

// Replaces dataFile with backup after keeping dataFile as today's backup. Refuses a backup that cannot be
// read whole, and refuses while a running Quillmark holds dataFile.
int restore(const QString &backup, const QString &dataFile);

} // namespace BackupCommands
