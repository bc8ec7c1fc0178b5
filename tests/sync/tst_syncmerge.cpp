// The three-way merge of a sync, one rule at a time, and many random edits on two machines with
// syncs between them through one shared file.
#include "SyncTreeText.h"

#include "common/GrowthTiming.h"

#include "sync/SyncFile.h"
#include "sync/SyncMerge.h"

#include <QRandomGenerator>
#include <QTest>

#include <array>
#include <set>

class TestSyncMerge : public QObject
{
    Q_OBJECT
private slots:
    void merge_data();
    void merge();
    void reportsInWords();
    void twoMachines();
    void linearTime_data();
    void linearTime();
};

void TestSyncMerge::merge_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("remote");
    QTest::addColumn<bool>("remoteExtras"); // whether the server's nodes carry our fields
    QTest::addColumn<QString>("merged");
    QTest::addColumn<int>("conflicts");
    QTest::addColumn<int>("deletedHere");
    QTest::addColumn<int>("deletedThere");

    const QString ab = u"1 -1 B A <ua>; 2 -1 B B <ub>"_qs;
    QTest::newRow("a change on the server is taken") << ab << ab << u"1 -1 B A2 <ua>; 2 -1 B B <ub>"_qs << true
                                                     << u"1 -1 B A2 <ua>; 2 -1 B B <ub>"_qs << 0 << 0 << 0;
    QTest::newRow("a change here is given") << ab << u"1 -1 B A <ua2>; 2 -1 B B <ub>"_qs << ab << true
                                            << u"1 -1 B A <ua2>; 2 -1 B B <ub>"_qs << 0 << 0 << 0;
    QTest::newRow("different items changed on both sides")
        << ab << u"1 -1 B A2 <ua>; 2 -1 B B <ub>"_qs << u"1 -1 B A <ua>; 2 -1 B B <ub2>"_qs << true
        << u"1 -1 B A2 <ua>; 2 -1 B B <ub2>"_qs << 0 << 0 << 0;
    QTest::newRow("different fields of one item changed on both sides")
        << ab << u"1 -1 B A2 <ua>; 2 -1 B B <ub>"_qs << u"1 -1 B A <ua2>; 2 -1 B B <ub>"_qs << true
        << u"1 -1 B A2 <ua2>; 2 -1 B B <ub>"_qs << 0 << 0 << 0;
    QTest::newRow("the same field changed both ways keeps the local value")
        << ab << u"1 -1 B Here <ua>; 2 -1 B B <ub>"_qs << u"1 -1 B There <ua>; 2 -1 B B <ub>"_qs << true
        << u"1 -1 B Here <ua>; 2 -1 B B <ub>"_qs << 1 << 0 << 0;
    QTest::newRow("the same change on both sides is no conflict")
        << ab << u"1 -1 B Same <ua>; 2 -1 B B <ub>"_qs << u"1 -1 B Same <ua>; 2 -1 B B <ub>"_qs << true
        << u"1 -1 B Same <ua>; 2 -1 B B <ub>"_qs << 0 << 0 << 0;
    QTest::newRow("adds on both sides are kept both")
        << ab << u"1 -1 B A <ua>; 2 -1 B B <ub>; -2 -1 B X <ux>"_qs << u"1 -1 B A <ua>; 2 -1 B B <ub>; 5 -1 B Y <uy>"_qs
        << true << u"1 -1 B A <ua>; 2 -1 B B <ub>; 5 -1 B Y <uy>; 6 -1 B X <ux>"_qs << 0 << 0 << 0;
    QTest::newRow("the same link added on both sides is kept once")
        << QString() << u"-2 -1 B X <HTTP://Example.COM:80> d=mine"_qs << u"5 -1 B X <http://example.com/>"_qs << false
        << u"5 -1 B X <http://example.com/> d=mine"_qs << 0 << 0 << 0;
    QTest::newRow("links of one URL and two titles are kept both")
        << QString() << u"-2 -1 B X <http://e/>"_qs << u"5 -1 B Y <http://e/>"_qs << true
        << u"5 -1 B Y <http://e/>; 6 -1 B X <http://e/>"_qs << 0 << 0 << 0;
    QTest::newRow("a folder added on both sides is kept once, with both sides' entries")
        << QString() << u"-2 -1 F Work; -3 -2 B a <ua>; -4 -2 B same <us>"_qs
        << u"5 -1 F Work; 6 5 B b <ub>; 7 5 B same <us>"_qs << true
        << u"5 -1 F Work; 6 5 B b <ub>; 7 5 B same <us>; 8 5 B a <ua>"_qs << 0 << 0 << 0;
    QTest::newRow("the first sync keeps what both sides hold once")
        << QString() << u"-2 -1 F Work; -3 -2 B a <ua>; -4 -1 B top <ut>"_qs
        << u"3 -1 F Work; 4 3 B a <ua>; 9 -1 B top <ut>"_qs << false << u"3 -1 F Work; 4 3 B a <ua>; 9 -1 B top <ut>"_qs
        << 0 << 0 << 0;
    QTest::newRow("the first sync takes a browser's spelling of names and URLs for the same")
        << QString() << u"-2 -1 F Back_slash; -3 -2 B Link <http://e/a/../b?q=\"x\">"_qs
        << u"5 -1 F Back\\slash; 6 5 B  Link  <http://e/b?q=%22x%22>"_qs << false
        << u"5 -1 F Back\\slash; 6 5 B  Link  <http://e/b?q=%22x%22>"_qs << 0 << 0 << 0;
    QTest::newRow("deleted here and changed on the server: kept")
        << ab << u"2 -1 B B <ub>"_qs << u"1 -1 B A2 <ua>; 2 -1 B B <ub>"_qs << true
        << u"1 -1 B A2 <ua>; 2 -1 B B <ub>"_qs << 1 << 0 << 0;
    QTest::newRow("deleted on the server and changed here: kept")
        << ab << u"1 -1 B A <ua2>; 2 -1 B B <ub>"_qs << u"2 -1 B B <ub>"_qs << true
        << u"2 -1 B B <ub>; 1 -1 B A <ua2>"_qs << 1 << 0 << 0;
    QTest::newRow("deleted here, unchanged on the server: deleted there")
        << ab << u"2 -1 B B <ub>"_qs << ab << true << u"2 -1 B B <ub>"_qs << 0 << 0 << 1;
    QTest::newRow("deleted on the server, unchanged here: deleted here")
        << ab << ab << u"1 -1 B A <ua>"_qs << true << u"1 -1 B A <ua>"_qs << 0 << 1 << 0;
    QTest::newRow("deleted on both sides")
        << ab << u"2 -1 B B <ub>"_qs << u"2 -1 B B <ub>"_qs << true << u"2 -1 B B <ub>"_qs << 0 << 0 << 0;
    const QString folders = u"1 -1 F One; 2 -1 F Two; 3 1 B L <ul>"_qs;
    QTest::newRow("a move here and a rename on the server are both taken")
        << folders << u"1 -1 F One; 2 -1 F Two; 3 2 B L <ul>"_qs << u"1 -1 F One; 2 -1 F Two; 3 1 B Renamed <ul>"_qs
        << true << u"1 -1 F One; 2 -1 F Two; 3 2 B Renamed <ul>"_qs << 0 << 0 << 0;
    QTest::newRow("a rename here and a move on the server are both taken")
        << folders << u"1 -1 F One; 2 -1 F Two; 3 1 B Renamed <ul>"_qs << u"1 -1 F One; 2 -1 F Two; 3 2 B L <ul>"_qs
        << true << u"1 -1 F One; 2 -1 F Two; 3 2 B Renamed <ul>"_qs << 0 << 0 << 0;
    QTest::newRow("a move here into a folder new here")
        << ab << u"-2 -1 F New; 1 -2 B A <ua>; 2 -1 B B <ub>"_qs << ab << true
        << u"2 -1 B B <ub>; 3 -1 F New; 1 3 B A <ua>"_qs << 0 << 0 << 0;
    QTest::newRow("moves both ways into each other: one goes back")
        << u"1 -1 F One; 2 -1 F Two"_qs << u"2 -1 F Two; 1 2 F One"_qs << u"1 -1 F One; 2 1 F Two"_qs << true
        << u"1 -1 F One; 2 1 F Two"_qs << 1 << 0 << 0;
    QTest::newRow("three folders moved into each other, and one into that: the first goes back")
        << u"1 -1 F A; 2 -1 F B; 3 -1 F C; 4 -1 F D"_qs << u"2 -1 F B; 3 -1 F C; 1 2 F A; 4 1 F D"_qs
        << u"1 -1 F A; 3 1 F C; 2 3 F B; 4 -1 F D"_qs << true << u"1 -1 F A; 3 1 F C; 2 3 F B; 4 1 F D"_qs << 1 << 0
        << 0;
    QTest::newRow("two pairs moved into each other: one of each goes back")
        << u"1 -1 F A; 2 -1 F B; 3 -1 F C; 4 -1 F D"_qs << u"2 -1 F B; 1 2 F A; 4 -1 F D; 3 4 F C"_qs
        << u"1 -1 F A; 2 1 F B; 3 -1 F C; 4 3 F D"_qs << true << u"1 -1 F A; 2 1 F B; 3 -1 F C; 4 3 F D"_qs << 2 << 0
        << 0;
    QTest::newRow("a folder deleted on the server stays for an item added to it here")
        << folders << u"1 -1 F One; 2 -1 F Two; 3 1 B L <ul>; -2 1 B New <un>"_qs << u"2 -1 F Two"_qs << true
        << u"2 -1 F Two; 1 -1 F One; 4 1 B New <un>"_qs << 1 << 1 << 0;
    QTest::newRow("a folder deleted here stays for an item changed in it on the server")
        << folders << u"2 -1 F Two"_qs << u"1 -1 F One; 2 -1 F Two; 3 1 B L <ul2>"_qs << true
        << u"1 -1 F One; 3 1 B L <ul2>; 2 -1 F Two"_qs << 2 << 0 << 0;

    const QString withFields = u"1 -1 B A <ua> d=note v=3 r=2"_qs;
    QTest::newRow("a server without our fields leaves them")
        << withFields << withFields << u"1 -1 B A2 <ua>"_qs << false << u"1 -1 B A2 <ua> d=note v=3 r=2"_qs << 0 << 0
        << 0;
    QTest::newRow("a server with our fields changes them")
        << withFields << withFields << u"1 -1 B A <ua> d=other v=3 r=2"_qs << true
        << u"1 -1 B A <ua> d=other v=3 r=2"_qs << 0 << 0 << 0;
    QTest::newRow("a server with our fields clears them")
        << withFields << withFields << u"1 -1 B A <ua>"_qs << true << u"1 -1 B A <ua>"_qs << 0 << 0 << 0;
    QTest::newRow("fields changed here survive a server without them")
        << withFields << u"1 -1 B A <ua> d=mine v=4 r=2"_qs << u"1 -1 B A <ua>"_qs << false
        << u"1 -1 B A <ua> d=mine v=4 r=2"_qs << 0 << 0 << 0;
    QTest::newRow("an item deleted on a server without our fields stays deleted")
        << withFields << withFields << QString() << false << QString() << 0 << 1 << 0;
}

