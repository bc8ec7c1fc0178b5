#include "formats/FirefoxPlacesReader.h"

#include "formats/FormatText.h"
#include "formats/ItemSink.h"
#include "formats/SqliteSnapshot.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace {

enum Type { Bookmark = 1, Folder = 2, Separator = 3 };

struct Row
{
    qint64 id = 0;
    qint64 parent = 0;
    qint64 position = 0;
    qint64 place = 0;
    int type = 0;
    std::string title;
    std::string url;
    qint64 visits = 0;
    qint64 lastVisit = 0; // microseconds since 1970
    std::string guid;
};

// The roots below the places root, by their fixed guids, with the names Firefox shows for them.
struct Root
{
    const char *guid;
    const char *name;
};
constexpr Root Roots[] = {
    {"menu________", "Bookmarks Menu"},
    {"toolbar_____", "Bookmarks Toolbar"},
    {"unfiled_____", "Other Bookmarks"},
    {"mobile______", "Mobile Bookmarks"},
};
constexpr const char *TagsGuid = "tags________";
constexpr const char *PlacesRootGuid = "root________";
// The most rows of one table read, and the most text kept from them: far beyond any browser's bookmarks,
// and what keeps a database that pretends to hold more (many bookmarks that all point at one huge
// address) from taking the memory. The queries ask for one row more, so that too many shows.
constexpr int MaxRows = 2'000'000;
constexpr qint64 MaxTextBytes = qint64(512) * 1024 * 1024;

std::string columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? FormatText::toUtf8(std::string_view(text, size_t(sqlite3_column_bytes(statement, column))))
                : std::string();
}

class Query
{
public:
    // sql reads at most ?1 rows: the bound goes there.
    Query(sqlite3 *db, const char *sql)
    {
        m_ok = sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) == SQLITE_OK
            && sqlite3_bind_int64(m_statement, 1, MaxRows + 1) == SQLITE_OK;
    }
    ~Query() { sqlite3_finalize(m_statement); }
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;
    // True while there is a row; done() tells whether the query ran to its end without an error.
    bool next()
    {
        if (!m_ok)
            return false;
        const int status = sqlite3_step(m_statement);
        if (status == SQLITE_ROW)
            return true;
        m_ok = status == SQLITE_DONE;
        m_done = m_ok;
        return false;
    }
    bool done() const { return m_done; }
    sqlite3_stmt *statement() const { return m_statement; }

private:
    sqlite3_stmt *m_statement = nullptr;
    bool m_ok = false;
    bool m_done = false;
};

class Reader
{
public:
    Reader(LinkItem &target, ImportReport &report, const Progress &progress)
        : m_sink(target, report, progress), m_report(report)
    {
    }
    // False when the database could not be read; nothing was added then.
    bool load(sqlite3 *db);
    // Whether load() stopped at the bounds of rows or text.
    bool tooLarge() const { return m_tooLarge; }
    void build();

private:
    std::string descriptionOf(const Row &row) const;
    void addChildren(qint64 folder);

    ItemSink m_sink;
    ImportReport &m_report;
    DateConverter m_dates;
    std::vector<Row> m_rows; // by parent, then position
    QHash<qint64, std::pair<size_t, size_t>> m_children; // parent id -> range of m_rows
    QHash<qint64, std::string> m_keywords; // place id -> keyword
    QHash<qint64, std::string> m_tags; // place id -> "linux, news"
    qint64 m_placesRoot = -1;
    qint64 m_tagsRoot = -1;
    bool m_tooLarge = false;
};

bool Reader::load(sqlite3 *db)
{
    qint64 textBytes = 0;
    const auto tooMuch = [this, &textBytes](size_t rows, size_t bytes) {
        textBytes += qint64(bytes);
        if (rows <= size_t(MaxRows) && textBytes <= MaxTextBytes)
            return false;
        m_tooLarge = true;
        return true;
    };
    {
        // A sort with a limit keeps no more rows than the limit, so sorting stays as bounded as reading.
        Query rows(db,
                   "SELECT b.id, b.parent, b.position, b.type, b.title, b.fk, b.guid, p.url, p.visit_count, "
                   "p.last_visit_date FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
                   "ORDER BY b.parent, b.position, b.id LIMIT ?1");
        while (rows.next()) {
            sqlite3_stmt *s = rows.statement();
            Row row;
            row.id = sqlite3_column_int64(s, 0);
            row.parent = sqlite3_column_int64(s, 1);
            row.position = sqlite3_column_int64(s, 2);
            row.type = sqlite3_column_int(s, 3);
            row.title = columnText(s, 4);
            row.place = sqlite3_column_int64(s, 5);
            row.guid = columnText(s, 6);
            row.url = columnText(s, 7);
            row.visits = sqlite3_column_int64(s, 8);
            row.lastVisit = sqlite3_column_int64(s, 9);
            if (row.guid == PlacesRootGuid)
                m_placesRoot = row.id;
            else if (row.guid == TagsGuid)
                m_tagsRoot = row.id;
            const size_t bytes = row.title.size() + row.url.size() + row.guid.size();
            m_rows.push_back(std::move(row));
            if (tooMuch(m_rows.size(), bytes))
                return false;
        }
        if (!rows.done())
            return false;
    }
    {
        Query keywords(db, "SELECT place_id, keyword FROM moz_keywords ORDER BY keyword LIMIT ?1");
        size_t count = 0;
        while (keywords.next()) {
            std::string &text = m_keywords[sqlite3_column_int64(keywords.statement(), 0)];
            const std::string keyword = columnText(keywords.statement(), 1);
            text += text.empty() ? "" : ", ";
            text += keyword;
            if (tooMuch(++count, keyword.size() + 2))
                return false;
        }
        if (!keywords.done())
            return false;
    }
    for (size_t i = 0; i < m_rows.size();) {
        size_t end = i;
        while (end < m_rows.size() && m_rows[end].parent == m_rows[i].parent)
            ++end;
        m_children.insert(m_rows[i].parent, {i, end});
        i = end;
    }
    // A tag is a folder below the tags root; its entries point at the tagged pages.
    const auto tagFolders = m_children.value(m_tagsRoot, {0, 0});
    for (size_t i = tagFolders.first; i < tagFolders.second; ++i) {
        const auto entries = m_children.value(m_rows[i].id, {0, 0});
        for (size_t j = entries.first; j < entries.second; ++j) {
            if (m_rows[j].type != Bookmark)
                continue;
            std::string &text = m_tags[m_rows[j].place];
            text += text.empty() ? "" : ", ";
            text += m_rows[i].title;
            if (tooMuch(0, m_rows[i].title.size() + 2))
                return false;
        }
    }
    return true;
}

