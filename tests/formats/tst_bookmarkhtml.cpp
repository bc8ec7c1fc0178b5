// The browser bookmark HTML reader on what real files get wrong, and the writer's escaping.
#include "FormatFixtures.h"

#include "formats/BookmarkHtmlReader.h"
#include "formats/BookmarkHtmlWriter.h"
#include "formats/HtmlTokenizer.h"
#include "formats/PageWriter.h"
#include "formats/XbelWriter.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QElapsedTimer>
#include <QStringDecoder>
#include <QTest>

using namespace FormatFixtures;

namespace {

ImportReport readHtml(const QByteArray &html, LinkItem &target)
{
    return BookmarkHtmlReader::readBytes(html, target);
}

const LinkItem *find(const LinkItem &folder, const char *name)
{
    for (const auto &child : folder.Children) {
        if (child->Name == name)
            return child.get();
    }
    return nullptr;
}

QString nameOf(const LinkItem &folder, int index)
{
    return TextCodec::toDisplay(folder.Children.Get(index)->Name);
}

} // namespace

class TestBookmarkHtml : public QObject
{
    Q_OBJECT
private slots:
    void tolerated_data();
    void tolerated();
    void entities();
    void charsets_data();
    void charsets();
    void lastVisit_data();
    void lastVisit();
    void descriptions();
    void textsOutliveTheFile_data();
    void textsOutliveTheFile();
    void notBookmarks_data();
    void notBookmarks();
    void deepUnclosedNesting();
    void brokenMarkupStaysLinear_data();
    void brokenMarkupStaysLinear();
    void exportEscapes_data();
    void exportEscapes();
    void pageLinks();
};

void TestBookmarkHtml::tolerated_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("damaged");

    // A structural tag inside the script ends the name there; nothing after it is lost.
    QTest::newRow("unescaped script in titles")
        << QByteArray("<DL><p>\n<DT><A HREF=\"https://a.example/\">Before</A>\n"
                      "<DT><A HREF=\"https://b.example/\">x <script>alert(\"<DT>\")</script> y</A>\n"
                      "<DT><A HREF=\"https://c.example/\"><SCRIPT src=x>never closed</A>\n"
                      "<DT><A HREF=\"https://d.example/\">After one</A>\n"
                      "<DT><A HREF=\"https://e.example/\">After two</A>\n</DL>\n")
        << QStringLiteral("<SCRIPT src=x>never closed <https://c.example/>\nAfter one <https://d.example/>\n"
                          "After two <https://e.example/>\nBefore <https://a.example/>\nx <script>alert(\" "
                          "<https://b.example/>")
        << false;
    QTest::newRow("quote left open") << QByteArray("<DL><p>\n<DT><A HREF=\"https://a.example/>Broken quote</A>\n"
                                                   "<DT><A HREF=\"https://b.example/\" ADD_DATE=\"1\">Kept</A>\n</DL>")
                                     << QStringLiteral("Broken quote <https://a.example/>\nKept <https://b.example/>")
                                     << true;
    QTest::newRow("quote left open before a line break")
        << QByteArray(
               "<DL><p>\n<DT><A HREF=\"https://a.example/\" ICON=\"data:abc\n<DT><A HREF=\"https://b.example/\">B</A>")
        << QStringLiteral("B <https://b.example/>\nhttps://a.example/ <https://a.example/>") << true;
    QTest::newRow("comment left open") << QByteArray(
        "<!-- no end\n<DT><A HREF=\"https://a.example/\">A</A>\n<DT><A HREF=\"https://b.example/\">B</A>")
                                       << QStringLiteral("A <https://a.example/>\nB <https://b.example/>") << true;
    QTest::newRow("tag cut off by the end") << QByteArray("<DT><A HREF=\"https://a.example/\">A</A><DT><A HREF=\"x")
                                            << QStringLiteral("A <https://a.example/>\nx <x>") << true;
    QTest::newRow("no end tags") << QByteArray(
        "<DL><p><DT><H3>F<DL><p><DT><A HREF=\"u1\">L1<DT><A HREF=\"u2\">L2</DL><DT><A HREF=\"u3\">L3")
                                 << QStringLiteral("F/\n  L1 <u1>\n  L2 <u2>\nL3 <u3>") << false;
    QTest::newRow("folder without list, list without folder")
        << QByteArray(
               "<DL><DT><H3>Empty</H3>\n<DT><A HREF=\"u\">A</A>\n<DL><p><DT><A HREF=\"v\">Stray list</A></DL></DL>")
        << QStringLiteral("A <u>\nEmpty/\nStray list <v>") << false;
    QTest::newRow("more list ends than lists")
        << QByteArray("</DL></DL><DL><DT><H3>F</H3><DL></DL></DL></DL><DT><A HREF=\"u\">After</A>")
        << QStringLiteral("After <u>\nF/") << false;
    QTest::newRow("any case") << QByteArray("<dl><dT><h3>Low</H3><Dl><dt><a hReF='q'>Mixed</A></dL></DL>")
                              << QStringLiteral("Low/\n  Mixed <q>") << false;
    QTest::newRow("unquoted values and a missing >")
        << QByteArray("<DT><A HREF=http://a.example/?x=1 ADD_DATE=5>A</A>\n<DT><A HREF=\"b\"\n<DT><A HREF=\"c\">C</A>")
        << QStringLiteral("A <http://a.example/?x=1>\nC <c>\nb <b>") << true;
    QTest::newRow("title over lines") << QByteArray("<DT><A HREF=\"u\">\n    A long\n    title \n</A>")
                                      << QStringLiteral("A long title <u>") << false;
    QTest::newRow("separators and unknown elements")
        << QByteArray("<DL><p><HR><DT><A HREF=\"a\" TAGS=\"x,y\" SHORTCUTURL=\"k\" FEEDURL=\"f\">A</A><HR>"
                      "<DT><FOO bar=\"1\">text<DT><A HREF=\"b\">B</A></DL>")
        << QStringLiteral("A <a>\nB <b>") << false;
    QTest::newRow("backslash in a name") << QByteArray("<DT><H3>C:\\Temp</H3><DL><DT><A HREF=\"u\">a\\b</A></DL>")
                                         << QStringLiteral("C:_Temp/\n  a_b <u>") << false;
    const QByteArray icon = "data:image/png;base64," + QByteArray(1 << 20, 'A');
    QTest::newRow("megabyte icon") << QByteArray("<DT><A HREF=\"u\" ICON=\"" + icon
                                                 + "\">Iconic</A><DT><A HREF=\"v\">Next</A>")
                                   << QStringLiteral("Iconic <u>\nNext <v>") << false;
}

