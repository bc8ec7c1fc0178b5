#include "mainwindow/CollectionView.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/LinkListModel.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"

#include <QListView>
#include <QTest>

class TestFolderListView : public QObject
{
    Q_OBJECT
private slots:
    void largeIconsLaidOutInBatches();
};

void TestFolderListView::largeIconsLaidOutInBatches()
{
    const int count = 3 * QListView().batchSize() + 5000;
    auto folder = LinkItem::MakeFolder("folder");
    std::vector<std::unique_ptr<LinkItem>> links;
    for (int i = 0; i < count; ++i)
        links.push_back(LinkItem::MakeLink("link " + std::to_string(100000 + i), "http://example.org/"));
    folder->Children.InsertSortedBatch(std::move(links));
    CollectionDocument document(nullptr);
    CollectionView shown(&document);
    FolderListView list(&shown);
    list.resize(400, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    shown.listFolder(folder.get());
    list.setViewStyle(FolderListView::LargeIconStyle);
    QListView *view = list.iconView();
    const QModelIndex first = list.model()->index(0, 0);
    const QModelIndex last = list.model()->index(count - 1, 0);
    for (int round = 0; round < 2; ++round) {
        // The first entries are laid out at once, the last ones later, between events.
        QVERIFY(!view->visualRect(first).isEmpty());
        QVERIFY(view->visualRect(last).isEmpty());
        QTest::qWait(300); // the scroll bar that came makes the view lay its entries out once more
        QTRY_VERIFY(!view->visualRect(last).isEmpty());
        view->doItemsLayout(); // and so does a sort or a resize
    }
    // An entry placed while the layout is under way keeps its place when the layout ends.
    list.selectionModel()->select(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QPoint place(250, 50); // between two rows of entries
    list.placeSelectedEntryAt(place);
    QTRY_VERIFY(!view->visualRect(last).isEmpty());
    QCOMPARE(view->visualRect(first).topLeft(), place);
    QCOMPARE(view->indexAt(place + QPoint(2, 2)), first);
    QCOMPARE(list.model()->itemAt(0), folder->Children.Get(0)); // the rows keep their order
    shown.clearList();
}

QTEST_MAIN(TestFolderListView)
#include "tst_folderlistview.moc"