void TestSyncMerge::merge()
{
    QFETCH(QString, base);
    QFETCH(QString, local);
    QFETCH(QString, remote);
    QFETCH(bool, remoteExtras);
    QFETCH(QString, merged);
    QFETCH(int, conflicts);
    QFETCH(int, deletedHere);
    QFETCH(int, deletedThere);

    const SyncTree localTree = treeFrom(local);
    const SyncMerge::Result result = SyncMerge::merge(treeFrom(base), localTree, treeFrom(remote, remoteExtras));
    QCOMPARE(treeText(result.merged), merged);
    QVERIFY2(result.report.conflicts.size() == conflicts, qPrintable(result.report.conflicts.join(u'\n')));
    QCOMPARE(result.report.deletedHere, deletedHere);
    QCOMPARE(result.report.deletedThere, deletedThere);
    // Every local item that was kept knows its id in the merged tree.
    for (const auto &[id, node] : localTree.nodes()) {
        if (id == SyncTree::RootId)
            continue;
        const auto mapped = result.localIds.find(id);
        if (mapped != result.localIds.end())
            QVERIFY(result.merged.contains(mapped->second));
        else
            QVERIFY(id > 0 && !result.merged.contains(id));
    }
}

void TestSyncMerge::reportsInWords()
{
    const SyncMerge::Result result
        = SyncMerge::merge(treeFrom(u"1 -1 F One; 2 1 B L <ul>; 3 -1 B Gone <ug>; 4 -1 B Old <uo>"_qs),
                           treeFrom(u"1 -1 F One; 2 1 B L <ul>; 4 -1 B Mine <uo>; -2 -1 B New <un>"_qs),
                           treeFrom(u"1 -1 F One; 2 -1 B L <ul>; 3 -1 B Gone <ug>; 4 -1 B Theirs <uo>"_qs));
    QCOMPARE(result.report.taken, QStringList({u"Moved \u201CL\u201D to the top"_qs}));
    QCOMPARE(result.report.given,
             QStringList({u"Deleted \u201CGone\u201D"_qs, u"Renamed \u201CTheirs\u201D to \u201CMine\u201D"_qs,
                          u"Added \u201CNew\u201D"_qs}));
    QCOMPARE(result.report.conflicts,
             QStringList(
                 {u"The name of \u201CMine\u201D was changed here and on the server: this computer's was kept."_qs}));
}

