// Syncs against the browser sync extension's own code: its XBEL parser and its WebDAV adapter with the
// lock, run by node from the peers folder beside the source tree (or $QUILLMARK_PEERS), with rclone
// serving the shared folder. The extension's code is copied to a temporary folder and its packages
// installed there; the test is skipped when the code, node, npm or the registry is not there.
#include "DavFixtures.h"

#include "store/Duplicates.h"
#include "sync/SyncFile.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString peerSource()
{
    QStringList candidates;
    const QString fromEnvironment = qEnvironmentVariable("QUILLMARK_PEERS");
    if (!fromEnvironment.isEmpty())
        candidates << fromEnvironment + QStringLiteral("/floccus") << fromEnvironment;
    candidates << QStringLiteral(QUILLMARK_SOURCE_DIR "/../shared/peers/floccus");
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate + QStringLiteral("/flrun.ts")))
            return QDir(candidate).absolutePath();
    }
    return {};
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The extension's code in a folder of its own, ready to run.
class Extension
{
public:
    // Empty when the extension can run; otherwise why not.
    QString setUp()
    {
        const QString source = peerSource();
        if (source.isEmpty())
            return QStringLiteral("the browser extension's code is not in ../shared/peers/floccus beside the source "
                                  "tree, nor in $QUILLMARK_PEERS");
        m_node = QStandardPaths::findExecutable(QStringLiteral("node"));
        const QString npm = QStandardPaths::findExecutable(QStringLiteral("npm"));
        if (m_node.isEmpty() || npm.isEmpty())
            return QStringLiteral("node or npm is missing (scripts/setup installs Debian's nodejs and npm)");
        if (!m_folder.isValid())
            return QStringLiteral("no temporary folder");
        QDirIterator files(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString from = files.next();
            const QString relative = QDir(source).relativeFilePath(from);
            if (relative.startsWith(QLatin1String("node_modules/")))
                continue;
            const QString to = m_folder.filePath(relative);
            if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !QFile::copy(from, to))
                return QStringLiteral("cannot copy %1").arg(from);
        }
        QProcess install;
        install.setWorkingDirectory(m_folder.path());
        install.setProcessChannelMode(QProcess::MergedChannels);
        // Bounded, so that a registry that does not answer skips the test within the test's time.
        install.start(npm,
                      {QStringLiteral("ci"), QStringLiteral("--no-audit"), QStringLiteral("--no-fund"),
                       QStringLiteral("--fetch-timeout=30000"), QStringLiteral("--fetch-retries=1")});
        if (!install.waitForFinished(150000) || install.exitStatus() != QProcess::NormalExit
            || install.exitCode() != 0) {
            install.kill();
            install.waitForFinished();
            return QStringLiteral("npm ci failed: %1").arg(QString::fromLocal8Bit(install.readAll().right(400)));
        }
        return {};
    }

    // The tree the extension reads from the file, as "path #id" and "path <url> #id" lines.
    QString read(const QString &file)
    {
        const QJsonObject answer = run({QStringLiteral("parse"), file});
        QStringList lines;
        describe(answer.value(u"tree").toObject(), {}, lines);
        return lines.join(QStringLiteral("; "));
    }

    // One sync of the extension with the file in the folder, making the edits ops: its answer.
    QJsonObject sync(const QUrl &folder, const QString &fileName, const QJsonArray &ops)
    {
        const QString opsFile = m_folder.filePath(QStringLiteral("ops.json"));
        QFile file(opsFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        file.write(QJsonDocument(ops).toJson());
        file.close();
        return run({QStringLiteral("sync"), folder.toString(), fileName, opsFile});
    }

    // The addresses as a browser's URL parser writes them (node's is the one browsers share).
    QStringList browserSpellings(const QStringList &urls)
    {
        QProcess process;
        process.start(m_node,
                      {QStringLiteral("-e"),
                       QStringLiteral("console.log(JSON.stringify(JSON.parse(process.argv[1])"
                                      ".map(u => new URL(u).href)))"),
                       QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(urls)).toJson())});
        QStringList spellings;
        if (!process.waitForFinished(30000))
            return spellings;
        for (const QJsonValue value : QJsonDocument::fromJson(process.readAllStandardOutput()).array())
            spellings << value.toString();
        return spellings;
    }

