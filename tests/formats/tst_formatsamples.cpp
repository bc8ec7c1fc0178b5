// Files in the shapes that browsers and desktops write import with their whole hierarchy; the hotlist
// and XBEL readers on damaged input.
#include "FormatFixtures.h"

#include "formats/BookmarkHtmlReader.h"
#include "formats/FormatCommands.h"
#include "formats/OperaHotlistReader.h"
#include "formats/XbelReader.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QTest>

using namespace FormatFixtures;

Q_DECLARE_METATYPE(BookmarkFormat)

namespace {

const LinkItem *at(const LinkItem &root, const QString &path)
{
    const LinkItem *item = &root;
    for (const QString &name : path.split(u'\\')) {
        const LinkItem *next = nullptr;
        for (const auto &child : item->Children)
            next = !next && TextCodec::toDisplay(child->Name) == name ? child.get() : next;
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

QDateTime utc(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
}

} // namespace

class TestFormatSamples : public QObject
{
    Q_OBJECT
private slots:
    void samples_data();
    void samples();
    void sampleFields_data();
    void sampleFields();
    void otherProgramsQuirks_data();
    void otherProgramsQuirks();
    void damagedHotlist_data();
    void damagedHotlist();
    void damagedXbel_data();
    void damagedXbel();
    void xbelTextOfAnyDepth_data();
    void xbelTextOfAnyDepth();
    void xbelAliasesStayWithinTheFile_data();
    void xbelAliasesStayWithinTheFile();
};

void TestFormatSamples::samples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<BookmarkFormat>("format");
    QTest::addColumn<QString>("expected");

    QTest::newRow("firefox")
        << "firefox.html" << BookmarkFormat::BrowserHtml
        << QStringLiteral("Bookmarks Toolbar/\n"
                          "  A bookmarklet <javascript:void(document.title)>\n"
                          "  News <https://news.example/>\n"
                          "Other Bookmarks/\n"
                          "Recipes & Cooking/\n"
                          "  Desserts/\n"
                          "    Cr\u00e8me br\u00fbl\u00e9e <https://food.example/cr%C3%A8me>\n"
                          "  Rye bread \u2013 the \"easy\" way <https://food.example/bread?type=rye&size=large>\n"
                          "Start page <https://www.example.org/start>");
    QTest::newRow("chrome") << "chrome.html" << BookmarkFormat::BrowserHtml
                            << QStringLiteral("Bookmarks bar/\n"
                                              "  Empty folder/\n"
                                              "  Mail <https://mail.example.com/>\n"
                                              "  Work/\n"
                                              "    Issues <https://tracker.example.com/issues?q=is%3Aopen>\n"
                                              "    Wiki <https://wiki.example.com/>\n"
                                              "Loose bookmark <https://other.example/>");
    QTest::newRow("safari") << "safari.html" << BookmarkFormat::BrowserHtml
                            << QStringLiteral("Favorites/\n"
                                              "  Reading/\n"
                                              "    Article A <https://read.example/a>\n"
                                              "  Start <https://apple-like.example/>\n"
                                              "Reading List/\n"
                                              "  Later <https://read.example/later>");
    QTest::newRow("internet explorer") << "ie.html" << BookmarkFormat::BrowserHtml
                                       << QStringLiteral("Links/\n"
                                                         "  Caf\u00e9 \u20ac prices <http://www.example.com/>\n"
                                                         "Na\u00efve \u201cquotes\u201d <http://www.example.net/>");
    QTest::newRow("hand-made") << "handmade.html" << BookmarkFormat::BrowserHtml
                               << QStringLiteral("Last one <http://last.example/>\n"
                                                 "Search/\n"
                                                 "  Other & more <http://other.example/?a=1&b=2>\n"
                                                 "  Search engine <http://search.example/>");
    QTest::newRow("opera") << "opera.adr" << BookmarkFormat::OperaHotlist
                           << QStringLiteral("D\u00e9veloppement/\n"
                                             "  Reference = manual <http://docs.example/?page=1&lang=en>\n"
                                             "  Tools/\n"
                                             "    Validator <http://validator.example/>\n"
                                             "Mail <http://mail.example/>\n"
                                             "Opera-like start <http://portal.example/>\n"
                                             "Trash/");
    QTest::newRow("old opera") << "opera-old.adr" << BookmarkFormat::OperaHotlist
                               << QStringLiteral("Caf\u00e9s/\n  Le caf\u00e9 <http://cafe.example/>");
    QTest::newRow("desktop xbel") << "desktop.xbel" << BookmarkFormat::Xbel
                                  << QStringLiteral("Documents <file:///home/user/Documents>\n"
                                                    "Last <https://last.example/>\n"
                                                    "Projects & notes/\n"
                                                    "  Archive/\n"
                                                    "  Documents <file:///home/user/Documents>\n"
                                                    "  Repository <https://code.example/repo?x=1&y=2>");
}

void TestFormatSamples::samples()
{
    QFETCH(QString, file);
    QFETCH(BookmarkFormat, format);
    QFETCH(QString, expected);
    auto root = LinkItem::MakeFolder("Target");
    const ImportReport report
        = FormatCommands::importFrom(format, QStringLiteral(QUILLMARK_TEST_DATA "/formats/") + file, *root);
    QVERIFY2(report.ok(), qPrintable(report.errorString()));
    QCOMPARE(outline(*root), expected);
    checkSound(*root, report.folders, report.links);
}

void TestFormatSamples::sampleFields_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<BookmarkFormat>("format");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QDateTime>("lastVisit");

