// Find Duplicates, its clean-ups and Merge Duplicate Folders on a document and a view.
#include "common/EventLoopStalls.h"
#include "common/Sanitizers.h"
#include "common/TreeBuilders.h"
#include "common/ViewFixture.h"
#include "mainwindow/DuplicateCommands.h"
#include "mainwindow/DuplicatesDialog.h"
#include "settings/Settings.h"
#include "store/Duplicates.h"
#include "store/Repository.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace TreeBuilders;

namespace {

// Two pages twice each (one of them in other letters and with its default port), one page once.
std::unique_ptr<LinkItem> collection()
{
    auto root = LinkItem::MakeFolder(Repository::RootName);
    LinkItem *a = addFolder(*root, "A");
    LinkItem *b = addFolder(*root, "B");
    addLink(*a, "x", "http://x.example/")->Visits = 1;
    addLink(*b, "x2", "HTTP://X.example")->Visits = 3;
    addLink(*a, "y", "http://y.example/")->Description = "about y";
    addLink(*root, "z", "http://y.example:80/");
    addLink(*root, "w", "http://w.example/");
    return root;
}

QString pathOf(const LinkItem *item)
{
    QStringList names;
    for (; item && item->Parent; item = item->Parent)
        names.prepend(QString::fromStdString(item->Name.str()));
    return names.join('/');
}

// Every item below folder in tree order, links with their visits and description.
QStringList lines(const LinkItem *folder)
{
    QStringList out;
    for (const auto &child : folder->Children) {
        if (child->isFolder())
            out << pathOf(child.get()) + '/' << lines(child.get());
        else
            out << QStringLiteral("%1 %2 %3")
                       .arg(pathOf(child.get()))
                       .arg(child->Visits)
                       .arg(QString::fromStdString(child->Description.str()));
    }
    return out;
}

// Adds folders of 1,000 links below root, count links in all; one link in fifty has the address of the link
// before it.
void addManyLinks(LinkItem &root, int count)
{
    for (int made = 0; made < count;) {
        std::vector<std::unique_ptr<LinkItem>> links;
        for (int i = 0; i < 1000 && made < count; ++i, ++made)
            links.push_back(LinkItem::MakeLink("n",
                                               "https://host" + std::to_string(made % 50 == 1 ? made - 1 : made)
                                                   + ".example.org/articles/index.html?ref=list"));
        addFolder(root, "F" + std::to_string(made))->Children.InsertSortedBatch(std::move(links));
    }
}

} // namespace

class TestDuplicateCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void groupsStayTogether_data();
    void groupsStayTogether();
    void placesOfTheSelectedGroup();
    void keepSelected();
    void cleanUpAll_data();
    void cleanUpAll();
    void optionsAreRemembered();
    void mergeDuplicateFolders_data();
    void mergeDuplicateFolders();
    void staysResponsive_data();
    void staysResponsive();
    void changesWhileFinding_data();
    void changesWhileFinding();
    void mergeStaysResponsive();

private:
    DuplicateCommands *commands() const { return m_commands.get(); }
    LinkItem *root() const { return m_fixture->root(); }
    CollectionView &view() const { return m_fixture->view; }
    CollectionDocument *document() const { return &m_fixture->document; }
    QStringList rows() const;
    void select(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ViewFixture> m_fixture;
    std::unique_ptr<DuplicateCommands> m_commands;
};

void TestDuplicateCommands::init()
{
    // The options are remembered in settings of the test's own.
    m_dir = std::make_unique<QTemporaryDir>();
    Settings::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
    m_fixture = std::make_unique<ViewFixture>(collection());
    m_commands = std::make_unique<DuplicateCommands>(document(), &view(), m_fixture->parent.get());
}

void TestDuplicateCommands::cleanup()
{
    m_commands.reset();
    m_fixture.reset();
    m_dir.reset();
}

QStringList TestDuplicateCommands::rows() const
{
    QStringList out;
    const LinkListModel *model = view().model();
    for (int row = 0; row < model->rowCount(); ++row)
        out << pathOf(model->itemAt(row));
    return out;
}

void TestDuplicateCommands::select(const QString &path)
{
    const LinkListModel *model = view().model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (pathOf(model->itemAt(row)) == path)
            view().select({model->itemAt(row)});
    }
}

