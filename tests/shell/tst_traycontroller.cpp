#include "common/SilentReporter.h"
#include "common/TransferFakes.h"
#include "common/TreeBuilders.h"
#include "formats/FormatCommands.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/TransferCommands.h"
#include "platform/TerminationSignals.h"
#include "settings/Settings.h"
#include "shell/TrayController.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace TreeBuilders;

namespace {
constexpr int ManyLinks = 20000;

void addManyLinks(LinkItem &folder)
{
    std::vector<std::unique_ptr<LinkItem>> links;
    for (int i = 0; i < ManyLinks; ++i)
        links.push_back(LinkItem::MakeLink("link " + std::to_string(i), "http://example.org/" + std::to_string(i)));
    folder.Children.InsertSortedBatch(std::move(links));
}

// The file dialogs answer with a path; with a dialog, the open dialog is a real modal one that the
// test leaves open, so that it gives the path only if someone accepts it.
class ModalPrompts : public FakePrompts
{
public:
    bool modal = false;
    QString openFileName(QWidget *parent, const FileDialogSettings &settings) override
    {
        if (!modal)
            return FakePrompts::openFileName(parent, settings);
        QDialog dialog(parent);
        return dialog.exec() == QDialog::Accepted ? fileName : QString();
    }
};
} // namespace

class TestTrayController : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showsTheMainWindowAtStart();
    void openHideToggles();
    void hiddenWindowIsBroughtBack();
    void trayMenu();
    void exitSavesAndFinishes();
    void exitWithFailedSaveKeepsRunning();
    void terminationWaitsForTheCommand_data();
    void terminationWaitsForTheCommand();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTrayController::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
    Settings::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
    Settings().SetShowTip(false); // the tip of the day would wait for a click at the first activation
}

void TestTrayController::cleanup()
{
    m_dir.reset();
}

void TestTrayController::showsTheMainWindowAtStart()
{
    TrayController owner(false);
    QVERIFY(owner.MainWindowShown());
    QVERIFY(owner.mainWindow()->isVisible());
    // Without a notification area the window must stay reachable: closing it ends the program.
    QVERIFY(!owner.mainWindow()->hideOnClose());
}

void TestTrayController::openHideToggles()
{
    TrayController owner(false);
    owner.openHideAction()->trigger();
    QVERIFY(!owner.MainWindowShown());
    QVERIFY(owner.mainWindow()->isHidden());
    owner.openHideAction()->trigger();
    QVERIFY(owner.MainWindowShown());
    QVERIFY(owner.mainWindow()->isVisible());
}

void TestTrayController::hiddenWindowIsBroughtBack()
{
    TrayController owner(false);
    owner.mainWindow()->setHideOnClose(true);
    owner.mainWindow()->close(); // hides and tells the owner
    QVERIFY(owner.mainWindow()->isHidden());
    QVERIFY(!owner.MainWindowShown());

    owner.ActivateMainWindow();
    QVERIFY(owner.mainWindow()->isVisible());
    QVERIFY(owner.MainWindowShown());
    // One toggle after the hand-over hides it again.
    owner.toggleMainWindow();
    QVERIFY(owner.mainWindow()->isHidden());
}

void TestTrayController::trayMenu()
{
    TrayController owner(false);
    const QList<QAction *> entries = owner.trayMenu()->actions();
    QCOMPARE(entries.size(), 4);
    QCOMPARE(entries.at(0)->text(), QStringLiteral("Open/Hide Quillmark"));
    QVERIFY(entries.at(0)->font().bold());
    QCOMPARE(owner.trayMenu()->defaultAction(), entries.at(0));
    // "Sync Now" is there once the window's is: when a server is set.
    QCOMPARE(entries.at(1)->text(), QStringLiteral("Sync No&w"));
    QVERIFY(!entries.at(1)->isEnabled());
    owner.mainWindow()->actions()->syncNow->setEnabled(true);
    QVERIFY(entries.at(1)->isEnabled());
    QVERIFY(entries.at(2)->isSeparator());
    QCOMPARE(entries.at(3)->text(), QStringLiteral("E&xit"));
}

void TestTrayController::exitSavesAndFinishes()
{
    TrayController owner(false);
    addLink(*owner.mainWindow()->repository()->Root(), "saved", "http://saved");
    QSignalSpy finished(&owner, &TrayController::finished);
    owner.exitAction()->trigger();
    // Hidden at once; the program goes on once the collection is written.
    QVERIFY(owner.mainWindow()->isHidden());
    QTRY_COMPARE(finished.size(), 1);

    Repository written;
    QCOMPARE(written.Root()->Children.Count(), 1);
    Settings reg;
    QCOMPARE(reg.GetWindowBounds().width(), owner.mainWindow()->width());
}

