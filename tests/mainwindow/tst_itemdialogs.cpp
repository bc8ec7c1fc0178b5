#include "common/TreeBuilders.h"

#include "mainwindow/NewItemDialog.h"
#include "mainwindow/PropertiesDialog.h"
#include "store/LinkItem.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>

using TreeBuilders::addFolder;
using TreeBuilders::addLink;

namespace {

// Brings the window to the front and waits until it is the active window.
bool activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The object names met when pressing Tab from `first`, `count` times.
QStringList tabChain(QWidget &window, QWidget *first, int count)
{
    first->setFocus();
    QStringList names {QApplication::focusWidget()->objectName()};
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        names << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    }
    Q_UNUSED(window);
    return names;
}

// Runs `action` while watching for a message box owned by `owner`; the box is handed to `inspect`
// and then closed. Returns the number of boxes seen.
int withMessageBoxes(QWidget *owner, const std::function<void()> &action,
                     const std::function<void(QMessageBox &)> &inspect)
{
    int seen = 0;
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QMessageBox *box : owner->findChildren<QMessageBox *>()) {
            if (box->isVisible()) {
                ++seen;
                inspect(*box);
                box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
            }
        }
    });
    watcher.start();
    action();
    watcher.stop();
    return seen;
}

struct Collection
{
    std::unique_ptr<LinkItem> root = LinkItem::MakeFolder("Quillmark");
};

} // namespace

class TestItemDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void clipboardOffersUrl_data();
    void clipboardOffersUrl();
    void reactivationReplacesTypedUrl();
    void okEnabling_data();
    void okEnabling();
    void typedTextsUntrimmed();
    void newItemTabOrder();

    void propertiesShowItem_data();
    void propertiesShowItem();
    void propertiesTabOrder();
    void clearVisitsThenCancel();
    void backslashNameKeepsDialogOpen();
    void okStoresFields_data();
    void okStoresFields();
    void ratingRoundTrip_data();
    void ratingRoundTrip();
    void untouchedFieldsKeepStoredBytes();

    void minimumSizes_data();
    void minimumSizes();
    void longLocationKeepsWidth();

private:
    QFont m_font;
};

void TestItemDialogs::initTestCase()
{
    m_font = QApplication::font();
}

void TestItemDialogs::cleanup()
{
    QGuiApplication::clipboard()->clear();
    QApplication::setFont(m_font);
}

void TestItemDialogs::clipboardOffersUrl_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("typedUrl");
    QTest::addColumn<QString>("expectedUrl");

    const auto row = [](const char *tag, const char *clipboard, const char *typed, const char *expected) {
        QTest::newRow(tag) << QString::fromUtf8(clipboard) << QString::fromUtf8(typed) << QString::fromUtf8(expected);
    };
    row("first word of several", "  http://example.com/page and more words", "", "http://example.com/page");
    row("blanks and line ends around", "\t http://example.com \r\n", "", "http://example.com");
    row("no marker leaves field", "example.com/page", "typed", "typed");
    row("marker only in later word", "see http://example.com", "typed", "typed");
    row("www. inside first word", "xwww.example.com/a b", "", "xwww.example.com/a");
    row("markers are case-sensitive", "HTTP://EXAMPLE.COM", "typed", "typed");
    row("ftp", "ftp://files.example.com", "typed", "ftp://files.example.com");
    row("file", "file:///tmp/a.html", "", "file:///tmp/a.html");
    row("mailto", "mailto:someone@example.com", "", "mailto:someone@example.com");
    row("telnet", "telnet:host.example", "", "telnet:host.example");
    row("gopher", "gopher://hole.example", "", "gopher://hole.example");
    row("https has no marker", "https://example.com", "", "");
    row("line break ends the word", "http://a.example/\nsecond line", "", "http://a.example/");
    row("empty clipboard", "", "typed", "typed");
}