    const QDateTime never;
    QTest::newRow("firefox link") << "firefox.html" << BookmarkFormat::BrowserHtml << "Start page"
                                  << "The page I open first" << never;
    QTest::newRow("firefox folder") << "firefox.html" << BookmarkFormat::BrowserHtml << "Bookmarks Toolbar"
                                    << "Add bookmarks to this folder to see them displayed on the Bookmarks Toolbar"
                                    << never;
    QTest::newRow("internet explorer") << "ie.html" << BookmarkFormat::BrowserHtml
                                       << QStringLiteral("Links\\Caf\u00e9 \u20ac prices") << QString()
                                       << utc("2006-01-02T00:00:00Z");
    QTest::newRow("hand-made") << "handmade.html" << BookmarkFormat::BrowserHtml << "Search\\Other & more"
                               << "Description without end" << never;
    QTest::newRow("opera") << "opera.adr" << BookmarkFormat::OperaHotlist << "Opera-like start"
                           << "First line\nSecond line" << QDateTime::fromSecsSinceEpoch(1300000200, Qt::UTC);
    QTest::newRow("xbel bookmark") << "desktop.xbel" << BookmarkFormat::Xbel << "Documents" << QString()
                                   << utc("2023-05-03T08:30:15Z");
    QTest::newRow("xbel folder") << "desktop.xbel" << BookmarkFormat::Xbel << "Projects & notes"
                                 << "Things I work on" << never;
    QTest::newRow("xbel lines") << "desktop.xbel" << BookmarkFormat::Xbel << "Projects & notes\\Repository"
                                << "Line one\nLine two" << never;
}

void TestFormatSamples::sampleFields()
{
    QFETCH(QString, file);
    QFETCH(BookmarkFormat, format);
    QFETCH(QString, path);
    QFETCH(QString, description);
    QFETCH(QDateTime, lastVisit);
    auto root = LinkItem::MakeFolder("Target");
    QVERIFY(FormatCommands::importFrom(format, QStringLiteral(QUILLMARK_TEST_DATA "/formats/") + file, *root).ok());
    const LinkItem *item = at(*root, path);
    QVERIFY(item);
    QCOMPARE(TextCodec::toDisplay(item->Description), description);
    const QDateTime got = DateConverter::toDateTime(item->LastVisit);
    QCOMPARE(got.isValid(), lastVisit.isValid());
    if (lastVisit.isValid())
        QCOMPARE(got.toUTC(), lastVisit.toUTC());
}

// What other programs write and how it must read: blanks left around hotlist values, a link inside a
// description.
void TestFormatSamples::otherProgramsQuirks_data()
{
    QTest::addColumn<BookmarkFormat>("format");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("description"); // of the first entry
    const QByteArray header = "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n";
    QTest::newRow("hotlist blanks after name and url")
        << BookmarkFormat::OperaHotlist
        << header + "#FOLDER\n\tNAME=Tools  \n#URL\n\tNAME=GNU   \n\tURL=http://gnu.example/ \t\n-\n"
        << QStringLiteral("Tools/\n  GNU <http://gnu.example/>") << QString();
    QTest::newRow("hotlist blanks before values")
        << BookmarkFormat::OperaHotlist << header + "#URL\n\tNAME= Spaced\n\tURL=  http://s.example/\n"
        << QStringLiteral("Spaced <http://s.example/>") << QString();
    QTest::newRow("link inside a description")
        << BookmarkFormat::BrowserHtml
        << QByteArray("<DL><p>\n<DT><A HREF=\"https://a.example/\">A</A>\n"
                      "<DD>Read <a href=\"https://more.example/\">the notes</a> first.\n"
                      "<DT><A HREF=\"https://b.example/\">B</A>\n</DL>")
        << QStringLiteral("A <https://a.example/>\nB <https://b.example/>")
        << QStringLiteral("Read <a href=\"https://more.example/\">the notes</a> first.");
    QTest::newRow("description ends at the next entry")
        << BookmarkFormat::BrowserHtml
        << QByteArray("<DL><DT><A HREF=\"u\">A</A><DD>See <A HREF=\"v\">v</A><DT><H3>F</H3><DL></DL></DL>")
        << QStringLiteral("A <u>\nF/") << QStringLiteral("See <A HREF=\"v\">v</A>");
}

