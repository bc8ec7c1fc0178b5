// Every dialog's controls, as a screen reader and a keyboard user meet them: each has a name, and Tab
// reaches each of them once, in reading order; the main window's panes name their controls and entries.
#include "AllDialogs.h"
#include "common/TreeBuilders.h"
#include "common/ViewFixture.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderBar.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/SearchCommands.h"
#include "settings/Settings.h"
#include "store/LinkItem.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <functional>
#include <memory>

using namespace TreeBuilders;

namespace {

// The controls that take the focus with Tab: shown, enabled, and not standing in for another.
QList<QWidget *> tabControls(QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (child->isVisibleTo(window) && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus)
            && !child->focusProxy() && child->window() == window) {
            controls << child;
        }
    }
    return controls;
}

// A control's name; for a list box, whose name here is its choice, the label that names it.
QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface)
        return QString();
    if (iface->role() == QAccessible::ComboBox) {
        const auto labels = iface->relations(QAccessible::Label);
        return labels.isEmpty() ? QString() : labels.constFirst().first->text(QAccessible::Name);
    }
    return iface->text(QAccessible::Name);
}

QString describe(QWidget *widget)
{
    return QStringLiteral("%1 \"%2\" (%3)")
        .arg(QLatin1String(widget->metaObject()->className()), accessibleName(widget), widget->objectName());
}

// The controls in the order Tab reaches them from the one that has the focus, once round.
QList<QWidget *> tabWalk(QWidget *window, int limit)
{
    QList<QWidget *> order;
    QWidget *start = QApplication::focusWidget();
    if (!start)
        return order;
    QWidget *current = start;
    for (int k = 0; k < limit; ++k) {
        order << current;
        QTest::keyClick(current, Qt::Key_Tab);
        current = QApplication::focusWidget();
        if (!current || current == start || current->window() != window)
            break;
    }
    return order;
}

std::unique_ptr<LinkItem> sampleTree()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *work = addFolder(*root, "Work");
    addLink(*work, "Example", "https://example.org/");
    addFolder(*work, "Projects");
    return root;
}

// The main window's panes over a small collection, shown: the search field, the folders bar, the list and the
// description.
struct Panes
{
    Panes()
    {
        QWidget *window = fixture.parent.get();
        auto *layout = new QVBoxLayout(window);
        layout->addWidget((new SearchCommands(&fixture.document, &fixture.view, window))->searchField());
        auto *bar = new FolderBar;
        tree = bar->folderTree();
        tree->follow(&fixture.document);
        tree->setRootFolder(fixture.root());
        layout->addWidget(bar);
        list = new FolderListView(&fixture.view);
        layout->addWidget(list);
        layout->addWidget(new DescriptionPane);
        window->show();
    }

    ViewFixture fixture {sampleTree()};
    FolderTreeView *tree;
    FolderListView *list;
};

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void dialogs_data();
    void dialogs();
    void panesHaveNames();
    void viewsAnnounceTheSelectedEntry_data();
    void viewsAnnounceTheSelectedEntry();

private:
    QTemporaryDir m_dir;
    AllDialogs m_dialogs {m_dir.filePath(QStringLiteral("favorites"))};
};

void TestAccessibility::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
    Settings::SetStorageFolder(m_dir.filePath(QStringLiteral("config")));
}