void TestItemDialogs::clipboardOffersUrl()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, typedUrl);
    QFETCH(QString, expectedUrl);

    QGuiApplication::clipboard()->setText(clipboard);
    NewItemDialog dialog;
    dialog.urlEdit()->setText(typedUrl);
    QVERIFY(activate(dialog));

    QCOMPARE(dialog.urlEdit()->text(), expectedUrl);
    QCOMPARE(dialog.url(), expectedUrl);
    QVERIFY2(!dialog.okButton()->isEnabled(), "the name is still empty");
    QTest::keyClicks(dialog.nameEdit(), QStringLiteral("n"));
    QCOMPARE(dialog.okButton()->isEnabled(), !expectedUrl.isEmpty());
}

void TestItemDialogs::reactivationReplacesTypedUrl()
{
    QWidget other;
    other.setWindowTitle(QStringLiteral("other"));
    other.resize(200, 100);
    NewItemDialog dialog;
    QVERIFY(activate(dialog));
    QCOMPARE(dialog.urlEdit()->text(), QString());

    // The user types a URL, copies another one elsewhere, and comes back.
    QTest::keyClicks(dialog.urlEdit(), QStringLiteral("http://typed.example"));
    QVERIFY(activate(other));
    QGuiApplication::clipboard()->setText(QStringLiteral("http://copied.example tail"));
    QVERIFY(activate(dialog));
    QCOMPARE(dialog.urlEdit()->text(), QStringLiteral("http://copied.example"));

    // Typed over again; the clipboard now holds no URL, so coming back keeps what was typed.
    dialog.urlEdit()->setText(QStringLiteral("http://typed.example"));
    QVERIFY(activate(other));
    QGuiApplication::clipboard()->setText(QStringLiteral("plain words"));
    QVERIFY(activate(dialog));
    QCOMPARE(dialog.urlEdit()->text(), QStringLiteral("http://typed.example"));
}

void TestItemDialogs::okEnabling_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("enabled");

    const auto row = [](const char *tag, const QString &name, const char *url, bool enabled) {
        QTest::newRow(tag) << name << QString::fromUtf8(url) << enabled;
    };
    row("both empty", "", "", false);
    row("name of blanks", "   ", "http://x", false);
    row("name of control characters", "\t\x01\x1f", "http://x", false);
    row("url of blanks", "Name", " \t ", false);
    row("padded name and url", "  Name ", " x ", true);
    row("any url text", "Name", "x", true);
    row("non-breaking space counts", QString(QChar(0xA0)), "x", true);
}

void TestItemDialogs::okEnabling()
{
    QFETCH(QString, name);
    QFETCH(QString, url);
    QFETCH(bool, enabled);

    NewItemDialog dialog;
    QVERIFY(!dialog.okButton()->isEnabled());
    QVERIFY(dialog.okButton()->isDefault());
    // Either order of typing reaches the same state.
    dialog.nameEdit()->setText(name);
    dialog.urlEdit()->setText(url);
    QCOMPARE(dialog.okButton()->isEnabled(), enabled);
    dialog.nameEdit()->clear();
    dialog.urlEdit()->clear();
    QVERIFY(!dialog.okButton()->isEnabled());
    dialog.urlEdit()->setText(url);
    dialog.nameEdit()->setText(name);
    QCOMPARE(dialog.okButton()->isEnabled(), enabled);
}

