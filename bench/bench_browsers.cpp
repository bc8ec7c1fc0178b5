// Benchmarks the import of a Firefox profile: a places.sqlite of Firefox's own schema (the test data's)
// filled with 100,000 bookmarks in folders of 1,000, a tenth of them tagged and a hundredth with a
// keyword, read by the importer (snapshot copy, rows, tags, keywords, tree) against a plain SQLite query
// that reads the same bookmark rows from the same file, measured in the same run.
//
//   quillmark-bench-browsers [--quick]       10,000 and 100,000 bookmarks (--quick: 10,000, no target)
// The exit status is 1 when a target was missed.
#include "Measure.h"

#include "formats/FirefoxPlacesReader.h"
#include "store/LinkItem.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int PerFolder = 1000;

[[noreturn]] void die(const std::string &message)
{
    std::fprintf(stderr, "quillmark-bench-browsers: %s\n", message.c_str());
    std::exit(2);
}

void exec(sqlite3 *db, const std::string &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
        die(error ? error : "SQLite failed");
}

// Fills a copy of the test profile's database with links bookmarks below the menu.
void fill(const QString &path, int links)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        die("cannot open the database");
    exec(db, "PRAGMA journal_mode = DELETE");
    exec(db, "BEGIN");
    exec(db, "CREATE TEMP TABLE ids(n INTEGER PRIMARY KEY)");
    exec(db,
         "WITH RECURSIVE c(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM c WHERE n + 1 < " + std::to_string(links)
             + ") INSERT INTO ids SELECT n FROM c");
    exec(db,
         "INSERT INTO moz_places (id, url, title, rev_host, visit_count, last_visit_date, guid, url_hash) "
         "SELECT 100000 + n, 'https://site' || (n % 977) || '.example/page/' || n, 'Page ' || n, '', n % 50, "
         "1600000000000000 + n * 1000000, 'pl' || n, 0 FROM ids");
    exec(db,
         "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) "
         "SELECT 100000 + n, 2, (SELECT id FROM moz_bookmarks WHERE guid = 'menu________'), 100 + n, "
         "'Folder ' || n, 'fo' || n FROM ids WHERE n < "
             + std::to_string((links + PerFolder - 1) / PerFolder));
    exec(db,
         "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) "
         "SELECT 300000 + n, 1, 100000 + n, 100000 + n / "
             + std::to_string(PerFolder) + ", n % " + std::to_string(PerFolder)
             + ", 'Bookmark ' || n, 'bm' || n FROM ids");
    exec(db,
         "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) "
         "SELECT 900000 + n, 2, (SELECT id FROM moz_bookmarks WHERE guid = 'tags________'), n, 'tag' || n, "
         "'tg' || n FROM ids WHERE n < 20");
    exec(db,
         "INSERT INTO moz_bookmarks (id, type, fk, parent, position, guid) "
         "SELECT 1000000 + n, 1, 100000 + n, 900000 + n % 20, n, 'tb' || n FROM ids WHERE n % 10 = 0");
    exec(db, "INSERT INTO moz_keywords (keyword, place_id) SELECT 'k' || n, 100000 + n FROM ids WHERE n % 100 = 0");
    exec(db, "COMMIT");
    exec(db, "PRAGMA journal_mode = WAL");
    sqlite3_close(db);
}

// The baseline: the bookmark rows with their pages, every column read.
qint64 plainQuery(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        die("cannot open the database");
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT b.id, b.parent, b.position, b.type, b.title, b.fk, b.guid, p.url, p.visit_count, "
                           "p.last_visit_date FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk",
                           -1, &statement, nullptr)
        != SQLITE_OK)
        die(sqlite3_errmsg(db));
    qint64 sum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int column = 0; column < 10; ++column) {
            sum += sqlite3_column_int64(statement, column);
            sum += sqlite3_column_bytes(statement, column);
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return sum;
}

bool run(int links)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("places.sqlite"));
    if (!QFile::copy(QStringLiteral(QUILLMARK_SOURCE_DIR "/tests/data/browsers/places.sqlite"), path))
        die("cannot copy the test database");
    fill(path, links);
    const std::string size = std::to_string(links);

    std::unique_ptr<LinkItem> root;
    int read = 0;
    qint64 sum = 0;
    const auto [import, query] = Measure::alternatingMedianMs(5,
                                                              {[&] {
                                                                   const ImportReport report
                                                                       = FirefoxPlacesReader::read(path, *root);
                                                                   read = report.links;
                                                               },
                                                               [&] { root = LinkItem::MakeFolder("Firefox"); }},
                                                              {[&] { sum += plainQuery(path); }});
    if (read < links)
        die("the import read " + std::to_string(read) + " links");
    Measure::figure("import_ms_" + size, import);
    Measure::figure("plain_query_ms_" + size, query);
    if (sum == 0)
        die("the plain query read nothing");
    // The target is for a large profile; a small one is dominated by the fixed cost of the snapshot.
    if (links < 100000) {
        Measure::figure("firefox_import_vs_query_" + size, import / query);
        return true;
    }
    return Measure::ratio("firefox_import_vs_query_" + size, import / query, 2.0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    bool ok = run(10000);
    if (!quick)
        ok = run(100000) && ok;
    return ok ? 0 : 1;
}
