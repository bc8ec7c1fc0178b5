#include "RecordingHelp.h"
#include "common/MenuWindow.h"
#include "common/RecordedBoxes.h"
#include "common/StandInOpener.h"
#include "settings/Settings.h"
#include "shell/HelpCommands.h"
#include "widgets/ShellErrorReport.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestHelpCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void f1InAMenu_data();
    void f1InAMenu();
    void f1WithoutMenuOpensContents();
    void contentsAndHelpButton();
    void webCommands_data();
    void webCommands();
    void webPageThatCannotOpenIsReported();

private:
    // The menu of the bar or of menu whose entry has this caption.
    static QMenu *submenu(const QList<QAction *> &entries, const QString &caption);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MenuWindow> m_window;
    RecordingHelp m_help;
    std::unique_ptr<HelpCommands> m_commands;
};

void TestHelpCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
    Settings::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
    m_window = std::make_unique<MenuWindow>();
    m_commands = std::make_unique<HelpCommands>(m_window.get(), &m_window->actions, &m_help);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_help.requests.clear();
}

void TestHelpCommands::cleanup()
{
    m_commands.reset();
    m_window.reset();
    m_dir.reset();
}

QMenu *TestHelpCommands::submenu(const QList<QAction *> &entries, const QString &caption)
{
    for (QAction *entry : entries) {
        if (entry->text() == caption && entry->menu())
            return entry->menu();
    }
    return nullptr;
}

void TestHelpCommands::f1InAMenu_data()
{
    QTest::addColumn<QStringList>("menus"); // opened from the menu bar down
    QTest::addColumn<QString>("highlighted"); // empty: no entry of the innermost menu is highlighted
    QTest::addColumn<int>("context");

    const QStringList importMenu {QStringLiteral("&File"), QStringLiteral("I&mport")};
    QTest::newRow("entry with its own number") << importMenu << "Internet Explorer &Favorites..." << 1022;
    QTest::newRow("entry takes its submenu's number") << importMenu << "&Mozilla Bookmarks..." << 102;
    QTest::newRow("entry takes its menu's number") << QStringList {"&Edit"} << "Delete &Empty Folders" << 200;
    QTest::newRow("submenu entry") << QStringList {"&File"} << "I&mport" << 102;
    QTest::newRow("open submenu, nothing highlighted") << importMenu << "" << 102;
    QTest::newRow("nothing highlighted") << QStringList {"&View"} << "" << 300;
    QTest::newRow("arrange entry") << QStringList {"&View", "&Arrange Icons by"} << "&Rating" << 306;
    QTest::newRow("view style") << QStringList {"&View"} << "&List" << 311;
    QTest::newRow("web page") << QStringList {"&Help", "Quillmark on the &Web"} << "Send &Feedback" << 407;
    // F1 is the shortcut of "&Contents" itself; with the entry highlighted it still asks for the entry's topic.
    QTest::newRow("contents") << QStringList {"&Help"} << "&Contents" << 401;
}

void TestHelpCommands::f1InAMenu()
{
    QFETCH(QStringList, menus);
    QFETCH(QString, highlighted);
    QFETCH(int, context);

    QList<QAction *> entries = m_window->menuBar()->actions();
    QMenu *menu = nullptr;
    for (const QString &caption : menus) {
        menu = submenu(entries, caption);
        QVERIFY2(menu, qPrintable(caption));
        menu->popup(m_window->mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        entries = menu->actions();
    }
    if (!highlighted.isEmpty()) {
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&highlighted](QAction *action) { return action->text() == highlighted; });
        QVERIFY2(entry != entries.end(), qPrintable(highlighted));
        // Only an enabled entry can be highlighted; the commands behind these may not be there yet.
        (*entry)->setEnabled(true);
        menu->setActiveAction(*entry);
        QCOMPARE(menu->activeAction(), *entry);
    }

    // The key goes to the innermost open menu (highlighting a submenu's entry opens it).
    QVERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_F1);
    QCOMPARE(m_help.requests, QList<int> {context});
    // The menus make way for the help window.
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
}

void TestHelpCommands::f1WithoutMenuOpensContents()
{
    QTest::keyClick(m_window.get(), Qt::Key_F1);
    QCOMPARE(m_help.requests, QList<int> {RecordingHelp::Contents});
}

void TestHelpCommands::contentsAndHelpButton()
{
    m_window->actions.contents->trigger();
    m_window->actions.helpButton->trigger();
    QCOMPARE(m_help.requests, QList<int>({RecordingHelp::Contents, RecordingHelp::Contents}));
}

void TestHelpCommands::webCommands_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("address");

    QTest::newRow("news") << "&Product News"
                          << "https://quillmark.orbrook.example/News.php";
    QTest::newRow("feedback") << "Send &Feedback"
                              << "https://quillmark.orbrook.example/Feedback.php";
    QTest::newRow("home page") << "Quillmark &Home Page"
                               << "https://quillmark.orbrook.example/";
}

void TestHelpCommands::webCommands()
{
    QFETCH(QString, entry);
    QFETCH(QString, address);

    StandInOpener opener;
    QMenu *web = submenu(submenu(m_window->menuBar()->actions(), QStringLiteral("&Help"))->actions(),
                         QStringLiteral("Quillmark on the &Web"));
    QVERIFY(web);
    const QList<QAction *> entries = web->actions();
    const auto action
        = std::find_if(entries.begin(), entries.end(), [&entry](QAction *a) { return a->text() == entry; });
    QVERIFY(action != entries.end());
    (*action)->trigger();
    QCOMPARE(opener.opened, QStringList {address});
}

void TestHelpCommands::webPageThatCannotOpenIsReported()
{
    StandInOpener opener;
    opener.removeOpener();
    RecordedBoxes boxes;
    m_window->actions.productNews->trigger();
    QCOMPARE(opener.opened, QStringList());
    QCOMPARE(boxes.warnings,
             QStringList {QStringLiteral("There is no application associated with the given filename extension.")});
}

QTEST_MAIN(TestHelpCommands)
#include "tst_helpcommands.moc"
