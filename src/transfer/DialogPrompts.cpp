#include "transfer/DialogPrompts.h"

#include "transfer/FavoritesFolderDialog.h"

#include <QFileDialog>

std::unique_ptr<QFileDialog> DialogPrompts::makeFileDialog(QWidget *parent, const FileDialogSettings &settings,
                                                           bool save)
{
    auto dialog = std::make_unique<QFileDialog>(parent, settings.title, QString(), settings.filter);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Saving asks before it overwrites a file (QFileDialog's default); opening wants an existing file.
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(settings.defaultSuffix);
    if (!settings.folder.isEmpty())
        dialog->setDirectory(settings.folder);
    if (save && !settings.suggestedName.isEmpty())
        dialog->selectFile(settings.suggestedName);
    return dialog;
}

QString DialogPrompts::saveFileName(QWidget *parent, const FileDialogSettings &settings)
{
    const auto dialog = makeFileDialog(parent, settings, true);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return QString();
    return dialog->selectedFiles().constFirst();
}

QString DialogPrompts::openFileName(QWidget *parent, const FileDialogSettings &settings)
{
    const auto dialog = makeFileDialog(parent, settings, false);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return QString();
    return dialog->selectedFiles().constFirst();
}

QString DialogPrompts::existingDirectory(QWidget *parent, const QString &title)
{
    return QFileDialog::getExistingDirectory(parent, title);
}

QString DialogPrompts::existingDirectoryIn(QWidget *parent, const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

int DialogPrompts::runImportForm(FavoritesFolderDialog &form)
{
    return form.exec();
}
