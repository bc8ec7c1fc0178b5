// File > Import > From Browser...: the profiles with their counts, the chosen one added as one folder
// named after browser and profile as one step to undo, Cancel and damaged profiles adding nothing.
#include "common/Sanitizers.h"
#include "common/TransferFakes.h"
#include "settings/Settings.h"

#include "common/EventLoopStalls.h"
#include "common/SpecialFiles.h"
#include "common/TransferEnd.h"
#include "mainwindow/BrowserImportCommands.h"
#include "platform/Background.h"
#include "store/CollectionDocument.h"
#include "transfer/BrowserImportDialog.h"

#include <atomic>
#include <functional>

#include <QDialogButtonBox>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString Data = QStringLiteral(QUILLMARK_TEST_DATA "/browsers/");

} // namespace

class TestBrowserImport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void import_data();
    void import();
    void dialogListsProfiles();
    void countingStaysResponsive_data();
    void countingStaysResponsive();
    void importStaysResponsive();
    void importWaitsForNoCounting();
    void noProfiles();
    void cancelAddsNothing();

private:
    BrowserProfile profile(const QString &name, const QString &file);
    // Imports profile and waits for the import's end; false when nothing was added.
    static bool imported(BrowserImportCommands *commands, const BrowserProfile &profile);
    static QStringList rowsOf(const BrowserImportDialog &dialog);

    QTemporaryDir m_dir;
    ShownFolder m_host;
    FakePrompts m_prompts;
    std::unique_ptr<BrowserImportCommands> m_commands;
    std::unique_ptr<LinkItem> m_folder;
};

void TestBrowserImport::init()
{
    m_folder = LinkItem::MakeFolder("Target");
    m_folder->Children.InsertSorted(LinkItem::MakeLink("Already there", "https://there.example/"));
    m_host.show(m_folder.get());
    Settings::SetStorageFolder(m_dir.filePath(QStringLiteral("config")));
    Settings().SetSkipKnownLinks(false);
    m_prompts = FakePrompts();
    m_commands = std::make_unique<BrowserImportCommands>(&m_host.document, &m_host.view, &m_host.window);
    m_commands->setPrompts(&m_prompts);
}

void TestBrowserImport::cleanup()
{
    m_commands.reset();
    m_host.show(nullptr);
    m_folder.reset();
}

// A profile folder of the test's own holding a copy of file ("" for none).
BrowserProfile TestBrowserImport::profile(const QString &name, const QString &file)
{
    const QString folder = m_dir.filePath(name);
    QDir().mkpath(folder);
    const bool firefox = file.endsWith(QLatin1String("sqlite"));
    if (!file.isEmpty())
        QFile::copy(Data + file, QDir(folder).filePath(firefox ? u"places.sqlite"_qs : u"Bookmarks"_qs));
    return {firefox ? BrowserProfile::Family::Firefox : BrowserProfile::Family::Chromium,
            firefox ? u"Firefox"_qs : u"Chromium"_qs, name, folder};
}

