#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

struct sqlite3;

// A browser's SQLite database read as one consistent state, without touching it. A running browser
// holds the database locked and keeps its newest changes in the write-ahead log beside it ("-wal");
// opening the file itself would need its shared-memory index, which SQLite creates next to the
// database, and "immutable" would read the database without its log. So the database and its log are
// copied into a private temporary folder and the copy is opened: SQLite replays the committed part of
// the copied log (each frame carries a checksum, so a log caught mid-write ends at its last whole
// commit). The copy is taken again when the files changed while they were copied.
class SqliteSnapshot
{
public:
    SqliteSnapshot();
    ~SqliteSnapshot();
    SqliteSnapshot(const SqliteSnapshot &) = delete;
    SqliteSnapshot &operator=(const SqliteSnapshot &) = delete;

    // False with error when the database cannot be copied or is no SQLite database.
    bool open(const QString &path, QString *error);
    sqlite3 *handle() const { return m_db; }
    // What SQLite said last, for messages.
    QString lastError() const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    sqlite3 *m_db = nullptr;
};
