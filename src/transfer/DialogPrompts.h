#pragma once

#include "transfer/Prompts.h"

#include <memory>

class QFileDialog;

// The real dialogs.
class DialogPrompts : public Prompts
{
public:
    QString saveFileName(QWidget *parent, const FileDialogSettings &settings) override;
    QString openFileName(QWidget *parent, const FileDialogSettings &settings) override;
    QString existingDirectory(QWidget *parent, const QString &title) override;
    QString existingDirectoryIn(QWidget *parent, const QString &title, const QString &folder) override;
    int runImportForm(FavoritesFolderDialog &form) override;

    // The file dialog that saveFileName (save true) or openFileName shows, set up but not shown.
    static std::unique_ptr<QFileDialog> makeFileDialog(QWidget *parent, const FileDialogSettings &settings, bool save);
};
