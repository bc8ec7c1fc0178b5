// The folder tree's model: what it shows after each kind of document edit, one rule at a time, and many
// random edits (undo and redo among them), each checked against a model built afresh, under the model tester.
#include "common/GrowthTiming.h"
#include "common/TreeBuilders.h"

#include "mainwindow/FolderTreeModel.h"
#include "mainwindow/FolderTreeView.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// A tree written as names: "A(a1 a2) B l=http://x" is the folders A (with a1 and a2) and B and the link l.
std::unique_ptr<LinkItem> parseTree(const QString &text)
{
    auto root = LinkItem::MakeFolder("R");
    std::vector<LinkItem *> open {root.get()};
    LinkItem *last = nullptr;
    QString word;
    const auto flush = [&] {
        if (word.isEmpty())
            return;
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        if (equals >= 0)
            last = TreeBuilders::addLink(*open.back(), word.left(equals).toStdString(),
                                         word.mid(equals + 1).toStdString());
        else
            last = TreeBuilders::addFolder(*open.back(), word.toStdString());
        word.clear();
    };
    for (const QChar c : text) {
        if (c == QLatin1Char('(')) {
            flush();
            open.push_back(last);
        } else if (c == QLatin1Char(')')) {
            flush();
            open.pop_back();
        } else if (c == QLatin1Char(' ')) {
            flush();
        } else {
            word += c;
        }
    }
    flush();
    return root;
}

// The rows as the model has them: a fetched folder's rows in brackets, an unfetched folder that opens "+".
QString dump(const FolderTreeModel &model, const QModelIndex &index)
{
    QString text = index.data().toString();
    if (model.isFetched(index) && model.rowCount(index) > 0) {
        QStringList rows;
        for (int row = 0; row < model.rowCount(index); ++row)
            rows << dump(model, model.index(row, 0, index));
        text += QLatin1Char('[') + rows.join(QLatin1Char(',')) + QLatin1Char(']');
    } else if (!model.isFetched(index) && model.hasChildren(index)) {
        text += QLatin1Char('+');
    }
    return text;
}

QString dump(const FolderTreeModel &model)
{
    return model.rowCount() ? dump(model, model.index(0, 0)) : QString();
}

// A model built afresh over root, fetched where `shown` is fetched: the rows must be the same folders.
void compareWithFresh(const FolderTreeModel &shown, LinkItem *root)
{
    FolderTreeModel fresh;
    fresh.setRoot(root);
    std::vector<std::pair<QModelIndex, QModelIndex>> pending {{shown.index(0, 0), fresh.index(0, 0)}};
    while (!pending.empty()) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        QCOMPARE(FolderTreeModel::itemOf(a), FolderTreeModel::itemOf(b));
        QCOMPARE(a.data().toString(), b.data().toString());
        QCOMPARE(shown.parent(a), shown.index(a.row(), 0, shown.parent(a)).parent());
        QCOMPARE(FolderTreeModel::itemOf(shown.parent(a)), FolderTreeModel::itemOf(b.parent()));
        QCOMPARE(shown.hasChildren(a), fresh.hasChildren(b));
        if (!shown.isFetched(a))
            continue;
        fresh.fetchMore(b);
        QCOMPARE(shown.rowCount(a), fresh.rowCount(b));
        for (int row = 0; row < shown.rowCount(a); ++row)
            pending.emplace_back(shown.index(row, 0, a), fresh.index(row, 0, b));
    }
}

LinkItem *find(LinkItem *root, const QString &path)
{
    LinkItem *at = root;
    for (const QString &name : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        LinkItem *next = nullptr;
        for (const auto &child : at->Children) {
            if (child->Name.view() == name.toStdString()) {
                next = child.get();
                break;
            }
        }
        if (!next)
            return nullptr;
        at = next;
    }
    return at;
}

