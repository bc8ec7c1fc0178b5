#include "common/ListFixture.h"

#include "mainwindow/CollectionView.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "settings/ColumnInfo.h"
#include "store/CollectionDocument.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <algorithm>

namespace {

// The names in the order the shown view presents them, read from the views' item positions.
QStringList shownOrder(const FolderListView &list)
{
    const QAbstractItemView *view = list.currentView();
    const LinkListModel *model = list.model();
    const auto *icons = qobject_cast<const QListView *>(view);
    const bool columns = icons && icons->flow() == QListView::TopToBottom;
    std::vector<std::pair<std::pair<int, int>, int>> places;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QRect rect = view->visualRect(model->index(row, 0));
        places.push_back({columns ? std::pair(rect.x(), rect.y()) : std::pair(rect.y(), rect.x()), row});
    }
    std::sort(places.begin(), places.end());
    QStringList names;
    for (const auto &place : places)
        names << model->index(place.second, 0).data().toString();
    return names;
}

QList<ItemShape> exampleChildren()
{
    return {folderShape("b"), linkShape("z"), folderShape("A"), linkShape("Y")};
}

} // namespace

class TestLinkListPane : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void sortThroughViews_data();
    void sortThroughViews();
    void headerClickAfterDrag();
    void sortMarkDirection_data();
    void sortMarkDirection();
    void checkedEntryDoesNothing();
    void sortEntriesAreShared();
    void viewStyleTwins_data();
    void viewStyleTwins();
    void applyStoredColumns_data();
    void applyStoredColumns();
    void resetColumns();
    void selectionSurvivesSort_data();
    void selectionSurvivesSort();
    void statusText();
    void popupMenus();

