// Not a test: checks a collection of links to a server of its own on 127.0.0.1 and saves a picture of the
// window with the findings listed, for docs/screenshots/. Run it under Xvfb with HOME and the XDG folders
// pointing at a temporary folder: it writes the data file there.
//
//   linkcheck_screenshots OUT.png
#include "common/LocalHttpServer.h"
#include "common/SilentReporter.h"
#include "common/TreeBuilders.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/LinkCheckCommands.h"
#include "mainwindow/LinkCheckPanel.h"
#include "mainwindow/MainWindow.h"
#include "store/NativeFile.h"
#include "store/Repository.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTimer>

#include <cstdio>

using namespace TreeBuilders;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: linkcheck_screenshots OUT.png\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    LocalHttpServer server(QHostAddress::LocalHost, 20);
    using Route = LocalHttpServer::Route;
    server.route("/", Route {200});
    server.route("/docs/", Route {200});
    server.route("/blog/2019/spring-release", Route {410});
    server.route("/old-downloads", Route {301, "/downloads/"});
    server.route("/downloads/", Route {200});
    server.route("/wiki/Start", Route {308, "/wiki/Main_Page"});
    server.route("/wiki/Main_Page", Route {200});
    server.route("/status", Route {503});
    server.route("/news", Route {302, "/news/today"});
    server.route("/news/today", Route {200});

    auto top = LinkItem::MakeFolder("Quillmark");
    const auto url = [&server](const char *path) { return server.url(path).toStdString(); };
    LinkItem *projects = addFolder(*top, "Projects");
    addLink(*projects, "Project home", url("/"));
    addLink(*projects, "Documentation", url("/docs/"));
    addLink(*projects, "Downloads", url("/old-downloads"));
    addLink(*projects, "Service status", url("/status"));
    LinkItem *reading = addFolder(*top, "Reading");
    addLink(*reading, "Spring release notes", url("/blog/2019/spring-release"));
    addLink(*reading, "Team wiki", url("/wiki/Start"));
    addLink(*reading, "Today's news", url("/news"));
    addLink(*reading, "Old intranet", url("/intranet/index.html"));
    addLink(*reading, "Shared notes", "file:///home/shared/notes.txt");
    addLink(*top, "Write to support", "mailto:support@example.invalid");
    QDir().mkpath(Repository::DataFolder());
    if (!NativeFile::saveAtomically(Repository::DataFile(), *top, nullptr)) {
        std::fprintf(stderr, "cannot write the data file\n");
        return 1;
    }

    SilentReporter reporter;
    MainWindow form(&reporter);
    form.resize(1100, 720);
    form.move(0, 0);
    form.show();
    LinkCheckCommands *commands = form.linkCheckCommands();
    QObject::connect(commands, &LinkCheckCommands::checkFinished, &app, [&] {
        // Over the lower right of the description pane, clear of the finding it shows.
        LinkCheckPanel *panel = commands->panel();
        panel->adjustSize();
        panel->move(form.x() + form.width() - panel->width() - 12, form.y() + form.height() - panel->height() - 30);
        QAbstractItemView *view = form.listView()->currentView();
        view->setFocus();
        if (view->model()->rowCount() > 1)
            view->selectionModel()->select(view->model()->index(1, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QTimer::singleShot(800, &app, [&] {
            // The window with the panel over it, as the screen shows them.
            QPixmap picture = form.grab();
            QPainter painter(&picture);
            painter.drawPixmap(commands->panel()->geometry().topLeft() - form.geometry().topLeft(),
                               commands->panel()->grab());
            painter.end();
            app.exit(picture.save(out) ? 0 : 1);
        });
    });
    QTimer::singleShot(500, &app, [&] {
        form.folderTree()->setCurrentIndex(form.folderTree()->rootRow());
        commands->checkLinksAction()->trigger();
    });
    return app.exec();
}
