#pragma once

#include <QString>

// What every command of quillmark-tool writes the same way.
namespace ToolOutput {

// The name the collection's top folder has in paths.
inline constexpr char RootName[] = "Quillmark";

// "quillmark-tool: message" on standard error.
void printError(const QString &message);
// text and a line end on standard output.
void printLine(const QString &text);
// path with the separators of the system, as messages show it.
QString nativePath(const QString &path);

} // namespace ToolOutput
