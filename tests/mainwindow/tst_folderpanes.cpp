// The folder tree, the link list and the description pane over a document and a view, without the window: showing
// a folder, renaming in place, drags between the panes, deleting whatever is shown, editing the description.
#include "common/PanesFixture.h"
#include "common/TreeBuilders.h"
#include "settings/Settings.h"
#include "widgets/HyperlinkLabel.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>

using namespace TreeBuilders;

namespace {
// The collection below folder as "Name(children...)" with the children separated by spaces.
QString outline(const LinkItem *folder)
{
    QStringList parts;
    for (const auto &child : folder->Children) {
        const QString name = QString::fromStdString(child->Name.str());
        parts << (child->isFolder() && child->Children.Count() ? name + '(' + outline(child.get()) + ')' : name);
    }
    return parts.join(QLatin1Char(' '));
}

const QString Untouched = QStringLiteral("Alpha(Inner(Deep) a1) Beta(b1) Example Other");
} // namespace

class TestFolderPanes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Settings::SetStorageFolder(m_dir.filePath(QStringLiteral("config"))); }
    void init();
    void cleanup() { m_panes.reset(); }

    void clickShowsTheFolder();
    void newFolderIsRenamedInPlace();
    void renameRules_data();
    void renameRules();
    void dragRules_data();
    void dragRules();
    void drops_data();
    void drops();
    void deleteInEveryOrder_data();
    void deleteInEveryOrder();
    void descriptionEditsTheItem();
    void urlLabelIsCut();
    void relistingAddsTheNewFolders();

private:
    // Shows the folder with this name, whose row must be fetched.
    void show(const QString &name) const { tree()->setCurrentIndex(m_panes->node(name)); }
    // Starts a drag (or selects the list's entries) as "tree:NAME" or "list:NAME,NAME".
    void startDrag(const QString &source) const;
    // Drags from source ("tree:NAME" or "list:NAMES") to target ("tree:NAME", "entry" or "free" in the list),
    // dropping there with drop; whether the target took it.
    bool dragTo(const QString &source, const QString &target, bool drop) const;
    FolderTreeView *tree() const { return m_panes->tree; }
    FolderListView *list() const { return m_panes->list; }
    CollectionView *view() const { return m_panes->view.get(); }

    QTemporaryDir m_dir;
    std::unique_ptr<PanesFixture> m_panes;
};

void TestFolderPanes::init()
{
    m_panes = std::make_unique<PanesFixture>(editingCollection());
}

void TestFolderPanes::startDrag(const QString &source) const
{
    const QString names = source.section(QLatin1Char(':'), 1);
    if (source == QLatin1String("tree:root"))
        m_panes->pressOn(tree()->rootRow());
    else if (source.startsWith(QLatin1String("tree:")))
        m_panes->pressOn(m_panes->node(names));
    else
        m_panes->selectRows(names.split(QLatin1Char(',')));
}

void TestFolderPanes::clickShowsTheFolder()
{
    MainActions *a = m_panes->actions;
    QVERIFY(!a->upOneLevel->isEnabled());
    QVERIFY(!a->deleteItems->isEnabled());
    QPersistentModelIndex beta = m_panes->node("Beta");
    LinkItem *folder = FolderTreeView::itemOf(beta);
    // Only folders with sub-folders open; their rows come when the branch opens.
    QVERIFY(!tree()->model()->hasChildren(beta));
    QVERIFY(tree()->model()->hasChildren(m_panes->node("Alpha")));
    QCOMPARE(tree()->model()->rowCount(m_panes->node("Alpha")), 0);
    // Browsing counts visits but changes nothing that needs a save.
    QSignalSpy changed(&m_panes->document, &CollectionDocument::changed);
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, m_panes->centreOf(beta));
    QCOMPARE(tree()->currentIndex(), beta);
    QCOMPARE(view()->folder(), folder);
    QCOMPARE(folder->Visits, 1);
    QVERIFY(folder->LastVisit > 0);
    QCOMPARE(m_panes->rowNames(), QStringList {"b1"});
    QCOMPARE(view()->statusText(), QStringLiteral("1 objects"));
    QCOMPARE(m_panes->description->CurrentItem(), folder);
    QVERIFY(a->upOneLevel->isEnabled());
    QVERIFY(a->deleteItems->isEnabled());
    // The status text tells the selection.
    view()->selectAll();
    QCOMPARE(view()->statusText(), QStringLiteral("1 objects selected"));
    tree()->ExpandAll();
    tree()->CollapseAll();
    QVERIFY(changed.isEmpty());
}

