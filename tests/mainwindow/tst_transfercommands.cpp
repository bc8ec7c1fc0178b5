// The File menu's import and export commands (native link files, the Favorites import, the progress of
// the other formats), run against a stand-in main window and stand-in dialogs.
#include "formats/FormatCommands.h"
#include "mainwindow/TransferCommands.h"
#include "platform/Paths.h"
#include "store/NativeFile.h"
#include "transfer/DialogPrompts.h"
#include "transfer/LongCommands.h"

#include "common/FavoritesFixture.h"
#include "common/TransferEnd.h"
#include "common/TransferFakes.h"
#include "common/TreeBuilders.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>

using namespace TreeBuilders;
using FavoritesFixture::shortcut;
using FavoritesFixture::writeFile;

namespace {

// The folder "A" with the link "B" ("u", 3 visits, rating 4, last visit 1900-01-01 12:00), as version
// 10000 and as the first version (fromHex skips the blanks).
const QByteArray Example10000 = QByteArray::fromHex("10270000 "
                                                    "01000000 41 00000000 00000000 01 00000000 00 0000000000000000 "
                                                    "01000000 "
                                                    "01000000 42 01000000 75 00000000 00 03000000 04 0000000000000440 "
                                                    "00000000");
const QByteArray ExampleFirst = QByteArray::fromHex("01000000 41 00000000 00000000 01 00000000 01000000 "
                                                    "01000000 42 01000000 75 00000000 00 03000000 00000000");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Permissions without the "user" bits, which Qt reports beside the owner's.
QFileDevice::Permissions modeBits(QFileDevice::Permissions permissions)
{
    return permissions & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

int countItems(const LinkItem &folder)
{
    int count = 0;
    for (const auto &child : folder.Children)
        count += 1 + countItems(*child);
    return count;
}

void setFavoritesLocation(const QString &path)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orbrook Software"),
                       QStringLiteral("Quillmark"));
    settings.setValue(QStringLiteral("Shell Folders/Favorites"), path);
    settings.sync();
}

} // namespace

class TestTransferCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fileDialogs_data();
    void fileDialogs();
    void exportExample();
    void exportReplacesAtomically();
    void exportCancelledOrFailing();
    void importFile_data();
    void importFile();
    void importKeepsTheFolderAndDoubles();
    void importCancelledOrUnreadable();
    void importDamaged();
    void eventLoopRunsWhileReading();
    void cancelKeepsWhatWasRead_data();
    void cancelKeepsWhatWasRead();
    void progressSaysWhatItDoes_data();
    void progressSaysWhatItDoes();
    void favorites_data();
    void favorites();
    void favoritesWithoutFavoritesFolder();

private:
    // Runs the command and waits for the end of the transfer it started, if any.
    bool runImport(BookmarkFormat format)
    {
        m_commands->importFormat(format);
        return waitForTransferEnd(m_commands.get());
    }
    bool runExport(BookmarkFormat format)
    {
        m_commands->exportFormat(format);
        return waitForTransferEnd(m_commands.get());
    }

    QTemporaryDir m_dir;
    ShownFolder m_host;
    FakePrompts m_prompts;
    std::unique_ptr<TransferCommands> m_commands;
    std::unique_ptr<LinkItem> m_folder;
};

void TestTransferCommands::init()
{
    QVERIFY(m_dir.isValid());
    m_folder = LinkItem::MakeFolder("Target");
    m_host.show(m_folder.get());
    m_prompts = FakePrompts();
    m_commands = std::make_unique<TransferCommands>(&m_host.document, &m_host.view, &m_host.window);
    m_commands->setPrompts(&m_prompts);
}

void TestTransferCommands::cleanup()
{
    m_host.show(nullptr);
    m_commands.reset();
    m_folder.reset();
}

void TestTransferCommands::fileDialogs_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("export") << true;
    QTest::newRow("import") << false;
}

