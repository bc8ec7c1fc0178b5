#include "platform/SingleInstance.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString ToolPath = QStringLiteral(QUILLMARK_BIN_DIR "/quillmark-tool");

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

LinkItem *addLink(LinkItem &folder, const char *name, const char *url, int visits = 0)
{
    LinkItem *link = folder.Children.Get(folder.Children.InsertSorted(LinkItem::MakeLink(name, url)));
    link->Visits = visits;
    return link;
}

LinkItem *addFolder(LinkItem &folder, const char *name)
{
    return folder.Children.Get(folder.Children.InsertSorted(LinkItem::MakeFolder(name)));
}

// "Work" and " work" (to merge), each with the same page under another name; a third copy of the page
// at the top, written with a fragment and tracking parameters; "extra" links repeated once each.
std::unique_ptr<LinkItem> collection(int extra = 0)
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *work = addFolder(*root, "Work");
    LinkItem *other = addFolder(*root, " work");
    addLink(*work, "Wiki", "http://wiki.example/", 2);
    addLink(*other, "Wiki", "HTTP://WIKI.example:80", 5);
    addLink(*other, "Mail", "https://mail.example/inbox");
    addLink(*root, "Mail again", "https://mail.example/inbox#top?x");
    addLink(*root, "Mail tracked", "https://mail.example/inbox?utm_source=news");
    for (int i = 0; i < extra; ++i) {
        const std::string url = "https://many.example/" + std::to_string(i);
        addLink(*work, "a", url.c_str());
        addLink(*work, "b", url.c_str());
    }
    return root;
}

std::unique_ptr<LinkItem> read(const QString &path)
{
    auto root = LinkItem::MakeFolder("Quillmark");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !NativeFile::read(file, *root, true).ok())
        qWarning() << "cannot read" << path;
    return root;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestDedupeTool : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void duplicates_data();
    void duplicates();
    void dedupe_data();
    void dedupe();
    void dedupeWhileRunning();
    void badArguments_data();
    void badArguments();

private:
    Result run(const QStringList &arguments);
    QString write(const LinkItem &root, const QString &name);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDedupeTool::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

Result TestDedupeTool::run(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath(QStringLiteral("data-home")));
    process.setProcessEnvironment(environment);
    process.start(ToolPath, arguments);
    Result result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString TestDedupeTool::write(const LinkItem &root, const QString &name)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    if (!NativeFile::saveAtomically(path, root, &error))
        qWarning() << error;
    return path;
}

void TestDedupeTool::duplicates_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("groups"); // each group: its url, then its links' paths and names

    QTest::newRow("plain") << QStringList()
                           << QStringList {"http://wiki.example/: Quillmark\\ work Wiki, Quillmark\\Work Wiki"};
    QTest::newRow("fragment") << QStringList {"--ignore-fragment"}
                              << QStringList {"https://mail.example/inbox: Quillmark\\ work Mail, Quillmark Mail again",
                                              "http://wiki.example/: Quillmark\\ work Wiki, Quillmark\\Work Wiki"};
    QTest::newRow("both") << QStringList {"--ignore-tracking", "--ignore-fragment"}
                          << QStringList {"https://mail.example/inbox: Quillmark\\ work Mail, Quillmark Mail again, "
                                          "Quillmark Mail tracked",
                                          "http://wiki.example/: Quillmark\\ work Wiki, Quillmark\\Work Wiki"};
    QTest::newRow("below a folder") << QStringList {"--folder", "Work", "--ignore-fragment"} << QStringList();
}

void TestDedupeTool::duplicates()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, groups);
    const QString data = write(*collection(), QStringLiteral("data.qmf"));
    const QByteArray before = readAll(data);
    const Result result = run(QStringList {QStringLiteral("duplicates")} + options + QStringList {data});
    QCOMPARE(result.exitCode, 0);
    QStringList found;
    for (const QJsonValue &group : QJsonDocument::fromJson(result.out).array()) {
        QStringList links;
        for (const QJsonValue &link : group[QStringLiteral("links")].toArray()) {
            links << link[QStringLiteral("path")].toString() + QLatin1Char(' ')
                    + link[QStringLiteral("name")].toString();
            QVERIFY(link.toObject().contains(QStringLiteral("url")));
            QVERIFY(link.toObject().contains(QStringLiteral("visits")));
            QVERIFY(link.toObject().contains(QStringLiteral("lastVisit")));
        }
        found << group[QStringLiteral("url")].toString() + QStringLiteral(": ") + links.join(QStringLiteral(", "));
    }
    QCOMPARE(found, groups);
    QCOMPARE(readAll(data), before); // listing changes nothing
}

