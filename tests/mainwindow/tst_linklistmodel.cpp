#include "common/GrowthTiming.h"
#include "common/ListFixture.h"

#include "linkcheck/LinkCheckStore.h"
#include "mainwindow/LinkCheckMark.h"
#include "mainwindow/LinkListModel.h"
#include "settings/ColumnInfo.h"
#include "store/CollectionDocument.h"
#include "store/DateConverter.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

class TestLinkListModel : public QObject
{
    Q_OBJECT
private slots:
    void compareText_data();
    void compareText();
    void compareRows_data();
    void compareRows();
    void sortAgreesWithCompare_data();
    void sortAgreesWithCompare();
    void sortInterruptedByChanges_data();
    void sortInterruptedByChanges();
    void sortIsConsistentWithOddDates();
    void cellTexts_data();
    void cellTexts();
    void lastVisitAtMidnight_data();
    void lastVisitAtMidnight();
    void fillPutsFoldersFirst();
    void fillCountsVisits();
    void fillWithoutFolder();
    void rowsReferToItems();
    void sortKeepsPersistentIndexes();
    void refreshAndRemove();
    void findingsFollowed_data();
    void findingsFollowed();
    void findingChangesLookUpTheirRows();
    void findingsToldOnceRowsIndexed();
};

void TestLinkListModel::compareText_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<int>("sign");

    QTest::newRow("letters fold") << QByteArray("abc") << QByteArray("ABC") << 0;
    QTest::newRow("mixed case order") << QByteArray("b") << QByteArray("A") << 1;
    QTest::newRow("shorter first") << QByteArray("Link") << QByteArray("link2") << -1;
    // Only a to z fold: '_' (95) stands after every letter, '[' (91) after 'Z' (90).
    QTest::newRow("underscore after letters") << QByteArray("_") << QByteArray("a") << 1;
    QTest::newRow("bracket after z") << QByteArray("[") << QByteArray("z") << 1;
    // Bytes above 127 count as unsigned values and do not fold.
    QTest::newRow("high bytes unsigned") << QByteArray("\xe9") << QByteArray("z") << 1;
}

void TestLinkListModel::compareText()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(int, sign);
    const int result = LinkListCompareText(a.toStdString(), b.toStdString());
    QCOMPARE((result > 0) - (result < 0), sign);
    const int reverse = LinkListCompareText(b.toStdString(), a.toStdString());
    QCOMPARE((reverse > 0) - (reverse < 0), -sign);
}

void TestLinkListModel::compareRows_data()
{
    QTest::addColumn<ItemShape>("a");
    QTest::addColumn<ItemShape>("b");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<int>("sign");

    QTest::newRow("visits extremes") << linkShape("a", INT_MIN) << linkShape("b", INT_MAX) << int(VisitsColumn) << true
                                     << -1;
    QTest::newRow("visits extremes reversed")
        << linkShape("a", INT_MAX) << linkShape("b", -1) << int(VisitsColumn) << true << 1;
    QTest::newRow("dates before the epoch")
        << linkShape("a", 0, -2.0) << linkShape("b", 0, 0.0) << int(LastVisitColumn) << true << -1;
    QTest::newRow("rating unsigned") << linkShape("a", 0, 0, 200) << linkShape("b", 0, 0, 1) << int(RatingColumn)
                                     << true << 1;
    QTest::newRow("url") << linkShape("a", 0, 0, 0, "HTTP://b") << linkShape("b", 0, 0, 0, "http://a") << int(UrlColumn)
                         << false << -1;
    QTest::newRow("unknown key counts as name") << linkShape("B") << linkShape("a") << 7 << true << 1;
}

void TestLinkListModel::compareRows()
{
    QFETCH(ItemShape, a);
    QFETCH(ItemShape, b);
    QFETCH(int, key);
    QFETCH(bool, ascending);
    QFETCH(int, sign);
    const auto folder = makeFolder({a, b});
    const LinkItem *first = folder->Children.Get(0);
    const LinkItem *second = folder->Children.Get(1);
    const int result = LinkListCompare(first, second, key, ascending);
    QCOMPARE((result > 0) - (result < 0), sign);
}

