// Sync on a document and a view: the settings dialog keeps the password in the secret store only, Sync Now takes
// another computer's changes as one step to undo after a backup, and a server that fails changes nothing.
#include "common/ViewFixture.h"
#include "sync/DavFixtures.h"

#include "mainwindow/SyncCommands.h"
#include "mainwindow/SyncDialog.h"
#include "platform/SecretStore.h"
#include "settings/Settings.h"
#include "store/Repository.h"
#include "transfer/LongCommands.h"

#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace {

// A secret store in memory, as the desktop's would answer: later, on this thread.
class MemorySecretStore : public SecretStore
{
public:
    QMap<QString, QString> secrets;

    void read(const QString &key, Done done) override
    {
        QMetaObject::invokeMethod(
            this, [this, key, done] { done(secrets.value(key), {}); }, Qt::QueuedConnection);
    }
    void write(const QString &key, const QString &secret, Done done) override
    {
        if (secret.isEmpty())
            secrets.remove(key);
        else
            secrets.insert(key, secret);
        QMetaObject::invokeMethod(
            this, [done] { done({}, {}); }, Qt::QueuedConnection);
    }
};

std::unique_ptr<LinkItem> collection()
{
    auto root = LinkItem::MakeFolder(Repository::RootName);
    LinkItem *work = root->Children.Get(root->Children.InsertSorted(LinkItem::MakeFolder("Work")));
    work->Children.InsertSorted(LinkItem::MakeLink("Alpha", "https://alpha.example/"));
    return root;
}

} // namespace

class TestSyncCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void syncsWithAServer();
    void failuresChangeNothing_data();
    void failuresChangeNothing();
    void dialogChecksAddress_data();
    void dialogChecksAddress();

private:
    // Sets up the sync in the dialog, as a user would, and syncs with "Sync Now".
    void setUp(const QUrl &server, const QString &password);
    bool waitForSync();

    std::unique_ptr<QTemporaryDir> m_dir;
    MemorySecretStore m_secrets;
    std::unique_ptr<ViewFixture> m_fixture;
    SyncCommands *m_sync = nullptr;
};

void TestSyncCommands::init()
{
    // Settings and a data folder (where the sync keeps its state) of the test's own.
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
    Settings::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
    QVERIFY(QDir().mkpath(Repository::DataFolder()));
    m_fixture = std::make_unique<ViewFixture>(collection());
    m_sync = new SyncCommands(&m_fixture->document, &m_fixture->view, m_fixture->parent.get());
    m_sync->setSecretStore(&m_secrets);
    m_sync->setTimeout(5000);
}

void TestSyncCommands::cleanup()
{
    m_fixture.reset();
    m_secrets.secrets.clear();
    m_dir.reset();
}

void TestSyncCommands::setUp(const QUrl &server, const QString &password)
{
    const QMetaObject::Connection filling = connect(m_sync, &SyncCommands::dialogShown, this, [&](SyncDialog *dialog) {
        dialog->serverEdit()->setText(server.toString());
        dialog->passwordEdit()->setText(password);
        for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
            if (button->text() == QStringLiteral("Sync &Now"))
                QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
        }
    });
    m_sync->showSettings();
    QTRY_VERIFY(m_sync->isRunning() || !m_sync->lastResult().isEmpty());
    disconnect(filling);
}

bool TestSyncCommands::waitForSync()
{
    QSignalSpy ended(m_sync, &SyncCommands::syncEnded);
    if (!m_sync->lastResult().isEmpty() && !m_sync->isRunning())
        return m_sync->lastResult().contains(QStringLiteral("Synced at"));
    return ended.wait(20000) && ended.first().first().toBool();
}