void TestAccessibility::dialogs_data()
{
    QTest::addColumn<QString>("dialog");
    // The accessible names in the order Tab goes through them, from where the focus starts.
    QTest::addColumn<QStringList>("tabOrder");

    const QMap<QString, QStringList> orders {
        {"New URL", {"Name:", "URL:", "Description:", "Cancel"}},
        {"Properties of a link",
         {"Name", "URL:", "Description:", "Rating:", "Clear Visits", "OK", "Cancel", "General"}},
        {"Properties of a folder", {"Name", "Description:", "Rating:", "Clear Visits", "OK", "Cancel", "General"}},
        {"Go to Folder", {"Folder:", "OK", "Cancel"}},
        {"Restore from Backup", {"Backups", "Restore", "Cancel"}},
        {"Sync",
         {"Server folder:", "User name:", "Password:", "File name:", "Synced folder:", "Choose...", "Sync every",
          "Sync when Quillmark starts and ends", "OK", "Cancel"}},
        {"Favorites chooser", {"Favorites folders", "Ok", "Cancel"}},
        {"Favorites chooser without Favorites", {"Favorites folders", "Browse...", "Cancel"}},
        {"Tip of the Day", {"Next", "Back", "Close", "Show tips at startup"}},
        {"About", {"Ok"}},
        {"Help", {"Help contents", "Help page"}},
    };
    for (const AllDialogs::Dialog &dialog : m_dialogs.all())
        QTest::newRow(qPrintable(dialog.name)) << dialog.name << orders.value(dialog.name);
}

void TestAccessibility::dialogs()
{
    QFETCH(QString, dialog);
    QFETCH(QStringList, tabOrder);
    QVERIFY2(!tabOrder.isEmpty(), "every dialog has its order here");
    const std::unique_ptr<QWidget> window = m_dialogs.maker(dialog)();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    const QList<QWidget *> controls = tabControls(window.get());
    QVERIFY(!controls.isEmpty());
    for (QWidget *control : controls)
        QVERIFY2(!accessibleName(control).isEmpty(), qPrintable(describe(control) + QStringLiteral(" has no name")));

    const QList<QWidget *> order = tabWalk(window.get(), 4 * int(controls.size()));
    QStringList names;
    for (QWidget *control : order)
        names << accessibleName(control).remove(QLatin1Char('&'));
    QCOMPARE(names.join(QLatin1String(" | ")), tabOrder.join(QLatin1String(" | ")));
    for (QWidget *control : controls)
        QVERIFY2(order.contains(control), qPrintable(describe(control) + QStringLiteral(" is not reached by Tab")));
}

void TestAccessibility::panesHaveNames()
{
    Panes panes;
    QWidget *window = panes.fixture.parent.get();
    QVERIFY(QTest::qWaitForWindowActive(window));
    const QList<QWidget *> controls = tabControls(window);
    QVERIFY(controls.size() >= 4); // the search field, the folder tree, the list and the description
    for (QWidget *control : controls)
        QVERIFY2(!accessibleName(control).isEmpty(), qPrintable(describe(control) + QStringLiteral(" has no name")));
}

void TestAccessibility::viewsAnnounceTheSelectedEntry_data()
{
    QTest::addColumn<int>("style"); // -1 the folder tree, else the list's view style
    QTest::newRow("folder tree") << -1;
    QTest::newRow("details") << int(FolderListView::DetailsStyle);
    QTest::newRow("list") << int(FolderListView::ListStyle);
    QTest::newRow("large icons") << int(FolderListView::LargeIconStyle);
}

void TestAccessibility::viewsAnnounceTheSelectedEntry()
{
    QFETCH(int, style);
    Panes panes;
    QVERIFY(QTest::qWaitForWindowActive(panes.fixture.parent.get()));
    QAbstractItemView *view = panes.tree;
    if (style < 0) {
        view->setFocus();
        view->setCurrentIndex(panes.tree->rootRow());
        QTest::keyClick(view, Qt::Key_Down); // from the root to its first folder
    } else {
        panes.list->setViewStyle(style);
        view = panes.list->currentView();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Home);
    }
    // What a screen reader asks when the focus moves: the view's focused entry, and its name.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(view);
    QVERIFY(iface);
    QAccessibleInterface *entry = iface->focusChild();
    QVERIFY2(entry, "the view tells no focused entry");
    QCOMPARE(entry->text(QAccessible::Name), QStringLiteral("Work"));
    QVERIFY(entry->state().focused || entry->state().selected);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
