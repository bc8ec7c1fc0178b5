#include "common/TreeBuilders.h"
#include "store/CollectionDocument.h"
#include "store/DuplicateSearch.h"
#include "store/Duplicates.h"
#include "store/FolderMerge.h"
#include "store/LinkItem.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTest>

using namespace TreeBuilders;

namespace {

// A tree from lines below the root, parents first: "A/B/" is a folder, "A/x=URL|visits|lastVisit|description"
// a link (the fields after the URL may be left out).
std::unique_ptr<LinkItem> makeTree(const QStringList &lines)
{
    auto root = LinkItem::MakeFolder("Quillmark");
    for (const QString &line : lines) {
        const QString path = line.section('=', 0, 0);
        const QStringList parts = path.split('/');
        LinkItem *parent = root.get();
        const qsizetype depth = parts.size() - (path.endsWith('/') ? 2 : 1);
        for (qsizetype i = 0; i < depth; ++i) {
            LinkItem *next = nullptr;
            for (const auto &child : parent->Children) {
                if (child->isFolder() && child->Name == parts[i].toStdString())
                    next = child.get();
            }
            Q_ASSERT(next);
            parent = next;
        }
        if (path.endsWith('/')) {
            addFolder(*parent, parts[depth].toStdString());
            continue;
        }
        const QStringList fields = line.section('=', 1).split('|');
        LinkItem *link = addLink(*parent, parts[depth].toStdString(), fields.value(0).toStdString());
        link->Visits = fields.value(1).toInt();
        link->LastVisit = fields.value(2).toDouble();
        link->Description = fields.value(3).toStdString();
    }
    return root;
}

QString pathOf(const LinkItem *item)
{
    QStringList names;
    for (; item->Parent; item = item->Parent)
        names.prepend(QString::fromStdString(item->Name.str()));
    return names.join('/');
}

// Every item below the root in tree order, in the form makeTree reads.
QStringList lines(const LinkItem *folder)
{
    QStringList out;
    for (const auto &child : folder->Children) {
        if (child->isFolder()) {
            out << pathOf(child.get()) + '/';
            out << lines(child.get());
        } else {
            out << QStringLiteral("%1=%2|%3|%4|%5")
                       .arg(pathOf(child.get()), QString::fromStdString(child->Url.str()))
                       .arg(child->Visits)
                       .arg(child->LastVisit)
                       .arg(QString::fromStdString(child->Description.str()));
        }
    }
    return out;
}

QStringList pathsOf(const std::vector<LinkItem *> &items)
{
    QStringList out;
    for (const LinkItem *item : items)
        out << pathOf(item);
    return out;
}

} // namespace

class TestDuplicates : public QObject
{
    Q_OBJECT
private slots:
    void groups_data();
    void groups();
    void keeper_data();
    void keeper();
    void cleanUp_data();
    void cleanUp();
    void cleanUpIsOneStep();
    void manyLinks();
    void searchInSlices_data();
    void searchInSlices();
    void folderMerge_data();
    void folderMerge();
    void folderMergeIsLinear();
};

void TestDuplicates::groups_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("below");
    QTest::addColumn<bool>("ignoreFragment");
    QTest::addColumn<QStringList>("expected"); // each group's paths joined by ","

    const QStringList tree {"A/",
                            "B/",
                            "A/one=http://example.org/",
                            "A/two=http://EXAMPLE.org",
                            "B/three=http://example.org/#x",
                            "B/four=https://other.example/",
                            "five=https://other.example:443/",
                            "six=not a URL",
                            "seven=not a URL",
                            "eight="};
    QTest::newRow("whole collection") << tree << QString() << false << QStringList {"A/one,A/two", "B/four,five"};
    QTest::newRow("fragment ignored") << tree << QString() << true
                                      << QStringList {"A/one,A/two,B/three", "B/four,five"};
    QTest::newRow("below a folder") << tree << QStringLiteral("B") << true << QStringList {};
    QTest::newRow("below A") << tree << QStringLiteral("A") << false << QStringList {"A/one,A/two"};
}

