#include "formats/ChromiumBookmarksReader.h"

#include "formats/FormatText.h"
#include "formats/ItemSink.h"
#include "formats/SqliteSnapshot.h"
#include "platform/RegularFile.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace ChromiumBookmarksReader {

namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr qint64 WindowsEpochOffset = 11'644'473'600;
// A Bookmarks file larger than this is no bookmarks file (browsers keep them to a few megabytes).
constexpr qint64 MaxFileSize = 256 * 1024 * 1024;
// Chromium keeps three months of History; far more than that is no browser's, and only costs memory.
constexpr qint64 MaxHistoryRows = 2'000'000;
constexpr qint64 MaxHistoryBytes = qint64(256) * 1024 * 1024;

struct Root
{
    const char *key;
    const char *name; // when the file gives none
};
constexpr Root Roots[] = {
    {"bookmark_bar", "Bookmarks bar"},
    {"other", "Other bookmarks"},
    {"synced", "Mobile bookmarks"},
};

qint64 timeValue(const QJsonValue &value)
{
    // Chromium writes its times as decimal strings.
    return value.isString() ? value.toString().toLongLong() : qint64(value.toDouble());
}

// Item text: a zero byte, which a JSON string may hold, is dropped.
std::string textOf(const QJsonValue &value)
{
    return FormatText::toUtf8(value.toString().toStdString());
}

class Walker
{
public:
    Walker(LinkItem &target, ImportReport &report, const QHash<QByteArray, Visits> &visits, const Progress &progress)
        : m_sink(target, report, progress), m_visits(visits)
    {
    }

    void root(const QJsonObject &node, const char *defaultName)
    {
        const std::string name = textOf(node.value(QStringLiteral("name")));
        m_sink.enterFolder(m_sink.addFolder(name.empty() ? std::string(defaultName) : name));
        children(node);
        m_sink.leaveFolder();
    }

private:
    // Depth first without recursion: each frame is a folder's children and the next one to take.
    void children(const QJsonObject &folder)
    {
        struct Frame
        {
            QJsonArray entries;
            qsizetype next;
        };
        std::vector<Frame> stack {{folder.value(QStringLiteral("children")).toArray(), 0}};
        while (!stack.empty()) {
            if (stack.back().next >= stack.back().entries.size()) {
                stack.pop_back();
                if (!stack.empty())
                    m_sink.leaveFolder();
                continue;
            }
            const QJsonObject node = stack.back().entries.at(stack.back().next++).toObject();
            if (!m_sink.advance(++m_done))
                return;
            const QString type = node.value(QStringLiteral("type")).toString();
            if (type == QLatin1String("url")) {
                link(node);
            } else if (type == QLatin1String("folder")) {
                m_sink.enterFolder(m_sink.addFolder(textOf(node.value(QStringLiteral("name")))));
                stack.push_back({node.value(QStringLiteral("children")).toArray(), 0});
            }
        }
    }

    void link(const QJsonObject &node)
    {
        const std::string url = textOf(node.value(QStringLiteral("url")));
        LinkItem *item = m_sink.addLink(textOf(node.value(QStringLiteral("name"))), url);
        const Visits visits = m_visits.value(QByteArray::fromStdString(url));
        qint64 lastUsed = timeValue(node.value(QStringLiteral("date_last_used")));
        if (lastUsed <= 0)
            lastUsed = visits.last;
        if (lastUsed > 0)
            item->LastVisit = m_dates.toOleDate(lastUsed / 1'000'000 - WindowsEpochOffset);
        item->Visits = std::int32_t(std::clamp<qint64>(visits.count, 0, std::numeric_limits<std::int32_t>::max()));
    }

    ItemSink m_sink;
    const QHash<QByteArray, Visits> &m_visits;
    DateConverter m_dates;
    qint64 m_done = 0;
};

