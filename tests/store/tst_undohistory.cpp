// Undo and redo of the collection's changes: every step taken back gives the same saved bytes as before it,
// every step made again the same bytes as after it, and the panes are told through the document's signals.
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

QByteArray savedBytes(const LinkItem &root)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!NativeFile::write(buffer, root, &error))
        qFatal("cannot write: %s", qPrintable(error));
    return bytes;
}

void allItems(LinkItem *item, std::vector<LinkItem *> &into)
{
    into.push_back(item);
    for (const auto &child : item->Children)
        allItems(child.get(), into);
}

bool inside(const LinkItem *item, const LinkItem *folder)
{
    for (const LinkItem *walk = item; walk; walk = walk->Parent) {
        if (walk == folder)
            return true;
    }
    return false;
}

bool inTree(const LinkItem *item, const LinkItem *root)
{
    for (; item->Parent; item = item->Parent) {
        if (item->Parent->Children.IndexOf(item) < 0)
            return false;
    }
    return item == root;
}

// Random commands on a collection, all through the document, from one seed.
class RandomEditor
{
public:
    RandomEditor(CollectionDocument &document, quint32 seed) : m_document(document), m_random(seed) { }

    std::unique_ptr<LinkItem> makeCollection()
    {
        auto root = LinkItem::MakeFolder("Quillmark");
        std::vector<LinkItem *> folders {root.get()};
        for (int i = 0; i < 300; ++i) {
            LinkItem *parent = folders[m_random.bounded(static_cast<quint32>(folders.size()))];
            auto item = m_random.bounded(4) == 0 ? LinkItem::MakeFolder(name()) : LinkItem::MakeLink(name(), url());
            item->Description = m_random.bounded(3) == 0 ? "said " + name() : std::string();
            item->Visits = static_cast<qint32>(m_random.bounded(5));
            item->LastVisit = item->Visits ? 40000.5 + m_random.bounded(1000) : 0.0;
            item->Rating = static_cast<std::uint8_t>(m_random.bounded(6));
            if (item->isFolder())
                folders.push_back(item.get());
            parent->Children.InsertSorted(std::move(item));
        }
        // A data file written by others may hold folders out of name order.
        for (LinkItem *folder : folders) {
            if (m_random.bounded(3) == 0) {
                auto children = folder->Children.TakeAll();
                std::shuffle(children.begin(), children.end(), m_random);
                folder->Children.Assign(std::move(children));
            }
        }
        return root;
    }

    void command()
    {
        switch (m_random.bounded(10)) {
        case 0:
            m_document.insertSorted(
                anyFolder(), m_random.bounded(2) ? LinkItem::MakeFolder(name()) : LinkItem::MakeLink(name(), url()));
            break;
        case 1: {
            std::vector<std::unique_ptr<LinkItem>> items;
            for (int n = 1 + int(m_random.bounded(4)); n > 0; --n)
                items.push_back(LinkItem::MakeLink(name(), url()));
            m_document.insertChildren(anyFolder(), std::move(items));
            break;
        }
        case 2:
            if (LinkItem *item = anyButRoot())
                m_document.remove(item);
            break;
        case 3:
            m_document.removeItems(someApart());
            break;
        case 4:
            if (LinkItem *item = anyButRoot())
                m_document.move(item, anyFolder());
            break;
        case 5:
            if (LinkItem *item = anyButRoot())
                m_document.rename(item, name());
            break;
        case 6: {
            // Typing: several changes of one description.
            LinkItem *item = anyItem();
            for (int n = 1 + int(m_random.bounded(3)); n > 0; --n)
                m_document.setDescription(item, item->Description.str() + name());
            break;
        }
        case 7: {
            LinkItem *item = anyItem();
            m_document.aboutToEditFields(item);
            item->Url = url();
            item->Rating = static_cast<std::uint8_t>(m_random.bounded(6));
            if (m_random.bounded(2)) {
                item->Visits = 0;
                item->LastVisit = 0.0;
            }
            using Field = CollectionDocument::Field;
            m_document.fieldsEdited(item,
                                    Field::Name | Field::Url | Field::Description | Field::Rating | Field::Visits);
            break;
        }
        case 8: {
            // An import: a reader fills the folder by itself.
            LinkItem *folder = anyFolder();
            m_document.aboutToAddChildren(folder);
            std::vector<std::unique_ptr<LinkItem>> items;
            for (int n = 1 + int(m_random.bounded(5)); n > 0; --n) {
                auto sub = LinkItem::MakeFolder(name());
                sub->Children.InsertSorted(LinkItem::MakeLink(name(), url()));
                items.push_back(std::move(sub));
                items.push_back(LinkItem::MakeLink(name(), url()));
            }
            folder->Children.InsertSortedBatch(std::move(items));
            m_document.childrenAdded(folder);
            break;
        }
        case 9:
            // One command of several changes.
            m_document.beginCommand(QStringLiteral("Clean Up"));
            if (LinkItem *item = anyButRoot())
                m_document.move(item, anyFolder());
            m_document.removeItems(someApart());
            if (LinkItem *item = anyButRoot())
                m_document.rename(item, name());
            m_document.endCommand();
            break;
        }
    }

private:
    std::string name()
    {
        // Few names, so that equal names meet in one folder.
        static const char *const words[] = {"alpha", "Beta", "gamma", "alpha", "Zed", "\xe4ther", "beta 2"};
        return words[m_random.bounded(7)];
    }
    std::string url() { return "http://site" + std::to_string(m_random.bounded(50)) + ".test/"; }

