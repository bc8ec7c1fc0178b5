// The Favorites export: names the file systems accept, numbered twins, shortcut files that the
// Favorites import reads back.
#include "FormatFixtures.h"

#include "formats/FavoritesReader.h"
#include "formats/FavoritesWriter.h"
#include "formats/IniReader.h"
#include "formats/UniqueFileNames.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace FormatFixtures;

class TestFavorites : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void safeFileName_data();
    void safeFileName();
    void twinsAreNumbered();
    void manyTwins();
    void keepsWhatIsThere();
    void shortcutFile();
    void unwritableFolder();

private:
    QString write(const QString &relative, const QByteArray &bytes);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFavorites::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestFavorites::write(const QString &relative, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning() << "cannot write" << path;
    return path;
}

void TestFavorites::safeFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("safe");
    QTest::newRow("plain") << "Example"
                           << "Example";
    QTest::newRow("refused characters") << "a/b\\c:d*e?f\"g<h>i|j"
                                        << "a_b_c_d_e_f_g_h_i_j";
    QTest::newRow("control characters") << QStringLiteral("tab\there\nnew\x7f") << "tab_here_new_";
    QTest::newRow("trailing dots and blanks") << "Name. . "
                                              << "Name";
    QTest::newRow("leading dots") << "..hidden"
                                  << "__hidden";
    QTest::newRow("only dots") << "..."
                               << "___";
    QTest::newRow("empty") << ""
                           << "_";
    QTest::newRow("blanks only") << "   "
                                 << "_";
    QTest::newRow("device name") << "CON"
                                 << "CON_";
    QTest::newRow("device name in lower case, with extension") << "lpt1.txt"
                                                               << "lpt1.txt_";
    QTest::newRow("device name with a blank") << "nul .txt"
                                              << "nul .txt_";
    QTest::newRow("like a device name") << "CONSOLE"
                                        << "CONSOLE";
    QTest::newRow("com0 is allowed") << "COM0"
                                     << "COM0";
    QTest::newRow("non-ASCII") << QStringLiteral("Caf\u00e9 \u65e5\u672c \U0001F4DA")
                               << QStringLiteral("Caf\u00e9 \u65e5\u672c \U0001F4DA");
    QTest::newRow("long") << QString(300, u'x') << QString(120, u'x');
    QTest::newRow("long, wide characters") << QString(100, QChar(0x65E5)) << QString(66, QChar(0x65E5));
    QTest::newRow("long, cut before a surrogate pair")
        << QString(119, u'x') + QStringLiteral("\U0001F4DA\U0001F4DA") << QString(119, u'x');
}

void TestFavorites::safeFileName()
{
    QFETCH(QString, name);
    QFETCH(QString, safe);
    const QString result = FavoritesWriter::safeFileName(name);
    QCOMPARE(result, safe);
    QVERIFY(result.toUtf8().size() + 12 <= 255);

    // The file system takes it, and the import reads the link back under that name.
    auto folder = LinkItem::MakeFolder("F");
    folder->Children.InsertSorted(LinkItem::MakeLink(TextCodec::fromDisplay(name), "https://example.org/"));
    const QString out = m_dir->filePath(QStringLiteral("out"));
    const ExportReport report = FavoritesWriter::write(out, *folder);
    QVERIFY2(report.ok(), qPrintable(report.errorString()));
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList {safe + QStringLiteral(".url")});
    LinkItem back;
    QVERIFY(FavoritesReader::importDirectory(out, back).ok());
    QCOMPARE(back.Children.Count(), 1);
    QCOMPARE(TextCodec::toDisplay(back.Children.Get(0)->Name), safe);
}

