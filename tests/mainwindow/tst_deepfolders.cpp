// Long chains of nested folders: Expand All and Go to Folder answer quickly, the deepest folder the tree
// opens is reached, and deep branches go without exhausting the stack.
#include "common/TreeBuilders.h"
#include "common/WindowFixture.h"
#include "mainwindow/CollectionView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"
#include "store/NativeFile.h"
#include "store/Repository.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <ctime>

using namespace TreeBuilders;

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 BoundMs = 20000; // the sanitizers slow everything down about tenfold
#else
constexpr qint64 BoundMs = 2000;
#endif

// Processor time an action takes until the window has laid itself out and painted: a busy shared machine
// stretches the time on the clock, not the work.
qint64 cpuMsOf(QAction *action)
{
    const std::clock_t start = std::clock();
    action->trigger();
    QCoreApplication::processEvents();
    return static_cast<qint64>(std::clock() - start) * 1000 / CLOCKS_PER_SEC;
}
} // namespace

class TestDeepFolders : public QObject
{
    Q_OBJECT
private slots:
    void windowOnAChain_data();
    void windowOnAChain();
    void expandAllStopsAtItsFolderCount();
    void deepBranchGoesWithoutRecursion_data();
    void deepBranchGoesWithoutRecursion();
};

void TestDeepFolders::windowOnAChain_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("reached");
    QTest::newRow("4,000 levels") << 4000 << 4000;
    QTest::newRow("10,000 levels") << 10000 << 10000;
    QTest::newRow("deeper than the tree opens") << FolderTreeView::MaxOpenDepth + 1 << FolderTreeView::MaxOpenDepth;
}

void TestDeepFolders::windowOnAChain()
{
    // "Quillmark" holding "Level 1" holding "Level 2" and so on down to "Level <depth>", which holds a link.
    QFETCH(int, depth);
    QFETCH(int, reached);
    WindowFixture window;
    {
        auto root = LinkItem::MakeFolder("Quillmark");
        LinkItem *folder = root.get();
        for (int level = 1; level <= depth; ++level)
            folder = addFolder(*folder, "Level " + std::to_string(level));
        addLink(*folder, "Bottom", "https://example.org/bottom");
        window.open(*root);
    }
    const auto close = qScopeGuard([&window] { window.close(); });
    if (QTest::currentTestFailed())
        return;
    MainWindow *form = window.form();
    FolderTreeView *tree = form->LinksTree();
    LinkItem *deepest = FolderTreeView::itemOf(tree->RootNode());
    while (deepest->Children.HasFolder())
        deepest = deepest->Children.Get(0);

    const qint64 expandMs = cpuMsOf(form->actions()->expandAll);
    QVERIFY2(expandMs < BoundMs, qPrintable(QStringLiteral("Expand All took %1 ms").arg(expandMs)));
    QCOMPARE(form->statusPanel()->text(), FolderTreeView::expandAllCapText());
    QModelIndex node = tree->RootNode();
    for (int level = 0; node.isValid() && level < FolderTreeView::ExpandAllLevels; ++level)
        node = tree->isExpanded(node) ? tree->model()->index(0, 0, node) : QModelIndex();
    QVERIFY(node.isValid() && !tree->isExpanded(node));

    QTimer::singleShot(0, this, [deepest] {
        auto *dialog = qobject_cast<GoToFolderDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->setCurrentFolder(deepest);
        QTest::keyClick(dialog->FilterEdit(), Qt::Key_Return);
    });
    const qint64 goToMs = cpuMsOf(form->actions()->goToFolder);
    QVERIFY2(goToMs < BoundMs, qPrintable(QStringLiteral("Go to Folder took %1 ms").arg(goToMs)));
    QCOMPARE(tree->SelectedItem()->Name, "Level " + std::to_string(reached));
    QCOMPARE(form->view()->folder(), tree->SelectedItem());
    QCOMPARE(form->statusPanel()->text(), CollectionView::countText(1));
    QCOMPARE(window.questions,
             reached == depth ? QStringList() : QStringList {"Quillmark|" + FolderTreeView::tooDeepText()});
    // Scrolled to its row (the column keeps the width of the pane: the name itself stands far right).
    const QRect row = tree->visualRect(tree->currentIndex());
    QVERIFY2(row.top() >= 0 && row.bottom() < tree->viewport()->height(), qPrintable(QString::number(row.top())));
    // At the deepest level the tree opens, a row shows nothing below it, even when opened.
    tree->CollapseExpandClick();
    QCOMPARE(tree->model()->rowCount(tree->currentIndex()), 0);

    // Each row of the open chain goes once: the view must not walk every open row for each removal.
    tree->setCurrentIndex(tree->model()->index(0, 0, tree->RootNode()));
    const qint64 deleteMs = cpuMsOf(form->actions()->deleteItems);
    QVERIFY2(deleteMs < BoundMs / 4, qPrintable(QStringLiteral("Delete took %1 ms").arg(deleteMs)));
    QCOMPARE(tree->model()->rowCount(tree->RootNode()), 0);
    QCOMPARE(tree->currentIndex(), tree->RootNode());
}

void TestDeepFolders::expandAllStopsAtItsFolderCount()
{
    // Folders each holding an empty one, one more than Expand All opens besides the root; the empty ones
    // open to show nothing and do not count.
    auto root = LinkItem::MakeFolder("Quillmark");
    for (int i = 0; i < FolderTreeView::ExpandAllFolders; ++i)
        addFolder(*addFolder(*root, "Folder " + std::to_string(i)), "Empty");
    FolderTreeView tree;
    tree.SetRoot(root.get());
    QVERIFY(!tree.ExpandAll());
    int open = 0;
    for (int i = 0; i < tree.model()->rowCount(tree.RootNode()); ++i)
        open += tree.isExpanded(tree.model()->index(i, 0, tree.RootNode())) ? 1 : 0;
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
    tree->SetRoot(root.get());
    QVERIFY(tree->selectFolder(bottom));
    if (teardown == 0)
        document.remove(root->Children.Get(0));
    else if (teardown == 1)
        tree->SetRoot(root.get());
    else
        tree.reset();
    QVERIFY(!tree || tree->model()->rowCount(tree->RootNode()) == 0 || teardown == 1);
    QVERIFY(!tree || tree->SelectedItem() == root.get());
}

QTEST_MAIN(TestDeepFolders)
#include "tst_deepfolders.moc"
