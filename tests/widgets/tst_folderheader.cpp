#include "widgets/FolderHeader.h"

#include <QLabel>
#include <QTest>
#include <QTreeWidgetItem>

namespace {

QIcon solid(const QColor &color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// The colour at the middle of the picture the header shows, or an invalid colour when it shows none.
QColor shownImageColor(const FolderHeader &header)
{
    const auto *image = header.findChild<QLabel *>(QStringLiteral("FolderHeaderImage"));
    if (!image || image->pixmap().isNull())
        return {};
    return image->pixmap().toImage().pixelColor(8, 8);
}

// WCAG contrast ratio of a colour against white.
double contrastWithWhite(const QColor &color)
{
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const double luminance
        = 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
    return 1.05 / (luminance + 0.05);
}

const QColor HomeColor(Qt::red);
const QColor FolderColor(Qt::green);

} // namespace

class TestFolderHeader : public QObject
{
    Q_OBJECT
private slots:
    void showFolder_data();
    void showFolder();
    void showTreeNode();
    void imagesGivenLaterAreShown();
    void looksLikeABand_data();
    void looksLikeABand();
};

void TestFolderHeader::showFolder_data()
{
    QTest::addColumn<bool>("isTopNode");
    QTest::addColumn<int>("imageType");
    QTest::addColumn<QColor>("shown");
    QTest::newRow("top node") << true << int(FolderHeader::itHome) << HomeColor;
    QTest::newRow("node below") << false << int(FolderHeader::itFolder) << FolderColor;
}

void TestFolderHeader::showFolder()
{
    QFETCH(bool, isTopNode);
    QFETCH(int, imageType);
    QFETCH(QColor, shown);

    FolderHeader header;
    header.setHomeImage(solid(HomeColor));
    header.setFolderImage(solid(FolderColor));
    // Start from the other state, so that both switches are seen.
    header.ShowFolder(QStringLiteral("before"), !isTopNode);

    header.ShowFolder(QStringLiteral("Fish & Chips"), isTopNode);
    QCOMPARE(header.caption(), QStringLiteral("Fish & Chips"));
    QCOMPARE(int(header.imageType()), imageType);
    QCOMPARE(shownImageColor(header), shown);
}

void TestFolderHeader::showTreeNode()
{
    FolderHeader header;
    header.setHomeImage(solid(HomeColor));
    header.setFolderImage(solid(FolderColor));
    QTreeWidgetItem top(QStringList {QStringLiteral("Quillmark")});
    auto *child = new QTreeWidgetItem(&top, QStringList {QStringLiteral("News")});

    header.ShowFolder(&top);
    QCOMPARE(header.caption(), QStringLiteral("Quillmark"));
    QCOMPARE(shownImageColor(header), HomeColor);
    header.ShowFolder(child);
    QCOMPARE(header.caption(), QStringLiteral("News"));
    QCOMPARE(shownImageColor(header), FolderColor);
    header.ShowFolder(nullptr);
    QCOMPARE(header.caption(), QStringLiteral("News"));
}

// The main window hands the pictures over after the header was made and has shown its (empty) picture.
void TestFolderHeader::imagesGivenLaterAreShown()
{
    FolderHeader header;
    QCOMPARE(header.imageType(), FolderHeader::itFolder);
    QVERIFY(!shownImageColor(header).isValid());
    header.setFolderImage(solid(FolderColor));
    QCOMPARE(shownImageColor(header), FolderColor);
    header.setHomeImage(solid(HomeColor)); // not the shown one
    QCOMPARE(shownImageColor(header), FolderColor);
    header.setImageType(FolderHeader::itHome);
    QCOMPARE(shownImageColor(header), HomeColor);
}

void TestFolderHeader::looksLikeABand_data()
{
    QTest::addColumn<QColor>("greyText");
    QTest::newRow("style's grey text") << QColor();
    QTest::newRow("dark grey text") << QColor(0x6d, 0x6d, 0x6d);
    QTest::newRow("very light grey text") << QColor(0xe0, 0xe0, 0xe0);
}

void TestFolderHeader::looksLikeABand()
{
    QFETCH(QColor, greyText);

    QWidget window;
    window.resize(400, 100);
    if (greyText.isValid()) {
        QPalette pal = window.palette();
        pal.setColor(QPalette::Disabled, QPalette::WindowText, greyText);
        window.setPalette(pal);
    }
    auto *header = new FolderHeader(&window);
    header->setHomeImage(solid(HomeColor));
    header->ShowFolder(QStringLiteral("WWWWWWWW"), true);
    header->resize(400, header->sizeHint().height());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(header->height(), 30);

    const QImage shot = header->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    auto at = [&](int x, int y) { return shot.pixelColor(int(x * ratio), int(y * ratio)); };

    const QColor band = at(300, 15);
    if (greyText.isValid() && greyText.lightness() <= 150)
        QCOMPARE(band, greyText);
    QVERIFY2(contrastWithWhite(band) >= 3.0, qPrintable(band.name()));
    // The 3-pixel border keeps the window's colour.
    QCOMPARE(at(1, 15), window.palette().color(QPalette::Window));
    QCOMPARE(at(3, 3), band);
    // The picture at 6, 5 of the band, the caption's white letters from 25 on.
    QCOMPARE(at(3 + 6 + 8, 3 + 5 + 8), HomeColor);
    bool white = false;
    for (int x = 3 + 25; x < 3 + 25 + 60 && !white; ++x)
        for (int y = 3; y < 27 && !white; ++y)
            white = at(x, y) == QColor(Qt::white);
    QVERIFY(white);
    for (int y = 3; y < 27; ++y)
        QVERIFY(at(3 + 24, y) != QColor(Qt::white));
}

QTEST_MAIN(TestFolderHeader)
#include "tst_folderheader.moc"