void TestItemDialogs::typedTextsUntrimmed()
{
    NewItemDialog dialog;
    QVERIFY(activate(dialog));
    QTest::keyClicks(dialog.nameEdit(), QStringLiteral("  Caf"));
    dialog.nameEdit()->insert(QStringLiteral("é ")); // key clicks carry ASCII only
    QTest::keyClicks(dialog.urlEdit(), QStringLiteral(" http://example.com/ "));
    QTest::keyClicks(dialog.descriptionEdit(), QStringLiteral(" first"));
    QTest::keyClick(dialog.descriptionEdit(), Qt::Key_Return);
    QTest::keyClicks(dialog.descriptionEdit(), QStringLiteral("second "));
    QVERIFY(dialog.okButton()->isEnabled());

    QTest::keyClick(dialog.nameEdit(), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.name(), QStringLiteral("  Café "));
    QCOMPARE(dialog.url(), QStringLiteral(" http://example.com/ "));
    QCOMPARE(dialog.description(), QStringLiteral(" first\nsecond "));

    const std::unique_ptr<LinkItem> item = dialog.CreateItem();
    QCOMPARE(item->Name, std::string("  Caf\xC3\xA9 "));
    QCOMPARE(item->Url, std::string(" http://example.com/ "));
    QCOMPARE(item->Description, std::string(" first\nsecond "));
    QVERIFY(!item->isFolder());
    QCOMPARE(item->Parent, nullptr);
}

void TestItemDialogs::newItemTabOrder()
{
    NewItemDialog dialog;
    dialog.nameEdit()->setText(QStringLiteral("n"));
    dialog.urlEdit()->setText(QStringLiteral("u"));
    QVERIFY(activate(dialog));
    QCOMPARE(tabChain(dialog, dialog.nameEdit(), 5),
             QStringList({"ItemName", "ItemURL", "ItemDescription", "OKBtn", "CancelBtn", "ItemName"}));
}

void TestItemDialogs::propertiesShowItem_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("nameEnabled");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("label6");
    QTest::addColumn<QString>("contents");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("visits");

    // which, title, name enabled, type, contents caption, contents (null: hidden), URL (null: hidden), location, visits
    QTest::newRow("root") << QStringLiteral("root") << QStringLiteral("Quillmark Properties") << false
                          << QStringLiteral("Folder") << QStringLiteral("Containts:")
                          << QStringLiteral("1 Links, 1 Folders") << QString() << QStringLiteral("Quillmark")
                          << QStringLiteral("4");
    QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("Work Properties") << true
                            << QStringLiteral("Folder") << QStringLiteral("Containts:")
                            << QStringLiteral("3 Links, 2 Folders") << QString() << QStringLiteral("Quillmark\\Work")
                            << QStringLiteral("-2");
    QTest::newRow("link") << QStringLiteral("link") << QStringLiteral("a[*]b Properties") << true
                          << QStringLiteral("Link") << QStringLiteral("URL:") << QString()
                          << QStringLiteral("http://example.com/?q=1")
                          << QStringLiteral("Quillmark\\Work\\Tools\\a[*]b") << QStringLiteral("12");
}

void TestItemDialogs::propertiesShowItem()
{
    QFETCH(QString, which);
    QFETCH(QString, title);
    QFETCH(bool, nameEnabled);
    QFETCH(QString, type);
    QFETCH(QString, label6);
    QFETCH(QString, contents);
    QFETCH(QString, url);
    QFETCH(QString, location);
    QFETCH(QString, visits);

    Collection c;
    c.root->Visits = 4;
    addLink(*c.root, "top", "http://top.example");
    LinkItem *work = addFolder(*c.root, "Work");
    work->Visits = -2;
    LinkItem *tools = addFolder(*work, "Tools");
    addFolder(*work, "Empty");
    addLink(*tools, "below", "http://below.example"); // grandchildren are not counted
    for (const char *name : {"one", "two", "three"})
        addLink(*work, name, "http://x.example");
    LinkItem *link = addLink(*tools, "a[*]b", "http://example.com/?q=1");
    link->Visits = 12;

    LinkItem *item = which == "root" ? c.root.get() : which == "folder" ? work : link;
    PropertiesDialog dialog(item);
    QVERIFY(activate(dialog));

    QCOMPARE(dialog.windowHandle()->title(), title);
    QCOMPARE(dialog.pages()->count(), 1);
    QCOMPARE(dialog.pages()->tabText(0), QStringLiteral("General"));
    QCOMPARE(dialog.nameEdit()->text(), title.chopped(int(sizeof(" Properties")) - 1));
    QCOMPARE(dialog.nameEdit()->isEnabled(), nameEnabled);
    QCOMPARE(dialog.typeLabel()->text(), type);
    QCOMPARE(dialog.contentsCaption()->text(), label6);
    QCOMPARE(dialog.contentsLabel()->isVisible(), !contents.isNull());
    QCOMPARE(dialog.urlEdit()->isVisible(), !url.isNull());
    if (!contents.isNull())
        QCOMPARE(dialog.contentsLabel()->text(), contents);
    if (!url.isNull())
        QCOMPARE(dialog.urlEdit()->text(), url);
    QCOMPARE(dialog.locationLabel()->text(), location);
    QCOMPARE(dialog.visitsLabel()->text(), visits);
    QVERIFY(!dialog.iconLabel()->pixmap().isNull());
}