std::string Reader::descriptionOf(const Row &row) const
{
    std::string text;
    if (const auto keyword = m_keywords.constFind(row.place); keyword != m_keywords.cend())
        text += "Keyword: " + *keyword;
    if (const auto tags = m_tags.constFind(row.place); tags != m_tags.cend())
        text += (text.empty() ? "Tags: " : "\nTags: ") + *tags;
    return text;
}

void Reader::build()
{
    const auto roots = m_children.value(m_placesRoot, {0, 0});
    for (size_t i = roots.first; i < roots.second && m_report.status != ImportReport::Cancelled; ++i) {
        const Row &root = m_rows[i];
        if (root.id == m_tagsRoot || root.type != Folder)
            continue;
        const char *name = nullptr;
        for (const Root &known : Roots)
            name = root.guid == known.guid ? known.name : name;
        LinkItem *folder = m_sink.addFolder(name ? std::string_view(name) : std::string_view(root.title));
        m_sink.enterFolder(folder);
        addChildren(root.id);
        m_sink.leaveFolder();
    }
    m_sink.finish();
}

// The folder's entries and everything below them, depth first without recursion. Each folder is
// entered once, so a damaged database whose folders contain each other ends.
void Reader::addChildren(qint64 folder)
{
    struct Frame
    {
        size_t next;
        size_t end;
    };
    QHash<qint64, bool> entered {{folder, true}};
    const auto range = m_children.value(folder, {0, 0});
    std::vector<Frame> stack {{range.first, range.second}};
    size_t done = 0;
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next >= frame.end) {
            stack.pop_back();
            if (!stack.empty())
                m_sink.leaveFolder();
            continue;
        }
        const Row &row = m_rows[frame.next++];
        if (!m_sink.advance(qint64(++done)))
            return;
        if (row.type == Bookmark) {
            LinkItem *link = m_sink.addLink(row.title, row.url);
            if (row.visits > 0)
                link->Visits = std::int32_t(std::min<qint64>(row.visits, std::numeric_limits<std::int32_t>::max()));
            if (row.lastVisit > 0)
                link->LastVisit = m_dates.toOleDate(row.lastVisit / 1'000'000);
            const std::string description = descriptionOf(row);
            if (!description.empty())
                m_sink.setText(*link, &LinkItem::Description, description);
        } else if (row.type == Folder && !entered.contains(row.id)) {
            entered.insert(row.id, true);
            m_sink.enterFolder(m_sink.addFolder(row.title));
            const auto inner = m_children.value(row.id, {0, 0});
            stack.push_back({inner.first, inner.second});
        }
    }
}

} // namespace

namespace FirefoxPlacesReader {

ImportReport read(const QString &placesPath, LinkItem &target, const Progress &progress)
{
    ImportReport report;
    const QString shown = QDir::toNativeSeparators(placesPath);
    SqliteSnapshot snapshot;
    if (progress)
        snapshot.setKeepGoing([&progress] { return progress(0, 0); });
    QString error;
    if (!snapshot.open(placesPath, &error)) {
        if (snapshot.stopped())
            report.cancel();
        else
            report.fail(QStringLiteral("The database %1 cannot be read: %2").arg(shown, error));
        return report;
    }
    // Only tables are read: a view could run a query of its own that never ends.
    for (const char *table : {"moz_bookmarks", "moz_places", "moz_keywords"}) {
        if (!snapshot.isTable(table, &error)) {
            report.fail(QStringLiteral("The database %1 is damaged: %2").arg(shown, error));
            return report;
        }
    }
    // Every row is read before anything is added, so a damaged database adds nothing.
    Reader reader(target, report, progress);
    if (!reader.load(snapshot.handle())) {
        if (snapshot.stopped())
            report.cancel();
        else if (reader.tooLarge())
            report.fail(QCoreApplication::translate("FirefoxPlacesReader",
                                                    "The database %1 holds more than %2 bookmarks or %3 MB of text.")
                            .arg(shown)
                            .arg(MaxRows)
                            .arg(MaxTextBytes / (1024 * 1024)));
        else
            report.fail(QStringLiteral("The database %1 is damaged: %2").arg(shown, snapshot.lastError()));
        return report;
    }
    reader.build();
    return report;
}

} // namespace FirefoxPlacesReader
