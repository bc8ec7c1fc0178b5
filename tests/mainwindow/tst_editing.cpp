// The browse-and-edit commands of the main window, driven through the real widgets.
#include "common/FilePrompts.h"
#include "common/RecordedBoxes.h"
#include "common/SilentReporter.h"
#include "common/StandInOpener.h"
#include "common/TransferEnd.h"
#include "common/TreeBuilders.h"
#include "common/WindowFixture.h"
#include "mainwindow/AutoSave.h"
#include "mainwindow/CollectionView.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderCommands.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/ItemCommands.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/TransferCommands.h"
#include "mainwindow/TreeMenu.h"
#include "platform/ShellOpen.h"
#include "settings/Settings.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"
#include "transfer/Prompts.h"
#include "widgets/FolderHeader.h"
#include "widgets/HyperlinkLabel.h"
#include "widgets/ShellErrorReport.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace TreeBuilders;

namespace {
// Root "Quillmark": folders "Alpha" (holding "Inner" (holding "Deep") and link "a1") and "Beta" (only links),
// links "Example" and "Other".
std::unique_ptr<LinkItem> collection()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *alpha = addFolder(*root, "Alpha");
    LinkItem *inner = addFolder(*alpha, "Inner");
    addFolder(*inner, "Deep");
    addLink(*alpha, "a1", "http://a1");
    LinkItem *beta = addFolder(*root, "Beta");
    addLink(*beta, "b1", "http://b1");
    addLink(*beta, "b2", "http://b2");
    addLink(*root, "Example", "http://example.com");
    addLink(*root, "Other", "http://other.example");
    return root;
}

QStringList childTexts(const QModelIndex &node)
{
    QStringList texts;
    for (int i = 0; i < node.model()->rowCount(node); ++i)
        texts << node.model()->index(i, 0, node).data().toString();
    return texts;
}

QStringList childNames(const LinkItem *folder)
{
    QStringList names;
    for (const auto &child : folder->Children)
        names << QString::fromStdString(child->Name.str());
    return names;
}

// Delivers a drag that enters, moves over and drops at a point of a widget, as a real drag does.
bool dragAndDrop(QWidget *target, const QPoint &point, const QString &format, bool drop = true)
{
    QMimeData data;
    data.setData(format, QByteArray());
    QDragEnterEvent enter(point, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(point, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    if (!move.isAccepted() || !drop)
        return move.isAccepted();
    QDropEvent dropEvent(QPointF(point), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropEvent);
    return dropEvent.isAccepted();
}

QPoint centreOf(FolderTreeView *tree, const QModelIndex &node)
{
    tree->scrollTo(node);
    return tree->visualRect(node).center();
}
} // namespace

class TestEditing : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void lazyTreeShowsFoldersOnly();
    void selectingStampsAndCountsTheFolder();
    void rootCommandsAreDisabled();
    void newFolderNaming_data();
    void newFolderNaming();
    void newFolderIsShownAndRenamed();
    void renameRules_data();
    void renameRules();
    void folderDropOnOwnSubtreeRefused();
    void folderDropOnAnotherFolder();
    void listEntriesDroppedOnShownFolder();
    void listFolderDroppedOnUnexpandedBranch();
    void listDropRules();
    void treeFolderDroppedOnList();
    void deleteFromListRemovesSubtreeAndNode();
    void deleteWithDescriptionFocusedTargetsShownFolder();
    void deleteAnswerNoKeepsEverything();
    void openingLinkWithoutHandler();
    void openingAsksBeforeRunningAProgram_data();
    void openingAsksBeforeRunningAProgram();
    void openingFolderEntryEntersIt();
    void descriptionEditsTheItem();
    void delShortcutMovesWhileEditing();
    void selectionCommands();
    void refreshFolderViewAddsTwoVisits();
    void newUrlAddsALink();
    void urlLabelIsCut();
    void exportThenImportThroughTheMenus();
    void otherFormatsThroughTheMenus_data();
    void otherFormatsThroughTheMenus();
    void deleteInEveryOrder_data();
    void deleteInEveryOrder();
    void changesAreMarkedForSaving_data();
    void changesAreMarkedForSaving();

private:
    MainWindow *form() const { return m_window.form(); }
    FolderTreeView *tree() const { return m_window.tree(); }
    FolderListView *list() const { return m_window.list(); }

    WindowFixture m_window;
};

void TestEditing::init()
{
    m_window.open(*collection());
}

void TestEditing::cleanup()
{
    m_window.close();
}

