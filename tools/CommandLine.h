#pragma once

#include <QString>
#include <QStringList>

// What quillmark-tool's arguments ask for. Parsing does no work and prints nothing.
class CommandLine
{
public:
    enum Action { Help, Version, Dump, Convert, Export, Import, ListBackups, Restore, Check, Invalid };

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

    // check: the --timeout in seconds and the --jobs; 0 when not given.
    int timeout() const { return m_timeout; }
    int jobs() const { return m_jobs; }

private:
    Action m_action = Invalid;
    QString m_command;
    QStringList m_files;
    QString m_error;
    QString m_format;
    QString m_folder;
    int m_timeout = 0;
    int m_jobs = 0;
};