private:
    QJsonObject run(const QStringList &arguments)
    {
        QProcess process;
        process.setWorkingDirectory(m_folder.path());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(m_folder.filePath(QStringLiteral("node_modules/.bin/tsx")),
                      QStringList {QStringLiteral("flrun.ts")} + arguments);
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        // The answer is the last line that is JSON.
        const QByteArray out = process.readAllStandardOutput();
        const QJsonDocument whole = QJsonDocument::fromJson(out);
        if (whole.isObject())
            return whole.object();
        const QList<QByteArray> lines = out.trimmed().split('\n');
        return QJsonDocument::fromJson(lines.value(lines.size() - 1)).object();
    }

    static void describe(const QJsonObject &folder, const QString &path, QStringList &lines)
    {
        for (const QJsonValue value : folder.value(u"children").toArray()) {
            const QJsonObject child = value.toObject();
            const QString childPath = path + u'/' + child.value(u"title").toString();
            const QString id = QStringLiteral(" #%1").arg(child.value(u"id").toInt());
            if (child.value(u"type").toString() == u"folder") {
                lines << childPath + id;
                describe(child, childPath, lines);
            } else {
                lines << childPath + QStringLiteral(" <") + child.value(u"url").toString() + u'>' + id;
            }
        }
    }

    QTemporaryDir m_folder;
    QString m_node;
};

QJsonObject addFolder(const QStringList &parentPath, const QString &title)
{
    return {
        {u"op"_qs, u"addFolder"_qs}, {u"parentPath"_qs, QJsonArray::fromStringList(parentPath)}, {u"title"_qs, title}};
}

QJsonObject addBookmark(const QStringList &parentPath, const QString &title, const QString &url)
{
    return {{u"op"_qs, u"addBookmark"_qs},
            {u"parentPath"_qs, QJsonArray::fromStringList(parentPath)},
            {u"title"_qs, title},
            {u"url"_qs, url}};
}

} // namespace

class TestExtensionPeer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void backslashNames();
    void browserSpellings();
    void fileInSubfolder();

private:
    Extension m_extension;
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestExtensionPeer::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("rclone")).isEmpty())
        QSKIP("rclone is not installed (Debian's rclone package; scripts/setup installs it)");
    const QString problem = m_extension.setUp();
    if (!problem.isEmpty())
        QSKIP(qPrintable(QStringLiteral("No browser extension to sync with: %1").arg(problem)));
}

void TestExtensionPeer::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

// A name the collection cannot hold is shown with "_" here, and the shared file keeps the browser's: syncs
// without a change give nothing back, and a change elsewhere leaves the names and ids alone.
void TestExtensionPeer::backslashNames()
{
    RcloneServer server;
    QVERIFY(!server.url().isEmpty());
    const QJsonObject browser = m_extension.sync(server.url(), u"bookmarks.xbel"_qs,
                                                 {addFolder({}, u"Empty\\folder"_qs), addFolder({}, u"Links"_qs),
                                                  addBookmark({u"Links"_qs}, u"a\\b"_qs, u"https://a.example/"_qs),
                                                  addBookmark({}, u"c\\d"_qs, u"https://c.example/"_qs)});
    QCOMPARE(browser.value(u"result").toString(), u"ok"_qs);
    const QString serverFile = server.path(u"bookmarks.xbel"_qs);
    const QByteArray written = readFile(serverFile);
    const QString tree = m_extension.read(serverFile);
    QCOMPARE(tree,
             u"/Empty\\folder #1; /Links #2; /Links/a\\b <https://a.example/> #3; /c\\d <https://c.example/> #4"_qs);

    Computer a(m_home->filePath(u"a.dat"_qs));
    SyncRun::Outcome outcome = a.sync(server.url());
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(a.text(), u"/Empty_folder; /Links; /Links/a_b <https://a.example/>; /c_d <https://c.example/>"_qs);
    for (int again = 0; again < 2; ++again) {
        outcome = a.sync(server.url());
        QVERIFY2(outcome.ok(), qPrintable(outcome.error));
        QCOMPARE(outcome.report.given, QStringList());
        QCOMPARE(outcome.report.taken, QStringList());
        QVERIFY(!outcome.uploaded);
    }
    QCOMPARE(readFile(serverFile), written);

    a.root.Children.InsertSorted(LinkItem::MakeLink("new", "https://new.example/"));
    outcome = a.sync(server.url());
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(outcome.report.given, QStringList(u"Added \u201Cnew\u201D"_qs));
    QCOMPARE(m_extension.read(serverFile), tree + u"; /new <https://new.example/> #5"_qs);
    QCOMPARE(m_extension.sync(server.url(), u"bookmarks.xbel"_qs, {}).value(u"result").toString(), u"ok"_qs);
}

