#pragma once

#include "mainwindow/CollectionView.h"
#include "store/SearchIndex.h"

#include <QObject>
#include <QTimer>

#include <memory>

class CollectionDocument;
class LinkItem;
class QLineEdit;
class QWidget;
class ResultsJob;

// Finding things across all folders: the search field (results while the user types), All Bookmarks,
// Go to Folder and Delete Empty Folders. Results and all bookmarks are shown in the link list with all
// its commands; a click on a result's location goes to its folder.
class SearchCommands : public QObject
{
    Q_OBJECT
public:
    SearchCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);
    ~SearchCommands() override;

    QLineEdit *searchEdit() const { return m_edit; }
    // The search field with its margins, for the window to place.
    QWidget *searchField() const { return m_field; }
    SearchIndex &index() { return m_index; }
    // Searches and All Bookmarks are listed by it, a slice at a time.
    ResultsJob *resultsJob() const { return m_job.get(); }
    bool showsResults() const { return m_view->showsResults(); }

    // Ctrl+S and the toolbar's Search: to the search field.
    void search();
    void showAllBookmarks();
    void goToChosenFolder();
    void deleteEmptyFolders();
    // Shows a folder in the tree (opening what is needed), which makes it the shown folder; a folder deeper
    // than the tree opens shows its ancestor at the deepest level, and a message says so.
    void goToFolder(LinkItem *folder);
    // The selected result's folder (its location was clicked).
    void goToResultFolder();
    // The collection changed: the next search reads it again, and a listing under way starts over.
    void collectionChanged();
    // Back from results to the shown folder.
    void leaveResults();

private:
    // Reads the collection into the index a slice at a time while the window is idle, so that the first
    // keystroke finds it ready.
    void warmUpSlice();
    void searchTextChanged(const QString &text);
    void showFirstResults(const std::vector<LinkItem *> &items);
    void showResults(int sortColumn, bool ascending);
    void showProgress(int found, int sortPercent);
    // The list shows a folder again: the field is done with.
    void folderShown();
    bool eventFilter(QObject *watched, QEvent *event) override;

    CollectionDocument *m_document;
    CollectionView *m_view;
    QWidget *m_parent;
    SearchIndex m_index;
    std::unique_ptr<ResultsJob> m_job;
    QTimer m_warmUp;
    QLineEdit *m_edit;
    QWidget *m_field;
    // What the listing under way lists: search results or all bookmarks.
    CollectionView::Listing m_listing = CollectionView::Listing::SearchResults;
};