void TestLinkListModel::sortAgreesWithCompare_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<bool>("sliced");
    for (const bool sliced : {false, true}) {
        for (int key = NameColumn; key <= RatingColumn; ++key) {
            const char *how = sliced ? "in slices" : "at once";
            QTest::addRow("%s ascending %s", qPrintable(ColumnCaption(key)), how) << key << true << sliced;
            QTest::addRow("%s descending %s", qPrintable(ColumnCaption(key)), how) << key << false << sliced;
        }
    }
}

void TestLinkListModel::sortAgreesWithCompare()
{
    QFETCH(int, key);
    QFETCH(bool, ascending);
    QFETCH(bool, sliced);
    // Folders and links with few distinct values, so that ties and case differences abound; enough of them
    // for a sort in slices to merge several runs.
    const char *texts[] = {"a", "B", "b", "ab", "Ab", "_x", "\xe9", "Z", ""};
    const int count = sliced ? 5000 : 300;
    QList<ItemShape> shapes;
    for (int i = 0; i < count; ++i) {
        const QString text = QString::fromLatin1(texts[(i * 7) % 9]);
        shapes << ItemShape {text, i % 5 == 0, (i * 13) % 7 - 3, double((i * 11) % 4) * 0.5, (i * 3) % 6, text + text};
    }
    const auto folder = makeFolder(shapes);
    LinkListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.FillFromFolder(folder.get());
    std::vector<LinkItem *> expected;
    for (int row = 0; row < model.rowCount(); ++row)
        expected.push_back(model.itemAt(row));
    std::stable_sort(expected.begin(), expected.end(), [key, ascending](const LinkItem *a, const LinkItem *b) {
        return LinkListCompare(a, b, key, ascending) < 0;
    });
    QSignalSpy finished(&model, &LinkListModel::sortFinished);
    if (sliced)
        model.setSortSlicing(0, 0);
    model.sortRows(key, ascending);
    QCOMPARE(model.isSorting(), sliced);
    QTRY_VERIFY(!model.isSorting());
    QCOMPARE(finished.size(), sliced ? 1 : 0);
    QCOMPARE(model.rowCount(), count);
    // Stable: rows that compare equal keep the order they were listed in.
    for (int row = 0; row < count; ++row)
        QVERIFY2(model.itemAt(row) == expected[static_cast<size_t>(row)], qPrintable(QString::number(row)));
}

void TestLinkListModel::sortInterruptedByChanges_data()
{
    QTest::addColumn<QString>("change");
    for (const char *change : {"remove a row", "remove several rows", "rename a row", "add a row", "move a row out",
                               "list another folder", "sort again"})
        QTest::newRow(change) << QString::fromLatin1(change);
}

void TestLinkListModel::sortInterruptedByChanges()
{
    QFETCH(QString, change);
    QList<ItemShape> shapes;
    for (int i = 0; i < 4000; ++i)
        shapes << linkShape(QString::number((i * 7919) % 4000), i % 13);
    shapes << folderShape("sub");
    const auto folder = makeFolder(shapes);
    const auto other = makeFolder({linkShape("x"), linkShape("y")});
    CollectionDocument document(folder.get());
    LinkListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.follow(&document);
    model.FillFromFolder(folder.get());
    model.setSortSlicing(0, 0);
    model.sortRows(NameColumn, true);
    // One slice, then the change.
    QSignalSpy progress(&model, &LinkListModel::sortProgress);
    while (progress.size() < 2)
        QCoreApplication::processEvents();
    QVERIFY(model.isSorting());
    int key = NameColumn;
    bool ascending = true;
    LinkItem *first = folder->Children.Get(0);
    LinkItem *sub = folder->Children.Get(folder->Children.Count() - 1);
    if (change == "remove a row") {
        document.remove(first);
    } else if (change == "remove several rows") {
        document.removeItems({folder->Children.Get(5), folder->Children.Get(1000), folder->Children.Get(3999)});
    } else if (change == "rename a row") {
        document.rename(first, "zzz");
    } else if (change == "add a row") {
        document.insertSorted(folder.get(), LinkItem::MakeLink("0", ""));
    } else if (change == "move a row out") {
        document.move(first, sub);
    } else if (change == "list another folder") {
        model.FillFromFolder(other.get());
    } else {
        key = VisitsColumn;
        ascending = false;
        model.sortRows(key, ascending);
    }
    QTRY_VERIFY(!model.isSorting());

    // Whatever came between, the list shows exactly the folder's children, in order.
    const LinkItem *shown = model.folder();
    QCOMPARE(model.rowCount(), shown->Children.Count());
    for (const auto &child : shown->Children)
        QVERIFY(model.rowOf(child.get()) >= 0);
    if (shown == folder.get()) {
        for (int row = 1; row < model.rowCount(); ++row)
            QVERIFY2(LinkListCompare(model.itemAt(row - 1), model.itemAt(row), key, ascending) <= 0,
                     qPrintable(QString::number(row)));
    }
}

