// The Favorites chooser: its tree of folders, the path it hands back, its keys and buttons, the case of
// a missing Favorites folder, and where the Favorites folder is found.
#include "platform/Paths.h"
#include "transfer/FavoritesFolderDialog.h"
#include "transfer/FavoritesTree.h"

#include "common/FavoritesFixture.h"
#include "common/TransferFakes.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using FavoritesFixture::makeFolder;
using FavoritesFixture::writeFile;

namespace {

// "caption" for every node below the given one, nested nodes as "parent/caption", in the tree's order.
QStringList captions(const QTreeWidgetItem *node, const QString &prefix = QString())
{
    QStringList result;
    for (int i = 0; i < node->childCount(); ++i) {
        const QString path = prefix + node->child(i)->text(0);
        result << path << captions(node->child(i), path + QLatin1Char('/'));
    }
    return result;
}

} // namespace

class TestFavoritesFolderDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void folderTree();
    void selectedPath_data();
    void selectedPath();
    void captionsCannotBeEdited();
    void keysAndButtons_data();
    void keysAndButtons();
    void missingFavoritesFolder();
    void symbolicLinkCycle();
    void favoritesLocation_data();
    void favoritesLocation();

private:
    QTemporaryDir m_dir;
    QString m_root;
    FakePrompts m_prompts;
};

void TestFavoritesFolderDialog::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_root = m_dir.filePath(QStringLiteral("Favorites"));
    for (const char *folder : {"banana", "Apple/alpha", "Apple/Beta/Deep", "cherry",
                               "\xC3\x89"
                               "clair",
                               "Zebra", ".hidden/Inside"})
        QVERIFY(makeFolder(m_root + QLatin1Char('/') + QString::fromUtf8(folder)));
    QVERIFY(writeFile(m_root + QStringLiteral("/file.url"), "[InternetShortcut]\nURL=x\n"));
}

void TestFavoritesFolderDialog::folderTree()
{
    FavoritesTree tree;
    tree.Fill(m_root);
    QCOMPARE(tree.topLevelItemCount(), 1);
    QCOMPARE(tree.topNode()->text(0), QStringLiteral("Favorites"));
    QVERIFY(tree.topNode()->isSelected());
    QVERIFY(tree.topNode()->isExpanded());
    // Folders only, no hidden one, each level in the locale's order (by character codes "Zebra" would come
    // before "banana" and "Beta" before "alpha").
    QCOMPARE(captions(tree.topNode()),
             QStringList({"Apple", "Apple/alpha", "Apple/Beta", "Apple/Beta/Deep", "banana", "cherry",
                          QString::fromUtf8("\xC3\x89"
                                            "clair"),
                          "Zebra"}));

    tree.Fill(m_root + QStringLiteral("/cherry"));
    QCOMPARE(captions(tree.topNode()), QStringList());
    QCOMPARE(tree.selectedPath(), m_root + QStringLiteral("/cherry"));
}

void TestFavoritesFolderDialog::selectedPath_data()
{
    QTest::addColumn<QString>("rootSuffix");
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("pathSuffix");
    QTest::newRow("top node") << QString() << QStringLiteral("Favorites") << QString();
    QTest::newRow("top node, root with separator")
        << QStringLiteral("/") << QStringLiteral("Favorites") << QStringLiteral("/");
    QTest::newRow("first level") << QString() << QStringLiteral("banana") << QStringLiteral("/banana/");
    QTest::newRow("third level") << QString() << QStringLiteral("Deep") << QStringLiteral("/Apple/Beta/Deep/");
    QTest::newRow("third level, root with separator")
        << QStringLiteral("/") << QStringLiteral("Deep") << QStringLiteral("/Apple/Beta/Deep/");
    QTest::newRow("nothing selected") << QString() << QString() << QString();
}

void TestFavoritesFolderDialog::selectedPath()
{
    QFETCH(QString, rootSuffix);
    QFETCH(QString, node);
    QFETCH(QString, pathSuffix);
    FavoritesTree tree;
    tree.Fill(m_root + rootSuffix);
    tree.clearSelection();
    if (!node.isEmpty())
        tree.findItems(node, Qt::MatchExactly | Qt::MatchRecursive).value(0)->setSelected(true);
    QCOMPARE(tree.selectedPath(), m_root + pathSuffix);
}

void TestFavoritesFolderDialog::captionsCannotBeEdited()
{
    FavoritesFolderDialog form(nullptr, m_prompts, m_root);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    FavoritesTree *tree = form.favoritesTree();
    QTreeWidgetItem *apple = tree->topNode()->child(0);
    tree->setCurrentItem(apple);
    QTest::keyClick(tree, Qt::Key_F2);
    tree->editItem(apple);
    QVERIFY(!tree->findChild<QLineEdit *>());
    QCOMPARE(apple->text(0), QStringLiteral("Apple"));
}

void TestFavoritesFolderDialog::keysAndButtons_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("result");
    QTest::newRow("Esc") << 0 << int(FavoritesFolderDialog::Cancel);
    QTest::newRow("Cancel") << 1 << int(FavoritesFolderDialog::Cancel);
    QTest::newRow("Enter") << 2 << int(FavoritesFolderDialog::Ok);
    QTest::newRow("Ok") << 3 << int(FavoritesFolderDialog::Ok);
}

