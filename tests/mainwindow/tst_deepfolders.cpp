// A long chain of nested folders in the main window: Expand All and Go to Folder answer quickly, the deepest
// folder can be reached and shown, and deep branches of the folder tree go away without exhausting the stack.
#include "common/SilentReporter.h"
#include "common/TreeBuilders.h"
#include "mainwindow/Confirmations.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/GoToFolderDialog.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/SDIAppForm.h"
#include "shell/Reg.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
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

// Processor time in milliseconds. The bounds are about the work the window does, which a busy shared
// machine leaves alone, while it stretches the time on the clock.
qint64 cpuMs()
{
    return static_cast<qint64>(std::clock()) * 1000 / CLOCKS_PER_SEC;
}

// "Quillmark" holding "Level 1" holding "Level 2" and so on down to "Level <depth>", which holds one link.
std::unique_ptr<LinkItem> chainOf(int depth)
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *folder = root.get();
    for (int level = 1; level <= depth; ++level)
        folder = addFolder(*folder, "Level " + std::to_string(level));
    addLink(*folder, "Bottom", "https://example.org/bottom");
    return root;
}

LinkItem *deepestOf(LinkItem *root)
{
    LinkItem *folder = root;
    while (folder->Children.HasFolder())
        folder = folder->Children.Get(0);
    return folder;
}

int expandedDepth(const QTreeWidgetItem *node)
{
    int depth = 0;
    while (node && node->isExpanded() && node->childCount() > 0) {
        node = node->child(0);
        ++depth;
    }
    return depth;
}

enum class Teardown { DeleteNode, Rebuild, NewRoot, TreeEnd };
} // namespace

class TestDeepFolders : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void windowOnAChain_data();
    void windowOnAChain();
    void treeOpensNoDeeperThanItsLimit();
    void expandAllStopsAtItsFolderCount_data();
    void expandAllStopsAtItsFolderCount();
    void deepBranchGoesWithoutRecursion_data();
    void deepBranchGoesWithoutRecursion();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    SilentReporter m_reporter;
    Confirmations::Handler m_previous;
    QStringList m_messages;
};

void TestDeepFolders::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
    TReg::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
    m_messages.clear();
    const auto record = [this](const QString &, const QString &text) { m_messages << text; };
    m_previous = Confirmations::setHandler({[](const QString &, const QString &) { return true; }, record, record});
}

void TestDeepFolders::cleanup()
{
    Confirmations::setHandler(m_previous);
    m_dir.reset();
}

void TestDeepFolders::windowOnAChain_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("reached");
    QTest::newRow("4,000 levels") << 4000 << 4000;
    QTest::newRow("10,000 levels") << 10000 << 10000;
    QTest::newRow("one level more than the tree opens") << FolderTreeView::MaxOpenDepth + 1
                                                         << FolderTreeView::MaxOpenDepth;
}

void TestDeepFolders::windowOnAChain()
{
    QFETCH(int, depth);
    QFETCH(int, reached);
    QDir().mkpath(TRepository::DataFolder());
    QVERIFY(NativeFile::saveAtomically(TRepository::DataFile(), *chainOf(depth), nullptr));
    auto form = std::make_unique<TSDIAppForm>(&m_reporter);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    FolderTreeView *tree = form->LinksTree();
    LinkItem *root = FolderTreeView::itemOf(tree->RootNode());
    LinkItem *deepest = deepestOf(root);

    // Expand All, until the window has laid the tree out and painted it.
    qint64 start = cpuMs();
    form->actions()->expandAll->trigger();
    QCoreApplication::processEvents();
    const qint64 expandMs = cpuMs() - start;
    QVERIFY2(expandMs < BoundMs, qPrintable(QStringLiteral("Expand All took %1 ms").arg(expandMs)));
    QCOMPARE(tree->SelectedNode(), tree->RootNode());
    QCOMPARE(expandedDepth(tree->RootNode()), FolderTreeView::ExpandAllLevels);
    QCOMPARE(form->statusPanel()->text(), FolderTreeView::expandAllCapText());

    // Go to Folder, to the bottom of the chain.
    QTimer::singleShot(0, this, [deepest] {
        auto *dialog = qobject_cast<TGoToFolderDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->setCurrentFolder(deepest);
        QTest::keyClick(dialog->FilterEdit(), Qt::Key_Return);
    });
    start = cpuMs();
    form->actions()->goToFolder->trigger();
    QCoreApplication::processEvents();
    const qint64 goToMs = cpuMs() - start;
    QVERIFY2(goToMs < BoundMs, qPrintable(QStringLiteral("Go to Folder took %1 ms").arg(goToMs)));
    QCOMPARE(tree->SelectedItem()->Name, "Level " + std::to_string(reached));
    QCOMPARE(form->shownFolder(), tree->SelectedItem());
    // Scrolled to its row (the column keeps the width of the pane: the name itself stands far right).
    const QRect row = tree->visualItemRect(tree->SelectedNode());
    QVERIFY2(row.top() >= 0 && row.bottom() < tree->viewport()->height(), qPrintable(QString::number(row.top())));
    QCOMPARE(form->statusPanel()->text(), LinkListPane::CountText(1));
    QCOMPARE(m_messages, reached == depth ? QStringList() : QStringList{FolderTreeView::tooDeepText()});

    // Delete the whole chain below the root while it is open.
    tree->setCurrentItem(tree->RootNode()->child(0));
    start = cpuMs();
    form->actions()->deleteItems->trigger();
    QCoreApplication::processEvents();
    const qint64 deleteMs = cpuMs() - start;
    // Each node goes once; the view must not walk every open node up to the top for each one.
    QVERIFY2(deleteMs < BoundMs / 4, qPrintable(QStringLiteral("Delete took %1 ms").arg(deleteMs)));
    QCOMPARE(tree->RootNode()->childCount(), 0);
    QCOMPARE(root->Children.Count(), 0);
    QCOMPARE(tree->SelectedNode(), tree->RootNode());
    form.reset();
}