// The real dialogs as DialogPrompts sets them up (the other tests answer them through FakePrompts).
void TestTransferCommands::fileDialogs()
{
    QFETCH(bool, save);
    const FileDialogSettings settings = TransferCommands::fileDialogSettings(BookmarkFormat::Native, save);
    const auto dialog = DialogPrompts::makeFileDialog(&m_host.window, settings, save);
    QCOMPARE(dialog->windowTitle(),
             save ? QStringLiteral("Export Quillmark File") : QStringLiteral("Import Quillmark File"));
    QCOMPARE(dialog->nameFilters(), QStringList {"Quillmark Files (*.qmf)"});
    QCOMPARE(dialog->defaultSuffix(), QStringLiteral("qmf"));
    QCOMPARE(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QCOMPARE(dialog->fileMode(), save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite)); // asks before overwriting
    QCOMPARE(dialog->parentWidget(), &m_host.window);
}

void TestTransferCommands::exportExample()
{
    LinkItem &a = *m_folder;
    a.Name = "A";
    LinkItem *b = addLink(a, "B", "u");
    b->Visits = 3;
    b->Rating = 4;
    b->LastVisit = 2.5;
    m_prompts.fileName = m_dir.filePath(QStringLiteral("example.qmf"));
    QVERIFY(runExport(BookmarkFormat::Native));

    QCOMPARE(readFile(m_prompts.fileName), Example10000);
    QVERIFY(m_prompts.lastWasSave);
    QCOMPARE(m_prompts.lastFileDialog.title, QStringLiteral("Export Quillmark File"));
    QCOMPARE(m_prompts.lastFileDialog.filter, QStringLiteral("Quillmark Files (*.qmf)"));
    QCOMPARE(m_prompts.lastFileDialog.defaultSuffix, QStringLiteral("qmf"));
    // An ordinary file of the user's, not a private one; nothing else changes.
    const auto expected = platform::userFilePermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                        | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    QCOMPARE(modeBits(QFile::permissions(m_prompts.fileName)), modeBits(expected));
    QCOMPARE(m_host.refreshes, 0);
    QVERIFY(m_host.statusTexts.isEmpty());
    QVERIFY(m_prompts.errors.isEmpty());
}

void TestTransferCommands::exportReplacesAtomically()
{
    const QString path = m_dir.filePath(QStringLiteral("replaced.qmf"));
    QVERIFY(writeFile(path, QByteArray(1000, 'x')));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    m_prompts.fileName = path;
    QVERIFY(runExport(BookmarkFormat::Native));

    QByteArray expected = QByteArray::fromHex("10270000") + fields10000("Target") + int32(0);
    QCOMPARE(readFile(path), expected);
    QCOMPARE(modeBits(QFile::permissions(path)),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("replaced")).size(), 1);
}

void TestTransferCommands::exportCancelledOrFailing()
{
    QVERIFY(runExport(BookmarkFormat::Native)); // cancelled: no file name
    QVERIFY(m_prompts.errors.isEmpty());

    m_prompts.fileName = m_dir.filePath(QStringLiteral("missing/folder/out.qmf"));
    QVERIFY(runExport(BookmarkFormat::Native));
    QCOMPARE(m_prompts.errors,
             QStringList {"Cannot create file " + QDir::toNativeSeparators(m_prompts.fileName) + "."});
    QVERIFY(!QFile::exists(m_prompts.fileName));
}

void TestTransferCommands::importFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rating");
    QTest::addColumn<double>("lastVisit");

    QTest::newRow("version 10000") << Example10000 << 4 << 2.5;
    QTest::newRow("first version") << ExampleFirst << 0 << 0.0;
    // 10001 is no version number but the length of a first-version name.
    QTest::newRow("first version, name of 10001 bytes")
        << firstVersionFields(QByteArray(10001, 'n')) + int32(1) + firstVersionFields("B", "u", false, 3) + int32(0)
        << 0 << 0.0;
}

void TestTransferCommands::importFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, rating);
    QFETCH(double, lastVisit);
    m_prompts.fileName = m_dir.filePath(QStringLiteral("import.qmf"));
    QVERIFY(writeFile(m_prompts.fileName, bytes));
    QVERIFY(runImport(BookmarkFormat::Native));

    QVERIFY(!m_prompts.lastWasSave);
    QCOMPARE(m_prompts.lastFileDialog.title, QStringLiteral("Import Quillmark File"));
    QCOMPARE(m_prompts.lastFileDialog.defaultSuffix, QStringLiteral("qmf"));
    QCOMPARE(m_folder->Children.Count(), 1);
    const LinkItem *b = m_folder->Children.Get(0);
    QCOMPARE(b->Name, std::string("B"));
    QCOMPARE(b->Url, std::string("u"));
    QCOMPARE(b->Visits, 3);
    QCOMPARE(int(b->Rating), rating);
    QCOMPARE(b->LastVisit, lastVisit);
    QCOMPARE(b->Parent, m_folder.get());
    QCOMPARE(m_host.refreshes, 1);
    QCOMPARE(m_host.statusTexts, QStringList {"1 objects"});
    QVERIFY(m_prompts.errors.isEmpty() && m_prompts.warnings.isEmpty());
}

