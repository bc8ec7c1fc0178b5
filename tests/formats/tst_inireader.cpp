// The shortcut files' lookup: the rules of the system's profile-string reading, and files that are no
// INI text at all.
#include "formats/IniReader.h"

#include "common/FavoritesFixture.h"
#include "common/SpecialFiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A literal with its zero bytes.
template<size_t N> QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}
} // namespace

class TestIniReader : public QObject
{
    Q_OBJECT
private slots:
    void lookup_data();
    void lookup();
    void longValue_data();
    void longValue();
    void files();
};

void TestIniReader::lookup_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray none = "non url";
    QTest::newRow("plain") << QByteArray("[InternetShortcut]\nURL=http://a/") << QByteArray("http://a/");
    QTest::newRow("CR LF") << QByteArray("[InternetShortcut]\r\nURL=http://a/\r\n") << QByteArray("http://a/");
    QTest::newRow("any case") << QByteArray("[internetSHORTCUT]\nurl=x") << QByteArray("x");
    QTest::newRow("blanks around names and value")
        << QByteArray("  [ InternetShortcut ]  \n\t URL \t=  \t x y \t\x1a\n") << QByteArray("x y");
    QTest::newRow("text after the bracket") << QByteArray("[InternetShortcut] junk\nURL=x") << QByteArray("x");
    QTest::newRow("double quotes") << QByteArray("[InternetShortcut]\nURL=\" x \"") << QByteArray(" x ");
    QTest::newRow("single quotes") << QByteArray("[InternetShortcut]\nURL='x'") << QByteArray("x");
    QTest::newRow("one pair only") << QByteArray("[InternetShortcut]\nURL=\"\"x\"\"") << QByteArray("\"x\"");
    QTest::newRow("unmatched quotes") << QByteArray("[InternetShortcut]\nURL=\"x'") << QByteArray("\"x'");
    QTest::newRow("a lone quote") << QByteArray("[InternetShortcut]\nURL=\"") << QByteArray("\"");
    QTest::newRow("empty quotes") << QByteArray("[InternetShortcut]\nURL=\"\"") << QByteArray();
    QTest::newRow("empty value") << QByteArray("[InternetShortcut]\nURL=") << QByteArray();
    QTest::newRow("equals sign in value") << QByteArray("[InternetShortcut]\nURL=a?b=c") << QByteArray("a?b=c");
    QTest::newRow("zero byte ends the value") << bytes("[InternetShortcut]\nURL=ab\0cd") << QByteArray("ab");
    QTest::newRow("the value non url") << QByteArray("[InternetShortcut]\nURL=non url") << none;
    QTest::newRow("no section") << QByteArray("URL=x") << none;
    QTest::newRow("key only in another section") << QByteArray("[Other]\nURL=x\n[InternetShortcut]\nA=b") << none;
    QTest::newRow("section without key") << QByteArray("[InternetShortcut]\n[Other]\nURL=x") << none;
    QTest::newRow("first section of the name only")
        << QByteArray("[InternetShortcut]\nA=1\n[Other]\n[InternetShortcut]\nURL=x") << none;
    QTest::newRow("first key of the name") << QByteArray("[InternetShortcut]\nURL=1\nurl=2") << QByteArray("1");
    QTest::newRow("key without equals sign") << QByteArray("[InternetShortcut]\nURL\nURL=x") << none;
    QTest::newRow("header without bracket changes nothing")
        << QByteArray("[InternetShortcut]\n[Other\nURL=x") << QByteArray("x");
    QTest::newRow("longer key name") << QByteArray("[InternetShortcut]\nURLs=x") << none;
    QTest::newRow("comment line") << QByteArray("[InternetShortcut]\n;URL=x\nURL=y") << QByteArray("y");
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF[InternetShortcut]\nURL=x") << QByteArray("x");
    const QString wide = QStringLiteral("[InternetShortcut]\r\nURL=http://caf\u00e9/\r\n");
    QByteArray le("\xFF\xFE");
    QByteArray be("\xFE\xFF");
    for (const QChar c : wide) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
    }
    QTest::newRow("UTF-16 little-endian") << le << QByteArray("http://caf\xC3\xA9/");
    QTest::newRow("UTF-16 big-endian") << be << QByteArray("http://caf\xC3\xA9/");
    QTest::newRow("UTF-16 with a stray byte at the end") << le + 'x' << QByteArray("http://caf\xC3\xA9/");
    QTest::newRow("Windows-1252 bytes as they are")
        << QByteArray("[InternetShortcut]\nURL=caf\xE9") << QByteArray("caf\xE9");
    QTest::newRow("binary") << bytes("\x7f"
                                     "ELF\x02\x01\x01\0\0\0[\0]\n=")
                            << none;
}