void TestItemDialogs::propertiesTabOrder()
{
    Collection c;
    LinkItem *link = addLink(*c.root, "link", "http://example.com");
    PropertiesDialog dialog(link);
    QVERIFY(activate(dialog));
    const QStringList chain = tabChain(dialog, dialog.nameEdit(), 6);
    QCOMPARE(chain.mid(0, 7),
             QStringList(
                 {"ItemName", "ItemURL", "ItemDescription", "ratingBox", "clearVisitsButton", "OKBtn", "CancelBtn"}));
}

void TestItemDialogs::clearVisitsThenCancel()
{
    Collection c;
    LinkItem *link = addLink(*c.root, "link", "http://example.com");
    link->Visits = 7;
    link->LastVisit = 45000.5;
    link->Rating = 2;

    PropertiesDialog dialog(link);
    QVERIFY(activate(dialog));
    QCOMPARE(dialog.visitsLabel()->text(), QStringLiteral("7"));
    QCOMPARE(dialog.clearVisitsButton()->text(), QStringLiteral("&Clear Visits"));
    dialog.nameEdit()->setText(QStringLiteral("renamed"));
    dialog.ratingBox()->setCurrentIndex(5);

    QTest::mouseClick(dialog.clearVisitsButton(), Qt::LeftButton);
    QCOMPARE(dialog.visitsLabel()->text(), QStringLiteral("0"));
    QCOMPARE(link->Visits, 0);
    QCOMPARE(link->LastVisit, 0.0);
    QVERIFY(dialog.isVisible());

    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(link->Visits, 0);
    QCOMPARE(link->LastVisit, 0.0);
    QCOMPARE(link->Name, std::string("link"));
    QCOMPARE(link->Rating, std::uint8_t(2));
}

void TestItemDialogs::backslashNameKeepsDialogOpen()
{
    Collection c;
    LinkItem *link = addLink(*c.root, "old", "http://old.example");
    link->Description = "old text";

    PropertiesDialog dialog(link);
    QVERIFY(activate(dialog));
    dialog.nameEdit()->setText(QStringLiteral("a\\b"));
    dialog.urlEdit()->setText(QStringLiteral("http://new.example"));
    dialog.descriptionEdit()->setPlainText(QStringLiteral("new\ntext"));
    dialog.ratingBox()->setCurrentIndex(4);

    const int boxes = withMessageBoxes(
        &dialog, [&] { QTest::mouseClick(dialog.okButton(), Qt::LeftButton); },
        [&](QMessageBox &box) {
            QCOMPARE(box.parentWidget(), &dialog);
            QCOMPARE(box.windowTitle(), QStringLiteral("ERROR"));
            QCOMPARE(box.text(),
                     QStringLiteral("An item name cannot contain any "
                                    "of the following characters: \\"));
            QCOMPARE(box.icon(), QMessageBox::Critical);
            QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        });
    QCOMPARE(boxes, 1);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(link->Name, std::string("old"));
    QCOMPARE(link->Url, std::string("http://old.example"));
    QCOMPARE(link->Description, std::string("old text"));
    QCOMPARE(link->Rating, std::uint8_t(0));

    dialog.nameEdit()->setText(QStringLiteral("a-b"));
    QCOMPARE(withMessageBoxes(
                 &dialog, [&] { QTest::mouseClick(dialog.okButton(), Qt::LeftButton); }, [](QMessageBox &) {}),
             0);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(link->Name, std::string("a-b"));
    QCOMPARE(link->Url, std::string("http://new.example"));
    QCOMPARE(link->Description, std::string("new\ntext"));
    QCOMPARE(link->Rating, std::uint8_t(4));
}

