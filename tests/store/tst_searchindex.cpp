#include "common/TreeBuilders.h"
#include "store/ItemPath.h"
#include "store/LinkItem.h"
#include "store/SearchIndex.h"
#include "store/SubstringScan.h"
#include "store/TextCodec.h"
#include "store/TextFold.h"

#include <QRandomGenerator>
#include <QTest>

using namespace TreeBuilders;

Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {

LinkItem *addLink(LinkItem &parent, std::string name, std::string url, std::string description)
{
    LinkItem *link = TreeBuilders::addLink(parent, std::move(name), std::move(url));
    link->Description = std::move(description);
    return link;
}

QStringList names(const std::vector<LinkItem *> &items)
{
    QStringList result;
    for (const LinkItem *item : items)
        result << TextCodec::toDisplay(item->Name);
    return result;
}

// Quillmark
//   Recettes/
//     Caf\u00e9 cr\u00e8me      link, "Le meilleur \u00e9t\u00e9"
//     O\ufb03ce                 link (a ligature)
//     Tea                       link, https://tea.example/green, "Green tea notes"
//   Work/
//     Archive \u00e9t\u00e9/    folder
//     Quarterly report          link, https://intra.example/q3, two lines of description
//   Bytes Ni\xf1o \xc9T\xc9     link, Windows-1252 bytes (sorts first by its bytes)
std::unique_ptr<LinkItem> sampleTree()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *recettes = addFolder(*root, "Recettes");
    addLink(*recettes, "Caf\xc3\xa9 cr\xc3\xa8me", "https://example.org/cafe", "Le meilleur \xc3\xa9t\xc3\xa9");
    addLink(*recettes, std::string("O\xef\xac\x83") + "ce", "https://office.example/", "");
    addLink(*recettes, "Tea", "https://tea.example/green", "Green tea notes");
    LinkItem *work = addFolder(*root, "Work");
    addFolder(*work, "Archive \xc3\xa9t\xc3\xa9");
    addLink(*work, "Quarterly report", "https://intra.example/q3", "numbers\nfor the board");
    addLink(*root, "Bytes Ni\xf1o \xc9T\xc9", "http://bytes.example/", "");
    return root;
}

const QString Cafe = QStringLiteral("Caf\u00e9 cr\u00e8me");
const QString Office = QStringLiteral("O\ufb03ce");
const QString Archive = QStringLiteral("Archive \u00e9t\u00e9");
const QString Bytes = QStringLiteral("Bytes Ni\u00f1o \u00c9T\u00c9");

// What a search must find, worked out the slow way: every word inside one folded field.
std::vector<LinkItem *> reference(const LinkItem &root, const QString &query)
{
    const std::vector<std::string> words = TextFold::queryWords(query);
    std::vector<LinkItem *> found;
    std::vector<LinkItem *> pending;
    for (auto it = root.Children.end(); it != root.Children.begin();)
        pending.push_back((--it)->get());
    while (!pending.empty() && !words.empty()) {
        LinkItem *item = pending.back();
        pending.pop_back();
        const std::string fields[] = {TextFold::foldStored(item->Name), TextFold::foldStored(item->Url),
                                      TextFold::foldStored(item->Description)};
        const bool all = std::all_of(words.begin(), words.end(), [&](const std::string &word) {
            return std::any_of(std::begin(fields), std::end(fields),
                               [&](const std::string &field) { return field.find(word) != std::string::npos; });
        });
        if (all)
            found.push_back(item);
        for (auto it = item->Children.end(); it != item->Children.begin();)
            pending.push_back((--it)->get());
    }
    return found;
}

// Few letters, so that words recur; some accented and some capital letters in both encodings.
const std::vector<std::string> AccentPieces {"a", "b", "c", "A", "B", " ", "\xc3\xa9", "\xc3\x89", "e", "E"};

std::string randomText(QRandomGenerator &random, int length, const std::vector<std::string> &pieces = AccentPieces)
{
    std::string text;
    for (int i = 0; i < length; ++i)
        text += pieces[random.bounded(static_cast<int>(pieces.size()))];
    return text;
}

} // namespace

class TestSearchIndex : public QObject
{
    Q_OBJECT
private slots:
    void wordRules_data();
    void wordRules();
    void resultsFollowChangesAfterInvalidate();
    void typingOnMatchesFreshSearches();
    void randomCollectionsMatchReference_data();
    void randomCollectionsMatchReference();
    void allLinksInTreeOrder();
    void substringScan_data();
    void substringScan();
    void paths_data();
    void paths();
    void deepPathIsShortened();
};

