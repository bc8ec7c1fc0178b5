// Shows one of the item dialogs over a sample collection, for the pictures in docs/screenshots/.
// Run under a virtual screen; the program prints the dialog's geometry (WxH+X+Y) once it is on screen
// and quits two seconds later:
//
//   xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
//       bin/dialog_screenshots properties > geometry & sleep 1.5
//       import -window root -crop "$(cat geometry)" +repage docs/screenshots/properties-dialog.png; wait'
//
// The first argument is "properties", "new-url", "restore" or "sync".

#include "mainwindow/NewItemDialog.h"
#include "mainwindow/PropertiesDialog.h"
#include "mainwindow/RestoreDialog.h"
#include "mainwindow/SyncDialog.h"
#include "store/LinkItem.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

LinkItem *addTo(LinkItem &parent, std::unique_ptr<LinkItem> item)
{
    LinkItem *raw = item.get();
    parent.Children.InsertSorted(std::move(item));
    return raw;
}

void printGeometry(const QWidget &dialog)
{
    const QRect frame = dialog.frameGeometry();
    std::printf("%dx%d+%d+%d\n", frame.width(), frame.height(), frame.x(), frame.y());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString which = app.arguments().value(1);
    if (which != QLatin1String("properties") && which != QLatin1String("new-url") && which != QLatin1String("restore")
        && which != QLatin1String("sync")) {
        std::fprintf(stderr, "usage: dialog_screenshots properties|new-url|restore|sync\n");
        return 2;
    }

    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *reference = addTo(*root, LinkItem::MakeFolder("Reference"));
    LinkItem *link = addTo(*reference, LinkItem::MakeLink("Debian", "https://www.debian.org/"));
    link->Description = "The universal operating system: news, documentation, the package search and the "
                        "security tracker.";
    link->Visits = 17;
    link->Rating = 4;
    link->LastVisit = 46357.5;

    QWidget mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("Quillmark"));
    mainWindow.setGeometry(0, 0, 1024, 740);
    mainWindow.show();

    std::unique_ptr<QDialog> dialog;
    if (which == QLatin1String("properties")) {
        dialog = std::make_unique<PropertiesDialog>(link, &mainWindow);
    } else if (which == QLatin1String("restore")) {
        // A week of backups, one of them damaged.
        std::vector<Backups::Entry> entries;
        const QDate today(2026, 12, 7);
        for (int day = 0; day < 7; ++day) {
            Backups::Entry entry;
            entry.date = today.addDays(-day);
            entry.path = QStringLiteral("Quillmark-%1.dat").arg(entry.date.toString(Qt::ISODate));
            entry.folders = 212 - day * 3;
            entry.links = 4810 - day * 27;
            entry.size = 905000 - day * 5100;
            entry.readable = day != 4;
            entries.push_back(entry);
        }
        dialog = std::make_unique<RestoreDialog>(std::move(entries), &mainWindow);
    } else if (which == QLatin1String("sync")) {
        // A server on the local network reached over plain http, so the dialog warns of the password.
        SyncSettings settings;
        settings.serverUrl = QStringLiteral("http://nas.home.arpa/remote.php/dav/files/ada/");
        settings.user = QStringLiteral("ada");
        settings.everyMinutes = 30;
        settings.atStartAndExit = true;
        dialog = std::make_unique<SyncDialog>(settings, QStringLiteral("secret"), root.get(), &mainWindow);
    } else {
        QGuiApplication::clipboard()->setText(QStringLiteral("http://www.example.org/news/ was worth a look"));
        auto newItem = std::make_unique<NewItemDialog>(&mainWindow);
        newItem->nameEdit()->setText(QStringLiteral("Example news"));
        newItem->descriptionEdit()->setPlainText(QStringLiteral("Daily headlines."));
        dialog = std::move(newItem);
    }
    dialog->show();
    dialog->activateWindow();
    QTimer::singleShot(500, dialog.get(), [&] { printGeometry(*dialog); });
    QTimer::singleShot(2500, &app, &QApplication::quit);
    return app.exec();
}
