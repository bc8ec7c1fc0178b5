#pragma once

#include "common/RecordedBoxes.h"
#include "mainwindow/CollectionView.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "transfer/FavoritesFolderDialog.h"
#include "transfer/FavoritesTree.h"
#include "transfer/Prompts.h"

#include <QLabel>
#include <QStringList>
#include <QWidget>

#include <functional>

// What the import and export commands work on, as the window gives it: a folder of the test's (the root of a
// document of its own) shown in a view, with what the status bar showed and the relistings of the folder recorded.
class ShownFolder
{
public:
    ShownFolder()
    {
        // The commands' own texts: not the count the view sets as it relists the folder they filled.
        QObject::connect(&view, &CollectionView::statusTextChanged, &window, [this](const QString &text) {
            if (!m_relisting)
                statusTexts << text;
        });
        QObject::connect(&view, &CollectionView::folderRelisted, &window, [this] { m_relisting = true; });
        QObject::connect(&document, &CollectionDocument::childrenInserted, &window, [this] {
            m_relisting = false;
            ++refreshes;
        });
    }
    ~ShownFolder() { show(nullptr); }

    // Shows folder, and forgets what was recorded.
    void show(LinkItem *folder)
    {
        view.clearList();
        document.setRoot(folder);
        // As the tree shows it, without the visit that would change the folder the test compares.
        view.setCountsVisits(false);
        view.showFolder(folder);
        view.setCountsVisits(true);
        refreshes = 0;
        statusTexts.clear();
    }

    QWidget window;
    CollectionDocument document;
    CollectionView view {&document};
    int refreshes = 0;
    QStringList statusTexts;

private:
    bool m_relisting = false;
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