void TestBookmarkHtml::tolerated()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, expected);
    QFETCH(bool, damaged);
    LinkItem root;
    const ImportReport report = readHtml(html, root);
    QCOMPARE(outline(root), expected);
    QCOMPARE(report.status, damaged ? ImportReport::Damaged : ImportReport::Complete);
    QCOMPARE(report.problems.isEmpty(), !damaged);
    const ItemList::Kinds top = root.Children.CountKinds();
    QVERIFY(report.folders >= top.folders && report.links >= top.links);
}

void TestBookmarkHtml::entities()
{
    LinkItem root;
    const QByteArray html = "<DT><A HREF=\"https://x.example/?a=1&amp;b=2&copy=3&#x41;&lt\">"
                            "&lt;tag&gt; &amp; &quot;q&quot; &#39;s&#39; &eacute;t&eacute; &#8364;&#x20AC;&euro; "
                            "&nbsp&copy 2024 &unknown; &#0; &#150; &#x110000; &#xD800; &Omega;&rho;&amp</A>";
    QVERIFY(readHtml(html, root).ok());
    QCOMPARE(root.Children.Count(), 1);
    const LinkItem &item = *root.Children.Get(0);
    QCOMPARE(TextCodec::toDisplay(item.Name),
             QStringLiteral("<tag> & \"q\" 's' \u00e9t\u00e9 \u20ac\u20ac\u20ac "
                            "\u00a0\u00a9 2024 &unknown; \ufffd \u2013 \ufffd \ufffd "
                            "\u03a9\u03c1&"));
    // In an attribute a reference without its semicolon before "=" stays as written.
    QCOMPARE(QString::fromStdString(item.Url.str()), QStringLiteral("https://x.example/?a=1&b=2&copy=3A<"));
}