// The visits History records for each address; false when the database cannot be read, or keepGoing
// stopped the reading (snapshot.stopped() tells).
bool readHistory(SqliteSnapshot &snapshot, const QString &path, QHash<QByteArray, Visits> &visits, QString *error)
{
    if (!snapshot.open(path, error) || !snapshot.isTable("urls", error))
        return false;
    sqlite3_stmt *statement = nullptr;
    // One row more than is kept is asked for, so that too many shows.
    if (sqlite3_prepare_v2(snapshot.handle(), "SELECT url, visit_count, last_visit_time FROM urls LIMIT ?1", -1,
                           &statement, nullptr)
            != SQLITE_OK
        || sqlite3_bind_int64(statement, 1, MaxHistoryRows + 1) != SQLITE_OK) {
        sqlite3_finalize(statement);
        *error = snapshot.lastError();
        return false;
    }
    int status;
    qint64 rows = 0;
    qint64 bytes = 0;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto *url = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        if (!url)
            continue;
        const int length = sqlite3_column_bytes(statement, 0);
        bytes += length;
        if (++rows > MaxHistoryRows || bytes > MaxHistoryBytes) {
            sqlite3_finalize(statement);
            *error = QCoreApplication::translate("ChromiumBookmarksReader",
                                                 "It holds more than %1 addresses or %2 MB of them.")
                         .arg(MaxHistoryRows)
                         .arg(MaxHistoryBytes / (1024 * 1024));
            return false;
        }
        visits.insert(QByteArray(url, length),
                      {sqlite3_column_int64(statement, 1), sqlite3_column_int64(statement, 2)});
    }
    sqlite3_finalize(statement);
    if (status != SQLITE_DONE) {
        *error = snapshot.lastError();
        return false;
    }
    return true;
}

} // namespace

ImportReport readBytes(const QByteArray &json, LinkItem &target, const QHash<QByteArray, Visits> &visits,
                       const Progress &progress)
{
    ImportReport report;
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parsed);
    if (parsed.error != QJsonParseError::NoError) {
        report.fail(QStringLiteral("%1 (at byte %2).").arg(parsed.errorString()).arg(parsed.offset));
        return report;
    }
    const QJsonObject roots = document.object().value(QStringLiteral("roots")).toObject();
    if (roots.isEmpty()) {
        report.fail(QStringLiteral("It holds no bookmark roots."));
        return report;
    }
    Walker walker(target, report, visits, progress);
    for (const Root &root : Roots) {
        const QJsonValue node = roots.value(QLatin1String(root.key));
        if (node.isObject() && report.status != ImportReport::Cancelled)
            walker.root(node.toObject(), root.name);
    }
    return report;
}

ImportReport read(const QString &bookmarksPath, LinkItem &target, const Progress &progress)
{
    ImportReport report;
    const QString shown = QDir::toNativeSeparators(bookmarksPath);
    QFile file(bookmarksPath);
    if (!platform::openRegularFile(file)) {
        report.fail(QStringLiteral("The file %1 cannot be read: %2")
                        .arg(shown,
                             QFileInfo::exists(bookmarksPath)
                                 ? QCoreApplication::translate("ChromiumBookmarksReader", "It is no regular file.")
                                 : QStringLiteral("No such file")));
        return report;
    }
    // One byte past the size is asked for, so that a file that grew past the bound meanwhile shows as well
    // (Chromium replaces the file rather than writing into it, so what is read is one whole version).
    const QByteArray json = file.size() > MaxFileSize ? QByteArray() : file.read(file.size() + 1);
    if (file.size() > MaxFileSize || json.size() > MaxFileSize) {
        report.fail(QStringLiteral("The file %1 is too large to be a bookmarks file.").arg(shown));
        return report;
    }
    // The visit counts are a bonus: a History that cannot be read leaves them out, and nothing else.
    QHash<QByteArray, Visits> visits;
    QString historyProblem;
    const QString history = QFileInfo(bookmarksPath).dir().filePath(QStringLiteral("History"));
    if (QFileInfo::exists(history)) {
        SqliteSnapshot snapshot;
        if (progress)
            snapshot.setKeepGoing([&progress] { return progress(0, 0); });
        QString error;
        if (!readHistory(snapshot, history, visits, &error)) {
            if (snapshot.stopped()) {
                report.cancel();
                return report;
            }
            visits.clear();
            historyProblem = QCoreApplication::translate("ChromiumBookmarksReader",
                                                         "The visit counts are left out: the database %1 cannot be "
                                                         "read: %2")
                                 .arg(QDir::toNativeSeparators(history), error);
        }
    }
    report = readBytes(json, target, visits, progress);
    if (report.status == ImportReport::Unreadable)
        report.problems = {QStringLiteral("The file %1 is damaged: %2").arg(shown, report.problems.join(u' '))};
    else if (!historyProblem.isEmpty() && report.status != ImportReport::Cancelled)
        report.damage(historyProblem);
    return report;
}

} // namespace ChromiumBookmarksReader
