#pragma once

#include <QObject>
#include <QString>

#include <vector>

class CollectionDocument;
class LinkItem;
class LinkListModel;
class QItemSelectionModel;

// What the window shows of the collection: the shown folder, what the link list lists (that folder's children or
// a list of results from anywhere), the selected entries and the entry with the cursor, the status text and the
// order of the rows. Commands change what is shown through it; the folder tree, the list, the folder header, the
// description pane, the status bar and the actions follow its signals. It owns the list's rows and selection,
// which every view of the list shares.
class CollectionView : public QObject
{
    Q_OBJECT
public:
    // What the list lists.
    enum class Listing { Nothing, Folder, SearchResults, AllBookmarks, LinkCheckFindings, Duplicates };

    explicit CollectionView(CollectionDocument *document, QObject *parent = nullptr);
    ~CollectionView() override;

    CollectionDocument *document() const { return m_document; }
    LinkListModel *model() const { return m_model; }
    QItemSelectionModel *selectionModel() const { return m_selection; }

    // The shown folder: the folder tree's selected folder, or none before the collection is shown.
    LinkItem *folder() const { return m_folder; }
    Listing listing() const { return m_listing; }
    // Whether the list lists results rather than a folder's children.
    bool showsResults() const;

    // Shows folder everywhere: the tree selects it and the list lists its children, sorted; the showing is
    // stamped as a visit and counted (while visits count). Showing the folder that is shown lists it again,
    // leaving any results. None shows nothing.
    void showFolder(LinkItem *folder);
    // The shown folder again, as showFolder does.
    void showFolderAgain() { showFolder(m_folder); }
    // The shown folder was filled at once (an import, a paste): relisted with one more visit, its branch in the
    // tree built again.
    void relistFolder();
    // Lists a folder's children without making it the shown folder (the tree keeps its selection).
    void listFolder(LinkItem *folder);
    // Lists items from anywhere in the collection; the shown folder stays. Items that are in the order of a sort
    // key already say which (sortedBy, ascending), so that the list need not sort them again.
    void showResults(Listing listing, std::vector<LinkItem *> items, int sortedBy = -1, bool ascending = true);
    // Empties the list without a visit: before a change that removes many items, which spares removing their
    // rows one at a time. Something is shown again afterwards.
    void clearList();

    // Whether the list, rather than the folder tree, is the pane the user works in: Delete and Properties then
    // work on the selected entries, else on the shown folder. The window tells it as the focus moves.
    bool listActive() const { return m_listActive; }
    void setListActive(bool active);

    // The items of the selected entries, in row order.
    std::vector<LinkItem *> selectedItems() const;
    int selectedCount() const;
    // The entry with the cursor, or none.
    LinkItem *currentItem() const;
    // Selects exactly these entries (those the list has) and puts the cursor on current, or on the first of them.
    void select(const std::vector<LinkItem *> &items, LinkItem *current = nullptr);
    void selectAll();
    void clearSelection();
    void invertSelection();

    // The status text: a command's message until the list or the selection changes, then by the rule: the
    // selection form ("N objects selected") while entries are selected, else the count form ("N objects").
    QString statusText() const { return m_statusText; }
    void setStatusText(const QString &text);
    void updateStatusText();
    static QString countText(int count);
    static QString selectionText(int count);

    // The key and direction the rows were last sorted by (ColumnId, name first).
    int sortColumn() const { return m_sortColumn; }
    bool sortAscending() const { return m_sortAscending; }
    // Sorts the rows and keeps the order for what is listed later.
    void sortBy(int column, bool ascending);

    // While off, showing or relisting a folder counts no visit and leaves its Last Visit as it is: an undo, and
    // what follows it, must leave the collection exactly as it was.
    void setCountsVisits(bool counts);
    bool countsVisits() const { return m_countsVisits; }

    // Requests that the window answers: keep today's backup before a change removes many items; rename a folder
    // or an entry in place; put the keyboard focus on the list, or on the tree where it is shown.
    void keepBackup() { emit backupWanted(); }
    void rename(LinkItem *item) { emit renameWanted(item); }
    void focusList() { emit listFocusWanted(); }
    void focusTree() { emit treeFocusWanted(); }

signals:
    // The list lists folder's children: the shown folder (shown), or another folder's (listFolder). Emitted after
    // the rows are filled and before they are sorted.
    void folderShown(LinkItem *folder);
    void folderListed(LinkItem *folder);
    void folderRelisted(LinkItem *folder);
    // The list lists results.
    void resultsShown(CollectionView::Listing listing);
    // The list was emptied (clearList).
    void listCleared();
    // The selected entries or the entry with the cursor changed.
    void selectionChanged();
    void currentItemChanged(LinkItem *item);
    void statusTextChanged(const QString &text);
    void sortOrderChanged(int column, bool ascending);
    void backupWanted();
    void renameWanted(LinkItem *item);
    void listFocusWanted();
    void treeFocusWanted();
    void listActiveChanged(bool active);

private:
    void fillFromFolder(LinkItem *folder);

    CollectionDocument *m_document;
    LinkListModel *m_model;
    QItemSelectionModel *m_selection;
    LinkItem *m_folder = nullptr;
    Listing m_listing = Listing::Nothing;
    QString m_statusText;
    int m_sortColumn = 0;
    bool m_sortAscending = true;
    bool m_countsVisits = true;
    bool m_listActive = false;
};