void TestEditing::lazyTreeShowsFoldersOnly()
{
    QPersistentModelIndex root = tree()->RootNode();
    QCOMPARE(childTexts(root), (QStringList {"Alpha", "Beta"}));
    QPersistentModelIndex alpha = m_window.node("Alpha");
    QPersistentModelIndex beta = m_window.node("Beta");
    // Only folders with sub-folders get an expand mark; rows below come when the branch opens.
    QVERIFY(tree()->model()->hasChildren(alpha));
    QVERIFY(!tree()->model()->hasChildren(beta));
    QCOMPARE(tree()->model()->rowCount(alpha), 0);
    tree()->open(alpha);
    QCOMPARE(childTexts(alpha), QStringList {"Inner"});
}

void TestEditing::selectingStampsAndCountsTheFolder()
{
    QPersistentModelIndex beta = m_window.node("Beta");
    LinkItem *folder = FolderTreeView::itemOf(beta);
    QCOMPARE(folder->Visits, 0);
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, centreOf(tree(), beta));
    QCOMPARE(tree()->currentIndex(), beta);
    QCOMPARE(folder->Visits, 1);
    QVERIFY(folder->LastVisit > 0);
    QCOMPARE(list()->model()->rowCount(), 2);
    QCOMPARE(form()->FolderPane()->caption(), QStringLiteral("Beta"));
    QCOMPARE(form()->FolderPane()->imageType(), FolderHeader::itFolder);
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("2 objects"));
    QCOMPARE(form()->descriptionPane()->CurrentItem(), folder);
}

void TestEditing::rootCommandsAreDisabled()
{
    MainActions *a = form()->actions();
    QVERIFY(!a->upOneLevel->isEnabled());
    QVERIFY(!a->deleteItems->isEnabled());
    QVERIFY(!form()->treeMenu()->renameAction()->isEnabled());
    QVERIFY(!tree()->startRename(tree()->RootItem()));
    tree()->setCurrentIndex(m_window.node("Beta"));
    QVERIFY(a->upOneLevel->isEnabled());
    QVERIFY(a->deleteItems->isEnabled());
    a->upOneLevel->trigger();
    QCOMPARE(tree()->currentIndex(), tree()->RootNode());
}

void TestEditing::newFolderNaming_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("free") << QStringList {} << "New Folder";
    QTest::newRow("taken once") << QStringList {"New Folder"} << "New Folder (2)";
    QTest::newRow("first number taken") << QStringList {"New Folder", "New Folder (2)"} << "New Folder (3)";
    QTest::newRow("only the number") << QStringList {"New Folder (2)"} << "New Folder";
    QTest::newRow("gap") << QStringList {"New Folder", "New Folder (3)"} << "New Folder (2)";
    QTest::newRow("lower case differs") << QStringList {"new folder"} << "New Folder";
    QTest::newRow("a link counts") << QStringList {"link:New Folder"} << "New Folder (2)";
}

void TestEditing::newFolderNaming()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    LinkItem *beta = FolderTreeView::itemOf(m_window.node("Beta"));
    for (const QString &name : existing) {
        if (name.startsWith(QLatin1String("link:")))
            addLink(*beta, name.mid(5).toStdString(), "http://x");
        else
            addFolder(*beta, name.toStdString());
    }
    tree()->setCurrentIndex(m_window.node("Beta"));
    form()->itemCommands()->newFolder();
    tree()->cancelRename();
    QCOMPARE(tree()->currentIndex().data().toString(), expected);
    QCOMPARE(QString::fromStdString(tree()->SelectedItem()->Name.str()), expected);
    QCOMPARE(tree()->SelectedItem()->Parent, beta);
}

void TestEditing::newFolderIsShownAndRenamed()
{
    form()->actions()->newFolder->trigger();
    QPersistentModelIndex node = tree()->currentIndex();
    QCOMPARE(node.data().toString(), QStringLiteral("New Folder"));
    QCOMPARE(node.parent(), tree()->RootNode());
    QCOMPARE(list()->model()->rowCount(), 0);
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("0 objects"));
    QVERIFY(tree()->isRenaming());
    // Escape keeps the name.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!tree()->isRenaming());
    QCOMPARE(tree()->SelectedItem()->Name, std::string("New Folder"));
}

void TestEditing::renameRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("refused");
    QTest::newRow("plain") << "Gamma"
                           << "Gamma" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
    QTest::newRow("sibling's name") << "Alpha"
                                    << "Alpha" << false;
    QTest::newRow("backslash inside") << "a\\b"
                                      << "Beta" << true;
    QTest::newRow("backslash alone") << "\\"
                                     << "Beta" << true;
}

