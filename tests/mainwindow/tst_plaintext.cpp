// Text from the collection and from files is shown character for character wherever it appears: Qt must never take
// it for rich text, which would render its tags and load the pictures it names.
#include "common/StandInOpener.h"
#include "common/TreeBuilders.h"
#include "common/ViewFixture.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderPathModel.h"
#include "mainwindow/FolderTreeView.h"
#include "mainwindow/LinkOpener.h"
#include "mainwindow/MessageBoxReporter.h"
#include "mainwindow/PropertiesDialog.h"
#include "mainwindow/StatusPanel.h"
#include "widgets/FolderHeader.h"
#include "widgets/HyperlinkLabel.h"
#include "widgets/MessageBoxes.h"
#include "widgets/ShellErrorReport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

#include <functional>

using namespace TreeBuilders;

namespace {

// Markup that shows differently, or not at all, once rendered. The picture does not exist: nothing is ever loaded.
const QString Hostile = QStringLiteral("Recipes<img src=\"missing-picture.png\"> <b>bold</b> &amp; <i>more</i>");
const QString HostileDetail = QStringLiteral("<h1>Detail</h1> <a href=\"x\">link</a>");
// The same without a slash, to be part of a file name.
const QString HostileFile = QStringLiteral("Tool <img src=missing-picture.png> <i>x&amp;.sh");

struct Shown
{
    QString text;
    Qt::TextFormat format;
};

// A text that must show literally in one of the places.
struct Expected
{
    QString text;
    QList<Shown> places;
};

// What a text looks like on screen in the given format, as Qt decides it.
QString rendered(const Shown &shown)
{
    if (shown.format == Qt::PlainText || (shown.format == Qt::AutoText && !Qt::mightBeRichText(shown.text)))
        return shown.text;
    QTextDocument document;
    document.setHtml(shown.text);
    return document.toPlainText();
}

Shown labelOf(const QWidget *parent, const char *name)
{
    const auto *label = parent->findChild<QLabel *>(QLatin1String(name));
    return label ? Shown {label->text(), label->textFormat()} : Shown {QStringLiteral("(no label)"), Qt::PlainText};
}

// What a view shows of an entry: its text as the item delegate paints it, and its tool tip when it has one.
QList<Expected> entryTexts(const QModelIndex &index)
{
    QList<Expected> shown {{Hostile, {{index.data().toString(), Qt::PlainText}}}};
    const QString tip = index.data(Qt::ToolTipRole).toString();
    if (!tip.isEmpty())
        shown.append({Hostile, {{tip, Qt::AutoText}}});
    return shown;
}

// Runs open, which shows a modal message box, and returns what the box's labels show. The box is answered with No,
// or with OK when it has no No.
QList<Shown> boxTexts(const std::function<void()> &open)
{
    QList<Shown> shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        const QList<QLabel *> labels = box->findChildren<QLabel *>();
        for (const QLabel *label : labels)
            shown << Shown {label->text(), label->textFormat()};
        QAbstractButton *no = box->button(QMessageBox::No);
        (no ? no : box->button(QMessageBox::Ok))->click();
    });
    poll.start(10);
    open();
    return shown;
}

} // namespace

class TestPlainText : public QObject
{
    Q_OBJECT
private slots:
    void shownLiterally_data();
    void shownLiterally();

private:
    QList<Expected> show(const QString &place);

    QTemporaryDir m_dir;
    StandInOpener m_opener;
};

void TestPlainText::shownLiterally_data()
{
    QTest::addColumn<QString>("place");
    for (const char *place : {"Go to Folder tool tip", "properties location", "folder tree and list", "folder header",
                              "description pane", "status bar", "question", "information", "error", "run it question",
                              "shell error warning", "store error", "store notice", "import error"})
        QTest::newRow(place) << QString::fromLatin1(place);
}