void TestSearchIndex::wordRules_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no accent finds accent") << "cafe" << QStringList {Cafe};
    QTest::newRow("capitals and accents") << QStringLiteral("\u00c9T\u00c9") << QStringList {Bytes, Cafe, Archive};
    QTest::newRow("capitals without accents") << "CAFE" << QStringList {Cafe};
    QTest::newRow("Windows-1252 bytes") << "nino" << QStringList {Bytes};
    QTest::newRow("ligature") << "office" << QStringList {Office};
    QTest::newRow("words in order") << "green tea" << QStringList {"Tea"};
    QTest::newRow("words in any order") << "tea green" << QStringList {"Tea"};
    QTest::newRow("words in different fields") << "q3 board quarterly" << QStringList {"Quarterly report"};
    QTest::newRow("every word must match") << "tea report" << QStringList {};
    QTest::newRow("no word across name and URL") << "teahttps" << QStringList {};
    QTest::newRow("no word across two items") << "eteoffice" << QStringList {};
    QTest::newRow("no word across description lines") << "numbersfor" << QStringList {};
    QTest::newRow("URL") << "intra.example" << QStringList {"Quarterly report"};
    QTest::newRow("folders match by name") << "archive" << QStringList {Archive};
    QTest::newRow("results in tree order")
        << "e" << QStringList {Bytes, "Recettes", Cafe, Office, "Tea", Archive, "Quarterly report"};
    QTest::newRow("the root is no result") << "quillmark" << QStringList {};
    QTest::newRow("blanks around words") << "  tea \t " << QStringList {"Tea"};
    QTest::newRow("blank query") << "   " << QStringList {};
    QTest::newRow("empty query") << "" << QStringList {};
}

void TestSearchIndex::wordRules()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    auto root = sampleTree();
    SearchIndex index(root.get());
    QCOMPARE(names(index.search(query)), expected);
    QCOMPARE(SearchIndex::hasWords(query), !query.trimmed().isEmpty());
}

void TestSearchIndex::resultsFollowChangesAfterInvalidate()
{
    auto root = sampleTree();
    SearchIndex index(root.get());
    QCOMPARE(names(index.search("tea")), QStringList {"Tea"});
    // The window hands over its root before every search: the same root keeps the index.
    index.setRoot(root.get());
    QVERIFY(!index.isStale());

    LinkItem *recettes = root->Children.Get(1);
    QCOMPARE(recettes->Name, std::string("Recettes"));
    recettes->Children.Remove(recettes->Children.Get(2));
    index.invalidate();
    QVERIFY(index.search("tea").empty());

    addLink(*root->Children.Get(2), "Teapot", "https://pots.example/", "");
    index.invalidate();
    QCOMPARE(names(index.search("tea")), QStringList {"Teapot"});

    LinkItem *report = root->Children.Get(2)->Children.Get(1);
    QCOMPARE(report->Name, std::string("Quarterly report"));
    report->Name = "Annual tea report";
    index.invalidate();
    QCOMPARE(names(index.search("tea")), (QStringList {"Annual tea report", "Teapot"}));
    QVERIFY(index.search("quarterly").empty());

    // A move changes the tree order of the results.
    LinkItem *work = root->Children.Get(2);
    QCOMPARE(work->Children.Get(2)->Name, std::string("Teapot"));
    work->Children.MoveTo(work->Children.Get(2), root->Children);
    index.invalidate();
    QCOMPARE(names(index.search("tea")), (QStringList {"Teapot", "Annual tea report"}));
    QCOMPARE(ItemPath::locationOf(report), QStringLiteral("Quillmark\\Work"));

    auto other = LinkItem::MakeFolder("Other");
    addLink(*other, "Elsewhere tea", "", "");
    index.setRoot(other.get());
    QCOMPARE(names(index.search("tea")), QStringList {"Elsewhere tea"});
    index.setRoot(nullptr);
    QVERIFY(index.search("tea").empty());
    QCOMPARE(index.itemCount(), 0);
}

