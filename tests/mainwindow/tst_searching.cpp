// Finding things across all folders in the main window: the search field, All Bookmarks, Go to Folder
// and Delete Empty Folders.
#include "common/RecordedBoxes.h"
#include "common/SilentReporter.h"
#include "common/TreeBuilders.h"
#include "common/WindowFixture.h"
#include "mainwindow/CollectionView.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/ItemCommands.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/ResultsJob.h"
#include "mainwindow/SearchCommands.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"
#include "store/SearchIndex.h"
#include "widgets/ShellErrorReport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <set>

using namespace TreeBuilders;

namespace {
// Root: "Travel" (holding "Europe" (holding "France" with "Café de Flore" and an empty "Paris") and an
// empty "Asia" holding an empty "Japan"), "Work" (only links), link "Cafeteria menu".
std::unique_ptr<LinkItem> collection()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *travel = addFolder(*root, "Travel");
    LinkItem *europe = addFolder(*travel, "Europe");
    LinkItem *france = addFolder(*europe, "France");
    addLink(*france, "Caf\xc3\xa9 de Flore", "http://cafe.example/flore")->Description = "Breakfast in Paris";
    addFolder(*france, "Paris");
    LinkItem *asia = addFolder(*travel, "Asia");
    addFolder(*asia, "Japan");
    LinkItem *work = addFolder(*root, "Work");
    addLink(*work, "Tracker", "http://tracker.example/");
    addLink(*work, "Wiki", "http://wiki.example/");
    addLink(*root, "Cafeteria menu", "http://intranet.example/menu");
    return root;
}

QStringList rowNames(const FolderListView *list)
{
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        names << list->model()->index(row, 0).data().toString();
    return names;
}

void selectRow(FolderListView *list, const QString &name)
{
    list->selectionModel()->clearSelection();
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        if (list->model()->index(row, 0).data().toString() == name)
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
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
    void openingAResultCountsTheVisit();
    void deletingAResultKeepsEverythingConsistent();
    void movingAResultToAFolder();
    void locationGoesToTheFolder();
    void deletingResultsWithTheirFolder();
    void allBookmarksThenAFolder();
    void goToFolderOnADeepPath();
    void deleteEmptyFolders_data();
    void deleteEmptyFolders();
    void searchShortcutFocusesTheField();
    void supersededListingNeverShowsStaleRows_data();
    void supersededListingNeverShowsStaleRows();

private:
    MainWindow *form() const { return m_window.form(); }
    FolderListView *list() const { return m_window.list(); }
    FolderTreeView *tree() const { return m_window.tree(); }
    QLineEdit *field() const { return form()->searchCommands()->SearchEdit(); }

    WindowFixture m_window;
};

void TestSearching::init()
{
    m_window.open(*collection());
}

void TestSearching::cleanup()
{
    m_window.close();
}

void TestSearching::resultsFollowTyping()
{
    // The pointer rests over the window, whose status tip is the status text of the moment.
    QStatusTipEvent hover(form()->statusTip());
    QCoreApplication::sendEvent(form(), &hover);
    field()->setFocus();
    QTest::keyClicks(field(), QStringLiteral("caf"));
    QVERIFY(list()->model()->showsResults());
    QCOMPARE(rowNames(list()), (QStringList {"Cafeteria menu", QStringLiteral("Café de Flore")}));
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("2 objects"));
    QCOMPARE(form()->statusBar()->currentMessage(), QString());
    QTest::keyClicks(field(), QStringLiteral("e paris"));
    QCOMPARE(rowNames(list()), QStringList {QStringLiteral("Café de Flore")});
    QTest::keyClick(field(), Qt::Key_Backspace);
    QTest::keyClicks(field(), QStringLiteral("x"));
    QCOMPARE(rowNames(list()), QStringList {});
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("0 objects"));
}

void TestSearching::escapeReturnsToTheShownFolder()
{
    field()->setFocus();
    QTest::keyClicks(field(), QStringLiteral("wiki"));
    QCOMPARE(rowNames(list()), QStringList {"Wiki"});
    QTest::keyClick(field(), Qt::Key_Escape);
    QVERIFY(field()->text().isEmpty());
    QVERIFY(!list()->model()->showsResults());
    QCOMPARE(list()->model()->folder(), form()->repository()->Root());
    QCOMPARE(rowNames(list()), (QStringList {"Travel", "Work", "Cafeteria menu"}));
    // Clearing the field does the same.
    field()->setText(QStringLiteral("wiki"));
    field()->clear();
    QVERIFY(!list()->model()->showsResults());
}

