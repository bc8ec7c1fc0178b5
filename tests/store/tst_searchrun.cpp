#include "common/TreeBuilders.h"
#include "store/LinkItem.h"
#include "store/SearchIndex.h"
#include "store/SearchRun.h"
#include "store/TextFold.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QTest>

namespace {

constexpr int Items = 20'000;

std::string randomWord(QRandomGenerator &random, int length)
{
    static const char *const Pieces[] = {"a", "b", "c", "d", "A", "\xc3\xa9", "\xc3\x89"};
    std::string text;
    for (int i = 0; i < length; ++i)
        text += Pieces[random.bounded(7)];
    return text;
}

// A few folders of many items each, some nested, with short random texts.
std::unique_ptr<LinkItem> makeTree(int items)
{
    QRandomGenerator random(4242);
    auto root = LinkItem::MakeFolder("Quillmark");
    std::vector<LinkItem *> folders {root.get()};
    for (int i = 0; i < items; ++i) {
        LinkItem *parent = folders[random.bounded(static_cast<int>(folders.size()))];
        if (random.bounded(50) == 0) {
            folders.push_back(TreeBuilders::addFolder(*parent, randomWord(random, 4)));
        } else {
            LinkItem *link = TreeBuilders::addLink(*parent, randomWord(random, 6), randomWord(random, 8));
            link->Description = randomWord(random, random.bounded(10));
        }
    }
    return root;
}

// Every item below the root in tree order, and those that hold every folded word in one folded field.
std::vector<LinkItem *> expected(const LinkItem &root, const QString &query, bool allLinks)
{
    const std::vector<std::string> words = TextFold::queryWords(query);
    std::vector<LinkItem *> found;
    std::vector<LinkItem *> pending;
    for (auto it = root.Children.end(); it != root.Children.begin();)
        pending.push_back((--it)->get());
    while (!pending.empty()) {
        LinkItem *item = pending.back();
        pending.pop_back();
        const std::string fields[] = {TextFold::foldStored(item->Name), TextFold::foldStored(item->Url),
                                      TextFold::foldStored(item->Description)};
        const bool all = std::all_of(words.begin(), words.end(), [&](const std::string &word) {
            return std::any_of(std::begin(fields), std::end(fields),
                               [&](const std::string &field) { return field.find(word) != std::string::npos; });
        });
        if (allLinks ? !item->isFolder() : all && !words.empty())
            found.push_back(item);
        for (auto it = item->Children.end(); it != item->Children.begin();)
            pending.push_back((--it)->get());
    }
    return found;
}

SearchRun makeRun(SearchIndex &index, const QString &query)
{
    return query.isNull() ? SearchRun::allLinks(index) : SearchRun(index, query);
}

// Runs to the end with a deadline that has always passed: one small piece of work per call.
int finishInSlices(SearchRun &run)
{
    int slices = 1;
    while (!run.runSome(QDeadlineTimer(0)))
        ++slices;
    return slices;
}

} // namespace

class TestSearchRun : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void slicesFindWhatOneSearchFinds_data();
    void slicesFindWhatOneSearchFinds();
    void changeDuringRun_data();
    void changeDuringRun();
    void droppedRunsKeepTypingOnRight();
    void buildInSlices();

private:
    std::unique_ptr<LinkItem> m_tree;
};

void TestSearchRun::initTestCase()
{
    m_tree = makeTree(Items);
}

void TestSearchRun::slicesFindWhatOneSearchFinds_data()
{
    QTest::addColumn<QString>("query"); // null: all links
    QTest::addColumn<bool>("built");

    QTest::newRow("one word, stale index") << "abc" << false;
    QTest::newRow("one word, built index") << "abc" << true;
    QTest::newRow("accents and capitals") << QStringLiteral("\u00c9a") << true;
    QTest::newRow("two words") << "dd ab" << true;
    QTest::newRow("common letter") << "a" << true;
    QTest::newRow("no match") << "zz" << true;
    QTest::newRow("all links, stale index") << QString() << false;
    QTest::newRow("all links, built index") << QString() << true;
}

