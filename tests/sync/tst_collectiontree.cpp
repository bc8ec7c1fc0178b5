// The collection as a synced tree: its items recognised again with their ids after edits here, and
// a merged tree made into the collection's entries.
#include "SyncTreeText.h"

#include "common/GrowthTiming.h"
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
    void linearTime_data();
    void linearTime();
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

namespace {

// A chain of `size` folders named after their level, each holding a link and the next folder.
QString renamedChain(int size, const QString &name)
{
    QStringList nodes;
    for (int level = 1; level <= size; ++level) {
        nodes << QStringLiteral("%1 %2 F %3 %1").arg(2 * level).arg(level == 1 ? -1 : 2 * level - 2).arg(name);
        nodes << QStringLiteral("%1 %2 B Link <u%1>").arg(2 * level + 1).arg(2 * level);
    }
    return nodes.join(u"; ");
}

// `size` links of one name and URL in one folder.
QString sameLinks(int size, const QString &)
{
    QStringList nodes {u"1 -1 F Folder"_qs};
    for (int i = 2; i <= size + 1; ++i)
        nodes << QStringLiteral("%1 1 B Untitled <https://same.example/>").arg(i);
    return nodes.join(u"; ");
}

using MakeTree = QString (*)(int size, const QString &name);

} // namespace

// Shapes that once cost the square of their size: twice the size may take about twice as long.
void TestCollectionTree::linearTime_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("size");
    // Every folder renamed here, each recognised by where its link and subfolder were (once a pass
    // over everything per level).
    QTest::newRow("a chain of renamed folders") << 0 << 2000;
    // Each recognised by its place (once a look at every one taken before it).
    QTest::newRow("many equal links in one folder") << 1 << 10000;
}

void TestCollectionTree::linearTime()
{
    QFETCH(int, shape);
    QFETCH(int, size);
    const MakeTree make = shape == 0 ? renamedChain : sameLinks;
    const auto matchMs = [&](int size) {
        const SyncTree base = treeFrom(make(size, u"Level"_qs));
        const std::unique_ptr<LinkItem> root = CollectionTree::build(treeFrom(make(size, u"Renamed"_qs)), {}, "root");
        bool allKnown = true;
        const double ms = GrowthTiming::fastestCpuMs([&] {
            const CollectionTree::Read result = CollectionTree::read(*root, base);
            // Every item was recognised: none is new.
            allKnown = result.tree.size() == base.size() && result.tree.nodes().begin()->first == SyncTree::RootId;
        });
        return allKnown ? ms : -1.0;
    };
    const double once = matchMs(size);
    const double twice = matchMs(2 * size);
    QVERIFY(once >= 0 && twice >= 0);
    QVERIFY2(GrowthTiming::grewInProportion(once, twice), qPrintable(GrowthTiming::describe(once, size, twice)));
}

QTEST_GUILESS_MAIN(TestCollectionTree)
#include "tst_collectiontree.moc"
