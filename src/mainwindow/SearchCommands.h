#pragma once

#include "store/SearchIndex.h"

#include <QObject>

class LinkItem;
class QLineEdit;
class MainWindow;

// Finding things across all folders: the search field (results while the user types), All Bookmarks,
// Go to Folder and Delete Empty Folders. Results and all bookmarks are shown in the link list with all
// its commands; the description pane names each one's folder, which a click goes to.
class SearchCommands : public QObject
{
    Q_OBJECT
public:
    explicit SearchCommands(MainWindow *window);

    QLineEdit *SearchEdit() const { return m_edit; }
    SearchIndex &index() { return m_index; }
    bool showsResults() const;

    // Ctrl+S and the toolbar's Search: to the search field.
    void search();
    void showAllBookmarks();
    void goToChosenFolder();
    void deleteEmptyFolders();
    // Shows a folder in the tree (opening what is needed), which makes it the shown folder; a folder deeper
    // than the tree opens shows its ancestor at the deepest level, and a message says so.
    void goToFolder(const LinkItem *folder);
    // The collection changed: the next search reads it again.
    void collectionChanged() { m_index.invalidate(); }
    // Back from results to the shown folder.
    void leaveResults();
    // The list shows a folder again: the field and the location line are done with.
    void folderShown();

private:
    void searchTextChanged(const QString &text);
    void showResults(std::vector<LinkItem *> items);
    void locationClicked();
    bool eventFilter(QObject *watched, QEvent *event) override;

    MainWindow *m_window;
    SearchIndex m_index;
    QLineEdit *m_edit;
};