void TestDedupeTool::dedupe_data()
{
    QTest::addColumn<int>("extra");
    QTest::addColumn<bool>("backup");
    QTest::newRow("a few") << 3 << false;
    // With the merged folder and the links of the collection, more than 100 items go.
    QTest::newRow("many") << 100 << true;
}

void TestDedupeTool::dedupe()
{
    QFETCH(int, extra);
    QFETCH(bool, backup);
    const QString data = write(*collection(extra), QStringLiteral("col/data.qmf"));
    const QByteArray before = readAll(data);
    // Older backups than Quillmark keeps by default: how many it keeps is its setting, not the tool's.
    const int older = 20;
    for (int day = 1; backup && day <= older; ++day)
        write(*collection(), QStringLiteral("col/backups/Quillmark-2020-01-%1.dat").arg(day, 2, 10, QLatin1Char('0')));
    const Result result = run({QStringLiteral("dedupe"), QStringLiteral("--ignore-fragment"), data});
    QCOMPARE(result.exitCode, 0);
    const QJsonObject printed = QJsonDocument::fromJson(result.out).object();
    const QJsonArray merged = printed[QStringLiteral("mergedFolders")].toArray();
    QCOMPARE(merged.size(), 1);
    QCOMPARE(merged.at(0)[QStringLiteral("path")].toString(), QStringLiteral("Quillmark\\Work"));
    QCOMPARE(merged.at(0)[QStringLiteral("into")].toString(), QStringLiteral("Quillmark\\ work"));
    // One of the two identical Wikis, the deeper Mail, then one of each extra pair.
    QCOMPARE(printed[QStringLiteral("removedLinks")].toArray().size(), 2 + extra);

    const auto root = read(data);
    // " work", "Mail again" (the shallowest Mail) and "Mail tracked".
    QCOMPARE(root->Children.Count(), 3);
    const LinkItem *work = root->Children.Get(0);
    QCOMPARE(work->Name.view(), std::string_view(" work"));
    QCOMPARE(work->Children.Count(), 1 + extra);
    for (const auto &link : work->Children) {
        if (link->Name.view() == "Wiki")
            QCOMPARE(link->Visits, 7);
    }
    const QString today = m_dir->filePath(
        QStringLiteral("col/backups/Quillmark-%1.dat").arg(QDate::currentDate().toString(Qt::ISODate)));
    QCOMPARE(QFile::exists(today), backup);
    if (backup) {
        QCOMPARE(readAll(today), before);
        QCOMPARE(QDir(m_dir->filePath(QStringLiteral("col/backups"))).entryList(QDir::Files).size(), older + 1);
    }

    // Nothing left to do: the file stays as it is.
    const QByteArray after = readAll(data);
    const Result again = run({QStringLiteral("dedupe"), QStringLiteral("--ignore-fragment"), data});
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(readAll(data), after);
}

void TestDedupeTool::dedupeWhileRunning()
{
    const QString data = write(*collection(), QStringLiteral("data-home/Quillmark/Quillmark.dat"));
    const QByteArray before = readAll(data);
    {
        SingleInstance running;
        QCOMPARE(running.start(), SingleInstance::Role::Primary);
        const Result refused = run({QStringLiteral("dedupe"), data});
        QCOMPARE(refused.exitCode, 4);
        QVERIFY2(refused.err.contains("Quillmark is running"), refused.err.constData());
        QCOMPARE(readAll(data), before);
        QCOMPARE(run({QStringLiteral("duplicates"), data}).exitCode, 0); // reading is harmless
    }
    QCOMPARE(run({QStringLiteral("dedupe"), data}).exitCode, 0);
    QVERIFY(readAll(data) != before);
}

void TestDedupeTool::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("no file") << QStringList {"duplicates"} << 2;
    QTest::newRow("two files") << QStringList {"dedupe", "a", "b"} << 2;
    QTest::newRow("folder without value") << QStringList {"duplicates", "x", "--folder"} << 2;
    QTest::newRow("unknown option") << QStringList {"dedupe", "--format", "html", "x"} << 2;
    QTest::newRow("missing file") << QStringList {"duplicates", "/nonexistent/data.qmf"} << 2;
}

void TestDedupeTool::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY(!result.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestDedupeTool)
#include "tst_dedupetool.moc"
