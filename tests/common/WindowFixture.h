#pragma once

#include "common/RecordingReporter.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/LinkCheckCommands.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/RestoreCommands.h"
#include "settings/Settings.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"
#include "widgets/MessageBoxes.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A main window over a collection of the test's own, in a folder of its own: the data file holds root,
// the settings start empty, and the message boxes are recorded as "title|text" instead of shown: questions
// and information in `questions`, errors in `errors`. Questions get `answer`; the store's messages go to
// `reporter`. Use open() in init() and close() in cleanup() (a failure in init() skips the test); elsewhere
// check QTest::currentTestFailed() after open(). A test that sets things up before the window starts calls
// prepare() and then start(); a window that its owner makes (the tray controller) needs prepare() alone.
class WindowFixture
{
public:
    struct Start
    {
        MainWindow::Loading loading = MainWindow::Loading::Now;
        bool show = true;
        // What the window does on threads of its own as it starts is done before the test goes on: the
        // start-up backup and the reading of the link check results.
        bool waitForStartWork = true;
    };

    void open(const LinkItem &root)
    {
        prepare(root);
        if (!QTest::currentTestFailed())
            start();
    }

    void prepare(const LinkItem &root)
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
        Settings::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
        QDir().mkpath(Repository::DataFolder());
        QVERIFY(NativeFile::saveAtomically(Repository::DataFile(), root, nullptr));
        questions.clear();
        errors.clear();
        reporter = {};
        answer = true;
        m_previous = MessageBoxes::setPresenter([this](const MessageBoxes::Message &message) {
            const bool asks = message.kind == MessageBoxes::Kind::Question;
            const bool fails = message.kind == MessageBoxes::Kind::Error || message.kind == MessageBoxes::Kind::Warning;
            (fails ? errors : questions) << message.title + QLatin1Char('|') + message.text;
            return asks && answer;
        });
    }

    void start() { start(Start()); }
    void start(const Start &how)
    {
        m_form = std::make_unique<MainWindow>(&reporter, nullptr, how.loading);
        if (how.show) {
            m_form->show();
            QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        }
        if (how.waitForStartWork) {
            QTRY_VERIFY_WITH_TIMEOUT(!m_form->restoreCommands()->isKeepingDaily(), 120000);
            QTRY_VERIFY_WITH_TIMEOUT(!m_form->linkCheckCommands()->isLoading(), 120000);
        }
    }

    // Ends the window; its folder stays.
    void closeWindow() { m_form.reset(); }

    void close()
    {
        m_form.reset();
        MessageBoxes::setPresenter(m_previous);
        m_dir.reset();
    }

    MainWindow *form() const { return m_form.get(); }
    FolderTreeView *tree() const { return m_form->folderTree(); }
    FolderListView *list() const { return m_form->listView(); }
    QTemporaryDir *dir() const { return m_dir.get(); }

    // The first row of the folder tree with this text among the branches fetched so far, or none.
    QPersistentModelIndex node(const QString &text) const
    {
        const QModelIndexList found = tree()->model()->match(tree()->rootRow(), Qt::DisplayRole, text, 1,
                                                             Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? QPersistentModelIndex() : QPersistentModelIndex(found.first());
    }

    // Selects exactly the list's rows with these names.
    void selectRows(const QStringList &names) const
    {
        list()->selectionModel()->clearSelection();
        const LinkListModel *model = list()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (names.contains(model->index(row, 0).data().toString()))
                list()->selectionModel()->select(model->index(row, 0),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    // The message boxes shown so far.
    QStringList questions;
    QStringList errors;
    bool answer = true;
    RecordingReporter reporter;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_form;
    MessageBoxes::Presenter m_previous;
};