void TestDuplicateCommands::groupsStayTogether_data()
{
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("ascending") << true << QStringList {"A/x", "B/x2", "A/y", "z"};
    QTest::newRow("descending") << false << QStringList {"B/x2", "A/x", "z", "A/y"};
}

void TestDuplicateCommands::groupsStayTogether()
{
    QFETCH(bool, ascending);
    QFETCH(QStringList, sorted);
    commands()->showDuplicates(root(), {});
    QCOMPARE(rows(), QStringList({"A/x", "B/x2", "A/y", "z"}));
    QCOMPARE(view().listing(), CollectionView::Listing::Duplicates);
    QCOMPARE(view().statusText(), QStringLiteral("4 links in 2 groups of duplicates"));
    // Sorting by name orders each group's links; the groups stay one after another.
    view().sortBy(NameColumn, ascending);
    QTRY_COMPARE(rows(), sorted);
    QVERIFY(commands()->showsDuplicates());
}

void TestDuplicateCommands::placesOfTheSelectedGroup()
{
    QSignalSpy places(commands(), &DuplicateCommands::placesChanged);
    const auto lastPlaces = [&places] { return places.isEmpty() ? QStringList() : places.last().at(0).toStringList(); };
    commands()->showDuplicates(root(), {});
    QCOMPARE(lastPlaces(), QStringList());
    QVERIFY(commands()->canCleanUp());
    QVERIFY(!commands()->canKeepSelected());
    select(QStringLiteral("z"));
    QCOMPARE(lastPlaces(), (QStringList {"Quillmark\\A", "Quillmark"}));
    QVERIFY(commands()->canKeepSelected());
    select(QStringLiteral("B/x2"));
    QCOMPARE(lastPlaces(), (QStringList {"Quillmark\\A", "Quillmark\\B"}));
    // Two selected: no group's places.
    view().selectAll();
    QCOMPARE(lastPlaces(), QStringList());
    QVERIFY(!commands()->canKeepSelected());
    // Back to a folder: no more places, nothing to clean up, and the state says so.
    select(QStringLiteral("z"));
    QSignalSpy state(commands(), &DuplicateCommands::stateChanged);
    view().showFolder(root());
    QCOMPARE(lastPlaces(), QStringList());
    QVERIFY(!commands()->showsDuplicates());
    QVERIFY(!state.isEmpty());
    QVERIFY(!commands()->canCleanUp());
    QVERIFY(!commands()->canKeepSelected());
}

void TestDuplicateCommands::keepSelected()
{
    const QStringList before = lines(root());
    commands()->showDuplicates(root(), {});
    select(QStringLiteral("z"));
    commands()->keepSelected();
    QCOMPARE(rows(), QStringList({"A/x", "B/x2"})); // the other group is still listed
    QVERIFY(!lines(root()).contains(QStringLiteral("A/y 0 about y")));
    QVERIFY(lines(root()).contains(QStringLiteral("z 0 "))); // the selected one stays
    // What was done stays in the status bar once the events waiting have been handled.
    QCoreApplication::processEvents();
    QCOMPARE(rows(), QStringList({"A/x", "B/x2"}));
    QCOMPARE(view().statusText(), QStringLiteral("1 duplicate links deleted"));
    document()->undo();
    QCOMPARE(lines(root()), before);
}

void TestDuplicateCommands::cleanUpAll_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestDuplicateCommands::cleanUpAll()
{
    QFETCH(bool, yes);
    const QStringList before = lines(root());
    commands()->showDuplicates(root(), {});
    m_fixture->boxes.answer = yes;
    commands()->cleanUpAll();
    QCOMPARE(m_fixture->boxes.questions, QStringList({"Are you sure you want to delete 2 duplicate links?"}));
    if (!yes) {
        QCOMPARE(lines(root()), before);
        QCOMPARE(rows().size(), 4);
        return;
    }
    // x2 has more visits; z and y tie, and z lies higher: it stays and takes y's description.
    QCOMPARE(lines(root()), QStringList({"A/", "B/", "B/x2 4 ", "w 0 ", "z 0 about y"}));
    QVERIFY(!commands()->showsDuplicates());
    QCOMPARE(view().listing(), CollectionView::Listing::Folder);
    QCOMPARE(view().statusText(), QStringLiteral("2 duplicate links deleted"));
    document()->undo();
    QCOMPARE(lines(root()), before);
}