void TestLinkListModel::sortIsConsistentWithOddDates()
{
    // Dates that are not numbers must still give one consistent order, or the sort could run off its range.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QList<ItemShape> shapes;
    for (int i = 0; i < 200; ++i)
        shapes << linkShape(QString::number(i), 0, (i % 3 == 0) ? nan : double((i * 7919) % 101));
    const auto folder = makeFolder(shapes);
    LinkListModel model;
    model.FillFromFolder(folder.get());
    model.sortRows(LastVisitColumn, true);
    bool seenNan = false;
    double previous = -1.0;
    for (int row = 0; row < model.rowCount(); ++row) {
        const double value = model.itemAt(row)->LastVisit;
        if (std::isnan(value)) {
            seenNan = true;
            continue;
        }
        QVERIFY2(!seenNan, "a date follows an unreadable one");
        QVERIFY(value >= previous);
        previous = value;
    }
    QVERIFY(seenNan);
}

void TestLinkListModel::cellTexts_data()
{
    QTest::addColumn<ItemShape>("shape");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");

    QTest::newRow("negative visits") << linkShape("a", -5) << int(VisitsColumn) << QStringLiteral("-5");
    QTest::newRow("never") << linkShape("a", 0, 0.0) << int(LastVisitColumn) << QStringLiteral("Never");
    QTest::newRow("unreadable date") << linkShape("a", 0, std::numeric_limits<double>::infinity())
                                     << int(LastVisitColumn) << QString();
    QTest::newRow("rating 0 blank") << linkShape("a", 0, 0, 0) << int(RatingColumn) << QString();
    QTest::newRow("utf-8 name") << linkShape(QStringLiteral("Caf\u00e9")) << int(NameColumn)
                                << QStringLiteral("Caf\u00e9");
}

void TestLinkListModel::cellTexts()
{
    QFETCH(ItemShape, shape);
    QFETCH(int, column);
    QFETCH(QString, text);
    const auto folder = makeFolder({shape});
    LinkListModel model;
    model.FillFromFolder(folder.get());
    QCOMPARE(model.index(0, column).data().toString(), text);
}

void TestLinkListModel::lastVisitAtMidnight_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<bool>("timeShown");

    const QDate day(2023, 3, 15);
    QTest::newRow("midnight and milliseconds") << QDateTime(day, QTime(0, 0, 0, 600)) << false;
    QTest::newRow("one second past") << QDateTime(day, QTime(0, 0, 1)) << true;
}

void TestLinkListModel::lastVisitAtMidnight()
{
    QFETCH(QDateTime, when);
    QFETCH(bool, timeShown);
    const QString date = QLocale::system().toString(when.date(), QLocale::ShortFormat);
    const QString text = LinkListLastVisitText(DateConverter::fromDateTime(when));
    if (timeShown) {
        QVERIFY2(text.startsWith(date + QLatin1Char(' ')), qPrintable(text));
        QVERIFY(text.size() > date.size() + 1);
    } else {
        QCOMPARE(text, date);
    }
}