void TestEditing::renameRules()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(bool, refused);
    QPersistentModelIndex beta = m_window.node("Beta");
    tree()->setCurrentIndex(beta);
    form()->treeMenu()->renameAction()->trigger();
    QVERIFY(tree()->isRenaming());
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(typed);
    tree()->commitRename();
    QCOMPARE(QString::fromStdString(FolderTreeView::itemOf(beta)->Name.str()), stored);
    QCOMPARE(beta.data().toString(), stored);
    QCOMPARE(m_window.errors.size(), refused ? 1 : 0);
    if (refused)
        QCOMPARE(m_window.errors.first(),
                 QStringLiteral("ERROR|An item name cannot contain any of the following characters: \\"));
    else
        QCOMPARE(form()->FolderPane()->caption(), stored);
}

void TestEditing::folderDropOnOwnSubtreeRefused()
{
    QPersistentModelIndex alpha = m_window.node("Alpha");
    tree()->ExpandAll();
    QPersistentModelIndex deep = m_window.node("Deep");
    QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, centreOf(tree(), alpha));
    QCOMPARE(tree()->DragSource(), FolderTreeView::itemOf(alpha));
    QVERIFY(!dragAndDrop(tree()->viewport(), centreOf(tree(), deep), FolderTreeModel::TreeMimeType, false));
    QVERIFY(!dragAndDrop(tree()->viewport(), centreOf(tree(), alpha), FolderTreeModel::TreeMimeType, false));
    // The root can never be dragged anywhere.
    QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, centreOf(tree(), tree()->RootNode()));
    QVERIFY(!dragAndDrop(tree()->viewport(), centreOf(tree(), alpha), FolderTreeModel::TreeMimeType, false));
    QCOMPARE(FolderTreeView::itemOf(alpha)->Parent, FolderTreeView::itemOf(tree()->RootNode()));
}

void TestEditing::folderDropOnAnotherFolder()
{
    QPersistentModelIndex alpha = m_window.node("Alpha");
    QPersistentModelIndex beta = m_window.node("Beta");
    LinkItem *betaFolder = FolderTreeView::itemOf(beta);
    QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, centreOf(tree(), beta));
    QVERIFY(dragAndDrop(tree()->viewport(), centreOf(tree(), alpha), FolderTreeModel::TreeMimeType));
    // Beta now lives in Alpha, in the collection and in the tree, and is the shown folder.
    QCOMPARE(betaFolder->Parent, FolderTreeView::itemOf(alpha));
    QCOMPARE(tree()->SelectedItem(), betaFolder);
    QCOMPARE(tree()->currentIndex().parent().data().toString(), QStringLiteral("Alpha"));
    QCOMPARE(childTexts(tree()->RootNode()), QStringList {"Alpha"});
    QCOMPARE(list()->model()->rowCount(), 2);
    QVERIFY(!tree()->TreeButtonDown());
}

void TestEditing::listEntriesDroppedOnShownFolder()
{
    m_window.selectRows({"Example", "Other"});
    QVERIFY(dragAndDrop(tree()->viewport(), centreOf(tree(), tree()->RootNode()), FolderTreeModel::ListMimeType));
    // They leave the list and come back at once, since the drop relists the shown folder.
    QCOMPARE(list()->model()->rowCount(), 4);
    QCOMPARE(form()->repository()->Root()->Children.Count(), 4);
}

void TestEditing::listFolderDroppedOnUnexpandedBranch()
{
    LinkItem *root = form()->repository()->Root();
    LinkItem *alpha = root->Children.Get(0);
    QPersistentModelIndex betaNode = m_window.node("Beta");
    QCOMPARE(tree()->model()->rowCount(betaNode), 0);
    m_window.selectRows({"Alpha", "Example"});
    QVERIFY(dragAndDrop(tree()->viewport(), centreOf(tree(), betaNode), FolderTreeModel::ListMimeType));
    LinkItem *beta = FolderTreeView::itemOf(betaNode);
    QCOMPARE(alpha->Parent, beta);
    QCOMPARE(childNames(beta), (QStringList {"Alpha", "Example", "b1", "b2"}));
    QCOMPARE(childTexts(betaNode), QStringList {"Alpha"});
    QCOMPARE(childTexts(tree()->RootNode()), QStringList {"Beta"});
    QCOMPARE(list()->model()->rowCount(), 2); // Beta and Other remain in the root
}

