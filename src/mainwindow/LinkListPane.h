#pragma once

#include "settings/ColumnInfo.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

class CollectionDocument;
class FolderListView;
class QAction;
class QActionGroup;
class QMenu;
class QWidget;

// The main window's operations on the link list: the sort state with its check marks, the view style
// check marks, the column layout and the status text. The main window owns one and puts its actions into
// its menus; the same action objects stand in the View menu's "&Arrange Icons by" and in the header menu,
// so the two copies of an entry are always checked together.
class LinkListPane : public QObject
{
    Q_OBJECT
public:
    // Help context numbers, stored on the actions as the "helpContext" property.
    static constexpr int SortHelpContext = 306;
    static constexpr int ViewStyleHelpContext = 309; // large icons; up to 312 for details

    // list: the link list (not owned). window: the window that stops repainting while columns are arranged;
    // the list itself when none.
    LinkListPane(FolderListView *list, QWidget *window, QObject *parent = nullptr);
    ~LinkListPane() override;

    FolderListView *list() const { return m_list; }
    // A listed item that gets a new sort key (name, address, rating) takes its place among the rows.
    void follow(CollectionDocument *document);

    const ColumnLayout &ColumnsInfo() const { return m_columnsInfo; }
    void setColumnsInfo(const ColumnLayout &columns) { m_columnsInfo = columns; }
    int SortColumn() const { return m_sortColumn; }
    bool SortAscending() const { return m_sortAscending; }
    QString LastSortCaption() const { return m_lastSortCaption; }

    // "&Name" .. "&Rating" for keys 0..4.
    QAction *arrangeAction(int key) const;
    QAction *sortAscendingAction() const { return m_ascending; }
    QAction *sortDescendingAction() const { return m_descending; }
    // The View menu's view style entries ("La&rge Icons" ..) and the "Views" drop-down's ("&Large Icons" ..),
    // for styles 0..3.
    QAction *viewMenuAction(int style) const;
    QAction *viewsDropDownAction(int style) const;
    QAction *resetColumnsAction() const { return m_resetColumns; }
    // The menu shown on a right click on the column headers; set on the list as its headerPopupMenu.
    QMenu *headerMenu() const { return m_headerMenu; }

    // Adds the five arrange-by entries, a separator and the two direction entries.
    void addArrangeEntries(QMenu *menu) const;
    void addViewMenuEntries(QMenu *menu) const;
    void addViewsDropDownEntries(QMenu *menu) const;

public slots:
    // View style commands: check the style's two entries (and only those), then show the list in that style.
    void setViewStyle(int style);
    // An entry of the View menu or the views drop-down: its data is the style.
    void viewStyleTriggered(QAction *action);

    // Arrange-by and direction commands: nothing when the entry is checked already, else check it and sort.
    void arrangeBy(int key);
    void sortAscending();
    void sortDescending();

    // A left click on the header of a column (a logical column of the list).
    void headerClicked(int column);
    // Sorts by the checked arrange-by entry and the checked direction and marks the key's header.
    void ApplySort();
    // Sorts again by SortColumn; the direction is kept only when the list was last sorted by that key.
    void Resort();
    // Moves and sizes the columns as ColumnsInfo says, then Resort.
    void ApplyColumns();
    // Stores the columns' present order and widths in ColumnsInfo and returns a copy.
    ColumnLayout CaptureColumns();
    void resetColumns();

private:
    void setSortChecks(int key, bool ascending);
    void onSortEntryToggled(bool checked);
    int checkedSortKey() const;
    int columnOfCaption(const QString &caption) const;

    FolderListView *m_list;
    QPointer<QWidget> m_window;

    ColumnLayout m_columnsInfo = DefaultColumns();
    int m_sortColumn = 0;
    bool m_sortAscending = true;
    QString m_lastSortCaption;

    std::array<QAction *, 5> m_arrange {};
    QAction *m_ascending;
    QAction *m_descending;
    std::array<QAction *, 4> m_viewMenu {};
    std::array<QAction *, 4> m_viewsDropDown {};
    QAction *m_resetColumns;
    QActionGroup *m_arrangeGroup;
    QActionGroup *m_directionGroup;
    QPointer<QMenu> m_headerMenu;
    bool m_settingChecks = false;
};
