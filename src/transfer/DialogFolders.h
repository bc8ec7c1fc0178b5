#pragma once

#include <QString>

// The folder each file dialog starts in: the one it was last accepted in (kept in the settings, one per
// dialog), else the user's Documents folder, else the home folder; each only while it still exists.
class DialogFolders
{
public:
    // Where the dialog named dialog starts now.
    static QString startFolder(const QString &dialog);
    // Remembers the folder of chosen (a file, or a folder for the folder choosers) for the dialog.
    static void remember(const QString &dialog, const QString &chosen, bool chosenIsFolder);

    // The first of the three that is an existing folder; home when none is.
    static QString firstExisting(const QString &remembered, const QString &documents, const QString &home);
};
