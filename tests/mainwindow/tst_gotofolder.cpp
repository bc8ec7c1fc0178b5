#include "common/TreeBuilders.h"
#include "mainwindow/FolderPathModel.h"
#include "mainwindow/GoToFolderDialog.h"
#include "store/LinkItem.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QListView>
#include <QTest>

using namespace TreeBuilders;

namespace {

// Quillmark
//   Cuisine/          Desserts/ (Glaces/), Entr\u00e9es/
//   Work/             Clients/ (Acme/ (Projects/ (2024/ (Quillmark port/ (Deep/)))), Archive/
//   a link under the root and in several folders, which the dialog never lists
struct Sample
{
    std::unique_ptr<LinkItem> root = LinkItem::MakeFolder("Quillmark");
    LinkItem *cuisine = addFolder(*root, "Cuisine");
    LinkItem *desserts = addFolder(*cuisine, "Desserts");
    LinkItem *glaces = addFolder(*desserts, "Glaces");
    LinkItem *entrees = addFolder(*cuisine, std::string("Entr\xc3\xa9") + "es");
    LinkItem *work = addFolder(*root, "Work");
    LinkItem *clients = addFolder(*work, "Clients");
    LinkItem *acme = addFolder(*clients, "Acme");
    LinkItem *projects = addFolder(*acme, "Projects");
    LinkItem *year = addFolder(*projects, "2024");
    LinkItem *port = addFolder(*year, "Quillmark port");
    LinkItem *deep = addFolder(*port, "Deep");
    LinkItem *archive = addFolder(*work, "Archive");

    Sample()
    {
        addLink(*root, "Projects link", "https://example.org/projects");
        addLink(*projects, "Plan", "https://example.org/plan");
        addLink(*desserts, "Glaces maison", "https://example.org/glaces");
    }
};

QStringList shownPaths(const FolderPathModel &model)
{
    QStringList paths;
    for (int row = 0; row < model.rowCount(); ++row)
        paths << model.index(row).data().toString();
    return paths;
}

} // namespace

class TestGoToFolder : public QObject
{
    Q_OBJECT
private slots:
    void filter_data();
    void filter();
    void keyboardChoiceOnDeepPath();
    void enterWithoutMatchKeepsDialogOpen();
    void startsOnCurrentFolder();
    void deepChainOfFolders();
};

void TestGoToFolder::filter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");

    const QString deep = "Quillmark\\Work\\Clients\\Acme\\Projects\\2024\\Quillmark port\\Deep";
    QTest::newRow("no filter lists every folder in tree order")
        << ""
        << QStringList {"Quillmark",
                        "Quillmark\\Cuisine",
                        "Quillmark\\Cuisine\\Desserts",
                        "Quillmark\\Cuisine\\Desserts\\Glaces",
                        QStringLiteral("Quillmark\\Cuisine\\Entr\u00e9es"),
                        "Quillmark\\Work",
                        "Quillmark\\Work\\Archive",
                        "Quillmark\\Work\\Clients",
                        "Quillmark\\Work\\Clients\\Acme",
                        "Quillmark\\Work\\Clients\\Acme\\Projects",
                        "Quillmark\\Work\\Clients\\Acme\\Projects\\2024",
                        "Quillmark\\Work\\Clients\\Acme\\Projects\\2024\\Quillmark port",
                        deep};
    QTest::newRow("a folder and what lies in it") << "glaces" << QStringList {"Quillmark\\Cuisine\\Desserts\\Glaces"};
    QTest::newRow("accents and case") << QStringLiteral("ENTREES")
                                      << QStringList {QStringLiteral("Quillmark\\Cuisine\\Entr\u00e9es")};
    QTest::newRow("words of the path in any order") << "deep acme" << QStringList {deep};
    QTest::newRow("a backslash in a word") << "port\\de" << QStringList {deep};
    QTest::newRow("every word must match") << "acme glaces" << QStringList {};
    QTest::newRow("links are not listed") << "plan" << QStringList {};
}

