#include "FormatFixtures.h"

#include "store/DateConverter.h"
#include "store/TextCodec.h"

#include <QFile>
#include <QTest>

#include <cmath>
#include <utility>
#include <vector>

namespace FormatFixtures {

namespace {

LinkItem *add(LinkItem &parent, std::unique_ptr<LinkItem> item)
{
    LinkItem *raw = item.get();
    parent.Children.InsertSorted(std::move(item));
    return raw;
}

LinkItem *link(LinkItem &parent, std::string name, std::string url, std::string description = {}, int visits = 0,
               int rating = 0, double lastVisit = 0)
{
    LinkItem *item = add(parent, LinkItem::MakeLink(std::move(name), std::move(url)));
    item->Description = std::move(description);
    item->Visits = visits;
    item->Rating = static_cast<std::uint8_t>(rating);
    item->LastVisit = lastVisit;
    return item;
}

LinkItem *folder(LinkItem &parent, std::string name)
{
    return add(parent, LinkItem::MakeFolder(std::move(name)));
}

QString lineBreaksAsLineFeeds(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

QString where(const LinkItem &item)
{
    QStringList names;
    for (const LinkItem *at = &item; at && at->Parent; at = at->Parent)
        names.prepend(TextCodec::toDisplay(at->Name));
    return names.join(u'\\');
}

} // namespace

std::unique_ptr<LinkItem> richCollection()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *news = folder(*root, "News");
    news->Description = "Daily\nreading";
    news->Visits = 4;
    news->Rating = 2;
    news->LastVisit = 45123.5;
    link(*news, "Example", "https://example.org/?a=1&b=2", "Line one\nLine two\n  indented", 3, 4, 45000.123456);
    link(*news, "Example", "https://example.org/other");
    folder(*news, "Empty");
    LinkItem *deeper = folder(*news, "Deeper");
    LinkItem *deepest = folder(*deeper, "Deepest");
    link(*deepest, "Bottom", "http://bottom.example/", {}, 1, 0, 44197.999988);
    folder(*root, "Empty too");
    link(*root, "Caf\xc3\xa9 \xe2\x82\xac \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x93\x9a", "https://caf\xc3\xa9.example/",
         "\xc3\x9c"
         "ber alles",
         12, 1, 40000.25);
    link(*root, "Old \xe9t\xe9 \x80", "http://old.example/", "Windows \x93quoted\x94");
    link(*root, "<script>alert(1)</script>", "https://evil.example/\" onmouseover=\"alert(1)",
         "<b>not bold</b> & \"quoted\" 'single' </DL>", 2147483647, 5, 2.5);
    link(*root, "\" onmouseover=\"alert(2)", "javascript:alert(3)", "<!-- not a comment -->");
    link(*root, "Tom & Jerry's <Cartoons> &amp;", "https://t.example/?q=a&amp;b&lt=3", {}, 7, 3, 45500);
    link(*root, "  spaced name  ", "https://spaced.example/", "\n  leading and trailing blanks  \n");
    link(*root, "Twin", "https://twin.example/1", "first");
    link(*root, "Twin", "https://twin.example/2", "second");
    return root;
}

void compareTrees(const LinkItem &expected, const LinkItem &actual, const Kept &kept)
{
    std::vector<std::pair<const LinkItem *, const LinkItem *>> pending {{&expected, &actual}};
    while (!pending.empty()) {
        const auto [e, a] = pending.back();
        pending.pop_back();
        const QByteArray at = where(*e).toUtf8();
        QVERIFY2(e->Children.Count() == a->Children.Count(),
                 at + ": " + QByteArray::number(a->Children.Count()) + " entries instead of "
                     + QByteArray::number(e->Children.Count()));
        for (int i = 0; i < e->Children.Count(); ++i) {
            const LinkItem &x = *e->Children.Get(i);
            const LinkItem &y = *a->Children.Get(i);
            const QByteArray item = at + '\\' + TextCodec::toDisplay(x.Name).toUtf8();
            QCOMPARE(TextCodec::toDisplay(y.Name), TextCodec::toDisplay(x.Name));
            QVERIFY2(y.isFolder() == x.isFolder(), item);
            QVERIFY2(y.Parent == a, item);
            QVERIFY2(TextCodec::toDisplay(y.Url) == TextCodec::toDisplay(x.Url), item + ": " + y.Url.str().c_str());
            const bool fields = !x.isFolder() || kept.folderFields;
            if (kept.descriptions && fields) {
                QString want = TextCodec::toDisplay(x.Description);
                QString got = TextCodec::toDisplay(y.Description);
                if (!kept.exactLineBreaks) {
                    want = lineBreaksAsLineFeeds(want);
                    got = lineBreaksAsLineFeeds(got);
                }
                QVERIFY2(got == want, item + ": \"" + got.toUtf8() + "\"");
            }
            if (kept.numbers && fields) {
                QVERIFY2(y.Visits == x.Visits, item + ": visits " + QByteArray::number(y.Visits));
                QVERIFY2(y.Rating == x.Rating, item + ": rating " + QByteArray::number(y.Rating));
                const QDateTime want = DateConverter::toDateTime(x.LastVisit);
                const QDateTime got = DateConverter::toDateTime(y.LastVisit);
                QVERIFY2(want.isValid() == got.isValid(), item + ": last visit");
                if (want.isValid())
                    QVERIFY2(std::llabs(want.msecsTo(got)) <= 500,
                             item + ": last visit " + got.toString(Qt::ISODateWithMs).toUtf8() + " instead of "
                                 + want.toString(Qt::ISODateWithMs).toUtf8());
            } else if (!kept.numbers) {
                QVERIFY2(y.Visits == 0 && y.Rating == 0 && y.LastVisit == 0, item);
            }
            pending.emplace_back(&x, &y);
        }
    }
}

QString outline(const LinkItem &folder)
{
    QStringList lines;
    std::vector<std::pair<const LinkItem *, int>> pending;
    for (int i = folder.Children.Count() - 1; i >= 0; --i)
        pending.emplace_back(folder.Children.Get(i), 0);
    while (!pending.empty()) {
        const auto [item, depth] = pending.back();
        pending.pop_back();
        const QString name = TextCodec::toDisplay(item->Name);
        lines << QString(depth * 2, u' ')
                + (item->isFolder() ? name + u'/'
                                    : name + QStringLiteral(" <") + TextCodec::toDisplay(item->Url) + u'>');
        for (int i = item->Children.Count() - 1; i >= 0; --i)
            pending.emplace_back(item->Children.Get(i), depth + 1);
    }
    return lines.join(u'\n');
}

void checkSound(const LinkItem &root, int folders, int links)
{
    int seenFolders = 0;
    int seenLinks = 0;
    std::vector<const LinkItem *> pending {&root};
    while (!pending.empty()) {
        const LinkItem *item = pending.back();
        pending.pop_back();
        QVERIFY(item->Children.Owner() == item);
        const LinkItem *previous = nullptr;
        for (const auto &child : item->Children) {
            QVERIFY(child->Parent == item);
            QVERIFY(!previous || CompareNames(previous->Name, child->Name) <= 0);
            QVERIFY(child->Name.find('\0') == std::string::npos);
            QVERIFY(child->Name.find('\\') == std::string::npos);
            QVERIFY(child->isFolder() || child->Children.Count() == 0);
            ++(child->isFolder() ? seenFolders : seenLinks);
            previous = child.get();
            pending.push_back(child.get());
        }
    }
    QCOMPARE(seenFolders, folders);
    QCOMPARE(seenLinks, links);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qWarning() << "cannot read" << path;
    return file.readAll();
}

} // namespace FormatFixtures