void TestItemDialogs::okStoresFields_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("storedName");
    QTest::addColumn<QByteArray>("storedUrl");

    const auto row = [](const char *tag, bool folder, const char *name, const char *url, const char *storedName,
                        const char *storedUrl) {
        QTest::newRow(tag) << folder << QString::fromUtf8(name) << QString::fromUtf8(url) << QByteArray(storedName)
                           << QByteArray(storedUrl);
    };
    row("blanks kept", false, "  spaced ", " http://x ", "  spaced ", " http://x ");
    row("empty name accepted", false, "", "", "", "");
    row("typed text as UTF-8", false, "\u00DCber", "http://\u00FC.example", "\303\234ber", "http://\303\274.example");
    // A folder has no URL to edit: whatever it stored stays.
    row("folder keeps url", true, "Renamed", "http://ignored", "Renamed", "stored");
}

void TestItemDialogs::okStoresFields()
{
    QFETCH(bool, folder);
    QFETCH(QString, name);
    QFETCH(QString, url);
    QFETCH(QByteArray, storedName);
    QFETCH(QByteArray, storedUrl);

    Collection c;
    LinkItem *item = folder ? addFolder(*c.root, "item") : addLink(*c.root, "item", "old");
    item->Url = "stored";
    PropertiesDialog dialog(item);
    QVERIFY(activate(dialog));
    dialog.nameEdit()->setText(name);
    dialog.urlEdit()->setText(url);
    QTest::keyClick(dialog.nameEdit(), Qt::Key_Return);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QByteArray::fromStdString(item->Name.str()), storedName);
    QCOMPARE(QByteArray::fromStdString(item->Url.str()), storedUrl);
    QCOMPARE(item->Parent, c.root.get());
    QCOMPARE(c.root->Children.IndexOf(item), 0);
}

void TestItemDialogs::ratingRoundTrip_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shownIndex");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("expected");

    QTest::newRow("none to excellent") << 0 << 0 << 5 << 5;
    QTest::newRow("bad to none") << 1 << 1 << 0 << 0;
    QTest::newRow("average unchanged") << 3 << 3 << 3 << 3;
    QTest::newRow("good to poor") << 4 << 4 << 2 << 2;
    QTest::newRow("excellent to good") << 5 << 5 << 4 << 4;
    // A damaged file may hold a rating the list does not offer: it shows none and stays unless chosen.
    QTest::newRow("out of range kept") << 9 << -1 << -1 << 9;
    QTest::newRow("out of range replaced") << 200 << -1 << 1 << 1;
}

void TestItemDialogs::ratingRoundTrip()
{
    QFETCH(int, stored);
    QFETCH(int, shownIndex);
    QFETCH(int, chosen);
    QFETCH(int, expected);

    Collection c;
    LinkItem *link = addLink(*c.root, "link", "http://example.com");
    link->Rating = static_cast<std::uint8_t>(stored);
    PropertiesDialog dialog(link);
    QCOMPARE(dialog.ratingBox()->count(), 6);
    QCOMPARE(dialog.ratingBox()->itemText(3), QStringLiteral("3- Average"));
    QCOMPARE(dialog.ratingBox()->currentIndex(), shownIndex);
    if (chosen >= 0)
        dialog.ratingBox()->setCurrentIndex(chosen);
    dialog.accept();
    QCOMPARE(int(link->Rating), expected);
}

