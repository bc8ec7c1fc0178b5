// Finding things across all folders on a document and a view: the search field, All Bookmarks, Go to Folder
// and Delete Empty Folders.
#include "common/TreeBuilders.h"
#include "common/ViewFixture.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/ResultsJob.h"
#include "mainwindow/RowSort.h"
#include "mainwindow/SearchCommands.h"
#include "settings/ColumnInfo.h"
#include "store/SearchIndex.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <set>

using namespace TreeBuilders;

namespace {
// The first item below folder with this name, or null.
LinkItem *find(LinkItem *folder, const QString &name)
{
    for (const auto &child : folder->Children) {
        if (QString::fromStdString(child->Name.str()) == name)
            return child.get();
        if (LinkItem *found = find(child.get(), name))
            return found;
    }
    return nullptr;
}
} // namespace

class TestSearching : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void resultsFollowTyping();
    void escapeReturnsToTheShownFolder();
    void aDeletedResultIsFoundNoMore();
    void locationGoesToTheFolder();
    void allBookmarksThenAFolder();
    void goToChosenFolder();
    void deleteEmptyFolders_data();
    void deleteEmptyFolders();
    void supersededListingNeverShowsStaleRows_data();
    void supersededListingNeverShowsStaleRows();

private:
    void open(std::unique_ptr<LinkItem> root);
    QLineEdit *field() const { return m_commands->searchEdit(); }
    CollectionView &view() const { return m_fixture->view; }

    std::unique_ptr<ViewFixture> m_fixture;
    std::unique_ptr<SearchCommands> m_commands;
};

void TestSearching::open(std::unique_ptr<LinkItem> root)
{
    m_commands.reset();
    m_fixture = std::make_unique<ViewFixture>(std::move(root));
    m_commands = std::make_unique<SearchCommands>(&m_fixture->document, &m_fixture->view, m_fixture->parent.get());
}

void TestSearching::init()
{
    open(travelCollection());
}

void TestSearching::cleanup()
{
    m_commands.reset();
    m_fixture.reset();
}

void TestSearching::resultsFollowTyping()
{
    QTest::keyClicks(field(), QStringLiteral("caf"));
    QCOMPARE(view().listing(), CollectionView::Listing::SearchResults);
    QCOMPARE(m_fixture->rowNames(), (QStringList {"Cafeteria menu", QStringLiteral("Café de Flore")}));
    QCOMPARE(view().statusText(), QStringLiteral("2 objects"));
    QTest::keyClicks(field(), QStringLiteral("e paris"));
    QCOMPARE(m_fixture->rowNames(), QStringList {QStringLiteral("Café de Flore")});
    QTest::keyClick(field(), Qt::Key_Backspace);
    QTest::keyClicks(field(), QStringLiteral("x"));
    QCOMPARE(m_fixture->rowNames(), QStringList {});
    QCOMPARE(view().statusText(), QStringLiteral("0 objects"));
}

void TestSearching::escapeReturnsToTheShownFolder()
{
    QSignalSpy focus(&view(), &CollectionView::listFocusWanted);
    QTest::keyClicks(field(), QStringLiteral("wiki"));
    QCOMPARE(m_fixture->rowNames(), QStringList {"Wiki"});
    // Return goes to the list, on the first result.
    QTest::keyClick(field(), Qt::Key_Return);
    QCOMPARE(focus.size(), 1);
    QCOMPARE(m_fixture->view.currentItem(), find(m_fixture->root(), QStringLiteral("Wiki")));
    QTest::keyClick(field(), Qt::Key_Escape);
    QCOMPARE(focus.size(), 2);
    QVERIFY(field()->text().isEmpty());
    QVERIFY(!view().showsResults());
    QCOMPARE(view().folder(), m_fixture->root());
    QCOMPARE(m_fixture->rowNames(), (QStringList {"Travel", "Work", "Cafeteria menu"}));
    // Clearing the field does the same.
    field()->setText(QStringLiteral("wiki"));
    QVERIFY(view().showsResults());
    field()->clear();
    QVERIFY(!view().showsResults());
    // Another folder shown empties the field without a search.
    field()->setText(QStringLiteral("wiki"));
    view().showFolder(find(m_fixture->root(), QStringLiteral("Work")));
    QVERIFY(field()->text().isEmpty());
    QCOMPARE(m_fixture->rowNames(), (QStringList {"Tracker", "Wiki"}));
}

