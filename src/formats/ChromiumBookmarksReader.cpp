#include "formats/ChromiumBookmarksReader.h"

#include "formats/FormatText.h"
#include "formats/ItemSink.h"
#include "formats/SqliteSnapshot.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

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

// The visits History records for each address; false when the database cannot be read.
bool readHistory(const QString &path, QHash<QByteArray, Visits> &visits, QString *error)
{
    SqliteSnapshot snapshot;
    if (!snapshot.open(path, error))
        return false;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(snapshot.handle(), "SELECT url, visit_count, last_visit_time FROM urls", -1, &statement,
                           nullptr)
        != SQLITE_OK) {
        *error = snapshot.lastError();
        return false;
    }
    int status;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto *url = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        if (!url)
            continue;
        visits.insert(QByteArray(url, sqlite3_column_bytes(statement, 0)),
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
    if (!QFileInfo(bookmarksPath).isFile() || !file.open(QIODevice::ReadOnly)) {
        report.fail(
            QStringLiteral("The file %1 cannot be read: %2")
                .arg(shown, file.error() == QFile::NoError ? QStringLiteral("No such file") : file.errorString()));
        return report;
    }
    if (file.size() > MaxFileSize) {
        report.fail(QStringLiteral("The file %1 is too large to be a bookmarks file.").arg(shown));
        return report;
    }
    const QByteArray json = file.readAll();
    QHash<QByteArray, Visits> visits;
    const QString history = QFileInfo(bookmarksPath).dir().filePath(QStringLiteral("History"));
    QString error;
    if (QFileInfo::exists(history) && !readHistory(history, visits, &error)) {
        report.fail(QStringLiteral("The database %1 cannot be read: %2").arg(QDir::toNativeSeparators(history), error));
        return report;
    }
    report = readBytes(json, target, visits, progress);
    if (report.status == ImportReport::Unreadable)
        report.problems = {QStringLiteral("The file %1 is damaged: %2").arg(shown, report.problems.join(u' '))};
    return report;
}

} // namespace ChromiumBookmarksReader