void TestTransferCommands::importKeepsTheFolderAndDoubles()
{
    m_folder->Name = "Quillmark";
    m_folder->Visits = 5;
    m_folder->Rating = 2;
    addLink(*m_folder, "B", "older");
    addLink(*m_folder, "C", "c");
    m_prompts.fileName = m_dir.filePath(QStringLiteral("twice.qmf"));
    QVERIFY(writeFile(m_prompts.fileName, Example10000));
    QVERIFY(runImport(BookmarkFormat::Native));
    QVERIFY(runImport(BookmarkFormat::Native));

    // The file's top record ("A") names nothing: the shown folder keeps its own fields.
    QCOMPARE(m_folder->Name, std::string("Quillmark"));
    QCOMPARE(m_folder->Visits, 5 + 2 * 2);
    QCOMPARE(int(m_folder->Rating), 2);
    QStringList urls;
    for (const auto &child : m_folder->Children)
        urls << QString::fromStdString(child->Name.str() + ' ' + child->Url.str());
    QCOMPARE(urls, QStringList({"B older", "B u", "B u", "C c"}));
    QCOMPARE(m_host.statusTexts, QStringList({"3 objects", "4 objects"}));
}

void TestTransferCommands::importCancelledOrUnreadable()
{
    addLink(*m_folder, "B", "b");
    QVERIFY(runImport(BookmarkFormat::Native)); // cancelled
    QCOMPARE(m_host.statusTexts, QStringList {"1 objects"});
    QCOMPARE(m_host.refreshes, 0);

    m_prompts.fileName = m_dir.filePath(QStringLiteral("missing.qmf"));
    QVERIFY(runImport(BookmarkFormat::Native));
    QCOMPARE(m_prompts.errors, QStringList {"Cannot open file " + QDir::toNativeSeparators(m_prompts.fileName) + "."});
    QCOMPARE(m_folder->Children.Count(), 1);
    QCOMPARE(m_host.statusTexts.size(), 2);
    QCOMPARE(m_host.refreshes, 0); // nothing was read: the list is not refilled
}

void TestTransferCommands::importDamaged()
{
    LinkItem exported;
    addLink(*addFolder(exported, "F"), "x", "http://x/");
    addLink(exported, "y", "http://y/");
    addLink(exported, "z", "http://z/");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(NativeFile::write(buffer, exported, nullptr));
    // Cut inside the last record's last visit: "z" is kept with its name and what came before it.
    m_prompts.fileName = m_dir.filePath(QStringLiteral("damaged.qmf"));
    QVERIFY(writeFile(m_prompts.fileName, buffer.data().chopped(8)));
    QVERIFY(runImport(BookmarkFormat::Native));

    QCOMPARE(m_prompts.warnings,
             QStringList {"The file " + QDir::toNativeSeparators(m_prompts.fileName)
                          + " is damaged. 1 folders and 3 links were imported from it."});
    QCOMPARE(countItems(*m_folder), 4);
    QCOMPARE(m_host.refreshes, 1);
    QCOMPARE(m_host.statusTexts, QStringList {"3 objects"});
}

void TestTransferCommands::eventLoopRunsWhileReading()
{
    // A file that takes a while to read.
    QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    constexpr int Links = 100000;
    for (int i = 0; i < Links; ++i)
        html += "<DT><A HREF=\"http://x.example/" + QByteArray::number(i) + "\">link " + QByteArray::number(i)
            + "</A>\n";
    html += "</DL><p>\n";
    m_prompts.fileName = m_dir.filePath(QStringLiteral("large.html"));
    QVERIFY(writeFile(m_prompts.fileName, html));
    int turns = 0;
    QTimer turn;
    turn.setInterval(0);
    connect(&turn, &QTimer::timeout, this, [&turns] { ++turns; });
    turn.start();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(runImport(BookmarkFormat::BrowserHtml));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(m_folder->Children.Count(), Links);
    // The loop turns all the while, not only when a reader's progress call lets the events run (every 40 ms).
    QVERIFY2(turns >= elapsed / 10, qPrintable(QStringLiteral("%1 turns in %2 ms").arg(turns).arg(elapsed)));
}