    std::vector<LinkItem *> items()
    {
        std::vector<LinkItem *> all;
        allItems(m_document.root(), all);
        return all;
    }
    LinkItem *anyItem()
    {
        const auto all = items();
        return all[m_random.bounded(static_cast<quint32>(all.size()))];
    }
    LinkItem *anyButRoot()
    {
        const auto all = items();
        return all.size() < 2 ? nullptr : all[1 + m_random.bounded(static_cast<quint32>(all.size() - 1))];
    }
    LinkItem *anyFolder()
    {
        auto all = items();
        std::erase_if(all, [](const LinkItem *item) { return !item->isFolder(); });
        return all[m_random.bounded(static_cast<quint32>(all.size()))];
    }
    // A few items, none inside another.
    std::vector<LinkItem *> someApart()
    {
        std::vector<LinkItem *> chosen;
        for (int n = 1 + int(m_random.bounded(6)); n > 0; --n) {
            LinkItem *item = anyButRoot();
            if (item && std::none_of(chosen.begin(), chosen.end(), [item](const LinkItem *other) {
                    return inside(item, other) || inside(other, item);
                }))
                chosen.push_back(item);
        }
        return chosen;
    }

    CollectionDocument &m_document;
    QRandomGenerator m_random;
};

} // namespace

class TestUndoHistory : public QObject
{
    Q_OBJECT
private slots:
    void undoAllThenRedoAll_data();
    void undoAllThenRedoAll();
    void captionsNameTheSteps();
    void oldestStepsAreDropped();
    void visitsAreNoSteps();
};

void TestUndoHistory::undoAllThenRedoAll_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 7u, 42u, 1234u, 99991u, 2026u, 31337u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestUndoHistory::undoAllThenRedoAll()
{
    QFETCH(quint32, seed);
    CollectionDocument document;
    RandomEditor editor(document, seed);
    const auto root = editor.makeCollection();
    document.setRoot(root.get());

    // The panes are told of items while they are in the tree: before they go and after they come.
    int misplaced = 0;
    const auto present = [&](LinkItem *item) { misplaced += inTree(item, root.get()) ? 0 : 1; };
    connect(&document, &CollectionDocument::itemInserted, this, present);
    connect(&document, &CollectionDocument::itemAboutToBeRemoved, this, present);
    connect(&document, &CollectionDocument::itemChanged, this, present);
    connect(&document, &CollectionDocument::itemMoved, this, present);
    connect(&document, &CollectionDocument::childrenInserted, this, present);
    connect(&document, &CollectionDocument::itemRemoved, this, present);
    connect(&document, &CollectionDocument::itemsAboutToBeRemoved, this,
            [&](const std::vector<LinkItem *> &items) { std::for_each(items.begin(), items.end(), present); });
    int changes = 0;
    connect(&document, &CollectionDocument::changed, this, [&] { ++changes; });

    // The bytes after each step.
    std::vector<QByteArray> states {savedBytes(*root)};
    for (int i = 0; i < 80; ++i) {
        editor.command();
        if (document.history().count() > int(states.size()) - 1)
            states.push_back(savedBytes(*root));
        else
            states.back() = savedBytes(*root); // typing went on in the same step
    }
    QCOMPARE(document.history().count(), int(states.size()) - 1);
    QVERIFY(states.size() > 60);

    for (size_t step = states.size() - 1; step > 0; --step) {
        QVERIFY(document.canUndo());
        const int before = changes;
        document.undo();
        QCOMPARE(changes, before + 1);
        QVERIFY2(savedBytes(*root) == states[step - 1], qPrintable(QStringLiteral("undo to step %1").arg(step - 1)));
    }
    QVERIFY(!document.canUndo());
    for (size_t step = 1; step < states.size(); ++step) {
        QVERIFY(document.canRedo());
        document.redo();
        QVERIFY2(savedBytes(*root) == states[step], qPrintable(QStringLiteral("redo to step %1").arg(step)));
    }
    QVERIFY(!document.canRedo());
    QCOMPARE(misplaced, 0);

    // A new change after undoing ends what could be redone.
    document.undo();
    document.undo();
    editor.command();
    QVERIFY(!document.canRedo());
    while (document.canUndo())
        document.undo();
    QCOMPARE(savedBytes(*root), states.front());
}

