#pragma once

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

struct sqlite3;

// A browser's SQLite database read as one consistent state, without touching it. A running browser
// holds the database locked and keeps its newest changes in the write-ahead log beside it ("-wal");
// opening the file itself would need its shared-memory index, which SQLite creates next to the
// database, and "immutable" would read the database without its log. So the database and its log are
// copied into a private temporary folder and the copy is opened: SQLite replays the committed part of
// the copied log (each frame carries a checksum, so a log caught mid-write ends at its last whole
// commit). The copy is taken again when the files changed while they were copied.
//
// A profile is outside data and may be a trap: only regular files are copied (a log that is a FIFO or a
// link to /dev/zero is refused), the two together up to a size no browser reaches, and every statement
// run on the copy stops once the snapshot has been open for its time limit or when keepGoing says so.
class SqliteSnapshot
{
public:
    // Firefox keeps its places to well below a hundred megabytes and Chromium its History to three
    // months of visits; a database with its log above this is none of theirs.
    static constexpr qint64 DefaultMaxBytes = qint64(1) << 30;
    static constexpr int DefaultTimeLimitMs = 60'000;

    SqliteSnapshot();
    ~SqliteSnapshot();
    SqliteSnapshot(const SqliteSnapshot &) = delete;
    SqliteSnapshot &operator=(const SqliteSnapshot &) = delete;

    // Before open(): the bounds, and what is asked now and then whether to go on (false stops the copy and
    // any statement running).
    void setLimits(qint64 maxBytes, int timeLimitMs);
    void setKeepGoing(std::function<bool()> keepGoing) { m_keepGoing = std::move(keepGoing); }

    // False with error when the database cannot be copied or is no SQLite database.
    bool open(const QString &path, QString *error);
    sqlite3 *handle() const { return m_db; }
    // What went wrong last, for messages: what SQLite said, or that the time ran out or the disk is full.
    QString lastError() const;
    // Whether keepGoing stopped the work.
    bool stopped() const { return m_stopped; }
    // False with error when name is no ordinary table of the database: a view, which can run a query
    // of its own without end, or a virtual table.
    bool isTable(const char *name, QString *error) const;

private:
    static int interrupt(void *snapshot);
    bool copy(const QString &from, const QString &to, qint64 maxBytes, QString *error);

    std::unique_ptr<QTemporaryDir> m_dir;
    sqlite3 *m_db = nullptr;
    QString m_path;
    qint64 m_maxBytes = DefaultMaxBytes;
    int m_timeLimitMs = DefaultTimeLimitMs;
    QDeadlineTimer m_deadline;
    QElapsedTimer m_sinceAsked;
    std::function<bool()> m_keepGoing;
    bool m_stopped = false;
    bool m_timedOut = false;
};