void TestBookmarkHtml::charsets_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("name");
    const QByteArray link = "<DL><p><DT><A HREF=\"u\">";
    const auto meta = [](const char *charset) {
        return QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=") + charset + "\">\n";
    };
    QTest::newRow("windows-1252") << meta("windows-1252") + link + "Caf\xe9 \x80</A>"
                                  << QStringLiteral("Caf\u00e9 \u20ac");
    QTest::newRow("iso-8859-1 read as windows-1252")
        << meta("ISO-8859-1") + link + "\x93q\x94</A>" << QStringLiteral("\u201cq\u201d");
    QTest::newRow("koi8-r") << meta("KOI8-R") + link + "\xf0\xd2\xc9\xd7\xc5\xd4</A>"
                            << QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442");
    QTest::newRow("meta charset attribute")
        << QByteArray("<meta charset=\"windows-1252\">") + link + "\xe9</A>" << QStringLiteral("\u00e9");
    QTest::newRow("unknown charset") << meta("x-made-up") + link + "na\xefve</A>" << QStringLiteral("na\u00efve");
    QTest::newRow("utf-8") << meta("UTF-8") + link + "\xe6\x97\xa5\xe6\x9c\xac</A>" << QStringLiteral("\u65e5\u672c");
    QTest::newRow("none, not UTF-8") << link + "caf\xe9</A>" << QStringLiteral("caf\u00e9");
    QTest::newRow("utf-16 named by an ASCII file")
        << meta("utf-16") + link + "\xc3\xa9</A>" << QStringLiteral("\u00e9");
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF") + meta("windows-1252") + link + "\xc3\xa9</A>"
                                     << QStringLiteral("\u00e9");
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    const QByteArray wide = utf16.encode(QStringLiteral("<DL><DT><A HREF=\"u\">\u00fcber \u20ac</A>"));
    QTest::newRow("utf-16le") << QByteArray("\xFF\xFE") + wide << QStringLiteral("\u00fcber \u20ac");
}

void TestBookmarkHtml::charsets()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    LinkItem root;
    QVERIFY(readHtml(file, root).ok());
    QCOMPARE(root.Children.Count(), 1);
    QCOMPARE(nameOf(root, 0), name);
}

void TestBookmarkHtml::lastVisit_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QDateTime>("expected");
    const QDateTime second = QDateTime(QDate(2006, 1, 2), QTime(0, 0), Qt::UTC);
    QTest::newRow("seconds") << QByteArray("1136160000") << second;
    QTest::newRow("milliseconds") << QByteArray("1136160000000") << second;
    QTest::newRow("microseconds") << QByteArray("1136160000000000") << second;
    QTest::newRow("blanks") << QByteArray(" 1136160000 ") << second;
    QTest::newRow("zero") << QByteArray("0") << QDateTime();
    QTest::newRow("garbage") << QByteArray("yesterday") << QDateTime();
    QTest::newRow("too large") << QByteArray("99999999999999999999999") << QDateTime();
}

void TestBookmarkHtml::lastVisit()
{
    QFETCH(QByteArray, value);
    QFETCH(QDateTime, expected);
    LinkItem root;
    QVERIFY(readHtml("<DT><A HREF=\"u\" ADD_DATE=\"5\" LAST_VISIT=\"" + value + "\">A</A>", root).ok());
    const QDateTime got = DateConverter::toDateTime(root.Children.Get(0)->LastVisit);
    QCOMPARE(got.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(got.toUTC(), expected);
}

void TestBookmarkHtml::descriptions()
{
    LinkItem root;
    const QByteArray html = "<DL><p>\n"
                            "  <DT><H3>Folder</H3>\n  <DD>About the folder\n  <DL><p>\n"
                            "    <DT><A HREF=\"u\">Link</A>\n    <DD>First line\n  second line<BR>third &amp; last\n"
                            "    <DD> \n    <DD>Another DD\n"
                            "  </DL><p>\n"
                            "  <DD>Belongs to nothing\n"
                            "</DL>";
    QVERIFY(readHtml(html, root).ok());
    const LinkItem *folder = find(root, "Folder");
    QVERIFY(folder);
    QCOMPARE(QString::fromStdString(folder->Description.str()), QStringLiteral("About the folder"));
    QCOMPARE(QString::fromStdString(folder->Children.Get(0)->Description.str()),
             QStringLiteral("First line\n  second line\nthird & last\nAnother DD"));
    QCOMPARE(root.Children.Count(), 1);
}

void TestBookmarkHtml::textsOutliveTheFile_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("expected");
    // Plain names point into the file's bytes; decoded or repaired ones are copies.
    QTest::newRow("plain") << QByteArray("Plain name") << QStringLiteral("Plain name");
    QTest::newRow("reference") << QByteArray("Fish &amp; chips") << QStringLiteral("Fish & chips");
    QTest::newRow("line break") << QByteArray("Two\n  lines") << QStringLiteral("Two lines");
    QTest::newRow("not UTF-8") << QByteArray("Caf\xe9") << QStringLiteral("Caf\u00e9");
}