void TestEditing::listDropRules()
{
    QPersistentModelIndex alphaNode = m_window.node("Alpha");
    tree()->open(alphaNode);
    // A folder entry cannot go into itself or below itself.
    m_window.selectRows({"Alpha"});
    QVERIFY(!dragAndDrop(tree()->viewport(), centreOf(tree(), alphaNode), FolderTreeModel::ListMimeType, false));
    QVERIFY(!dragAndDrop(tree()->viewport(), centreOf(tree(), m_window.node("Inner")), FolderTreeModel::ListMimeType,
                         false));
    // Entries of the list are never dropped on other entries of the list.
    QTreeView *details = list()->detailsView();
    const QPoint onEntry = details->visualRect(list()->model()->index(1, 0)).center();
    QVERIFY(!dragAndDrop(details->viewport(), onEntry, LinkListModel::MimeType, false));
    const QPoint below(10, details->viewport()->height() - 5);
    QVERIFY(dragAndDrop(details->viewport(), below, LinkListModel::MimeType, false));
    m_window.selectRows({"Alpha", "Beta"});
    QVERIFY(!dragAndDrop(details->viewport(), below, LinkListModel::MimeType, false));
}

void TestEditing::treeFolderDroppedOnList()
{
    QPersistentModelIndex alphaNode = m_window.node("Alpha");
    tree()->open(alphaNode);
    QPersistentModelIndex inner = m_window.node("Inner");
    LinkItem *innerFolder = FolderTreeView::itemOf(inner);
    QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, centreOf(tree(), inner));
    QTreeView *details = list()->detailsView();
    QVERIFY(dragAndDrop(details->viewport(), QPoint(10, 10), FolderTreeModel::TreeMimeType));
    QCOMPARE(innerFolder->Parent, form()->repository()->Root());
    QCOMPARE(childTexts(tree()->RootNode()), (QStringList {"Alpha", "Beta", "Inner"}));
    QCOMPARE(list()->model()->rowCount(), 5);
    // Dropping the shown folder's own ancestor there is refused.
    tree()->setCurrentIndex(m_window.node("Inner"));
    QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, centreOf(tree(), tree()->RootNode()));
    QVERIFY(!dragAndDrop(details->viewport(), QPoint(10, 10), FolderTreeModel::TreeMimeType, false));
}

void TestEditing::deleteFromListRemovesSubtreeAndNode()
{
    tree()->ExpandAll();
    QVERIFY(m_window.node("Deep").isValid());
    m_window.selectRows({"Alpha", "Example"});
    list()->currentView()->setFocus();
    QVERIFY(form()->view()->listActive());
    form()->actions()->deleteItems->trigger();
    QCOMPARE(m_window.questions,
             QStringList {"Confirm Multiple Objects Delete|Are you sure you want to delete these 2 objects?"});
    QCOMPARE(childNames(form()->repository()->Root()), (QStringList {"Beta", "Other"}));
    QVERIFY(!m_window.node("Alpha").isValid());
    QVERIFY(!m_window.node("Deep").isValid());
    QCOMPARE(list()->model()->rowCount(), 2);
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("2 objects"));

    // One entry still asks in the plural.
    m_window.selectRows({"Other"});
    form()->actions()->deleteItems->trigger();
    QCOMPARE(m_window.questions.last(),
             QStringLiteral("Confirm Multiple Objects Delete|Are you sure you want to delete these 1 objects?"));
}

void TestEditing::deleteWithDescriptionFocusedTargetsShownFolder()
{
    tree()->setCurrentIndex(m_window.node("Beta"));
    m_window.selectRows({"b1"});
    form()->descriptionPane()->descriptionEdit()->setFocus();
    QVERIFY(!form()->view()->listActive());
    form()->actions()->deleteButton->trigger();
    QCOMPARE(m_window.questions, QStringList {"Confirm Folder Delete|Are you sure you want to delete 'Beta'?"});
    QCOMPARE(childNames(form()->repository()->Root()), (QStringList {"Alpha", "Example", "Other"}));
    QVERIFY(!m_window.node("Beta").isValid());
    QVERIFY(tree()->SelectedItem()); // a neighbour is shown
    QCOMPARE(list()->model()->folder(), tree()->SelectedItem());
}

void TestEditing::deleteAnswerNoKeepsEverything()
{
    m_window.answer = false;
    tree()->setCurrentIndex(m_window.node("Alpha"));
    tree()->setFocus();
    form()->actions()->deleteItems->trigger();
    QCOMPARE(m_window.questions.size(), 1);
    QCOMPARE(form()->repository()->Root()->Children.Count(), 4);
    QVERIFY(m_window.node("Alpha").isValid());
}

