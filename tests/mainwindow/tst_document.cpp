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
    // The signal the change gives, a word to search for; afterwards "ROWS / NODES / PANE / FOUND / STATUS": the
    // list's names, the root node's child nodes, the description pane as "name|description", the names the
    // search finds and the status text.
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("after");
    const QByteArray changed("itemChanged(LinkItem*,CollectionDocument::Fields)");
    QTest::newRow("insert link") << QByteArray("itemInserted(LinkItem*)") << "new"
                                 << "Alpha,Example,New,Other / Alpha / Example|about it / New / 4 objects";
    QTest::newRow("insert folder") << QByteArray("itemInserted(LinkItem*)") << "zeta"
                                   << "Alpha,Zeta,Example,Other / Alpha,Zeta / Example|about it / Zeta / 4 objects";
    QTest::newRow("add many") << QByteArray("childrenInserted(LinkItem*)") << "bulk"
                              << "Alpha,Batch,Bulk,Example,Other / Alpha / Example|about it / Bulk / 5 objects";
    QTest::newRow("remove link") << QByteArray("itemAboutToBeRemoved(LinkItem*)") << "example"
                                 << "Alpha,Other / Alpha / | /  / 2 objects";
    QTest::newRow("remove folder") << QByteArray("itemRemoved(LinkItem*)") << "inner"
                                   << "Example,Other /  / Example|about it /  / 2 objects";
    QTest::newRow("remove several") << QByteArray("itemsAboutToBeRemoved(std::vector<LinkItem*>)") << "inner"
                                    << "Other /  / | /  / 1 objects";
    QTest::newRow("move") << QByteArray("itemMoved(LinkItem*,LinkItem*)") << "alpha"
                          << "Alpha,Other / Alpha / Example|about it / Alpha / 2 objects";
    QTest::newRow("move folder") << QByteArray("itemMoved(LinkItem*,LinkItem*)") << "inner"
                                 << "Alpha,Inner,Example,Other / Alpha,Inner / Example|about it / Inner / 4 objects";
    QTest::newRow("rename") << changed << "beta"
                            << "Beta,Example,Other / Beta / Example|about it / Beta / 3 objects";
    QTest::newRow("description") << changed << "fresh"
                                 << "Alpha,Example,Other / Alpha / Example|fresh words / Example / 3 objects";
    QTest::newRow("edited fields") << changed << "zulu"
                                   << "Alpha,Other,Zulu / Alpha / Zulu|about it / Zulu / 3 objects";
    QTest::newRow("visit") << QByteArray("changed()") << ""
                           << "Alpha,Example,Other / Alpha / Example|about it /  / 3 objects";
}

void TestDocument::panesFollowChanges()
{
    QFETCH(QByteArray, signal);
    QFETCH(QString, word);
    QFETCH(QString, after);
    const QString change = QString::fromLatin1(QTest::currentDataTag());

    CollectionDocument *document = &m_panes->document;
    LinkItem *root = document->root();
    LinkItem *alpha = child(root, "Alpha");
    LinkItem *example = child(root, "Example");
    DescriptionPane *details = m_panes->description;
    details->ShowItemDetails(example);
    m_panes->tree->open(m_panes->tree->rootRow());
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
    if (word.isEmpty())
        QVERIFY(!index.isStale()); // a visit changes nothing the search reads
    const QStringList shown {
        m_panes->rowNames().join(QLatin1Char(',')), m_panes->nodeTexts(m_panes->tree->rootRow()).join(QLatin1Char(',')),
        details->nameLabel()->text() + QLatin1Char('|') + details->descriptionEdit()->toPlainText(),
        word.isEmpty() ? QString() : names(index.search(word)).join(QLatin1Char(',')), m_panes->view->statusText()};
    QCOMPARE(shown.join(QStringLiteral(" / ")), after);
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
    m_search->searchEdit()->setText(QStringLiteral("test"));
    QVERIFY(model->showsResults());
    QCOMPARE(model->rowCount(), 3); // a1, z1, Other
    document->remove(zeta);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("a1"));

    // The shown folder itself goes: the list lets go of every row.
    m_search->searchEdit()->clear();
    LinkItem *alpha = child(root, "Alpha");
    m_panes->tree->selectFolder(alpha);
    QCOMPARE(model->folder(), alpha);
    document->remove(alpha);
    QVERIFY(model->folder() != alpha);
    QCOMPARE(model->rowCount(), 0); // the root is empty by now
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
