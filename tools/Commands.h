#pragma once

#include <QString>
#include <QStringList>

// The work behind quillmark-tool's commands. Each returns the program's exit status.
namespace Commands {

enum ExitStatus {
    Success = 0,
    Failure = 2, // bad arguments, a file that cannot be opened or written
    DataDamaged = 3, // damaged data (what could be read was used) or a newer format (nothing was read)
    Busy = 4 // a running Quillmark holds the data file to be changed
};

// Parses the arguments (without the program name) and runs what they ask for.
int run(const QStringList &arguments);

// Prints the user's data file as JSON; the empty root folder when there is none yet.
int dumpDataFile();
// Prints the collection in path as JSON.
int dumpFile(const QString &path);
// Reads input, of either version, and writes it to output in version 10000.
int convert(const QString &input, const QString &output);

} // namespace Commands
