#include "common/TreeBuilders.h"
#include "store/LinkItem.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace TreeBuilders;

namespace {
QStringList names(const ItemList &items)
{
    QStringList result;
    for (const auto &item : items)
        result << QString::fromStdString(item->Name.str());
    return result;
}
} // namespace

class TestLinkItem : public QObject
{
    Q_OBJECT
private slots:
    void newItem();
    void insertSorted_data();
    void insertSorted();
    void insertSortedReturnsPosition();
    void twinsAreToldApart();
    void removeDestroysSubtree();
    void moveTo();
    void moveToUnknownItem();
    void countKindsAndHasFolder();
    void batchInsertMatchesOneByOne_data();
    void batchInsertMatchesOneByOne();
    void deepTreeIsDestroyed();
};

void TestLinkItem::newItem()
{
    LinkItem item;
    QCOMPARE(item.Children.Owner(), &item);
    QCOMPARE(item.Children.Count(), 0);
    QCOMPARE(item.Parent, nullptr);
    QCOMPARE(item.Visits, 0);
    QCOMPARE(item.Rating, 0);
    QCOMPARE(item.LastVisit, 0.0);
    QCOMPARE(item.IsFolder, 0);
}

void TestLinkItem::insertSorted_data()
{
    QTest::addColumn<QStringList>("inserted");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty list") << QStringList {"a"} << QStringList {"a"};
    QTest::newRow("case-sensitive, upper first")
        << QStringList {"b", "B", "a", "A"} << QStringList {"A", "B", "a", "b"};
    QTest::newRow("prefix is smaller") << QStringList {"abc", "ab", "a"} << QStringList {"a", "ab", "abc"};
    QTest::newRow("bytes compare unsigned") << QStringList {QString::fromLatin1("\xe9t\xe9"), "zoo"}
                                            << QStringList {"zoo", QString::fromLatin1("\xe9t\xe9")};
    QTest::newRow("empty name first") << QStringList {"x", ""} << QStringList {"", "x"};
    QTest::newRow("long names, equal first eight bytes")
        << QStringList {"abcdefghZ", "abcdefghA", "abcdefgh"} << QStringList {"abcdefgh", "abcdefghA", "abcdefghZ"};
    QTest::newRow("long names, unsigned byte in first eight")
        << QStringList {QString::fromLatin1("abcdefg\xe9x"), "abcdefgzx", "Abcdefgzx"}
        << QStringList {"Abcdefgzx", "abcdefgzx", QString::fromLatin1("abcdefg\xe9x")};
    QTest::newRow("long names, first byte decides over the eighth")
        << QStringList {"bbcdefga1", "abcdefgh1"} << QStringList {"abcdefgh1", "bbcdefga1"};
    QTest::newRow("long against short") << QStringList {"abcdefghij", "abd", "abc"}
                                        << QStringList {"abc", "abcdefghij", "abd"};
}

void TestLinkItem::insertSorted()
{
    QFETCH(QStringList, inserted);
    QFETCH(QStringList, expected);
    LinkItem folder;
    for (const QString &name : inserted) {
        auto item = LinkItem::MakeLink(name.toLatin1().toStdString(), "u");
        folder.Children.InsertSorted(std::move(item));
    }
    QStringList got;
    for (const auto &item : folder.Children) {
        got << QString::fromLatin1(item->Name.data(), static_cast<qsizetype>(item->Name.size()));
        QCOMPARE(item->Parent, &folder);
    }
    QCOMPARE(got, expected);
}

void TestLinkItem::insertSortedReturnsPosition()
{
    LinkItem folder;
    addLink(folder, "m", "1");
    addLink(folder, "a", "2");
    addLink(folder, "z", "3");
    // A new item goes after the entries with its own name, and the result is where it now stands.
    auto twin = LinkItem::MakeLink("m", "4");
    LinkItem *raw = twin.get();
    const int index = folder.Children.InsertSorted(std::move(twin));
    QCOMPARE(index, 2);
    QCOMPARE(folder.Children.Get(index), raw);
    QCOMPARE(folder.Children.Get(1)->Url, std::string("1"));
}

void TestLinkItem::twinsAreToldApart()
{
    LinkItem folder;
    LinkItem *first = addLink(folder, "same", "http://x");
    LinkItem *second = addLink(folder, "same", "http://x");
    QVERIFY(!SameItem(first, second));
    QVERIFY(SameItem(first, first));
    QVERIFY(!SameItem(first, nullptr));
    QCOMPARE(folder.Children.IndexOf(first), 0);
    QCOMPARE(folder.Children.IndexOf(second), 1);

    folder.Children.Remove(second);
    QCOMPARE(folder.Children.Count(), 1);
    QCOMPARE(folder.Children.Get(0), first);

    LinkItem stranger;
    folder.Children.Remove(&stranger); // not in the list: nothing happens
    QCOMPARE(folder.Children.Count(), 1);
    QCOMPARE(folder.Children.IndexOf(&stranger), -1);
}

void TestLinkItem::removeDestroysSubtree()
{
    LinkItem root;
    addLink(root, "a", "1");
    LinkItem *folder = addFolder(root, "b");
    addLink(root, "c", "2");
    LinkItem *inner = addFolder(*folder, "inner");
    addLink(*inner, "deep", "3");

    root.Children.Remove(folder);
    QCOMPARE(names(root.Children), (QStringList {"a", "c"}));
}