void TestFavorites::twinsAreNumbered()
{
    auto folder = LinkItem::MakeFolder("F");
    for (const char *name : {"Twin", "Twin", "twin", "Twin (2)", "a:b", "a?b"})
        folder->Children.InsertSorted(LinkItem::MakeLink(name, std::string("https://example.org/") + name));
    folder->Children.InsertSorted(LinkItem::MakeFolder("Twin"));
    folder->Children.InsertSorted(LinkItem::MakeFolder("twin"));
    const QString out = m_dir->filePath(QStringLiteral("out"));
    QVERIFY(FavoritesWriter::write(out, *folder).ok());
    QDir dir(out);
    QStringList names = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    names.sort();
    // In name order: the link "Twin" twice, the folder "Twin", the link "Twin (2)", "a:b", "a?b", "twin" twice.
    QCOMPARE(names,
             QStringList({"Twin", "Twin (2) (2).url", "Twin (2).url", "Twin.url", "a_b (2).url", "a_b.url", "twin (2)",
                          "twin (3).url"}));
}

// Each twin's number is found in one step: trying every number from 2 again for each would take tens
// of seconds here. The numbers are those of that search: the first free one, names in any case.
void TestFavorites::manyTwins()
{
    constexpr int Count = 10000;
    UniqueFileNames names;
    names.insert(QStringLiteral("TWIN (7).URL"));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0, number = 1; i < Count; ++i, ++number) {
        const QString base = i % 2 ? QStringLiteral("Twin") : QStringLiteral("twin");
        number += number == 7 ? 1 : 0;
        const QString expected = number == 1 ? base + u".url"_qs : QStringLiteral("%1 (%2).url").arg(base).arg(number);
        const QString name = names.take(base, QStringLiteral(".url"));
        if (name != expected)
            QCOMPARE(name, expected);
    }
    QVERIFY2(timer.elapsed() < 5000, QByteArray::number(timer.elapsed()) + " ms");
    QCOMPARE(names.take(QStringLiteral("Twin (2)"), QStringLiteral(".url")), QStringLiteral("Twin (2) (2).url"));
}

void TestFavorites::keepsWhatIsThere()
{
    const QString existing = write(QStringLiteral("out/Example.url"), "[InternetShortcut]\r\nURL=https://mine/\r\n");
    write(QStringLiteral("out/News/keep.txt"), "mine");
    auto folder = LinkItem::MakeFolder("F");
    folder->Children.InsertSorted(LinkItem::MakeLink("Example", "https://new/"));
    folder->Children.InsertSorted(LinkItem::MakeFolder("news"));
    QVERIFY(FavoritesWriter::write(m_dir->filePath(QStringLiteral("out")), *folder).ok());
    QCOMPARE(readFile(existing), QByteArray("[InternetShortcut]\r\nURL=https://mine/\r\n"));
    QCOMPARE(readFile(m_dir->filePath(QStringLiteral("out/Example (2).url"))),
             QByteArray("[InternetShortcut]\r\nURL=https://new/\r\n"));
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("out/news (2)"))).isDir());
    QCOMPARE(readFile(m_dir->filePath(QStringLiteral("out/News/keep.txt"))), QByteArray("mine"));
}

void TestFavorites::shortcutFile()
{
    QCOMPARE(FavoritesWriter::shortcut("https://example.org/?a=1&b=\"2\""),
             QByteArray("[InternetShortcut]\r\nURL=https://example.org/?a=1&b=\"2\"\r\n"));
    QCOMPARE(FavoritesWriter::shortcut("https://x/\r\n[Other]\nURL=evil"),
             QByteArray("[InternetShortcut]\r\nURL=https://x/%0D%0A[Other]%0AURL=evil\r\n"));
    QCOMPARE(IniReader(FavoritesWriter::shortcut("a\nb")).value("InternetShortcut", "URL", FavoritesReader::NoUrl),
             QByteArray("a%0Ab"));
}

void TestFavorites::unwritableFolder()
{
    write(QStringLiteral("file"), "a file, not a folder");
    auto folder = LinkItem::MakeFolder("F");
    folder->Children.InsertSorted(LinkItem::MakeLink("L", "u"));
    const ExportReport report = FavoritesWriter::write(m_dir->filePath(QStringLiteral("file")), *folder);
    QCOMPARE(report.status, ExportReport::Failed);
    QVERIFY(report.errorString().contains(QStringLiteral("Cannot create")));
}

QTEST_GUILESS_MAIN(TestFavorites)
#include "tst_favorites.moc"