void TestDuplicates::groups()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, below);
    QFETCH(bool, ignoreFragment);
    QFETCH(QStringList, expected);
    auto root = makeTree(tree);
    const LinkItem *folder = root.get();
    if (!below.isEmpty()) {
        for (const auto &child : root->Children) {
            if (child->Name == below.toStdString())
                folder = child.get();
        }
    }
    QStringList found;
    for (const Duplicates::Group &group : Duplicates::find(folder, UrlKey({ignoreFragment, false, false})))
        found << pathsOf(group.links).join(',');
    QCOMPARE(found, expected);
}

void TestDuplicates::keeper_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("kept");

    QTest::newRow("most visits") << QStringList {"a=http://x.example/|1|500", "b=http://x.example/|3|10"}
                                 << QStringLiteral("b");
    QTest::newRow("visits tie: latest visit")
        << QStringList {"a=http://x.example/|3|10", "b=http://x.example/|3|20"} << QStringLiteral("b");
    QTest::newRow("visits and visit tie: shallowest")
        << QStringList {"A/", "A/B/", "A/B/a=http://x.example/|2|7", "A/b=http://x.example/|2|7",
                        "c=http://x.example/|1|9"}
        << QStringLiteral("A/b");
    QTest::newRow("all tie: first in tree order")
        << QStringList {"A/", "B/", "B/a=http://x.example/|2|7", "A/z=http://x.example/|2|7"} << QStringLiteral("A/z");
    QTest::newRow("same folder: first in sort order")
        << QStringList {"m=http://x.example/", "b=http://x.example/", "k=http://x.example/"} << QStringLiteral("b");
}

void TestDuplicates::keeper()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, kept);
    auto root = makeTree(tree);
    const auto groups = Duplicates::find(root.get(), UrlKey());
    QCOMPARE(groups.size(), size_t(1));
    QCOMPARE(pathOf(Duplicates::keeper(groups.front().links)), kept);
}

void TestDuplicates::cleanUp_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("visits added, latest visit kept")
        << QStringList {"a=http://x.example/|4|10|mine", "b=http://x.example/|1|30|theirs", "c=http://x.example/|2|20"}
        << QStringList {"a=http://x.example/|7|30|mine"};
    QTest::newRow("empty description takes the first other")
        << QStringList {"a=http://x.example/|9|1|", "b=http://x.example/|0|0|", "c=http://x.example/|0|0|from c",
                        "d=http://x.example/|0|0|from d"}
        << QStringList {"a=http://x.example/|9|1|from c"};
    QTest::newRow("groups apart, others untouched")
        << QStringList {"A/",
                        "A/a=http://x.example/|1|1|",
                        "b=http://x.example/|0|0|",
                        "c=http://y.example/|1|1|",
                        "d=http://y.example/|1|2|",
                        "e=http://z.example/|5|5|z"}
        << QStringList {"A/", "A/a=http://x.example/|1|1|", "d=http://y.example/|2|2|", "e=http://z.example/|5|5|z"};
}

void TestDuplicates::cleanUp()
{
    QFETCH(QStringList, tree);
    QFETCH(QStringList, after);
    auto root = makeTree(tree);
    CollectionDocument document(root.get());
    std::vector<std::vector<LinkItem *>> groups;
    for (Duplicates::Group &group : Duplicates::find(root.get(), UrlKey()))
        groups.push_back(group.links);
    document.removeItems(Duplicates::cleanUp(document, groups));
    QCOMPARE(lines(root.get()), after);
}

void TestDuplicates::cleanUpIsOneStep()
{
    const QStringList tree {"A/", "A/a=http://x.example/|1|5|", "b=http://x.example/|4|2|b",
                            "c=http://x.example/|0|9|"};
    auto root = makeTree(tree);
    const QStringList before = lines(root.get());
    CollectionDocument document(root.get());
    std::vector<std::vector<LinkItem *>> groups;
    for (Duplicates::Group &group : Duplicates::find(root.get(), UrlKey()))
        groups.push_back(group.links);
    document.beginCommand(QStringLiteral("Clean Up"));
    document.removeItems(Duplicates::cleanUp(document, groups));
    document.endCommand();
    QCOMPARE(lines(root.get()), QStringList({"A/", "b=http://x.example/|5|9|b"}));
    document.undo();
    QCOMPARE(lines(root.get()), before);
    QVERIFY(!document.canUndo());
}