// One edit of a rule: "fetch P", "folder P n", "link P n", "remove P", "removeItems P P...", "move P D",
// "moveChildren P D", "insertChildren P n...", "import P n...", "rename P n", "edit P n", "undo", "redo".
void apply(CollectionDocument &document, FolderTreeModel &model, const QString &step)
{
    const QStringList words = step.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString &verb = words.at(0);
    LinkItem *root = document.root();
    const auto at = [&](int i) {
        LinkItem *item = find(root, words.at(i));
        if (!item)
            qFatal("no item %s", qPrintable(words.at(i)));
        return item;
    };
    if (verb == u"fetch")
        model.fetchMore(model.reveal(at(1)));
    else if (verb == u"folder")
        document.insertSorted(at(1), LinkItem::MakeFolder(words.at(2).toStdString()));
    else if (verb == u"link")
        document.insertSorted(at(1), LinkItem::MakeLink(words.at(2).toStdString(), "http://example.com/"));
    else if (verb == u"remove")
        document.remove(at(1));
    else if (verb == u"removeItems") {
        std::vector<LinkItem *> items;
        for (int i = 1; i < words.size(); ++i)
            items.push_back(at(i));
        document.removeItems(items);
    } else if (verb == u"move")
        document.move(at(1), at(2));
    else if (verb == u"moveChildren")
        document.moveChildren(at(1), at(2));
    else if (verb == u"insertChildren") {
        std::vector<std::unique_ptr<LinkItem>> items;
        for (int i = 2; i < words.size(); ++i)
            items.push_back(LinkItem::MakeFolder(words.at(i).toStdString()));
        document.insertChildren(at(1), std::move(items));
    } else if (verb == u"import") {
        LinkItem *folder = at(1);
        document.aboutToAddChildren(folder);
        for (int i = 2; i < words.size(); ++i)
            TreeBuilders::addFolder(*folder, words.at(i).toStdString());
        document.childrenAdded(folder);
    } else if (verb == u"rename")
        document.rename(at(1), words.at(2).toStdString());
    else if (verb == u"edit")
        model.setData(model.indexOf(at(1)), words.at(2));
    else if (verb == u"undo")
        document.undo();
    else if (verb == u"redo")
        document.redo();
    else
        qFatal("unknown step %s", qPrintable(step));
}

} // namespace

class TestFolderTreeModel : public QObject
{
    Q_OBJECT
private slots:
    void edits_data();
    void edits();
    void refusesBackslash();
    void markFollowsSubFolders();
    void selectionSurvivesRemovals_data();
    void selectionSurvivesRemovals();
    void dropsGoThroughTheDocument();
    void randomEdits_data();
    void randomEdits();
    void parentInConstantTime();
};