void TestSearchRun::slicesFindWhatOneSearchFinds()
{
    // Each slice adds to the matches in tree order, and the last leaves exactly what one search finds.
    QFETCH(QString, query);
    QFETCH(bool, built);
    const std::vector<LinkItem *> all = expected(*m_tree, query, query.isNull());
    SearchIndex index(m_tree.get());
    if (built)
        index.rebuild();
    SearchRun run = makeRun(index, query);
    int slices = 0;
    double progress = 0;
    QCOMPARE(run.progress(), 0.0);
    while (!run.runSome(QDeadlineTimer(0))) {
        ++slices;
        const std::vector<LinkItem *> &found = run.matches();
        QVERIFY(found.size() <= all.size());
        QVERIFY(std::equal(found.begin(), found.end(), all.begin()));
        QVERIFY(run.progress() >= progress && run.progress() < 1.0);
        progress = run.progress();
    }
    QVERIFY(run.finished());
    QCOMPARE(run.progress(), 1.0);
    QVERIFY2(slices >= Items / 5000, qPrintable(QString::number(slices)));
    QCOMPARE(run.matches(), all);
    QCOMPARE(index.isStale(), query.isNull() && !built);
}

void TestSearchRun::changeDuringRun_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("built");
    QTest::addColumn<int>("slicesBefore");

    QTest::newRow("while the index is built") << "ab" << false << 2;
    QTest::newRow("while scanning") << "ab" << true << 3;
    QTest::newRow("typing on, while scanning") << "abc" << true << 2;
    QTest::newRow("all links, walking") << QString() << false << 3;
    QTest::newRow("all links, from the index") << QString() << true << 3;
}

void TestSearchRun::changeDuringRun()
{
    // Half-way through, a folder is deleted and the index invalidated: the run starts over and never hands
    // out (or, under the sanitizers, reads) the destroyed items.
    QFETCH(QString, query);
    QFETCH(bool, built);
    QFETCH(int, slicesBefore);
    auto tree = makeTree(Items);
    SearchIndex index(tree.get());
    if (built) {
        index.rebuild();
        index.search("ab"); // kept for typing on
    }
    SearchRun run = makeRun(index, query);
    for (int i = 0; i < slicesBefore; ++i)
        QVERIFY(!run.runSome(QDeadlineTimer(0)));
    LinkItem *largest = nullptr;
    for (const auto &child : tree->Children) {
        if (child->isFolder() && (!largest || child->Children.Count() > largest->Children.Count()))
            largest = child.get();
    }
    QVERIFY(largest && largest->Children.Count() > 100);
    tree->Children.Remove(largest);
    index.invalidate();
    finishInSlices(run);
    QCOMPARE(run.matches(), expected(*tree, query, query.isNull()));
    QCOMPARE(index.search(query.isNull() ? "ab" : query), expected(*tree, query.isNull() ? "ab" : query, false));
}

void TestSearchRun::droppedRunsKeepTypingOnRight()
{
    // Typing letter by letter with a fast typist: most runs are dropped half-way by the next keystroke, some
    // finish; every finished run matches a fresh search, and the ones after a dropped run too.
    QRandomGenerator random(77);
    SearchIndex index(m_tree.get());
    QString query;
    for (int step = 0; step < 24; ++step) {
        if (random.bounded(6) == 0)
            query.clear();
        query += QString::fromUtf8(randomWord(random, 1));
        SearchRun run(index, query);
        const int slices = random.bounded(4) == 0 ? 1000 : random.bounded(3);
        bool done = false;
        for (int i = 0; i < slices && !done; ++i)
            done = run.runSome(QDeadlineTimer(0));
        if (done)
            QCOMPARE(run.matches(), expected(*m_tree, query, false));
    }
    QCOMPARE(index.search(query + "b"), expected(*m_tree, query + "b", false));
}

void TestSearchRun::buildInSlices()
{
    SearchIndex index(m_tree.get());
    int slices = 1;
    double progress = 0;
    while (!index.buildSome(QDeadlineTimer(0))) {
        ++slices;
        QVERIFY(index.isStale());
        QVERIFY(index.buildProgress() >= progress);
        progress = index.buildProgress();
    }
    QVERIFY(slices >= Items / 5000);
    QVERIFY(!index.isStale());
    QCOMPARE(index.itemCount(), Items);
    QVERIFY(index.buildSome(QDeadlineTimer(0)));

    // A second build, of a tree the index has seen, knows roughly how far it has got from the start.
    index.invalidate();
    QVERIFY(!index.buildSome(QDeadlineTimer(0)));
    QVERIFY(index.buildProgress() > 0 && index.buildProgress() < 1);

    // Nothing to read still comes to an end, one piece at a time.
    auto lonely = LinkItem::MakeFolder("Quillmark");
    SearchIndex empty(lonely.get());
    SearchRun run(empty, "a");
    for (int i = 0; i < 5 && !run.finished(); ++i)
        run.runSome(QDeadlineTimer(0));
    QVERIFY(run.finished());
    QVERIFY(run.matches().empty());
}

QTEST_GUILESS_MAIN(TestSearchRun)
#include "tst_searchrun.moc"
