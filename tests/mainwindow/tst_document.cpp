// Changes made through the collection document: each says what it changed, and the panes show it without the
// change telling them.
#include "common/PanesFixture.h"
#include "common/TreeBuilders.h"
#include "mainwindow/SearchCommands.h"
#include "store/CollectionDocument.h"
#include "store/SearchIndex.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

using namespace TreeBuilders;

namespace {
// Root: folder "Alpha" (holding folder "Inner" and link "a1"), links "Example" and "Other".
std::unique_ptr<LinkItem> collection()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *alpha = addFolder(*root, "Alpha");
    addFolder(*alpha, "Inner");
    addLink(*alpha, "a1", "http://a1.test/");
    addLink(*root, "Example", "http://ex.test/")->Description = "about it";
    addLink(*root, "Other", "http://ot.test/");
    return root;
}

LinkItem *child(const LinkItem *folder, const char *name)
{
    for (const auto &item : folder->Children) {
        if (item->Name == std::string_view(name))
            return item.get();
    }
    return nullptr;
}

QStringList names(const std::vector<LinkItem *> &items)
{
    QStringList result;
    for (const LinkItem *item : items)
        result << QString::fromStdString(std::string(item->Name.view()));
    return result;
}
} // namespace

class TestDocument : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void panesFollowChanges_data();
    void panesFollowChanges();
    void listModelStaysConsistent();

private:
    std::unique_ptr<PanesFixture> m_panes;
    std::unique_ptr<SearchCommands> m_search;
};

void TestDocument::init()
{
    m_panes = std::make_unique<PanesFixture>(collection());
    m_search = std::make_unique<SearchCommands>(&m_panes->document, m_panes->view.get(), m_panes->window.get());
}

void TestDocument::cleanup()
{
    m_search.reset();
    m_panes.reset();
}

void TestDocument::panesFollowChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QByteArray>("signal");
    // The list's names, the root node's child nodes, the description pane as "name|description", the
    // search for a word as the names found, and the status text.
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("nodes");
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QString>("status");

    const QStringList all {"Alpha", "Example", "Other"};
    QTest::newRow("insert link") << "insert link" << QByteArray("itemInserted(LinkItem*)")
                                 << QStringList {"Alpha", "Example", "New", "Other"} << QStringList {"Alpha"}
                                 << "Example|about it"
                                 << "new" << QStringList {"New"} << "4 objects";
    QTest::newRow("insert folder") << "insert folder" << QByteArray("itemInserted(LinkItem*)")
                                   << QStringList {"Alpha", "Zeta", "Example", "Other"} << QStringList {"Alpha", "Zeta"}
                                   << "Example|about it"
                                   << "zeta" << QStringList {"Zeta"} << "4 objects";
    QTest::newRow("add many") << "add many" << QByteArray("childrenInserted(LinkItem*)")
                              << QStringList {"Alpha", "Batch", "Bulk", "Example", "Other"} << QStringList {"Alpha"}
                              << "Example|about it"
                              << "bulk" << QStringList {"Bulk"} << "5 objects";
    QTest::newRow("remove link") << "remove link" << QByteArray("itemAboutToBeRemoved(LinkItem*)")
                                 << QStringList {"Alpha", "Other"} << QStringList {"Alpha"} << "|"
                                 << "example" << QStringList {} << "2 objects";
    QTest::newRow("remove folder") << "remove folder" << QByteArray("itemRemoved(LinkItem*)")
                                   << QStringList {"Example", "Other"} << QStringList {} << "Example|about it"
                                   << "inner" << QStringList {} << "2 objects";
    QTest::newRow("remove several") << "remove several" << QByteArray("itemsAboutToBeRemoved(std::vector<LinkItem*>)")
                                    << QStringList {"Other"} << QStringList {} << "|"
                                    << "inner" << QStringList {} << "1 objects";
    QTest::newRow("move") << "move" << QByteArray("itemMoved(LinkItem*,LinkItem*)") << QStringList {"Alpha", "Other"}
                          << QStringList {"Alpha"} << "Example|about it"
                          << "alpha" << QStringList {"Alpha"} << "2 objects";
    QTest::newRow("move folder") << "move folder" << QByteArray("itemMoved(LinkItem*,LinkItem*)")
                                 << QStringList {"Alpha", "Inner", "Example", "Other"} << QStringList {"Alpha", "Inner"}
                                 << "Example|about it"
                                 << "inner" << QStringList {"Inner"} << "4 objects";
    QTest::newRow("rename") << "rename" << QByteArray("itemChanged(LinkItem*,CollectionDocument::Fields)")
                            << QStringList {"Beta", "Example", "Other"} << QStringList {"Beta"} << "Example|about it"
                            << "beta" << QStringList {"Beta"} << "3 objects";
    QTest::newRow("description") << "description" << QByteArray("itemChanged(LinkItem*,CollectionDocument::Fields)")
                                 << all << QStringList {"Alpha"} << "Example|fresh words"
                                 << "fresh" << QStringList {"Example"} << "3 objects";
    QTest::newRow("edited fields") << "edited fields" << QByteArray("itemChanged(LinkItem*,CollectionDocument::Fields)")
                                   << QStringList {"Alpha", "Other", "Zulu"} << QStringList {"Alpha"} << "Zulu|about it"
                                   << "zulu" << QStringList {"Zulu"} << "3 objects";
    QTest::newRow("visit") << "visit" << QByteArray("changed()") << all << QStringList {"Alpha"} << "Example|about it"
                           << "" << QStringList {} << "3 objects";
}

