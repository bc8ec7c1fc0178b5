// The commands on folders and links (New Folder, New URL, Delete, the selection commands, opening) and on the shown
// folder (Up One Level, Rename), on a document and a view as the window gives them.
#include "common/StandInOpener.h"
#include "common/TreeBuilders.h"
#include "common/ViewFixture.h"
#include "mainwindow/FolderCommands.h"
#include "mainwindow/ItemCommands.h"
#include "platform/ShellOpen.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace TreeBuilders;

namespace {
QStringList childNames(const LinkItem *folder)
{
    QStringList names;
    for (const auto &child : folder->Children)
        names << QString::fromStdString(child->Name.str());
    return names;
}

LinkItem *child(const LinkItem *folder, const QString &name)
{
    for (const auto &item : folder->Children) {
        if (QString::fromStdString(item->Name.str()) == name)
            return item.get();
    }
    return nullptr;
}
} // namespace

class TestItemCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Settings::SetStorageFolder(m_dir.filePath(QStringLiteral("config"))); }
    void init();
    void cleanup();

    void newFolderNaming_data();
    void newFolderNaming();
    void newUrlAddsALink();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void opening_data();
    void opening();
    void folderCommandsBelowTheRootOnly();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ViewFixture> m_fixture;
    ItemCommands *m_items = nullptr;
    FolderCommands *m_folders = nullptr;
};

void TestItemCommands::init()
{
    m_fixture = std::make_unique<ViewFixture>(editingCollection());
    m_items = new ItemCommands(&m_fixture->document, &m_fixture->view, m_fixture->parent.get());
    m_folders = new FolderCommands(&m_fixture->document, &m_fixture->view, m_fixture->parent.get());
}

void TestItemCommands::cleanup()
{
    m_fixture.reset();
}

void TestItemCommands::newFolderNaming_data()
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

// The new folder is made in the shown folder, shown (empty) and renamed in place.
void TestItemCommands::newFolderNaming()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    CollectionView &view = m_fixture->view;
    LinkItem *beta = child(m_fixture->root(), QStringLiteral("Beta"));
    for (const QString &name : existing) {
        if (name.startsWith(QLatin1String("link:")))
            addLink(*beta, name.mid(5).toStdString(), "http://x");
        else
            addFolder(*beta, name.toStdString());
    }
    view.showFolder(beta);
    const QObject context;
    std::vector<LinkItem *> renamed;
    connect(&view, &CollectionView::renameWanted, &context, [&renamed](LinkItem *item) { renamed.push_back(item); });
    m_items->newFolder();
    QCOMPARE(QString::fromStdString(view.folder()->Name.str()), expected);
    QCOMPARE(view.folder()->Parent, beta);
    QCOMPARE(renamed, std::vector<LinkItem *> {view.folder()});
    QCOMPARE(m_fixture->rowNames(), QStringList {});
    QCOMPARE(view.statusText(), QStringLiteral("0 objects"));
}

void TestItemCommands::newUrlAddsALink()
{
    QTimer::singleShot(0, this, [] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        for (QLineEdit *field : dialog->findChildren<QLineEdit *>()) {
            if (field->objectName() == QLatin1String("ItemName"))
                field->setText(QStringLiteral("Added"));
            else if (field->objectName() == QLatin1String("ItemURL"))
                field->setText(QStringLiteral("http://added.example"));
        }
        QMetaObject::invokeMethod(dialog, "accept");
    });
    LinkItem *root = m_fixture->root();
    const int visits = root->Visits;
    m_items->newUrl();
    QCOMPARE(root->Children.Get(0)->Name, std::string("Added"));
    QCOMPARE(root->Children.Get(0)->Url, std::string("http://added.example"));
    // The shown folder is listed again, which counts as a visit twice.
    QCOMPARE(root->Visits, visits + 2);
    QCOMPARE(m_fixture->rowNames(), (QStringList {"Alpha", "Beta", "Added", "Example", "Other"}));
}

void TestItemCommands::deleteAsksFirst_data()
{
    // What is shown ("" the root) and selected, whether the list is the active pane and the answer; the question
    // (none asked when empty, its title by its kind), the root's children and the listed rows afterwards.
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("listActive");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("rows");
    QTest::newRow("entries, subtree and all")
        << ""
        << "Alpha,Example" << true << true << "Are you sure you want to delete these 2 objects?"
        << "Beta,Other"
        << "Beta,Other";
    QTest::newRow("one entry, still plural")
        << ""
        << "Other" << true << true << "Are you sure you want to delete these 1 objects?"
        << "Alpha,Beta,Example"
        << "Alpha,Beta,Example";
    QTest::newRow("the shown folder while the list is not active")
        << "Beta"
        << "b1" << false << true << "Are you sure you want to delete 'Beta'?"
        << "Alpha,Example,Other"
        << "";
    QTest::newRow("no keeps everything") << "Alpha"
                                         << "" << false << false << "Are you sure you want to delete 'Alpha'?"
                                         << "Alpha,Beta,Example,Other"
                                         << "Inner,a1";
    QTest::newRow("never the root") << ""
                                    << "Example" << false << true << ""
                                    << "Alpha,Beta,Example,Other"
                                    << "Alpha,Beta,Example,Other";
}