void TestSearching::aDeletedResultIsFoundNoMore()
{
    field()->setText(QStringLiteral("europe"));
    QCOMPARE(m_fixture->rowNames(), QStringList {"Europe"});
    m_fixture->document.remove(find(m_fixture->root(), QStringLiteral("Europe")));
    QCOMPARE(m_fixture->rowNames(), QStringList {});
    // The next search reads the collection as it is now.
    field()->setText(QStringLiteral("flore"));
    QCOMPARE(m_fixture->rowNames(), QStringList {});
    field()->setText(QStringLiteral("asia"));
    QCOMPARE(m_fixture->rowNames(), QStringList {"Asia"});
}

void TestSearching::locationGoesToTheFolder()
{
    field()->setText(QStringLiteral("flore"));
    m_fixture->selectRows({QStringLiteral("Café de Flore")});
    m_commands->goToResultFolder();
    QVERIFY(!view().showsResults());
    QCOMPARE(view().folder()->Name, std::string("France"));
    QCOMPARE(m_fixture->rowNames(), (QStringList {"Paris", QStringLiteral("Café de Flore")}));
    QVERIFY(field()->text().isEmpty());
}

void TestSearching::allBookmarksThenAFolder()
{
    field()->setText(QStringLiteral("wiki"));
    m_commands->showAllBookmarks();
    QTRY_VERIFY(!m_commands->resultsJob()->isRunning());
    QCOMPARE(view().listing(), CollectionView::Listing::AllBookmarks);
    QCOMPARE(m_fixture->rowNames().size(), 4);
    QVERIFY(field()->text().isEmpty());
    QCOMPARE(view().statusText(), QStringLiteral("4 objects"));
    view().showFolder(find(m_fixture->root(), QStringLiteral("Work")));
    QVERIFY(!view().showsResults());
    QCOMPARE(m_fixture->rowNames(), (QStringList {"Tracker", "Wiki"}));
}

void TestSearching::goToChosenFolder()
{
    // From a result, the dialog starts on its folder; the chosen folder is shown, results or not.
    field()->setText(QStringLiteral("tracker"));
    m_fixture->selectRows({QStringLiteral("Tracker")});
    QSignalSpy focus(&view(), &CollectionView::treeFocusWanted);
    QString start;
    QTimer::singleShot(0, this, [&start] {
        auto *dialog = qobject_cast<GoToFolderDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        start = QString::fromStdString(dialog->chosenFolder()->Name.str());
        QTest::keyClicks(dialog->filterEdit(), QStringLiteral("france"));
        QTest::keyClick(dialog->filterEdit(), Qt::Key_Return);
    });
    m_commands->goToChosenFolder();
    QCOMPARE(start, QStringLiteral("Work"));
    QCOMPARE(view().folder()->Name, std::string("France"));
    QVERIFY(!view().showsResults());
    QCOMPARE(focus.size(), 1);
    QCOMPARE(view().statusText(), QStringLiteral("2 objects"));
}

void TestSearching::deleteEmptyFolders_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("gone");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("nested empty folders")
        << "Travel"
        << "Are you sure you want to delete 3 empty folders?" << QStringList {"Asia", "Japan", "Paris"}
        << QStringList {"Travel", "Europe", "France"};
    QTest::newRow("folders holding only links")
        << "Work"
        << "There are no empty folders in 'Work'." << QStringList {} << QStringList {"Work"};
}

void TestSearching::deleteEmptyFolders()
{
    QFETCH(QString, start);
    QFETCH(QString, question);
    QFETCH(QStringList, gone);
    QFETCH(QStringList, kept);
    view().showFolder(find(m_fixture->root(), start));
    m_commands->deleteEmptyFolders();
    QCOMPARE(m_fixture->boxes.questions + m_fixture->boxes.informations, QStringList {question});
    for (const QString &name : gone)
        QVERIFY2(!find(m_fixture->root(), name), qPrintable(name));
    for (const QString &name : kept)
        QVERIFY2(find(m_fixture->root(), name), qPrintable(name));
    QCOMPARE(QString::fromStdString(view().folder()->Name.str()), start);
    QCOMPARE(view().listing(), CollectionView::Listing::Folder);
    QCOMPARE(m_fixture->rowNames().size(), view().folder()->Children.Count());
    field()->setText(QStringLiteral("japan"));
    QCOMPARE(m_fixture->rowNames().size(), gone.contains(QStringLiteral("Japan")) ? 0 : 1);
}