void TestEditing::openingLinkWithoutHandler()
{
    RecordedBoxes boxes;
    // No program takes the link.
    const auto launcher = platform::setShellLauncher([](const QString &, const QStringList &) { return false; });
    m_window.selectRows({"Example"});
    LinkItem *link = list()->selectedItems().front();
    list()->currentView()->setFocus();
    form()->itemCommands()->openSelected();
    platform::setShellLauncher(launcher);
    QCOMPARE(link->Visits, 1);
    QVERIFY(link->LastVisit > 0);
    QCOMPARE(boxes.warnings.size(), 1);
    QCOMPARE(list()->model()->index(list()->model()->rowOf(link), 2).data().toString(), QStringLiteral("1"));
}

void TestEditing::openingAsksBeforeRunningAProgram_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("script");
    QTest::addColumn<bool>("answer");

    for (const char *way : {"URL label", "Enter"}) {
        QTest::addRow("%s, script, refused", way) << way << true << false;
        QTest::addRow("%s, script, allowed", way) << way << true << true;
        QTest::addRow("%s, web page", way) << way << false << false;
    }
}

// Whichever way a link is opened, a local script (not even executable) runs only after the user said yes; a "no"
// launches nothing and counts no visit.
void TestEditing::openingAsksBeforeRunningAProgram()
{
    QFETCH(QString, way);
    QFETCH(bool, script);
    QFETCH(bool, answer);

    StandInOpener opener;
    const QString target
        = script ? m_window.dir()->filePath(QStringLiteral("update.sh")) : QStringLiteral("http://example.com");
    if (script) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n") > 0);
    }
    LinkItem *link = form()->repository()->Root()->Children.Get(2);
    QCOMPARE(link->Name, std::string("Example"));
    link->Url = target.toStdString();
    m_window.answer = answer;
    m_window.selectRows({"Example"});
    list()->currentView()->setFocus();
    if (way == QLatin1String("URL label")) {
        HyperlinkLabel *label = form()->descriptionPane()->URLLabel();
        QVERIFY(label->isVisible());
        QCOMPARE(label->link(), target);
        QTest::mousePress(label, Qt::LeftButton);
    } else {
        QTest::keyClick(list()->currentView(), Qt::Key_Return);
    }

    const QStringList asked {
        QStringLiteral("Quillmark|\"%1\" is a program on this computer, not a web page. Run it?").arg(target)};
    QCOMPARE(m_window.questions, script ? asked : QStringList());
    const bool opened = !script || answer;
    QCOMPARE(opener.opened, opened ? QStringList {target} : QStringList());
    QCOMPARE(link->Visits, opened ? 1 : 0);
    QCOMPARE(link->LastVisit > 0, opened);
}

void TestEditing::openingFolderEntryEntersIt()
{
    m_window.selectRows({"Beta"});
    form()->itemCommands()->openSelected();
    QCOMPARE(tree()->currentIndex().data().toString(), QStringLiteral("Beta"));
    QCOMPARE(list()->model()->rowCount(), 2);
    QVERIFY(tree()->SelectedItem()->LastVisit > 0);
    QCOMPARE(tree()->SelectedItem()->Visits, 1);
}

void TestEditing::descriptionEditsTheItem()
{
    LinkItem *root = form()->repository()->Root();
    form()->descriptionPane()->descriptionEdit()->setPlainText(QStringLiteral("about my links"));
    QCOMPARE(root->Description, std::string("about my links"));
    m_window.selectRows({"Example"});
    QCOMPARE(form()->descriptionPane()->CurrentItem()->Name, std::string("Example"));
    form()->descriptionPane()->descriptionEdit()->setPlainText(QStringLiteral("line\nline"));
    QCOMPARE(root->Children.Get(2)->Description, std::string("line\nline"));
    // Two selected: the pane shows nothing; back to one: it shows that one.
    m_window.selectRows({"Example", "Other"});
    QCOMPARE(form()->descriptionPane()->CurrentItem(), nullptr);
    QVERIFY(!form()->descriptionPane()->descriptionEdit()->isEnabled());
    m_window.selectRows({"Other"});
    QCOMPARE(form()->descriptionPane()->CurrentItem()->Name, std::string("Other"));
}

void TestEditing::delShortcutMovesWhileEditing()
{
    QAction *del = form()->actions()->deleteItems;
    QCOMPARE(del->shortcut(), QKeySequence(Qt::Key_Delete));
    form()->descriptionPane()->descriptionEdit()->setFocus();
    QTRY_VERIFY(del->shortcut().isEmpty());
    list()->currentView()->setFocus();
    QTRY_COMPARE(del->shortcut(), QKeySequence(Qt::Key_Delete));
}