void TestBookmarkHtml::textsOutliveTheFile()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, expected);
    LinkItem root;
    {
        auto html = std::make_unique<QByteArray>("<DL><p><DT><A HREF=\"http://x.example/\">" + name
                                                 + "</A>\n<DD>Said <BR>twice\n<DD>and more\n</DL>");
        QVERIFY(readHtml(*html, root).ok());
        html->fill('#'); // the reader's copy, if it kept a pointer into this one, would show it
    }
    QCOMPARE(root.Children.Count(), 1);
    std::unique_ptr<LinkItem> link = root.Children.TakeAt(0);
    QCOMPARE(TextCodec::toDisplay(link->Name), expected);
    QCOMPARE(link->Url, std::string_view("http://x.example/"));
    QCOMPARE(link->Description, std::string_view("Said \ntwice\nand more"));
}

void TestBookmarkHtml::notBookmarks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("status");
    QTest::newRow("empty") << QByteArray() << int(ImportReport::Unreadable);
    QTest::newRow("plain text") << QByteArray("just some text\n") << int(ImportReport::Unreadable);
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << int(ImportReport::Unreadable);
    QTest::newRow("empty bookmark file") << QByteArray("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>")
                                         << int(ImportReport::Complete);
    QTest::newRow("empty list") << QByteArray("<DL><p>\n</DL>") << int(ImportReport::Complete);
}

void TestBookmarkHtml::notBookmarks()
{
    QFETCH(QByteArray, file);
    QFETCH(int, status);
    LinkItem root;
    const ImportReport report = readHtml(file, root);
    QCOMPARE(int(report.status), status);
    QCOMPARE(root.Children.Count(), 0);
}

// A hundred thousand folders opened and never closed: read without deep recursion, torn down the same way.
void TestBookmarkHtml::deepUnclosedNesting()
{
    constexpr int Depth = 100000;
    const QByteArray html = QByteArray("<DT><H3>f</H3><DL><p>").repeated(Depth) + "<DT><A HREF=\"u\">bottom</A>";
    auto root = std::make_unique<LinkItem>();
    const ImportReport report = readHtml(html, *root);
    QVERIFY(report.ok());
    QCOMPARE(report.folders, Depth);
    checkSound(*root, Depth, 1);
    int depth = 0;
    const LinkItem *item = root.get();
    while (item->Children.Count() == 1 && item->Children.Get(0)->isFolder()) {
        item = item->Children.Get(0);
        ++depth;
    }
    QCOMPARE(depth, Depth);
    QCOMPARE(item->Children.Get(0)->Name, std::string("bottom"));
    root.reset();
}

void TestBookmarkHtml::brokenMarkupStaysLinear_data()
{
    QTest::addColumn<QByteArray>("html");
    constexpr int Count = 200000;
    QTest::newRow("comments left open") << QByteArray("<!-- x ").repeated(Count);
    QTest::newRow("quotes left open") << QByteArray("<a href=\"x\n<").repeated(Count);
    QTest::newRow("single quotes left open") << QByteArray("<a b='").repeated(Count);
    QTest::newRow("lone brackets") << QByteArray("< <").repeated(Count) + "<DT><A HREF=\"u\">A</A>";
    QTest::newRow("titles never closed") << QByteArray("<A HREF=\"u\">t <b>").repeated(Count);
    QTest::newRow("quotes closed at the end") << QByteArray("<DT><A HREF=\"x\n").repeated(2 * Count) + '"';
    QTest::newRow("descriptions of one link") << "<DT><A HREF=\"u\">A</A>" + QByteArray("<DD>d\n").repeated(2 * Count);
}

