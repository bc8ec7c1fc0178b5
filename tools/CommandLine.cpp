#include "CommandLine.h"

#include "formats/BookmarkFormat.h"
#include "store/Repository.h"

#include <QCommandLineParser>
#include <QDir>

namespace {
const QString ProgramName = QStringLiteral("quillmark-tool");
const QString DumpCommand = QStringLiteral("dump");
const QString ConvertCommand = QStringLiteral("convert");
const QString ExportCommand = QStringLiteral("export");
const QString ImportCommand = QStringLiteral("import");
const QString BackupsCommand = QStringLiteral("backups");
const QString RestoreCommand = QStringLiteral("restore");
const QString ProfilesCommand = QStringLiteral("profiles");
const QString FromOption = QStringLiteral("from");
const QString ProfileOption = QStringLiteral("profile");
const QString SyncCommand = QStringLiteral("sync");
const QString DuplicatesCommand = QStringLiteral("duplicates");
const QString DedupeCommand = QStringLiteral("dedupe");
const QString IgnoreFragmentOption = QStringLiteral("ignore-fragment");
const QString IgnoreTrackingOption = QStringLiteral("ignore-tracking");
const QString IgnoreSchemeOption = QStringLiteral("ignore-scheme-and-www");
const QString CheckCommand = QStringLiteral("check");
const QString TimeoutOption = QStringLiteral("timeout");
const QString JobsOption = QStringLiteral("jobs");
const QString HelpOption = QStringLiteral("help");
const QString VersionOption = QStringLiteral("version");
const QString FormatOption = QStringLiteral("format");
const QString FolderOption = QStringLiteral("folder");
const QString UrlOption = QStringLiteral("url");
const QString FileOption = QStringLiteral("file");
const QString UserOption = QStringLiteral("user");
const QString PasswordEnvOption = QStringLiteral("password-env");

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), HelpOption},
                              QStringLiteral("show this help; after a command, that command's help"));
}

// The name of an option as the user typed it: "-x" and "--name" both name x and name, and a value
// after "=" is not part of it.
QString optionName(const QString &argument)
{
    const qsizetype dashes = argument.startsWith(QLatin1String("--")) ? 2 : 1;
    return argument.mid(dashes).section(QLatin1Char('='), 0, 0);
}

// The argument in which the user typed the option name, for messages; "--name" when none is found.
QString typedOption(const QStringList &arguments, const QString &name)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (argument.size() > 1 && argument.startsWith(QLatin1Char('-')) && optionName(argument) == name)
            return argument.section(QLatin1Char('='), 0, 0);
    }
    return QStringLiteral("--") + name;
}

// Parses arguments (without the program name). A word with one dash is an option name, not a row of
// one-letter options; a lone "-" and everything after "--" are ordinary arguments.
bool parseArguments(QCommandLineParser &parser, const QStringList &arguments)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    return parser.parse(QStringList {ProgramName} + arguments);
}
} // namespace