bool TestBrowserImport::imported(BrowserImportCommands *commands, const BrowserProfile &profile)
{
    QSignalSpy ended(commands, &BrowserImportCommands::finished);
    commands->importProfile(profile);
    return (!ended.isEmpty() || ended.wait(120'000)) && ended.first().first().toBool();
}

void TestBrowserImport::import_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("added"); // empty: nothing
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("firefox") << "places.sqlite"
                             << "Firefox (firefox)"
                             << "8 folders and 10 links imported" << QString();
    QTest::newRow("chromium") << "chromium/Bookmarks"
                              << "Chromium (chromium)"
                              << "6 folders and 5 links imported" << QString();
    QTest::newRow("chromium, known links skipped")
        << "chromium/Bookmarks"
        << "Chromium (chromium, known links skipped)"
        << "6 folders and 4 links imported, 1 links already in the collection skipped" << QString();
    QTest::newRow("damaged") << "damaged/places.sqlite" << QString() << QString()
                             << "Nothing was imported from Firefox (damaged).";
    QTest::newRow("truncated") << "chromium/Bookmarks-truncated" << QString() << QString()
                               << "Nothing was imported from Chromium (truncated).";
}

void TestBrowserImport::import()
{
    QFETCH(QString, file);
    QFETCH(QString, added);
    QFETCH(QString, status);
    QFETCH(QString, error);
    if (added.contains(QLatin1String("skipped"))) {
        m_folder->Children.InsertSorted(LinkItem::MakeLink("Debian", "HTTPS://www.Debian.org"));
        Settings settings;
        QVERIFY(settings.SetSkipKnownLinks(true) && settings.SetIgnoreFragment(false)
                && settings.SetIgnoreTracking(false) && settings.SetIgnoreSchemeAndWww(false));
    }
    const QString name = added.isEmpty() ? QString(QTest::currentDataTag()) : added.section(u'(', 1).chopped(1);
    QCOMPARE(imported(m_commands.get(), profile(name, file)), !added.isEmpty());
    QCOMPARE(m_prompts.errors, error.isEmpty() ? QStringList() : QStringList {error});
    QCOMPARE(m_host.statusTexts, status.isEmpty() ? QStringList() : QStringList {status});
    QCOMPARE(m_host.refreshes, added.isEmpty() ? 0 : 1);
    const auto names = [this] {
        QStringList names;
        for (const auto &child : m_folder->Children)
            names << QString::fromStdString(child->Name.str());
        return names;
    };
    QStringList expected {"Already there"};
    if (!added.isEmpty())
        expected.append(added);
    if (Settings().GetSkipKnownLinks())
        expected.append("Debian");
    QCOMPARE(names(), expected);
    // What was added is one step to undo.
    QCOMPARE(m_host.document.canUndo(), !added.isEmpty());
    if (!added.isEmpty()) {
        QCOMPARE(m_host.document.undoCaption(), u"Import"_qs);
        m_host.document.undo();
        expected.removeOne(added);
        QCOMPARE(names(), expected);
    }
}

QStringList TestBrowserImport::rowsOf(const BrowserImportDialog &dialog)
{
    QStringList rows;
    for (int i = 0; i < dialog.list()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = dialog.list()->topLevelItem(i);
        rows << QStringList {row->text(0), row->text(1), row->text(2), row->text(3),
                             (row->flags() & Qt::ItemIsEnabled) ? u"enabled"_qs : u"disabled"_qs}
                    .join(u' ');
    }
    return rows;
}

void TestBrowserImport::dialogListsProfiles()
{
    // One profile is damaged, one a trap (its log a FIFO, which a worker that opens it waits on until it is
    // let go here after a second).
    const BrowserProfile trap = profile(u"trap"_qs, u"places.sqlite"_qs);
    const QString fifo = QDir(trap.path).filePath(u"places.sqlite-wal"_qs);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    SpecialFiles::FifoRelease release(fifo, std::chrono::milliseconds(1000));
    m_commands->setFinder([this, trap] {
        return QList<BrowserProfile> {profile(u"broken"_qs, u"damaged/places.sqlite"_qs), trap,
                                      profile(u"Default"_qs, u"chromium/Bookmarks"_qs)};
    });
    QStringList first;
    QStringList rows;
    m_commands->setChooser([&](BrowserImportDialog &dialog) {
        first = rowsOf(dialog);
        // The counts come in while the dialog is open.
        const bool counted = QTest::qWaitFor([&dialog] { return !rowsOf(dialog).join(' ').contains(u"counting"); });
        rows = rowsOf(dialog);
        // The profile that can be read is chosen once the other one turns out damaged.
        return counted && dialog.chosen() && dialog.chosen()->name == u"Default" ? int(QDialog::Accepted)
                                                                                 : int(QDialog::Rejected);
    });
    m_commands->importFromBrowser();
    QVERIFY(waitForTransferEnd(m_commands.get()));
    QCOMPARE(first,
             QStringList({"Firefox broken counting…  enabled", "Firefox trap counting…  enabled",
                          "Chromium Default counting…  enabled"}));
    QCOMPARE(rows,
             QStringList({"Firefox broken damaged  disabled", "Firefox trap damaged  disabled",
                          "Chromium Default 5 5 enabled"}));
    QCOMPARE(m_folder->Children.Count(), 2);
    QCOMPARE(m_folder->Children.Get(1)->Name.str(), std::string("Chromium (Default)"));
}

void TestBrowserImport::countingStaysResponsive_data()
{
    QTest::addColumn<bool>("closeAtOnce");
    QTest::newRow("counted") << false;
    QTest::newRow("closed while counting") << true;
}

void TestBrowserImport::countingStaysResponsive()
{
    // Each profile takes 400 ms to read, which the window once spent before the dialog opened.
    QFETCH(bool, closeAtOnce);
    std::atomic_int reads = 0;
    std::atomic_int stopped = 0;
    m_commands->setReader([&](const BrowserProfile &, LinkItem &target, const Progress &progress) {
        ++reads;
        ImportReport report;
        for (int i = 0; i < 40; ++i) {
            QThread::msleep(10);
            if (!progress(0, 0)) {
                ++stopped;
                report.cancel();
                return report;
            }
        }
        target.Children.InsertSorted(LinkItem::MakeLink("n", "http://n.example/"));
        report.links = 1;
        return report;
    });
    m_commands->setFinder([this] {
        return QList<BrowserProfile> {profile(u"one"_qs, u"places.sqlite"_qs), profile(u"two"_qs, u"places.sqlite"_qs)};
    });
    QElapsedTimer clock;
    qint64 opened = -1;
    QStringList rows;
    const qint64 stall = longestStallMs([&] {
        clock.start();
        m_commands->setChooser([&](BrowserImportDialog &dialog) {
            opened = clock.elapsed();
            if (closeAtOnce) // once the first profile is being read
                (void)QTest::qWaitFor([&reads] { return reads > 0; });
            else
                (void)QTest::qWaitFor([&dialog] { return !rowsOf(dialog).join(' ').contains(u"counting"); });
            rows = rowsOf(dialog);
            return int(QDialog::Rejected);
        });
        m_commands->importFromBrowser();
    });
    Background::pool()->waitForDone();
    QVERIFY2(opened >= 0 && opened < 100 * Slowdown, qPrintable(QString::number(opened)));
    QVERIFY2(stall < 100 * Slowdown, qPrintable(QString::number(stall)));
    if (closeAtOnce) {
        // Each worker stops at its next look, and nothing reaches the dialog that is gone.
        QVERIFY(reads > 0);
        QCOMPARE(stopped.load(), reads.load());
        QCOMPARE(rows, QStringList({"Firefox one counting…  enabled", "Firefox two counting…  enabled"}));
    } else {
        QCOMPARE(reads.load(), 2);
        QCOMPARE(stopped.load(), 0);
        QCOMPARE(rows, QStringList({"Firefox one 0 1 enabled", "Firefox two 0 1 enabled"}));
    }
    QCOMPARE(m_folder->Children.Count(), 1);
}

void TestBrowserImport::importStaysResponsive()
{
    // A profile whose database takes 500 ms to copy and read before the first link comes.
    m_commands->setReader([](const BrowserProfile &, LinkItem &target, const Progress &) {
        QThread::msleep(500);
        target.Children.InsertSorted(LinkItem::MakeLink("n", "http://n.example/"));
        ImportReport report;
        report.links = 1;
        return report;
    });
    QSignalSpy ended(m_commands.get(), &BrowserImportCommands::finished);
    const qint64 stall = longestStallMs([&] { m_commands->importProfile(profile(u"slow"_qs, QString())); },
                                        [&ended] { return !ended.isEmpty(); });
    QVERIFY(!ended.isEmpty() && ended.first().first().toBool());
    QVERIFY2(stall < 150 * Slowdown, qPrintable(QString::number(stall)));
    QCOMPARE(m_host.statusTexts, QStringList {"1 folders and 1 links imported"});
    QCOMPARE(m_folder->Children.Get(1)->Children.Get(0)->Url.str(), std::string("http://n.example/"));
}

void TestBrowserImport::importWaitsForNoCounting()
{
    // The profile is chosen at once, while the counting is still reading the first of three profiles (a copy
    // that never asks whether to go on); the counting leaves a thread free, and the import starts all the same.
    QThreadPool *pool = Background::pool();
    const int threads = pool->maxThreadCount();
    pool->setMaxThreadCount(2);
    std::atomic_int reads = 0;
    m_commands->setReader([&reads](const BrowserProfile &, LinkItem &, const Progress &) {
        if (reads++ == 0)
            QThread::msleep(1000);
        return ImportReport();
    });
    m_commands->setFinder([this] {
        return QList<BrowserProfile> {profile(u"slow"_qs, u"places.sqlite"_qs), profile(u"b"_qs, u"places.sqlite"_qs),
                                      profile(u"c"_qs, u"places.sqlite"_qs)};
    });
    m_commands->setChooser([&reads](BrowserImportDialog &) {
        (void)QTest::qWaitFor([&reads] { return reads > 0; });
        return int(QDialog::Accepted);
    });
    QElapsedTimer clock;
    clock.start();
    m_commands->importFromBrowser();
    const qint64 imported = clock.elapsed();
    QVERIFY(waitForTransferEnd(m_commands.get()));
    pool->waitForDone();
    pool->setMaxThreadCount(threads);
    QCOMPARE(reads.load(), 2);
    QVERIFY2(imported < 500 * Slowdown, qPrintable(QString::number(imported)));
    QCOMPARE(m_folder->Children.Count(), 2);
}

void TestBrowserImport::noProfiles()
{
    m_commands->setFinder([] { return QList<BrowserProfile>(); });
    bool asked = false;
    m_commands->setChooser([&asked](BrowserImportDialog &) {
        asked = true;
        return int(QDialog::Accepted);
    });
    m_commands->importFromBrowser();
    QVERIFY(!asked);
    QCOMPARE(m_prompts.informations, QStringList {"No browser profiles were found."});
    QCOMPARE(m_folder->Children.Count(), 1);
}

void TestBrowserImport::cancelAddsNothing()
{
    m_commands->setProgressDelay(0);
    // A profile large enough to report its progress.
    QByteArray json = R"({"roots": {"other": {"name": "Other bookmarks", "type": "folder", "children": [)";
    for (int i = 0; i < 5000; ++i)
        json += (i ? "," : "") + QByteArray(R"({"type": "url", "name": "n", "url": "https://x.example/"})");
    json += "]}}}";
    const BrowserProfile large = profile(u"cancelled"_qs, QString());
    QFile file(QDir(large.path).filePath(u"Bookmarks"_qs));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(json) == json.size());
    file.close();
    QSignalSpy ended(m_commands.get(), &BrowserImportCommands::finished);
    m_commands->importProfile(large);
    // Cancel in the progress dialog, which shows at once.
    m_host.window.findChild<QProgressDialog *>()->findChild<QPushButton *>()->click();
    QVERIFY(ended.wait());
    QVERIFY(!ended.first().first().toBool());
    QCOMPARE(m_prompts.informations, QStringList {"The import was cancelled. Nothing was imported."});
    QCOMPARE(m_folder->Children.Count(), 1);
    QCOMPARE(m_host.refreshes, 0);
}

QTEST_MAIN(TestBrowserImport)
#include "tst_browserimport.moc"
