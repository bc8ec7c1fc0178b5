// Exports that browsers read back whole: addresses they would drop are written as URLs, the toolbar
// folder is marked as the toolbar; links imported without a title are named by their address.
#include "FormatFixtures.h"

#include "formats/BookmarkHtmlReader.h"
#include "formats/BrowserUrl.h"
#include "formats/FormatCommands.h"
#include "formats/XbelReader.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QTemporaryDir>
#include <QTest>

using namespace FormatFixtures;

Q_DECLARE_METATYPE(BookmarkFormat)

class TestBrowserExport : public QObject
{
    Q_OBJECT
private slots:
    void addresses_data();
    void addresses();
    void writtenAddresses_data();
    void writtenAddresses();
    void toolbar_data();
    void toolbar();
    void untitledLinks_data();
    void untitledLinks();
};

void TestBrowserExport::addresses_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("unix path") << QByteArray("/home/me/a.pdf") << QByteArray("file:///home/me/a.pdf");
    QTest::newRow("unix path with blank and hash")
        << QByteArray("/home/me/My notes #2.txt") << QByteArray("file:///home/me/My%20notes%20%232.txt");
    QTest::newRow("drive path") << QByteArray("C:\\x\\a.pdf") << QByteArray("file:///C:/x/a.pdf");
    QTest::newRow("drive path with slashes") << QByteArray("d:/docs/b.doc") << QByteArray("file:///d:/docs/b.doc");
    QTest::newRow("unc path") << QByteArray("\\\\server\\share\\a") << QByteArray("file://server/share/a");
    QTest::newRow("non-ascii path") << QByteArray("/tmp/caf\xc3\xa9") << QByteArray("file:///tmp/caf%C3%A9");
    QTest::newRow("windows-1252 path") << QByteArray("/tmp/caf\xe9") << QByteArray("file:///tmp/caf%C3%A9");
    QTest::newRow("host without scheme") << QByteArray("www.example.com") << QByteArray("http://www.example.com");
    QTest::newRow("host and path") << QByteArray("example.org/a?b=1") << QByteArray("http://example.org/a?b=1");
    QTest::newRow("host and port") << QByteArray("localhost:8080/x") << QByteArray("http://localhost:8080/x");
    QTest::newRow("blanks around") << QByteArray("  www.example.com ") << QByteArray("http://www.example.com");
    QTest::newRow("network path") << QByteArray("//cdn.example/x") << QByteArray("http://cdn.example/x");
    QTest::newRow("https kept") << QByteArray("https://a.example/") << QByteArray("https://a.example/");
    QTest::newRow("mailto kept") << QByteArray("mailto:me@example.org") << QByteArray("mailto:me@example.org");
    QTest::newRow("place kept") << QByteArray("place:sort=8") << QByteArray("place:sort=8");
    QTest::newRow("file url kept") << QByteArray("file:///etc/hosts") << QByteArray("file:///etc/hosts");
    QTest::newRow("relative query kept") << QByteArray("?KvNdlQ") << QByteArray("?KvNdlQ");
    QTest::newRow("word kept") << QByteArray("notes") << QByteArray("notes");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestBrowserExport::addresses()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, written);
    QCOMPARE(QByteArray::fromStdString(BrowserUrl::forBrowsers(stored.toStdString())), written);
    // What was written once is written the same again.
    QCOMPARE(QByteArray::fromStdString(BrowserUrl::forBrowsers(written.toStdString())), written);
}

// The exports for browsers write the URL; the data file's own format and the hotlist keep the text.
void TestBrowserExport::writtenAddresses_data()
{
    QTest::addColumn<BookmarkFormat>("format");
    QTest::addColumn<bool>("asUrl");
    QTest::newRow("html") << BookmarkFormat::BrowserHtml << true;
    QTest::newRow("xbel") << BookmarkFormat::Xbel << true;
    QTest::newRow("qmf") << BookmarkFormat::Native << false;
    QTest::newRow("opera") << BookmarkFormat::OperaHotlist << false;
}

