#include "store/UrlKey.h"

#include <QTest>

namespace {
enum Option { Plain = 0, Fragment = 1, Tracking = 2, SchemeAndWww = 4 };

UrlKey keyWith(int options)
{
    return UrlKey({(options & Fragment) != 0, (options & Tracking) != 0, (options & SchemeAndWww) != 0});
}
} // namespace

class TestUrlKey : public QObject
{
    Q_OBJECT
private slots:
    void pairs_data();
    void pairs();
    void notUrls_data();
    void notUrls();
    void keyGivesItself_data();
    void keyGivesItself();
};

void TestUrlKey::pairs_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<int>("options");
    QTest::addColumn<bool>("same");

    QTest::newRow("scheme case") << QByteArray("HTTP://example.org/a") << QByteArray("http://example.org/a") << 0
                                 << true;
    QTest::newRow("host case") << QByteArray("http://Example.ORG/a") << QByteArray("http://example.org/a") << 0 << true;
    QTest::newRow("path case matters") << QByteArray("http://example.org/A") << QByteArray("http://example.org/a") << 0
                                       << false;
    QTest::newRow("http default port") << QByteArray("http://example.org:80/") << QByteArray("http://example.org/") << 0
                                       << true;
    QTest::newRow("https default port") << QByteArray("https://example.org:443/x")
                                        << QByteArray("https://example.org/x") << 0 << true;
    QTest::newRow("port with zeros") << QByteArray("http://example.org:0080/") << QByteArray("http://example.org/") << 0
                                     << true;
    QTest::newRow("empty port") << QByteArray("http://example.org:/") << QByteArray("http://example.org/") << 0 << true;
    QTest::newRow("443 on http is not default")
        << QByteArray("http://example.org:443/") << QByteArray("http://example.org/") << 0 << false;
    QTest::newRow("other port") << QByteArray("http://example.org:8080/") << QByteArray("http://example.org/") << 0
                                << false;
    QTest::newRow("empty path") << QByteArray("http://example.org") << QByteArray("http://example.org/") << 0 << true;
    QTest::newRow("empty path before query")
        << QByteArray("http://example.org?q=1") << QByteArray("http://example.org/?q=1") << 0 << true;
    QTest::newRow("trailing slash of a path matters")
        << QByteArray("http://example.org/a") << QByteArray("http://example.org/a/") << 0 << false;
    QTest::newRow("escape case") << QByteArray("http://example.org/a%2fb") << QByteArray("http://example.org/a%2Fb")
                                 << 0 << true;
    QTest::newRow("escaped unreserved") << QByteArray("http://example.org/%7Euser")
                                        << QByteArray("http://example.org/~user") << 0 << true;
    QTest::newRow("escaped slash is not a slash")
        << QByteArray("http://example.org/a%2Fb") << QByteArray("http://example.org/a/b") << 0 << false;
    QTest::newRow("raw UTF-8 path") << QByteArray("http://example.org/caf\xc3\xa9")
                                    << QByteArray("http://example.org/caf%c3%a9") << 0 << true;
    QTest::newRow("IDN host") << QByteArray("http://b\xc3\xbc"
                                            "cher.example/")
                              << QByteArray("http://xn--bcher-kva.example/") << 0 << true;
    QTest::newRow("IDN host in capitals") << QByteArray("http://B\xc3\x9c"
                                                        "CHER.example/")
                                          << QByteArray("http://XN--BCHER-KVA.example/") << 0 << true;
    QTest::newRow("escaped IDN host") << QByteArray("http://b%C3%BCcher.example/")
                                      << QByteArray("http://xn--bcher-kva.example/") << 0 << true;
    QTest::newRow("other IDN host") << QByteArray("http://b\xc3\xa4"
                                                  "cher.example/")
                                    << QByteArray("http://xn--bcher-kva.example/") << 0 << false;
    QTest::newRow("user info kept") << QByteArray("ftp://anna@example.org/") << QByteArray("ftp://example.org/") << 0
                                    << false;
    QTest::newRow("IPv6 with port") << QByteArray("http://[::1]:80/") << QByteArray("http://[::1]/") << 0 << true;
    QTest::newRow("surrounding blanks") << QByteArray("  http://example.org/ \t") << QByteArray("http://example.org/")
                                        << 0 << true;

    QTest::newRow("fragment kept") << QByteArray("http://example.org/p#top") << QByteArray("http://example.org/p") << 0
                                   << false;
    QTest::newRow("fragment ignored") << QByteArray("http://example.org/p#top") << QByteArray("http://example.org/p")
                                      << int(Fragment) << true;
    QTest::newRow("fragment after query ignored")
        << QByteArray("http://example.org/p?a=1#x") << QByteArray("http://example.org/p?a=1") << int(Fragment) << true;
    QTest::newRow("query still counts") << QByteArray("http://example.org/p?a=1#x")
                                        << QByteArray("http://example.org/p?a=2") << int(Fragment) << false;

    QTest::newRow("trackers kept") << QByteArray("http://example.org/p?utm_source=x")
                                   << QByteArray("http://example.org/p") << 0 << false;
    QTest::newRow("trackers ignored") << QByteArray("http://example.org/p?utm_source=x&utm_medium=y")
                                      << QByteArray("http://example.org/p") << int(Tracking) << true;
    QTest::newRow("every tracker") << QByteArray("http://example.org/p?a=1&fbclid=1&GCLID=2&mc_eid=3&igshid=4&b")
                                   << QByteArray("http://example.org/p?a=1&b") << int(Tracking) << true;
    QTest::newRow("order of others kept") << QByteArray("http://example.org/p?b=1&utm_x=1&a=2")
                                          << QByteArray("http://example.org/p?a=2&b=1") << int(Tracking) << false;
    QTest::newRow("a look-alike stays") << QByteArray("http://example.org/p?utm=1")
                                        << QByteArray("http://example.org/p") << int(Tracking) << false;
    QTest::newRow("tracker value is no name") << QByteArray("http://example.org/p?q=utm_source")
                                              << QByteArray("http://example.org/p") << int(Tracking) << false;
    QTest::newRow("tracker fragment stays") << QByteArray("http://example.org/p?fbclid=1#s")
                                            << QByteArray("http://example.org/p#s") << int(Tracking) << true;

    QTest::newRow("http is not https") << QByteArray("http://example.org/") << QByteArray("https://example.org/") << 0
                                       << false;
    QTest::newRow("www is another host") << QByteArray("http://www.example.org/") << QByteArray("http://example.org/")
                                         << 0 << false;
    QTest::newRow("http is https") << QByteArray("http://example.org/") << QByteArray("https://example.org/")
                                   << int(SchemeAndWww) << true;
    QTest::newRow("www ignored") << QByteArray("https://WWW.example.org:443") << QByteArray("http://example.org/")
                                 << int(SchemeAndWww) << true;
    QTest::newRow("www inside a name stays")
        << QByteArray("http://wwwexample.org/") << QByteArray("http://example.org/") << int(SchemeAndWww) << false;
    QTest::newRow("ftp stays ftp") << QByteArray("ftp://example.org/") << QByteArray("http://example.org/")
                                   << int(SchemeAndWww) << false;
    QTest::newRow("all options") << QByteArray("HTTPS://www.Example.org/a?utm_campaign=z#frag")
                                 << QByteArray("http://example.org:80/a") << int(Fragment | Tracking | SchemeAndWww)
                                 << true;
    QTest::newRow("mailto") << QByteArray("MAILTO:anna@example.org") << QByteArray("mailto:anna@example.org") << 0
                            << true;
    QTest::newRow("control characters") << QByteArray("http://example.org/a\tb")
                                        << QByteArray("http://example.org/a%09b") << 0 << true;
    QTest::newRow("a lone percent sign") << QByteArray("http://example.org/100%")
                                         << QByteArray("http://example.org/100%25") << 0 << true;
    QTest::newRow("a percent sign before an escape")
        << QByteArray("http://example.org/%c%39") << QByteArray("http://example.org/%25c9") << 0 << true;
    QTest::newRow("file URLs") << QByteArray("file:///home/a%20b") << QByteArray("file:///home/a b") << 0 << true;

    // Spellings of one link as typed or imported, and as a browser's address parser writes it back.
    QTest::newRow("browser: dot folders")
        << QByteArray("http://example.org/a/./c/%2e%2E/d") << QByteArray("http://example.org/a/d") << 0 << true;
    QTest::newRow("browser: nothing above the top")
        << QByteArray("http://example.org/a/b/../../..") << QByteArray("http://example.org/") << 0 << true;
    QTest::newRow("browser: an escaped slash is no folder")
        << QByteArray("http://example.org/a%2fb/../c") << QByteArray("http://example.org/c") << 0 << true;
    QTest::newRow("browser: dot folders of files")
        << QByteArray("file:///a/../b") << QByteArray("file:///b") << 0 << true;
    QTest::newRow("browser: backslashes")
        << QByteArray("http:\\\\example.org\\back\\slash") << QByteArray("http://example.org/back/slash") << 0 << true;
    QTest::newRow("browser: quotes and angle brackets")
        << QByteArray("http://example.org/<tag>?x=\"y\"#\"z\"")
        << QByteArray("http://example.org/%3Ctag%3E?x=%22y%22#%22z%22") << 0 << true;
    QTest::newRow("browser: braces") << QByteArray("http://example.org/{braces}?{q}|^`")
                                     << QByteArray("http://example.org/%7Bbraces%7D?{q}%7C%5E%60") << 0 << true;
    QTest::newRow("browser: apostrophes") << QByteArray("http://example.org/it's?q='it'")
                                          << QByteArray("http://example.org/it%27s?q=%27it%27") << 0 << true;
    QTest::newRow("a backslash in a query is no slash")
        << QByteArray("http://example.org/a?b\\c") << QByteArray("http://example.org/a?b/c") << 0 << false;
    QTest::newRow("a backslash in a query is itself escaped")
        << QByteArray("http://example.org/a?b\\c") << QByteArray("http://example.org/a?b%5cc") << 0 << true;
    QTest::newRow("an escaped ampersand stays apart")
        << QByteArray("http://example.org/?a=1%26b=2") << QByteArray("http://example.org/?a=1&b=2") << 0 << false;
    QTest::newRow("other schemes keep their backslashes")
        << QByteArray("foo://host/a\\b") << QByteArray("foo://host/a/b") << 0 << false;
    QTest::newRow("no folders without a host") << QByteArray("urn:a/../b") << QByteArray("urn:b") << 0 << false;
    QTest::newRow("escaped tracker name") << QByteArray("http://example.org/p?utm%5fsource=x&a=1")
                                          << QByteArray("http://example.org/p?a=1") << int(Tracking) << true;
}

