#include "CommandLine.h"

#include "formats/BookmarkFormat.h"
#include "store/Repository.h"

#include <QDir>

namespace {
const QString DumpCommand = QStringLiteral("dump");
const QString ConvertCommand = QStringLiteral("convert");
const QString ExportCommand = QStringLiteral("export");
const QString ImportCommand = QStringLiteral("import");
const QString FormatOption = QStringLiteral("--format");
const QString FolderOption = QStringLiteral("--folder");

bool isHelp(const QString &argument)
{
    return argument == QLatin1String("-h") || argument == QLatin1String("--help");
}

// A lone "-" is an ordinary argument.
bool isOption(const QString &argument)
{
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
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
    qsizetype i = 0;
    for (; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (isHelp(argument)) {
            line.m_action = Help;
            return line;
        }
        if (argument == QLatin1String("--version")) {
            line.m_action = Version;
            return line;
        }
        if (argument == QLatin1String("--")) {
            ++i;
            break;
        }
        if (isOption(argument)) {
            line.m_error = QStringLiteral("unknown option '%1'").arg(argument);
            return line;
        }
        break;
    }
    if (i == arguments.size()) {
        line.m_error = QStringLiteral("no command given");
        return line;
    }

    const QString command = arguments.at(i++);
    Action action;
    if (command == DumpCommand) {
        action = Dump;
    } else if (command == ConvertCommand) {
        action = Convert;
    } else if (command == ExportCommand) {
        action = Export;
    } else if (command == ImportCommand) {
        action = Import;
    } else {
        line.m_error = QStringLiteral("unknown command '%1'").arg(command);
        return line;
    }
    line.m_command = command;

    // Help wins over every other mistake on the line.
    bool optionsEnded = false;
    for (; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && isHelp(argument)) {
            line.m_action = Help;
            line.m_error.clear();
            return line;
        } else if (!optionsEnded && isOption(argument)) {
            const bool takesOptions = action == Export || action == Import;
            if (takesOptions && line.m_error.isEmpty() && line.takeOption(arguments, i))
                continue;
            if (line.m_error.isEmpty())
                line.m_error = QStringLiteral("unknown option '%1' for %2").arg(argument, command);
        } else {
            line.m_files << argument;
        }
    }
    if (!line.m_error.isEmpty())
        return line;

    if (action == Dump && line.m_files.size() > 1) {
        line.m_error = QStringLiteral("dump takes at most one file");
    } else if (action == Convert && line.m_files.size() != 2) {
        line.m_error = QStringLiteral("convert takes two files, IN and OUT");
    } else if ((action == Export || action == Import) && line.m_format.isEmpty()) {
        line.m_error = QStringLiteral("%1 needs --format FORMAT").arg(command);
    } else if (action == Export && line.m_files.size() != 2) {
        line.m_error = QStringLiteral("export takes two files, DATAFILE and OUT");
    } else if (action == Import && line.m_files.size() != 2) {
        line.m_error = QStringLiteral("import takes two files, IN and DATAFILE");
    } else if (action == Export || action == Import) {
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

bool CommandLine::takeOption(const QStringList &arguments, qsizetype &i)
{
    const QString &argument = arguments.at(i);
    QString name = argument;
    QString value;
    bool hasValue = false;
    const qsizetype equals = argument.indexOf(QLatin1Char('='));
    if (equals > 0) {
        name = argument.left(equals);
        value = argument.mid(equals + 1);
        hasValue = true;
    }
    if (name != FormatOption && name != FolderOption)
        return false;
    if (!hasValue) {
        if (i + 1 >= arguments.size()) {
            m_error = QStringLiteral("%1 needs a value").arg(name);
            return true;
        }
        value = arguments.at(++i);
    }
    (name == FormatOption ? m_format : m_folder) = value;
    return true;
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
                              "(it is left alone); 4 when Quillmark is running with DATAFILE.\n")
            .arg(formatList());
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
                          "\n"
                          "Options:\n"
                          "  -h, --help        show this help; after a command, that command's help\n"
                          "  --version         show the version\n");
}
