#include "common/TreeBuilders.h"
#include "store/EmptyFolders.h"
#include "store/LinkItem.h"

#include <QTest>

using namespace TreeBuilders;

namespace {

// A tree from paths below the root: "A/B/" is a folder, "A/B/x" a link; parents come first.
std::unique_ptr<LinkItem> makeTree(const QStringList &paths)
{
    auto root = LinkItem::MakeFolder("Quillmark");
    for (const QString &path : paths) {
        const QStringList parts = path.split('/');
        LinkItem *parent = root.get();
        const int depth = path.endsWith('/') ? parts.size() - 2 : parts.size() - 1;
        for (int i = 0; i < depth; ++i) {
            LinkItem *next = nullptr;
            for (const auto &child : parent->Children) {
                if (child->isFolder() && child->Name == parts[i].toStdString())
                    next = child.get();
            }
            Q_ASSERT(next);
            parent = next;
        }
        if (path.endsWith('/'))
            addFolder(*parent, parts[depth].toStdString());
        else
            addLink(*parent, parts[depth].toStdString(), "https://example.org/");
    }
    return root;
}

LinkItem *find(LinkItem *root, const QString &path)
{
    LinkItem *item = root;
    for (const QString &name : path.split('/', Qt::SkipEmptyParts)) {
        LinkItem *next = nullptr;
        for (const auto &child : item->Children) {
            if (child->Name == name.toStdString())
                next = child.get();
        }
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

QString pathOf(const LinkItem *item)
{
    QStringList names;
    for (; item->Parent; item = item->Parent)
        names.prepend(QString::fromStdString(item->Name.str()));
    return names.join('/') + (names.isEmpty() ? "" : "/");
}

// Every path below the root, folders ending with a slash, in tree order.
QStringList allPaths(const LinkItem *root)
{
    QStringList paths;
    std::vector<const LinkItem *> pending;
    for (auto it = root->Children.end(); it != root->Children.begin();)
        pending.push_back((--it)->get());
    while (!pending.empty()) {
        const LinkItem *item = pending.back();
        pending.pop_back();
        QString path = pathOf(item);
        if (!item->isFolder())
            path.chop(1);
        paths << path;
        for (auto it = item->Children.end(); it != item->Children.begin();)
            pending.push_back((--it)->get());
    }
    return paths;
}

} // namespace

class TestEmptyFolders : public QObject
{
    Q_OBJECT
private slots:
    void find_data();
    void find();
    void deepChain();
    void manySiblingsAmongLinks();
};

void TestEmptyFolders::find_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("below");
    QTest::addColumn<QStringList>("topmost");
    QTest::addColumn<int>("count");

    QTest::newRow("nothing to delete") << QStringList {"A/", "A/x", "y"} << "" << QStringList {} << 0;
    QTest::newRow("empty root") << QStringList {} << "" << QStringList {} << 0;
    QTest::newRow("nested empty folders go as one")
        << QStringList {"A/", "A/B/", "A/B/C/", "A/D/"} << "" << QStringList {"A/"} << 4;
    QTest::newRow("folders holding only links stay")
        << QStringList {"A/", "A/x", "A/y", "B/", "B/C/", "B/C/z"} << "" << QStringList {} << 0;
    QTest::newRow("empty folders beside links")
        << QStringList {"A/", "A/B/", "A/B/x", "A/C/", "A/C/D/", "E/", "F/", "F/y"} << "" << QStringList {"A/C/", "E/"}
        << 3;
    QTest::newRow("a link deep down keeps the folders above it")
        << QStringList {"A/", "A/B/", "A/B/C/", "A/B/C/x", "A/B/D/"} << "" << QStringList {"A/B/D/"} << 1;
    QTest::newRow("never the folder itself, even when empty")
        << QStringList {"A/", "A/B/", "A/C/", "A/C/D/"} << "A/" << QStringList {"A/B/", "A/C/"} << 3;
    QTest::newRow("only below the folder")
        << QStringList {"A/", "A/B/", "A/x", "E/"} << "A/" << QStringList {"A/B/"} << 1;
    QTest::newRow("an empty folder by itself") << QStringList {"A/"} << "A/" << QStringList {} << 0;
}

void TestEmptyFolders::find()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, below);
    QFETCH(QStringList, topmost);
    QFETCH(int, count);
    auto root = makeTree(tree);
    LinkItem *folder = ::find(root.get(), below);
    QVERIFY(folder);

    const EmptyFolderList found = FindEmptyFolders(folder);
    QStringList foundPaths;
    for (const LinkItem *item : found.topmost)
        foundPaths << pathOf(item);
    QCOMPARE(foundPaths, topmost);
    QCOMPARE(found.count, count);

    // Deleting the topmost folders takes exactly `count` folders and no link, and leaves nothing to find.
    const QStringList before = allPaths(root.get());
    DeleteFolders(found.topmost);
    const QStringList after = allPaths(root.get());
    QCOMPARE(after.size(), before.size() - count);
    for (const QString &path : before) {
        if (!path.endsWith('/'))
            QVERIFY2(after.contains(path), qPrintable(path));
    }
    QVERIFY(::find(root.get(), below));
    QCOMPARE(FindEmptyFolders(folder).count, 0);
}

void TestEmptyFolders::deepChain()
{
    // Far deeper than a recursive walk could go.
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *top = addFolder(*root, "Top");
    LinkItem *folder = top;
    for (int depth = 1; depth < 200000; ++depth)
        folder = addFolder(*folder, "F");
    addLink(*root, "Keep", "https://example.org/");

    EmptyFolderList found = FindEmptyFolders(root.get());
    QCOMPARE(found.topmost, std::vector<LinkItem *> {top});
    QCOMPARE(found.count, 200000);
    DeleteFolders(found.topmost);
    QCOMPARE(root->Children.Count(), 1);

    // With a link at the bottom, nothing in the chain is empty.
    top = addFolder(*root, "Top");
    folder = top;
    for (int depth = 1; depth < 200000; ++depth)
        folder = addFolder(*folder, "F");
    addLink(*folder, "Bottom", "https://example.org/");
    found = FindEmptyFolders(root.get());
    QCOMPARE(found.count, 0);
}

void TestEmptyFolders::manySiblingsAmongLinks()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    std::vector<std::unique_ptr<LinkItem>> children;
    for (int i = 0; i < 60000; ++i) {
        const std::string name = std::string("N").append(std::to_string(100000 + i));
        children.push_back(i % 3 ? LinkItem::MakeFolder(name) : LinkItem::MakeLink(name, "https://example.org/"));
    }
    root->Children.InsertSortedBatch(std::move(children));

    const EmptyFolderList found = FindEmptyFolders(root.get());
    QCOMPARE(found.count, 40000);
    DeleteFolders(found.topmost);
    QCOMPARE(root->Children.Count(), 20000);
    for (int i = 0; i < root->Children.Count(); ++i) {
        const LinkItem *link = root->Children.Get(i);
        QVERIFY(!link->isFolder());
        QCOMPARE(link->Name, std::string("N").append(std::to_string(100000 + 3 * i)));
        QCOMPARE(link->Parent, root.get());
    }
}

QTEST_GUILESS_MAIN(TestEmptyFolders)
#include "tst_emptyfolders.moc"