void TestFolderTreeModel::edits_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("rows");

    const QString abc = u"A(a1 a2(x) l=u) B(b1) C"_qs;
    QTest::newRow("fetched lazily") << abc << u""_qs << u"R+"_qs;
    QTest::newRow("one level") << abc << u"fetch /"_qs << u"R[A+,B+,C]"_qs;
    QTest::newRow("a branch") << abc << u"fetch /; fetch A"_qs << u"R[A[a1,a2+],B+,C]"_qs;
    QTest::newRow("reveal fetches the path") << abc << u"fetch A/a2"_qs << u"R[A[a1,a2[x]],B+,C]"_qs;
    QTest::newRow("locale-aware order") << u"b C a D"_qs << u"fetch /"_qs << u"R[a,b,C,D]"_qs;
    QTest::newRow("a folder joins its fetched parent in order")
        << abc << u"fetch A; folder A a0; folder A zz"_qs << u"R[A[a0,a1,a2+,zz],B+,C]"_qs;
    QTest::newRow("a link is no row") << abc << u"fetch A; link A a0"_qs << u"R[A[a1,a2+],B+,C]"_qs;
    QTest::newRow("a first sub-folder gives the mark") << abc << u"fetch /; folder C c1"_qs << u"R[A+,B+,C+]"_qs;
    QTest::newRow("a folder below an unfetched one stays unfetched")
        << abc << u"fetch /; folder B b0"_qs << u"R[A+,B+,C]"_qs;
    QTest::newRow("remove a fetched branch") << abc << u"fetch A/a2; remove A/a2"_qs << u"R[A[a1],B+,C]"_qs;
    QTest::newRow("remove the last sub-folder") << abc << u"fetch /; remove B/b1"_qs << u"R[A+,B,C]"_qs;
    QTest::newRow("undo a removal") << abc << u"fetch A/a2; remove A/a2; undo"_qs << u"R[A[a1,a2+],B+,C]"_qs;
    QTest::newRow("remove several") << abc << u"fetch A; removeItems A/a1 C A/l"_qs << u"R[A[a2+],B+]"_qs;
    QTest::newRow("undo removing several")
        << abc << u"fetch A; removeItems A/a1 C A/l; undo"_qs << u"R[A[a1,a2+],B+,C]"_qs;
    QTest::newRow("remove many scattered rows at once")
        << u"f01 f02 f03 f04 f05 f06 f07 f08 f09 f10 f11 f12 f13 f14 f15 f16 f17 f18 f19 f20 f21 f22 f23 f24 f25 "
           u"f26 f27 f28 f29 f30 f31 f32 f33 f34 f35 f36 f37 f38 f39 f40"_qs
        << u"fetch /; removeItems f01 f03 f05 f07 f09 f11 f13 f15 f17 f19 f21 f23 f25 f27 f29 f31 f33 f35 f37 f39"_qs
        << u"R[f02,f04,f06,f08,f10,f12,f14,f16,f18,f20,f22,f24,f26,f28,f30,f32,f34,f36,f38,f40]"_qs;
    QTest::newRow("move between fetched folders")
        << abc << u"fetch A/a2; fetch B; move A/a2 B"_qs << u"R[A[a1],B[a2[x],b1],C]"_qs;
    QTest::newRow("move into an unfetched folder") << abc << u"fetch A; move A/a1 C"_qs << u"R[A[a2+],B+,C+]"_qs;
    QTest::newRow("move out of an unfetched folder") << abc << u"fetch /; move B/b1 A/a2"_qs << u"R[A+,B,C]"_qs;
    QTest::newRow("move from an unfetched folder into a fetched one")
        << abc << u"fetch A; move B/b1 A"_qs << u"R[A[a1,a2+,b1],B,C]"_qs;
    QTest::newRow("undo a move") << abc << u"fetch A/a2; fetch B; move A/a2 B; undo"_qs << u"R[A[a1,a2[x]],B[b1],C]"_qs;
    QTest::newRow("a move keeps depth") << u"A(B(C(D)))"_qs << u"fetch A/B/C; move A/B/C /"_qs << u"R[A[B],C[D]]"_qs;
    QTest::newRow("move all children") << abc << u"fetch A; fetch B; moveChildren A B"_qs << u"R[A,B[a1,a2+,b1],C]"_qs;
    QTest::newRow("undo moving all children")
        << abc << u"fetch A; fetch B; moveChildren A B; undo"_qs << u"R[A[a1,a2+],B[b1],C]"_qs;
    QTest::newRow("insert children at once")
        << abc << u"fetch A; insertChildren A a3 a0 b"_qs << u"R[A[a0,a1,a2+,a3,b],B+,C]"_qs;
    QTest::newRow("an import fills a fetched folder")
        << abc << u"fetch B; import B b0 c"_qs << u"R[A+,B[b0,b1,c],C]"_qs;
    QTest::newRow("an import into an empty folder gives the mark")
        << abc << u"fetch /; import C c1 c2"_qs << u"R[A+,B+,C+]"_qs;
    QTest::newRow("a rename takes its place") << abc << u"fetch A; rename A/a1 zz"_qs << u"R[A[a2+,zz],B+,C]"_qs;
    QTest::newRow("a rename of the root") << abc << u"fetch /; rename / Home"_qs << u"Home[A+,B+,C]"_qs;
    QTest::newRow("undo a rename") << abc << u"fetch A; rename A/a1 zz; undo"_qs << u"R[A[a1,a2+],B+,C]"_qs;
    QTest::newRow("a rename in place goes through the document")
        << abc << u"fetch A; edit A/a1 b"_qs << u"R[A[a2+,b],B+,C]"_qs;
    QTest::newRow("equal names") << u"A B"_qs << u"fetch /; rename B A; folder / A; rename A Z"_qs << u"R[A,A,Z]"_qs;
}