void TestGoToFolder::filter()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    Sample sample;
    FolderPathModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setRoot(sample.root.get());
    QCOMPARE(model.folderCount(), 13);
    model.setFilter(filter);
    QCOMPARE(shownPaths(model), expected);
    for (int row = 0; row < model.rowCount(); ++row)
        QCOMPARE(model.rowOf(model.folderAt(row)), row);
    // Clearing the filter shows every folder again.
    model.setFilter(QString());
    QCOMPARE(model.rowCount(), 13);
}

void TestGoToFolder::keyboardChoiceOnDeepPath()
{
    Sample sample;
    GoToFolderDialog dialog(sample.root.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QLineEdit *filter = dialog.filterEdit();
    QVERIFY(filter->hasFocus());

    // "proj" narrows to Projects and the three folders below it; the first is chosen until the arrows move.
    QTest::keyClicks(filter, "proj");
    QCOMPARE(dialog.model()->rowCount(), 4);
    QCOMPARE(dialog.chosenFolder(), sample.projects);
    QTest::keyClick(filter, Qt::Key_Down);
    QTest::keyClick(filter, Qt::Key_Down);
    QTest::keyClick(filter, Qt::Key_Down);
    QCOMPARE(dialog.chosenFolder(), sample.deep);
    QTest::keyClick(filter, Qt::Key_Up);
    QCOMPARE(dialog.chosenFolder(), sample.port);
    QVERIFY(filter->hasFocus());
    QCOMPARE(filter->text(), QStringLiteral("proj"));

    // Typing on starts again from the first match.
    QTest::keyClicks(filter, " 2024 de");
    QCOMPARE(dialog.model()->rowCount(), 1);
    QCOMPARE(dialog.chosenFolder(), sample.deep);
    QTest::keyClick(filter, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenFolder(), sample.deep);
}

void TestGoToFolder::enterWithoutMatchKeepsDialogOpen()
{
    Sample sample;
    GoToFolderDialog dialog(sample.root.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClicks(dialog.filterEdit(), "nowhere");
    QCOMPARE(dialog.model()->rowCount(), 0);
    QCOMPARE(dialog.chosenFolder(), nullptr);
    QTest::keyClick(dialog.filterEdit(), Qt::Key_Return);
    QVERIFY(dialog.isVisible());

    // Backspacing until something matches again.
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(dialog.filterEdit(), Qt::Key_Backspace);
    QCOMPARE(dialog.model()->rowCount(), 13);
    QCOMPARE(dialog.chosenFolder(), sample.root.get());
    QTest::keyClick(dialog.filterEdit(), Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestGoToFolder::startsOnCurrentFolder()
{
    Sample sample;
    GoToFolderDialog dialog(sample.root.get());
    dialog.setCurrentFolder(sample.archive);
    QCOMPARE(dialog.chosenFolder(), sample.archive);
    QTest::keyClick(dialog.filterEdit(), Qt::Key_Down);
    QCOMPARE(dialog.chosenFolder(), sample.clients);
    // A folder that is not in the tree changes nothing.
    auto stranger = LinkItem::MakeFolder("Stranger");
    dialog.setCurrentFolder(stranger.get());
    QCOMPARE(dialog.chosenFolder(), sample.clients);
}

void TestGoToFolder::deepChainOfFolders()
{
    // Paths of a very deep chain are shortened, so that listing it stays linear.
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *folder = root.get();
    for (int depth = 1; depth <= 20000; ++depth)
        folder = addFolder(*folder, std::string("Level ").append(std::to_string(depth)));
    FolderPathModel model;
    model.setRoot(root.get());
    QCOMPARE(model.folderCount(), 20001);
    model.setFilter("level 20000");
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.folderAt(0), folder);
    const QString path = model.index(0).data().toString();
    QVERIFY2(path.startsWith(QStringLiteral("Quillmark\\\u2026\\")), qPrintable(path.left(40)));
    QVERIFY(path.endsWith("\\Level 19999\\Level 20000"));
}

QTEST_MAIN(TestGoToFolder)
#include "tst_gotofolder.moc"