void TestFolderPanes::newFolderIsRenamedInPlace()
{
    // Never the root.
    m_panes->folders->rename();
    QVERIFY(!tree()->isRenaming());
    m_panes->items->newFolder();
    QPersistentModelIndex node = tree()->currentIndex();
    QCOMPARE(node.data().toString(), QStringLiteral("New Folder"));
    QCOMPARE(node.parent(), tree()->rootRow());
    QCOMPARE(m_panes->rowNames(), QStringList {});
    QVERIFY(tree()->isRenaming());
    // Escape keeps the name.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!tree()->isRenaming());
    QCOMPARE(tree()->selectedFolder()->Name, std::string("New Folder"));
}

void TestFolderPanes::renameRules_data()
{
    // What is typed and what the folder is called afterwards; a backslash is refused.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain") << "Gamma" << QStringLiteral("Gamma");
    QTest::newRow("empty") << "" << QString();
    QTest::newRow("sibling's name") << "Alpha" << QStringLiteral("Alpha");
    QTest::newRow("backslash inside") << "a\\b" << QStringLiteral("Beta");
    QTest::newRow("backslash alone") << "\\" << QStringLiteral("Beta");
}

void TestFolderPanes::renameRules()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    const bool refused = typed.contains(QLatin1Char('\\'));
    QPersistentModelIndex beta = m_panes->node("Beta");
    tree()->setCurrentIndex(beta);
    QSignalSpy refusals(tree(), &FolderTreeView::nameRefused);
    m_panes->folders->rename();
    QVERIFY(tree()->isRenaming());
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(typed);
    tree()->commitRename();
    QCOMPARE(QString::fromStdString(FolderTreeView::itemOf(beta)->Name.str()), stored);
    QCOMPARE(beta.data().toString(), stored);
    QCOMPARE(refusals.count(), refused ? 1 : 0);
}

void TestFolderPanes::dragRules_data()
{
    // "SHOWN SOURCE TARGET": the shown folder, where the drag starts ("tree:NAME" pressed there, "list:NAMES"
    // selected) and where it goes ("tree:NAME" a folder's row, "entry" an entry of the list, "free" the list's
    // free space); whether that may take it.
    QTest::addColumn<QString>("drag");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("folder into its own subtree") << "Alpha tree:Alpha tree:Deep" << false;
    QTest::newRow("folder onto itself") << "Alpha tree:Alpha tree:Alpha" << false;
    QTest::newRow("the root") << "Alpha tree:root tree:Alpha" << false;
    QTest::newRow("folder onto another") << "Alpha tree:Beta tree:Inner" << true;
    QTest::newRow("folder entry onto itself") << "Quillmark list:Alpha tree:Alpha" << false;
    QTest::newRow("folder entry below itself") << "Quillmark list:Alpha tree:Inner" << false;
    QTest::newRow("entries onto a folder") << "Quillmark list:Alpha,Example tree:Beta" << true;
    QTest::newRow("entry onto an entry") << "Quillmark list:Example entry" << false;
    QTest::newRow("entry onto free space") << "Quillmark list:Example free" << true;
    QTest::newRow("two entries onto free space") << "Quillmark list:Alpha,Beta free" << false;
    QTest::newRow("folder onto the list") << "Quillmark tree:Inner free" << true;
    QTest::newRow("ancestor of the shown folder onto the list") << "Inner tree:root free" << false;
}

// Whether a drag may land; nothing moves before the drop.
void TestFolderPanes::dragRules()
{
    QFETCH(QString, drag);
    QFETCH(bool, accepted);
    tree()->ExpandAll();
    show(drag.section(QLatin1Char(' '), 0, 0));
    QCOMPARE(dragTo(drag.section(QLatin1Char(' '), 1, 1), drag.section(QLatin1Char(' '), 2, 2), false), accepted);
    QCOMPARE(outline(m_panes->root()), Untouched);
}

bool TestFolderPanes::dragTo(const QString &source, const QString &target, bool drop) const
{
    const bool fromTree = source.startsWith(QLatin1String("tree:"));
    startDrag(source);
    if (target.startsWith(QLatin1String("tree:"))) {
        return PanesFixture::dragAndDrop(tree()->viewport(), m_panes->centreOf(m_panes->node(target.mid(5))),
                                         fromTree ? FolderTreeModel::TreeMimeType : FolderTreeModel::ListMimeType,
                                         drop);
    }
    QTreeView *details = list()->detailsView();
    const QPoint point = target == QLatin1String("entry") ? details->visualRect(list()->model()->index(1, 0)).center()
                                                          : QPoint(10, details->viewport()->height() - 5);
    return PanesFixture::dragAndDrop(details->viewport(), point,
                                     fromTree ? FolderTreeModel::TreeMimeType : LinkListModel::MimeType, drop);
}