void TestLinkItem::moveTo()
{
    LinkItem root;
    LinkItem *source = addFolder(root, "source");
    LinkItem *target = addFolder(root, "target");
    addLink(*target, "a", "1");
    addLink(*target, "z", "2");
    LinkItem *moving = addLink(*source, "m", "3");

    const int index = source->Children.MoveTo(moving, target->Children);
    QCOMPARE(index, 1);
    QCOMPARE(moving->Parent, target);
    QCOMPARE(source->Children.Count(), 0);
    QCOMPARE(names(target->Children), (QStringList {"a", "m", "z"}));
}

void TestLinkItem::moveToUnknownItem()
{
    LinkItem root;
    LinkItem *source = addFolder(root, "source");
    LinkItem *target = addFolder(root, "target");
    addLink(*source, "kept", "1");
    LinkItem *elsewhere = addLink(*target, "elsewhere", "2");

    QCOMPARE(source->Children.MoveTo(elsewhere, target->Children), -1);
    QCOMPARE(source->Children.Count(), 1);
    QCOMPARE(target->Children.Count(), 1);
    QCOMPARE(elsewhere->Parent, target);
}

void TestLinkItem::countKindsAndHasFolder()
{
    LinkItem root;
    QVERIFY(!root.Children.HasFolder());
    addLink(root, "l1", "1");
    addLink(root, "l2", "2");
    QVERIFY(!root.Children.HasFolder());
    LinkItem *f1 = addFolder(root, "f1");
    LinkItem *f2 = addFolder(root, "f2");
    addLink(*f1, "below", "3");
    addFolder(*f2, "below");
    addLink(root, "l3", "4");
    QVERIFY(root.Children.HasFolder());
    const ItemList::Kinds kinds = root.Children.CountKinds();
    QCOMPARE(kinds.folders, 2);
    QCOMPARE(kinds.links, 3);

    // Any IsFolder other than 0 is a folder.
    LinkItem odd;
    auto strange = LinkItem::MakeLink("s", "");
    strange->IsFolder = 7;
    odd.Children.InsertSorted(std::move(strange));
    QVERIFY(odd.Children.HasFolder());
    QCOMPARE(odd.Children.CountKinds().folders, 1);
}

void TestLinkItem::batchInsertMatchesOneByOne_data()
{
    QTest::addColumn<int>("existing");
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("alphabet");

    QTest::newRow("into empty, many ties") << 0 << 300 << 3;
    QTest::newRow("into existing, many ties") << 50 << 300 << 4;
    QTest::newRow("into existing, few ties") << 200 << 500 << 26;
    QTest::newRow("single") << 5 << 1 << 2;
    QTest::newRow("stored backwards") << 10 << -200 << 26;
    QTest::newRow("stored backwards with ties") << 0 << -300 << 2;
}

void TestLinkItem::batchInsertMatchesOneByOne()
{
    QFETCH(int, existing);
    QFETCH(int, added);
    QFETCH(int, alphabet);
    QRandomGenerator random(1234);
    const auto randomName = [&] {
        std::string name;
        const int length = static_cast<int>(random.bounded(1, 4));
        for (int i = 0; i < length; ++i)
            name += static_cast<char>('a' + random.bounded(alphabet));
        return name;
    };

    LinkItem oneByOne;
    LinkItem batched;
    for (int i = 0; i < existing; ++i) {
        const std::string name = randomName();
        const std::string url = "old" + std::to_string(i);
        addLink(oneByOne, name, url);
        addLink(batched, name, url);
    }
    // A negative count adds that many names in descending order, as a file written backwards holds them.
    std::vector<std::string> addedNames;
    for (int i = 0; i < std::abs(added); ++i)
        addedNames.push_back(randomName());
    if (added < 0)
        std::sort(addedNames.begin(), addedNames.end(), std::greater<>());
    std::vector<std::unique_ptr<LinkItem>> batch;
    for (int i = 0; i < std::abs(added); ++i) {
        const std::string &name = addedNames[static_cast<size_t>(i)];
        const std::string url = "new" + std::to_string(i);
        addLink(oneByOne, name, url);
        batch.push_back(LinkItem::MakeLink(name, url));
    }
    batched.Children.InsertSortedBatch(std::move(batch));

    QCOMPARE(batched.Children.Count(), oneByOne.Children.Count());
    for (int i = 0; i < batched.Children.Count(); ++i) {
        QCOMPARE(batched.Children.Get(i)->Url, oneByOne.Children.Get(i)->Url);
        QCOMPARE(batched.Children.Get(i)->Parent, &batched);
    }
}

void TestLinkItem::deepTreeIsDestroyed()
{
    // 100,000 nested folders: tearing them down must not recurse once per level.
    auto root = LinkItem::MakeFolder("root");
    LinkItem *parent = root.get();
    for (int i = 0; i < 100000; ++i) {
        parent = addFolder(*parent, "level");
        addLink(*parent, "sibling", "u");
    }
    root.reset();
    QVERIFY(!root);
}

QTEST_GUILESS_MAIN(TestLinkItem)
#include "tst_linkitem.moc"