void TestUndoHistory::captionsNameTheSteps()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    CollectionDocument document(nullptr);
    document.setRoot(root.get());
    std::vector<LinkItem *> links;
    for (const char *name : {"a", "b", "c"})
        links.push_back(document.insertSorted(root.get(), LinkItem::MakeLink(name, "http://x.test/")));
    QCOMPARE(document.undoCaption(), QStringLiteral("New URL"));
    document.removeItems(links);
    QCOMPARE(document.undoCaption(), QStringLiteral("Delete 3 objects"));

    // Undo shows what it brought back.
    QCOMPARE(document.undo(), links.front());
    QCOMPARE(root->Children.Count(), 3);
    QCOMPARE(document.redoCaption(), QStringLiteral("Delete 3 objects"));
    QCOMPARE(document.undoCaption(), QStringLiteral("New URL"));

    LinkItem *folder = document.insertSorted(root.get(), LinkItem::MakeFolder("F"));
    document.aboutToAddChildren(folder);
    folder->Children.InsertSorted(LinkItem::MakeLink("i", "http://i.test/"));
    document.childrenAdded(folder);
    QCOMPARE(document.undoCaption(), QStringLiteral("Import"));
    QVERIFY(!document.canRedo());
    // Nothing to undo while a command is under way.
    document.beginCommand(QStringLiteral("Delete Empty Folders"));
    QVERIFY(!document.canUndo());
    document.remove(folder);
    document.endCommand();
    QCOMPARE(document.undoCaption(), QStringLiteral("Delete Empty Folders"));
}

void TestUndoHistory::oldestStepsAreDropped()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    CollectionDocument document;
    document.setRoot(root.get());
    const int limit = UndoHistory::DefaultLimit;
    QByteArray kept;
    for (int i = 0; i < limit + 30; ++i) {
        if (i == 30)
            kept = savedBytes(*root);
        document.insertSorted(root.get(), LinkItem::MakeLink(std::to_string(i), "http://x.test/"));
    }
    QCOMPARE(document.history().count(), limit);
    int undone = 0;
    while (document.canUndo()) {
        document.undo();
        ++undone;
    }
    QCOMPARE(undone, limit);
    QCOMPARE(savedBytes(*root), kept);

    // Another collection starts another history.
    document.setRoot(root.get());
    QVERIFY(!document.canRedo());

    // Bounded by what the steps hold as well: two deleted folders of 31 items each are more than 50.
    document.history().setLimits(limit, 50);
    std::vector<LinkItem *> folders;
    for (const char *name : {"A", "B"}) {
        LinkItem *folder = root->Children.Get(root->Children.InsertSorted(LinkItem::MakeFolder(name)));
        for (int i = 0; i < 30; ++i)
            folder->Children.InsertSorted(LinkItem::MakeLink(std::to_string(i), "http://x.test/"));
        folders.push_back(folder);
    }
    document.remove(folders[0]);
    QCOMPARE(document.history().cost(), size_t(31));
    document.remove(folders[1]);
    QCOMPARE(document.history().count(), 1);
    QCOMPARE(document.history().cost(), size_t(31));
    QCOMPARE(document.undo(), folders[1]);
    QVERIFY(!document.canUndo());
}

void TestUndoHistory::visitsAreNoSteps()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    CollectionDocument document;
    document.setRoot(root.get());
    LinkItem *link = document.insertSorted(root.get(), LinkItem::MakeLink("a", "http://a.test/"));
    document.visit(link);
    QCOMPARE(document.history().count(), 1);
    QCOMPARE(document.undoCaption(), QStringLiteral("New URL"));

    // A Properties dialog that changed nothing makes no step; one that cleared the visits does.
    document.aboutToEditFields(link);
    document.fieldsEdited(link, CollectionDocument::Field::Visits);
    QCOMPARE(document.history().count(), 1);
    document.aboutToEditFields(link);
    link->Visits = 0;
    document.fieldsEdited(link, CollectionDocument::Field::Visits);
    QCOMPARE(document.undoCaption(), QStringLiteral("Properties"));
    document.undo();
    QCOMPARE(link->Visits, 1);

    // Typing a description is one step, from the text before the first key.
    for (const char *text : {"n", "ne", "new"})
        document.setDescription(link, text);
    QCOMPARE(document.history().count(), 2);
    document.undo();
    QCOMPARE(link->Description, std::string_view());
}

QTEST_GUILESS_MAIN(TestUndoHistory)
#include "tst_undohistory.moc"