void TestFormatSamples::otherProgramsQuirks()
{
    QFETCH(BookmarkFormat, format);
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    QFETCH(QString, description);
    LinkItem root;
    const ImportReport report = format == BookmarkFormat::OperaHotlist ? OperaHotlistReader::readBytes(file, root)
                                                                       : BookmarkHtmlReader::readBytes(file, root);
    QVERIFY2(report.ok(), qPrintable(report.errorString()));
    QCOMPARE(outline(root), expected);
    QCOMPARE(TextCodec::toDisplay(root.Children.Get(0)->Description), description);
    checkSound(root, report.folders, report.links);
}

void TestFormatSamples::damagedHotlist_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("status");
    const QByteArray header = "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n";
    QTest::newRow("no header") << QByteArray("#URL\n\tNAME=A\n\tURL=u\n") << QStringLiteral("A <u>")
                               << int(ImportReport::Damaged);
    QTest::newRow("not a hotlist") << QByteArray("hello\nworld\n") << QString() << int(ImportReport::Unreadable);
    QTest::newRow("more folder ends than folders") << header + "-\n-\n#URL\n\tNAME=A\n\tURL=u\n"
                                                   << QStringLiteral("A <u>") << int(ImportReport::Damaged);
    QTest::newRow("folders never closed") << header + "#FOLDER\n\tNAME=F\n#FOLDER\n\tNAME=G\n#URL\n\tNAME=A\n"
                                          << QStringLiteral("F/\n  G/\n    A <>") << int(ImportReport::Complete);
    QTest::newRow("cut inside a line") << header + "#URL\n\tNAME=A\n\tURL=http://a.ex"
                                       << QStringLiteral("A <http://a.ex>") << int(ImportReport::Complete);
    QTest::newRow("fields before any block and unknown blocks")
        << header + "\tNAME=orphan\n#NOTE\n\tNAME=note\n\tURL=n\n#URL\n\tNAME=B\n\tURL=b\n\tNO EQUALS\n"
        << QStringLiteral("B <b>") << int(ImportReport::Complete);
    static const char zeroBytes[] = "#URL\n\tNAME=A\0B\n\tDESCRIPTION=x\x02y\n";
    QTest::newRow("zero bytes and a lone 02") << header + QByteArray(zeroBytes, sizeof zeroBytes - 1)
                                              << QStringLiteral("AB <>") << int(ImportReport::Complete);
}

void TestFormatSamples::damagedHotlist()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    QFETCH(int, status);
    LinkItem root;
    const ImportReport report = OperaHotlistReader::readBytes(file, root);
    QCOMPARE(int(report.status), status);
    QCOMPARE(outline(root), expected);
    checkSound(root, report.folders, report.links);
}

