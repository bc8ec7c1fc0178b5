#include "widgets/Icons.h"

#include <QDirIterator>
#include <QSvgRenderer>
#include <QTest>

using IconGetter = QIcon (*)();
Q_DECLARE_METATYPE(IconGetter)

class TestIcons : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void ownArtwork();
    void everyIconHasAPicture_data();
    void everyIconHasAPicture();
};

void TestIcons::initTestCase()
{
    // Without a theme, each icon falls back to our own artwork.
    QIcon::setThemeSearchPaths({});
    QIcon::setThemeName(QString());
    Icons::application(); // loads the compiled-in pictures
}

void TestIcons::ownArtwork()
{
    QStringList files;
    QDirIterator it(QStringLiteral(":/icons"));
    while (it.hasNext())
        files << it.next();
    QCOMPARE(files.size(), 12);
    for (const QString &file : std::as_const(files)) {
        QSvgRenderer renderer(file);
        QVERIFY2(renderer.isValid(), qPrintable(file));
        QCOMPARE(renderer.viewBox(), QRect(0, 0, 24, 24));
    }
}

void TestIcons::everyIconHasAPicture_data()
{
    QTest::addColumn<IconGetter>("getter");
    QTest::newRow("folder") << &Icons::folder;
    QTest::newRow("link") << &Icons::link;
    QTest::newRow("home") << &Icons::home;
    QTest::newRow("newFolder") << &Icons::newFolder;
    QTest::newRow("newUrl") << &Icons::newUrl;
    QTest::newRow("up") << &Icons::up;
    QTest::newRow("deleteItems") << &Icons::deleteItems;
    QTest::newRow("search") << &Icons::search;
    QTest::newRow("folders") << &Icons::folders;
    QTest::newRow("views") << &Icons::views;
    QTest::newRow("help") << &Icons::help;
    QTest::newRow("application") << &Icons::application;
}

// Each icon draws something at the sizes the program uses: the tree and list, the toolbar, the large icons.
void TestIcons::everyIconHasAPicture()
{
    QFETCH(IconGetter, getter);
    const QIcon icon = getter();
    QVERIFY(!icon.isNull());
    for (int size : {16, 24, 32, 48}) {
        const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        int opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128;
        QVERIFY2(opaque > size * size / 5, qPrintable(QString::number(opaque)));
    }
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