void TestLinkListModel::fillPutsFoldersFirst()
{
    // Children in stored order: folder "b", link "z", folder "A", link "Y".
    const auto folder = makeFolder({folderShape("b"), linkShape("z"), folderShape("A"), linkShape("Y")});
    LinkListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.FillFromFolder(folder.get());
    QCOMPARE(rowNames(model), QStringList({"b", "A", "z", "Y"}));
    model.sortRows(NameColumn, true);
    QCOMPARE(rowNames(model), QStringList({"A", "b", "Y", "z"}));
    model.sortRows(NameColumn, false);
    QCOMPARE(rowNames(model), QStringList({"z", "Y", "b", "A"}));
    // Folder rows carry the folder picture, link rows the link picture.
    QVERIFY(model.itemAt(2)->isFolder());
    const QIcon folderIcon = model.index(2, NameColumn).data(Qt::DecorationRole).value<QIcon>();
    const QIcon linkIcon = model.index(0, NameColumn).data(Qt::DecorationRole).value<QIcon>();
    QVERIFY(!folderIcon.isNull());
    QVERIFY(!linkIcon.isNull());
    QVERIFY(folderIcon.cacheKey() != linkIcon.cacheKey());
    QVERIFY(!model.index(0, UrlColumn).data(Qt::DecorationRole).isValid());
}

void TestLinkListModel::fillCountsVisits()
{
    const auto folder = makeFolder({linkShape("a")});
    folder->Visits = 3;
    LinkListModel model;
    model.FillFromFolder(folder.get());
    model.FillFromFolder(folder.get());
    QCOMPARE(folder->Visits, 5);
    QCOMPARE(folder->Children.Get(0)->Visits, 0);
    // The count stops at its largest value instead of turning negative.
    folder->Visits = INT_MAX;
    model.FillFromFolder(folder.get());
    QCOMPARE(folder->Visits, INT_MAX);
}

void TestLinkListModel::fillWithoutFolder()
{
    const auto folder = makeFolder({linkShape("a"), linkShape("b")});
    LinkListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.FillFromFolder(folder.get());
    QCOMPARE(model.rowCount(), 2);
    model.FillFromFolder(nullptr);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.folder(), nullptr);
    QCOMPARE(folder->Visits, 1);
}

void TestLinkListModel::rowsReferToItems()
{
    const auto folder = makeFolder({linkShape("a"), folderShape("f")});
    LinkListModel model;
    model.FillFromFolder(folder.get());
    LinkItem *link = folder->Children.Get(0);
    QCOMPARE(model.rowOf(link), 1);
    QCOMPARE(model.itemAt(1), link);
    QCOMPARE(model.index(1, RatingColumn).data(LinkListModel::ItemRole).value<LinkItem *>(), link);
    QCOMPARE(model.itemAt(2), nullptr);
    QCOMPARE(model.rowOf(folder.get()), -1);
    // Captions are not edited in place.
    QVERIFY(!(model.flags(model.index(0, NameColumn)) & Qt::ItemIsEditable));
}

void TestLinkListModel::sortKeepsPersistentIndexes()
{
    QList<ItemShape> shapes;
    for (int i = 0; i < 50; ++i)
        shapes << linkShape(QString::number(i), (i * 37) % 50);
    const auto folder = makeFolder(shapes);
    LinkListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.FillFromFolder(folder.get());
    QItemSelectionModel selection(&model);
    const LinkItem *picked[] = {model.itemAt(3), model.itemAt(17), model.itemAt(42)};
    for (const LinkItem *item : picked)
        selection.select(model.indexOf(item), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QPersistentModelIndex current(model.indexOf(picked[1], VisitsColumn));

    model.sortRows(VisitsColumn, false);
    for (int row = 1; row < model.rowCount(); ++row)
        QVERIFY(model.itemAt(row - 1)->Visits >= model.itemAt(row)->Visits);
    QCOMPARE(model.itemAt(current.row()), picked[1]);
    QCOMPARE(current.column(), int(VisitsColumn));
    const QModelIndexList selected = selection.selectedRows();
    QCOMPARE(selected.size(), 3);
    for (const LinkItem *item : picked)
        QVERIFY(selection.isRowSelected(model.rowOf(item)));
}

void TestLinkListModel::refreshAndRemove()
{
    const auto folder = makeFolder({linkShape("a"), linkShape("b"), linkShape("c")});
    LinkListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.FillFromFolder(folder.get());
    LinkItem *b = folder->Children.Get(1);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    b->Visits = 7;
    b->Rating = 2;
    QVERIFY(model.refreshItem(b));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].value<QModelIndex>(), model.index(1, 0));
    QCOMPARE(changed[0][1].value<QModelIndex>(), model.index(1, LinkListModel::ColumnCount - 1));
    QCOMPARE(model.index(1, VisitsColumn).data().toString(), QStringLiteral("7"));
    QCOMPARE(model.index(1, RatingColumn).data().toString(), QStringLiteral("2"));

    QVERIFY(model.removeItem(b));
    QCOMPARE(rowNames(model), QStringList({"a", "c"}));
    QVERIFY(!model.removeItem(b));
    QVERIFY(!model.refreshItem(b));
}

