#include "common/TreeBuilders.h"
#include "mainwindow/SDIAppForm.h"
#include "shell/Form2.h"
#include "shell/Reg.h"
#include "store/LinkItem.h"
#include "store/Repository.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QApplication>
#include <QTest>
#include <QTimer>

using namespace TreeBuilders;

class TestForm2 : public QObject
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

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestForm2::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
    TReg::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
    TReg().SetShowTip(false); // the tip of the day would wait for a click at the first activation
}

void TestForm2::cleanup()
{
    m_dir.reset();
}

void TestForm2::showsTheMainWindowAtStart()
{
    TForm2 owner(false);
    QVERIFY(owner.MainWindowShown());
    QVERIFY(owner.mainWindow()->isVisible());
    // Without a notification area the window must stay reachable: closing it ends the program.
    QVERIFY(!owner.mainWindow()->hideOnClose());
}

void TestForm2::openHideToggles()
{
    TForm2 owner(false);
    owner.openHideAction()->trigger();
    QVERIFY(!owner.MainWindowShown());
    QVERIFY(owner.mainWindow()->isHidden());
    owner.openHideAction()->trigger();
    QVERIFY(owner.MainWindowShown());
    QVERIFY(owner.mainWindow()->isVisible());
}

void TestForm2::hiddenWindowIsBroughtBack()
{
    TForm2 owner(false);
    owner.mainWindow()->setHideOnClose(true);
    owner.mainWindow()->close(); // hides and tells the owner
    QVERIFY(owner.mainWindow()->isHidden());
    QVERIFY(!owner.MainWindowShown());

    owner.ActivateMainWindow();
    QVERIFY(owner.mainWindow()->isVisible());
    QVERIFY(owner.MainWindowShown());
    // One toggle after the hand-over hides it again.
    owner.OpenHideRavelin1Click();
    QVERIFY(owner.mainWindow()->isHidden());
}

void TestForm2::trayMenu()
{
    TForm2 owner(false);
    const QList<QAction *> entries = owner.trayMenu()->actions();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0)->text(), QStringLiteral("Open/Hide Quillmark"));
    QVERIFY(entries.at(0)->font().bold());
    QCOMPARE(owner.trayMenu()->defaultAction(), entries.at(0));
    QCOMPARE(entries.at(1)->text(), QStringLiteral("E&xit"));
}

void TestForm2::exitSavesAndFinishes()
{
    TForm2 owner(false);
    addLink(*owner.mainWindow()->repository()->Root(), "saved", "http://saved");
    QSignalSpy finished(&owner, &TForm2::finished);
    owner.exitAction()->trigger();
    QCOMPARE(finished.size(), 1);
    QVERIFY(owner.mainWindow()->isHidden());

    TRepository written;
    QCOMPARE(written.Root()->Children.Count(), 1);
    TReg reg;
    QCOMPARE(reg.GetWindowBounds().width(), owner.mainWindow()->width());
}

void TestForm2::exitWithFailedSaveKeepsRunning()
{
    const QString blocker = m_dir->filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker + QStringLiteral("/data")));

    TForm2 owner(false);
    QSignalSpy finished(&owner, &TForm2::finished);
    // The error box would wait for a click: close it as soon as it shows.
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->inherits("QMessageBox") && widget->isVisible())
                widget->close();
        }
    });
    closer.start(50);
    QVERIFY(!owner.Exit1Click());
    QCOMPARE(finished.size(), 0);
    QVERIFY(owner.mainWindow()->repository());
    QVERIFY(owner.mainWindow()->isVisible());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