void TestFavoritesFolderDialog::keysAndButtons()
{
    QFETCH(int, action);
    QFETCH(int, result);
    FavoritesFolderDialog form(nullptr, m_prompts, m_root);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    switch (action) {
    case 0:
        QTest::keyClick(form.favoritesTree(), Qt::Key_Escape);
        break;
    case 1:
        QTest::mouseClick(form.cancelButton(), Qt::LeftButton);
        break;
    case 2:
        QTest::keyClick(form.favoritesTree(), Qt::Key_Return);
        break;
    default:
        QTest::mouseClick(form.okButton(), Qt::LeftButton);
        break;
    }
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), result);
}

void TestFavoritesFolderDialog::missingFavoritesFolder()
{
    for (const QString &root : {QString(), m_dir.filePath(QStringLiteral("missing"))}) {
        FavoritesFolderDialog form(nullptr, m_prompts, root);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.favoritesTree()->topLevelItemCount(), 0);
        QVERIFY(form.noFavoritesLabel()->isVisible());
        QVERIFY(form.browseButton()->isVisible());
        QVERIFY(!form.okButton()->isEnabled());

        m_prompts.folderName.clear(); // the folder chooser cancelled: nothing changes
        form.browseButton()->click();
        QVERIFY(!form.okButton()->isEnabled());

        m_prompts.folderName = m_root + QStringLiteral("/Apple");
        form.browseButton()->click();
        QVERIFY(form.okButton()->isEnabled());
        QVERIFY(!form.noFavoritesLabel()->isVisible());
        QCOMPARE(captions(form.favoritesTree()->topNode()), QStringList({"alpha", "Beta", "Beta/Deep"}));
        QCOMPARE(form.favoritesTree()->selectedPath(), m_prompts.folderName);
    }
}

void TestFavoritesFolderDialog::symbolicLinkCycle()
{
    QTemporaryDir dir;
    QVERIFY(makeFolder(dir.filePath(QStringLiteral("A/B"))));
    if (!QFile::link(dir.path(), dir.filePath(QStringLiteral("A/B/Up"))))
        QSKIP("This file system has no symbolic links");
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("A/B")), dir.filePath(QStringLiteral("Across"))));
    FavoritesTree tree;
    tree.Fill(dir.path());
    // "Up" leads back above itself and is never followed. "Across" leads to A/B, which is shown once
    // through a link at most: "Across" is followed only when the listing gives it before "A".
    const QStringList shown = captions(tree.topNode());
    QVERIFY2(shown == QStringList({"A", "A/B"}) || shown == QStringList({"A", "A/B", "Across"}),
             qPrintable(shown.join(QLatin1Char(','))));
}

void TestFavoritesFolderDialog::favoritesLocation_data()
{
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<QStringList>("folders"); // below the home folder
    QTest::addColumn<QString>("expected"); // below the home folder; "=" for the setting itself

    const QString wine = ".wine/drive_c/users/" + qEnvironmentVariable("USER") + "/Favorites";
    QTest::newRow("setting") << QVariant(QStringLiteral("/some/where")) << QStringList {"Favorites"} << "=";
    QTest::newRow("empty setting") << QVariant(QString()) << QStringList {"Favorites"} << "Favorites";
    QTest::newRow("setting of another type") << QVariant(42) << QStringList {"Favorites"} << "Favorites";
    QTest::newRow("home folder first") << QVariant() << QStringList {"Favorites", wine} << "Favorites";
    QTest::newRow("wine") << QVariant() << QStringList {wine} << wine;
    QTest::newRow("none") << QVariant() << QStringList() << QString();
}

void TestFavoritesFolderDialog::favoritesLocation()
{
    QFETCH(QVariant, setting);
    QFETCH(QStringList, folders);
    QFETCH(QString, expected);
    // The tests' home folder is theirs (see tests/CMakeLists.txt).
    const QString home = QDir::homePath();
    QVERIFY(home.contains(QStringLiteral("test-home")));
    QDir(home + QStringLiteral("/Favorites")).removeRecursively();
    QDir(home + QStringLiteral("/.wine")).removeRecursively();
    for (const QString &folder : folders)
        QVERIFY(makeFolder(home + QLatin1Char('/') + folder));
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orbrook Software"),
                           QStringLiteral("Quillmark"));
        settings.remove(QStringLiteral("Shell Folders"));
        if (setting.isValid())
            settings.setValue(QStringLiteral("Shell Folders/Favorites"), setting);
    }
    const QString found = platform::favoritesPath();
    if (expected == QLatin1String("="))
        QCOMPARE(found, setting.toString());
    else
        QCOMPARE(found, expected.isEmpty() ? QString() : home + QLatin1Char('/') + expected);
}

int main(int argc, char **argv)
{
    // The locale's collation orders the chooser's folders; the C locale would order them by codes.
    qputenv("LC_ALL", "en_US.UTF-8");
    if (qEnvironmentVariableIsEmpty("USER"))
        qputenv("USER", "tester");
    QApplication app(argc, argv);
    TestFavoritesFolderDialog test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_favoritesfolderdialog.moc"