void TestFolderTreeModel::edits()
{
    QFETCH(QString, tree);
    QFETCH(QString, steps);
    QFETCH(QString, rows);
    // Once as a view sees the model, fetched where it asks; once under the model tester, which fetches
    // every folder and checks every signal.
    for (const bool tested : {false, true}) {
        auto root = parseTree(tree);
        CollectionDocument document(root.get());
        FolderTreeModel model;
        model.setDocument(&document);
        model.setRoot(root.get());
        std::unique_ptr<QAbstractItemModelTester> tester;
        if (tested)
            tester = std::make_unique<QAbstractItemModelTester>(&model,
                                                                QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const QString &step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            apply(document, model, step.trimmed());
            compareWithFresh(model, root.get());
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(u"after "_qs + step));
        }
        if (!tested)
            QCOMPARE(dump(model), rows);
    }
}

void TestFolderTreeModel::refusesBackslash()
{
    auto root = parseTree(u"A B"_qs);
    CollectionDocument document(root.get());
    FolderTreeModel model;
    model.setDocument(&document);
    model.setRoot(root.get());
    model.fetchMore(model.index(0, 0));
    QSignalSpy refused(&model, &FolderTreeModel::nameRefused);
    QVERIFY(!model.setData(model.index(0, 0, model.index(0, 0)), u"a\\b"_qs));
    QCOMPARE(refused.count(), 1);
    QVERIFY(!model.setData(model.index(0, 0), u"Root"_qs)); // the root keeps its name here
    QCOMPARE(dump(model), u"R[A,B]"_qs);
    QVERIFY(!document.canUndo());
}

void TestFolderTreeModel::markFollowsSubFolders()
{
    // A view keeps each row's expand mark until the row changes: the model says when it does.
    auto root = parseTree(u"A B(b1)"_qs);
    CollectionDocument document(root.get());
    FolderTreeModel model;
    model.setDocument(&document);
    model.setRoot(root.get());
    model.fetchMore(model.index(0, 0));
    const QPersistentModelIndex a = model.index(0, 0, model.index(0, 0));
    const QPersistentModelIndex b = model.index(1, 0, model.index(0, 0));
    QVERIFY(!model.hasChildren(a));
    QVERIFY(model.hasChildren(b));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    document.insertSorted(find(root.get(), u"A"_qs), LinkItem::MakeFolder("a1"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), QModelIndex(a));
    QVERIFY(model.hasChildren(a));
    document.remove(find(root.get(), u"B/b1"_qs));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).value<QModelIndex>(), QModelIndex(b));
    QVERIFY(!model.hasChildren(b));
    document.insertSorted(find(root.get(), u"A"_qs), LinkItem::MakeLink("l", "http://example.com/"));
    QCOMPARE(changed.count(), 2); // a link changes no mark
}

void TestFolderTreeModel::selectionSurvivesRemovals_data()
{
    QTest::addColumn<int>("step"); // every how many folders one goes; one row in each range
    QTest::addColumn<QString>("shown");
    QTest::newRow("a few ranges: a neighbour") << 10 << u"f11"_qs;
    QTest::newRow("many ranges at once: the parent") << 2 << u"R"_qs;
}

void TestFolderTreeModel::selectionSurvivesRemovals()
{
    // The shown folder goes with others: the tree shows a folder that is still there.
    QFETCH(int, step);
    QFETCH(QString, shown);
    QString names;
    for (int i = 10; i < 50; ++i)
        names += u"f%1 "_qs.arg(i);
    auto root = parseTree(names);
    CollectionDocument document(root.get());
    FolderTreeView tree;
    tree.follow(&document);
    tree.setRootFolder(root.get());
    QSignalSpy selected(&tree, &FolderTreeView::folderSelected);
    std::vector<LinkItem *> doomed;
    for (int i = 0; i < root->Children.Count(); i += step)
        doomed.push_back(root->Children.Get(i));
    QVERIFY(tree.selectFolder(doomed.front()));
    document.removeItems(doomed);
    QVERIFY(tree.selectedFolder());
    QCOMPARE(TextCodec::toDisplay(tree.selectedFolder()->Name), shown);
    QCOMPARE(selected.last().at(0).value<LinkItem *>(), tree.selectedFolder());
}