void TestTransferCommands::cancelKeepsWhatWasRead_data()
{
    QTest::addColumn<bool>("exit");
    QTest::newRow("Cancel") << false;
    QTest::newRow("the program ends") << true;
}

void TestTransferCommands::cancelKeepsWhatWasRead()
{
    QFETCH(bool, exit);
    LinkItem exported;
    for (int i = 0; i < 5000; ++i)
        addLink(exported, "link " + std::to_string(i), "http://x/");
    m_prompts.fileName = m_dir.filePath(QStringLiteral("large.qmf"));
    QVERIFY(NativeFile::saveAtomically(m_prompts.fileName, exported, nullptr, NativeFile::Sync::NoSync));
    // The real reader, held at its first progress report (every 1024 items) until the import is cancelled.
    std::atomic_bool reported = false;
    m_commands->setReader(
        [&reported](BookmarkFormat format, const QString &path, LinkItem &target, const Progress &progress) {
            return FormatCommands::importFrom(format, path, target, [&reported, &progress](int folders, int links) {
                reported = true;
                while (progress(folders, links))
                    QThread::msleep(1);
                return false;
            });
        });
    // The end of the program comes before the progress dialog shows.
    m_commands->setProgressDelay(exit ? 60000 : 0);
    auto *field = new QLineEdit(&m_host.window);
    QSignalSpy allEnded(&LongCommands::instance(), &LongCommands::allEnded);
    m_commands->importFormat(BookmarkFormat::Native);
    QVERIFY(LongCommands::instance().running());
    QTRY_VERIFY(reported);
    // No input reaches the window while the import runs, with or without the dialog.
    QTest::keyClicks(field, QStringLiteral("typed"));
    QCOMPARE(field->text(), QString());
    if (exit) {
        QVERIFY(!m_host.window.findChild<QProgressDialog *>());
        LongCommands::instance().cancelAll();
    } else {
        m_host.window.findChild<QProgressDialog *>()->findChild<QPushButton *>()->click();
    }
    QVERIFY(waitForTransferEnd(m_commands.get()));
    QTest::keyClicks(field, QStringLiteral("typed"));
    QCOMPARE(field->text(), QStringLiteral("typed"));
    delete field;

    QCOMPARE(m_prompts.informations, QStringList {"The import was cancelled. 0 folders and 1024 links were imported."});
    QCOMPARE(m_folder->Children.Count(), 1024);
    QCOMPARE(m_host.statusTexts, QStringList {"1024 objects"});
    QCOMPARE(allEnded.size(), 1);
    QVERIFY(!LongCommands::instance().running() && !LongCommands::instance().cancelRequested());
}

void TestTransferCommands::progressSaysWhatItDoes_data()
{
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<QString>("text");
    QTest::newRow("import") << false << "Importing...\n0 folders and \\d+ links read so far.";
    QTest::newRow("export") << true << "Exporting...\n0 folders and \\d+ links written so far.";
}

void TestTransferCommands::progressSaysWhatItDoes()
{
    QFETCH(bool, exporting);
    QFETCH(QString, text);
    LinkItem many;
    for (int i = 0; i < 2000; ++i)
        addLink(many, "link " + std::to_string(i), "http://x/");
    m_prompts.fileName = m_dir.filePath(QStringLiteral("many.qmf"));
    QVERIFY(NativeFile::saveAtomically(m_prompts.fileName, many, nullptr, NativeFile::Sync::NoSync));
    if (exporting) {
        m_host.show(&many);
        m_prompts.fileName = m_dir.filePath(QStringLiteral("many.html"));
    }
    m_commands->setProgressDelay(0);
    if (exporting)
        m_commands->exportFormat(BookmarkFormat::BrowserHtml);
    else
        m_commands->importFormat(BookmarkFormat::Native);
    // What the dialog says as it shows.
    auto *dialog = m_host.window.findChild<QProgressDialog *>();
    QVERIFY(dialog && dialog->isVisible() && dialog->isModal());
    const QString shown = dialog->labelText();
    QVERIFY(waitForTransferEnd(m_commands.get()));
    m_host.show(m_folder.get());
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(text)).match(shown).hasMatch(), qPrintable(shown));
}