private:
    void show(const QList<ItemShape> &children);

    std::unique_ptr<QWidget> m_window;
    CollectionDocument m_document {nullptr};
    CollectionView *m_view = nullptr;
    FolderListView *m_list = nullptr;
    LinkListPane *m_pane = nullptr;
    std::unique_ptr<LinkItem> m_folder;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void TestLinkListPane::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(700, 400);
    m_view = new CollectionView(&m_document, m_window.get());
    m_list = new FolderListView(m_view, m_window.get());
    m_list->resize(700, 400);
    m_pane = new LinkListPane(m_list, m_window.get(), m_window.get());
    m_tester = std::make_unique<QAbstractItemModelTester>(m_list->model(),
                                                          QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestLinkListPane::cleanup()
{
    m_tester.reset();
    m_window.reset();
    m_folder.reset();
}

void TestLinkListPane::show(const QList<ItemShape> &children)
{
    m_folder = makeFolder(children);
    m_view->listFolder(m_folder.get());
}

void TestLinkListPane::sortThroughViews_data()
{
    // The operations after the fill: "apply" (the sort after a folder change), "arrange K asc|desc" through the
    // menu commands, "click K" on a header.
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<ItemShape>>("children");
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("markColumn");
    QTest::addColumn<bool>("markAscending");

    const QList<ItemShape> visits
        = {linkShape("ten", 10), linkShape("nine", 9), linkShape("minus", -1), linkShape("big", 2000000000)};
    const QList<ItemShape> dates
        = {linkShape("late", 0, 45001.75), linkShape("never1"), linkShape("early", 0, 45000.25), linkShape("never2")};
    const QList<ItemShape> ratings
        = {linkShape("three", 0, 0, 3), linkShape("none", 0, 0, 0), linkShape("one", 0, 0, 1)};
    const QList<ItemShape> urls = {linkShape("1", 0, 0, 0, "http://b"), linkShape("2", 0, 0, 0, "HTTP://a"),
                                   linkShape("3", 0, 0, 0, "ftp://z")};
    // Folders and links with distinct visits and ratings: name, folder, visits, last visit, rating.
    const QList<ItemShape> mixed
        = {{"n", false, 10, 0.0, 1}, {"F", true, 1, 0.0, 2}, {"m", false, 9, 0.0, 3}, {"G", true, 5, 0.0, 0}};

    struct Case
    {
        const char *name;
        QList<ItemShape> children;
        QStringList operations;
        QStringList expected;
        int markColumn;
        bool markAscending;
    };
    const Case cases[] = {
        {"fill", exampleChildren(), {}, {"b", "A", "z", "Y"}, -1, true},
        {"name ascending", exampleChildren(), {"apply"}, {"A", "b", "Y", "z"}, NameColumn, true},
        {"name descending", exampleChildren(), {"apply", "arrange 0 desc"}, {"z", "Y", "b", "A"}, NameColumn, false},
        {"visits as numbers", visits, {"arrange 2 asc"}, {"minus", "nine", "ten", "big"}, VisitsColumn, true},
        {"never first", dates, {"arrange 3 asc"}, {"never1", "never2", "early", "late"}, LastVisitColumn, true},
        {"rating blank first", ratings, {"arrange 4 asc"}, {"none", "one", "three"}, RatingColumn, true},
        {"url descending", urls, {"apply", "arrange 1 desc"}, {"1", "2", "3"}, UrlColumn, false},
        {"click visits", mixed, {"click 2"}, {"F", "G", "m", "n"}, VisitsColumn, true},
        {"click visits twice", mixed, {"click 2", "click 2"}, {"n", "m", "G", "F"}, VisitsColumn, false},
        {"click visits twice then name",
         mixed,
         {"click 2", "click 2", "click 0"},
         {"F", "G", "m", "n"},
         NameColumn,
         true},
        {"click keeps direction of menu",
         mixed,
         {"arrange 2 desc", "click 4"},
         {"G", "F", "n", "m"},
         RatingColumn,
         true},
    };
    const char *styles[] = {"large icons", "small icons", "list", "details"};
    for (const Case &c : cases) {
        for (int style = 0; style < 4; ++style) {
            QTest::addRow("%s, %s", c.name, styles[style])
                << style << c.children << c.operations << c.expected << c.markColumn << c.markAscending;
        }
    }
}

void TestLinkListPane::sortThroughViews()
{
    QFETCH(int, style);
    QFETCH(QList<ItemShape>, children);
    QFETCH(QStringList, operations);
    QFETCH(QStringList, expected);
    QFETCH(int, markColumn);
    QFETCH(bool, markAscending);

    m_pane->setViewStyle(style);
    show(children);
    for (const QString &operation : operations) {
        const QStringList words = operation.split(QLatin1Char(' '));
        if (words[0] == QLatin1String("apply")) {
            m_pane->ApplySort();
            continue;
        }
        const int key = words[1].toInt();
        if (words[0] == QLatin1String("click")) {
            m_pane->headerClicked(key);
            continue;
        }
        m_pane->arrangeBy(key);
        if (words[2] == QLatin1String("asc"))
            m_pane->sortAscending();
        else
            m_pane->sortDescending();
    }
    QCOMPARE(shownOrder(*m_list), expected);
    if (markColumn >= 0) {
        QCOMPARE(m_pane->SortColumn(), markColumn);
        QCOMPARE(m_pane->SortAscending(), markAscending);
        QCOMPARE(m_pane->LastSortCaption(), ColumnCaption(markColumn));
        QCOMPARE(m_list->header()->sortIndicatorSection(), markColumn);
        QCOMPARE(m_list->header()->sortIndicatorOrder(), markAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
        QVERIFY(m_pane->arrangeAction(markColumn)->isChecked());
        QCOMPARE(m_pane->sortAscendingAction()->isChecked(), markAscending);
        QCOMPARE(m_pane->sortDescendingAction()->isChecked(), !markAscending);
    }
}

void TestLinkListPane::headerClickAfterDrag()
{
    show({linkShape("1", 0, 0, 0, "http://c"), linkShape("2", 0, 0, 0, "http://a"),
          linkShape("3", 0, 0, 0, "http://b")});
    m_pane->ApplyColumns();
    QHeaderView *header = m_list->header();
    // What a drag of the "URL" header to the left end does.
    header->moveSection(header->visualIndex(UrlColumn), 0);
    QCOMPARE(m_list->columnAtPosition(0), int(UrlColumn));

    const auto clickHeader = [header](int column) {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    clickHeader(UrlColumn);
    QCOMPARE(m_pane->SortColumn(), int(UrlColumn));
    QCOMPARE(header->sortIndicatorSection(), int(UrlColumn));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(shownOrder(*m_list), QStringList({"2", "3", "1"}));
    QVERIFY(m_pane->arrangeAction(UrlColumn)->isChecked());

    clickHeader(UrlColumn);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(shownOrder(*m_list), QStringList({"1", "3", "2"}));
    QVERIFY(m_pane->sortDescendingAction()->isChecked());
}

void TestLinkListPane::sortMarkDirection_data()
{
    QTest::addColumn<bool>("ascending");
    QTest::newRow("ascending points up") << true;
    QTest::newRow("descending points down") << false;
}

void TestLinkListPane::sortMarkDirection()
{
    QFETCH(bool, ascending);
    show(exampleChildren());
    m_pane->ApplySort();
    if (!ascending)
        m_pane->sortDescending();
    QHeaderView *header = m_list->header();
    // The mark stands at the right end of the "Name" header, clear of its caption.
    const int right = header->sectionViewportPosition(NameColumn) + header->sectionSize(NameColumn);
    const QImage image = header->grab(QRect(right - 24, 0, 24, header->height())).toImage();
    QList<int> rowWidths;
    for (int y = 0; y < image.height(); ++y) {
        int dark = 0;
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
        if (dark > 0)
            rowWidths << dark;
    }
    QCOMPARE(rowWidths.size(), 5);
    if (ascending)
        QVERIFY(rowWidths.first() < rowWidths.last());
    else
        QVERIFY(rowWidths.first() > rowWidths.last());
}

void TestLinkListPane::checkedEntryDoesNothing()
{
    show({linkShape("a", 1), linkShape("b", 3), linkShape("c", 2)});
    m_pane->arrangeBy(1);
    m_pane->sortDescending();
    QVERIFY(!m_pane->SortAscending());

    QSignalSpy sorted(m_list->model(), &QAbstractItemModel::layoutChanged);
    // Chosen from a menu, and as a command.
    m_pane->arrangeAction(UrlColumn)->trigger();
    m_pane->sortDescendingAction()->trigger();
    m_pane->arrangeBy(1);
    m_pane->sortDescending();
    QCOMPARE(sorted.size(), 0);
    QVERIFY(!m_pane->SortAscending());
    QVERIFY(m_pane->sortDescendingAction()->isChecked());

    // An unchecked entry chosen from a menu sorts once.
    m_pane->arrangeAction(VisitsColumn)->trigger();
    QCOMPARE(sorted.size(), 1);
    QCOMPARE(m_pane->SortColumn(), int(VisitsColumn));
    QCOMPARE(rowNames(*m_list->model()), QStringList({"b", "c", "a"}));
}

void TestLinkListPane::sortEntriesAreShared()
{
    // The header menu's "&Arrange Icons by    " holds the very entries that the main menu gets.
    QMenu mainArrange;
    m_pane->addArrangeEntries(&mainArrange);
    QMenu *header = m_list->headerPopupMenu();
    QVERIFY(header);
    QMenu *headerArrange = nullptr;
    for (QAction *action : header->actions()) {
        if (action->text() == QLatin1String("&Arrange Icons by    "))
            headerArrange = action->menu();
    }
    QVERIFY(headerArrange);
    const auto entries = [](const QMenu *menu) {
        QList<QAction *> actions = menu->actions();
        actions.removeIf([](const QAction *action) { return action->isSeparator(); });
        return actions;
    };
    QCOMPARE(entries(headerArrange), entries(&mainArrange));
    QCOMPARE(entries(headerArrange).size(), 7);
    QVERIFY(header->actions().contains(m_pane->resetColumnsAction()));
    for (QAction *action : mainArrange.actions()) {
        if (!action->isSeparator())
            QCOMPARE(action->property("helpContext").toInt(), 306);
    }
}

void TestLinkListPane::viewStyleTwins_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("fromDropDown");
    for (int style = 0; style < 4; ++style) {
        QTest::addRow("style %d from view menu", style) << style << false;
        QTest::addRow("style %d from views drop-down", style) << style << true;
    }
}

void TestLinkListPane::viewStyleTwins()
{
    QFETCH(int, style);
    QFETCH(bool, fromDropDown);
    show(exampleChildren());
    // Start from another style so that the entry is not checked yet.
    m_pane->setViewStyle((style + 1) % 4);
    (fromDropDown ? m_pane->viewsDropDownAction(style) : m_pane->viewMenuAction(style))->trigger();
    for (int other = 0; other < 4; ++other) {
        QCOMPARE(m_pane->viewMenuAction(other)->isChecked(), other == style);
        QCOMPARE(m_pane->viewsDropDownAction(other)->isChecked(), other == style);
    }
    QCOMPARE(m_list->viewStyle(), style);
    QCOMPARE(m_pane->viewMenuAction(style)->property("helpContext").toInt(), 309 + style);
    QAbstractItemView *view = m_list->currentView();
    QVERIFY(view->isVisible());
    if (style == FolderListView::DetailsStyle) {
        QCOMPARE(view, m_list->detailsView());
        return;
    }
    QListView *icons = m_list->iconView();
    QCOMPARE(view, icons);
    QVERIFY(!m_list->detailsView()->isVisible());
    QCOMPARE(icons->viewMode(), style == 0 ? QListView::IconMode : QListView::ListMode);
    QCOMPARE(icons->iconSize(), style == 0 ? QSize(32, 32) : QSize(16, 16));
    QCOMPARE(icons->flow(), style == 2 ? QListView::TopToBottom : QListView::LeftToRight);
    QVERIFY(icons->isWrapping());
    QCOMPARE(icons->selectionModel(), m_list->detailsView()->selectionModel());
}

void TestLinkListPane::applyStoredColumns_data()
{
    QTest::addColumn<ColumnLayout>("stored");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QList<int>>("widths");

    QTest::newRow("reversed, five widths")
        << ColumnLayout {{{"Rating", 1, 61},
                          {"Last Visit", 1, 132},
                          {"Visits", 1, 73},
                          {"URL", 1, 244},
                          {"Name", 1, 205}}}
        << QStringList({"Rating", "Last Visit", "Visits", "URL", "Name"}) << QList<int>({61, 132, 73, 244, 205});
    // A record without a caption is passed over; the column nobody names goes last and keeps its width.
    QTest::newRow("empty caption")
        << ColumnLayout {{{"Visits", 1, 80}, {"", 1, 999}, {"Name", 1, 150}, {"Rating", 1, 40}, {"URL", 1, 300}}}
        << QStringList({"Visits", "Name", "Rating", "URL", "Last Visit"}) << QList<int>({80, 150, 40, 300, 120});
    // Every column is shown whatever its flag; capturing keeps all five.
    QTest::newRow("cleared visible flag")
        << ColumnLayout {{{"Name", 1, 200},
                          {"URL", 0, 210},
                          {"Visits", 1, 60},
                          {"Last Visit", 1, 130},
                          {"Rating", 1, 45}}}
        << QStringList({"Name", "URL", "Visits", "Last Visit", "Rating"}) << QList<int>({200, 210, 60, 130, 45});
}

void TestLinkListPane::applyStoredColumns()
{
    QFETCH(ColumnLayout, stored);
    QFETCH(QStringList, order);
    QFETCH(QList<int>, widths);
    show(exampleChildren());
    m_pane->setColumnsInfo(stored);
    m_pane->ApplyColumns();
    QVERIFY(m_window->updatesEnabled());
    for (int position = 0; position < 5; ++position) {
        const int column = m_list->columnAtPosition(position);
        QCOMPARE(m_list->columnCaption(column), order[position]);
        QCOMPARE(m_list->columnWidth(column), widths[position]);
    }
    // The first sort after start-up is by Name, ascending.
    QCOMPARE(rowNames(*m_list->model()), QStringList({"A", "b", "Y", "z"}));

    const ColumnLayout captured = m_pane->CaptureColumns();
    for (int position = 0; position < 5; ++position) {
        QCOMPARE(captured[position].Caption, order[position]);
        QCOMPARE(captured[position].Width, widths[position]);
        QCOMPARE(captured[position].Visible, 1);
    }
    // What was captured applies to the same layout.
    m_list->moveColumn(NameColumn, 2);
    m_list->setColumnWidth(UrlColumn, 99);
    m_pane->setColumnsInfo(captured);
    m_pane->ApplyColumns();
    QCOMPARE(m_pane->CaptureColumns(), captured);
}

void TestLinkListPane::resetColumns()
{
    show(exampleChildren());
    m_pane->ApplyColumns();
    m_list->moveColumn(RatingColumn, 0);
    m_list->moveColumn(NameColumn, 3);
    m_list->setColumnWidth(UrlColumn, 90);
    m_pane->arrangeBy(2);
    m_pane->sortDescending();

    m_pane->resetColumnsAction()->trigger();
    const ColumnLayout defaults = DefaultColumns();
    for (int position = 0; position < 5; ++position) {
        const int column = m_list->columnAtPosition(position);
        QCOMPARE(m_list->columnCaption(column), defaults[position].Caption);
        QCOMPARE(m_list->columnWidth(column), defaults[position].Width);
    }
    QCOMPARE(m_pane->ColumnsInfo(), defaults);
    QCOMPARE(m_pane->SortColumn(), int(NameColumn));
    QVERIFY(m_pane->SortAscending());
    QVERIFY(m_pane->arrangeAction(NameColumn)->isChecked());
    QVERIFY(m_pane->sortAscendingAction()->isChecked());
    QCOMPARE(m_list->header()->sortIndicatorSection(), int(NameColumn));
    QCOMPARE(rowNames(*m_list->model()), QStringList({"A", "b", "Y", "z"}));
}

void TestLinkListPane::selectionSurvivesSort_data()
{
    QTest::addColumn<int>("style");
    for (int style = 0; style < 4; ++style)
        QTest::addRow("style %d", style) << style;
}

void TestLinkListPane::selectionSurvivesSort()
{
    QFETCH(int, style);
    m_pane->setViewStyle(style);
    QList<ItemShape> shapes;
    for (int i = 0; i < 30; ++i)
        shapes << linkShape(QStringLiteral("link %1").arg(i), (i * 7) % 30);
    show(shapes);
    m_pane->ApplySort();

    // Click one row and control-click another in the shown view.
    QAbstractItemView *view = m_list->currentView();
    const LinkListModel *model = m_list->model();
    LinkItem *first = model->itemAt(2);
    LinkItem *second = model->itemAt(9);
    view->scrollTo(model->indexOf(first));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(model->indexOf(first)).center());
    view->scrollTo(model->indexOf(second));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      view->visualRect(model->indexOf(second)).center());
    auto selected = m_list->selectedItems();
    std::sort(selected.begin(), selected.end());
    auto wanted = std::vector<LinkItem *> {first, second};
    std::sort(wanted.begin(), wanted.end());
    QCOMPARE(selected, wanted);

    m_pane->headerClicked(VisitsColumn);
    selected = m_list->selectedItems();
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected, wanted);
    QCOMPARE(m_list->selectedCount(), 2);
    QVERIFY(model->rowOf(first) != 2 || model->rowOf(second) != 9);
    // The other view shows the same selection.
    m_pane->setViewStyle(style == 3 ? 0 : 3);
    QCOMPARE(m_list->selectedCount(), 2);
}