void TestSyncCommands::syncsWithAServer()
{
    RcloneServer server;
    if (server.url().isEmpty())
        QSKIP("rclone is not installed: no WebDAV server to sync with");

    setUp(server.url(), QStringLiteral("s3cret"));
    QVERIFY2(waitForSync(), qPrintable(m_sync->lastResult()));
    QCOMPARE(m_secrets.secrets.values(), QStringList {QStringLiteral("s3cret")});
    QByteArray settings;
    for (QDirIterator files(m_dir->filePath(QStringLiteral("config")), QDir::Files, QDirIterator::Subdirectories);
         files.hasNext();) {
        QFile file(files.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        settings += file.readAll();
    }
    QVERIFY(settings.contains(server.url().toEncoded()));
    QVERIFY(!settings.contains("s3cret"));
    CollectionDocument &document = m_fixture->document;
    QVERIFY(!document.canUndo()); // the first sync only gave

    // Another computer takes the collection, adds to it and renames in it.
    Computer other(m_dir->filePath(QStringLiteral("other.dat")));
    QVERIFY(other.sync(server.url()).ok());
    QCOMPARE(other.text(), QStringLiteral("/Work; /Work/Alpha <https://alpha.example/>"));
    other.find(QStringLiteral("Work"))->Children.InsertSorted(LinkItem::MakeLink("Beta", "https://beta.example/"));
    other.find(QStringLiteral("Work/Alpha"))->Name = "Alpha renamed";
    QVERIFY(other.sync(server.url()).ok());

    const LinkItem &root = *m_fixture->root();
    const QString before = collectionText(root);
    // The backup is asked for before the sync changes the collection.
    QStringList backedUp;
    connect(&m_fixture->view, &CollectionView::backupWanted, this, [&] { backedUp << collectionText(root); });
    QSignalSpy ended(m_sync, &SyncCommands::syncEnded);
    {
        // While an import or an export runs (an export writes the collection on the pool), what the sync
        // brings waits for its end.
        LongCommands::Guard transfer;
        m_sync->syncNow();
        QTest::qWait(1000);
        QCOMPARE(ended.size(), 0);
        QCOMPARE(collectionText(root), before);
    }
    QVERIFY2(ended.wait(20000) && ended.first().first().toBool(), qPrintable(m_sync->lastResult()));
    QCOMPARE(m_sync->lastResult().section(QStringLiteral(": "), 1), QStringLiteral("2 changes taken, 0 given."));
    QVERIFY(m_sync->statusField()->text().startsWith(QStringLiteral("Synced ")));
    QCOMPARE(collectionText(root),
             QStringLiteral("/Work; /Work/Alpha renamed <https://alpha.example/>; "
                            "/Work/Beta <https://beta.example/>"));
    QCOMPARE(backedUp, QStringList {before});

    // One step takes the whole sync back.
    QCOMPARE(document.undoCaption(), QStringLiteral("Sync"));
    document.undo();
    QVERIFY(!document.canUndo());
    QCOMPARE(collectionText(root), before);

    // Set to sync at start and exit: the end of the program waits for a last sync that gives what is new.
    QVERIFY(!m_sync->syncBeforeExit([] {}));
    SyncSettings sync = Settings().GetSync();
    sync.atStartAndExit = true;
    QVERIFY(Settings().SetSync(sync));
    m_sync->collectionLoaded();
    QVERIFY2(waitForSync(), qPrintable(m_sync->lastResult()));
    document.insertSorted(m_fixture->root(), LinkItem::MakeLink("Gamma", "https://gamma.example/"));
    bool done = false;
    QVERIFY(m_sync->syncBeforeExit([&done] { done = true; }));
    QTRY_VERIFY(done);
    QVERIFY(other.sync(server.url()).ok());
    QVERIFY(other.text().contains(QStringLiteral("/Gamma <https://gamma.example/>")));
}

void TestSyncCommands::failuresChangeNothing_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("message");

    QTest::newRow("wrong password") << ToldServer::status(401, "Unauthorized").bytes
                                    << QStringLiteral("refused the user name or password");
    QTest::newRow("server error") << ToldServer::status(500, "Internal Server Error").bytes
                                  << QStringLiteral("server failed (status 500)");
}

void TestSyncCommands::failuresChangeNothing()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, message);
    ToldServer server([&](const QByteArray &, const QByteArray &) { return ToldServer::Answer {answer}; });

    setUp(server.url(), QStringLiteral("pw"));
    QVERIFY(!waitForSync());
    QVERIFY2(m_sync->lastResult().contains(message), qPrintable(m_sync->lastResult()));
    QCOMPARE(m_sync->statusField()->text(), QStringLiteral("Sync failed"));
    QCOMPARE(m_sync->statusField()->toolTip(), m_sync->lastResult());
    QVERIFY(!m_fixture->document.canUndo());
    QVERIFY(m_fixture->boxes.noneShown());
    for (const QString &request : server.requests)
        QVERIFY2(!request.startsWith(QStringLiteral("PUT /dav/bookmarks.xbel ")), qPrintable(request));
}

void TestSyncCommands::dialogChecksAddress_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("warns"); // that the password goes in clear text
    QTest::addColumn<bool>("usable"); // Sync Now can be chosen

    QTest::newRow("http to another computer")
        << u"http://dav.example.org/me/"_qs << u"pw"_qs << u"bookmarks.xbel"_qs << true << true;
    QTest::newRow("http by address") << u"http://192.0.2.7/"_qs << u"pw"_qs << u"bookmarks.xbel"_qs << true << true;
    QTest::newRow("https") << u"https://dav.example.org/me/"_qs << u"pw"_qs << u"bookmarks.xbel"_qs << false << true;
    QTest::newRow("http without a password")
        << u"http://dav.example.org/me/"_qs << QString() << u"bookmarks.xbel"_qs << false << true;
    QTest::newRow("http to localhost") << u"http://localhost:8080/"_qs << u"pw"_qs << u"bookmarks.xbel"_qs << false
                                       << true;
    QTest::newRow("http to 127.0.0.1") << u"http://127.0.0.1/"_qs << u"pw"_qs << u"bookmarks.xbel"_qs << false << true;
    QTest::newRow("http to ::1") << u"http://[::1]:8080/"_qs << u"pw"_qs << u"bookmarks.xbel"_qs << false << true;
    QTest::newRow("a file in a folder below")
        << u"https://dav.example.org/"_qs << u"pw"_qs << u"sub/bookmarks.xbel"_qs << false << true;
    QTest::newRow("a file above") << u"https://dav.example.org/"_qs << u"pw"_qs << u"../bookmarks.xbel"_qs << false
                                  << false;
    QTest::newRow("a file from the top") << u"https://dav.example.org/"_qs << u"pw"_qs << u"/bookmarks.xbel"_qs << false
                                         << false;
}

void TestSyncCommands::dialogChecksAddress()
{
    QFETCH(QString, server);
    QFETCH(QString, password);
    QFETCH(QString, fileName);
    QFETCH(bool, warns);
    QFETCH(bool, usable);
    SyncDialog dialog(SyncSettings(), QString(), nullptr);
    dialog.serverEdit()->setText(server);
    dialog.passwordEdit()->setText(password);
    dialog.fileNameEdit()->setText(fileName);
    QCOMPARE(dialog.warnsOfClearText(), warns);
    QPushButton *syncNow = nullptr;
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == QStringLiteral("Sync &Now"))
            syncNow = button;
    }
    QVERIFY(syncNow);
    QCOMPARE(syncNow->isEnabled(), usable);
}

QTEST_MAIN(TestSyncCommands)
#include "tst_synccommands.moc"