namespace {
LinkCheckResult finding(LinkCheckResult::Outcome outcome)
{
    LinkCheckResult result;
    result.outcome = outcome;
    result.checkedAt = QDateTime::currentDateTimeUtc();
    return result;
}
} // namespace

void TestLinkListModel::findingsFollowed_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("sortedFirst");
    // The rows rendered again, and the rows marked broken afterwards.
    QTest::addColumn<QStringList>("announced");
    QTest::addColumn<QStringList>("marked");

    QTest::newRow("finding added") << "a broken" << false << QStringList {"a", "c"} << QStringList {"a", "b", "c"};
    QTest::newRow("finding changed") << "b ok" << false << QStringList {"b"} << QStringList {};
    QTest::newRow("finding dropped") << "b dropped" << false << QStringList {"b"} << QStringList {};
    QTest::newRow("address not listed") << "other broken" << false << QStringList {} << QStringList {"b"};
    QTest::newRow("findings kept for a only") << "keep a" << false << QStringList {"b"} << QStringList {};
    QTest::newRow("several in one batch")
        << "a and e broken" << false << QStringList {"a", "c", "e"} << QStringList {"a", "b", "c", "e"};
    QTest::newRow("after a sort") << "a and e broken" << true << QStringList {"a", "c", "e"}
                                  << QStringList {"a", "b", "c", "e"};
    QTest::newRow("store reloaded") << "reload e broken" << false << QStringList {"f", "a", "b", "c", "e"}
                                    << QStringList {"e"};
    QTest::newRow("findings handed over")
        << "replace e broken" << false << QStringList {"f", "a", "b", "c", "e"} << QStringList {"e"};
}

