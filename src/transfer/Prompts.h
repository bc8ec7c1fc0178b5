#pragma once

#include <QString>

class QWidget;
class FavoritesFolderDialog;

// What a file dialog of the import and export commands shows.
struct FileDialogSettings
{
    QString title;
    QString filter; // e.g. "Quillmark Files (*.qmf)"
    QString defaultSuffix; // added when the chosen name has no extension
    QString folder; // where the dialog starts; empty: where Qt starts it
    QString suggestedName; // the file name a save dialog offers; empty: none
};

// The dialogs of the import and export commands, so that the commands can run without modal windows
// (DialogPrompts shows the real ones). Their message boxes go through MessageBoxes.
class Prompts
{
public:
    virtual ~Prompts() = default;

    // A save dialog that asks before an existing file is overwritten; the chosen path, or empty when
    // the user cancelled.
    virtual QString saveFileName(QWidget *parent, const FileDialogSettings &settings) = 0;
    // An open dialog for an existing file; the chosen path, or empty when the user cancelled.
    virtual QString openFileName(QWidget *parent, const FileDialogSettings &settings) = 0;
    // A folder chooser; the chosen folder, or empty when the user cancelled.
    virtual QString existingDirectory(QWidget *parent, const QString &title) = 0;
    // A folder chooser that starts in folder.
    virtual QString existingDirectoryIn(QWidget *parent, const QString &title, const QString &folder)
    {
        Q_UNUSED(folder);
        return existingDirectory(parent, title);
    }

    // Shows the Favorites chooser modally; its modal result (1 OK, 2 cancel).
    virtual int runImportForm(FavoritesFolderDialog &form) = 0;
};