void TestFormatSamples::damagedXbel_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("status");
    const QByteArray start = "<?xml version=\"1.0\"?>\n<xbel version=\"1.0\">\n";
    QTest::newRow("cut off") << start
            + "<bookmark href=\"a\"><title>A</title></bookmark>\n<folder><title>F</title>"
              "<bookmark href=\"b\"><title>B</ti"
                             << QStringLiteral("A <a>\nF/\n  B <b>") << int(ImportReport::Damaged);
    QTest::newRow("broken tag") << start
            + "<bookmark href=\"a\"><title>A</title></bookmark>\n<bookmark href=\"b><title>"
                                << QStringLiteral("A <a>") << int(ImportReport::Damaged);
    QTest::newRow("not xbel") << QByteArray("<?xml version=\"1.0\"?><rss><channel/></rss>") << QString()
                              << int(ImportReport::Unreadable);
    QTest::newRow("not xml") << QByteArray("Opera Hotlist version 2.0\n") << QString() << int(ImportReport::Unreadable);
    QTest::newRow("alias before its bookmark")
        << start + "<alias ref=\"x\"/><bookmark id=\"x\" href=\"a\"><title>A</title></bookmark></xbel>"
        << QStringLiteral("A <a>") << int(ImportReport::Damaged);
    QTest::newRow("entity bomb") << QByteArray(
        "<?xml version=\"1.0\"?><!DOCTYPE xbel [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">]>"
        "<xbel><bookmark href=\"a\"><title>A</title></bookmark><bookmark href=\"b\"><title>&e;</title>"
        "</bookmark></xbel>") << QStringLiteral("A <a>\nb <b>")
                                 << int(ImportReport::Damaged);
    QTest::newRow("markup in a title") << start
            + "<bookmark href=\"a\"><title>a<b>b<!--c--><?p x?>c</b>&amp;<![CDATA[<d>]]></title></bookmark></xbel>"
                                       << QStringLiteral("abc&<d> <a>") << int(ImportReport::Complete);
    QTest::newRow("bookmark inside a bookmark")
        << start + "<bookmark href=\"a\"><title>A</title><bookmark href=\"b\"/></bookmark></xbel>"
        << QStringLiteral("A <a>") << int(ImportReport::Complete);
}

void TestFormatSamples::damagedXbel()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    QFETCH(int, status);
    LinkItem root;
    const ImportReport report = XbelReader::readBytes(file, root);
    QCOMPARE(int(report.status), status);
    QCOMPARE(outline(root), expected);
    checkSound(root, report.folders, report.links);
}

void TestFormatSamples::xbelTextOfAnyDepth_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::newRow("title") << QByteArray("title");
    QTest::newRow("desc") << QByteArray("desc");
}

// Markup in a title or description, nested far deeper than a call stack could follow, adds its text.
void TestFormatSamples::xbelTextOfAnyDepth()
{
    QFETCH(QByteArray, element);
    constexpr int Depth = 100000;
    const QByteArray file = "<xbel><bookmark href=\"u\"><" + element + '>' + QByteArray("<b>a").repeated(Depth)
        + QByteArray("b</b>").repeated(Depth) + "</" + element + "></bookmark></xbel>";
    LinkItem root;
    QVERIFY(XbelReader::readBytes(file, root).ok());
    QCOMPARE(root.Children.Count(), 1);
    const LinkItem &link = *root.Children.Get(0);
    const ItemText &text = element == "title" ? link.Name : link.Description;
    QVERIFY(text == std::string(Depth, 'a') + std::string(Depth, 'b'));
}

void TestFormatSamples::xbelAliasesStayWithinTheFile_data()
{
    QTest::addColumn<QByteArray>("bookmark");
    QTest::addColumn<int>("fewestLinks");
    QTest::addColumn<int>("mostLinks");
    const QByteArray large(1024 * 1024, 'x');
    // Copies of the other texts take little: every alias stays, some without the description.
    QTest::newRow("large description") << "<bookmark id=\"b\" href=\"u\"><desc>" + large + "</desc></bookmark>" << 101
                                       << 101;
    // The aliases beyond the bound are left out.
    QTest::newRow("large URL") << "<bookmark id=\"b\" href=\"" + large + "\"/>" << 2 << 100;
}

// Each alias copies its bookmark, but all the copies together take no more than a few times the file.
void TestFormatSamples::xbelAliasesStayWithinTheFile()
{
    QFETCH(QByteArray, bookmark);
    QFETCH(int, fewestLinks);
    QFETCH(int, mostLinks);
    const QByteArray file = "<xbel>" + bookmark + QByteArray("<alias ref=\"b\"/>").repeated(100) + "</xbel>";
    LinkItem root;
    const ImportReport report = XbelReader::readBytes(file, root);
    qint64 bytes = 0;
    for (const auto &link : root.Children) {
        // A link without a title is named by the start of its address, a couple of kilobytes at most.
        const bool addressName = link->Url.view().substr(0, link->Name.size()) == link->Name.view();
        QVERIFY(!addressName || link->Name.size() <= 2048);
        bytes += qint64((addressName ? 0 : link->Name.size()) + link->Url.size() + link->Description.size());
    }
    QVERIFY2(bytes <= 6 * file.size(), QByteArray::number(bytes));
    QVERIFY2(report.links >= fewestLinks && report.links <= mostLinks, QByteArray::number(report.links));
    checkSound(root, 0, report.links);
    QCOMPARE(report.status, ImportReport::Damaged);
}

QTEST_GUILESS_MAIN(TestFormatSamples)
#include "tst_formatsamples.moc"
