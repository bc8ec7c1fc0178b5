#pragma once

#include "common/RecordedBoxes.h"
#include "store/LinkItem.h"
#include "transfer/FavoritesFolderDialog.h"
#include "transfer/FavoritesTree.h"
#include "transfer/Prompts.h"
#include "transfer/TransferHost.h"

#include <QLabel>
#include <QStringList>
#include <QWidget>

#include <functional>

// The main window as the commands see it: RefreshFolderView counts the visits as the folder tree does.
class FakeHost : public TransferHost
{
public:
    QWidget window;
    LinkItem *folder = nullptr;
    int refreshes = 0;
    QStringList statusTexts;

    QWidget *hostWindow() override { return &window; }
    LinkItem *shownFolder() override { return folder; }
    void refreshShownFolder() override
    {
        ++refreshes;
        folder->Visits += 2;
    }
    void setStatusText(const QString &text) override { statusTexts << text; }
    std::optional<UrlKeyOptions> skipKnown; // set: imports leave out the links the collection has
    std::optional<UrlKeyOptions> knownLinksToSkip() override { return skipKnown; }
};

// Answers the dialogs from fields and records the message boxes while it lives.
class FakePrompts : public Prompts, public RecordedBoxes
{
public:
    QString fileName; // what the file dialogs give; empty: cancelled
    QString folderName;
    FileDialogSettings lastFileDialog;
    bool lastWasSave = false;
    // Acts on the chooser instead of the user; its result is the dialog's modal result.
    std::function<int(FavoritesFolderDialog &)> chooser
        = [](FavoritesFolderDialog &) { return int(FavoritesFolderDialog::Cancel); };
    QString chooserCaption;
    QString chooserPrompt;

    QString saveFileName(QWidget *, const FileDialogSettings &settings) override
    {
        lastFileDialog = settings;
        lastWasSave = true;
        return fileName;
    }
    QString openFileName(QWidget *, const FileDialogSettings &settings) override
    {
        lastFileDialog = settings;
        lastWasSave = false;
        return fileName;
    }
    QString existingDirectory(QWidget *, const QString &) override { return folderName; }
    QString folderChooserStart; // where the last folder chooser started
    QString existingDirectoryIn(QWidget *, const QString &, const QString &folder) override
    {
        folderChooserStart = folder;
        return folderName;
    }
    int runImportForm(FavoritesFolderDialog &form) override
    {
        chooserCaption = form.windowTitle();
        chooserPrompt = form.promptLabel()->text();
        return chooser(form);
    }
};
