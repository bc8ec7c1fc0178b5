#include "mainwindow/ColumnFit.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/WindowPlacement.h"

#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTreeView>

using Screens = QList<QRect>;

class TestWindowPlacement : public QObject
{
    Q_OBJECT
private slots:
    void firstStart_data();
    void firstStart();
    void onScreen_data();
    void onScreen();
    void firstStartColumns_data();
    void firstStartColumns();
};

void TestWindowPlacement::firstStart_data()
{
    QTest::addColumn<Screens>("screens");
    QTest::addColumn<QPoint>("mouse");
    QTest::addColumn<QRect>("expected");

    const QRect single(0, 0, 1280, 1024);
    const QRect panelled(0, 32, 1280, 992); // a panel along the top
    const QRect right(1280, 0, 1920, 1080);
    const QRect left(-1024, 200, 1024, 768);
    QTest::newRow("one screen") << Screens {single} << QPoint(10, 10) << QRect(213, 171, 853, 682);
    QTest::newRow("without the panel") << Screens {panelled} << QPoint(600, 500) << QRect(213, 197, 853, 661);
    QTest::newRow("mouse on the second") << Screens {single, right} << QPoint(2000, 500) << QRect(1600, 180, 1280, 720);
    QTest::newRow("mouse on the first") << Screens {single, right} << QPoint(1279, 1023) << QRect(213, 171, 853, 682);
    QTest::newRow("screen left of the primary")
        << Screens {single, left} << QPoint(-5, 300) << QRect(-852, 328, 682, 512);
    QTest::newRow("mouse below the shorter screen")
        << Screens {single, right} << QPoint(1500, 1050) << QRect(1600, 180, 1280, 720);
    QTest::newRow("no screen") << Screens {} << QPoint(0, 0) << QRect();
}

void TestWindowPlacement::firstStart()
{
    QFETCH(Screens, screens);
    QFETCH(QPoint, mouse);
    QFETCH(QRect, expected);
    QCOMPARE(WindowPlacement::firstStart(screens, mouse), expected);
}

void TestWindowPlacement::onScreen_data()
{
    QTest::addColumn<Screens>("screens");
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("expected");

    const QRect single(0, 0, 1280, 1024);
    const QRect right(1280, 0, 1920, 1080);
    QTest::newRow("on the screen") << Screens {single} << QRect(30, 40, 800, 600) << QRect(30, 40, 800, 600);
    QTest::newRow("mostly off, still reachable")
        << Screens {single} << QRect(1100, 900, 800, 600) << QRect(1100, 900, 800, 600);
    QTest::newRow("on the second screen")
        << Screens {single, right} << QRect(2000, 100, 800, 600) << QRect(2000, 100, 800, 600);
    QTest::newRow("second screen removed")
        << Screens {single} << QRect(2000, 100, 800, 600) << QRect(480, 100, 800, 600);
    QTest::newRow("left screen removed") << Screens {single, right} << QRect(-1500, -300, 640, 480)
                                         << QRect(0, 0, 640, 480);
    QTest::newRow("only a sliver shows") << Screens {single} << QRect(1250, 10, 800, 600) << QRect(480, 10, 800, 600);
    QTest::newRow("below every screen") << Screens {single, right} << QRect(1500, 1200, 800, 600)
                                        << QRect(1500, 480, 800, 600);
    QTest::newRow("larger than the screen left")
        << Screens {single} << QRect(3000, 0, 2560, 1440) << QRect(0, 0, 1280, 1024);
    QTest::newRow("no screens") << Screens {} << QRect(5000, 5000, 10, 10) << QRect(5000, 5000, 10, 10);
}

void TestWindowPlacement::onScreen()
{
    QFETCH(Screens, screens);
    QFETCH(QRect, stored);
    QFETCH(QRect, expected);
    QCOMPARE(WindowPlacement::onScreen(stored, screens), expected);
}

void TestWindowPlacement::firstStartColumns_data()
{
    QTest::addColumn<int>("available");
    QTest::newRow("narrow list") << 200;
    QTest::newRow("usual list") << 640;
    QTest::newRow("wide list") << 3000;
}

// The visits, dates and ratings fit; the name and address share the rest, within their caption's and
// their usual width.
void TestWindowPlacement::firstStartColumns()
{
    QFETCH(int, available);
    QTreeView view;
    const QFontMetrics cells = view.fontMetrics();
    const QFontMetrics captions = view.header()->fontMetrics();
    const ColumnLayout columns = ColumnFit::firstStart(cells, captions, available);
    int total = 0;
    int least[5] = {};
    for (const ColumnInfo &column : columns) {
        const int id = ColumnIdOf(column.Caption);
        QVERIFY(id >= 0);
        const QString text = ColumnFit::usualText(id);
        QVERIFY(!text.isEmpty());
        least[id] = captions.horizontalAdvance(LinkListColumnTitle(id));
        QVERIFY2(column.Width > least[id], qPrintable(column.Caption));
        if (id != NameColumn && id != UrlColumn)
            QVERIFY2(column.Width > cells.horizontalAdvance(text),
                     qPrintable(column.Caption + QLatin1Char(' ') + text));
        QVERIFY(column.Width <= std::max(cells.horizontalAdvance(text), least[id]) + 100);
        total += column.Width;
    }
    const int name = columns[NameColumn].Width;
    const int url = columns[UrlColumn].Width;
    const bool atLeast = name < least[NameColumn] + 100 && url < least[UrlColumn] + 100;
    const bool atMost = name >= cells.horizontalAdvance(ColumnFit::usualText(NameColumn))
        && url >= cells.horizontalAdvance(ColumnFit::usualText(UrlColumn));
    QVERIFY2(total <= available || atLeast, qPrintable(QString::number(total)));
    QVERIFY2(total >= available - 2 || atMost, qPrintable(QString::number(total)));
    // The date is the list's own text for a late time of the year, so its width follows the locale.
    QVERIFY(ColumnFit::usualText(LastVisitColumn).contains(QLatin1String("58")));
}

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
