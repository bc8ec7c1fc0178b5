// Long chains of nested folders: Expand All and Go to Folder answer quickly, the deepest folder the tree
// opens is reached, and deep branches go without exhausting the stack.
#include "common/PanesFixture.h"
#include "common/Sanitizers.h"
#include "common/TreeBuilders.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/SearchCommands.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <functional>

using namespace TreeBuilders;

namespace {
constexpr qint64 BoundMs = 2000 * Slowdown;

// Processor time a command takes until the panes have laid themselves out and painted: a busy shared machine
// stretches the time on the clock, not the work.
qint64 cpuMsOf(const std::function<void()> &command)
{
    const std::clock_t start = std::clock();
    command();
    QCoreApplication::processEvents();
    return static_cast<qint64>(std::clock() - start) * 1000 / CLOCKS_PER_SEC;
}
} // namespace

class TestDeepFolders : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Settings::SetStorageFolder(m_dir.filePath(QStringLiteral("config"))); }
    void panesOnAChain_data();
    void panesOnAChain();
    void expandAllStopsAtItsFolderCount();
    void deepBranchGoesWithoutRecursion_data();
    void deepBranchGoesWithoutRecursion();

private:
    QTemporaryDir m_dir;
};

void TestDeepFolders::panesOnAChain_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("reached");
    QTest::newRow("4,000 levels") << 4000 << 4000;
    QTest::newRow("10,000 levels") << 10000 << 10000;
    QTest::newRow("deeper than the tree opens") << FolderTreeView::MaxOpenDepth + 1 << FolderTreeView::MaxOpenDepth;
}

void TestDeepFolders::panesOnAChain()
{
    // "Quillmark" holding "Level 1" holding "Level 2" and so on down to "Level <depth>", which holds a link.
    QFETCH(int, depth);
    QFETCH(int, reached);
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *deepest = root.get();
    for (int level = 1; level <= depth; ++level)
        deepest = addFolder(*deepest, "Level " + std::to_string(level));
    addLink(*deepest, "Bottom", "https://example.org/bottom");
    PanesFixture panes(std::move(root));
    if (QTest::currentTestFailed())
        return;
    FolderTreeView *tree = panes.tree;
    SearchCommands search(&panes.document, panes.view.get(), panes.window.get());

    bool whole = true;
    const qint64 expandMs = cpuMsOf([tree, &whole] { whole = tree->ExpandAll(); });
    QVERIFY2(expandMs < BoundMs, qPrintable(QStringLiteral("Expand All took %1 ms").arg(expandMs)));
    QVERIFY(!whole);
    QModelIndex node = tree->rootRow();
    for (int level = 0; node.isValid() && level < FolderTreeView::ExpandAllLevels; ++level)
        node = tree->isExpanded(node) ? tree->model()->index(0, 0, node) : QModelIndex();
    QVERIFY(node.isValid() && !tree->isExpanded(node));

    QTimer::singleShot(0, this, [deepest] {
        auto *dialog = qobject_cast<GoToFolderDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->setCurrentFolder(deepest);
        QTest::keyClick(dialog->filterEdit(), Qt::Key_Return);
    });
    const qint64 goToMs = cpuMsOf([&search] { search.goToChosenFolder(); });
    QVERIFY2(goToMs < BoundMs, qPrintable(QStringLiteral("Go to Folder took %1 ms").arg(goToMs)));
    QCOMPARE(tree->selectedFolder()->Name, "Level " + std::to_string(reached));
    QCOMPARE(panes.view->folder(), tree->selectedFolder());
    QCOMPARE(panes.view->statusText(), CollectionView::countText(1));
    QCOMPARE(panes.boxes.informations, reached == depth ? QStringList() : QStringList {FolderTreeView::tooDeepText()});
    QCOMPARE(panes.boxes.titles, reached == depth ? QStringList() : QStringList {"Quillmark"});
    // Scrolled to its row (the column keeps the width of the pane: the name itself stands far right).
    const QRect row = tree->visualRect(tree->currentIndex());
    QVERIFY2(row.top() >= 0 && row.bottom() < tree->viewport()->height(), qPrintable(QString::number(row.top())));
    // At the deepest level the tree opens, a row shows nothing below it, even when opened.
    tree->toggleExpanded();
    QCOMPARE(tree->model()->rowCount(tree->currentIndex()), 0);

    // Each row of the open chain goes once: the view must not walk every open row for each removal.
    tree->setCurrentIndex(tree->model()->index(0, 0, tree->rootRow()));
    tree->setFocus();
    const qint64 deleteMs = cpuMsOf([&panes] { panes.items->deleteItems(); });
    QVERIFY2(deleteMs < BoundMs / 4, qPrintable(QStringLiteral("Delete took %1 ms").arg(deleteMs)));
    QCOMPARE(tree->model()->rowCount(tree->rootRow()), 0);
    QCOMPARE(tree->currentIndex(), tree->rootRow());
}

void TestDeepFolders::expandAllStopsAtItsFolderCount()
{
    // Folders each holding an empty one, one more than Expand All opens besides the root; the empty ones
    // open to show nothing and do not count.
    auto root = LinkItem::MakeFolder("Quillmark");
    for (int i = 0; i < FolderTreeView::ExpandAllFolders; ++i)
        addFolder(*addFolder(*root, "Folder " + std::to_string(i)), "Empty");
    FolderTreeView tree;
    tree.setRootFolder(root.get());
    QVERIFY(!tree.ExpandAll());
    int open = 0;
    for (int i = 0; i < tree.model()->rowCount(tree.rootRow()); ++i)
        open += tree.isExpanded(tree.model()->index(i, 0, tree.rootRow())) ? 1 : 0;
    QCOMPARE(open, FolderTreeView::ExpandAllFolders - 1);
}

void TestDeepFolders::deepBranchGoesWithoutRecursion_data()
{
    QTest::addColumn<int>("teardown");
    QTest::newRow("deleting its top folder") << 0;
    QTest::newRow("a new root") << 1;
    QTest::newRow("the tree's end") << 2;
}

void TestDeepFolders::deepBranchGoesWithoutRecursion()
{
    // An open branch as deep as the tree opens, below a chain far deeper than a stack holds at a frame a
    // level: its rows go without a call a level.
    QFETCH(int, teardown);
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *bottom = root.get();
    for (int level = 1; level < 200000; ++level)
        bottom = addFolder(*bottom, "Level " + std::to_string(level));
    CollectionDocument document(root.get());
    auto tree = std::make_unique<FolderTreeView>();
    tree->follow(&document);
    tree->setRootFolder(root.get());
    QVERIFY(tree->selectFolder(bottom));
    if (teardown == 0)
        document.remove(root->Children.Get(0));
    else if (teardown == 1)
        tree->setRootFolder(root.get());
    else
        tree.reset();
    QVERIFY(!tree || tree->model()->rowCount(tree->rootRow()) == 0 || teardown == 1);
    QVERIFY(!tree || tree->selectedFolder() == root.get());
}

QTEST_MAIN(TestDeepFolders)
#include "tst_deepfolders.moc"
