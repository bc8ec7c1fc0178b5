#include "ToolOutput.h"

#include <QDir>

#include <cstdio>

namespace ToolOutput {

void printError(const QString &message)
{
    std::fputs(QStringLiteral("quillmark-tool: %1\n").arg(message).toLocal8Bit().constData(), stderr);
}

void printLine(const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace ToolOutput