void TestItemCommands::deleteAsksFirst()
{
    QFETCH(QString, shown);
    QFETCH(QString, selected);
    QFETCH(bool, listActive);
    QFETCH(bool, answer);
    QFETCH(QString, question);
    QFETCH(QString, left);
    QFETCH(QString, rows);
    ViewFixture &f = *m_fixture;
    if (!shown.isEmpty())
        f.view.showFolder(child(f.root(), shown));
    f.selectRows(selected.split(QLatin1Char(',')));
    f.view.setListActive(listActive);
    f.boxes.answer = answer;
    m_items->deleteItems();
    const QString title = listActive ? "Confirm Multiple Objects Delete" : "Confirm Folder Delete";
    QCOMPARE(f.boxes.titles, question.isEmpty() ? QStringList() : QStringList {title});
    QCOMPARE(f.boxes.questions, question.isEmpty() ? QStringList() : QStringList {question});
    QCOMPARE(childNames(f.root()).join(QLatin1Char(',')), left);
    QCOMPARE(f.rowNames().join(QLatin1Char(',')), rows);
    QCOMPARE(f.view.statusText(), CollectionView::countText(int(f.rowNames().size())));
}

void TestItemCommands::opening_data()
{
    // How the entry is opened (Enter or Open: openSelected; the description pane's address: openAddress), what it
    // is and the answer to the question that a script asks.
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("answer");
    for (const char *way : {"selected", "address"}) {
        QTest::addRow("%s: web page", way) << way << "page" << false;
        QTest::addRow("%s: script, refused", way) << way << "script" << false;
        QTest::addRow("%s: script, allowed", way) << way << "script" << true;
    }
    QTest::newRow("selected: no program takes it") << "selected"
                                                   << "unhandled" << false;
    QTest::newRow("selected: a folder is shown") << "selected"
                                                 << "folder" << false;
}

// Whichever way a link is opened, a local script (not even executable) runs only after the user said yes; a "no"
// launches nothing and counts no visit. A link no program takes still counts its visit and tells so.
void TestItemCommands::opening()
{
    QFETCH(QString, way);
    QFETCH(QString, target);
    QFETCH(bool, answer);
    const bool asked = target == QLatin1String("script");
    const bool opened = !asked || answer;
    ViewFixture &f = *m_fixture;
    StandInOpener opener;
    QString address = QStringLiteral("http://example.com");
    if (asked) {
        address = m_dir.filePath(QStringLiteral("update.sh"));
        QFile file(address);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n") > 0);
    }
    const bool folder = target == QLatin1String("folder");
    LinkItem *item = child(f.root(), folder ? QStringLiteral("Beta") : QStringLiteral("Example"));
    if (!folder)
        item->Url = address.toStdString();
    f.boxes.answer = answer;
    f.selectRows({QString::fromStdString(item->Name.str())});
    QSignalSpy treeFocus(&f.view, &CollectionView::treeFocusWanted);
    platform::ShellLauncher launcher;
    if (target == QLatin1String("unhandled"))
        launcher = platform::setShellLauncher([](const QString &, const QStringList &) { return false; });
    if (way == QLatin1String("address"))
        m_items->openAddress(address);
    else
        m_items->openSelected();
    if (launcher)
        platform::setShellLauncher(launcher);

    QCOMPARE(
        f.boxes.questions,
        asked
            ? QStringList {QStringLiteral("\"%1\" is a program on this computer, not a web page. Run it?").arg(address)}
            : QStringList());
    QCOMPARE(f.boxes.warnings.size(), target == QLatin1String("unhandled") ? 1 : 0);
    QCOMPARE(item->Visits, opened ? 1 : 0);
    QCOMPARE(item->LastVisit > 0, opened);
    if (folder) {
        QCOMPARE(f.view.folder(), item);
        QCOMPARE(f.rowNames(), QStringList {"b1"});
        QCOMPARE(treeFocus.count(), 1);
        return;
    }
    const bool launched = opened && target != QLatin1String("unhandled");
    QCOMPARE(opener.opened, launched ? QStringList {address} : QStringList());
    // The list shows the new count.
    const LinkListModel *model = f.view.model();
    QCOMPARE(model->index(model->rowOf(item), VisitsColumn).data().toString(), QString::number(item->Visits));
}

void TestItemCommands::folderCommandsBelowTheRootOnly()
{
    CollectionView &view = m_fixture->view;
    LinkItem *root = m_fixture->root();
    const QObject context;
    std::vector<LinkItem *> renamed;
    connect(&view, &CollectionView::renameWanted, &context, [&renamed](LinkItem *item) { renamed.push_back(item); });
    m_folders->upOneLevel();
    m_folders->rename();
    QCOMPARE(view.folder(), root);
    QVERIFY(renamed.empty());

    LinkItem *inner = child(child(root, QStringLiteral("Alpha")), QStringLiteral("Inner"));
    view.showFolder(inner);
    m_folders->rename();
    QCOMPARE(renamed, std::vector<LinkItem *> {inner});
    m_folders->upOneLevel();
    QCOMPARE(view.folder(), inner->Parent);
    QCOMPARE(m_fixture->rowNames(), (QStringList {"Inner", "a1"}));
}

QTEST_MAIN(TestItemCommands)
#include "tst_itemcommands.moc"