namespace {
QString formatList()
{
    return QStringLiteral("\n"
                          "FORMAT is one of:\n"
                          "  qmf        a Quillmark file\n"
                          "  html       browser bookmarks (bookmarks.html, as browsers import and export them)\n"
                          "  opera      an Opera hotlist (.adr)\n"
                          "  xbel       XBEL (XML Bookmark Exchange Language)\n"
                          "  favorites  a folder of Internet shortcut files (.url), as Internet Explorer keeps them\n");
}
} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;

    // The tool's own options come before the command; what follows the command is the command's.
    QCommandLineParser tool;
    tool.addOption(helpOption());
    tool.addOption(QCommandLineOption(VersionOption, QStringLiteral("show the version")));
    tool.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const bool toolParsed = parseArguments(tool, arguments);
    // Help and the version win over every mistake on the line.
    if (tool.isSet(HelpOption)) {
        line.m_action = Help;
        return line;
    }
    if (tool.isSet(VersionOption)) {
        line.m_action = Version;
        return line;
    }
    if (!toolParsed) {
        line.m_error = tool.unknownOptionNames().isEmpty()
            ? tool.errorText()
            : QStringLiteral("unknown option '%1'").arg(typedOption(arguments, tool.unknownOptionNames().first()));
        return line;
    }
    const QStringList words = tool.positionalArguments();
    if (words.isEmpty()) {
        line.m_error = QStringLiteral("no command given");
        return line;
    }

    const QString &command = words.first();
    Action action;
    if (command == DumpCommand) {
        action = Dump;
    } else if (command == ConvertCommand) {
        action = Convert;
    } else if (command == ExportCommand) {
        action = Export;
    } else if (command == ImportCommand) {
        action = Import;
    } else if (command == BackupsCommand) {
        action = ListBackups;
    } else if (command == RestoreCommand) {
        action = Restore;
    } else if (command == ProfilesCommand) {
        action = ListProfiles;
    } else if (command == SyncCommand) {
        action = Sync;
    } else if (command == DuplicatesCommand) {
        action = Duplicates;
    } else if (command == DedupeCommand) {
        action = Dedupe;
    } else if (command == CheckCommand) {
        action = Check;
    } else {
        line.m_error = QStringLiteral("unknown command '%1'").arg(command);
        return line;
    }
    line.m_command = command;

    const QStringList commandArguments = words.mid(1);
    QCommandLineParser parser;
    parser.addOption(helpOption());
    const bool takesFormat = action == Export || action == Import;
    if (takesFormat) {
        parser.addOption(
            QCommandLineOption(FormatOption, QStringLiteral("the format of the other file"), QStringLiteral("FORMAT")));
        parser.addOption(
            QCommandLineOption(FolderOption, QStringLiteral("the folder of the collection"), QStringLiteral("PATH")));
    }
    if (action == Import) {
        parser.addOption(QCommandLineOption(FromOption, QStringLiteral("the browser"), QStringLiteral("BROWSER")));
        parser.addOption(
            QCommandLineOption(ProfileOption, QStringLiteral("the profile folder"), QStringLiteral("DIR")));
    }
    if (action == Sync) {
        parser.addOption(QCommandLineOption(UrlOption, QStringLiteral("the server's folder"), QStringLiteral("URL")));
        parser.addOption(
            QCommandLineOption(FileOption, QStringLiteral("the file's name there"), QStringLiteral("NAME")));
        parser.addOption(QCommandLineOption(UserOption, QStringLiteral("the user name"), QStringLiteral("U")));
        parser.addOption(QCommandLineOption(PasswordEnvOption, QStringLiteral("the variable holding the password"),
                                            QStringLiteral("VAR")));
        parser.addOption(
            QCommandLineOption(FolderOption, QStringLiteral("the folder of the collection"), QStringLiteral("PATH")));
    }
    const bool takesUrlOptions = action == Duplicates || action == Dedupe;
    if (takesUrlOptions) {
        parser.addOption(
            QCommandLineOption(FolderOption, QStringLiteral("the folder of the collection"), QStringLiteral("PATH")));
        parser.addOption(QCommandLineOption(IgnoreFragmentOption, QStringLiteral("ignore what follows \"#\"")));
        parser.addOption(QCommandLineOption(IgnoreTrackingOption, QStringLiteral("ignore tracking parameters")));
        parser.addOption(QCommandLineOption(IgnoreSchemeOption, QStringLiteral("http equals https, www. or not")));
    }
    if (action == Check) {
        parser.addOption(
            QCommandLineOption(FolderOption, QStringLiteral("the folder of the collection"), QStringLiteral("PATH")));
        parser.addOption(
            QCommandLineOption(TimeoutOption, QStringLiteral("seconds per link"), QStringLiteral("SECONDS")));
        parser.addOption(QCommandLineOption(JobsOption, QStringLiteral("requests at once"), QStringLiteral("N")));
    }
    const bool parsed = parseArguments(parser, commandArguments);
    // Help wins over every other mistake on the line.
    if (parser.isSet(HelpOption)) {
        line.m_action = Help;
        return line;
    }
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString last = commandArguments.isEmpty() ? QString() : commandArguments.last();
        if (!unknown.isEmpty()) {
            line.m_error = QStringLiteral("unknown option '%1' for %2")
                               .arg(typedOption(commandArguments, unknown.first()), command);
        } else if ((takesFormat || takesUrlOptions || action == Check) && !last.contains(QLatin1Char('='))
                   && (optionName(last) == FormatOption || optionName(last) == FolderOption
                       || optionName(last) == FromOption || optionName(last) == ProfileOption
                       || optionName(last) == TimeoutOption || optionName(last) == JobsOption)) {
            // An option that takes a value ends the line.
            line.m_error = QStringLiteral("%1 needs a value").arg(last);
        } else {
            line.m_error = parser.errorText();
        }
        return line;
    }
    line.m_files = parser.positionalArguments();
    if (action == Sync) {
        line.m_url = parser.value(UrlOption);
        line.m_fileName = parser.value(FileOption);
        line.m_user = parser.value(UserOption);
        line.m_passwordVariable = parser.value(PasswordEnvOption);
        line.m_folder = parser.value(FolderOption);
    }
    if (takesFormat) {
        line.m_format = parser.value(FormatOption);
        line.m_folder = parser.value(FolderOption);
    }
    if (action == Import) {
        line.m_browser = parser.value(FromOption);
        line.m_profile = parser.value(ProfileOption);
    }
    if (takesUrlOptions) {
        line.m_folder = parser.value(FolderOption);
        line.m_urlOptions = {parser.isSet(IgnoreFragmentOption), parser.isSet(IgnoreTrackingOption),
                             parser.isSet(IgnoreSchemeOption)};
    }
    const bool fromBrowser = action == Import && (parser.isSet(FromOption) || parser.isSet(ProfileOption));

    if (action == Check) {
        line.m_folder = parser.value(FolderOption);
        bool timeoutOk = true;
        bool jobsOk = true;
        if (parser.isSet(TimeoutOption))
            line.m_timeout = parser.value(TimeoutOption).toInt(&timeoutOk);
        if (parser.isSet(JobsOption))
            line.m_jobs = parser.value(JobsOption).toInt(&jobsOk);
        if (line.m_files.size() != 1)
            line.m_error = QStringLiteral("check takes one file, DATAFILE");
        else if (!timeoutOk || (parser.isSet(TimeoutOption) && (line.m_timeout < 1 || line.m_timeout > 3600)))
            line.m_error = QStringLiteral("--timeout takes a number of seconds from 1 to 3600");
        else if (!jobsOk || (parser.isSet(JobsOption) && (line.m_jobs < 1 || line.m_jobs > 64)))
            line.m_error = QStringLiteral("--jobs takes a number from 1 to 64");
        else
            line.m_action = action;
        return line;
    }
    if (action == Dump && line.m_files.size() > 1) {
        line.m_error = QStringLiteral("dump takes at most one file");
    } else if (action == ListBackups && line.m_files.size() > 1) {
        line.m_error = QStringLiteral("backups takes at most one file");
    } else if (action == ListProfiles && !line.m_files.isEmpty()) {
        line.m_error = QStringLiteral("profiles takes no files");
    } else if (fromBrowser) {
        if (!line.m_format.isEmpty() || !line.m_folder.isEmpty())
            line.m_error = QStringLiteral("import --from takes neither --format nor --folder");
        else if (line.m_browser != QLatin1String("firefox") && line.m_browser != QLatin1String("chromium"))
            line.m_error = QStringLiteral("--from takes firefox or chromium");
        else if (line.m_profile.isEmpty())
            line.m_error = QStringLiteral("import --from needs --profile DIR");
        else if (line.m_files.size() != 1)
            line.m_error = QStringLiteral("import --from takes one file, DATAFILE");
        else
            line.m_action = ImportProfile;
    } else if (action == Restore && line.m_files.size() != 2) {
        line.m_error = QStringLiteral("restore takes two files, BACKUP and DATAFILE");
    } else if (takesUrlOptions && line.m_files.size() != 1) {
        line.m_error = QStringLiteral("%1 takes one file, DATAFILE").arg(command);
    } else if (action == Convert && line.m_files.size() != 2) {
        line.m_error = QStringLiteral("convert takes two files, IN and OUT");
    } else if (action == Sync && (line.m_url.isEmpty() || line.m_fileName.isEmpty())) {
        line.m_error = QStringLiteral("sync needs --url URL and --file NAME");
    } else if (action == Sync && line.m_files.size() != 1) {
        line.m_error = QStringLiteral("sync takes one file, DATAFILE");
    } else if (takesFormat && line.m_format.isEmpty()) {
        line.m_error = QStringLiteral("%1 needs --format FORMAT").arg(command);
    } else if (action == Export && line.m_files.size() != 2) {
        line.m_error = QStringLiteral("export takes two files, DATAFILE and OUT");
    } else if (action == Import && line.m_files.size() != 2) {
        line.m_error = QStringLiteral("import takes two files, IN and DATAFILE");
    } else if (takesFormat) {
        const BookmarkFormatInfo *info = BookmarkFormatInfo::byToolName(line.m_format);
        if (!info)
            line.m_error = QStringLiteral("unknown format '%1'").arg(line.m_format);
        else if (action == Import && !info->canImport())
            line.m_error = QStringLiteral("the format '%1' cannot be imported").arg(line.m_format);
        else
            line.m_action = action;
    } else {
        line.m_action = action;
    }
    return line;
}