void TestLinkListModel::findingsFollowed()
{
    QFETCH(QString, change);
    QFETCH(bool, sortedFirst);
    QFETCH(QStringList, announced);
    QFETCH(QStringList, marked);
    const QString a = QStringLiteral("http://x.test/a");
    const QString b = QStringLiteral("http://x.test/b");
    // c has a's address; e's address is no UTF-8 and is named as Windows-1252 shows it.
    const QString e = QStringLiteral("http://x.test/\u00e9");
    const auto folder = makeFolder({folderShape("f"), linkShape("a", 0, 0, 0, a), linkShape("b", 0, 0, 0, b),
                                    linkShape("c", 0, 0, 0, a), linkShape("e")});
    folder->Children.Get(4)->Url = std::string("http://x.test/\xe9");
    LinkCheckStore store;
    LinkListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.FillFromFolder(folder.get());
    model.followFindings(&store);
    store.set(b, finding(LinkCheckResult::Broken));
    if (sortedFirst)
        model.sortRows(NameColumn, false);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    if (change == QLatin1String("a broken")) {
        store.set(a, finding(LinkCheckResult::Broken));
    } else if (change == QLatin1String("b ok")) {
        store.set(b, finding(LinkCheckResult::Ok));
    } else if (change == QLatin1String("b dropped")) {
        store.remove(b);
    } else if (change == QLatin1String("other broken")) {
        store.set(QStringLiteral("http://x.test/other"), finding(LinkCheckResult::Broken));
    } else if (change == QLatin1String("keep a")) {
        store.keepOnly({a});
    } else if (change == QLatin1String("a and e broken")) {
        store.beginChanges();
        store.set(a, finding(LinkCheckResult::Broken));
        store.set(e, finding(LinkCheckResult::Broken));
        QCOMPARE(changed.size(), 0);
        store.endChanges();
    } else {
        LinkCheckStore other;
        other.set(e, finding(LinkCheckResult::Broken));
        if (change.startsWith(QLatin1String("reload")))
            QVERIFY(store.loadBytes(other.toBytes()));
        else
            QCOMPARE(store.replace(other.take()).size(), 1);
    }

    QStringList rendered;
    for (const QList<QVariant> &signal : std::as_const(changed)) {
        const auto from = signal[0].value<QModelIndex>();
        const auto to = signal[1].value<QModelIndex>();
        QCOMPARE(signal[2].value<QList<int>>(), QList<int>({Qt::DecorationRole}));
        for (int row = from.row(); row <= to.row(); ++row)
            rendered << model.index(row, NameColumn).data().toString();
    }
    QStringList markedNow;
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.index(row, NameColumn).data(Qt::DecorationRole).value<QIcon>().cacheKey()
            == LinkCheckMark::brokenIcon().cacheKey())
            markedNow << model.index(row, NameColumn).data().toString();
    }
    rendered.sort();
    markedNow.sort();
    announced.sort();
    QCOMPARE(rendered, announced);
    QCOMPARE(markedNow, marked);
}

void TestLinkListModel::findingChangesLookUpTheirRows()
{
    // Findings come in one at a time while a check runs: each must cost a look-up, not a pass over the rows.
    const auto timed = [](int rows) {
        QList<ItemShape> shapes;
        for (int i = 0; i < rows; ++i)
            shapes << linkShape(QStringLiteral("l"), 0, 0, 0, QStringLiteral("http://x.test/%1").arg(i));
        const auto folder = makeFolder(shapes);
        return GrowthTiming::fastestCpuMs(
            [&] {
                LinkCheckStore store;
                LinkListModel model;
                model.setSortSlicing(20'000, 600'000); // the rows are indexed at once
                model.FillFromFolder(folder.get());
                model.followFindings(&store);
                for (int i = 0; i < rows; i += 8)
                    store.set(QStringLiteral("http://x.test/%1").arg(i), finding(LinkCheckResult::Broken));
            },
            3);
    };
    const int rows = 20'000;
    const double once = timed(rows);
    const double twice = timed(2 * rows);
    QVERIFY2(GrowthTiming::grewInProportion(once, twice), qPrintable(GrowthTiming::describe(once, rows, twice)));
}

void TestLinkListModel::findingsToldOnceRowsIndexed()
{
    // Many rows are indexed a slice at a time; rows that change meanwhile are indexed afresh.
    QList<ItemShape> shapes;
    for (int i = 0; i < 10'000; ++i)
        shapes << linkShape(QStringLiteral("l%1").arg(i, 5, 10, QLatin1Char('0')), 0, 0, 0,
                            QStringLiteral("http://x.test/%1").arg(i));
    const auto folder = makeFolder(shapes);
    LinkCheckStore store;
    LinkListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setSortSlicing(20'000, 0);
    model.FillFromFolder(folder.get());
    model.followFindings(&store);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    store.set(QStringLiteral("http://x.test/9999"), finding(LinkCheckResult::Broken));
    QCOMPARE(changed.size(), 0);
    QVERIFY(model.removeItem(model.itemAt(0)));
    store.set(QStringLiteral("http://x.test/5"), finding(LinkCheckResult::Ok));
    QTRY_COMPARE(changed.size(), 2);
    QCOMPARE(changed[0][0].value<QModelIndex>().row(), 4);
    QCOMPARE(changed[1][0].value<QModelIndex>().row(), 9998);
    QCOMPARE(model.index(9998, NameColumn).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
             LinkCheckMark::brokenIcon().cacheKey());
}

QTEST_MAIN(TestLinkListModel)
#include "tst_linklistmodel.moc"