void TestFolderTreeModel::dropsGoThroughTheDocument()
{
    auto root = parseTree(u"A(a1) B"_qs);
    CollectionDocument document(root.get());
    FolderTreeModel model;
    model.setDocument(&document);
    model.setRoot(root.get());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QModelIndex a = model.reveal(find(root.get(), u"A"_qs));
    const QModelIndex b = model.reveal(find(root.get(), u"B"_qs));
    model.fetchMore(a);
    const QModelIndex a1 = model.index(0, 0, a);
    std::unique_ptr<QMimeData> drag(model.mimeData({a}));
    QVERIFY(drag);
    QVERIFY(!model.canDropMimeData(drag.get(), Qt::MoveAction, -1, 0, a1)); // not into itself
    QVERIFY(!model.canDropMimeData(drag.get(), Qt::MoveAction, -1, 0, a));
    QVERIFY(model.canDropMimeData(drag.get(), Qt::MoveAction, -1, 0, b));
    // A drag this model did not start, whatever it says, moves nothing.
    QMimeData forged;
    forged.setData(FolderTreeModel::TreeMimeType, QByteArray::number(reinterpret_cast<quintptr>(a1.internalPointer())));
    QVERIFY(!model.canDropMimeData(&forged, Qt::MoveAction, -1, 0, b));
    QVERIFY(model.dropMimeData(drag.get(), Qt::MoveAction, -1, 0, b));
    QCOMPARE(dump(model), u"R[B+]"_qs);
    QCOMPARE(document.undoCaption(), QCoreApplication::translate("CollectionDocument", "Move"));
    // List entries dropped on a folder are the window's business, unless the folder lies in one of them.
    model.fetchMore(model.indexOf(root->Children.Get(0)));
    LinkItem *movedA = find(root.get(), u"B/A"_qs);
    QSignalSpy dropped(&model, &FolderTreeModel::listEntriesDropped);
    QMimeData entries;
    entries.setData(FolderTreeModel::ListMimeType, QByteArray());
    model.setListSelection([movedA] { return std::vector<LinkItem *> {movedA}; });
    QVERIFY(!model.dropMimeData(&entries, Qt::MoveAction, -1, 0, model.reveal(find(root.get(), u"B/A/a1"_qs))));
    QVERIFY(model.dropMimeData(&entries, Qt::MoveAction, -1, 0, model.indexOf(root->Children.Get(0))));
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(dropped.at(0).at(0).value<LinkItem *>(), root->Children.Get(0));
}

void TestFolderTreeModel::randomEdits_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("tested"); // under the model tester, which fetches every folder
    for (quint32 seed = 1; seed <= 12; ++seed)
        QTest::addRow("seed %u%s", seed, seed % 2 ? "" : " tested") << seed << (seed % 2 == 0);
}