void TestDocument::panesFollowChanges()
{
    QFETCH(QString, change);
    QFETCH(QByteArray, signal);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, nodes);
    QFETCH(QString, pane);
    QFETCH(QString, word);
    QFETCH(QStringList, found);
    QFETCH(QString, status);

    CollectionDocument *document = &m_panes->document;
    LinkItem *root = document->root();
    LinkItem *alpha = child(root, "Alpha");
    LinkItem *example = child(root, "Example");
    DescriptionPane *details = m_panes->description;
    details->ShowItemDetails(example);
    m_panes->tree->open(m_panes->tree->RootNode());
    SearchIndex &index = m_search->index();
    index.setRoot(root);
    index.rebuild();
    const LinkListModel *model = m_panes->list->model();
    const int visits = example->Visits;
    QSignalSpy spy(document, QByteArray(QT_STRINGIFY(QSIGNAL_CODE)) + signal);
    QVERIFY(spy.isValid());

    if (change == "insert link") {
        document->insertSorted(root, LinkItem::MakeLink("New", "http://new.test/"));
    } else if (change == "insert folder") {
        document->insertSorted(root, LinkItem::MakeFolder("Zeta"));
    } else if (change == "add many") {
        std::vector<std::unique_ptr<LinkItem>> items;
        items.push_back(LinkItem::MakeLink("Bulk", "http://bulk.test/"));
        items.push_back(LinkItem::MakeLink("Batch", "http://batch.test/"));
        document->insertChildren(root, std::move(items));
    } else if (change == "remove link") {
        document->remove(example);
    } else if (change == "remove folder") {
        document->remove(alpha);
    } else if (change == "remove several") {
        document->removeItems({alpha, example});
    } else if (change == "move") {
        document->move(example, alpha);
        details->ShowItemDetails(example);
    } else if (change == "move folder") {
        document->move(child(alpha, "Inner"), root);
    } else if (change == "rename") {
        document->rename(alpha, "Beta");
    } else if (change == "description") {
        document->setDescription(example, "fresh words");
    } else if (change == "edited fields") {
        example->Name = "Zulu";
        document->fieldsEdited(example, CollectionDocument::Field::Name);
    } else if (change == "visit") {
        QSignalSpy cells(model, &QAbstractItemModel::dataChanged);
        document->visit(example);
        QCOMPARE(cells.count(), 1);
        QCOMPARE(example->Visits, visits + 1);
        QCOMPARE(model->index(model->rowOf(example), VisitsColumn).data().toString(), QString::number(visits + 1));
    }

    QCOMPARE(spy.count(), 1);
    QCOMPARE(m_panes->rowNames(), rows);
    QCOMPARE(m_panes->nodeTexts(m_panes->tree->RootNode()), nodes);
    QCOMPARE(details->NameLabel()->text() + QLatin1Char('|') + details->descriptionEdit()->toPlainText(), pane);
    if (!word.isEmpty())
        QCOMPARE(names(index.search(word)), found);
    else
        QVERIFY(!index.isStale()); // a visit changes nothing the search reads
    QCOMPARE(m_panes->view->statusText(), status);
}

void TestDocument::listModelStaysConsistent()
{
    CollectionDocument *document = &m_panes->document;
    LinkItem *root = document->root();
    LinkListModel *model = m_panes->list->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    LinkItem *zeta = document->insertSorted(root, LinkItem::MakeFolder("Zeta"));
    document->insertSorted(zeta, LinkItem::MakeLink("z1", "http://z1.test/"));
    document->visit(child(root, "Other"));
    document->move(child(root, "Other"), zeta);
    document->rename(zeta, "Omega");
    document->remove(child(root, "Example"));
    QCOMPARE(model->rowCount(), 2);

    // Results from anywhere: removing a folder takes the rows inside it along.
    m_search->SearchEdit()->setText(QStringLiteral("test"));
    QVERIFY(model->showsResults());
    QCOMPARE(model->rowCount(), 3); // a1, z1, Other
    document->remove(zeta);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("a1"));

    // The shown folder itself goes: the list lets go of every row.
    m_search->SearchEdit()->clear();
    LinkItem *alpha = child(root, "Alpha");
    m_panes->tree->selectFolder(alpha);
    QCOMPARE(model->folder(), alpha);
    document->remove(alpha);
    QVERIFY(model->folder() != alpha);
    QCOMPARE(model->rowCount(), 0); // the root is empty by now
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