void TestSearchIndex::typingOnMatchesFreshSearches()
{
    // Each step narrows, widens or replaces the previous query; the index reuses the previous results only
    // when that is sound.
    const QStringList steps {"t",    "te",   "tea",    "tea ",    "tea g", "tea gr", "tea", "e",    "e r",
                             "e re", "re e", "\u00e9", "\u00e9t", "x",     "xe",     "",    "cafe", "cafe creme"};
    auto root = sampleTree();
    SearchIndex typing(root.get());
    for (const QString &step : steps) {
        SearchIndex fresh(root.get());
        QCOMPARE(names(typing.search(step)), names(fresh.search(step)));
    }
}

void TestSearchIndex::randomCollectionsMatchReference_data()
{
    QTest::addColumn<std::vector<std::string>>("pieces");

    // Bytes next to letters that differ from them only in bit 0x20: "@" and "`", "[" and "{".
    QTest::newRow("ASCII") << std::vector<std::string> {"a", "b", "A", "B", " ", "@", "`", "[", "{"};
    QTest::newRow("accents") << AccentPieces;
    // Letters that fold to ASCII letters (the Kelvin sign, a ligature, sharp s, dotted capital I), Greek,
    // CJK, which folds to itself, and a Windows-1252 byte.
    QTest::newRow("other scripts") << std::vector<std::string> {
        "k",        "K",        "\xe2\x84\xaa", "f",    "i", "s", "S", "\xef\xac\x83", "\xc3\x9f", "\xc4\xb0",
        "\xce\x91", "\xce\xb1", "\xe6\x97\xa5", "\xe9", " "};
    std::vector<std::string> bytes;
    for (int byte = 1; byte < 256; ++byte)
        bytes.emplace_back(1, static_cast<char>(byte));
    QTest::newRow("any bytes") << bytes;
}

void TestSearchIndex::randomCollectionsMatchReference()
{
    // Whatever the texts hold, and whether or not the index keeps folded copies of them, a search finds what
    // folding every text and looking for every folded word finds.
    QFETCH(std::vector<std::string>, pieces);
    QRandomGenerator random(20240611);
    for (int round = 0; round < 20; ++round) {
        auto root = LinkItem::MakeFolder("Quillmark");
        std::vector<LinkItem *> folders {root.get()};
        for (int i = 0; i < 300; ++i) {
            LinkItem *parent = folders[random.bounded(static_cast<int>(folders.size()))];
            if (random.bounded(5) == 0) {
                folders.push_back(addFolder(*parent, randomText(random, random.bounded(8), pieces)));
            } else {
                addLink(*parent, randomText(random, random.bounded(12), pieces),
                        randomText(random, random.bounded(20), pieces), randomText(random, random.bounded(40), pieces));
            }
        }
        SearchIndex index(root.get());
        QString query;
        for (int step = 0; step < 12; ++step) {
            // Mostly typing on, sometimes starting over.
            if (random.bounded(4) == 0)
                query.clear();
            query += TextCodec::toDisplay(randomText(random, 1, pieces));
            QCOMPARE(names(index.search(query)), names(reference(*root, query)));
        }
    }
}

void TestSearchIndex::allLinksInTreeOrder()
{
    auto root = sampleTree();
    SearchIndex index(root.get());
    const QStringList links {Bytes, Cafe, Office, "Tea", "Quarterly report"};
    QCOMPARE(names(index.allLinks()), links);
    QVERIFY(index.isStale());
    QCOMPARE(index.itemCount(), 8);
    QVERIFY(!index.isStale());
    QCOMPARE(names(index.allLinks()), links);
}

void TestSearchIndex::substringScan_data()
{
    QTest::addColumn<int>("haystackLength");
    QTest::addColumn<int>("needleLength");
    QTest::addColumn<bool>("caseless");

    for (const bool caseless : {false, true}) {
        for (const int haystack : {0, 1, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100, 257}) {
            for (const int needle : {1, 2, 3, 16, 33, 60}) {
                QTest::addRow("%s%d in %d", caseless ? "caseless, " : "", needle, haystack)
                    << haystack << needle << caseless;
            }
        }
    }
}

