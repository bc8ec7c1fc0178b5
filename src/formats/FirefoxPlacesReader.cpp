#include "formats/FirefoxPlacesReader.h"

#include "formats/FormatText.h"
#include "formats/ItemSink.h"
#include "formats/SqliteSnapshot.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

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

std::string columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? FormatText::toUtf8(std::string_view(text, size_t(sqlite3_column_bytes(statement, column))))
                : std::string();
}

class Query
{
public:
    Query(sqlite3 *db, const char *sql) { m_ok = sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) == SQLITE_OK; }
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
};

bool Reader::load(sqlite3 *db)
{
    {
        Query rows(db,
                   "SELECT b.id, b.parent, b.position, b.type, b.title, b.fk, b.guid, p.url, p.visit_count, "
                   "p.last_visit_date FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
                   "ORDER BY b.parent, b.position, b.id");
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
            m_rows.push_back(std::move(row));
        }
        if (!rows.done())
            return false;
    }
    {
        Query keywords(db, "SELECT place_id, keyword FROM moz_keywords ORDER BY keyword");
        while (keywords.next()) {
            std::string &text = m_keywords[sqlite3_column_int64(keywords.statement(), 0)];
            text += text.empty() ? "" : ", ";
            text += columnText(keywords.statement(), 1);
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
    QString error;
    if (!snapshot.open(placesPath, &error)) {
        report.fail(QStringLiteral("The database %1 cannot be read: %2").arg(shown, error));
        return report;
    }
    // Every row is read before anything is added, so a damaged database adds nothing.
    Reader reader(target, report, progress);
    if (!reader.load(snapshot.handle())) {
        report.fail(QStringLiteral("The database %1 is damaged: %2").arg(shown, snapshot.lastError()));
        return report;
    }
    reader.build();
    return report;
}

} // namespace FirefoxPlacesReader