// Links a browser wrote to the file and the same links as typed or imported here are the same links: a first
// sync keeps each once, Find Duplicates pairs them, and an import that skips known links skips them.
void TestExtensionPeer::browserSpellings()
{
    const QStringList typed {
        u"HTTP://EXAMPLE.ORG/Case"_qs,
        u"http://example.org:80/default-port"_qs,
        u"https://example.org:443/default-port"_qs,
        u"ftp://example.org:21/default-port"_qs,
        u"http://example.org/a/../dots"_qs,
        u"http://example.org/a/./b/%2e%2E/more-dots"_qs,
        u"http://example.org\\back\\slashes"_qs,
        u"http://example.org/q?x=\"quotes\""_qs,
        u"http://example.org/<angle>"_qs,
        u"http://example.org/{braces}"_qs,
        u"http://example.org/q?x='apostrophes'"_qs,
        u"http://example.org/a space?and more#and the rest"_qs,
        u"http://example.org"_qs,
        u"http://b\u00FCcher.example/idn"_qs,
        u"http://ex%41mple.org/escaped-host"_qs,
    };
    const QStringList written = m_extension.browserSpellings(typed);
    QCOMPARE(written.size(), typed.size());

    RcloneServer server;
    QVERIFY(!server.url().isEmpty());
    QJsonArray ops {addFolder({}, u"Links"_qs)};
    Computer a(m_home->filePath(u"a.dat"_qs));
    LinkItem *links = a.root.Children.Get(a.root.Children.InsertSorted(LinkItem::MakeFolder("Links")));
    auto known = LinkItem::MakeFolder("Known");
    auto both = LinkItem::MakeFolder("Both");
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QString title = QStringLiteral("Link %1").arg(i);
        // Some browsers keep the blanks around a title.
        ops.append(addBookmark({u"Links"_qs}, i % 3 ? title : u"  "_qs + title + u' ', written[i]));
        links->Children.InsertSorted(LinkItem::MakeLink(title.toStdString(), typed[i].toStdString()));
        known->Children.InsertSorted(LinkItem::MakeLink("typed", typed[i].toStdString()));
        both->Children.InsertSorted(LinkItem::MakeLink("typed", typed[i].toStdString()));
        both->Children.InsertSorted(LinkItem::MakeLink("written", written[i].toStdString()));
    }
    QCOMPARE(m_extension.sync(server.url(), u"bookmarks.xbel"_qs, ops).value(u"result").toString(), u"ok"_qs);

    const SyncRun::Outcome outcome = a.sync(server.url());
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QVERIFY2(outcome.report.given.isEmpty(), qPrintable(outcome.report.given.join(u'\n')));
    QCOMPARE(a.find(u"/Links"_qs)->Children.Count(), size_t(typed.size()));
    QCOMPARE(SyncFile::read(readFile(server.path(u"bookmarks.xbel"_qs))).tree.size(), int(typed.size()) + 1);

    const std::vector<Duplicates::Group> groups = Duplicates::find(both.get(), UrlKey());
    QCOMPARE(groups.size(), size_t(typed.size()));
    auto imported = LinkItem::MakeFolder("Imported");
    for (const QString &url : written)
        imported->Children.InsertSorted(LinkItem::MakeLink("x", url.toStdString()));
    QCOMPARE(Duplicates::dropKnown(*imported, *known, UrlKey()), int(written.size()));
}

// The shared file in a folder below the server's folder: each side finds what the other wrote there.
void TestExtensionPeer::fileInSubfolder()
{
    RcloneServer server;
    QVERIFY(!server.url().isEmpty());
    QVERIFY(QDir().mkpath(server.path(u"sub"_qs)));
    const QString name = u"sub/bookmarks.xbel"_qs;
    QCOMPARE(m_extension.sync(server.url(), name, {addBookmark({}, u"theirs"_qs, u"https://theirs.example/"_qs)})
                 .value(u"result")
                 .toString(),
             u"ok"_qs);

    Computer a(m_home->filePath(u"a.dat"_qs));
    a.fileName = name;
    a.root.Children.InsertSorted(LinkItem::MakeLink("mine", "https://mine.example/"));
    const SyncRun::Outcome outcome = a.sync(server.url());
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(a.text(), u"/mine <https://mine.example/>; /theirs <https://theirs.example/>"_qs);
    QCOMPARE(m_extension.read(server.path(name)),
             u"/theirs <https://theirs.example/> #1; /mine <https://mine.example/> #2"_qs);
    QVERIFY(!QFile::exists(server.path(name + u".lock"_qs)));
    QCOMPARE(m_extension.sync(server.url(), name, {}).value(u"result").toString(), u"ok"_qs);
}

QTEST_GUILESS_MAIN(TestExtensionPeer)
#include "tst_extensionpeer.moc"