namespace {

// One computer: its collection (items not synced yet with ids below the root's) and the tree as
// it was synced last.
struct Machine
{
    SyncTree local;
    SyncTree base;
    qint64 nextNew = -2;
};

// Same items with the same content in the same folders; the order of entries aside.
bool sameItems(const SyncTree &a, const SyncTree &b)
{
    if (a.nodes().size() != b.nodes().size())
        return false;
    for (const auto &[id, node] : a.nodes()) {
        const SyncNode *other = b.find(id);
        if (!other || other->parent != node.parent || !other->sameContent(node))
            return false;
    }
    return true;
}

class Rounds
{
public:
    explicit Rounds(quint32 seed) : m_random(seed) { m_server = SyncFile::write(SyncTree()); }

    void edit(Machine &machine);
    void sync(Machine &machine);

    QByteArray m_server;
    // Every item a sync ever saw, and those a machine deleted on purpose.
    std::set<qint64> m_known;
    std::set<qint64> m_deleted;
    int m_counter = 0;

private:
    qint64 pickNode(const SyncTree &tree, bool folder);
    QRandomGenerator m_random;
};

qint64 Rounds::pickNode(const SyncTree &tree, bool folder)
{
    std::vector<qint64> ids;
    for (const auto &[id, node] : tree.nodes()) {
        if (!folder ? id != SyncTree::RootId : node.folder)
            ids.push_back(id);
    }
    return ids.empty() ? 0 : ids[m_random.bounded(static_cast<quint32>(ids.size()))];
}

void Rounds::edit(Machine &machine)
{
    SyncTree &tree = machine.local;
    const QString text = QString::number(++m_counter);
    switch (m_random.bounded(10)) {
    case 0:
    case 1:
    case 2: {
        SyncNode node;
        node.id = machine.nextNew--;
        node.parent = pickNode(tree, true);
        node.folder = m_random.bounded(4) == 0;
        node.title = u"item "_qs + text;
        node.url = node.folder ? QString() : u"https://example.com/"_qs + text;
        node.order = m_counter;
        node.hasExtras = true;
        QVERIFY(tree.add(node));
        return;
    }
    case 8:
        if (SyncNode *node = tree.find(pickNode(tree, false)))
            node->title = u"renamed "_qs + text;
        return;
    case 3:
        if (SyncNode *node = tree.find(pickNode(tree, false)); node && !node->folder)
            node->url = u"https://example.org/"_qs + text;
        return;
    case 4:
        if (SyncNode *node = tree.find(pickNode(tree, false)))
            node->description = u"note "_qs + text;
        return;
    case 5:
    case 6:
    case 7:
        if (const qint64 id = pickNode(tree, false))
            tree.move(id, pickNode(tree, true)); // refused into itself
        return;
    default: // a folder, with all it holds, less often than a link
        if (const qint64 id = pickNode(tree, false); id && (!tree.find(id)->folder || m_random.bounded(4) == 0)) {
            std::vector<qint64> gone = tree.descendants(id);
            gone.push_back(id);
            for (const qint64 each : gone) {
                if (each > 0)
                    m_deleted.insert(each);
            }
            tree.remove(id);
        }
        return;
    }
}

// A whole sync through the shared file: read, merge, write, read back and compare, keep the state.
void Rounds::sync(Machine &machine)
{
    const SyncFile::ReadResult remote = SyncFile::read(m_server);
    QVERIFY2(remote.ok(), qPrintable(remote.error));
    const SyncMerge::Result result = SyncMerge::merge(machine.base, machine.local, remote.tree);
    const QByteArray upload = SyncFile::write(result.merged);
    const SyncFile::ReadResult back = SyncFile::read(upload);
    QVERIFY(back.ok());
    QVERIFY(sameItems(back.tree, result.merged));
    m_server = upload;
    machine.base = back.tree;
    machine.local = result.merged;
    for (const auto &[id, node] : result.merged.nodes())
        m_known.insert(id);
}

} // namespace

