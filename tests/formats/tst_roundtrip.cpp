// Every format written and read back by our own reader keeps what the format carries.
#include "FormatFixtures.h"

#include "formats/FavoritesWriter.h"
#include "formats/FormatCommands.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

using namespace FormatFixtures;

Q_DECLARE_METATYPE(BookmarkFormat)

namespace {

// What a Favorites folder gives back: names as the writer makes them safe and numbers them, links with
// their URLs and nothing else.
std::unique_ptr<LinkItem> asFavorites(const LinkItem &folder)
{
    auto copy = LinkItem::MakeFolder(folder.Name);
    std::vector<std::pair<const LinkItem *, LinkItem *>> pending {{&folder, copy.get()}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        QSet<QString> taken;
        for (const auto &child : from->Children) {
            const QString base = FavoritesWriter::safeFileName(TextCodec::toDisplay(child->Name));
            const QString extension = child->isFolder() ? QString() : QStringLiteral(".url");
            QString name = base;
            for (int n = 2; taken.contains((name + extension).toLower()); ++n)
                name = base + QStringLiteral(" (%1)").arg(n);
            taken.insert((name + extension).toLower());
            auto item = child->isFolder() ? LinkItem::MakeFolder(TextCodec::fromDisplay(name))
                                          : LinkItem::MakeLink(TextCodec::fromDisplay(name), child->Url);
            LinkItem *raw = item.get();
            to->Children.InsertSorted(std::move(item));
            pending.emplace_back(child.get(), raw);
        }
    }
    return copy;
}

// What a hotlist gives back: names and URLs without the blanks around them (a hotlist line has no way to
// keep them), every other field as it was.
std::unique_ptr<LinkItem> asHotlist(const LinkItem &folder)
{
    auto copy = LinkItem::MakeFolder(folder.Name);
    std::vector<std::pair<const LinkItem *, LinkItem *>> pending {{&folder, copy.get()}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        for (const auto &child : from->Children) {
            const std::string name = TextCodec::toDisplay(child->Name).trimmed().toStdString();
            auto item = child->isFolder()
                ? LinkItem::MakeFolder(name)
                : LinkItem::MakeLink(name, QByteArray::fromStdString(child->Url.str()).trimmed().toStdString());
            item->Description = child->Description;
            item->Visits = child->Visits;
            item->Rating = child->Rating;
            item->LastVisit = child->LastVisit;
            LinkItem *raw = item.get();
            to->Children.InsertSorted(std::move(item));
            pending.emplace_back(child.get(), raw);
        }
    }
    return copy;
}

std::unique_ptr<LinkItem> deepChain(int depth)
{
    auto root = LinkItem::MakeFolder("root");
    LinkItem *folder = root.get();
    for (int i = 0; i < depth; ++i) {
        auto next = LinkItem::MakeFolder("f");
        next->Children.InsertSorted(LinkItem::MakeLink("l", "u"));
        LinkItem *raw = next.get();
        folder->Children.InsertSorted(std::move(next));
        folder = raw;
    }
    return root;
}

} // namespace

class TestRoundTrip : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void roundTrip_data();
    void roundTrip();
    void subfolderIntoFilledFolder_data();
    void subfolderIntoFilledFolder();
    void lineBreaks_data();
    void lineBreaks();
    void deepNesting_data();
    void deepNesting();

private:
    QString pathFor(BookmarkFormat format) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRoundTrip::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestRoundTrip::pathFor(BookmarkFormat format) const
{
    const BookmarkFormatInfo &info = BookmarkFormatInfo::of(format);
    return m_dir->filePath(info.isDirectory ? QStringLiteral("out") : QStringLiteral("out.") + info.defaultSuffix);
}

void TestRoundTrip::roundTrip_data()
{
    QTest::addColumn<BookmarkFormat>("format");
    QTest::addColumn<bool>("exactLineBreaks");
    QTest::newRow("qmf") << BookmarkFormat::Native << true;
    QTest::newRow("html") << BookmarkFormat::BrowserHtml << true;
    QTest::newRow("opera") << BookmarkFormat::OperaHotlist << false;
    QTest::newRow("xbel") << BookmarkFormat::Xbel << true;
    QTest::newRow("favorites") << BookmarkFormat::Favorites << true;
}

void TestRoundTrip::roundTrip()
{
    QFETCH(BookmarkFormat, format);
    QFETCH(bool, exactLineBreaks);
    const auto collection = richCollection();
    const ItemList::Kinds top = collection->Children.CountKinds();
    QVERIFY(top.folders > 0);

    const QString path = pathFor(format);
    const ExportReport written = FormatCommands::exportTo(format, path, *collection);
    QVERIFY2(written.ok(), qPrintable(written.errorString()));
    QCOMPARE(written.folders, 5);
    QCOMPARE(written.links, 11);

    auto imported = LinkItem::MakeFolder("Target");
    imported->Visits = 9;
    const ImportReport read = FormatCommands::importFrom(format, path, *imported);
    QVERIFY2(read.ok(), qPrintable(read.errorString()));
    QCOMPARE(read.folders, 5);
    QCOMPARE(read.links, 11);
    QCOMPARE(imported->Name, std::string("Target")); // the target keeps its own fields
    QCOMPARE(imported->Visits, 9);
    checkSound(*imported, 5, 11);

    if (format == BookmarkFormat::Favorites) {
        compareTrees(*asFavorites(*collection), *imported, {false, false, false, true});
        return;
    }
    if (format == BookmarkFormat::OperaHotlist) {
        compareTrees(*asHotlist(*collection), *imported, {true, true, true, exactLineBreaks});
        return;
    }
    compareTrees(*collection, *imported, {true, true, true, exactLineBreaks});
}

