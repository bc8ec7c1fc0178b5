#include "widgets/ShellErrorReport.h"

#include "widgets/MessageBoxes.h"

#include <QCoreApplication>

namespace {

// Index of the last character that separates the path part from the file part, or -1.
qsizetype lastSeparator(const QString &target)
{
    const bool isUrl = target.contains(QLatin1String("://"));
    for (qsizetype i = target.size() - 1; i >= 0; --i) {
        const QChar c = target.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(':') || (!isUrl && c == QLatin1Char('/')))
            return i;
    }
    return -1;
}

QString filePart(const QString &target)
{
    return target.mid(lastSeparator(target) + 1);
}

QString pathPart(const QString &target)
{
    return target.left(lastSeparator(target) + 1);
}

} // namespace

QString ShellErrorMessage(int code, const QString &target)
{
    switch (code) {
    case 0:
        return QCoreApplication::translate("ShellErrorReport", "Out of memory or resources.");
    case 2:
        return filePart(target) + QCoreApplication::translate("ShellErrorReport", " file was not found.");
    case 3:
        return pathPart(target) + QCoreApplication::translate("ShellErrorReport", " path was not found.");
    case 5:
        return QCoreApplication::translate("ShellErrorReport",
                                           "The operating system denied access to the specified file.");
    case 8:
        return QCoreApplication::translate("ShellErrorReport",
                                           "There was not enough memory to complete the operation.");
    case 11:
        return filePart(target)
            + QCoreApplication::translate("ShellErrorReport",
                                          " file is invalid (non-Win32 .EXE or error in .EXE image).");
    case 26:
        return QCoreApplication::translate("ShellErrorReport", "A sharing violation occurred.");
    case 27:
        return QCoreApplication::translate("ShellErrorReport", "The filename association is incomplete or invalid.");
    case 28:
        return QCoreApplication::translate("ShellErrorReport",
                                           "The DDE transaction could not be completed because the request timed out.");
    case 29:
        return QCoreApplication::translate("ShellErrorReport", "The DDE transaction failed.");
    case 30:
        return QStringLiteral(
            "The DDE transaction could not be completed because other DDE transactions were being processed.");
    case 31:
        return QCoreApplication::translate("ShellErrorReport",
                                           "There is no application associated with the given filename extension.");
    case 32:
        return QCoreApplication::translate("ShellErrorReport", "The specified dynamic-link library was not found.");
    default:
        return {};
    }
}

void ReportShellError(int code, const QString &target)
{
    const QString message = ShellErrorMessage(code, target);
    if (message.isEmpty())
        return;
    // The target may hold anything, markup included: the box shows it as plain text.
    MessageBoxes::warning(nullptr, QCoreApplication::translate("ShellErrorReport", "WARNING"), message);
}