void TestDeepFolders::treeOpensNoDeeperThanItsLimit()
{
    const auto root = chainOf(3 * FolderTreeView::MaxOpenDepth);
    FolderTreeView tree;
    tree.resize(300, 400);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    tree.SetRoot(root.get());
    QTreeWidgetItem *last = tree.revealFolder(deepestOf(root.get()));
    QVERIFY(last);
    QCOMPARE(FolderTreeView::itemOf(last)->Name, "Level " + std::to_string(FolderTreeView::MaxOpenDepth));
    QCOMPARE(last->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    // Opened all the same (the popup's Expand does that), it shows nothing below.
    tree.setCurrentItem(last);
    tree.CollapseExpandClick();
    QVERIFY(last->isExpanded());
    QCOMPARE(last->childCount(), 0);
    tree.scrollToItem(last);
    QCoreApplication::processEvents();
    QCOMPARE(expandedDepth(tree.RootNode()), FolderTreeView::MaxOpenDepth);
}

void TestDeepFolders::expandAllStopsAtItsFolderCount_data()
{
    QTest::addColumn<int>("folders");
    QTest::addColumn<bool>("whole");
    QTest::newRow("all open") << FolderTreeView::ExpandAllFolders - 1 << true;
    QTest::newRow("one too many") << FolderTreeView::ExpandAllFolders << false;
}

void TestDeepFolders::expandAllStopsAtItsFolderCount()
{
    // The root holds this many folders, each holding one empty folder: the root and every folder below it
    // open to show something, the empty ones do not count.
    QFETCH(int, folders);
    QFETCH(bool, whole);
    auto root = LinkItem::MakeFolder("Quillmark");
    for (int i = 0; i < folders; ++i)
        addFolder(*addFolder(*root, "Folder " + std::to_string(i)), "Empty");
    FolderTreeView tree;
    tree.SetRoot(root.get());
    QCOMPARE(tree.ExpandAll(), whole);
    int open = 0;
    for (int i = 0; i < tree.RootNode()->childCount(); ++i)
        open += tree.RootNode()->child(i)->isExpanded() ? 1 : 0;
    QCOMPARE(open, whole ? folders : FolderTreeView::ExpandAllFolders - 1);
}

void TestDeepFolders::deepBranchGoesWithoutRecursion_data()
{
    QTest::addColumn<Teardown>("teardown");
    QTest::newRow("deleting its top node") << Teardown::DeleteNode;
    QTest::newRow("rebuilding its parent") << Teardown::Rebuild;
    QTest::newRow("a new root") << Teardown::NewRoot;
    QTest::newRow("the tree's end") << Teardown::TreeEnd;
}

void TestDeepFolders::deepBranchGoesWithoutRecursion()
{
    // Far deeper than the tree opens, and than a stack holds with a frame a level: drops may move a found
    // node with its branch below another, so the nodes' depth has no bound of its own.
    QFETCH(Teardown, teardown);
    constexpr int Depth = 200000;
    auto root = LinkItem::MakeFolder("Quillmark");
    addFolder(*root, "Top");
    auto tree = std::make_unique<FolderTreeView>();
    tree->SetRoot(root.get());
    auto *top = new QTreeWidgetItem;
    QTreeWidgetItem *bottom = top;
    for (int level = 1; level < Depth; ++level)
        bottom = new QTreeWidgetItem(bottom);
    qDeleteAll(tree->RootNode()->takeChildren()); // the branch stands in for them
    tree->RootNode()->addChild(top);
    switch (teardown) {
    case Teardown::DeleteNode:
        tree->deleteNode(top);
        QCOMPARE(tree->RootNode()->childCount(), 0);
        break;
    case Teardown::Rebuild:
        tree->reopen(tree->RootNode());
        QCOMPARE(tree->RootNode()->childCount(), 1);
        QCOMPARE(tree->RootNode()->child(0)->text(0), QStringLiteral("Top"));
        break;
    case Teardown::NewRoot:
        tree->SetRoot(root.get());
        QCOMPARE(tree->topLevelItemCount(), 1);
        break;
    case Teardown::TreeEnd:
        tree.reset();
        break;
    }
}

QTEST_MAIN(TestDeepFolders)
#include "tst_deepfolders.moc"