void TestIniReader::lookup()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(IniReader(text).value("InternetShortcut", "URL", "non url"), expected);
}

void TestIniReader::longValue_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray a2047(2047, 'a');
    QTest::newRow("2047 bytes") << a2047 << a2047;
    QTest::newRow("2048 bytes") << a2047 + "b" << a2047;
    QTest::newRow("quoted, 2049 bytes") << "\"" + a2047 + "\"" << a2047;
    QTest::newRow("quoted, 2050 bytes") << "\"" + a2047 + "b\"" << a2047;
    // A two-byte UTF-8 character across the limit is left out whole; Windows-1252 bytes are cut anywhere.
    QTest::newRow("UTF-8 across the limit") << QByteArray(2046, 'a') + "\xC3\xA9" << QByteArray(2046, 'a');
    QTest::newRow("8-bit across the limit") << QByteArray(2046, 'a') + "\xE9\xE9" << QByteArray(2046, 'a') + "\xE9";
    QTest::newRow("100,000 bytes") << QByteArray(100000, 'x') << QByteArray(2047, 'x');
}

void TestIniReader::longValue()
{
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(IniReader("[InternetShortcut]\nURL=" + value).value("InternetShortcut", "URL", "d"), expected);
}

void TestIniReader::files()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString good = dir.filePath(QStringLiteral("good.url"));
    const QString large = dir.filePath(QStringLiteral("large.url"));
    QVERIFY(FavoritesFixture::writeFile(good, "[InternetShortcut]\nURL=x\n"));
    // A real shortcut at the front of a file too large to be one.
    QVERIFY(
        FavoritesFixture::writeFile(large, "[InternetShortcut]\nURL=x\n" + QByteArray(IniReader::MaxFileSize, ';')));

    QCOMPARE(IniReader::profileString(good, "InternetShortcut", "URL", "d"), QByteArray("x"));
    QCOMPARE(IniReader::profileString(large, "InternetShortcut", "URL", "d"), QByteArray("d"));
    QCOMPARE(IniReader::profileString(dir.filePath(QStringLiteral("missing.url")), "InternetShortcut", "URL", "d"),
             QByteArray("d"));
    QCOMPARE(IniReader::profileString(dir.path(), "InternetShortcut", "URL", "d"), QByteArray("d"));

    // A FIFO (also one swapped in after the folder was listed) or a device is never opened: no wait for a writer.
    const QString fifo = SpecialFiles::addTo(dir.path());
    QVERIFY(!fifo.isEmpty());
    const SpecialFiles::FifoRelease release(fifo, std::chrono::seconds(3));
    QElapsedTimer timer;
    timer.start();
    for (const char *name : {"pipe.url", "pipe link.url", "null.url"})
        QCOMPARE(IniReader::profileString(dir.filePath(QLatin1String(name)), "InternetShortcut", "URL", "d"), "d");
    QCOMPARE_LT(timer.elapsed(), 1500);
}

QTEST_GUILESS_MAIN(TestIniReader)
#include "tst_inireader.moc"
