#pragma once

#include <QString>

// quillmark-tool's check: the links of a collection file checked over the network, one JSON object a
// line, without changing the file. Returns the program's exit status (Commands::ExitStatus).
namespace CheckCommand {

// folderPath names a folder by its names from the top down, joined by "\" (empty for the whole file);
// timeoutSeconds and jobs are 0 for the defaults.
int run(const QString &dataFile, const QString &folderPath, int timeoutSeconds, int jobs);

} // namespace CheckCommand
