// Edit > Undo and Redo: the captions name the step, and an undo shows and selects what it brought back. The
// commands work on a document and a view, as the window gives them.
#include "common/FilePrompts.h"
#include "common/TransferEnd.h"
#include "common/TreeBuilders.h"
#include "common/ViewFixture.h"
#include "mainwindow/ItemCommands.h"
#include "mainwindow/SearchCommands.h"
#include "mainwindow/TransferCommands.h"
#include "mainwindow/UndoCommands.h"
#include "settings/Settings.h"
#include "store/NativeFile.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace TreeBuilders;

class TestUndoCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Settings::SetStorageFolder(m_dir.filePath(QStringLiteral("config"))); }
    void init();
    void cleanup();
    void nothingToUndoAtFirst();
    void undoAndRedoACommand_data();
    void undoAndRedoACommand();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ViewFixture> m_fixture;
    ItemCommands *m_items = nullptr;
    SearchCommands *m_search = nullptr;
    TransferCommands *m_transfer = nullptr;
    UndoCommands *m_undo = nullptr;
};

void TestUndoCommands::init()
{
    m_fixture = std::make_unique<ViewFixture>(editingCollection());
    CollectionDocument *document = &m_fixture->document;
    CollectionView *view = &m_fixture->view;
    QWidget *parent = m_fixture->parent.get();
    m_items = new ItemCommands(document, view, parent);
    m_search = new SearchCommands(document, view, parent);
    m_transfer = new TransferCommands(document, view, parent);
    m_undo = new UndoCommands(document, view, parent);
}

void TestUndoCommands::cleanup()
{
    m_fixture.reset();
}

void TestUndoCommands::nothingToUndoAtFirst()
{
    // Their place, captions, shortcuts and hints are among the menus of tst_mainwindow.
    const CollectionDocument &document = m_fixture->document;
    QVERIFY(!document.canUndo());
    QVERIFY(!document.canRedo());
    QCOMPARE(UndoCommands::undoCaption(document), QStringLiteral("&Undo"));
    QCOMPARE(UndoCommands::redoCaption(document), QStringLiteral("&Redo"));
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
    ViewFixture &f = *m_fixture;
    CollectionView &view = f.view;
    const CollectionDocument &document = f.document;
    LinkItem *root = f.root();
    FilePrompts prompts(m_dir.filePath(QStringLiteral("import.qmf")));
    if (command == QLatin1String("import")) {
        auto imported = LinkItem::MakeFolder("Imported");
        addLink(*addFolder(*imported, "Gamma"), "g1", "http://g1");
        QVERIFY(NativeFile::saveAtomically(m_dir.filePath(QStringLiteral("import.qmf")), *imported, nullptr));
        m_transfer->setPrompts(&prompts);
    }
    LinkItem *example = root->Children.Get(2);
    QCOMPARE(example->Name, std::string("Example"));
    example->Visits = 7;
    if (command == QLatin1String("delete folder"))
        view.showFolder(root->Children.Get(1));
    const QByteArray before = nativeBytes(*root);
    const int rowsBefore = view.model()->rowCount();

    if (command == QLatin1String("delete selection")) {
        f.selectRows({"Alpha", "Example"});
        view.setListActive(true);
        m_items->deleteItems();
    } else if (command == QLatin1String("delete folder")) {
        view.setListActive(false);
        m_items->deleteItems();
    } else if (command == QLatin1String("empty folders")) {
        m_search->deleteEmptyFolders();
    } else if (command == QLatin1String("clear visits")) {
        f.selectRows({"Example"});
        view.setListActive(true);
        QTimer::singleShot(0, this, [] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            dialog->findChild<QPushButton *>(QStringLiteral("clearVisitsButton"))->click();
            QMetaObject::invokeMethod(dialog, "reject");
        });
        m_items->showProperties();
        QCOMPARE(example->Visits, 0);
    } else {
        m_transfer->importFormat(BookmarkFormat::Native);
        QVERIFY(waitForTransferEnd(m_transfer));
        m_transfer->setPrompts(nullptr);
    }
    const QByteArray after = nativeBytes(*root);
    QVERIFY(after != before);
    QCOMPARE(UndoCommands::undoCaption(document), QStringLiteral("&Undo ") + caption);
    QVERIFY(document.canUndo());

    m_undo->undo();
    QCOMPARE(UndoCommands::redoCaption(document), QStringLiteral("&Redo ") + caption);
    QVERIFY(!document.canUndo());
    QCOMPARE(root->Children.Count(), 4);
    QCOMPARE(example->Visits, 7);
    if (!shown.isEmpty()) {
        const std::vector<LinkItem *> selected = view.selectedItems();
        QCOMPARE(selected.size(), size_t(1));
        QCOMPARE(QString::fromStdString(selected.front()->Name.str()), shown);
        QCOMPARE(view.folder(), selected.front()->Parent);
    } else {
        QCOMPARE(view.model()->rowCount(), rowsBefore);
    }
    QCOMPARE(view.model()->folder(), view.folder());
    QVERIFY(!view.statusText().isEmpty());

    m_undo->redo();
    QCOMPARE(UndoCommands::undoCaption(document), QStringLiteral("&Undo ") + caption);
    QVERIFY(!document.canRedo());
    // The command showed folders as it went (visits of the user's); the undo and the redo, and the view as it
    // follows them, count none: the collection is exactly as the command left it.
    QCOMPARE(nativeBytes(*root), after);
}

QTEST_MAIN(TestUndoCommands)
#include "tst_undocommands.moc"