void TestSearchIndex::substringScan()
{
    // Every place of the needle, near the start, the end and block edges, found exactly where
    // std::string_view::find finds it (in the haystack with A to Z in lower case, for the caseless scan), and
    // never beyond the end of the buffer. The caseless scan sees capitals, bytes that differ from a letter
    // only in bit 0x20 or 0x80, and needles with capitals, which it never finds.
    QFETCH(int, haystackLength);
    QFETCH(int, needleLength);
    QFETCH(bool, caseless);
    static const char Plain[] = "ab";
    static const char Mixed[] = "abAB@`\xc1\xe1";
    const char *alphabet = caseless ? Mixed : Plain;
    const int letters = caseless ? 8 : 2;
    QRandomGenerator random(static_cast<quint32>(haystackLength * 100 + needleLength));
    for (int round = 0; round < 60; ++round) {
        std::string haystack(static_cast<size_t>(haystackLength), 'a');
        for (char &c : haystack)
            c = alphabet[random.bounded(letters)];
        std::string needle(static_cast<size_t>(needleLength), 'a');
        for (char &c : needle)
            c = alphabet[random.bounded(caseless && round % 5 ? 2 : letters)];
        if (round % 3 == 0 && haystackLength >= needleLength) {
            const auto at = static_cast<size_t>(random.bounded(haystackLength - needleLength + 1));
            haystack.replace(at, needle.size(), needle);
            for (size_t i = at; caseless && i < at + needle.size(); ++i)
                haystack[i]
                    = haystack[i] >= 'a' && haystack[i] <= 'z' ? static_cast<char>(haystack[i] - 32) : haystack[i];
        }
        std::string lower = haystack;
        for (char &c : lower)
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        // The buffer ends exactly at the haystack, so that a read past it shows under the sanitizers.
        std::vector<char> buffer(haystack.begin(), haystack.end());
        const char *first = buffer.data();
        const char *last = first + buffer.size();
        for (size_t from = 0; from <= buffer.size(); from += 1 + from / 4) {
            const size_t expected = std::string_view(caseless ? lower : haystack).find(needle, from);
            const char *hit = caseless ? SubstringScan::findCaseless(first + from, last, needle)
                                       : SubstringScan::find(first + from, last, needle);
            QCOMPARE(hit ? static_cast<size_t>(hit - first) : std::string_view::npos, expected);
        }
    }
}

void TestSearchIndex::paths_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("path");

    QTest::newRow("root") << ""
                          << ""
                          << "Quillmark";
    QTest::newRow("link under the root") << "Bytes"
                                         << "Quillmark"
                                         << "Quillmark\\Bytes Ni\u00f1o \u00c9T\u00c9";
    QTest::newRow("folder") << "Work"
                            << "Quillmark"
                            << "Quillmark\\Work";
    QTest::newRow("in a folder") << "Work/Archive"
                                 << "Quillmark\\Work"
                                 << "Quillmark\\Work\\Archive \u00e9t\u00e9";
}

void TestSearchIndex::paths()
{
    QFETCH(QString, item);
    QFETCH(QString, location);
    QFETCH(QString, path);
    auto root = sampleTree();
    // Each step picks the child whose name starts with it.
    LinkItem *found = root.get();
    for (const QString &step : item.split('/', Qt::SkipEmptyParts)) {
        LinkItem *next = nullptr;
        for (const auto &child : found->Children) {
            if (TextCodec::toDisplay(child->Name).startsWith(step))
                next = child.get();
        }
        QVERIFY(next);
        found = next;
    }
    QCOMPARE(ItemPath::locationOf(found), location);
    QCOMPARE(ItemPath::pathOf(found), path);
}

void TestSearchIndex::deepPathIsShortened()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *folder = root.get();
    std::vector<QString> names {"Quillmark"};
    for (int depth = 1; depth <= 5000; ++depth) {
        folder = addFolder(*folder, std::string("F").append(std::to_string(depth)));
        names.push_back(QString::fromStdString(folder->Name.str()));
    }
    const QString path = ItemPath::pathOf(folder);
    QVERIFY2(path.startsWith(QStringLiteral("Quillmark\\\u2026\\")), qPrintable(path.left(40)));
    QVERIFY(path.endsWith("\\F4999\\F5000"));
    QVERIFY(path.size() <= ItemPath::MaxPathLength + 20);
    QCOMPARE(ItemPath::fromNames(names), path);
    QCOMPARE(ItemPath::locationOf(folder), ItemPath::pathOf(folder->Parent));

    // A path just short enough is whole.
    names.resize(ItemPath::MaxPathFolders);
    QVERIFY(!ItemPath::fromNames(names).contains(QChar(0x2026)));
}

QTEST_GUILESS_MAIN(TestSearchIndex)
#include "tst_searchindex.moc"
