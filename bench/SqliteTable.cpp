#include "SqliteTable.h"

#include "store/LinkItem.h"

#include <sqlite3.h>

#include <cstdint>
#include <vector>

namespace {

const char CreateTable[] = "CREATE TABLE items (id INTEGER PRIMARY KEY, parent INTEGER, name TEXT, url TEXT, "
                           "description TEXT, isFolder INTEGER, visits INTEGER, rating INTEGER, lastVisit REAL)";
const char InsertRow[] = "INSERT INTO items VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char SelectRows[] = "SELECT id, parent, name, url, description, isFolder, visits, rating, lastVisit "
                          "FROM items ORDER BY id";

// Closes the database however the function ends.
struct Database
{
    sqlite3 *handle = nullptr;
    ~Database() { sqlite3_close(handle); }
};

struct Statement
{
    sqlite3_stmt *handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

bool fail(sqlite3 *db, std::string *error)
{
    if (error)
        *error = db ? sqlite3_errmsg(db) : "out of memory";
    return false;
}

void bindText(sqlite3_stmt *statement, int column, std::string_view text)
{
    sqlite3_bind_text(statement, column, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

std::string columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

} // namespace

namespace SqliteTable {

bool write(const std::string &path, const LinkItem &root, std::string *error)
{
    Database db;
    if (sqlite3_open(path.c_str(), &db.handle) != SQLITE_OK)
        return fail(db.handle, error);
    if (sqlite3_exec(db.handle, CreateTable, nullptr, nullptr, nullptr) != SQLITE_OK
        || sqlite3_exec(db.handle, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail(db.handle, error);
    Statement insert;
    if (sqlite3_prepare_v2(db.handle, InsertRow, -1, &insert.handle, nullptr) != SQLITE_OK)
        return fail(db.handle, error);

    std::int64_t nextId = 1;
    std::vector<std::pair<const LinkItem *, std::int64_t>> pending {{&root, 0}};
    while (!pending.empty()) {
        const auto [item, parent] = pending.back();
        pending.pop_back();
        const std::int64_t id = nextId++;
        sqlite3_bind_int64(insert.handle, 1, id);
        if (parent)
            sqlite3_bind_int64(insert.handle, 2, parent);
        else
            sqlite3_bind_null(insert.handle, 2);
        bindText(insert.handle, 3, item->Name);
        bindText(insert.handle, 4, item->Url);
        bindText(insert.handle, 5, item->Description);
        sqlite3_bind_int(insert.handle, 6, item->IsFolder);
        sqlite3_bind_int(insert.handle, 7, item->Visits);
        sqlite3_bind_int(insert.handle, 8, item->Rating);
        sqlite3_bind_double(insert.handle, 9, item->LastVisit);
        if (sqlite3_step(insert.handle) != SQLITE_DONE)
            return fail(db.handle, error);
        sqlite3_reset(insert.handle);
        for (int i = item->Children.Count() - 1; i >= 0; --i)
            pending.emplace_back(item->Children.Get(i), id);
    }
    if (sqlite3_exec(db.handle, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail(db.handle, error);
    return true;
}

std::unique_ptr<LinkItem> load(const std::string &path, std::string *error)
{
    Database db;
    if (sqlite3_open_v2(path.c_str(), &db.handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        fail(db.handle, error);
        return nullptr;
    }
    Statement select;
    if (sqlite3_prepare_v2(db.handle, SelectRows, -1, &select.handle, nullptr) != SQLITE_OK) {
        fail(db.handle, error);
        return nullptr;
    }

    // Items by id, and the children of each id collected first and put into their folder at once in
    // name order, as the native reader does.
    std::unique_ptr<LinkItem> root;
    std::vector<LinkItem *> byId;
    std::vector<std::vector<std::unique_ptr<LinkItem>>> childrenOf;
    int step;
    while ((step = sqlite3_step(select.handle)) == SQLITE_ROW) {
        const auto id = static_cast<size_t>(sqlite3_column_int64(select.handle, 0));
        auto item = std::make_unique<LinkItem>();
        item->Name = columnText(select.handle, 2);
        item->Url = columnText(select.handle, 3);
        item->Description = columnText(select.handle, 4);
        item->IsFolder = static_cast<std::uint8_t>(sqlite3_column_int(select.handle, 5));
        item->Visits = sqlite3_column_int(select.handle, 6);
        item->Rating = static_cast<std::uint8_t>(sqlite3_column_int(select.handle, 7));
        item->LastVisit = sqlite3_column_double(select.handle, 8);
        if (id >= byId.size()) {
            byId.resize(id + 1, nullptr);
            childrenOf.resize(id + 1);
        }
        byId[id] = item.get();
        if (sqlite3_column_type(select.handle, 1) == SQLITE_NULL) {
            root = std::move(item);
            continue;
        }
        const auto parent = static_cast<size_t>(sqlite3_column_int64(select.handle, 1));
        if (parent >= byId.size() || !byId[parent]) {
            if (error)
                *error = "a row names a parent that comes after it";
            return nullptr;
        }
        childrenOf[parent].push_back(std::move(item));
    }
    if (step != SQLITE_DONE || !root) {
        fail(db.handle, error);
        return nullptr;
    }
    for (size_t id = 0; id < childrenOf.size(); ++id) {
        if (!childrenOf[id].empty())
            byId[id]->Children.InsertSortedBatch(std::move(childrenOf[id]));
    }
    return root;
}

} // namespace SqliteTable