QString CommandLine::usage(const QString &command)
{
    if (command == DumpCommand) {
        return QStringLiteral("Usage: quillmark-tool dump [FILE]\n"
                              "\n"
                              "Prints the collection in FILE as JSON on standard output. Each folder or link is an\n"
                              "object with the keys name, url, description, isFolder, visits, rating, lastVisit\n"
                              "(days since 1899-12-30, 0 for never) and children, in the order the collection\n"
                              "keeps them. Without FILE, prints your data file:\n"
                              "  %1\n"
                              "\n"
                              "Exit status: 0 when the whole file was read; 2 when the file cannot be opened;\n"
                              "3 when it is damaged (what could be read is printed) or of a newer format.\n")
            .arg(QDir::toNativeSeparators(Repository::DataFile()));
    }
    if (command == ConvertCommand) {
        return QStringLiteral("Usage: quillmark-tool convert IN OUT\n"
                              "\n"
                              "Reads the collection file IN, of either format version, and writes it to OUT in the\n"
                              "current format (version 10000). OUT is replaced only once it has been written whole.\n"
                              "\n"
                              "Exit status: 0 when the whole file was converted; 2 when IN cannot be opened or OUT\n"
                              "cannot be written; 3 when IN is damaged (OUT holds what could be read) or of a newer\n"
                              "format (OUT is not written).\n");
    }
    if (command == ExportCommand) {
        return QStringLiteral("Usage: quillmark-tool export --format FORMAT [--folder PATH] DATAFILE OUT\n"
                              "\n"
                              "Writes a folder of the collection file DATAFILE, with everything below it, to OUT.\n"
                              "%1"
                              "  page       a printable HTML page\n"
                              "\n"
                              "PATH names the folder by the names of the folders from the top down, joined by\n"
                              "\"\\\" (quote it for the shell); without it, the whole collection. For favorites, OUT\n"
                              "is a folder, created when missing; nothing in it is replaced. Other files are\n"
                              "replaced only once they have been written whole.\n"
                              "\n"
                              "Exit status: 0 when the folder was written whole; 2 when a file cannot be opened\n"
                              "or written, or the folder does not exist; 3 when DATAFILE is damaged (what could\n"
                              "be read was written) or of a newer format (nothing was written).\n")
            .arg(formatList());
    }
    if (command == ImportCommand) {
        return QStringLiteral("Usage: quillmark-tool import --format FORMAT [--folder PATH] IN DATAFILE\n"
                              "\n"
                              "Adds what IN holds to a folder of the collection file DATAFILE, which is created\n"
                              "when missing and replaced only once it has been written whole.\n"
                              "%1"
                              "\n"
                              "PATH names the folder by the names of the folders from the top down, joined by\n"
                              "\"\\\" (quote it for the shell); without it, the top folder. For favorites, IN is a\n"
                              "folder of Internet shortcut files.\n"
                              "\n"
                              "While Quillmark runs it holds your data file, and would write it over the import\n"
                              "when it ends: import refuses to change that file until Quillmark has ended.\n"
                              "\n"
                              "Exit status: 0 when IN was imported whole; 2 when a file cannot be opened or\n"
                              "written, or the folder does not exist; 3 when IN is damaged (what could be read\n"
                              "was imported) or not of the format, or DATAFILE is damaged or of a newer format\n"
                              "(it is left alone); 4 when Quillmark is running with DATAFILE.\n"
                              "\n"
                              "Usage: quillmark-tool import --from firefox|chromium --profile DIR DATAFILE\n"
                              "\n"
                              "Adds the bookmarks of the browser profile in the folder DIR (as 'quillmark-tool\n"
                              "profiles' lists them) to DATAFILE as a new top-level folder named after the browser\n"
                              "and the profile, such as \"Firefox (default-release)\". The browser may be running:\n"
                              "its files are only read. A damaged or unreadable profile imports nothing (exit 3).\n")
            .arg(formatList());
    }
    if (command == ProfilesCommand) {
        return QStringLiteral("Usage: quillmark-tool profiles\n"
                              "\n"
                              "Prints the browser profiles found for the current user as a JSON array: the\n"
                              "Firefox family (Firefox, LibreWolf, Waterfox, also as snap or flatpak) and the\n"
                              "Chromium family (Chrome, Chromium, Brave, Edge, Vivaldi, Opera). Each profile is an\n"
                              "object with the keys browser, profile, path, folders and links (counted by reading\n"
                              "it), and error when it cannot be read.\n"
                              "\n"
                              "Exit status: 0 when the list was printed; 2 when it cannot be written.\n");
    }
    if (command == BackupsCommand) {
        return QStringLiteral("Usage: quillmark-tool backups [DATAFILE]\n"
                              "\n"
                              "Prints the daily backups of the collection file DATAFILE, kept in the folder\n"
                              "\"backups\" beside it, newest first, as a JSON array. Each backup is an object with\n"
                              "the keys path, date (YYYY-MM-DD), folders, links (counted by reading it) and\n"
                              "readable (false for a damaged backup, which cannot be restored). Without\n"
                              "DATAFILE, lists the backups of your data file:\n"
                              "  %1\n"
                              "\n"
                              "Exit status: 0 when the list was printed; 2 when it cannot be written.\n")
            .arg(QDir::toNativeSeparators(Repository::DataFile()));
    }
    if (command == RestoreCommand) {
        return QStringLiteral("Usage: quillmark-tool restore BACKUP DATAFILE\n"
                              "\n"
                              "Replaces the collection file DATAFILE with BACKUP. DATAFILE is first kept as\n"
                              "today's backup, so the restore can be taken back by restoring that one. BACKUP\n"
                              "must be read whole: a damaged backup changes nothing.\n"
                              "\n"
                              "While Quillmark runs it holds your data file, and would write it over the\n"
                              "restored collection when it ends: restore refuses to change that file until\n"
                              "Quillmark has ended.\n"
                              "\n"
                              "Exit status: 0 when the backup was restored; 2 when a file cannot be opened or\n"
                              "written; 3 when BACKUP is damaged or of a newer format (nothing was changed);\n"
                              "4 when Quillmark is running with DATAFILE.\n");
    }
    if (command == DuplicatesCommand || command == DedupeCommand) {
        const QString options
            = QStringLiteral("  --ignore-fragment        what follows \"#\" does not count\n"
                             "  --ignore-tracking        the parameters utm_*, fbclid, gclid, mc_eid and\n"
                             "                           igshid do not count\n"
                             "  --ignore-scheme-and-www  http equals https, and \"www.\" before a host\n"
                             "                           does not count\n");
        if (command == DuplicatesCommand) {
            return QStringLiteral(
                       "Usage: quillmark-tool duplicates [--folder PATH] [OPTIONS] DATAFILE\n"
                       "\n"
                       "Prints the links of the collection file DATAFILE that lead to the same page, as a JSON\n"
                       "array of groups. Each group has the keys url (the address the links share, in the\n"
                       "form they are compared in) and links, each with path (its folder), name, url, visits\n"
                       "and lastVisit. Addresses are compared without the case of the scheme and host, a\n"
                       "default port, the difference between no path and \"/\", the case of percent escapes\n"
                       "and the form of an international host name.\n"
                       "\n"
                       "%1"
                       "\n"
                       "PATH names the folder to look below, by the names of the folders from the top down,\n"
                       "joined by \"\\\" (quote it for the shell); without it, the whole collection.\n"
                       "\n"
                       "Exit status: 0 when the groups were printed; 2 when DATAFILE cannot be opened or the\n"
                       "folder does not exist; 3 when DATAFILE is damaged or of a newer format.\n")
                .arg(options);
        }
        return QStringLiteral("Usage: quillmark-tool dedupe [--folder PATH] [OPTIONS] DATAFILE\n"
                              "\n"
                              "Cleans up the collection file DATAFILE below the folder PATH (without it, the whole\n"
                              "collection). First, sibling folders whose names are equal but for case and blanks\n"
                              "around them are merged into the one whose name sorts first, at every depth; identical\n"
                              "links in a merged folder become one. Then of each group of links that lead to the\n"
                              "same page (see duplicates), one stays: the one with the most visits, then the latest\n"
                              "last visit, then the one in the shallowest folder, then the first in the collection's\n"
                              "order. It takes the visits of the others and the latest last visit, and their first\n"
                              "description when it has none. Prints the folders merged and the links removed as JSON.\n"
                              "When more than 100 items go, DATAFILE is first kept as today's backup.\n"
                              "\n"
                              "%1"
                              "\n"
                              "While Quillmark runs it holds your data file, and would write it over the change when\n"
                              "it ends: dedupe refuses to change that file until Quillmark has ended.\n"
                              "\n"
                              "Exit status: 0 when DATAFILE was cleaned up (or had nothing to clean up); 2 when it\n"
                              "cannot be opened or written, or the folder does not exist; 3 when it is damaged or of\n"
                              "a newer format (it is left alone); 4 when Quillmark is running with DATAFILE.\n")
            .arg(options);
    }
    if (command == CheckCommand) {
        return QStringLiteral("Usage: quillmark-tool check [--folder PATH] [--timeout SECONDS] [--jobs N] DATAFILE\n"
                              "\n"
                              "Checks every link of the collection file DATAFILE, or of the folder PATH and\n"
                              "below, over the network, and prints one JSON object per link, one a line, as\n"
                              "each check ends: path (the folder), name, url, outcome (ok, moved, redirected,\n"
                              "broken, unreachable or not-checked), verdict (the outcome, or \"unreachable\n"
                              "(rate limited)\" for a site that answered 429), status (the HTTP status, 0 for\n"
                              "none), finalUrl (where redirects led) and reason. Only http and https links\n"
                              "are fetched; a rate-limited site's other links wait as long as it asks, up to\n"
                              "a minute, or are not checked. A summary goes to standard error. DATAFILE is\n"
                              "not changed.\n"
                              "\n"
                              "  --timeout SECONDS  give up on a link after this long (default 15)\n"
                              "  --jobs N           at most N requests at once (default 16; 2 per host)\n"
                              "\n"
                              "Exit status: 0 when every link was checked; 2 when DATAFILE cannot be opened or\n"
                              "the folder does not exist; 3 when DATAFILE is damaged (the links that could be\n"
                              "read were checked) or of a newer format.\n");
    }
    if (command == SyncCommand) {
        return QStringLiteral(
            "Usage: quillmark-tool sync --url URL --file NAME [--user U] [--password-env VAR] [--folder PATH] "
            "DATAFILE\n"
            "\n"
            "Syncs a folder of the collection file DATAFILE with the XBEL file NAME in the folder URL of a\n"
            "WebDAV server, which browsers with the XBEL sync extension share: what changed on either side\n"
            "since the last sync goes to the other. NAME may lie in a folder below URL (\"sub/bookmarks.xbel\").\n"
            "The password is read from the environment variable VAR; over http:// to another computer it\n"
            "goes in clear text, and a warning says so. PATH names the folder as for export; without it, the\n"
            "whole collection. DATAFILE is kept as today's backup before the sync changes it. What the sync\n"
            "took and gave is printed.\n"
            "\n"
            "While Quillmark runs it holds your data file: sync refuses to change that file until Quillmark\n"
            "has ended.\n"
            "\n"
            "Exit status: 0 when the sync was done; 2 when the server, a file or the folder failed (nothing\n"
            "was changed); 3 when DATAFILE is damaged or of a newer format (it is left alone); 4 when\n"
            "Quillmark is running with DATAFILE.\n");
    }
    return QStringLiteral("Usage: quillmark-tool COMMAND [ARGUMENTS]\n"
                          "\n"
                          "Works with Quillmark collection files: the data file and exported .qmf files.\n"
                          "\n"
                          "Commands:\n"
                          "  dump [FILE]       print a collection as JSON (without FILE: your data file)\n"
                          "  convert IN OUT    rewrite a collection file in the current format\n"
                          "  export --format FORMAT [--folder PATH] DATAFILE OUT\n"
                          "                    write a folder to a bookmark file of another format\n"
                          "  import --format FORMAT [--folder PATH] IN DATAFILE\n"
                          "                    add a bookmark file of another format to a folder\n"
                          "  backups [DATAFILE]\n"
                          "                    list the daily backups (without DATAFILE: of your data file)\n"
                          "  restore BACKUP DATAFILE\n"
                          "                    replace a collection file with one of its backups\n"
                          "  profiles          list the browser profiles found, as JSON\n"
                          "  import --from firefox|chromium --profile DIR DATAFILE\n"
                          "                    add a browser profile's bookmarks as a new folder\n"
                          "  sync --url URL --file NAME [--user U] [--password-env VAR] [--folder PATH] DATAFILE\n"
                          "                    sync a folder with an XBEL file on a WebDAV server\n"
                          "  duplicates [--folder PATH] [OPTIONS] DATAFILE\n"
                          "                    list the links that lead to the same page\n"
                          "  dedupe [--folder PATH] [OPTIONS] DATAFILE\n"
                          "                    merge duplicate folders and keep one link of each page\n"
                          "  check [--folder PATH] [--timeout SECONDS] [--jobs N] DATAFILE\n"
                          "                    check the links over the network (JSON lines)\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help        show this help; after a command, that command's help\n"
                          "  --version         show the version\n");
}