void TestRoundTrip::subfolderIntoFilledFolder_data()
{
    roundTrip_data();
}

// Exporting one folder writes what is below it; importing adds to what the target holds and, a second
// time, adds everything again.
void TestRoundTrip::subfolderIntoFilledFolder()
{
    QFETCH(BookmarkFormat, format);
    const auto collection = richCollection();
    const LinkItem *news = nullptr;
    for (const auto &child : collection->Children)
        news = child->Name == "News" ? child.get() : news;
    QVERIFY(news);
    const QString path = pathFor(format);
    QVERIFY(FormatCommands::exportTo(format, path, *news).ok());

    auto target = LinkItem::MakeFolder("Target");
    target->Children.InsertSorted(LinkItem::MakeLink("Example", "https://already.example/"));
    target->Children.InsertSorted(LinkItem::MakeLink("Zebra", "https://zebra.example/"));
    for (int time = 1; time <= 2; ++time) {
        const ImportReport read = FormatCommands::importFrom(format, path, *target);
        QVERIFY2(read.ok(), qPrintable(read.errorString()));
        QCOMPARE(read.folders, 3);
        QCOMPARE(read.links, 3);
    }
    checkSound(*target, 6, 8);
    const QString names = outline(*target).section(u'\n', 0, 3);
    QCOMPARE(names, QStringLiteral("Deeper/\n  Deepest/\n    Bottom <http://bottom.example/>\nDeeper/"));
    // The entry that was there first stays first among its namesakes.
    int example = 0;
    while (target->Children.Get(example)->Name != "Example")
        ++example;
    QCOMPARE(target->Children.Get(example)->Url, std::string("https://already.example/"));
}

void TestRoundTrip::lineBreaks_data()
{
    QTest::addColumn<BookmarkFormat>("format");
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray mixed = "a\r\nb\nc\rd\r\n\r\n";
    QTest::newRow("html") << BookmarkFormat::BrowserHtml << mixed << mixed;
    QTest::newRow("xbel") << BookmarkFormat::Xbel << mixed << mixed;
    QTest::newRow("qmf") << BookmarkFormat::Native << mixed << mixed;
    // The hotlist stores every line break as 02 02.
    QTest::newRow("opera") << BookmarkFormat::OperaHotlist << mixed << QByteArray("a\nb\nc\nd\n\n");
}

void TestRoundTrip::lineBreaks()
{
    QFETCH(BookmarkFormat, format);
    QFETCH(QByteArray, description);
    QFETCH(QByteArray, expected);
    auto folder = LinkItem::MakeFolder("F");
    auto item = LinkItem::MakeLink("Name\nwith a line break", "https://example.org/");
    item->Description = description.toStdString();
    folder->Children.InsertSorted(std::move(item));
    const QString path = pathFor(format);
    QVERIFY(FormatCommands::exportTo(format, path, *folder).ok());
    if (format == BookmarkFormat::OperaHotlist)
        QVERIFY(readFile(path).contains("DESCRIPTION=a\x02\x02"
                                        "b\x02\x02"
                                        "c\x02\x02"
                                        "d\x02\x02\x02\x02\n"));
    auto target = LinkItem::MakeFolder("T");
    QVERIFY(FormatCommands::importFrom(format, path, *target).ok());
    QCOMPARE(target->Children.Count(), 1);
    QCOMPARE(QByteArray::fromStdString(target->Children.Get(0)->Description.str()), expected);
}

void TestRoundTrip::deepNesting_data()
{
    QTest::addColumn<BookmarkFormat>("format");
    QTest::addColumn<int>("depth");
    QTest::newRow("html") << BookmarkFormat::BrowserHtml << 50000;
    QTest::newRow("opera") << BookmarkFormat::OperaHotlist << 50000;
    QTest::newRow("xbel") << BookmarkFormat::Xbel << 50000;
    // Paths of the file system end far sooner.
    QTest::newRow("favorites") << BookmarkFormat::Favorites << 100;
}

// Nesting far deeper than a call stack could take is written, read and torn down.
void TestRoundTrip::deepNesting()
{
    QFETCH(BookmarkFormat, format);
    QFETCH(int, depth);
    const auto chain = deepChain(depth);
    const QString path = pathFor(format);
    const ExportReport written = FormatCommands::exportTo(format, path, *chain);
    QVERIFY2(written.ok(), qPrintable(written.errorString()));
    if (!BookmarkFormatInfo::of(format).isDirectory)
        QVERIFY2(QFileInfo(path).size() < qint64(depth) * 400, "the file grows faster than the items");
    auto target = LinkItem::MakeFolder("T");
    const ImportReport read = FormatCommands::importFrom(format, path, *target);
    QVERIFY2(read.ok(), qPrintable(read.errorString()));
    QCOMPARE(read.folders, depth);
    QCOMPARE(read.links, depth);
    int reached = 0;
    for (const LinkItem *item = target.get(); item->Children.Count() > 0; item = item->Children.Get(0))
        reached += item->Children.Get(0)->isFolder() ? 1 : 0;
    QCOMPARE(reached, depth);
}

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