// Two computers edit at random and sync in a random order; in the end, after syncs without edits,
// both hold the same tree as the server, and every item a sync saw is still there unless one of
// them deleted it.
void TestSyncMerge::twoMachines()
{
    Rounds rounds(20261207);
    QRandomGenerator order(7);
    Machine a;
    Machine b;
    for (int round = 0; round < 200; ++round) {
        for (int edits = order.bounded(4); edits > 0; --edits)
            rounds.edit(a);
        for (int edits = order.bounded(4); edits > 0; --edits)
            rounds.edit(b);
        if (QTest::currentTestFailed())
            return;
        switch (order.bounded(4)) {
        case 0:
            rounds.sync(a);
            break;
        case 1:
            rounds.sync(b);
            break;
        case 2:
            rounds.sync(a);
            rounds.sync(b);
            break;
        default:
            rounds.sync(b);
            rounds.sync(a);
        }
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(u"in round %1"_qs.arg(round)));
    }
    for (Machine *machine : {&a, &b, &a, &b})
        rounds.sync(*machine);
    QVERIFY(sameItems(a.local, b.local));
    QVERIFY(sameItems(a.local, SyncFile::read(rounds.m_server).tree));
    QVERIFY(a.local.size() > 20);
    for (const qint64 id : rounds.m_known) {
        if (!rounds.m_deleted.count(id) && !a.local.contains(id))
            QFAIL(qPrintable(u"item %1 was lost"_qs.arg(id)));
    }
}

