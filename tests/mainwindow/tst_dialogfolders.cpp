// Where the import and export dialogs start, and the names the exports suggest.
#include "mainwindow/TransferCommands.h"
#include "settings/Settings.h"
#include "transfer/DialogFolders.h"
#include "transfer/DialogPrompts.h"

#include "common/TransferEnd.h"
#include "common/TransferFakes.h"
#include "common/TreeBuilders.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace TreeBuilders;

class TestDialogFolders : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstExisting_data();
    void firstExisting();
    void eachDialogRemembersItsFolder_data();
    void eachDialogRemembersItsFolder();
    void cancelKeepsTheFolder();
    void suggestedNames_data();
    void suggestedNames();
    void realDialogStartsThere();

private:
    QString documents() const { return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); }

    QTemporaryDir m_dir;
    ShownFolder m_host;
    FakePrompts m_prompts;
    std::unique_ptr<TransferCommands> m_commands;
    std::unique_ptr<LinkItem> m_folder;
};

void TestDialogFolders::initTestCase()
{
    // The home and its Documents folder are the test's own, also when run outside CTest.
    QVERIFY(m_dir.isValid());
    qputenv("HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home/.config"))));
    QVERIFY(QDir().mkpath(QDir::homePath()));
    QVERIFY(documents().startsWith(m_dir.path()));
}

void TestDialogFolders::init()
{
    QVERIFY(m_dir.isValid());
    Settings::SetStorageFolder(m_dir.filePath(QStringLiteral("config")));
    QVERIFY(QDir().mkpath(documents()));
    m_folder = LinkItem::MakeFolder("Target");
    addLink(*m_folder, "a", "http://a");
    m_host.show(m_folder.get());
    m_prompts = FakePrompts();
    m_commands = std::make_unique<TransferCommands>(&m_host.document, &m_host.view, &m_host.window);
    m_commands->setPrompts(&m_prompts);
}

void TestDialogFolders::cleanup()
{
    m_commands.reset();
    m_host.show(nullptr);
    QDir(m_dir.filePath(QStringLiteral("config"))).removeRecursively();
    if (documents().startsWith(m_dir.path()))
        QDir(documents()).removeRecursively();
}

void TestDialogFolders::firstExisting_data()
{
    QTest::addColumn<bool>("rememberedThere");
    QTest::addColumn<bool>("documentsThere");
    QTest::addColumn<QString>("expected");
    QTest::newRow("remembered") << true << true << "remembered";
    QTest::newRow("remembered one gone") << false << true << "documents";
    QTest::newRow("only the home") << false << false << "home";
    QTest::newRow("remembered without documents") << true << false << "remembered";
}

void TestDialogFolders::firstExisting()
{
    QFETCH(bool, rememberedThere);
    QFETCH(bool, documentsThere);
    QFETCH(QString, expected);
    const QString remembered = m_dir.filePath(QStringLiteral("remembered"));
    const QString docs = m_dir.filePath(QStringLiteral("documents"));
    const QString home = m_dir.filePath(QStringLiteral("home"));
    if (rememberedThere)
        QVERIFY(QDir().mkpath(remembered));
    if (documentsThere)
        QVERIFY(QDir().mkpath(docs));
    QCOMPARE(DialogFolders::firstExisting(remembered, docs, home), m_dir.filePath(expected));
    QDir(remembered).removeRecursively();
    QDir(docs).removeRecursively();
}

void TestDialogFolders::eachDialogRemembersItsFolder_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("save");
    QTest::newRow("import html") << int(BookmarkFormat::BrowserHtml) << false;
    QTest::newRow("export xbel") << int(BookmarkFormat::Xbel) << true;
    QTest::newRow("export page") << int(BookmarkFormat::Page) << true;
    QTest::newRow("import native") << int(BookmarkFormat::Native) << false;
    QTest::newRow("export favorites") << int(BookmarkFormat::Favorites) << true;
}