QList<Expected> TestPlainText::show(const QString &place)
{
    if (place == QLatin1String("Go to Folder tool tip")) {
        auto root = LinkItem::MakeFolder("Quillmark");
        addFolder(*root, Hostile.toStdString());
        FolderPathModel model;
        model.setRoot(root.get());
        return {{Hostile, {{model.index(1).data(Qt::ToolTipRole).toString(), Qt::AutoText}}}};
    }
    if (place == QLatin1String("properties location")) {
        // A path too long for its line shows whole in the tool tip.
        auto root = LinkItem::MakeFolder("Quillmark");
        LinkItem *link = addLink(*addFolder(*root, Hostile.toStdString()), std::string(300, 'x'), "http://x");
        PropertiesDialog dialog(link);
        dialog.show();
        auto *location = dialog.findChild<QLabel *>(QStringLiteral("ItemLocation"));
        const QPoint inside = location->rect().center();
        QHelpEvent help(QEvent::ToolTip, inside, location->mapToGlobal(inside));
        QApplication::sendEvent(location, &help);
        const QString path = QStringLiteral("Quillmark\\") + Hostile + QStringLiteral("\\xxx");
        const QList<Expected> shown {{path, {labelOf(&dialog, "ItemLocation")}},
                                     {path, {{QToolTip::text(), Qt::AutoText}}}};
        QToolTip::hideText();
        return shown;
    }
    if (place == QLatin1String("folder tree and list")) {
        auto root = LinkItem::MakeFolder("Quillmark");
        LinkItem *folder = addFolder(*root, Hostile.toStdString());
        ViewFixture fixture(std::move(root)); // shows the root, which lists the folder
        FolderTreeView tree;
        tree.setRootFolder(fixture.root());
        return entryTexts(tree.revealFolder(folder)) + entryTexts(fixture.view.model()->index(0, 0));
    }
    if (place == QLatin1String("folder header")) {
        FolderHeader header;
        header.setCaption(Hostile);
        return {{Hostile, {labelOf(&header, "FolderHeaderCaption")}}};
    }
    if (place == QLatin1String("description pane")) {
        auto link = LinkItem::MakeLink(Hostile.toStdString(), ("http://x/" + HostileDetail).toStdString());
        DescriptionPane pane;
        pane.ShowItemDetails(link.get());
        pane.setLocation(QStringLiteral("Quillmark\\") + HostileFile);
        return {{Hostile, {labelOf(&pane, "NameLabel")}},
                {QStringLiteral("http://x/") + HostileDetail, {labelOf(&pane, "URLLabel")}},
                {QStringLiteral("Quillmark\\") + HostileFile, {labelOf(&pane, "LocationLabel")}}};
    }
    if (place == QLatin1String("status bar")) {
        StatusPanel panel;
        panel.setText(Hostile);
        return {{Hostile, {{panel.text(), panel.textFormat()}}}};
    }
    if (place == QLatin1String("question"))
        return {{Hostile, boxTexts([] { MessageBoxes::question(nullptr, QStringLiteral("Quillmark"), Hostile); })}};
    if (place == QLatin1String("information"))
        return {{Hostile, boxTexts([] { MessageBoxes::information(nullptr, QStringLiteral("Quillmark"), Hostile); })}};
    if (place == QLatin1String("error"))
        return {{Hostile, boxTexts([] { MessageBoxes::error(nullptr, QStringLiteral("ERROR"), Hostile); })}};
    if (place == QLatin1String("run it question")) {
        const QString script = m_dir.filePath(HostileFile);
        QFile file(script);
        if (!file.open(QIODevice::WriteOnly) || file.write("#!/bin/sh\n") < 0)
            return {};
        file.close();
        bool opened = true;
        const QList<Shown> shown = boxTexts([&] { opened = LinkOpener::openLink(nullptr, script); });
        if (opened || !m_opener.opened.isEmpty())
            return {{QStringLiteral("(refused, nothing launched)"), {}}};
        return {{QLatin1Char('"') + script + QLatin1Char('"'), shown}};
    }
    if (place == QLatin1String("shell error warning")) {
        return {{HostileFile + QStringLiteral(" file was not found."),
                 boxTexts([this] { ReportShellError(2, m_dir.filePath(HostileFile)); })}};
    }
    if (place == QLatin1String("store error")) {
        const QList<Shown> box
            = boxTexts([] { MessageBoxReporter(nullptr).reportError(QString(), Hostile, HostileDetail); });
        return {{Hostile, box}, {HostileDetail, box}};
    }
    if (place == QLatin1String("store notice"))
        return {{Hostile, boxTexts([] { MessageBoxReporter(nullptr).reportNotice(Hostile); })}};
    if (place == QLatin1String("import error")) {
        const QList<Shown> box = boxTexts([] { MessageBoxes::standardError(nullptr, Hostile, HostileDetail); });
        return {{Hostile, box}, {HostileDetail, box}};
    }
    return {};
}

void TestPlainText::shownLiterally()
{
    QFETCH(QString, place);

    const QList<Expected> checks = show(place);
    QVERIFY(!checks.isEmpty());
    for (const Expected &check : checks) {
        QStringList seen;
        for (const Shown &shown : check.places)
            seen << rendered(shown);
        const bool found = std::any_of(seen.begin(), seen.end(),
                                       [&check](const QString &text) { return text.contains(check.text); });
        QVERIFY2(found, qPrintable(check.text + QStringLiteral(" shows as: ") + seen.join(QStringLiteral(" | "))));
    }
}

QTEST_MAIN(TestPlainText)
#include "tst_plaintext.moc"