void TestSearching::supersededListingNeverShowsStaleRows_data()
{
    // Each step is typed into the search field, but "*" chooses All Bookmarks, "-" deletes a link that the
    // listing under way has found, and "=" does so once it has found all and sorts them.
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("typing on") << QStringList {"a", "al"};
    QTest::newRow("backspace") << QStringList {"al", "a"};
    QTest::newRow("another word") << QStringList {"a", "be"};
    QTest::newRow("all bookmarks, then a search") << QStringList {"*", "ga"};
    QTest::newRow("a search, then all bookmarks") << QStringList {"ga", "*"};
    QTest::newRow("a deletion meanwhile") << QStringList {"a", "-"};
    QTest::newRow("all bookmarks, a deletion meanwhile") << QStringList {"*", "-"};
    QTest::newRow("a deletion while sorting") << QStringList {"a", "="};
}

void TestSearching::supersededListingNeverShowsStaleRows()
{
    QFETCH(QStringList, steps);
    // Enough items for a listing to take many slices when each slice stops as soon as it can.
    auto root = LinkItem::MakeFolder("Quillmark");
    const char *const words[] = {"alpha", "beta", "gamma", "delta", "kappa"};
    for (int f = 0; f < 20; ++f) {
        LinkItem *folder = addFolder(*root, "Folder " + std::to_string(f));
        for (int l = 0; l < 600; ++l) {
            const int pick = (f * 600 + l) * 7919;
            addLink(*folder, std::string(words[pick % 5]) + ' ' + words[(pick / 5) % 5] + std::to_string(l),
                    "http://example.com/" + std::to_string(pick % 1000));
        }
    }
    open(std::move(root));
    ResultsJob *job = m_commands->resultsJob();
    job->setSliceMs(0, 0);
    LinkListModel *model = view().model();
    CollectionDocument *document = &m_fixture->document;

    // What the step in force may show: the rows of its whole listing, from a fresh index.
    std::set<const LinkItem *> allowed;
    QString text;
    const auto expect = [&] {
        allowed.clear();
        SearchIndex fresh(document->root());
        const std::vector<LinkItem *> items = text.isEmpty() ? fresh.allLinks() : fresh.search(text);
        allowed.insert(items.begin(), items.end());
    };
    int listings = 0;
    const QObject watching; // the check goes with the test
    connect(model, &QAbstractItemModel::modelReset, &watching, [&] {
        ++listings;
        for (int row = 0; row < model->rowCount(); ++row)
            QVERIFY2(allowed.count(model->itemAt(row)), qPrintable(text + QLatin1Char('/') + QString::number(row)));
    });
    for (const QString &step : steps) {
        const int before = listings;
        if (step == QLatin1String("-") || step == QLatin1String("=")) {
            while (step == QLatin1String("=") && !job->isSorting() && job->isRunning())
                QCoreApplication::processEvents();
            QVERIFY(job->isRunning());
            LinkItem *doomed = model->itemAt(0);
            QVERIFY(doomed);
            document->remove(doomed);
            expect();
            QVERIFY(!allowed.count(doomed));
        } else {
            text = step == QLatin1String("*") ? QString() : step;
            expect();
            if (text.isEmpty())
                m_commands->showAllBookmarks();
            else
                field()->setText(step);
            // Up to the first results: the rest is still to come.
            while (listings == before && job->isRunning())
                QCoreApplication::processEvents();
            QCOMPARE(listings, before + 1);
        }
        QVERIFY(job->isRunning());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!job->isRunning(), 60000);
    QCOMPARE(std::size_t(model->rowCount()), allowed.size());
    for (int row = 1; row < model->rowCount(); ++row)
        QVERIFY(LinkListCompare(model->itemAt(row - 1), model->itemAt(row), NameColumn, true) <= 0);
    QCOMPARE(view().statusText(), CollectionView::countText(model->rowCount()));
}

QTEST_MAIN(TestSearching)
#include "tst_searching.moc"