void TestDialogFolders::eachDialogRemembersItsFolder()
{
    QFETCH(int, format);
    QFETCH(bool, save);
    const auto bookmarkFormat = BookmarkFormat(format);
    const bool toFolder = bookmarkFormat == BookmarkFormat::Favorites;
    const auto run = [&] {
        if (save)
            m_commands->exportFormat(bookmarkFormat);
        else
            m_commands->importFormat(bookmarkFormat);
        if (!waitForTransferEnd(m_commands.get()))
            return QStringLiteral("not ended");
        return toFolder ? m_prompts.folderChooserStart : m_prompts.lastFileDialog.folder;
    };
    // Never used: the Documents folder; without it the home folder.
    QCOMPARE(run(), documents());
    QVERIFY(QDir(documents()).removeRecursively());
    QCOMPARE(run(), QDir::homePath());

    const QString chosen = m_dir.filePath(QStringLiteral("chosen"));
    QVERIFY(QDir().mkpath(chosen));
    m_prompts.fileName = chosen + QStringLiteral("/file.") + BookmarkFormatInfo::of(bookmarkFormat).defaultSuffix;
    m_prompts.folderName = chosen + QStringLiteral("/sub");
    QVERIFY(QDir().mkpath(m_prompts.folderName));
    run();
    const QString expected = toFolder ? m_prompts.folderName : chosen;
    m_prompts.fileName.clear();
    m_prompts.folderName.clear();
    QCOMPARE(run(), expected);
    // The other direction of the same format, and another format, have folders of their own.
    if (!toFolder) {
        if (save)
            m_commands->importFormat(BookmarkFormat::OperaHotlist);
        else
            m_commands->exportFormat(BookmarkFormat::OperaHotlist);
        QVERIFY(waitForTransferEnd(m_commands.get()));
        QCOMPARE(m_prompts.lastFileDialog.folder, QDir::homePath());
    }
    // A remembered folder that is gone no longer counts.
    QVERIFY(QDir(expected).removeRecursively());
    QCOMPARE(run(), QDir::homePath());
    QDir(chosen).removeRecursively();
}

void TestDialogFolders::cancelKeepsTheFolder()
{
    const QString chosen = m_dir.filePath(QStringLiteral("kept"));
    QVERIFY(QDir().mkpath(chosen));
    m_prompts.fileName = chosen + QStringLiteral("/out.html");
    m_commands->exportFormat(BookmarkFormat::BrowserHtml);
    QVERIFY(waitForTransferEnd(m_commands.get()));
    m_prompts.fileName.clear(); // cancelled
    m_commands->exportFormat(BookmarkFormat::BrowserHtml);
    m_commands->exportFormat(BookmarkFormat::BrowserHtml);
    QCOMPARE(m_prompts.lastFileDialog.folder, chosen);
    QDir(chosen).removeRecursively();
}

void TestDialogFolders::suggestedNames_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QString>("expected");
    QTest::newRow("browser html") << int(BookmarkFormat::BrowserHtml) << "Work"
                                  << "bookmarks.html";
    QTest::newRow("xbel") << int(BookmarkFormat::Xbel) << "Work"
                          << "bookmarks.xbel";
    QTest::newRow("hotlist") << int(BookmarkFormat::OperaHotlist) << "Work"
                             << "bookmarks.adr";
    QTest::newRow("page") << int(BookmarkFormat::Page) << "Work"
                          << "Work.html";
    QTest::newRow("page, slashes") << int(BookmarkFormat::Page) << "a/b\\c"
                                   << "a_b_c.html";
    QTest::newRow("page, unnamed") << int(BookmarkFormat::Page) << ""
                                   << "bookmarks.html";
    QTest::newRow("page, dots") << int(BookmarkFormat::Page) << ".."
                                << "bookmarks.html";
    QTest::newRow("own file") << int(BookmarkFormat::Native) << "Work"
                              << "";
}

void TestDialogFolders::suggestedNames()
{
    QFETCH(int, format);
    QFETCH(QString, folderName);
    QFETCH(QString, expected);
    m_folder->Name = folderName.toStdString();
    m_commands->exportFormat(BookmarkFormat(format));
    QVERIFY(waitForTransferEnd(m_commands.get()));
    QVERIFY(m_prompts.lastWasSave);
    QCOMPARE(m_prompts.lastFileDialog.suggestedName, expected);
}

void TestDialogFolders::realDialogStartsThere()
{
    FileDialogSettings settings = TransferCommands::fileDialogSettings(BookmarkFormat::Xbel, true);
    settings.folder = m_dir.path();
    settings.suggestedName = QStringLiteral("bookmarks.xbel");
    const auto dialog = DialogPrompts::makeFileDialog(&m_host.window, settings, true);
    QCOMPARE(dialog->directory().absolutePath(), QDir(m_dir.path()).absolutePath());
    QCOMPARE(dialog->selectedFiles().value(0), QDir(m_dir.path()).filePath(QStringLiteral("bookmarks.xbel")));
}

QTEST_MAIN(TestDialogFolders)
#include "tst_dialogfolders.moc"
