#pragma once

#include "platform/ShellOpen.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// Stands in for the desktop while a test opens web pages and mail addresses: a PATH holding only an xdg-open and an
// xdg-mime of our own (mail addresses have a handler), and a launcher that records the targets instead of starting
// anything.
class StandInOpener
{
public:
    StandInOpener()
    {
        writeScript(QStringLiteral("xdg-open"), "#!/bin/sh\nexit 0\n");
        writeScript(QStringLiteral("xdg-mime"), "#!/bin/sh\necho mail-client.desktop\n");
        m_savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_bin.path()));
        m_savedLauncher = platform::setShellLauncher([this](const QString &, const QStringList &arguments) {
            opened << arguments.join(QLatin1Char(' '));
            return true;
        });
    }
    ~StandInOpener()
    {
        platform::setShellLauncher(m_savedLauncher);
        qputenv("PATH", m_savedPath);
    }
    StandInOpener(const StandInOpener &) = delete;
    StandInOpener &operator=(const StandInOpener &) = delete;

    // Without an opener on the PATH nothing can be opened.
    void removeOpener() { QFile::remove(m_bin.filePath(QStringLiteral("xdg-open"))); }

    QStringList opened;

private:
    void writeScript(const QString &name, const QByteArray &text)
    {
        QFile file(m_bin.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir m_bin;
    QByteArray m_savedPath;
    platform::ShellLauncher m_savedLauncher;
};