void TestUrlKey::pairs()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(int, options);
    QFETCH(bool, same);
    const UrlKey key = keyWith(options);
    const std::string ka = key.of(a.toStdString());
    const std::string kb = key.of(b.toStdString());
    QVERIFY(!ka.empty());
    QVERIFY(!kb.empty());
    QCOMPARE(ka == kb, same);
}

void TestUrlKey::notUrls_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blanks") << QByteArray("   ");
    QTest::newRow("no scheme") << QByteArray("example.org/page");
    QTest::newRow("drive") << QByteArray("C:\\Users\\anna");
    QTest::newRow("scheme starts with a digit") << QByteArray("1http://example.org/");
    QTest::newRow("no host") << QByteArray("http:///path");
    QTest::newRow("port of letters") << QByteArray("http://example.org:http/");
    QTest::newRow("words") << QByteArray("see the page");
    QTest::newRow("open bracket") << QByteArray("ftp://anna]@[a1:::21/");
    QTest::newRow("colon in the host") << QByteArray("http://a:b:80/");
    QTest::newRow("escaped colon in the host") << QByteArray("http://a%3Ab/");
}

void TestUrlKey::notUrls()
{
    QFETCH(QByteArray, url);
    std::string key = "left over";
    QVERIFY(!keyWith(Fragment | Tracking | SchemeAndWww).make(url.toStdString(), key));
    QVERIFY(key.empty());
}

void TestUrlKey::keyGivesItself_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::newRow("escaped tracker names") << QByteArray::fromBase64(
        "U1M6L6m3dSZ1dG1fPyZ1dG0lNWZhJTVmAGElNWZXJTVmJSU1ZmElNWYlNWZXJTVmISU1ZmElNWYlNWYlNWZmJTVmAGFhJTVmADY2NjZhJTVm"
        "X2YmJnV0bV9mJiZ1dG1fcg==");
    QTest::newRow("dot folders and backslashes") << QByteArray("HTTP://a.example\\x/%2e./y/.?\\q=\"'%27#{}");
    QTest::newRow("a path that would read as a host") << QByteArray("foo:/.//x/../y");
}

// A key read again as an address gives itself, so that keys made twice meet.
void TestUrlKey::keyGivesItself()
{
    QFETCH(QByteArray, url);
    for (int options : {int(Plain), int(Fragment), int(Tracking), int(Fragment | Tracking)}) {
        const UrlKey key = keyWith(options);
        const std::string once = key.of(url.toStdString());
        QVERIFY(!once.empty());
        QCOMPARE(key.of(once), once);
    }
}

QTEST_GUILESS_MAIN(TestUrlKey)
#include "tst_urlkey.moc"
