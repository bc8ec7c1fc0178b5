// Check Links in the main window: what is checked, how the findings are listed, kept and acted on.
#include "common/LocalHttpServer.h"
#include "common/SilentReporter.h"
#include "common/SpecialFiles.h"
#include "common/TreeBuilders.h"
#include "common/WindowFixture.h"
#include "linkcheck/LinkCheckStore.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/LinkCheckCommands.h"
#include "mainwindow/LinkCheckMark.h"
#include "mainwindow/LinkCheckPanel.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/SearchCommands.h"
#include "store/CollectionDocument.h"
#include "store/TextCodec.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

using namespace TreeBuilders;
using Route = LocalHttpServer::Route;

class TestLinkCheckCommands : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    LocalHttpServer m_busyServer; // a site that limits its requests
    WindowFixture m_fixture;

    LinkCheckCommands *commands() const { return m_fixture.form()->linkCheckCommands(); }
    LinkItem *root() const { return m_fixture.form()->document()->root(); }

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

    QStringList rowNames() const
    {
        QStringList names;
        const LinkListModel *model = m_fixture.list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 0).data().toString();
        return names;
    }

    void select(const QStringList &names)
    {
        FolderListView *list = m_fixture.list();
        list->selectionModel()->clearSelection();
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            const QModelIndex index = list->model()->index(row, 0);
            if (names.contains(index.data().toString()))
                list->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    // Shows the folder and checks every link below it.
    bool checkFolder(const char *name)
    {
        FolderTreeView *tree = m_fixture.tree();
        tree->setCurrentItem(tree->revealFolder(find(name)));
        m_fixture.list()->selectionModel()->clearSelection();
        QSignalSpy finished(commands(), &LinkCheckCommands::checkFinished);
        commands()->checkLinksAction()->trigger();
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
        m_fixture.open(*top);
    }

    void cleanup() { m_fixture.close(); }

    // The timeout comes from the settings, and a value out of range gives the default.
    void timeoutSetting_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("timeoutMs");
        QTest::newRow("none") << QVariant() << 15000;
        QTest::newRow("set") << QVariant(40) << 40000;
        QTest::newRow("zero") << QVariant(0) << 15000;
        QTest::newRow("a word") << QVariant(QStringLiteral("soon")) << 15000;
    }

    void timeoutSetting()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, timeoutMs);
        {
            QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orbrook Software"),
                               QStringLiteral("Quillmark"));
            if (stored.isValid())
                settings.setValue(QStringLiteral("1.0/LinkCheckTimeout"), stored);
        }
        SilentReporter reporter;
        MainWindow second(&reporter); // reads the settings as it starts
        QCOMPARE(second.linkCheckCommands()->options().timeoutMs, timeoutMs);
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
        const LinkListModel *model = m_fixture.list()->model();
        const qint64 marked = LinkCheckMark::brokenIcon().cacheKey();
        QCOMPARE(model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey(), marked);
        QVERIFY(model->index(1, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey() != marked);

        // The description pane tells the folder, the status, the reason and the new address.
        select({"Old"});
        const QString location = m_fixture.form()->descriptionPane()->LocationLabel()->text();
        QVERIFY2(location.contains(QLatin1String("Quillmark\\Web")) && location.contains(QLatin1String("Moved (200)"))
                     && location.contains(m_server.url("/ok")),
                 qPrintable(location));

        // Kept beside the data file, and listed again without checking.
        LinkCheckStore kept;
        QVERIFY(kept.load(LinkCheckStore::pathFor(Repository::DataFile())));
        QCOMPARE(kept.count(), 5);
        m_fixture.tree()->setCurrentItem(m_fixture.tree()->topLevelItem(0));
        QVERIFY(!commands()->showsResults());
        commands()->resultsAction()->trigger();
        QCOMPARE(rowNames(), QStringList({"Gone", "Old", "Down", "Mail", "Fine"}));
        QVERIFY(commands()->showsResults());
        // Search results are not findings: the commands on findings leave them alone.
        m_fixture.form()->searchCommands()->showAllBookmarks();
        QTRY_VERIFY(rowNames().contains(QStringLiteral("Elsewhere")));
        QVERIFY(!commands()->showsResults());
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
        CollectionDocument *document = m_fixture.form()->document();
        LinkItem *old = find("Old");
        select({"Old", "Gone"});
        (all ? commands()->updateAllAddressesAction() : commands()->updateAddressAction())->trigger();
        QCOMPARE(TextCodec::toDisplay(old->Url), m_server.url("/ok"));
        QCOMPARE(TextCodec::toDisplay(find("Gone")->Url), m_server.url("/gone")); // broken, not moved
        QCOMPARE(document->undoCaption(), QStringLiteral("Update to New Address"));

        select({"Gone", "Down", "Mail"});
        commands()->deleteBrokenAction()->trigger();
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
        select({"Old"});
        QVERIFY(m_fixture.form()->descriptionPane()->LocationLabel()->text().contains(QLatin1String("Moved (200)")));
        commands()->updateAddressAction()->trigger();
        const QString location = m_fixture.form()->descriptionPane()->LocationLabel()->text();
        QVERIFY2(location.contains(QLatin1String("OK (200)")) && !location.contains(QLatin1String("now at")),
                 qPrintable(location));
    }

    void editedAddressLosesItsFinding()
    {
        QVERIFY(checkFolder("Web"));
        LinkItem *gone = find("Gone");
        QCOMPARE(commands()->resultFor(gone)->outcome, LinkCheckResult::Broken);
        CollectionDocument *document = m_fixture.form()->document();
        document->aboutToEditFields(gone);
        gone->Url = "http://other.invalid/";
        document->fieldsEdited(gone, CollectionDocument::Field::Url);
        QVERIFY(!commands()->resultFor(gone));
        commands()->resultsAction()->trigger();
        QVERIFY(!rowNames().contains(QStringLiteral("Gone")));
    }

    // A site that limits its requests is unreachable for now: Delete Broken Links leaves its links alone, and the
    // window names it as the tool does.
    void rateLimitedIsNotBroken()
    {
        QVERIFY(checkFolder("Busy"));
        QCOMPARE(rowNames(), QStringList({"Gone too", "Limited"}));
        select({"Limited"});
        const QString location = m_fixture.form()->descriptionPane()->LocationLabel()->text();
        QVERIFY2(location.contains(QLatin1String("Unreachable (rate limited) (429)")), qPrintable(location));
        select({"Gone too", "Limited"});
        commands()->deleteBrokenAction()->trigger();
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
        m_fixture.form()->document()->removeItems({find("Down")});
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
        SilentReporter reporter;
        MainWindow second(&reporter);
        QTRY_VERIFY(!second.linkCheckCommands()->isLoading());
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(second.linkCheckCommands()->store().count(), 0);
    }

    // Cancel stops at once and keeps what was found; closing the window during a check ends it cleanly.
    void cancelAndClose()
    {
        LinkChecker::Options options;
        options.timeoutMs = 60000;
        commands()->setOptions(options);
        FolderTreeView *tree = m_fixture.tree();
        tree->setCurrentItem(tree->revealFolder(find("Slow")));
        QSignalSpy finished(commands(), &LinkCheckCommands::checkFinished);
        commands()->checkLinksAction()->trigger();
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

        commands()->checkLinksAction()->trigger();
        QVERIFY(commands()->isChecking());
        m_fixture.close(); // the window goes with the check under way
        QTest::qWait(50);
    }
};

QTEST_MAIN(TestLinkCheckCommands)
#include "tst_linkcheckcommands.moc"