void TestFolderPanes::drops_data()
{
    // "SOURCE TARGET" as in dragRules; the collection, the root's rows in the tree, the target's rows there (the
    // root's for the list), the shown folder and its rows afterwards.
    QTest::addColumn<QString>("drag");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("nodes");
    QTest::addColumn<QString>("inTarget");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("rows");
    QTest::newRow("folder onto a folder") << "tree:Beta tree:Alpha"
                                          << "Alpha(Beta(b1) Inner(Deep) a1) Example Other"
                                          << "Alpha"
                                          << "Beta,Inner"
                                          << "Beta"
                                          << "b1";
    QTest::newRow("entries onto the shown folder") << "list:Example,Other tree:Quillmark" << Untouched << "Alpha,Beta"
                                                   << "Alpha,Beta"
                                                   << "Quillmark"
                                                   << "Alpha,Beta,Example,Other";
    QTest::newRow("entries onto a branch not yet opened") << "list:Alpha,Example tree:Beta"
                                                          << "Beta(Alpha(Inner(Deep) a1) Example b1) Other"
                                                          << "Beta"
                                                          << "Alpha"
                                                          << "Quillmark"
                                                          << "Beta,Other";
    QTest::newRow("folder onto the list") << "tree:Inner free"
                                          << "Alpha(a1) Beta(b1) Example Inner(Deep) Other"
                                          << "Alpha,Beta,Inner"
                                          << "Alpha,Beta,Inner"
                                          << "Quillmark"
                                          << "Alpha,Beta,Inner,Example,Other";
}

void TestFolderPanes::drops()
{
    QFETCH(QString, drag);
    QFETCH(QString, after);
    QFETCH(QString, nodes);
    QFETCH(QString, inTarget);
    QFETCH(QString, shown);
    QFETCH(QString, rows);
    tree()->open(m_panes->node("Alpha"));
    QSignalSpy changed(&m_panes->document, &CollectionDocument::changed);
    const QString target = drag.section(QLatin1Char(' '), 1, 1);
    QVERIFY(dragTo(drag.section(QLatin1Char(' '), 0, 0), target, true));
    QCOMPARE(outline(m_panes->root()), after);
    QVERIFY(!changed.isEmpty()); // even a move back into the same folder is a change to save
    QCOMPARE(m_panes->nodeTexts(tree()->rootRow()).join(QLatin1Char(',')), nodes);
    const QString targetName = target.startsWith(QLatin1String("tree:")) ? target.mid(5) : QStringLiteral("Quillmark");
    QCOMPARE(m_panes->nodeTexts(m_panes->node(targetName)).join(QLatin1Char(',')), inTarget);
    QCOMPARE(QString::fromStdString(view()->folder()->Name.str()), shown);
    QCOMPARE(tree()->selectedFolder(), view()->folder());
    QCOMPARE(m_panes->rowNames().join(QLatin1Char(',')), rows);
    QVERIFY(!tree()->isButtonDown());
}

void TestFolderPanes::deleteInEveryOrder_data()
{
    // Each step: "list:NAME" deletes that entry of the root with the list active, "tree:NAME" shows that folder
    // and deletes it with the tree active, "show:NAME" shows a folder, "pane:NAME" shows a folder, selects its
    // first entry and deletes with the description pane focused after the tree: the shown folder goes.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("left");
    QTest::newRow("folder entry, then link entry") << QStringList {"list:Alpha", "list:Example"} << "Beta(b1) Other";
    QTest::newRow("shown folder, then its sibling") << QStringList {"tree:Alpha", "tree:Beta"} << "Example Other";
    QTest::newRow("entries of a folder, then the folder")
        << QStringList {"show:Beta", "list:b1", "tree:Beta"} << "Alpha(Inner(Deep) a1) Example Other";
    QTest::newRow("deep folder, then its ancestor from the list")
        << QStringList {"show:Alpha", "show:Inner", "tree:Inner", "tree:Alpha", "list:Other"} << "Beta(b1) Example";
    QTest::newRow("open subtree from the list") << QStringList {"show:Deep", "list:Alpha"} << "Beta(b1) Example Other";
    QTest::newRow("description focused") << QStringList {"pane:Beta"} << "Alpha(Inner(Deep) a1) Example Other";
}