void TestDuplicateCommands::optionsAreRemembered()
{
    // "w" and "z" become one page when the scheme, www and the fragment do not count.
    addLink(*root(), "v", "https://www.w.example/#top");
    for (bool second : {false, true}) {
        // What the dialog offers is checked once it is closed, so that a wrong answer never leaves it open.
        bool dialogShown = false;
        bool fragment = !second;
        bool scheme = !second;
        bool tracking = true;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<DuplicatesDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialogShown = true;
            fragment = dialog->fragmentBox()->isChecked();
            scheme = dialog->schemeBox()->isChecked();
            tracking = dialog->trackingBox()->isChecked();
            dialog->fragmentBox()->setChecked(true);
            dialog->schemeBox()->setChecked(true);
            dialog->collectionButton()->setChecked(true);
            dialog->accept();
        });
        commands()->findDuplicates();
        QVERIFY(dialogShown);
        QCOMPARE(fragment, second);
        QCOMPARE(scheme, second);
        QVERIFY(!tracking);
        QCOMPARE(rows(), QStringList({"A/x", "B/x2", "A/y", "z", "v", "w"}));
    }
    Settings settings;
    QVERIFY(settings.GetIgnoreFragment());
    QVERIFY(settings.GetIgnoreSchemeAndWww());
    QVERIFY(!settings.GetIgnoreTracking());
}

void TestDuplicateCommands::mergeDuplicateFolders_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestDuplicateCommands::mergeDuplicateFolders()
{
    QFETCH(bool, yes);
    LinkItem *other = addFolder(*root(), " a ");
    addFolder(*other, "Sub");
    addLink(*other, "y", "http://Y.example");
    addLink(*other, "new", "http://new.example/");
    const QStringList before = lines(root());
    m_fixture->boxes.answer = yes;
    commands()->mergeDuplicateFolders();
    QCOMPARE(m_fixture->boxes.questions,
             QStringList({"Are you sure you want to merge 1 folders into folders "
                          "of the same name? 1 identical links in them will be deleted."}));
    if (!yes) {
        QCOMPARE(lines(root()), before);
        return;
    }
    // " a " sorts before "A" and receives its contents.
    QCOMPARE(lines(root()),
             QStringList(
                 {" a /", " a /Sub/", " a /new 0 ", " a /x 1 ", " a /y 0 about y", "B/", "B/x2 3 ", "w 0 ", "z 0 "}));
    QCOMPARE(view().model()->rowCount(), 4); // the root is listed again
    QCOMPARE(view().statusText(), QStringLiteral("1 folders merged, 1 identical links deleted"));
    document()->undo();
    QCOMPARE(lines(root()), before);
}

void TestDuplicateCommands::staysResponsive_data()
{
    QTest::addColumn<bool>("keepOne");
    QTest::newRow("find") << false;
    QTest::newRow("keep selected, then find again") << true;
}

