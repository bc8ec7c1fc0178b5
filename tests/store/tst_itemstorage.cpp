#include "common/TreeBuilders.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QBuffer>
#include <QTest>

#include <memory>
#include <string>

using namespace TreeBuilders;

// Items read from a file live in one block with the bytes read, and their texts point into those bytes.
// These cases move, copy, edit and outlive such items; the sanitized build turns any text left pointing
// at freed bytes into a failure.
class TestItemStorage : public QObject
{
    Q_OBJECT
private slots:
    void textEdits_data();
    void textEdits();
    void readItemsOwnNoBytes();
    void readRootKeepsItsOwnTexts();
    void readItemsOutliveTheirTree();
    void copiedAndMovedTextsOwnTheirBytes();
    void editedReadItemsKeepTheirValues();

private:
    static std::unique_ptr<LinkItem> sampleTree();
    static std::unique_ptr<LinkItem> readBack(const LinkItem &tree);
};

void TestItemStorage::textEdits_data()
{
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("assign") << QByteArray("assign") << QByteArray("hello world");
    QTest::newRow("assign a piece of itself") << QByteArray("self-piece") << QByteArray("world");
    QTest::newRow("append text and a byte") << QByteArray("append") << QByteArray("hello world!?");
    QTest::newRow("append to itself") << QByteArray("self-append") << QByteArray("hello worldhello world");
    QTest::newRow("clear") << QByteArray("clear") << QByteArray();
    QTest::newRow("assign empty") << QByteArray("empty") << QByteArray();
}

void TestItemStorage::textEdits()
{
    QFETCH(QByteArray, operation);
    QFETCH(QByteArray, expected);
    ItemText text;
    text = "hello world";
    if (operation == "self-piece") {
        text = text.view().substr(6);
    } else if (operation == "append") {
        text += "!";
        text += '?';
    } else if (operation == "self-append") {
        text += text.view();
    } else if (operation == "clear") {
        text.clear();
    } else if (operation == "empty") {
        text = std::string_view();
    }
    QCOMPARE(QByteArray(text.data(), qsizetype(text.size())), expected);
    QCOMPARE(text.empty(), expected.isEmpty());
    QVERIFY(text.data() != nullptr);
}

std::unique_ptr<LinkItem> TestItemStorage::sampleTree()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *news = addFolder(*root, "News");
    news->Description = "Papers, read each morning";
    addLink(*news, "Daily", "https://daily.example/")->Description = "The first page";
    addLink(*news, "Weekly", "https://weekly.example/");
    LinkItem *deep = addFolder(*news, "Deeper");
    addLink(*deep, "Bottom", "https://bottom.example/");
    addLink(*root, "Search", "https://search.example/");
    return root;
}

std::unique_ptr<LinkItem> TestItemStorage::readBack(const LinkItem &tree)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    QString error;
    if (!NativeFile::write(buffer, tree, &error))
        qFatal("write failed: %s", qPrintable(error));
    buffer.seek(0);
    auto root = std::make_unique<LinkItem>();
    if (!NativeFile::read(buffer, *root, true).ok())
        qFatal("read failed");
    return root;
}

void TestItemStorage::readItemsOwnNoBytes()
{
    const auto read = readBack(*sampleTree());
    const LinkItem *news = read->Children.Get(0);
    QCOMPARE(news->Name, std::string_view("News"));
    QVERIFY(!news->Name.ownsBytes());
    QVERIFY(!news->Description.ownsBytes());
    QVERIFY(!news->Children.Get(0)->Url.ownsBytes());
}

void TestItemStorage::readRootKeepsItsOwnTexts()
{
    // The top record goes into an item of the caller's; its texts must not point into the bytes read,
    // which go when the last item read goes (here at once: there are no children).
    auto tree = LinkItem::MakeFolder("Only a root");
    tree->Description = "with a description";
    const auto read = readBack(*tree);
    QCOMPARE(read->Children.Count(), 0);
    QVERIFY(read->Name.ownsBytes());
    QCOMPARE(read->Name, std::string_view("Only a root"));
    QCOMPARE(read->Description, std::string_view("with a description"));
}

void TestItemStorage::readItemsOutliveTheirTree()
{
    auto read = readBack(*sampleTree());
    LinkItem other;
    // Move the News folder, with its subtree, into another tree and drop the tree it was read into.
    other.Children.InsertSorted(read->Children.TakeAt(0));
    read.reset();

    const LinkItem *news = other.Children.Get(0);
    QCOMPARE(news->Parent, &other);
    QCOMPARE(news->Name, std::string_view("News"));
    QCOMPARE(news->Description, std::string_view("Papers, read each morning"));
    QCOMPARE(news->Children.Count(), 3);
    QCOMPARE(news->Children.Get(0)->Name, std::string_view("Daily"));
    QCOMPARE(news->Children.Get(0)->Description, std::string_view("The first page"));
    QCOMPARE(news->Children.Get(1)->Children.Get(0)->Url, std::string_view("https://bottom.example/"));

    // The last item of the block can go first or last: take the folder apart child by child.
    LinkItem *newsItem = other.Children.Get(0);
    while (newsItem->Children.Count() > 0)
        newsItem->Children.TakeAt(0).reset();
    QCOMPARE(newsItem->Name, std::string_view("News"));
}

void TestItemStorage::copiedAndMovedTextsOwnTheirBytes()
{
    auto read = readBack(*sampleTree());
    LinkItem *daily = read->Children.Get(0)->Children.Get(0);
    const ItemText copy = daily->Name;
    ItemText moved = std::move(daily->Url);
    LinkItem heapItem;
    heapItem.Description = std::move(daily->Description);
    QVERIFY(copy.ownsBytes());
    QVERIFY(moved.ownsBytes());
    QVERIFY(heapItem.Description.ownsBytes());
    read.reset();

    QCOMPARE(copy, std::string_view("Daily"));
    QCOMPARE(moved, std::string_view("https://daily.example/"));
    QCOMPARE(heapItem.Description, std::string_view("The first page"));
}

void TestItemStorage::editedReadItemsKeepTheirValues()
{
    auto read = readBack(*sampleTree());
    LinkItem *search = read->Children.Get(1);
    search->Name = "Find";
    search->Description += "added later";
    search->Url = search->Url.view().substr(8);
    QCOMPARE(search->Name, std::string_view("Find"));
    QCOMPARE(search->Description, std::string_view("added later"));
    QCOMPARE(search->Url, std::string_view("search.example/"));

    // A record read into an item that already has children adds them; the new ones live in a new block.
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    QVERIFY(NativeFile::write(buffer, *sampleTree(), nullptr));
    buffer.seek(0);
    QVERIFY(NativeFile::read(buffer, *read, true).ok());
    QCOMPARE(read->Children.Count(), 4);
    std::unique_ptr<LinkItem> survivor = read->Children.TakeAt(read->Children.IndexOf(search));
    read.reset();
    QCOMPARE(survivor->Name, std::string_view("Find"));
    QCOMPARE(survivor->Url, std::string_view("search.example/"));
}

QTEST_GUILESS_MAIN(TestItemStorage)
#include "tst_itemstorage.moc"
