// Every dialog and the main window's panes at 200% scale: no text cut off, and pictures drawn for the
// screen's pixels.
#include "AllDialogs.h"
#include "common/MenuWindow.h"
#include "mainwindow/DescriptionPane.h"
#include "mainwindow/FolderBar.h"
#include "settings/Settings.h"
#include "store/LinkItem.h"
#include "widgets/FolderHeader.h"
#include "widgets/Icons.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString describe(const QWidget *widget, const QString &text)
{
    return QStringLiteral("%1 \"%2\" (%3)")
        .arg(QLatin1String(widget->metaObject()->className()), text, widget->objectName());
}

// Fails the test for a label or button of window whose text does not fit, or a picture drawn for
// fewer pixels than the screen has.
void checkWindow(QWidget *window)
{
    const qreal ratio = window->devicePixelRatioF();
    QCOMPARE(ratio, 2.0);
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->isVisibleTo(window))
            continue;
        const QPixmap picture = label->pixmap();
        if (!picture.isNull())
            QVERIFY2(picture.devicePixelRatio() >= ratio, qPrintable(describe(label, QStringLiteral("picture"))));
        if (label->text().isEmpty())
            continue;
        const QRect room = label->contentsRect();
        if (label->wordWrap()) {
            QVERIFY2(room.height() >= label->heightForWidth(label->width()) - 2 * label->frameWidth() - 1
                         || room.height() >= label->sizeHint().height() - 2 * label->frameWidth(),
                     qPrintable(describe(label, label->text())));
        } else {
            QVERIFY2(label->width() >= label->minimumSizeHint().width()
                         && label->height() >= label->minimumSizeHint().height(),
                     qPrintable(describe(label, label->text())));
        }
    }
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(window) || button->text().isEmpty())
            continue;
        const QSize needed = button->minimumSizeHint().expandedTo(button->sizeHint());
        QVERIFY2(button->width() >= needed.width() && button->height() >= button->minimumSizeHint().height(),
                 qPrintable(describe(button, button->text())
                            + QStringLiteral(" %1x%2 < %3x%4")
                                  .arg(button->width())
                                  .arg(button->height())
                                  .arg(needed.width())
                                  .arg(needed.height())));
    }
}

} // namespace

class TestHiDpi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void dialogs_data();
    void dialogs();
    void panes_data();
    void panes();

private:
    QTemporaryDir m_dir;
    AllDialogs m_dialogs {m_dir.filePath(QStringLiteral("favorites"))};
};

void TestHiDpi::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
    Settings::SetStorageFolder(m_dir.filePath(QStringLiteral("config")));
}

void TestHiDpi::dialogs_data()
{
    QTest::addColumn<QString>("dialog");
    for (const AllDialogs::Dialog &dialog : m_dialogs.all())
        QTest::newRow(qPrintable(dialog.name)) << dialog.name;
}

void TestHiDpi::dialogs()
{
    QFETCH(QString, dialog);
    const std::unique_ptr<QWidget> window = m_dialogs.maker(dialog)();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    checkWindow(window.get());
}

void TestHiDpi::panes_data()
{
    QTest::addColumn<QString>("pane");
    for (const char *pane : {"menus and toolbar", "folder pane", "folders bar", "description"})
        QTest::newRow(pane) << pane;
}

void TestHiDpi::panes()
{
    QFETCH(QString, pane);
    std::unique_ptr<QWidget> window;
    const auto link = LinkItem::MakeLink("Example", "https://example.org/");
    if (pane == QLatin1String("menus and toolbar")) {
        window = std::make_unique<MenuWindow>();
        window->resize(900, 650); // as on a desktop: the offscreen screen is small at this scale
    } else if (pane == QLatin1String("folder pane")) {
        auto header = std::make_unique<FolderHeader>();
        header->setFolderImage(Icons::folder());
        header->setHomeImage(Icons::home());
        header->ShowFolder(QStringLiteral("Quillmark"), true);
        window = std::move(header);
    } else if (pane == QLatin1String("folders bar")) {
        window = std::make_unique<FolderBar>();
    } else {
        auto description = std::make_unique<DescriptionPane>();
        description->ShowItemDetails(link.get());
        window = std::move(description);
    }
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    checkWindow(window.get());
}

int main(int argc, char **argv)
{
    // The scale is read when the application starts, as the desktop sets it.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestHiDpi test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
