// Check Links on a document and a view: what is checked, how the findings are listed, kept and acted on.
#include "common/LocalHttpServer.h"
#include "common/SpecialFiles.h"
#include "common/TreeBuilders.h"
#include "common/ViewFixture.h"
#include "linkcheck/LinkCheckStore.h"
#include "mainwindow/LinkCheckCommands.h"
#include "mainwindow/LinkCheckMark.h"
#include "mainwindow/LinkCheckPanel.h"
#include "settings/Settings.h"
#include "store/Repository.h"
#include "store/TextCodec.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace TreeBuilders;
using Route = LocalHttpServer::Route;

class TestLinkCheckCommands : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    LocalHttpServer m_busyServer; // a site that limits its requests
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ViewFixture> m_fixture;
    std::unique_ptr<LinkCheckCommands> m_commands;

    LinkCheckCommands *commands() const { return m_commands.get(); }
    LinkItem *root() const { return m_fixture->root(); }
    CollectionView &view() const { return m_fixture->view; }

    // The commands over the fixture's view, once the side file has been read.
    std::unique_ptr<LinkCheckCommands> makeCommands() const
    {
        auto made = std::make_unique<LinkCheckCommands>(&m_fixture->document, &view(), m_fixture->parent.get());
        [&made] { QTRY_VERIFY_WITH_TIMEOUT(!made->isLoading(), 120000); }();
        return made;
    }

    // The last finding told for the selected result.
    static QString lastFinding(const QSignalSpy &told)
    {
        return told.isEmpty() ? QString()
                              : told.last().at(0).toString() + QLatin1Char('|') + told.last().at(1).toString();
    }

    LinkItem *find(const char *name) const
    {
        std::vector<LinkItem *> pending {root()};
        while (!pending.empty()) {
            LinkItem *item = pending.back();
            pending.pop_back();
            if (TextCodec::toDisplay(item->Name) == QLatin1String(name))
                return item;
            for (const auto &child : item->Children)
                pending.push_back(child.get());
        }
        return nullptr;
    }

    QStringList rowNames() const { return m_fixture->rowNames(); }
    void select(const QStringList &names) { m_fixture->selectRows(names); }

    // Shows the folder and checks every link below it.
    bool checkFolder(const char *name)
    {
        view().showFolder(find(name));
        view().clearSelection();
        QSignalSpy finished(commands(), &LinkCheckCommands::checkFinished);
        commands()->checkLinks();
        return finished.wait(20000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        m_server.route("/ok", Route {200});
        m_server.route("/quick", Route {200});
        m_server.route("/old", Route {301, "/ok"});
        m_server.route("/gone", Route {410});
        m_server.route("/error", Route {500});
        m_server.route("/silent", Route {200, {}, LocalHttpServer::Mode::Silent});
        m_busyServer.route("/limited", Route {429});
    }

    void init()
    {
        auto top = LinkItem::MakeFolder("Quillmark");
        LinkItem *web = addFolder(*top, "Web");
        addLink(*web, "Fine", m_server.url("/ok").toStdString());
        addLink(*web, "Old", m_server.url("/old").toStdString());
        addLink(*addFolder(*web, "Deeper"), "Gone", m_server.url("/gone").toStdString());
        addLink(*web, "Mail", "mailto:someone@example.invalid");
        addLink(*web, "Down", m_server.url("/error").toStdString());
        addLink(*top, "Elsewhere", m_server.url("/gone?elsewhere").toStdString());
        LinkItem *slow = addFolder(*top, "Slow");
        addLink(*slow, "Quick", m_server.url("/quick").toStdString());
        addLink(*slow, "Silent", m_server.url("/silent").toStdString());
        LinkItem *busy = addFolder(*top, "Busy");
        addLink(*busy, "Limited", m_busyServer.url("/limited").toStdString());
        addLink(*busy, "Gone too", m_server.url("/gone?too").toStdString());
        // The side file lies beside a data file of the test's own.
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
        Settings::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
        QDir().mkpath(Repository::DataFolder());
        m_fixture = std::make_unique<ViewFixture>(std::move(top));
        m_commands = makeCommands();
    }

    void cleanup()
    {
        m_commands.reset();
        m_fixture.reset();
        m_dir.reset();
    }

    // The folder's links are checked, those elsewhere not; the list shows what needs a look, worst first.
    void checkListsFindingsByOutcome()
    {
        QVERIFY(checkFolder("Web"));
        QCOMPARE(rowNames(), QStringList({"Gone", "Old", "Down", "Mail"}));
        QVERIFY(commands()->showsResults());
        QVERIFY(!commands()->resultFor(find("Elsewhere")));
        QCOMPARE(commands()->resultFor(find("Fine"))->outcome, LinkCheckResult::Ok);
        QCOMPARE(commands()->panel()->count(LinkCheckResult::Broken), 1);
        QCOMPARE(commands()->panel()->count(LinkCheckResult::Ok), 1);
        // OK links show when asked for.
        commands()->panel()->findChild<QCheckBox *>()->setChecked(true);
        QCOMPARE(rowNames(), QStringList({"Gone", "Old", "Down", "Mail", "Fine"}));

        // The broken link carries the mark; the others keep the plain icon.
        const LinkListModel *model = view().model();
        const qint64 marked = LinkCheckMark::brokenIcon().cacheKey();
        QCOMPARE(model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey(), marked);
        QVERIFY(model->index(1, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey() != marked);

        // The folder, the status, the reason and the new address are told for the description pane.
        QSignalSpy told(commands(), &LinkCheckCommands::findingShown);
        select({"Old"});
        const QString location = lastFinding(told);
        QVERIFY2(location.contains(QLatin1String("Quillmark\\Web")) && location.contains(QLatin1String("Moved (200)"))
                     && location.contains(m_server.url("/ok")),
                 qPrintable(location));

        // Kept beside the data file, and listed again without checking.
        LinkCheckStore kept;
        QVERIFY(kept.load(LinkCheckStore::pathFor(Repository::DataFile())));
        QCOMPARE(kept.count(), 5);
        view().showFolder(root());
        QVERIFY(!commands()->showsResults());
        commands()->showResults();
        QCOMPARE(rowNames(), QStringList({"Gone", "Old", "Down", "Mail", "Fine"}));
        QVERIFY(commands()->showsResults());
        // Search results are not findings: the commands on findings leave them alone.
        view().showResults(CollectionView::Listing::AllBookmarks, {find("Elsewhere"), find("Gone")});
        QVERIFY(!commands()->showsResults());
        select({"Gone"});
        commands()->deleteBrokenLinks();
        QVERIFY(find("Gone"));
    }

    void updateAndDeleteAreOneStepEach_data()
    {
        QTest::addColumn<bool>("all");
        QTest::newRow("selected") << false;
        QTest::newRow("all listed") << true;
    }

    void updateAndDeleteAreOneStepEach()
    {
        QFETCH(bool, all);
        QVERIFY(checkFolder("Web"));
        CollectionDocument *document = &m_fixture->document;
        LinkItem *old = find("Old");
        select({"Old", "Gone"});
        commands()->updateToNewAddress(all);
        QCOMPARE(TextCodec::toDisplay(old->Url), m_server.url("/ok"));
        QCOMPARE(TextCodec::toDisplay(find("Gone")->Url), m_server.url("/gone")); // broken, not moved
        QCOMPARE(document->undoCaption(), QStringLiteral("Update to New Address"));

        select({"Gone", "Down", "Mail"});
        commands()->deleteBrokenLinks();
        QVERIFY(!find("Gone"));
        QVERIFY(find("Down") && find("Mail")); // only the broken ones go
        document->undo();
        QVERIFY(find("Gone"));
        document->undo();
        QCOMPARE(TextCodec::toDisplay(find("Old")->Url), m_server.url("/old"));
    }

    // The selected result's detail follows its finding: a moved link given its new address is found there.
    void detailFollowsTheFinding()
    {
        QVERIFY(checkFolder("Web"));
        QSignalSpy told(commands(), &LinkCheckCommands::findingShown);
        select({"Old"});
        QVERIFY(lastFinding(told).contains(QLatin1String("Moved (200)")));
        commands()->updateToNewAddress(false);
        const QString location = lastFinding(told);
        QVERIFY2(location.contains(QLatin1String("OK (200)")) && !location.contains(QLatin1String("now at")),
                 qPrintable(location));
    }

    void editedAddressLosesItsFinding()
    {
        QVERIFY(checkFolder("Web"));
        LinkItem *gone = find("Gone");
        QCOMPARE(commands()->resultFor(gone)->outcome, LinkCheckResult::Broken);
        CollectionDocument *document = &m_fixture->document;
        document->aboutToEditFields(gone);
        gone->Url = "http://other.invalid/";
        document->fieldsEdited(gone, CollectionDocument::Field::Url);
        QVERIFY(!commands()->resultFor(gone));
        commands()->showResults();
        QVERIFY(!rowNames().contains(QStringLiteral("Gone")));
    }

    // A site that limits its requests is unreachable for now: Delete Broken Links leaves its links alone, and the
    // window names it as the tool does.
    void rateLimitedIsNotBroken()
    {
        QVERIFY(checkFolder("Busy"));
        QCOMPARE(rowNames(), QStringList({"Gone too", "Limited"}));
        QSignalSpy told(commands(), &LinkCheckCommands::findingShown);
        select({"Limited"});
        const QString location = lastFinding(told);
        QVERIFY2(location.contains(QLatin1String("Unreachable (rate limited) (429)")), qPrintable(location));
        select({"Gone too", "Limited"});
        commands()->deleteBrokenLinks();
        QVERIFY(!find("Gone too"));
        QVERIFY(find("Limited"));
    }

    // The side file keeps the findings of the links the collection has, not of those deleted since.
    void findingsOfDeletedLinksDropped()
    {
        QVERIFY(checkFolder("Web"));
        const QString path = LinkCheckStore::pathFor(Repository::DataFile());
        LinkCheckStore kept;
        QVERIFY(kept.load(path));
        QVERIFY(kept.find(m_server.url("/error")));
        m_fixture->document.removeItems({find("Down")});
        QVERIFY(checkFolder("Deeper"));
        QVERIFY(kept.load(path));
        QVERIFY(!kept.find(m_server.url("/error")));
        QVERIFY(kept.find(m_server.url("/ok")));
    }

    // A FIFO in the side file's place neither holds up the start nor hides the collection.
    void sideFileThatIsAFifo()
    {
        const QString path = LinkCheckStore::pathFor(Repository::DataFile());
        QVERIFY(QFile::remove(path) || !QFileInfo::exists(path));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        // An open that waits for a writer gets one after a while: the test fails on its time, not hangs.
        SpecialFiles::FifoRelease release(path, std::chrono::seconds(3));
        QElapsedTimer clock;
        clock.start();
        LinkCheckCommands second(&m_fixture->document, &view(), m_fixture->parent.get());
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QTRY_VERIFY(!second.isLoading());
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(second.store().count(), 0);
    }

    // Cancel stops at once and keeps what was found; the commands going during a check end it cleanly.
    void cancelAndClose()
    {
        LinkChecker::Options options;
        options.timeoutMs = 60000;
        commands()->setOptions(options);
        view().showFolder(find("Slow"));
        QSignalSpy finished(commands(), &LinkCheckCommands::checkFinished);
        commands()->checkLinks();
        QVERIFY(commands()->isChecking());
        QTRY_VERIFY(commands()->resultFor(find("Quick")));
        QElapsedTimer clock;
        clock.start();
        commands()->panel()->cancelButton()->click();
        QCOMPARE(finished.size(), 1);
        QVERIFY(clock.elapsed() < 1000);
        QVERIFY(!commands()->isChecking());
        QVERIFY(!commands()->resultFor(find("Silent")));
        QCOMPARE(rowNames().join(","), QString()); // Quick is OK: nothing to look at

        commands()->checkLinks();
        QVERIFY(commands()->isChecking());
        m_commands.reset(); // the commands go with the check under way
        QTest::qWait(50);
    }
};

QTEST_MAIN(TestLinkCheckCommands)
#include "tst_linkcheckcommands.moc"