void TestDuplicateCommands::staysResponsive()
{
    // Finding the duplicates of 500,000 links in one go held the window for far longer than this.
    QFETCH(bool, keepOne);
    addManyLinks(*root(), 500'000);
    if (keepOne) {
        commands()->showDuplicates(root(), {});
        QTRY_VERIFY_WITH_TIMEOUT(commands()->showsDuplicates() && !commands()->isFinding(), 60'000);
        select(QStringLiteral("A/x"));
    }
    const qint64 stall = longestStallMs(
        [&] {
            if (keepOne)
                commands()->keepSelected();
            else
                commands()->showDuplicates(root(), {});
        },
        [&] { return !commands()->isFinding(); });
    QVERIFY2(stall < 100 * Slowdown, qPrintable(QStringLiteral("%1 ms").arg(stall)));
    QCOMPARE(commands()->groups().size(), Duplicates::find(root(), UrlKey()).size());
    QCOMPARE(commands()->groups().size(), size_t(keepOne ? 10'001 : 10'002));
    QCOMPARE(view().model()->rowCount(), keepOne ? 20'002 : 20'004);
    QCOMPARE(view().statusText(),
             keepOne ? QStringLiteral("1 duplicate links deleted")
                     : QStringLiteral("20004 links in 10002 groups of duplicates"));
}

void TestDuplicateCommands::changesWhileFinding_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("listed"); // the first rows afterwards; none: the search was dropped

    QTest::newRow("a listed link deleted") << "delete" << QStringList {"A/y", "z", "F1000/n", "F1000/n"};
    QTest::newRow("a duplicate added") << "add" << QStringList {"A/x", "B/x2", "x3", "A/y"};
    QTest::newRow("Esc") << "escape" << QStringList();
    QTest::newRow("another folder shown") << "show folder" << QStringList();
}

void TestDuplicateCommands::changesWhileFinding()
{
    QFETCH(QString, change);
    QFETCH(QStringList, listed);
    addManyLinks(*root(), 20'000);
    if (change == u"escape") {
        // Esc reaches the commands through their window, while it is active.
        QWidget *window = m_fixture->parent.get();
        window->show();
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    commands()->setSliceMs(0, 0);
    commands()->showDuplicates(root(), {});
    QVERIFY(commands()->isFinding());
    QVERIFY(view().statusText().startsWith(QStringLiteral("Looking for duplicates... ")));
    QVERIFY(!commands()->showsDuplicates());
    QCoreApplication::processEvents(); // another slice
    if (change == u"delete")
        document()->remove(root()->Children.Get(0)->Children.Get(0)); // A/x
    else if (change == u"add")
        document()->insertSorted(root(), LinkItem::MakeLink("x3", "http://x.example:80/"));
    else if (change == u"escape")
        QTest::keyClick(m_fixture->parent.get(), Qt::Key_Escape);
    else
        view().showFolder(root()->Children.Get(1)); // B
    QTRY_VERIFY_WITH_TIMEOUT(!commands()->isFinding(), 30'000);
    QCOMPARE(commands()->showsDuplicates(), !listed.isEmpty());
    QCOMPARE(rows().mid(0, 4), listed.isEmpty() ? rows().mid(0, 4) : listed);
    if (listed.isEmpty()) {
        // Nothing of the search comes afterwards.
        QTest::qWait(50);
        QVERIFY(!commands()->showsDuplicates());
        QVERIFY(!view().statusText().contains(QStringLiteral("duplicates")));
    }
}

void TestDuplicateCommands::mergeStaysResponsive()
{
    // 150 folders of 1,000 links with a twin each, of which one link in fifty is the twin's: moving the
    // links one at a time, and taking the moves back, held the window for far longer.
    for (int f = 0; f < 300; ++f) {
        std::vector<std::unique_ptr<LinkItem>> links;
        for (int i = 0; i < 1000; ++i) {
            const int n = i % 50 == 0 ? i : f * 1000 + i;
            links.push_back(LinkItem::MakeLink("n" + std::to_string(n), "http://h" + std::to_string(n) + ".example/"));
        }
        addFolder(*root(), (f % 2 ? "T" : "t") + std::to_string(f / 2))->Children.InsertSortedBatch(std::move(links));
    }
    const QStringList before = lines(root());
    const qint64 merge = longestStallMs([&] { commands()->mergeDuplicateFolders(); });
    QCOMPARE(m_fixture->boxes.questions.size(), 1);
    QVERIFY2(m_fixture->boxes.questions.first().contains(QStringLiteral("merge 150 folders")),
             qPrintable(m_fixture->boxes.questions.first()));
    QCOMPARE(root()->Children.Count(), 154);
    for (const auto &child : root()->Children) {
        if (child->Name.view().starts_with("T"))
            QCOMPARE(child->Children.Count(), 1980); // what stays of "T7" and "t7" together
    }
    const qint64 undo = longestStallMs([&] { document()->undo(); });
    QCOMPARE(lines(root()), before);
    // The sanitized debug build writes the backup and moves the items about twenty times slower.
    QVERIFY2(merge + undo < 400 * Slowdown * 2, qPrintable(QStringLiteral("%1 ms and %2 ms").arg(merge).arg(undo)));
}

QTEST_MAIN(TestDuplicateCommands)
#include "tst_duplicatecommands.moc"