void TestSearching::openingAResultCountsTheVisit()
{
    field()->setText(QStringLiteral("tracker"));
    selectRow(list(), QStringLiteral("Tracker"));
    LinkItem *tracker = list()->selectedItems().front();
    {
        const RecordedBoxes boxes; // no program takes the link: its warning is not shown
        QTest::keyClick(list()->currentView(), Qt::Key_Return);
    }
    QCOMPARE(tracker->Visits, 1);
    QVERIFY(list()->model()->showsResults());
}

void TestSearching::deletingAResultKeepsEverythingConsistent()
{
    // A folder found by the search, deleted from the results: gone from the collection and the tree.
    tree()->ExpandAll();
    QVERIFY(!tree()->findItems(QStringLiteral("Europe"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    field()->setText(QStringLiteral("europe"));
    selectRow(list(), QStringLiteral("Europe"));
    list()->currentView()->setFocus();
    form()->actions()->deleteItems->trigger();
    QCOMPARE(m_window.questions,
             QStringList {"Confirm Multiple Objects Delete|Are you sure you want to delete these 1 objects?"});
    QVERIFY(tree()->findItems(QStringLiteral("Europe"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    QCOMPARE(rowNames(list()), QStringList {});
    // The next search reads the collection as it is now.
    field()->setText(QStringLiteral("flore"));
    QCOMPARE(rowNames(list()), QStringList {});
    field()->setText(QStringLiteral("asia"));
    QCOMPARE(rowNames(list()), QStringList {"Asia"});
}

void TestSearching::movingAResultToAFolder()
{
    field()->setText(QStringLiteral("wiki"));
    selectRow(list(), QStringLiteral("Wiki"));
    LinkItem *wiki = list()->selectedItems().front();
    QTreeWidgetItem *travel
        = tree()->findItems(QStringLiteral("Travel"), Qt::MatchExactly | Qt::MatchRecursive).first();
    QMimeData data;
    data.setData(FolderTreeView::ListMimeType, QByteArray());
    const QPoint point = tree()->visualItemRect(travel).center();
    QDragEnterEvent enter(point, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree()->viewport(), &enter);
    QDragMoveEvent move(point, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree()->viewport(), &move);
    QVERIFY(move.isAccepted());
    QDropEvent drop(QPointF(point), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree()->viewport(), &drop);
    QCOMPARE(wiki->Parent, FolderTreeView::itemOf(travel));
    QCOMPARE(wiki->Parent->Name, std::string("Travel"));
    field()->setText(QStringLiteral("wiki"));
    selectRow(list(), QStringLiteral("Wiki"));
    QCOMPARE(form()->descriptionPane()->LocationLabel()->text().contains(QStringLiteral("Quillmark\\Travel")), true);
}

void TestSearching::locationGoesToTheFolder()
{
    field()->setText(QStringLiteral("flore"));
    selectRow(list(), QStringLiteral("Café de Flore"));
    QLabel *location = form()->descriptionPane()->LocationLabel();
    QVERIFY(!location->isHidden());
    QVERIFY(location->text().contains(QStringLiteral("Quillmark\\Travel\\Europe\\France")));
    emit location->linkActivated(QStringLiteral("folder"));
    QVERIFY(!list()->model()->showsResults());
    QCOMPARE(tree()->SelectedItem()->Name, std::string("France"));
    QCOMPARE(rowNames(list()), (QStringList {"Paris", QStringLiteral("Café de Flore")}));
    QVERIFY(location->isHidden());
}

void TestSearching::deletingResultsWithTheirFolder()
{
    // "e" finds "Travel" and, inside it, "Europe", "France" and the café: selected together, these go with
    // their folder and are not removed again. In descending order the folder comes before two of them.
    form()->listPane()->sortDescendingAction()->trigger();
    field()->setText(QStringLiteral("e"));
    const int found = list()->model()->rowCount();
    QVERIFY(rowNames(list()).contains(QStringLiteral("Travel")));
    QVERIFY(rowNames(list()).indexOf(QStringLiteral("Travel")) < rowNames(list()).indexOf(QStringLiteral("France")));
    list()->currentView()->setFocus();
    form()->actions()->selectAll->trigger();
    std::size_t removed = 0;
    connect(form()->document(), &CollectionDocument::itemsAboutToBeRemoved, this,
            [&removed](const std::vector<LinkItem *> &items) { removed += items.size(); });
    form()->actions()->deleteItems->trigger();
    QCOMPARE(removed, std::size_t(found - 3));
    QCOMPARE(m_window.questions,
             QStringList {QStringLiteral("Confirm Multiple Objects Delete|Are you sure you want to delete these %1 "
                                         "objects?")
                              .arg(found)});
    QCOMPARE(rowNames(list()), QStringList {});
    QVERIFY(tree()->findItems(QStringLiteral("Travel"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    const LinkItem *root = form()->repository()->Root();
    for (int i = 0; i < root->Children.Count(); ++i)
        QVERIFY(root->Children.Get(i)->Name != "Travel");
}

void TestSearching::allBookmarksThenAFolder()
{
    form()->actions()->allBookmarks->trigger();
    QVERIFY(list()->model()->showsResults());
    QCOMPARE(list()->model()->rowCount(), 4);
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("4 objects"));
    QTreeWidgetItem *work = tree()->findItems(QStringLiteral("Work"), Qt::MatchExactly | Qt::MatchRecursive).first();
    tree()->setCurrentItem(work);
    QVERIFY(!list()->model()->showsResults());
    QCOMPARE(rowNames(list()), (QStringList {"Tracker", "Wiki"}));
}

void TestSearching::goToFolderOnADeepPath()
{
    QTimer::singleShot(0, this, [] {
        auto *dialog = qobject_cast<GoToFolderDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTest::keyClicks(dialog->FilterEdit(), QStringLiteral("france"));
        QTest::keyClick(dialog->FilterEdit(), Qt::Key_Return);
    });
    form()->actions()->goToFolder->trigger();
    QCOMPARE(tree()->SelectedItem()->Name, std::string("France"));
    // The branches above it were opened to get there.
    QVERIFY(tree()->SelectedNode()->parent()->isExpanded());
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("2 objects"));
}

void TestSearching::deleteEmptyFolders_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("gone");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("nested empty folders")
        << "Travel"
        << "Quillmark|Are you sure you want to delete 3 empty folders?" << QStringList {"Asia", "Japan", "Paris"}
        << QStringList {"Travel", "Europe", "France"};
    QTest::newRow("folders holding only links")
        << "Work"
        << "Quillmark|There are no empty folders in 'Work'." << QStringList {} << QStringList {"Work"};
}

void TestSearching::deleteEmptyFolders()
{
    QFETCH(QString, start);
    QFETCH(QString, question);
    QFETCH(QStringList, gone);
    QFETCH(QStringList, kept);
    tree()->ExpandAll();
    tree()->setCurrentItem(tree()->findItems(start, Qt::MatchExactly | Qt::MatchRecursive).first());
    form()->actions()->deleteEmptyFolders->trigger();
    QCOMPARE(m_window.questions, QStringList {question});
    for (const QString &name : gone)
        QVERIFY2(tree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).isEmpty(), qPrintable(name));
    for (const QString &name : kept)
        QVERIFY2(!tree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).isEmpty(), qPrintable(name));
    QCOMPARE(tree()->SelectedNode()->text(0), start);
    field()->setText(QStringLiteral("japan"));
    QCOMPARE(list()->model()->rowCount(), gone.contains(QStringLiteral("Japan")) ? 0 : 1);
}

void TestSearching::searchShortcutFocusesTheField()
{
    QApplication::setActiveWindow(form());
    QVERIFY(QTest::qWaitForWindowActive(form()));
    list()->currentView()->setFocus();
    // Through the window system, as a real key press arrives, so that the shortcut map sees it.
    QTest::keyClick(form()->windowHandle(), Qt::Key_S, Qt::ControlModifier);
    QTRY_COMPARE(QApplication::focusWidget(), field());
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
    m_window.close();
    m_window.open(*root);
    if (QTest::currentTestFailed())
        return;
    ResultsJob *job = form()->searchCommands()->resultsJob();
    job->setSliceMs(0, 0);
    LinkListModel *model = list()->model();
    CollectionDocument *document = form()->document();

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
                form()->actions()->allBookmarks->trigger();
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
    QCOMPARE(form()->statusPanel()->text(), CollectionView::countText(model->rowCount()));
}

QTEST_MAIN(TestSearching)
#include "tst_searching.moc"