void TestEditing::selectionCommands()
{
    MainActions *a = form()->actions();
    a->selectAll->trigger();
    QCOMPARE(list()->selectedCount(), 4);
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("4 objects selected"));
    m_window.selectRows({"Alpha"});
    a->invertSelection->trigger();
    QCOMPARE(list()->selectedCount(), 3);
    a->deselectAll->trigger();
    QCOMPARE(list()->selectedCount(), 0);
    QCOMPARE(form()->statusPanel()->text(), QStringLiteral("4 objects"));
}

void TestEditing::refreshFolderViewAddsTwoVisits()
{
    LinkItem *root = form()->repository()->Root();
    const int before = root->Visits;
    addFolder(*root, "Zeta");
    form()->view()->relistFolder();
    QCOMPARE(root->Visits, before + 2);
    QCOMPARE(childTexts(tree()->RootNode()), (QStringList {"Alpha", "Beta", "Zeta"}));
    QCOMPARE(list()->model()->rowCount(), 5);
}

void TestEditing::newUrlAddsALink()
{
    QTimer::singleShot(0, this, [] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        const auto fields = dialog->findChildren<QLineEdit *>();
        for (QLineEdit *field : fields) {
            if (field->objectName() == QLatin1String("ItemName"))
                field->setText(QStringLiteral("Added"));
            else if (field->objectName() == QLatin1String("ItemURL"))
                field->setText(QStringLiteral("http://added.example"));
        }
        QMetaObject::invokeMethod(dialog, "accept");
    });
    LinkItem *root = form()->repository()->Root();
    const int visits = root->Visits;
    form()->actions()->newUrl->trigger();
    QCOMPARE(root->Children.Count(), 5);
    QCOMPARE(root->Children.Get(0)->Name, std::string("Added"));
    QCOMPARE(root->Children.Get(0)->Url, std::string("http://added.example"));
    QCOMPARE(root->Visits, visits + 2);
    QCOMPARE(list()->model()->rowCount(), 5);
}

void TestEditing::urlLabelIsCut()
{
    LinkItem *example = form()->repository()->Root()->Children.Get(2);
    example->Url = "http://example.com/" + std::string(400, 'x');
    list()->model()->refreshItem(example);
    m_window.selectRows({"Example"});
    DescriptionPane *pane = form()->descriptionPane();
    QVERIFY(pane->URLLabel()->isVisible());
    for (const int width : {640, 900, 500}) {
        form()->resize(width, 480);
        QTest::qWait(20);
        const int right = pane->URLLabel()->geometry().right() + 1;
        QCOMPARE(right, pane->width() - 16);
    }
}

void TestEditing::exportThenImportThroughTheMenus()
{
    FilePrompts prompts(m_window.dir()->filePath(QStringLiteral("beta.qmf")));
    form()->transferCommands()->setPrompts(&prompts);
    tree()->setCurrentIndex(m_window.node("Beta"));
    MainActions *a = form()->actions();
    QVERIFY(a->exportAction(BookmarkFormat::Native)->isEnabled());
    a->exportAction(BookmarkFormat::Native)->trigger();
    QVERIFY(waitForTransferEnd(form()->transferCommands()));
    QVERIFY(QFile::exists(m_window.dir()->filePath(QStringLiteral("beta.qmf"))));

    // Imported into Alpha: Alpha keeps its own name and gains Beta's links, and is relisted.
    tree()->setCurrentIndex(m_window.node("Alpha"));
    LinkItem *alpha = tree()->SelectedItem();
    const int visits = alpha->Visits;
    a->importAction(BookmarkFormat::Native)->trigger();
    QVERIFY(waitForTransferEnd(form()->transferCommands()));
    form()->transferCommands()->setPrompts(nullptr);
    QCOMPARE(alpha->Name, std::string("Alpha"));
    QCOMPARE(childNames(alpha), (QStringList {"Inner", "a1", "b1", "b2"}));
    QCOMPARE(alpha->Visits, visits + 2);
    QCOMPARE(list()->model()->rowCount(), 4);
    QVERIFY(prompts.noneShown());
}

void TestEditing::otherFormatsThroughTheMenus_data()
{
    QTest::addColumn<QString>("exportEntry");
    QTest::addColumn<QString>("importEntry");
    QTest::addColumn<QString>("file");
    QTest::newRow("browser HTML") << "exportMozilla"
                                  << "importMozilla"
                                  << "b.html";
    QTest::newRow("Opera hotlist") << "exportOpera"
                                   << "importOpera"
                                   << "b.adr";
    QTest::newRow("XBEL") << "exportXbel"
                          << "importXbel"
                          << "b.xbel";
}