void TestTrayController::exitWithFailedSaveKeepsRunning()
{
    const QString blocker = m_dir->filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker + QStringLiteral("/data")));

    TrayController owner(false);
    QSignalSpy finished(&owner, &TrayController::finished);
    // The error box would wait for a click: close it as soon as it shows.
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->inherits("QMessageBox") && widget->isVisible())
                widget->close();
        }
    });
    closer.start(50);
    QVERIFY(!owner.exitProgram());
    QCOMPARE(finished.size(), 0);
    QVERIFY(owner.mainWindow()->repository());
    QVERIFY(owner.mainWindow()->isVisible());
}

void TestTrayController::terminationWaitsForTheCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("modal");
    QTest::newRow("native import") << "importQuillmark" << false;
    QTest::newRow("bookmark file import") << "importMozilla" << false;
    QTest::newRow("bookmark file export") << "exportMozilla" << false;
    QTest::newRow("import's file dialog") << "importMozilla" << true;
}

void TestTrayController::terminationWaitsForTheCommand()
{
    QFETCH(QString, command);
    QFETCH(bool, modal);
    const bool exporting = command.startsWith(QLatin1String("export"));
    ModalPrompts prompts;
    prompts.modal = modal;
    if (exporting) {
        prompts.fileName = m_dir->filePath(QStringLiteral("out.html"));
    } else {
        LinkItem many;
        addManyLinks(many);
        prompts.fileName = m_dir->filePath(command == QLatin1String("importQuillmark") ? QStringLiteral("in.qmf")
                                                                                       : QStringLiteral("in.html"));
        const BookmarkFormat format
            = command == QLatin1String("importQuillmark") ? BookmarkFormat::Native : BookmarkFormat::BrowserHtml;
        QVERIFY(FormatCommands::exportTo(format, prompts.fileName, many).ok());
    }

    TrayController owner(false);
    MainWindow *window = owner.mainWindow();
    LinkItem *root = window->repository()->Root();
    addLink(*root, "kept", "http://kept.example");
    if (exporting)
        addManyLinks(*root);
    window->transferCommands()->setPrompts(&prompts);
    window->transferCommands()->setProgressDelay(0);
    MainActions *a = window->actions();
    const QHash<QString, QAction *> actions {{"importQuillmark", a->importAction(BookmarkFormat::Native)},
                                             {"importMozilla", a->importAction(BookmarkFormat::BrowserHtml)},
                                             {"exportMozilla", a->exportAction(BookmarkFormat::BrowserHtml)}};

    TerminationSignals termination;
    QVERIFY(termination.install());
    owner.exitOnRequest(termination);
    bool inCommand = false;
    bool endedInCommand = false;
    int countAfterCommand = -1;
    connect(&owner, &TrayController::finished, this, [&] { endedInCommand = inCommand; });
    QSignalSpy finished(&owner, &TrayController::finished);

    // Stands for the program's main loop; the command's dialogs and progress run inside it.
    QEventLoop mainLoop;
    QTimer::singleShot(0, this, [&] {
        // The signal waits in its socket until the command first lets the events run.
        ::raise(SIGTERM);
        inCommand = true;
        actions.value(command)->trigger();
        inCommand = false;
        countAfterCommand = root->Children.Count();
    });
    connect(&owner, &TrayController::finished, &mainLoop, &QEventLoop::quit);
    QTimer::singleShot(20000, &mainLoop, &QEventLoop::quit);
    mainLoop.exec();

    QCOMPARE(finished.size(), 1);
    QVERIFY(!endedInCommand);
    // The command stopped early: an import keeps what it read, an export leaves no file.
    if (modal)
        QCOMPARE(countAfterCommand, 1);
    else if (exporting)
        QVERIFY(!QFile::exists(prompts.fileName));
    else
        QVERIFY2(countAfterCommand > 1 && countAfterCommand < 1 + ManyLinks,
                 qPrintable(QString::number(countAfterCommand)));
    // What the collection held when the command stopped is saved, whole.
    SilentReporter silent;
    Repository written(&silent);
    QCOMPARE(written.loadState(), Repository::LoadState::Loaded);
    QCOMPARE(written.Root()->Children.Count(), countAfterCommand);
}

QTEST_MAIN(TestTrayController)
#include "tst_traycontroller.moc"