void TestTransferCommands::favorites_data()
{
    QTest::addColumn<QString>("choose"); // the node's caption; empty for the top node; "-" to cancel
    QTest::addColumn<QStringList>("names");

    QTest::newRow("top node") << QString() << QStringList({"Links", "News", "a", "b"});
    QTest::newRow("subfolder") << QStringLiteral("Links") << QStringList({"Sub", "c"});
    QTest::newRow("nested subfolder") << QStringLiteral("Sub") << QStringList({"d"});
    QTest::newRow("cancelled") << QStringLiteral("-") << QStringList();
}

void TestTransferCommands::favorites()
{
    QFETCH(QString, choose);
    QFETCH(QStringList, names);
    const QString root = m_dir.filePath(QStringLiteral("Favorites"));
    QVERIFY(writeFile(root + "/a.url", shortcut("http://a/")));
    QVERIFY(writeFile(root + "/b.url", shortcut("http://b/")));
    QVERIFY(writeFile(root + "/Links/c.url", shortcut("http://c/")));
    QVERIFY(writeFile(root + "/Links/Sub/d.url", shortcut("http://d/")));
    QVERIFY(FavoritesFixture::makeFolder(root + "/News"));
    setFavoritesLocation(root);

    m_prompts.chooser = [&choose](FavoritesFolderDialog &form) {
        if (choose == QLatin1String("-"))
            return int(FavoritesFolderDialog::Cancel);
        FavoritesTree *tree = form.favoritesTree();
        if (!choose.isEmpty())
            tree->setCurrentItem(tree->findItems(choose, Qt::MatchExactly | Qt::MatchRecursive).value(0));
        return int(FavoritesFolderDialog::Ok);
    };
    for (int round = 1; round <= 2; ++round) {
        QVERIFY(runImport(BookmarkFormat::Favorites));
        QCOMPARE(m_prompts.chooserCaption, QStringLiteral("Import Internet Explorer Favorites"));
        QCOMPARE(m_prompts.chooserPrompt, QStringLiteral("Select which folder you want to import from."));
        QStringList children;
        for (const auto &child : m_folder->Children)
            children << QString::fromStdString(child->Name.str());
        // Each import adds every item once more.
        QStringList expected;
        for (const QString &name : names)
            expected << QStringList(round, name);
        QCOMPARE(children, expected);
        const int refreshes = names.isEmpty() ? 0 : round;
        QCOMPARE(m_host.refreshes, refreshes);
        QCOMPARE(m_folder->Visits, 2 * refreshes);
        QCOMPARE(m_host.statusTexts.size(), refreshes);
        if (refreshes)
            QCOMPARE(m_host.statusTexts.last(), QString::number(expected.size()) + " objects");
    }
}

void TestTransferCommands::favoritesWithoutFavoritesFolder()
{
    const QString root = m_dir.filePath(QStringLiteral("Elsewhere"));
    QVERIFY(writeFile(root + "/Picked/p.url", shortcut("http://p/")));
    setFavoritesLocation(m_dir.filePath(QStringLiteral("No such folder")));
    m_prompts.folderName = root;
    bool okWasEnabled = true;
    m_prompts.chooser = [&okWasEnabled](FavoritesFolderDialog &form) {
        okWasEnabled = form.okButton()->isEnabled();
        form.browseButton()->click();
        return int(FavoritesFolderDialog::Ok);
    };
    QVERIFY(runImport(BookmarkFormat::Favorites));

    QVERIFY(!okWasEnabled);
    QCOMPARE(m_folder->Children.Count(), 1);
    QCOMPARE(m_folder->Children.Get(0)->Name, std::string("Picked"));
    QCOMPARE(m_folder->Children.Get(0)->Children.Get(0)->Url, std::string("http://p/"));
}

QTEST_MAIN(TestTransferCommands)
#include "tst_transfercommands.moc"
