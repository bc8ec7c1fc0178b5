#pragma once

#include "store/UrlKey.h"

#include <QString>
#include <QStringList>

// What quillmark-tool's arguments ask for. Parsing does no work and prints nothing.
class CommandLine
{
public:
    enum Action { Help, Version, Dump, Convert, Export, Import, ListBackups, Restore, Duplicates, Dedupe, Invalid };

    static CommandLine parse(const QStringList &arguments);

    // The help text of a command, or the tool's own for an empty command.
    static QString usage(const QString &command);

    Action action() const { return m_action; }
    // The command named; kept when its arguments are wrong, for the usage hint.
    QString command() const { return m_command; }
    QStringList files() const { return m_files; }
    QString error() const { return m_error; }

    // import and export: the --format name as given, and the --folder path (empty for the root).
    QString format() const { return m_format; }
    QString folder() const { return m_folder; }
    // duplicates and dedupe: what else two addresses may differ in.
    UrlKeyOptions urlOptions() const { return m_urlOptions; }

private:
    Action m_action = Invalid;
    QString m_command;
    QStringList m_files;
    QString m_error;
    QString m_format;
    QString m_folder;
    UrlKeyOptions m_urlOptions;
};