void TestDuplicates::manyLinks()
{
    // Enough links that many hashes share a slot: every duplicate is found, and nothing else.
    auto root = LinkItem::MakeFolder("Quillmark");
    for (int i = 0; i < 20000; ++i)
        addLink(*root, "n", QStringLiteral("http://h%1.example/p").arg(i % 15000).toStdString());
    const auto groups = Duplicates::find(root.get(), UrlKey());
    QCOMPARE(groups.size(), size_t(5000));
    QCOMPARE(Duplicates::removedCount(groups), 5000);
    for (const Duplicates::Group &group : groups) {
        QCOMPARE(group.links.size(), size_t(2));
        QCOMPARE(group.links[0]->Url.view(), group.links[1]->Url.view());
    }
}

void TestDuplicates::searchInSlices_data()
{
    QTest::addColumn<int>("folders");
    QTest::addColumn<int>("linksPerFolder");
    QTest::addColumn<int>("repeats"); // links in a row that share an address

    QTest::newRow("no links") << 0 << 0 << 2;
    QTest::newRow("one link") << 1 << 1 << 2;
    QTest::newRow("each once") << 4 << 5000 << 1;
    QTest::newRow("pairs") << 20 << 1000 << 2;
    QTest::newRow("threes across folders") << 20 << 1000 << 3;
    QTest::newRow("all alike") << 3 << 3000 << 9000;
}

void TestDuplicates::searchInSlices()
{
    // However often the search stops, it finds what one pass finds, in the same order.
    QFETCH(int, folders);
    QFETCH(int, linksPerFolder);
    QFETCH(int, repeats);
    auto root = LinkItem::MakeFolder("Quillmark");
    int made = 0;
    for (int f = 0; f < folders; ++f) {
        std::vector<std::unique_ptr<LinkItem>> links;
        for (int i = 0; i < linksPerFolder; ++i, ++made)
            links.push_back(LinkItem::MakeLink("n",
                                               QStringLiteral("http://h%1.example/%2")
                                                   .arg(made / repeats)
                                                   .arg(QLatin1String(made % 3 ? "" : "#f"))
                                                   .toStdString()));
        addFolder(*root, QStringLiteral("F%1").arg(f, 2, 10, QLatin1Char('0')).toStdString())
            ->Children.InsertSortedBatch(std::move(links));
    }
    const UrlKey key({true, false, false});
    QStringList whole;
    for (const Duplicates::Group &group : Duplicates::find(root.get(), key))
        whole << QString::fromStdString(group.url) + ' ' + pathsOf(group.links).join(',');
    DuplicateSearch search(root.get(), key);
    int slices = 1;
    while (!search.step(QDeadlineTimer(0)))
        ++slices;
    QVERIFY(search.done());
    QStringList sliced;
    for (const Duplicates::Group &group : search.takeGroups())
        sliced << QString::fromStdString(group.url) + ' ' + pathsOf(group.links).join(',');
    QCOMPARE(sliced, whole);
    // A slice stops at its deadline: a large collection takes many.
    QVERIFY2(slices > made / 4096, qPrintable(QString::number(slices)));
    QCOMPARE(whole.size(), repeats < 2 ? 0 : made / repeats + (made % repeats >= 2 ? 1 : 0));
}