void TestLinkListPane::statusText()
{
    show({folderShape("f"), linkShape("a"), linkShape("b")});
    m_view->updateStatusText();
    QCOMPARE(m_view->statusText(), QStringLiteral("3 objects"));
    m_list->selectionModel()->select(m_list->model()->index(1, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_view->updateStatusText();
    QCOMPARE(m_view->statusText(), QStringLiteral("1 objects selected"));
    m_list->selectionModel()->select(QItemSelection(m_list->model()->index(0, 0), m_list->model()->index(2, 4)),
                                     QItemSelectionModel::Select);
    m_view->updateStatusText();
    QCOMPARE(m_view->statusText(), QStringLiteral("3 objects selected"));
    m_list->selectionModel()->clearSelection();
    m_view->listFolder(m_folder->Children.Get(0));
    QCOMPARE(m_view->statusText(), QStringLiteral("0 objects"));
}

void TestLinkListPane::popupMenus()
{
    show(exampleChildren());
    QMenu itemMenu;
    itemMenu.addAction(QStringLiteral("&Open"));
    m_list->setItemPopupMenu(&itemMenu);
    QTreeView *details = m_list->detailsView();

    // A right press on a row selects it and opens the item menu.
    const QRect rowRect = details->visualRect(m_list->model()->index(2, 0));
    QTest::mousePress(details->viewport(), Qt::RightButton, {}, rowRect.center());
    QTRY_VERIFY(itemMenu.isVisible());
    QCOMPARE(m_list->selectedItems(), std::vector<LinkItem *>({m_list->model()->itemAt(2)}));
    QTest::mouseRelease(details->viewport(), Qt::RightButton, {}, rowRect.center());
    itemMenu.close();

    // A right click on a column header opens the header menu, not the item menu.
    QHeaderView *header = m_list->header();
    const QPoint inHeader(header->sectionViewportPosition(UrlColumn) + 5, header->height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, inHeader, header->viewport()->mapToGlobal(inHeader));
    QCoreApplication::sendEvent(header->viewport(), &event);
    QTRY_VERIFY(m_list->headerPopupMenu()->isVisible());
    QVERIFY(!itemMenu.isVisible());
    m_list->headerPopupMenu()->close();
}

QTEST_MAIN(TestLinkListPane)
#include "tst_linklistpane.moc"