void TestEditing::otherFormatsThroughTheMenus()
{
    QFETCH(QString, exportEntry);
    QFETCH(QString, importEntry);
    QFETCH(QString, file);
    FilePrompts prompts(m_window.dir()->filePath(file));
    form()->transferCommands()->setPrompts(&prompts);
    MainActions *a = form()->actions();
    const auto entry = [a](const QString &name) {
        const QHash<QString, QAction *> entries {{"exportMozilla", a->exportAction(BookmarkFormat::BrowserHtml)},
                                                 {"importMozilla", a->importAction(BookmarkFormat::BrowserHtml)},
                                                 {"exportOpera", a->exportAction(BookmarkFormat::OperaHotlist)},
                                                 {"importOpera", a->importAction(BookmarkFormat::OperaHotlist)},
                                                 {"exportXbel", a->exportAction(BookmarkFormat::Xbel)},
                                                 {"importXbel", a->importAction(BookmarkFormat::Xbel)}};
        return entries.value(name);
    };
    tree()->setCurrentIndex(m_window.node("Beta"));
    QVERIFY(entry(exportEntry)->isEnabled());
    entry(exportEntry)->trigger();
    QVERIFY(waitForTransferEnd(form()->transferCommands()));
    QVERIFY(QFile::exists(m_window.dir()->filePath(file)));

    tree()->setCurrentIndex(m_window.node("Alpha"));
    LinkItem *alpha = tree()->SelectedItem();
    entry(importEntry)->trigger();
    QVERIFY(waitForTransferEnd(form()->transferCommands()));
    form()->transferCommands()->setPrompts(nullptr);
    QCOMPARE(alpha->Name, std::string("Alpha"));
    QVERIFY(childNames(alpha).contains(QStringLiteral("b1")));
    QVERIFY(childNames(alpha).contains(QStringLiteral("b2")));
    QCOMPARE(list()->model()->folder(), alpha);
    QVERIFY(prompts.noneShown());
    QVERIFY(form()->statusPanel()->text().contains(QStringLiteral("imported")));
}

void TestEditing::deleteInEveryOrder_data()
{
    // Each step: "list:NAME" deletes that entry of the shown folder with the list focused,
    // "tree:NAME" shows that folder and deletes it with the tree focused, "show:NAME" shows a folder.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("folder entry, then link entry")
        << QStringList {"list:Alpha", "list:Example"} << QStringList {"Beta", "Other"};
    QTest::newRow("shown folder, then its sibling")
        << QStringList {"tree:Alpha", "tree:Beta"} << QStringList {"Example", "Other"};
    QTest::newRow("entries of a folder, then the folder")
        << QStringList {"show:Beta", "list:b1", "tree:Beta"} << QStringList {"Alpha", "Example", "Other"};
    QTest::newRow("deep folder, then its ancestor from the list")
        << QStringList {"show:Alpha", "show:Inner", "tree:Inner", "tree:Alpha", "list:Other"}
        << QStringList {"Beta", "Example"};
}

void TestEditing::deleteInEveryOrder()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, left);
    for (const QString &step : steps) {
        const QString name = step.section(QLatin1Char(':'), 1);
        if (step.startsWith(QLatin1String("show:"))) {
            tree()->open(tree()->currentIndex());
            tree()->setCurrentIndex(m_window.node(name));
        } else if (step.startsWith(QLatin1String("tree:"))) {
            tree()->setCurrentIndex(m_window.node(name));
            tree()->setFocus();
            form()->actions()->deleteItems->trigger();
        } else {
            tree()->setCurrentIndex(tree()->RootNode());
            m_window.selectRows({name});
            list()->currentView()->setFocus();
            form()->actions()->deleteItems->trigger();
        }
        // Whatever is shown must still be alive: touch every row and the pane's item.
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            QVERIFY(!list()->model()->index(row, 0).data().toString().isNull());
        if (const LinkItem *current = form()->descriptionPane()->CurrentItem())
            QVERIFY(current->Name.size() < 1000);
    }
    QCOMPARE(childNames(form()->repository()->Root()), left);
}

