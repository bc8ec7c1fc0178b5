#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

// Never the user's own files: the home, the settings and the data live in a folder of the bench's own,
// and the window is drawn off screen unless a display is asked for. Call before the application exists.
inline void useBenchHome(const QTemporaryDir &home)
{
    for (const char *variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        qputenv(variable, QFile::encodeName(home.filePath(QString::fromLatin1(variable))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}
