#include "common/RecordingReporter.h"
#include "common/TreeBuilders.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SearchCommands.h"
#include "settings/Settings.h"
#include "store/NativeFile.h"
#include "store/Repository.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace TreeBuilders;

namespace {
// What the user sees of the collection once it is there, and what they were told on the way.
QStringList shown(const MainWindow &form, const RecordingReporter &reporter)
{
    QStringList state {form.statusPanel()->text()};
    // The folder tree's rows, each before those below it.
    const QAbstractItemModel *folders = form.LinksTree()->model();
    std::vector<QModelIndex> pending {QModelIndex()};
    while (!pending.empty()) {
        const QModelIndex parent = pending.back();
        pending.pop_back();
        if (parent.isValid())
            state << parent.data().toString();
        for (int row = folders->rowCount(parent) - 1; row >= 0; --row)
            pending.push_back(folders->index(row, 0, parent));
    }
    const QAbstractItemModel *rows = form.LinkList()->model();
    for (int row = 0; row < rows->rowCount(); ++row)
        state << rows->index(row, 0).data().toString();
    static const QRegularExpression stamp(QStringLiteral("unreadable-[0-9-]+"));
    for (QString message : reporter.errors + reporter.notices)
        state << message.replace(stamp, QStringLiteral("unreadable-*"));
    return state;
}
} // namespace

class TestLoading : public QObject
{
    Q_OBJECT
private slots:
    void windowUsableWhileCollectionLoads_data();
    void windowUsableWhileCollectionLoads();
};

void TestLoading::windowUsableWhileCollectionLoads_data()
{
    QTest::addColumn<int>("cut"); // bytes taken off the end of the data file
    QTest::addColumn<bool>("newer"); // the file says it is of a newer version
    QTest::addColumn<bool>("exitAtOnce");
    QTest::newRow("whole file") << 0 << false << false;
    QTest::newRow("damaged file") << 30 << false << false;
    QTest::newRow("newer version") << 0 << true << false;
    QTest::newRow("exit while loading") << 0 << false << true;
}

void TestLoading::windowUsableWhileCollectionLoads()
{
    QFETCH(int, cut);
    QFETCH(bool, newer);
    QFETCH(bool, exitAtOnce);
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    Settings::SetStorageFolder(dir.filePath(QStringLiteral("config")));
    QVERIFY(Settings().SetShowTip(false));
    const auto writeDataFile = [cut, newer] {
        auto root = LinkItem::MakeFolder(Repository::RootName);
        addLink(*addFolder(*root, "Alpha"), "inner", "http://inner.example/");
        addFolder(*root, "Beta");
        addLink(*root, "gamma", "http://gamma.example/");
        QDir(Repository::DataFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(Repository::DataFolder()));
        QVERIFY(NativeFile::saveAtomically(Repository::DataFile(), *root, nullptr));
        QFile file(Repository::DataFile());
        QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(file.size() - cut));
        QVERIFY(!newer || file.write(QByteArray::fromHex("11270000")) == 4);
    };
    // What the window shows and tells when it waits for the collection before it comes up.
    writeDataFile();
    RecordingReporter reporter;
    const QStringList expected = shown(MainWindow(&reporter), reporter);
    writeDataFile();
    reporter = {};

    MainWindow form(&reporter, nullptr, MainWindow::Loading::InBackground);
    QSignalSpy loaded(&form, &MainWindow::collectionLoaded);
    form.show();
    QVERIFY(form.isLoading());
    QCOMPARE(shown(form, reporter), QStringList {"Loading the collection..."});
    // The commands that work on the collection wait for it; whatever is tried meanwhile does nothing.
    MainActions *a = form.actions();
    const QList<QAction *> held {a->newFolder, a->import, a->exportMenu, a->selectAll, a->search, a->allBookmarks};
    for (QAction *action : held) {
        QVERIFY(!action->isEnabled());
        action->trigger();
    }
    QLineEdit *search = form.searchCommands()->SearchEdit();
    QTest::keyClicks(search, QStringLiteral("gamma"));
    QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
    if (exitAtOnce) {
        QVERIFY(form.FormClose());
        QCOMPARE(Repository().Root()->Children.Count(), 3);
        return;
    }
    QVERIFY(loaded.wait());
    QCOMPARE(shown(form, reporter), expected);
    for (QAction *action : held)
        QVERIFY(action->isEnabled());
    QVERIFY(search->isEnabled() && search->text().isEmpty());
}

QTEST_MAIN(TestLoading)
#include "tst_loading.moc"