void TestEditing::changesAreMarkedForSaving_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("changes");
    QTest::newRow("browsing") << "browse" << false;
    QTest::newRow("export") << "export" << false;
    QTest::newRow("new folder") << "newFolder" << true;
    QTest::newRow("rename") << "rename" << true;
    QTest::newRow("new URL") << "newUrl" << true;
    QTest::newRow("properties") << "properties" << true;
    QTest::newRow("delete entries") << "deleteEntries" << true;
    QTest::newRow("delete folder") << "deleteFolder" << true;
    QTest::newRow("folder dropped on folder") << "treeDrop" << true;
    QTest::newRow("folder dropped on list") << "treeToList" << true;
    QTest::newRow("entries dropped on folder") << "listToTree" << true;
    QTest::newRow("description edited") << "description" << true;
    QTest::newRow("link opened") << "open" << true;
    QTest::newRow("URL label clicked") << "urlLabel" << true;
    QTest::newRow("import") << "import" << true;
    QTest::newRow("delete empty folders") << "deleteEmpty" << true;
}

void TestEditing::changesAreMarkedForSaving()
{
    QFETCH(QString, command);
    QFETCH(bool, changes);
    const auto acceptNextDialog = [this] {
        QTimer::singleShot(0, this, [] {
            QWidget *dialog = QApplication::activeModalWidget();
            for (QLineEdit *field : dialog->findChildren<QLineEdit *>()) {
                if (field->objectName() == QLatin1String("ItemName") || field->objectName() == QLatin1String("ItemURL"))
                    field->setText(QStringLiteral("http://added.example"));
            }
            QMetaObject::invokeMethod(dialog, "accept");
        });
    };
    // Showing the root folder at the start counts its visit but is no reason to write.
    QVERIFY(!form()->autoSave()->hasUnsavedChanges());
    FilePrompts prompts(m_window.dir()->filePath(QStringLiteral("beta.qmf")));
    form()->transferCommands()->setPrompts(&prompts);
    MainActions *a = form()->actions();
    if (command == "browse") {
        tree()->setCurrentIndex(m_window.node("Beta"));
        a->upOneLevel->trigger();
        a->expandAll->trigger();
        m_window.selectRows({"Example"});
    } else if (command == "export" || command == "import") {
        tree()->setCurrentIndex(m_window.node("Beta"));
        a->exportAction(BookmarkFormat::Native)->trigger();
        QVERIFY(waitForTransferEnd(form()->transferCommands()));
        if (command == "import")
            a->importAction(BookmarkFormat::Native)->trigger();
        QVERIFY(waitForTransferEnd(form()->transferCommands()));
    } else if (command == "newFolder") {
        a->newFolder->trigger();
        tree()->cancelRename();
    } else if (command == "rename") {
        tree()->setCurrentIndex(m_window.node("Beta"));
        form()->treeMenu()->renameAction()->trigger();
        qobject_cast<QLineEdit *>(QApplication::focusWidget())->setText(QStringLiteral("Gamma"));
        tree()->commitRename();
    } else if (command == "newUrl" || command == "properties") {
        acceptNextDialog();
        (command == "newUrl" ? a->newUrl : a->properties)->trigger();
    } else if (command == "deleteEntries") {
        m_window.selectRows({"Example"});
        list()->currentView()->setFocus();
        a->deleteItems->trigger();
    } else if (command == "deleteFolder") {
        tree()->setCurrentIndex(m_window.node("Beta"));
        tree()->setFocus();
        a->deleteItems->trigger();
    } else if (command == "treeDrop") {
        QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, centreOf(tree(), m_window.node("Beta")));
        QVERIFY(
            dragAndDrop(tree()->viewport(), centreOf(tree(), m_window.node("Alpha")), FolderTreeModel::TreeMimeType));
    } else if (command == "treeToList") {
        tree()->open(m_window.node("Alpha"));
        QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, centreOf(tree(), m_window.node("Inner")));
        QVERIFY(dragAndDrop(list()->detailsView()->viewport(), QPoint(10, 10), FolderTreeModel::TreeMimeType));
    } else if (command == "listToTree") {
        m_window.selectRows({"Example"});
        QVERIFY(
            dragAndDrop(tree()->viewport(), centreOf(tree(), m_window.node("Beta")), FolderTreeModel::ListMimeType));
    } else if (command == "description") {
        form()->descriptionPane()->descriptionEdit()->setPlainText(QStringLiteral("about my links"));
    } else if (command == "open" || command == "urlLabel") {
        const auto launcher = platform::setShellLauncher([](const QString &, const QStringList &) { return true; });
        m_window.selectRows({"Example"});
        if (command == "open")
            form()->itemCommands()->openSelected();
        else
            QTest::mouseClick(form()->descriptionPane()->URLLabel(), Qt::LeftButton);
        platform::setShellLauncher(launcher);
    } else if (command == "deleteEmpty") {
        a->deleteEmptyFolders->trigger();
    }
    form()->transferCommands()->setPrompts(nullptr);
    QCOMPARE(form()->autoSave()->hasUnsavedChanges(), changes);
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
