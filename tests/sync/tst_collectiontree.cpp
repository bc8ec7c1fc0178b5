// The collection as a synced tree: its items recognised again with their ids after edits here, and
// a merged tree made into the collection's entries.
#include "SyncTreeText.h"

#include "common/TreeBuilders.h"

#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "sync/CollectionTree.h"
#include "sync/LinkComparison.h"

#include <QTest>

class TestCollectionTree : public QObject
{
    Q_OBJECT
private slots:
    void recognises_data();
    void recognises();
    void builds();
};

void TestCollectionTree::recognises_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("collection"); // its ids only give the shape
    QTest::addColumn<QString>("read"); // in the collection's order: by name

    const QString base
        = u"1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 4 -1 F Home; 5 4 B Gamma <ug>; 6 -1 B Top <ut>"_qs;
    QTest::newRow("unchanged") << base << base
                               << u"4 -1 F Home; 5 4 B Gamma <ug>; 6 -1 B Top <ut>; 1 -1 F Work; 2 1 B Alpha <ua>; "
                                  "3 1 B Beta <ub>"_qs;
    QTest::newRow("a renamed link")
        << base << u"1 -1 F Work; 2 1 B Aleph <ua>; 3 1 B Beta <ub>; 4 -1 F Home; 5 4 B Gamma <ug>; 6 -1 B Top <ut>"_qs
        << u"4 -1 F Home; 5 4 B Gamma <ug>; 6 -1 B Top <ut>; 1 -1 F Work; 2 1 B Aleph <ua>; 3 1 B Beta <ub>"_qs;
    QTest::newRow("a link moved and renamed")
        << base << u"1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 4 -1 F Home; 5 1 B G2 <ug>; 6 -1 B Top <ut>"_qs
        << u"4 -1 F Home; 6 -1 B Top <ut>; 1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 5 1 B G2 <ug>"_qs;
    QTest::newRow("a new URL")
        << base << u"1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub2>; 4 -1 F Home; 5 4 B Gamma <ug>; 6 -1 B Top <ut>"_qs
        << u"4 -1 F Home; 5 4 B Gamma <ug>; 6 -1 B Top <ut>; 1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub2>"_qs;
    QTest::newRow("a renamed folder and its entries")
        << base << u"1 -1 F Job; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 4 -1 F Home; 5 4 B Gamma <ug>; 6 -1 B Top <ut>"_qs
        << u"4 -1 F Home; 5 4 B Gamma <ug>; 1 -1 F Job; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 6 -1 B Top <ut>"_qs;
    QTest::newRow("a moved folder and its entries")
        << base << u"1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 4 1 F Home; 5 4 B Gamma <ug>; 6 -1 B Top <ut>"_qs
        << u"6 -1 B Top <ut>; 1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 4 1 F Home; 5 4 B Gamma <ug>"_qs;
    QTest::newRow("new items get ids below the root's")
        << base
        << u"1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 4 -1 F Home; 5 4 B Gamma <ug>; 6 -1 B Top <ut>; "
           "7 -1 F New; 8 7 B Delta <ud>"_qs
        << u"4 -1 F Home; 5 4 B Gamma <ug>; -2 -1 F New; -3 -2 B Delta <ud>; 6 -1 B Top <ut>; 1 -1 F Work; "
           "2 1 B Alpha <ua>; 3 1 B Beta <ub>"_qs;
    QTest::newRow("one URL for two renamed links is not guessed")
        << u"1 -1 B A <u>; 2 -1 B B <u>"_qs << u"1 -1 B C <u>; 2 -1 B D <u>"_qs << u"-2 -1 B C <u>; -3 -1 B D <u>"_qs;
    QTest::newRow("names shown with \"_\" keep the file's backslash")
        << u"1 -1 F E\\f; 2 -1 B a\\b <ua>; 3 -1 F G; 4 3 B c\\d <u>; 5 3 B c\\e <u>"_qs
        << u"1 -1 F E\\f; 2 -1 B a\\b <ua>; 3 -1 F G; 4 3 B c\\d <u>; 5 3 B c\\e <u>"_qs
        << u"1 -1 F E\\f; 3 -1 F G; 4 3 B c\\d <u>; 5 3 B c\\e <u>; 2 -1 B a\\b <ua>"_qs;
    QTest::newRow("the first sync: all new")
        << QString() << u"1 -1 F F; 2 1 B L <u>"_qs << u"-2 -1 F F; -3 -2 B L <u>"_qs;
}

void TestCollectionTree::recognises()
{
    QFETCH(QString, base);
    QFETCH(QString, collection);
    QFETCH(QString, read);

    const std::unique_ptr<LinkItem> root = CollectionTree::build(treeFrom(collection), {}, "root");
    const CollectionTree::Read result = CollectionTree::read(*root, treeFrom(base));
    QCOMPARE(treeText(result.tree), read);
    for (const auto &[id, item] : result.items)
        QCOMPARE(TextCodec::toDisplay(item->Name), LinkComparison::nameHere(result.tree.find(id)->title));
}

void TestCollectionTree::builds()
{
    LinkItem before;
    LinkItem *visited = TreeBuilders::addLink(before, "Visited", "https://v/");
    visited->LastVisit = DateConverter::fromDateTime(QDateTime(QDate(2021, 5, 6), QTime(7, 8, 9, 400)));
    SyncTree merged
        = treeFrom(u"1 -1 F Zed; 2 1 B back\\slash <https://b/> d=kept v=4 r=3; 3 -1 B Visited <https://v/>"_qs);
    DateConverter dates;
    merged.find(3)->lastVisit = dates.toEpochSeconds(visited->LastVisit);

    const std::unique_ptr<LinkItem> root = CollectionTree::build(merged, {{3, visited}}, "root");
    QCOMPARE(root->Children.Count(), 2);
    const LinkItem &first = *root->Children.Get(0);
    QCOMPARE(first.Name, ItemText("Visited"));
    QCOMPARE(first.LastVisit, visited->LastVisit); // the same to the second: not rounded
    const LinkItem &folder = *root->Children.Get(1);
    QCOMPARE(folder.Name, ItemText("Zed"));
    const LinkItem &link = *folder.Children.Get(0);
    QCOMPARE(link.Name, ItemText("back_slash"));
    QCOMPARE(link.Url, ItemText("https://b/"));
    QCOMPARE(link.Description, ItemText("kept"));
    QCOMPARE(link.Visits, 4);
    QCOMPARE(int(link.Rating), 3);
    QCOMPARE(link.Parent, &folder);

    merged.find(3)->lastVisit += 60;
    const std::unique_ptr<LinkItem> later = CollectionTree::build(merged, {{3, visited}}, "root");
    QCOMPARE(dates.toEpochSeconds(later->Children.Get(0)->LastVisit), merged.find(3)->lastVisit);
}

QTEST_GUILESS_MAIN(TestCollectionTree)
#include "tst_collectiontree.moc"
