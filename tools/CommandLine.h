#pragma once

#include "store/UrlKey.h"

#include <QString>
#include <QStringList>

// What quillmark-tool's arguments ask for. Parsing does no work and prints nothing.
class CommandLine
{
public:
    enum Action {
        Help,
        Version,
        Dump,
        Convert,
        Export,
        Import,
        ListBackups,
        Restore,
        ListProfiles,
        ImportProfile,
        Sync,
        Duplicates,
        Dedupe,
        Check,
        Invalid
    };

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
    // import --from BROWSER --profile DIR: "firefox" or "chromium", and the profile's folder.
    QString browser() const { return m_browser; }
    QString profile() const { return m_profile; }

    // sync: the server's folder, the file's name there, the user and the variable holding the password.
    QString url() const { return m_url; }
    QString fileName() const { return m_fileName; }
    QString user() const { return m_user; }
    QString passwordVariable() const { return m_passwordVariable; }
    // duplicates and dedupe: what else two addresses may differ in.
    UrlKeyOptions urlOptions() const { return m_urlOptions; }

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
    QString m_browser;
    QString m_profile;
    QString m_url;
    QString m_fileName;
    QString m_user;
    QString m_passwordVariable;
    UrlKeyOptions m_urlOptions;
    int m_timeout = 0;
    int m_jobs = 0;
};