void TestDuplicates::folderMerge_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<int>("folders");
    QTest::addColumn<int>("links");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("three levels, case and blanks")
        << QStringList {"Arduino/",
                        " arduino /",
                        "ARDUINO/",
                        "Arduino/Boards/",
                        " arduino /boards/",
                        "ARDUINO/BOARDS /",
                        "Arduino/Boards/Uno/",
                        "ARDUINO/BOARDS /uno/",
                        "Arduino/Boards/Uno/pins=http://pins.example/|1|1|",
                        "ARDUINO/BOARDS /uno/pins=http://PINS.example|2|3|",
                        "ARDUINO/BOARDS /uno/other=http://pins.example/|0|0|",
                        " arduino /boards/shield=http://shield.example/|0|0|"}
        // " arduino " sorts first (a blank before letters), "BOARDS " before "Boards" before "boards".
        << 5 << 1
        << QStringList {" arduino /",
                        " arduino /BOARDS /",
                        " arduino /BOARDS /Uno/",
                        " arduino /BOARDS /Uno/other=http://pins.example/|0|0|",
                        " arduino /BOARDS /Uno/pins=http://PINS.example|3|3|",
                        " arduino /BOARDS /shield=http://shield.example/|0|0|"};
    QTest::newRow("different names stay")
        << QStringList {"Arduino/", "Arduinos/", "Arduino/a=http://a.example/", "Arduinos/a=http://a.example/"} << 0
        << 0
        << QStringList {"Arduino/", "Arduino/a=http://a.example/|0|0|", "Arduinos/",
                        "Arduinos/a=http://a.example/|0|0|"};
    QTest::newRow("identical links in an unmerged folder stay")
        << QStringList {"A/", "A/x=http://a.example/", "A/x=http://a.example/"} << 0 << 0
        << QStringList {"A/", "A/x=http://a.example/|0|0|", "A/x=http://a.example/|0|0|"};
    QTest::newRow("same URL, other name stays")
        << QStringList {"A/", "a/", "A/x=http://a.example/", "a/y=http://a.example/"} << 1 << 0
        << QStringList {"A/", "A/x=http://a.example/|0|0|", "A/y=http://a.example/|0|0|"};
}

void TestDuplicates::folderMerge()
{
    QFETCH(QStringList, tree);
    QFETCH(int, folders);
    QFETCH(int, links);
    QFETCH(QStringList, after);
    auto root = makeTree(tree);
    const QStringList before = lines(root.get());
    CollectionDocument document(root.get());
    const FolderMergePlan plan = FolderMergePlan::of(root.get(), UrlKey());
    QCOMPARE(plan.folderCount(), folders);
    QCOMPARE(plan.linkCount(), links);
    document.beginCommand(QStringLiteral("Merge Duplicate Folders"));
    QCOMPARE(ApplyFolderMerge(document, plan), links);
    document.endCommand();
    QCOMPARE(lines(root.get()), after);
    if (!plan.empty()) {
        const QByteArray merged = nativeBytes(*root);
        document.undo();
        QCOMPARE(lines(root.get()), before);
        document.redo();
        QCOMPARE(nativeBytes(*root), merged);
        document.undo();
        QCOMPARE(lines(root.get()), before);
    }
}

// Two folders that merge ("A" and "a") full of links of one name, one in ten of those in "a" the same page as
// one in "A": twice the links take about twice the time, not four times.
void TestDuplicates::folderMergeIsLinear()
{
    const auto make = [](int links) {
        auto root = LinkItem::MakeFolder("Quillmark");
        for (const char *name : {"A", "a"}) {
            std::vector<std::unique_ptr<LinkItem>> children;
            for (int i = 0; i < links / 2; ++i) {
                const int page = *name == 'a' && i % 10 != 0 ? i + links : i;
                children.push_back(LinkItem::MakeLink(
                    "Untitled", "https://site" + std::to_string(i % 997) + ".example/page/" + std::to_string(page)));
            }
            addFolder(*root, name)->Children.InsertSortedBatch(std::move(children));
        }
        return root;
    };
    // The fastest of several runs, the two sizes in turn, so that what else the machine does slows both alike.
    const std::unique_ptr<LinkItem> roots[] = {make(8000), make(16000)};
    double fastest[] = {1e9, 1e9};
    for (int run = 0; run < 7; ++run) {
        for (int size = 0; size < 2; ++size) {
            QElapsedTimer clock;
            clock.start();
            const FolderMergePlan plan = FolderMergePlan::of(roots[size].get(), UrlKey());
            fastest[size] = std::min(fastest[size], clock.nsecsElapsed() / 1e6);
            QCOMPARE(plan.folderCount(), 1);
            QCOMPARE(plan.linkCount(), (8000 << size) / 20);
        }
    }
    QVERIFY2(fastest[1] < 3 * fastest[0], qPrintable(QStringLiteral("%1 ms, %2 ms").arg(fastest[0]).arg(fastest[1])));
}

QTEST_GUILESS_MAIN(TestDuplicates)
#include "tst_duplicates.moc"
