// Not a test: shows the main window over the collection in $XDG_DATA_HOME in one state and saves a
// picture of it, for the screenshots in docs/. scripts/screenshots runs it under Xvfb.
//
//   window_screenshots OUT.png search TEXT     search results, the first one selected
//   window_screenshots OUT.png folder NAME     the folder of that name shown, tree opened
//   window_screenshots OUT.png duplicates ROW  the duplicates of the collection, that row selected
#include "common/SilentReporter.h"
#include "mainwindow/DuplicateCommands.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SearchCommands.h"
#include "store/CollectionDocument.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: window_screenshots OUT.png search|folder|duplicates TEXT\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString mode = QString::fromLocal8Bit(argv[2]);
    const QString text = QString::fromLocal8Bit(argv[3]);
    SilentReporter reporter;
    MainWindow form(&reporter);
    form.show();
    if (mode == QLatin1String("search")) {
        form.searchCommands()->searchEdit()->setText(text);
        QAbstractItemView *view = form.listView()->currentView();
        view->setFocus();
        if (view->model()->rowCount() > 0)
            view->selectionModel()->select(view->model()->index(0, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else if (mode == QLatin1String("duplicates")) {
        form.duplicateCommands()->showDuplicates(form.document()->root(), {});
        QAbstractItemView *view = form.listView()->currentView();
        view->setFocus();
        if (view->model()->rowCount() > text.toInt())
            view->setCurrentIndex(view->model()->index(text.toInt(), 0));
    } else {
        FolderTreeView *tree = form.folderTree();
        tree->ExpandAll();
        const auto found
            = tree->model()->match(tree->rootRow(), Qt::DisplayRole, text, 1, Qt::MatchExactly | Qt::MatchRecursive);
        if (!found.isEmpty())
            tree->setCurrentIndex(found.first());
    }
    QTimer::singleShot(800, &app, [&] {
        const bool saved = form.grab().save(out);
        app.exit(saved ? 0 : 1);
    });
    return app.exec();
}
