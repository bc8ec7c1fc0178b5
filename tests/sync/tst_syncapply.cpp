// A sync's merge brought into the collection change by change: the same collection as building it
// anew would give, one step to undo, and edits made while the sync ran are kept.
#include "SyncTreeText.h"

#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "sync/CollectionTree.h"
#include "sync/SyncApply.h"

#include <QTest>

#include <algorithm>

namespace {

// The collection below a folder as text, each folder's entries sorted, so that only what is where counts.
QString contents(const LinkItem &folder)
{
    QStringList entries;
    for (const auto &child : folder.Children) {
        QString text = TextCodec::toDisplay(child->Name);
        if (child->isFolder())
            text += QStringLiteral(" [") + contents(*child) + u']';
        else
            text += QStringLiteral(" <%1> d=%2 v=%3 r=%4 t=%5")
                        .arg(TextCodec::toDisplay(child->Url), TextCodec::toDisplay(child->Description))
                        .arg(child->Visits)
                        .arg(child->Rating)
                        .arg(child->LastVisit);
        entries << text;
    }
    entries.sort();
    return entries.join(QStringLiteral(", "));
}

} // namespace

class TestSyncApply : public QObject
{
    Q_OBJECT
private slots:
    void applies_data();
    void applies();
    void keepsEditsMadeMeanwhile();
};

void TestSyncApply::applies_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("remote");

    const QString base = u"1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 4 -1 F Home; 5 4 B Gamma <ug>; "
                         "6 4 F Deep; 7 6 B Delta <ud>; 8 -1 B Top <ut>"_qs;
    QTest::newRow("nothing changed") << base << base << base;
    QTest::newRow("renamed and edited there")
        << base << base
        << u"1 -1 F Job; 2 1 B Aleph <ua2> d=new v=3 r=2; 3 1 B Beta <ub>; 4 -1 F Home; 5 4 B Gamma <ug>; "
           "6 4 F Deep; 7 6 B Delta <ud>; 8 -1 B Top <ut>"_qs;
    QTest::newRow("a folder moved into a new folder there")
        << base << base
        << u"1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 9 -1 F Archive; 4 9 F Home; 5 4 B Gamma <ug>; "
           "6 4 F Deep; 7 6 B Delta <ud>; 8 -1 B Top <ut>"_qs;
    QTest::newRow("two folders swapped there")
        << base << base
        << u"6 -1 F Deep; 4 6 F Home; 5 4 B Gamma <ug>; 7 6 B Delta <ud>; 1 -1 F Work; 2 1 B Alpha <ua>; "
           "3 1 B Beta <ub>; 8 -1 B Top <ut>"_qs;
    QTest::newRow("a folder deleted there, one of its links moved out of it here")
        << base
        << u"1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 4 -1 F Home; 5 -1 B Gamma <ug>; 6 4 F Deep; "
           "7 6 B Delta <ud>; 8 -1 B Top <ut>"_qs
        << u"1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>; 8 -1 B Top <ut>"_qs;
    QTest::newRow("new folders with links there, new here")
        << base << base + u"; 20 -1 B Mine <um>"_qs
        << base + u"; 10 -1 F New; 11 10 F Inner; 12 11 B Epsilon <ue>; 13 4 B Zeta <uz>"_qs;
    QTest::newRow("the first sync into an empty folder") << QString() << QString() << base;
    QTest::newRow("everything deleted there") << base << base << QString();
}

void TestSyncApply::applies()
{
    QFETCH(QString, base);
    QFETCH(QString, local);
    QFETCH(QString, remote);

    const SyncTree baseTree = treeFrom(base);
    std::unique_ptr<LinkItem> root = CollectionTree::build(treeFrom(local), {}, "root");
    const QString before = contents(*root);
    const CollectionTree::Read read = CollectionTree::read(*root, baseTree);
    const SyncMerge::Result merge = SyncMerge::merge(baseTree, read.tree, treeFrom(remote));
    const std::unique_ptr<LinkItem> built = CollectionTree::build(merge.merged, read.items, "root");

    CollectionDocument document(root.get());
    document.beginCommand(QStringLiteral("Sync"));
    SyncApply::apply(document, *root, merge, read);
    document.endCommand();
    QCOMPARE(contents(*root), contents(*built));

    if (before != contents(*built)) {
        QCOMPARE(document.undoCaption(), QStringLiteral("Sync"));
        document.undo();
        QCOMPARE(contents(*root), before);
        QVERIFY(!document.canUndo());
    }
}

void TestSyncApply::keepsEditsMadeMeanwhile()
{
    const SyncTree base = treeFrom(u"1 -1 F Work; 2 1 B Alpha <ua>; 3 1 B Beta <ub>"_qs);
    std::unique_ptr<LinkItem> root = CollectionTree::build(base, {}, "root");
    const CollectionTree::Read read = CollectionTree::read(*root, base);
    const SyncMerge::Result merge
        = SyncMerge::merge(base, read.tree, treeFrom(u"1 -1 F Work; 2 1 B Alpha <ua> d=there; 3 1 B Beta <ub>"_qs));

    // While the sync talked to the server, this computer renamed one link and added another.
    CollectionDocument document(root.get());
    LinkItem *work = root->Children.Get(0);
    document.rename(work->Children.Get(1), "Beta here");
    document.insertSorted(root.get(), LinkItem::MakeLink("Added", "https://added/"));
    SyncApply::apply(document, *root, merge, read);

    QCOMPARE(contents(*root),
             u"Added <https://added/> d= v=0 r=0 t=0, Work [Alpha <ua> d=there v=0 r=0 t=0, "
             "Beta here <ub> d= v=0 r=0 t=0]"_qs);
}

QTEST_GUILESS_MAIN(TestSyncApply)
#include "tst_syncapply.moc"
