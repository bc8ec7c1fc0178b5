// The files a desktop installation holds besides the programs, as the build makes them.
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QTest>
#include <QXmlStreamReader>

class TestPackage : public QObject
{
    Q_OBJECT
private slots:
    void iconSizes_data();
    void iconSizes();
    void namesAgree();
    void manPagesNameTheirProgram_data();
    void manPagesNameTheirProgram();
};

void TestPackage::iconSizes_data()
{
    QTest::addColumn<int>("size");
    const QStringList sizes = QStringLiteral(QUILLMARK_ICON_SIZES).split(QLatin1Char(','));
    QVERIFY(sizes.contains(QStringLiteral("16")) && sizes.contains(QStringLiteral("256")));
    for (const QString &size : sizes)
        QTest::newRow(qPrintable(size)) << size.toInt();
}

// Each size is drawn for that size: square, not empty, and opaque where the quill crosses the middle.
void TestPackage::iconSizes()
{
    QFETCH(int, size);
    const QString path = QStringLiteral(QUILLMARK_ICON_DIR "/%1x%1/apps/quillmark.png").arg(size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    int opaque = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
    }
    QVERIFY2(opaque > size * size / 5, qPrintable(QString::number(opaque)));
}

// The metainfo launches the desktop entry by its file name, and the entry names the icon the theme holds.
void TestPackage::namesAgree()
{
    QFile metainfo(QStringLiteral(QUILLMARK_SOURCE_DIR "/packaging/com.orbrook.Quillmark.metainfo.xml"));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&metainfo);
    QString launchable;
    int screenshots = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("launchable"))
            launchable = xml.readElementText();
        else if (xml.name() == QLatin1String("screenshot"))
            ++screenshots;
    }
    QVERIFY(!xml.hasError());
    QCOMPARE(launchable, QStringLiteral("quillmark.desktop"));
    QVERIFY(screenshots >= 1);
    QVERIFY(QFile::exists(QStringLiteral(QUILLMARK_SOURCE_DIR "/resources/") + launchable));

    QSettings entry(QStringLiteral(QUILLMARK_SOURCE_DIR "/resources/quillmark.desktop"), QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    QCOMPARE(entry.value(QStringLiteral("Icon")).toString(), QStringLiteral("quillmark"));
    QCOMPARE(entry.value(QStringLiteral("Exec")).toString(), QStringLiteral("quillmark"));
}

void TestPackage::manPagesNameTheirProgram_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("quillmark") << "quillmark";
    QTest::newRow("quillmark-tool") << "quillmark-tool";
}

void TestPackage::manPagesNameTheirProgram()
{
    QFETCH(QString, program);
    QFile page(QStringLiteral(QUILLMARK_SOURCE_DIR "/packaging/man/%1.1").arg(program));
    QVERIFY(page.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(page.readAll());
    QVERIFY(text.startsWith(QStringLiteral(".TH ") + program.toUpper() + QStringLiteral(" 1 ")));
    QVERIFY(text.contains(QStringLiteral(".SH NAME\n") + program + QStringLiteral(" \\- ")));
}

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
