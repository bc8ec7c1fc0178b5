// Replays the fuzzers' corpora (sample files and the ways they break) through the readers, and reads
// the samples cut at every byte: every read ends with a sound tree that the writer stores and the
// reader reads back the same, and a file cut short keeps every bookmark that lies before the cut.
#include "FormatFixtures.h"

#include "formats/BookmarkHtmlReader.h"
#include "formats/BookmarkHtmlWriter.h"
#include "formats/OperaHotlistReader.h"
#include "formats/OperaHotlistWriter.h"
#include "formats/XbelReader.h"
#include "formats/XbelWriter.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <functional>

using namespace FormatFixtures;

namespace {

struct Format
{
    std::function<ImportReport(const QByteArray &, LinkItem &)> read;
    std::function<QByteArray(const LinkItem &)> write;
};

Format formatNamed(const QString &name)
{
    if (name == u"html")
        return {[](const QByteArray &b, LinkItem &t) { return BookmarkHtmlReader::readBytes(b, t); },
                [](const LinkItem &f) { return BookmarkHtmlWriter::toBytes(f); }};
    if (name == u"opera")
        return {[](const QByteArray &b, LinkItem &t) { return OperaHotlistReader::readBytes(b, t); },
                [](const LinkItem &f) { return OperaHotlistWriter::toBytes(f); }};
    return {[](const QByteArray &b, LinkItem &t) { return XbelReader::readBytes(b, t); },
            [](const LinkItem &f) { return XbelWriter::toBytes(f); }};
}

// Every link below root as "name <url>".
QSet<QString> linksBelow(const LinkItem &root)
{
    QSet<QString> links;
    std::vector<const LinkItem *> pending {&root};
    while (!pending.empty()) {
        const LinkItem *item = pending.back();
        pending.pop_back();
        for (const auto &child : item->Children) {
            if (!child->isFolder())
                links.insert(TextCodec::toDisplay(child->Name) + u" <"_qs + TextCodec::toDisplay(child->Url) + u'>');
            pending.push_back(child.get());
        }
    }
    return links;
}

// Reads, checks the tree, writes, reads back and compares.
void replay(const Format &format, const QByteArray &bytes)
{
    LinkItem root;
    const ImportReport report = format.read(bytes, root);
    QVERIFY(report.status != ImportReport::Cancelled);
    QCOMPARE(report.ok(), report.problems.isEmpty());
    checkSound(root, report.folders, report.links);
    if (QTest::currentTestFailed())
        return;
    LinkItem again;
    const ImportReport reread = format.read(format.write(root), again);
    QVERIFY2(reread.ok(), qPrintable(reread.errorString()));
    compareTrees(root, again, {});
}

} // namespace

class TestBrokenFormats : public QObject
{
    Q_OBJECT
private slots:
    void corpus_data();
    void corpus();
    void cutEverywhere_data();
    void cutEverywhere();
};

void TestBrokenFormats::corpus_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("path");
    for (const QString &format : {u"html"_qs, u"opera"_qs, u"xbel"_qs}) {
        const QDir corpus(QStringLiteral(QUILLMARK_SOURCE_DIR "/fuzz/corpus/") + format);
        const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
        QVERIFY(files.size() > 10);
        for (const QString &file : files)
            QTest::addRow("%s/%s", qPrintable(format), qPrintable(file)) << format << corpus.filePath(file);
    }
}

void TestBrokenFormats::corpus()
{
    QFETCH(QString, format);
    QFETCH(QString, path);
    replay(formatNamed(format), readFile(path));
}

void TestBrokenFormats::cutEverywhere_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("file");
    // Where each link's name and URL are complete in the file, and what the link is.
    QTest::addColumn<QString>("linkPattern");
    QTest::newRow("html") << u"html"_qs << u"chrome.html"_qs
                          << u"<A HREF=\"(?<url>[^\"]*)\"[^>]*>(?<name>[^<]*)</A>"_qs;
    QTest::newRow("opera") << u"opera"_qs << u"opera.adr"_qs
                           << u"#URL\r\n(?:\t[A-Z ]+=.*\r\n)*?\tNAME=(?<name>.*)\r\n\tURL=(?<url>.*)\r\n"_qs;
    QTest::newRow("xbel")
        << u"xbel"_qs << u"desktop.xbel"_qs
        << u"<bookmark href=\"(?<url>[^\"]*)\"[^>]*>\\s*<title>(?<name>[^<]*)</title>[\\s\\S]*?</bookmark>"_qs;
}

void TestBrokenFormats::cutEverywhere()
{
    QFETCH(QString, format);
    QFETCH(QString, file);
    QFETCH(QString, linkPattern);
    const Format reader = formatNamed(format);
    const QByteArray whole = readFile(QStringLiteral(QUILLMARK_TEST_DATA "/formats/") + file);
    const QString text = QString::fromUtf8(whole);
    QCOMPARE(text.toUtf8(), whole); // offsets in the text are offsets in the file

    struct Expected
    {
        qsizetype end;
        QString link;
    };
    std::vector<Expected> expected;
    QRegularExpressionMatchIterator matches = QRegularExpression(linkPattern).globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const QString name = match.captured(u"name").replace(u"&amp;"_qs, u"&"_qs);
        const QString url = match.captured(u"url").replace(u"&amp;"_qs, u"&"_qs);
        expected.push_back({match.capturedEnd(), name + u" <"_qs + url + u'>'});
    }
    QVERIFY(expected.size() >= 3);

    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        const QByteArray bytes = whole.left(cut);
        LinkItem root;
        const ImportReport report = reader.read(bytes, root);
        checkSound(root, report.folders, report.links);
        const QSet<QString> links = linksBelow(root);
        for (const Expected &link : expected) {
            if (link.end <= cut)
                QVERIFY2(links.contains(link.link),
                         qPrintable(QStringLiteral("cut at %1: %2").arg(cut).arg(link.link)));
        }
        if (QTest::currentTestFailed())
            return;
    }
}

QTEST_GUILESS_MAIN(TestBrokenFormats)
#include "tst_brokenformats.moc"
