#include "mainwindow/LinkListPane.h"

#include "mainwindow/CollectionView.h"

#include "mainwindow/FolderListView.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/UpdatesGuard.h"
#include "store/CollectionDocument.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>

namespace {

struct Entry
{
    const char *caption;
    const char *hint;
};

constexpr Entry ArrangeEntries[5] = {
    {QT_TRANSLATE_NOOP("LinkListPane", "&Name"),
     QT_TRANSLATE_NOOP("LinkListPane", "Arrange items in the window by name")},
    {QT_TRANSLATE_NOOP("LinkListPane", "&URL"),
     QT_TRANSLATE_NOOP("LinkListPane", "Arrange items in the window by URL")},
    {QT_TRANSLATE_NOOP("LinkListPane", "&Visits"),
     QT_TRANSLATE_NOOP("LinkListPane", "Arrange items in the window by visits")},
    {QT_TRANSLATE_NOOP("LinkListPane", "&Last Visit"),
     QT_TRANSLATE_NOOP("LinkListPane", "Arrange items in the window by last visit")},
    {QT_TRANSLATE_NOOP("LinkListPane", "&Rating"),
     QT_TRANSLATE_NOOP("LinkListPane", "Arrange items in the window by rating")},
};

constexpr const char *ViewMenuCaptions[4]
    = {QT_TRANSLATE_NOOP("LinkListPane", "La&rge Icons"), QT_TRANSLATE_NOOP("LinkListPane", "S&mall Icons"),
       QT_TRANSLATE_NOOP("LinkListPane", "&List"), QT_TRANSLATE_NOOP("LinkListPane", "&Details")};
constexpr const char *ViewsDropDownCaptions[4]
    = {QT_TRANSLATE_NOOP("LinkListPane", "&Large Icons"), QT_TRANSLATE_NOOP("LinkListPane", "&Small Icons"),
       QT_TRANSLATE_NOOP("LinkListPane", "Li&st"), QT_TRANSLATE_NOOP("LinkListPane", "&Details")};
constexpr const char *ViewStyleHints[4] = {
    QT_TRANSLATE_NOOP("LinkListPane", "Displays items by using large icons"),
    QT_TRANSLATE_NOOP("LinkListPane", "Displays items by using small icons"),
    QT_TRANSLATE_NOOP("LinkListPane", "Displays items in a list"),
    QT_TRANSLATE_NOOP("LinkListPane", "Displays information about each item in the window"),
};

QAction *makeAction(const char *caption, const char *hint, QActionGroup *group, int helpContext)
{
    auto *action = new QAction(QCoreApplication::translate("LinkListPane", caption), group);
    action->setStatusTip(QCoreApplication::translate("LinkListPane", hint));
    action->setCheckable(true);
    if (helpContext > 0)
        action->setProperty("helpContext", helpContext);
    return action;
}

// Sets check marks from code without running the commands they stand for.
class ChecksGuard
{
public:
    explicit ChecksGuard(bool &flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~ChecksGuard() { m_flag = m_old; }
    ChecksGuard(const ChecksGuard &) = delete;
    ChecksGuard &operator=(const ChecksGuard &) = delete;

private:
    bool &m_flag;
    bool m_old;
};

} // namespace

LinkListPane::LinkListPane(FolderListView *list, QWidget *window, QObject *parent)
    : QObject(parent), m_list(list), m_window(window), m_arrangeGroup(new QActionGroup(this)),
      m_directionGroup(new QActionGroup(this))
{
    for (int key = 0; key < 5; ++key) {
        m_arrange[key]
            = makeAction(ArrangeEntries[key].caption, ArrangeEntries[key].hint, m_arrangeGroup, SortHelpContext);
        m_arrange[key]->setData(key);
    }
    m_arrange[NameColumn]->setChecked(true);
    m_ascending = makeAction(QT_TRANSLATE_NOOP("LinkListPane", "Sort &Ascending"),
                             QT_TRANSLATE_NOOP("LinkListPane", "Sort items in ascending order"), m_directionGroup,
                             SortHelpContext);
    m_descending = makeAction(QT_TRANSLATE_NOOP("LinkListPane", "&Sort Descending"),
                              QT_TRANSLATE_NOOP("LinkListPane", "Sort items in descending order"), m_directionGroup,
                              SortHelpContext);
    m_ascending->setChecked(true);
    for (QActionGroup *group : {m_arrangeGroup, m_directionGroup}) {
        for (QAction *action : group->actions())
            connect(action, &QAction::toggled, this, &LinkListPane::onSortEntryToggled);
    }

    auto *viewMenuGroup = new QActionGroup(this);
    auto *viewsDropDownGroup = new QActionGroup(this);
    for (int style = 0; style < 4; ++style) {
        m_viewMenu[style]
            = makeAction(ViewMenuCaptions[style], ViewStyleHints[style], viewMenuGroup, ViewStyleHelpContext + style);
        m_viewsDropDown[style] = makeAction(ViewsDropDownCaptions[style], ViewStyleHints[style], viewsDropDownGroup, 0);
        m_viewMenu[style]->setData(style);
        m_viewsDropDown[style]->setData(style);
    }
    connect(viewMenuGroup, &QActionGroup::triggered, this, &LinkListPane::viewStyleTriggered);
    connect(viewsDropDownGroup, &QActionGroup::triggered, this, &LinkListPane::viewStyleTriggered);
    m_viewMenu[FolderListView::DetailsStyle]->setChecked(true);
    m_viewsDropDown[FolderListView::DetailsStyle]->setChecked(true);

    m_resetColumns = new QAction(QCoreApplication::translate("LinkListPane", "&Reset Columns"), this);
    m_resetColumns->setStatusTip(QCoreApplication::translate("LinkListPane", "Reset the columns in the link list"));
    connect(m_resetColumns, &QAction::triggered, this, &LinkListPane::resetColumns);

    m_headerMenu = new QMenu(m_list);
    QMenu *arrange = m_headerMenu->addMenu(QCoreApplication::translate("LinkListPane", "&Arrange Icons by    "));
    addArrangeEntries(arrange);
    m_headerMenu->addSeparator();
    m_headerMenu->addAction(m_resetColumns);
    m_list->setHeaderPopupMenu(m_headerMenu);

    connect(m_list, &FolderListView::columnClicked, this, &LinkListPane::headerClicked);
}

LinkListPane::~LinkListPane() = default;

QAction *LinkListPane::arrangeAction(int key) const
{
    return (key >= 0 && key < 5) ? m_arrange[key] : nullptr;
}

QAction *LinkListPane::viewMenuAction(int style) const
{
    return (style >= 0 && style < 4) ? m_viewMenu[style] : nullptr;
}

QAction *LinkListPane::viewsDropDownAction(int style) const
{
    return (style >= 0 && style < 4) ? m_viewsDropDown[style] : nullptr;
}

void LinkListPane::addArrangeEntries(QMenu *menu) const
{
    for (QAction *action : m_arrange)
        menu->addAction(action);
    menu->addSeparator();
    menu->addAction(m_ascending);
    menu->addAction(m_descending);
}

void LinkListPane::addViewMenuEntries(QMenu *menu) const
{
    for (QAction *action : m_viewMenu)
        menu->addAction(action);
}

void LinkListPane::addViewsDropDownEntries(QMenu *menu) const
{
    for (QAction *action : m_viewsDropDown)
        menu->addAction(action);
}

void LinkListPane::setViewStyle(int style)
{
    if (style < 0 || style > 3)
        style = FolderListView::DetailsStyle;
    {
        // Exclusive groups: checking one entry clears the other three of its set.
        ChecksGuard guard(m_settingChecks);
        m_viewMenu[style]->setChecked(true);
        m_viewsDropDown[style]->setChecked(true);
    }
    m_list->setViewStyle(style);
}

void LinkListPane::viewStyleTriggered(QAction *action)
{
    setViewStyle(action->data().toInt());
}

void LinkListPane::arrangeBy(int key)
{
    if (key < 0 || key >= 5 || m_arrange[key]->isChecked())
        return;
    {
        ChecksGuard guard(m_settingChecks);
        m_arrange[key]->setChecked(true);
    }
    ApplySort();
}

void LinkListPane::sortAscending()
{
    if (m_ascending->isChecked())
        return;
    {
        ChecksGuard guard(m_settingChecks);
        m_ascending->setChecked(true);
    }
    ApplySort();
}

void LinkListPane::sortDescending()
{
    if (m_descending->isChecked())
        return;
    {
        ChecksGuard guard(m_settingChecks);
        m_descending->setChecked(true);
    }
    ApplySort();
}

void LinkListPane::onSortEntryToggled(bool checked)
{
    // A menu entry the user chose: the action group has checked it already. An entry that was checked
    // before does not toggle, so choosing it does nothing.
    if (checked && !m_settingChecks)
        ApplySort();
}

void LinkListPane::setSortChecks(int key, bool ascending)
{
    ChecksGuard guard(m_settingChecks);
    m_arrange[key]->setChecked(true);
    (ascending ? m_ascending : m_descending)->setChecked(true);
}

int LinkListPane::checkedSortKey() const
{
    const QAction *checked = m_arrangeGroup->checkedAction();
    return checked ? checked->data().toInt() : NameColumn;
}

int LinkListPane::columnOfCaption(const QString &caption) const
{
    for (int column = 0; column < m_list->columnCount(); ++column) {
        if (m_list->columnCaption(column) == caption)
            return column;
    }
    return -1;
}

void LinkListPane::headerClicked(int column)
{
    const QString caption = m_list->columnCaption(column);
    const int key = ColumnIdOf(caption);
    if (key < 0)
        return;
    m_sortAscending = (m_lastSortCaption != caption) ? true : !m_sortAscending;
    setSortChecks(key, m_sortAscending);
    ApplySort();
}

void LinkListPane::follow(CollectionDocument *document)
{
    connect(document, &CollectionDocument::itemChanged, this,
            [this](LinkItem *item, CollectionDocument::Fields fields) {
                using Field = CollectionDocument::Field;
                if ((fields & (Field::Name | Field::Url | Field::Rating)) && m_list->model()->rowOf(item) >= 0)
                    ApplySort();
            });
}

void LinkListPane::ApplySort()
{
    const int key = checkedSortKey();
    const QString caption = ColumnCaption(key);
    m_sortColumn = key;
    m_sortAscending = m_ascending->isChecked();
    const int column = columnOfCaption(caption);
    if (column >= 0)
        m_list->setSortMark(column, m_sortAscending);
    m_list->collectionView()->sortBy(key, m_sortAscending);
    m_lastSortCaption = caption;
}

void LinkListPane::Resort()
{
    if (m_sortColumn < NameColumn || m_sortColumn > RatingColumn)
        m_sortColumn = NameColumn;
    if (ColumnCaption(m_sortColumn) != m_lastSortCaption)
        m_sortAscending = true;
    setSortChecks(m_sortColumn, m_sortAscending);
    ApplySort();
}

void LinkListPane::ApplyColumns()
{
    UpdatesGuard guard(m_window ? m_window.data() : m_list);
    int position = 0;
    for (const ColumnInfo &record : m_columnsInfo) {
        // Every column is shown whatever the record's visible flag says.
        const int column = columnOfCaption(record.Caption);
        if (column < 0)
            continue;
        m_list->moveColumn(column, position);
        m_list->setColumnWidth(column, record.Width);
        ++position;
    }
    Resort();
}

ColumnLayout LinkListPane::CaptureColumns()
{
    // Record k takes the column at position k. Every column is shown, so every record is marked visible;
    // pairing records with positions by their flags would drop a column from the layout.
    const int count = m_list->columnCount();
    for (int position = 0; position < count && position < static_cast<int>(m_columnsInfo.size()); ++position) {
        const int column = m_list->columnAtPosition(position);
        ColumnInfo &record = m_columnsInfo[static_cast<size_t>(position)];
        record.Caption = m_list->columnCaption(column);
        record.Width = m_list->columnWidth(column);
        record.Visible = 1;
    }
    return m_columnsInfo;
}

void LinkListPane::resetColumns()
{
    m_columnsInfo = DefaultColumns();
    m_sortColumn = NameColumn;
    m_sortAscending = true;
    ApplyColumns();
}