void TestFolderPanes::deleteInEveryOrder()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, left);
    for (const QString &step : steps) {
        const QString name = step.section(QLatin1Char(':'), 1);
        if (step.startsWith(QLatin1String("show:"))) {
            tree()->ExpandAll();
            show(name);
            continue;
        }
        if (step.startsWith(QLatin1String("list:"))) {
            tree()->setCurrentIndex(tree()->rootRow());
            m_panes->selectRows({name});
            list()->currentView()->setFocus();
            QVERIFY(view()->listActive());
        } else {
            show(name);
            tree()->setFocus();
            if (step.startsWith(QLatin1String("pane:"))) {
                m_panes->selectRows({m_panes->rowNames().first()});
                m_panes->description->descriptionEdit()->setFocus();
            }
            QVERIFY(!view()->listActive());
        }
        m_panes->items->deleteItems();
        QVERIFY(!m_panes->node(name).isValid());
        // A neighbour is shown, and whatever is shown must still be alive: touch every row and the pane's item.
        QVERIFY(view()->folder());
        QCOMPARE(tree()->selectedFolder(), view()->folder());
        QCOMPARE(list()->model()->folder(), view()->folder());
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            QVERIFY(!list()->model()->index(row, 0).data().toString().isNull());
        if (const LinkItem *current = m_panes->description->CurrentItem())
            QVERIFY(current->Name.size() < 1000);
        QCOMPARE(view()->statusText(), CollectionView::countText(list()->model()->rowCount()));
    }
    QCOMPARE(outline(m_panes->root()), left);
    // No row is left of a folder that went with its ancestor.
    QCOMPARE(m_panes->node("Deep").isValid(), left.contains(QLatin1String("Deep")) && m_panes->node("Inner").isValid());
    QCOMPARE(m_panes->boxes.questions.size(), steps.filter(QRegularExpression("^(list|tree|pane):")).size());
}

void TestFolderPanes::descriptionEditsTheItem()
{
    DescriptionPane *pane = m_panes->description;
    LinkItem *root = m_panes->root();
    QSignalSpy changed(&m_panes->document, &CollectionDocument::changed);
    pane->descriptionEdit()->setPlainText(QStringLiteral("about my links"));
    QCOMPARE(root->Description, std::string("about my links"));
    QCOMPARE(changed.count(), 1);
    m_panes->selectRows({"Example"});
    QCOMPARE(pane->CurrentItem()->Name, std::string("Example"));
    pane->descriptionEdit()->setPlainText(QStringLiteral("line\nline"));
    QCOMPARE(root->Children.Get(2)->Description, std::string("line\nline"));
    // Two selected: the pane shows nothing; back to one: it shows that one.
    m_panes->selectRows({"Example", "Other"});
    QCOMPARE(pane->CurrentItem(), nullptr);
    QVERIFY(!pane->descriptionEdit()->isEnabled());
    m_panes->selectRows({"Other"});
    QCOMPARE(pane->CurrentItem()->Name, std::string("Other"));
    // Del edits the text while the description has the focus.
    QAction *del = m_panes->actions->deleteItems;
    QCOMPARE(del->shortcut(), QKeySequence(Qt::Key_Delete));
    pane->descriptionEdit()->setFocus();
    QTRY_VERIFY(del->shortcut().isEmpty());
    list()->currentView()->setFocus();
    QTRY_COMPARE(del->shortcut(), QKeySequence(Qt::Key_Delete));
}

void TestFolderPanes::urlLabelIsCut()
{
    LinkItem *example = m_panes->root()->Children.Get(2);
    example->Url = "http://example.com/" + std::string(400, 'x');
    list()->model()->refreshItem(example);
    m_panes->selectRows({"Example"});
    DescriptionPane *pane = m_panes->description;
    QVERIFY(pane->urlLabel()->isVisible());
    for (const int width : {640, 900, 500}) {
        m_panes->window->resize(width, 480);
        QTest::qWait(20);
        const int right = pane->urlLabel()->geometry().right() + 1;
        QCOMPARE(right, pane->width() - 16);
    }
}

void TestFolderPanes::relistingAddsTheNewFolders()
{
    LinkItem *root = m_panes->root();
    const int before = root->Visits;
    addFolder(*root, "Zeta");
    view()->relistFolder();
    QCOMPARE(root->Visits, before + 2);
    QCOMPARE(m_panes->nodeTexts(tree()->rootRow()), (QStringList {"Alpha", "Beta", "Zeta"}));
    QCOMPARE(list()->model()->rowCount(), 5);
}

QTEST_MAIN(TestFolderPanes)
#include "tst_folderpanes.moc"
