#include "formats/SqliteSnapshot.h"

#include "formats/BoundedCopy.h"
#include "platform/WriteError.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <sqlite3.h>

namespace {

constexpr int Attempts = 3;
// SQLite instructions between two looks at the clock and at keepGoing.
constexpr int InstructionsPerLook = 1000;
constexpr qint64 AskEveryMs = 20;
// No text or row a browser stores comes near this (Chromium cuts its addresses at 2 MB).
constexpr int MaxValueBytes = 16 * 1024 * 1024;

// What tells whether a file changed while it was copied.
struct Stamp
{
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const Stamp &) const = default;
};

Stamp stampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return {info.size(), info.lastModified()};
}

} // namespace

SqliteSnapshot::SqliteSnapshot() = default;

SqliteSnapshot::~SqliteSnapshot()
{
    if (m_db)
        sqlite3_close(m_db);
}

void SqliteSnapshot::setLimits(qint64 maxBytes, int timeLimitMs)
{
    m_maxBytes = maxBytes;
    m_timeLimitMs = timeLimitMs;
}

QString SqliteSnapshot::lastError() const
{
    const QString shown = QDir::toNativeSeparators(m_path);
    if (m_stopped)
        return QCoreApplication::translate("SqliteSnapshot", "The reading of %1 was stopped.").arg(shown);
    if (m_timedOut) {
        return QCoreApplication::translate("SqliteSnapshot", "Reading %1 took longer than %2 seconds.")
            .arg(shown)
            .arg(m_timeLimitMs / 1000.0);
    }
    if (!m_db)
        return QString();
    // Reading fills nothing but SQLite's scratch files, which go where the copy is.
    if (sqlite3_errcode(m_db) == SQLITE_FULL && m_dir)
        return platform::diskFullError(m_dir->filePath(QStringLiteral("copy.sqlite")));
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

int SqliteSnapshot::interrupt(void *snapshot)
{
    auto *self = static_cast<SqliteSnapshot *>(snapshot);
    if (self->m_deadline.hasExpired()) {
        self->m_timedOut = true;
        return 1;
    }
    if (self->m_keepGoing && self->m_sinceAsked.hasExpired(AskEveryMs)) {
        self->m_sinceAsked.start();
        if (!self->m_keepGoing()) {
            self->m_stopped = true;
            return 1;
        }
    }
    return 0;
}

bool SqliteSnapshot::copy(const QString &from, const QString &to, qint64 maxBytes, QString *error)
{
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = target.error() == QFileDevice::ResourceError ? platform::diskFullError(to) : target.errorString();
        return false;
    }
    const BoundedCopy::Result result = BoundedCopy::copy(
        from, target, maxBytes, [this] { return interrupt(this) == 0; }, error);
    if (result == BoundedCopy::Result::Copied)
        return true;
    if (m_stopped || m_timedOut)
        *error = lastError();
    return false;
}

bool SqliteSnapshot::open(const QString &path, QString *error)
{
    m_path = path;
    m_deadline = QDeadlineTimer(m_timeLimitMs);
    m_sinceAsked.start();
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        *error = m_dir->errorString();
        return false;
    }
    const QString copy = m_dir->filePath(QStringLiteral("copy.sqlite"));
    const QString log = path + QStringLiteral("-wal");
    // Both files fit the bounds and the disk before a byte is copied (a file that is not regular
    // counts nothing here and is refused by the copy).
    const QFileInfo database(path);
    const QFileInfo logInfo(log);
    const qint64 databaseBytes = database.isFile() ? database.size() : 0;
    const qint64 needed = databaseBytes + (logInfo.isFile() ? logInfo.size() : 0);
    if (needed > m_maxBytes) {
        *error = QCoreApplication::translate("SqliteSnapshot", "%1 is larger than a browser's database gets (%2 MB).")
                     .arg(QDir::toNativeSeparators(databaseBytes > m_maxBytes ? path : log))
                     .arg(m_maxBytes / (1024 * 1024));
        return false;
    }
    const QStorageInfo disk(m_dir->path());
    if (disk.isValid() && disk.bytesAvailable() >= 0 && needed > disk.bytesAvailable()) {
        *error = platform::diskFullError(copy);
        return false;
    }
    bool steady = false;
    for (int attempt = 0; attempt < Attempts && !steady; ++attempt) {
        const Stamp before = stampOf(path);
        const Stamp logBefore = stampOf(log);
        if (!this->copy(path, copy, m_maxBytes, error))
            return false;
        QFile::remove(copy + QStringLiteral("-wal"));
        // A log that is there but no regular file is refused, not left out: it is no browser's.
        if (logBefore.size >= 0
            && !this->copy(log, copy + QStringLiteral("-wal"), m_maxBytes - QFileInfo(copy).size(), error))
            return false;
        steady = stampOf(path) == before && stampOf(log) == logBefore;
    }
    // Still changing after a few tries: the log's checksums keep what is read to whole commits.

    // Read-write on our own copy, so that SQLite can replay the log into its index; nothing is
    // ever written back to the browser's files.
    if (sqlite3_open_v2(copy.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_PRIVATECACHE, nullptr)
        != SQLITE_OK) {
        *error = lastError();
        return false;
    }
    sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, MaxValueBytes);
    sqlite3_progress_handler(m_db, InstructionsPerLook, &SqliteSnapshot::interrupt, this);
    sqlite3_exec(m_db, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
    // A file that is no database, or a damaged first page, shows on the first read.
    if (sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        *error = lastError();
        return false;
    }
    return true;
}

bool SqliteSnapshot::isTable(const char *name, QString *error) const
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT type, sql FROM sqlite_master WHERE name = ?1 COLLATE NOCASE", -1, &statement,
                           nullptr)
        != SQLITE_OK) {
        *error = lastError();
        return false;
    }
    sqlite3_bind_text(statement, 1, name, -1, SQLITE_STATIC);
    bool table = false;
    bool found = false;
    int status;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto *type = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        const auto *sql = reinterpret_cast<const char *>(sqlite3_column_text(statement, 1));
        found = true;
        table = type && qstrcmp(type, "table") == 0 && sql && qstrnicmp(sql, "CREATE TABLE", 12) == 0;
    }
    sqlite3_finalize(statement);
    if (status != SQLITE_DONE) {
        *error = lastError();
        return false;
    }
    if (!table) {
        *error = found ? QCoreApplication::translate("SqliteSnapshot", "%1 in %2 is no ordinary table.")
                             .arg(QString::fromUtf8(name), QDir::toNativeSeparators(m_path))
                       : QCoreApplication::translate("SqliteSnapshot", "%1 has no table %2.")
                             .arg(QDir::toNativeSeparators(m_path), QString::fromUtf8(name));
    }
    return table;
}