void TestBrowserExport::writtenAddresses()
{
    QFETCH(BookmarkFormat, format);
    QFETCH(bool, asUrl);
    auto folder = LinkItem::MakeFolder("Top");
    folder->Children.InsertSorted(LinkItem::MakeLink("Paper", "/home/me/a.pdf"));
    folder->Children.InsertSorted(LinkItem::MakeLink("Site", "www.example.com"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.") + BookmarkFormatInfo::of(format).defaultSuffix);
    QVERIFY(FormatCommands::exportTo(format, path, *folder).ok());
    auto back = LinkItem::MakeFolder("Back");
    QVERIFY(FormatCommands::importFrom(format, path, *back).ok());
    QCOMPARE(outline(*back),
             asUrl ? QStringLiteral("Paper <file:///home/me/a.pdf>\nSite <http://www.example.com>")
                   : QStringLiteral("Paper </home/me/a.pdf>\nSite <www.example.com>"));
    QCOMPARE(outline(*folder), QStringLiteral("Paper </home/me/a.pdf>\nSite <www.example.com>"));
}

void TestBrowserExport::toolbar_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("subfolder"); // inside the first folder
    QTest::addColumn<QString>("marked"); // empty: none
    QTest::newRow("firefox toolbar") << QStringList {"Bookmarks Menu", "Bookmarks Toolbar"} << QString()
                                     << QStringLiteral("Bookmarks Toolbar");
    QTest::newRow("chromium bar") << QStringList {"Bookmarks bar", "Other bookmarks"} << QString()
                                  << QStringLiteral("Bookmarks bar");
    QTest::newRow("netscape folder") << QStringList {"Personal Toolbar Folder"} << QString()
                                     << QStringLiteral("Personal Toolbar Folder");
    QTest::newRow("only the first of two")
        << QStringList {"Bookmarks Toolbar", "Bookmarks bar"} << QString() << QStringLiteral("Bookmarks Toolbar");
    QTest::newRow("not below the top") << QStringList {"Work"} << QStringLiteral("Bookmarks Toolbar") << QString();
    QTest::newRow("other names") << QStringList {"Toolbar things", "News"} << QString() << QString();
}

void TestBrowserExport::toolbar()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, subfolder);
    QFETCH(QString, marked);
    auto top = LinkItem::MakeFolder("Top");
    for (const QString &name : folders) {
        auto folder = LinkItem::MakeFolder(name.toStdString());
        if (!subfolder.isEmpty() && name == folders.first())
            folder->Children.InsertSorted(LinkItem::MakeFolder(subfolder.toStdString()));
        top->Children.InsertSorted(std::move(folder));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.html"));
    QVERIFY(FormatCommands::exportTo(BookmarkFormat::BrowserHtml, path, *top).ok());
    const QByteArray html = readFile(path);
    QCOMPARE(html.count("PERSONAL_TOOLBAR_FOLDER"), marked.isEmpty() ? 0 : 1);
    if (!marked.isEmpty())
        QVERIFY(html.contains("<H3 PERSONAL_TOOLBAR_FOLDER=\"true\">" + marked.toUtf8() + "</H3>"));
}

void TestBrowserExport::untitledLinks_data()
{
    QTest::addColumn<BookmarkFormat>("format");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");
    QTest::newRow("html") << BookmarkFormat::BrowserHtml
                          << QByteArray("<DL><DT><A HREF=\"https://a.example/x\"></A>"
                                        "<DT><A HREF=\"https://b.example/\">  </A><DT><H3></H3><DL></DL></DL>")
                          << QStringLiteral("/\nhttps://a.example/x <https://a.example/x>\n"
                                            "https://b.example/ <https://b.example/>");
    QTest::newRow("xbel") << BookmarkFormat::Xbel
                          << QByteArray("<?xml version=\"1.0\"?><xbel version=\"1.0\">"
                                        "<bookmark href=\"https://c.example/\"/>"
                                        "<bookmark href=\"file:///C:\\a\"><title/></bookmark></xbel>")
                          << QStringLiteral("file:///C:_a <file:///C:\\a>\nhttps://c.example/ <https://c.example/>");
    QTest::newRow("no address either") << BookmarkFormat::BrowserHtml << QByteArray("<DL><DT><A HREF=\"\"></A></DL>")
                                       << QStringLiteral(" <>");
}

void TestBrowserExport::untitledLinks()
{
    QFETCH(BookmarkFormat, format);
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    LinkItem root;
    const ImportReport report = format == BookmarkFormat::Xbel ? XbelReader::readBytes(file, root)
                                                               : BookmarkHtmlReader::readBytes(file, root);
    QVERIFY2(report.ok(), qPrintable(report.errorString()));
    QCOMPARE(outline(root), expected);
}

QTEST_GUILESS_MAIN(TestBrowserExport)
#include "tst_browserexport.moc"
