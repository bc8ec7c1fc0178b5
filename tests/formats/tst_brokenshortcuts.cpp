// Replays broken shortcut files and the INI fuzzer's corpus through the shortcut lookup and through the
// Favorites import: every read ends, gives at most 2047 bytes without a zero byte, and the import makes
// a link exactly when the lookup found a URL.
#include "formats/FavoritesReader.h"
#include "formats/IniReader.h"
#include "store/LinkItem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestBrokenShortcuts : public QObject
{
    Q_OBJECT
private slots:
    void brokenFile_data();
    void brokenFile();
    void corpus_data();
    void corpus();

private:
    void checkSound(const QString &path);
};

void TestBrokenShortcuts::brokenFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("url");
    const QByteArray none = FavoritesReader::NoUrl;
    const auto row = [](const char *file, const QByteArray &url) { QTest::newRow(file) << QString(file) << url; };
    row("empty.url", none);
    row("binary-garbage.url", none);
    row("truncated-in-section.url", none);
    row("truncated-after-key.url", none);
    row("truncated-in-value.url", "http://exa");
    row("zero-in-value.url", "http://a");
    row("zero-in-section-name.url", none);
    row("long-line.url", QByteArray(IniReader::MaxValueLength, 'A'));
    row("utf16-odd-length.url", "http://odd/");
    row("utf16-without-bom.url", none);
    row("only-bom.url", none);
    row("cr-only-lines.url", none); // one line: the section header and nothing in the section
    row("many-sections.url", "http://late/");
    row("unterminated-quote.url", "\"http://q");
    row("brackets-only.url", none);
    row("equals-signs.url", "=x");
}

void TestBrokenShortcuts::brokenFile()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, url);
    const QString path = QStringLiteral(QUILLMARK_TEST_DATA "/shortcuts/") + file;
    QVERIFY(QFile::exists(path));
    QCOMPARE(IniReader::profileString(path, "InternetShortcut", "URL", FavoritesReader::NoUrl), url);
    checkSound(path);
}

void TestBrokenShortcuts::corpus_data()
{
    QTest::addColumn<QString>("path");
    for (const char *folder : {QUILLMARK_SOURCE_DIR "/fuzz/corpus/ini", QUILLMARK_TEST_DATA "/shortcuts"}) {
        const QDir dir(QString::fromUtf8(folder));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        for (const QString &file : files)
            QTest::addRow("%s/%s", qPrintable(dir.dirName()), qPrintable(file)) << dir.filePath(file);
    }
}

void TestBrokenShortcuts::corpus()
{
    QFETCH(QString, path);
    checkSound(path);
}

void TestBrokenShortcuts::checkSound(const QString &path)
{
    const QByteArray url = IniReader::profileString(path, "InternetShortcut", "URL", FavoritesReader::NoUrl);
    QVERIFY(url.size() <= IniReader::MaxValueLength);
    QVERIFY(!url.contains('\0'));

    QTemporaryDir dir;
    QVERIFY(QFile::copy(path, dir.filePath(QStringLiteral("Shortcut.url"))));
    LinkItem target;
    FavoritesReader::importDirectory(dir.path(), target);
    if (url == FavoritesReader::NoUrl) {
        QCOMPARE(target.Children.Count(), 0);
    } else {
        QCOMPARE(target.Children.Count(), 1);
        QCOMPARE(target.Children.Get(0)->Name, std::string("Shortcut"));
        QCOMPARE(QByteArray::fromStdString(target.Children.Get(0)->Url.str()), url);
    }
}

QTEST_GUILESS_MAIN(TestBrokenShortcuts)
#include "tst_brokenshortcuts.moc"