void TestFolderTreeModel::randomEdits()
{
    QFETCH(quint32, seed);
    QFETCH(bool, tested);
    QRandomGenerator random(seed);
    // Few names, so that equal names are common.
    const auto name = [&random] { return std::string(1, char('a' + random.bounded(6))); };
    auto root = LinkItem::MakeFolder("R");
    std::vector<LinkItem *> folders {root.get()};
    for (int i = 0; i < 60; ++i) {
        LinkItem *parent = folders[random.bounded(int(folders.size()))];
        if (random.bounded(3) == 0)
            TreeBuilders::addLink(*parent, name(), "http://example.com/");
        else
            folders.push_back(TreeBuilders::addFolder(*parent, name()));
    }
    CollectionDocument document(root.get());
    FolderTreeModel model;
    model.setDocument(&document);
    model.setRoot(root.get());
    model.fetchMore(model.index(0, 0));
    std::unique_ptr<QAbstractItemModelTester> tester;
    if (tested)
        tester = std::make_unique<QAbstractItemModelTester>(&model,
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);

    const auto allFolders = [&] {
        std::vector<LinkItem *> all;
        std::vector<LinkItem *> pending {root.get()};
        while (!pending.empty()) {
            LinkItem *folder = pending.back();
            pending.pop_back();
            all.push_back(folder);
            for (const auto &child : folder->Children) {
                if (child->isFolder())
                    pending.push_back(child.get());
            }
        }
        return all;
    };
    const auto inside = [](const LinkItem *item, const LinkItem *folder) {
        for (const LinkItem *walk = folder; walk; walk = walk->Parent) {
            if (walk == item)
                return true;
        }
        return false;
    };
    for (int step = 0; step < 300; ++step) {
        const std::vector<LinkItem *> all = allFolders();
        LinkItem *folder = all[random.bounded(int(all.size()))];
        LinkItem *other = all[random.bounded(int(all.size()))];
        QString what;
        switch (random.bounded(11)) {
        case 0:
        case 1:
            what = u"fetch"_qs;
            model.fetchMore(model.reveal(folder));
            break;
        case 2:
            what = u"new folder"_qs;
            document.insertSorted(folder, LinkItem::MakeFolder(name()));
            break;
        case 3:
            what = u"new link"_qs;
            document.insertSorted(folder, LinkItem::MakeLink(name(), "http://example.com/"));
            break;
        case 4:
            what = u"remove"_qs;
            if (folder != root.get() && folder->Children.Count() < 30)
                document.remove(folder);
            break;
        case 5: {
            what = u"remove several"_qs;
            std::vector<LinkItem *> items;
            for (const auto &child : folder->Children) {
                if (random.bounded(2))
                    items.push_back(child.get());
            }
            document.removeItems(items);
            break;
        }
        case 6:
            what = u"move"_qs;
            if (folder != root.get() && !inside(folder, other))
                document.move(folder, other);
            break;
        case 7:
            what = u"move children"_qs;
            if (!inside(folder, other))
                document.moveChildren(folder, other);
            break;
        case 8:
            what = u"rename"_qs;
            document.rename(folder, name());
            break;
        case 9:
            what = u"undo"_qs;
            document.undo();
            break;
        default:
            what = u"redo"_qs;
            document.redo();
            break;
        }
        compareWithFresh(model, root.get());
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(u"step %1: %2"_qs.arg(step).arg(what)));
    }
}

void TestFolderTreeModel::parentInConstantTime()
{
    // A view asks for the parent of every row it lays out: a wide folder must not make each answer slower.
    const auto parentsMs = [](int size) {
        auto root = LinkItem::MakeFolder("R");
        std::vector<std::unique_ptr<LinkItem>> wide;
        for (int i = 0; i < size; ++i) {
            auto folder = LinkItem::MakeFolder("f" + std::to_string(i));
            TreeBuilders::addFolder(*folder, "inner");
            wide.push_back(std::move(folder));
        }
        root->Children.InsertSortedBatch(std::move(wide));
        FolderTreeModel model;
        model.setRoot(root.get());
        const QModelIndex top = model.index(0, 0);
        model.fetchMore(top);
        std::vector<QModelIndex> inner;
        for (int row = 0; row < model.rowCount(top); ++row) {
            const QModelIndex folder = model.index(row, 0, top);
            model.fetchMore(folder);
            inner.push_back(model.index(0, 0, folder));
        }
        qint64 rows = 0;
        const double ms = GrowthTiming::fastestCpuMs([&] {
            for (int round = 0; round < 200; ++round) {
                for (const QModelIndex &index : inner)
                    rows += model.parent(index).row();
            }
        });
        return rows > 0 ? ms : -1.0;
    };
    const int size = 4'000;
    const double once = parentsMs(size);
    const double twice = parentsMs(2 * size);
    QVERIFY(once >= 0 && twice >= 0);
    QVERIFY2(GrowthTiming::grewInProportion(once, twice), qPrintable(GrowthTiming::describe(once, size, twice)));
}

int main(int argc, char **argv)
{
    // The locale's collation orders the folders; the C locale would order them by codes.
    qputenv("LC_ALL", "en_US.UTF-8");
    QApplication app(argc, argv);
    qRegisterMetaType<LinkItem *>();
    TestFolderTreeModel test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_foldertreemodel.moc"
