#include "CommandLine.h"

#include "store/Repository.h"

#include <QDir>

namespace {
const QString DumpCommand = QStringLiteral("dump");
const QString ConvertCommand = QStringLiteral("convert");

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
            if (line.m_error.isEmpty())
                line.m_error = QStringLiteral("unknown option '%1' for %2").arg(argument, command);
        } else {
            line.m_files << argument;
        }
    }
    if (!line.m_error.isEmpty())
        return line;

    if (action == Dump && line.m_files.size() > 1)
        line.m_error = QStringLiteral("dump takes at most one file");
    else if (action == Convert && line.m_files.size() != 2)
        line.m_error = QStringLiteral("convert takes two files, IN and OUT");
    else
        line.m_action = action;
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
            .arg(QDir::toNativeSeparators(TRepository::DataFile()));
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
    return QStringLiteral("Usage: quillmark-tool COMMAND [ARGUMENTS]\n"
                          "\n"
                          "Works with Quillmark collection files: the data file and exported .qmf files.\n"
                          "\n"
                          "Commands:\n"
                          "  dump [FILE]       print a collection as JSON (without FILE: your data file)\n"
                          "  convert IN OUT    rewrite a collection file in the current format\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help        show this help; after a command, that command's help\n"
                          "  --version         show the version\n");
}
