#pragma once

#include "RecordingHelp.h"
#include "common/TreeBuilders.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/NewItemDialog.h"
#include "mainwindow/PropertiesDialog.h"
#include "mainwindow/RestoreDialog.h"
#include "mainwindow/SyncDialog.h"
#include "shell/AboutBox.h"
#include "shell/HelpBook.h"
#include "shell/HelpWindow.h"
#include "shell/TipOfTheDayDialog.h"
#include "store/LinkItem.h"
#include "transfer/DialogPrompts.h"
#include "transfer/FavoritesFolderDialog.h"
#include "transfer/TransferProgress.h"

#include <QDir>
#include <QProgressDialog>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

// Every dialog and tool window of the program, made over a small collection, for the tests that go
// through all of them. A window is made anew each time; the collection lives as long as this object.
class AllDialogs
{
public:
    using Maker = std::function<std::unique_ptr<QWidget>()>;
    struct Dialog
    {
        QString name;
        Maker make;
    };

    // favoritesFolder: a folder that may be filled, for the Favorites chooser.
    explicit AllDialogs(const QString &favoritesFolder) : m_favorites(favoritesFolder)
    {
        using namespace TreeBuilders;
        m_tree = LinkItem::MakeFolder("Quillmark");
        m_folder = addFolder(*m_tree, "Work");
        m_link = addLink(*m_folder, "Example", "https://example.org/");
        addFolder(*m_folder, "Projects");
        QDir().mkpath(m_favorites + QStringLiteral("/Links"));
        m_backups.resize(2);
        m_backups[0] = {QStringLiteral("/b/1"), QDate(2026, 12, 6), 1000, 2, 3, true, QString()};
        m_backups[1] = {QStringLiteral("/b/2"), QDate(2026, 12, 5), 900, 2, 2, false, QStringLiteral("damaged")};
    }

    std::vector<Dialog> all()
    {
        return {
            {QStringLiteral("New URL"), [] { return std::make_unique<NewItemDialog>(); }},
            {QStringLiteral("Properties of a link"), [this] { return std::make_unique<PropertiesDialog>(m_link); }},
            {QStringLiteral("Properties of a folder"), [this] { return std::make_unique<PropertiesDialog>(m_folder); }},
            {QStringLiteral("Go to Folder"), [this] { return std::make_unique<GoToFolderDialog>(m_tree.get()); }},
            {QStringLiteral("Restore from Backup"), [this] { return std::make_unique<RestoreDialog>(m_backups); }},
            {QStringLiteral("Sync"),
             [this] { return std::make_unique<SyncDialog>(SyncSettings(), QString(), m_tree.get()); }},
            {QStringLiteral("Favorites chooser"),
             [this] { return std::make_unique<FavoritesFolderDialog>(nullptr, m_prompts, m_favorites); }},
            {QStringLiteral("Favorites chooser without Favorites"),
             [this] {
                 return std::make_unique<FavoritesFolderDialog>(nullptr, m_prompts,
                                                                m_favorites + QStringLiteral("/none"));
             }},
            {QStringLiteral("Tip of the Day"),
             [this] { return std::make_unique<TipOfTheDayDialog>(&m_help, nullptr); }},
            {QStringLiteral("About"), [this] { return std::make_unique<AboutBox>(&m_help, nullptr); }},
            {QStringLiteral("Help"), [this] { return std::make_unique<HelpWindow>(m_book); }},
        };
    }

    Maker maker(const QString &name)
    {
        for (const Dialog &dialog : all()) {
            if (dialog.name == name)
                return dialog.make;
        }
        return {};
    }

private:
    QString m_favorites;
    std::unique_ptr<LinkItem> m_tree;
    LinkItem *m_folder = nullptr;
    LinkItem *m_link = nullptr;
    std::vector<Backups::Entry> m_backups;
    RecordingHelp m_help;
    DialogPrompts m_prompts;
    HelpBook m_book;
};
