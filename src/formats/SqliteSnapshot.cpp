#include "formats/SqliteSnapshot.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

constexpr int Attempts = 3;

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

bool copyFile(const QString &from, const QString &to, QString *error)
{
    QFile::remove(to);
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = source.errorString();
        return false;
    }
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly)) {
        *error = target.errorString();
        return false;
    }
    char buffer[64 * 1024];
    for (;;) {
        const qint64 read = source.read(buffer, sizeof buffer);
        if (read < 0) {
            *error = source.errorString();
            return false;
        }
        if (read == 0)
            return true;
        if (target.write(buffer, read) != read) {
            *error = target.errorString();
            return false;
        }
    }
}

} // namespace

SqliteSnapshot::SqliteSnapshot() = default;

SqliteSnapshot::~SqliteSnapshot()
{
    if (m_db)
        sqlite3_close(m_db);
}

QString SqliteSnapshot::lastError() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
}

bool SqliteSnapshot::open(const QString &path, QString *error)
{
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("No such file");
        return false;
    }
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        *error = m_dir->errorString();
        return false;
    }
    const QString copy = m_dir->filePath(QStringLiteral("copy.sqlite"));
    const QString log = path + QStringLiteral("-wal");
    bool steady = false;
    for (int attempt = 0; attempt < Attempts && !steady; ++attempt) {
        const Stamp before = stampOf(path);
        const Stamp logBefore = stampOf(log);
        if (!copyFile(path, copy, error))
            return false;
        QFile::remove(copy + QStringLiteral("-wal"));
        if (logBefore.size >= 0 && !copyFile(log, copy + QStringLiteral("-wal"), error))
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
    sqlite3_exec(m_db, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
    // A file that is no database, or a damaged first page, shows on the first read.
    if (sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        *error = lastError();
        return false;
    }
    return true;
}
