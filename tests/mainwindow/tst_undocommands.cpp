// Edit > Undo and Redo in the main window: the captions name the step, and the panes follow an undo.
#include "common/FilePrompts.h"
#include "common/TreeBuilders.h"
#include "common/WindowFixture.h"
#include "mainwindow/ItemCommands.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/TransferCommands.h"
#include "transfer/Prompts.h"

#include <QAction>
#include <QBuffer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace TreeBuilders;

namespace {
// Root "Quillmark": folders "Alpha" (holding "Inner", empty but for the empty "Deep", and link "a1") and "Beta",
// links "Example" and "Other".
std::unique_ptr<LinkItem> collection()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *alpha = addFolder(*root, "Alpha");
    addFolder(*addFolder(*alpha, "Inner"), "Deep");
    addLink(*alpha, "a1", "http://a1");
    addLink(*addFolder(*root, "Beta"), "b1", "http://b1");
    addLink(*root, "Example", "http://example.com");
    addLink(*root, "Other", "http://other.example");
    return root;
}

} // namespace

class TestUndoCommands : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_window.open(*collection()); }
    void cleanup() { m_window.close(); }

    void nothingToUndoAtFirst();
    void undoAndRedoACommand_data();
    void undoAndRedoACommand();

private:
    MainWindow *form() const { return m_window.form(); }
    FolderTreeView *tree() const { return m_window.tree(); }
    FolderListView *list() const { return m_window.list(); }

    WindowFixture m_window;
};

void TestUndoCommands::nothingToUndoAtFirst()
{
    // Their place, captions and hints are among the menus of tst_mainwindow.
    MainActions *a = form()->actions();
    QCOMPARE(
        a->redo->shortcuts(),
        (QList<QKeySequence> {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    QVERIFY(!a->undo->isEnabled());
    QVERIFY(!a->redo->isEnabled());
}

void TestUndoCommands::undoAndRedoACommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown"); // what the undo selects in the list
    QTest::newRow("delete selection") << "delete selection"
                                      << "Delete 2 objects"
                                      << "Alpha";
    QTest::newRow("delete folder") << "delete folder"
                                   << "Delete 1 object"
                                   << "Beta";
    QTest::newRow("empty folders") << "empty folders"
                                   << "Delete Empty Folders"
                                   << "Inner";
    QTest::newRow("import") << "import"
                            << "Import"
                            << "";
    QTest::newRow("clear visits, then cancel") << "clear visits"
                                               << "Properties"
                                               << "Example";
}

void TestUndoCommands::undoAndRedoACommand()
{
    QFETCH(QString, command);
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    MainActions *a = form()->actions();
    LinkItem *root = form()->repository()->Root();
    FilePrompts prompts(m_window.dir()->filePath(QStringLiteral("import.qmf")));
    if (command == QLatin1String("import")) {
        auto imported = LinkItem::MakeFolder("Imported");
        addLink(*addFolder(*imported, "Gamma"), "g1", "http://g1");
        QVERIFY(NativeFile::saveAtomically(m_window.dir()->filePath(QStringLiteral("import.qmf")), *imported, nullptr));
        form()->transferCommands()->setPrompts(&prompts);
    }
    LinkItem *example = root->Children.Get(2);
    QCOMPARE(example->Name, std::string("Example"));
    example->Visits = 7;
    if (command == QLatin1String("delete folder"))
        tree()->setCurrentIndex(m_window.node("Beta"));
    const QByteArray before = nativeBytes(*root);
    const int rowsBefore = list()->model()->rowCount();

    if (command == QLatin1String("delete selection")) {
        m_window.selectRows({"Alpha", "Example"});
        list()->currentView()->setFocus();
        a->deleteItems->trigger();
    } else if (command == QLatin1String("delete folder")) {
        tree()->setFocus();
        a->deleteItems->trigger();
    } else if (command == QLatin1String("empty folders")) {
        a->deleteEmptyFolders->trigger();
    } else if (command == QLatin1String("clear visits")) {
        m_window.selectRows({"Example"});
        list()->currentView()->setFocus();
        QTimer::singleShot(0, this, [] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            dialog->findChild<QPushButton *>(QStringLiteral("clearVisitsButton"))->click();
            QMetaObject::invokeMethod(dialog, "reject");
        });
        a->properties->trigger();
        QCOMPARE(example->Visits, 0);
    } else {
        a->importAction(BookmarkFormat::Native)->trigger();
        form()->transferCommands()->setPrompts(nullptr);
    }
    const QByteArray after = nativeBytes(*root);
    QVERIFY(after != before);
    QCOMPARE(a->undo->text(), QStringLiteral("&Undo ") + caption);
    QVERIFY(a->undo->isEnabled());

    a->undo->trigger();
    QCOMPARE(a->redo->text(), QStringLiteral("&Redo ") + caption);
    QVERIFY(!a->undo->isEnabled());
    QCOMPARE(root->Children.Count(), 4);
    QCOMPARE(example->Visits, 7);
    if (!shown.isEmpty()) {
        const std::vector<LinkItem *> selected = list()->selectedItems();
        QCOMPARE(selected.size(), size_t(1));
        QCOMPARE(QString::fromStdString(selected.front()->Name.str()), shown);
        QCOMPARE(tree()->SelectedItem(), selected.front()->Parent);
        // A folder that came back into an open branch has its node again.
        if (selected.front()->isFolder() && tree()->isExpanded(tree()->currentIndex()))
            QVERIFY(m_window.node(shown).isValid());
    } else {
        QCOMPARE(list()->model()->rowCount(), rowsBefore);
    }
    QCOMPARE(list()->model()->folder(), tree()->SelectedItem());
    QCOMPARE(form()->statusPanel()->text().isEmpty(), false);

    a->redo->trigger();
    QCOMPARE(a->undo->text(), QStringLiteral("&Undo ") + caption);
    QVERIFY(!a->redo->isEnabled());
    // The command showed folders as it went (visits of the user's); the undo and the redo, and the panes as
    // they follow them, count none: the collection is exactly as the command left it.
    QCOMPARE(nativeBytes(*root), after);
}

QTEST_MAIN(TestUndoCommands)
#include "tst_undocommands.moc"