namespace {

// Two collections that never met, with `size` new links each in their top folder.
std::array<SyncTree, 3> newLinksOnBothSides(int size)
{
    SyncTree local;
    SyncTree remote;
    for (int i = 1; i <= size; ++i) {
        SyncNode here;
        here.id = SyncTree::RootId - i;
        here.parent = SyncTree::RootId;
        here.title = QStringLiteral("Here %1").arg(i);
        here.url = QStringLiteral("https://here.example/%1").arg(i);
        here.order = i;
        local.add(here);
        SyncNode there = here;
        there.id = i;
        there.title = QStringLiteral("There %1").arg(i);
        there.url = QStringLiteral("https://there.example/%1").arg(i);
        remote.add(there);
    }
    return {SyncTree(), local, remote};
}

// A server file that is a chain of `size` folders, each in the one before, and nothing here.
std::array<SyncTree, 3> deepChainFromTheServer(int size)
{
    SyncTree remote;
    for (int i = 1; i <= size; ++i) {
        SyncNode node;
        node.id = i;
        node.parent = i == 1 ? SyncTree::RootId : i - 1;
        node.folder = true;
        node.title = QStringLiteral("Level %1").arg(i);
        remote.add(node);
    }
    return {SyncTree(), SyncTree(), remote};
}

using MakeTrees = std::array<SyncTree, 3> (*)(int size); // base, local, remote

// The processor time of the fastest of a few merges of the trees made for `size`, in milliseconds.
double mergeMs(MakeTrees make, int size, int *mergedSize)
{
    const std::array<SyncTree, 3> trees = make(size);
    return GrowthTiming::fastestCpuMs(
        [&] { *mergedSize = SyncMerge::merge(trees[0], trees[1], trees[2]).merged.size(); });
}

} // namespace

// The shapes that once cost the square of their size: twice the size may take about twice as long.
void TestSyncMerge::linearTime_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("mergedPerSize"); // items in the merged tree for each of `size`
    QTest::newRow("new links on both sides") << 0 << 4000 << 2;
    QTest::newRow("a deep chain of folders from the server") << 1 << 5000 << 1;
}

void TestSyncMerge::linearTime()
{
    QFETCH(int, shape);
    QFETCH(int, size);
    QFETCH(int, mergedPerSize);
    const MakeTrees make = shape == 0 ? newLinksOnBothSides : deepChainFromTheServer;
    int merged = 0;
    const double once = mergeMs(make, size, &merged);
    QCOMPARE(merged, size * mergedPerSize);
    const double twice = mergeMs(make, 2 * size, &merged);
    QCOMPARE(merged, 2 * size * mergedPerSize);
    QVERIFY2(GrowthTiming::grewInProportion(once, twice), qPrintable(GrowthTiming::describe(once, size, twice)));
}

QTEST_GUILESS_MAIN(TestSyncMerge)
#include "tst_syncmerge.moc"
