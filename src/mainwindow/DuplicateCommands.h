#pragma once

#include "mainwindow/MainPanes.h"
#include "store/UrlKey.h"

#include <QObject>

#include <unordered_map>
#include <vector>

class LinkItem;

// Find Duplicates, its two clean-up commands and Merge Duplicate Folders. The groups of duplicates are listed
// in the link list like search results, one group after another, and the description pane names every place
// of the selected link's group.
class DuplicateCommands : public QObject
{
    Q_OBJECT
public:
    DuplicateCommands(const MainPanes &panes, QObject *parent);

    // "Find Duplicates...": the options, then the groups.
    void findDuplicates();
    // Looks for duplicates below folder (the root for the whole collection) and lists them.
    void showDuplicates(LinkItem *folder, UrlKeyOptions options);
    // Deletes the other links of the selected link's group.
    void keepSelected();
    // "Clean Up All": one link of each group stays, after a question.
    void cleanUpAll();
    void mergeDuplicateFolders();

    // Whether the list shows the groups of duplicates.
    bool showsDuplicates() const { return m_showing; }
    const std::vector<std::vector<LinkItem *>> &groups() const { return m_groups; }

private:
    void fillList();
    // The list shows something else now.
    void leave();
    void forget(const std::vector<LinkItem *> &items);
    // Lists the groups again after the collection changed under them.
    void refind();
    void showPlaces();
    void updateActions();
    UrlKeyOptions rememberedOptions() const;

    MainPanes m_panes;
    std::vector<std::vector<LinkItem *>> m_groups;
    std::unordered_map<const LinkItem *, size_t> m_groupOf;
    LinkItem *m_scope = nullptr;
    UrlKeyOptions m_options;
    bool m_showing = false;
    bool m_filling = false;
};