void TestItemDialogs::untouchedFieldsKeepStoredBytes()
{
    Collection c;
    LinkItem *link = addLink(*c.root, "Caf\xE9", "http://example.com/\xE9");
    link->Description = "line one\r\nline two \xE9";

    PropertiesDialog dialog(link);
    QCOMPARE(dialog.nameEdit()->text(), QStringLiteral("Café"));
    dialog.ratingBox()->setCurrentIndex(3);
    dialog.accept();
    QCOMPARE(link->Name, std::string("Caf\xE9"));
    QCOMPARE(link->Url, std::string("http://example.com/\xE9"));
    QCOMPARE(link->Description, std::string("line one\r\nline two \xE9"));
    QCOMPARE(link->Rating, std::uint8_t(3));

    PropertiesDialog again(link);
    again.nameEdit()->setText(again.nameEdit()->text() + QStringLiteral("s"));
    again.accept();
    QCOMPARE(link->Name, std::string("Caf\xC3\xA9s"));
    QCOMPARE(link->Url, std::string("http://example.com/\xE9"));
}

void TestItemDialogs::minimumSizes_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::newRow("normal font") << 9;
    QTest::newRow("large font") << 20;
}

void TestItemDialogs::minimumSizes()
{
    QFETCH(int, pointSize);
    QFont font = QApplication::font();
    font.setPointSize(pointSize);
    QApplication::setFont(font);

    Collection c;
    LinkItem *link = addLink(*c.root, "A link with a rather long name", "http://example.com");
    NewItemDialog newItem;
    PropertiesDialog properties(link);
    const std::pair<QDialog *, QSize> dialogs[] = {{&newItem, QSize(353, 256)}, {&properties, QSize(371, 367)}};
    for (const auto &[dialog, least] : dialogs) {
        QVERIFY(activate(*dialog));
        QVERIFY(dialog->minimumWidth() >= least.width());
        QVERIFY(dialog->minimumHeight() >= least.height());
        // The layout's needs win over the fixed figures when the font is large.
        QVERIFY(dialog->minimumWidth() >= dialog->layout()->minimumSize().width());
        QVERIFY(dialog->minimumHeight() >= dialog->layout()->minimumSize().height());
        QVERIFY(dialog->width() >= dialog->minimumWidth());
        QVERIFY(dialog->height() >= dialog->minimumHeight());
        const QList<QPushButton *> buttons = dialog->findChildren<QPushButton *>();
        for (const QPushButton *button : buttons) {
            const QRect shown(button->mapTo(dialog, QPoint(0, 0)), button->size());
            QVERIFY2(dialog->rect().contains(shown), qPrintable(button->objectName()));
            QVERIFY(button->width() >= button->sizeHint().width());
        }
    }
}

void TestItemDialogs::longLocationKeepsWidth()
{
    Collection c;
    LinkItem *shortLink = addLink(*c.root, "a", "http://a.example");
    LinkItem *deep = c.root.get();
    QStringList names {QStringLiteral("Quillmark")};
    for (int i = 0; i < 6; ++i) {
        const std::string name = "AFolderNameWithoutAnyBlanksThatGoesOnAndOn" + std::to_string(i);
        deep = addFolder(*deep, name);
        names << QString::fromStdString(name);
    }
    PropertiesDialog reference(shortLink);
    PropertiesDialog dialog(deep);
    QVERIFY(activate(dialog));
    QCOMPARE(dialog.locationLabel()->text(), names.join(QLatin1Char('\\')));
    QCOMPARE(dialog.minimumWidth(), reference.minimumWidth());
    QCOMPARE(dialog.width(), reference.width());
}

QTEST_MAIN(TestItemDialogs)
#include "tst_itemdialogs.moc"