// Damage that repeats all over a file is read in one pass: a reader that searched to the end of the
// file again for each, or copied all it had gathered for each, would take minutes here.
void TestBookmarkHtml::brokenMarkupStaysLinear()
{
    QFETCH(QByteArray, html);
    QElapsedTimer timer;
    timer.start();
    LinkItem root;
    const ImportReport report = readHtml(html, root);
    QVERIFY2(timer.elapsed() < 10000, QByteArray::number(timer.elapsed()) + " ms");
    checkSound(root, report.folders, report.links);
}

void TestBookmarkHtml::exportEscapes_data()
{
    QTest::addColumn<int>("writer");
    QTest::newRow("bookmark html") << 0;
    QTest::newRow("page") << 1;
    QTest::newRow("xbel") << 2;
}

// Names, URLs and descriptions that hold markup stay text: the written file has no script element and
// no attribute that the data brought in.
void TestBookmarkHtml::exportEscapes()
{
    QFETCH(int, writer);
    auto folder = LinkItem::MakeFolder("<script>alert('folder')</script>");
    for (const char *text : {"<script>alert(1)</script>", "\" onmouseover=\"alert(2)", "' onmouseover='alert(3)",
                             "</A><SCRIPT>x</SCRIPT>", "<!--", "]]>", "&lt;script&gt;"}) {
        auto link = LinkItem::MakeLink(text, text);
        link->Description = text;
        folder->Children.InsertSorted(std::move(link));
        folder->Children.InsertSorted(LinkItem::MakeFolder(text));
    }
    const QByteArray bytes = writer == 0 ? BookmarkHtmlWriter::toBytes(*folder)
        : writer == 1                    ? PageWriter::toBytes(*folder, QDateTime::currentDateTime())
                                         : XbelWriter::toBytes(*folder);
    QVERIFY(!bytes.toLower().contains("<script"));
    QVERIFY(!bytes.contains("\" onmouseover"));
    if (writer != 2) // XML attributes are in double quotes, where a single quote is text
        QVERIFY(!bytes.contains("' onmouseover"));
    HtmlTokenizer tokens(std::string_view(bytes.constData(), size_t(bytes.size())));
    int tags = 0;
    for (HtmlTokenizer::Kind kind = tokens.next(); kind != HtmlTokenizer::Kind::End; kind = tokens.next()) {
        QVERIFY(!tokens.repaired());
        if (kind != HtmlTokenizer::Kind::StartTag)
            continue;
        ++tags;
        for (const HtmlTokenizer::Attribute &attribute : tokens.attributes())
            QVERIFY2(!QByteArray(attribute.name.data(), qsizetype(attribute.name.size())).toLower().startsWith("on"),
                     attribute.name.data());
    }
    QVERIFY(tags > 14);
    if (writer == 0) {
        LinkItem back;
        QVERIFY(BookmarkHtmlReader::readBytes(bytes, back).ok());
        compareTrees(*folder, back, {});
    }
}

// The page links only to addresses that open a document, never to script.
void TestBookmarkHtml::pageLinks()
{
    auto folder = LinkItem::MakeFolder("F");
    folder->Children.InsertSorted(LinkItem::MakeLink("web", "https://example.org/"));
    folder->Children.InsertSorted(LinkItem::MakeLink("script", "javascript:alert(1)"));
    folder->Children.InsertSorted(LinkItem::MakeLink("script in capitals", " JavaScript:alert(1)"));
    folder->Children.InsertSorted(LinkItem::MakeLink("data", "data:text/html,<b>x</b>"));
    const QByteArray page = PageWriter::toBytes(*folder, QDateTime::currentDateTime());
    QVERIFY(page.contains("href=\"https://example.org/\""));
    QCOMPARE(page.count("href="), 1);
    QVERIFY(page.contains("Content-Security-Policy"));
    QVERIFY(page.contains("javascript:alert(1)")); // shown as text
}

QTEST_GUILESS_MAIN(TestBookmarkHtml)
#include "tst_bookmarkhtml.moc"
