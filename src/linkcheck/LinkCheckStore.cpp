#include "LinkCheckStore.h"

#include "linkcheck/JsonEntryRuns.h"

#include "platform/RegularFile.h"
#include "platform/WriteError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QScopeGuard>

#include <algorithm>

namespace {
const QString FormatKey = QStringLiteral("format");
const QString FormatName = QStringLiteral("quillmark-link-check");
const QString VersionKey = QStringLiteral("version");
const QString LinksKey = QStringLiteral("links");
const QString UrlKey = QStringLiteral("url");
const QString OutcomeKey = QStringLiteral("outcome");
const QString StatusKey = QStringLiteral("status");
const QString FinalUrlKey = QStringLiteral("finalUrl");
const QString ReasonKey = QStringLiteral("reason");
const QString CheckedKey = QStringLiteral("checked");
// A large file is read and parsed in pieces of about this size, each quick enough to stop after.
constexpr qint64 PieceBytes = 1024 * 1024;
// Entries taken between two looks at the stop.
constexpr qsizetype EntriesPerLook = 4096;

QString stoppedText()
{
    return QCoreApplication::translate("LinkCheckStore", "The reading was stopped");
}
} // namespace

QString LinkCheckStore::pathFor(const QString &dataFile)
{
    return dataFile + QStringLiteral(".links");
}

bool LinkCheckStore::load(const QString &path, const CancelCheck &stop)
{
    m_results.clear();
    m_error.clear();
    // Whatever happens, the outcomes are new ones now.
    const auto told = qScopeGuard([this] { emit findingsReset(); });
    QFile file(path);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (!info.isFile()) {
        m_error = QCoreApplication::translate("LinkCheckStore", "Not a regular file");
        return false;
    }
    // The size is checked before anything is read.
    if (info.size() > MaxFileSize) {
        m_error = QCoreApplication::translate("LinkCheckStore", "The file is too large");
        return false;
    }
    if (!platform::openRegularFile(file)) {
        m_error = file.errorString().isEmpty() ? QCoreApplication::translate("LinkCheckStore", "Not a regular file")
                                               : file.errorString();
        return false;
    }
    QByteArray bytes;
    while (bytes.size() <= MaxFileSize) {
        if (stop && stop()) {
            m_error = stoppedText();
            return false;
        }
        const QByteArray piece = file.read(std::min(PieceBytes, MaxFileSize + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    return readBytes(bytes, stop);
}

bool LinkCheckStore::loadBytes(const QByteArray &bytes, const CancelCheck &stop)
{
    const bool read = readBytes(bytes, stop);
    emit findingsReset();
    return read;
}

bool LinkCheckStore::readBytes(const QByteArray &bytes, const CancelCheck &stop)
{
    m_results.clear();
    const auto failed = [this](const QString &error) {
        m_results.clear();
        m_error = error;
        return false;
    };
    const auto notOurs = [] { return QStringLiteral("Not a file of link check results"); };
    // A file laid out as ours are is parsed a run of entries at a time; any other as a whole.
    const std::optional<JsonEntryRuns> cut = JsonEntryRuns::cut(bytes, LinksKey.toUtf8(), PieceBytes);
    QJsonParseError parseError;
    if (!cut) {
        const QJsonObject top = QJsonDocument::fromJson(bytes, &parseError).object();
        if (parseError.error != QJsonParseError::NoError)
            return failed(parseError.errorString());
        if (top.value(FormatKey).toString() != FormatName)
            return failed(notOurs());
        return readEntries(top.value(LinksKey).toArray(), stop) || failed(stoppedText());
    }
    const QJsonObject top = QJsonDocument::fromJson(cut->rest, &parseError).object();
    if (parseError.error != QJsonParseError::NoError)
        return failed(parseError.errorString());
    // Each run is taken as it is parsed; should a later one not parse, the file was not JSON and none stay.
    for (size_t i = 0; i < cut->runs.size(); ++i) {
        if (stop && stop())
            return failed(stoppedText());
        const QByteArray run = '[' + cut->runs[i].toByteArray() + ']';
        const QJsonArray links = QJsonDocument::fromJson(run, &parseError).array();
        if (parseError.error != QJsonParseError::NoError)
            return failed(parseError.errorString());
        if (links.size() != cut->counts[i])
            return failed(notOurs());
        if (!readEntries(links, stop))
            return failed(stoppedText());
    }
    if (top.value(FormatKey).toString() != FormatName)
        return failed(notOurs());
    return true;
}

bool LinkCheckStore::readEntries(const QJsonArray &links, const CancelCheck &stop)
{
    qsizetype untilLook = EntriesPerLook;
    for (const QJsonValue &value : links) {
        if (--untilLook == 0) {
            untilLook = EntriesPerLook;
            if (stop && stop())
                return false;
        }
        const QJsonObject entry = value.toObject();
        const QString url = entry.value(UrlKey).toString();
        LinkCheckResult result;
        if (url.isEmpty() || !LinkCheckResult::outcomeFromKey(entry.value(OutcomeKey).toString(), &result.outcome))
            continue;
        result.status = std::clamp(entry.value(StatusKey).toInt(), 0, 999);
        // Kept by an older check that called a rate-limited site broken: it is not, and must not be deleted as such.
        if (result.outcome == LinkCheckResult::Broken && result.status == LinkCheckResult::RateLimitedStatus)
            result.outcome = LinkCheckResult::Unreachable;
        result.finalUrl = entry.value(FinalUrlKey).toString();
        result.reason = entry.value(ReasonKey).toString();
        result.checkedAt = QDateTime::fromString(entry.value(CheckedKey).toString(), Qt::ISODate);
        if (!result.checkedAt.isValid())
            continue;
        m_results.insert(url, result);
    }
    return true;
}

QByteArray LinkCheckStore::toBytes() const
{
    // Sorted by address, so that the file changes no more than the outcomes do.
    QStringList urls = m_results.keys();
    urls.sort();
    QJsonArray links;
    for (const QString &url : std::as_const(urls)) {
        const LinkCheckResult &result = m_results[url];
        QJsonObject entry {{UrlKey, url},
                           {OutcomeKey, LinkCheckResult::outcomeKey(result.outcome)},
                           {StatusKey, result.status},
                           {CheckedKey, result.checkedAt.toUTC().toString(Qt::ISODate)}};
        if (!result.finalUrl.isEmpty())
            entry.insert(FinalUrlKey, result.finalUrl);
        if (!result.reason.isEmpty())
            entry.insert(ReasonKey, result.reason);
        links.append(entry);
    }
    const QJsonObject top {{FormatKey, FormatName}, {VersionKey, 1}, {LinksKey, links}};
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

bool LinkCheckStore::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = platform::writeError(file, path);
        return false;
    }
    file.write(toBytes());
    if (!file.commit()) {
        m_error = platform::writeError(file, path);
        return false;
    }
    return true;
}

const LinkCheckResult *LinkCheckStore::find(const QString &url) const
{
    const auto found = m_results.constFind(url);
    return found == m_results.constEnd() ? nullptr : &found.value();
}

void LinkCheckStore::set(const QString &url, const LinkCheckResult &result)
{
    LinkCheckResult kept = result;
    kept.chain.clear(); // the chain is shown once, not kept
    // The file keeps whole seconds: keep the same here, so that a reload gives back what was set.
    const QDateTime checked = result.checkedAt.toUTC();
    kept.checkedAt = checked.addMSecs(-checked.time().msec());
    m_results.insert(url, kept);
    changed(url);
}

void LinkCheckStore::remove(const QString &url)
{
    if (m_results.remove(url))
        changed(url);
}

int LinkCheckStore::keepOnly(const QSet<QString> &urls)
{
    beginChanges();
    const auto gone = m_results.removeIf([this, &urls](const auto &entry) {
        if (urls.contains(entry.key()))
            return false;
        changed(entry.key());
        return true;
    });
    endChanges();
    return static_cast<int>(gone);
}

void LinkCheckStore::clear()
{
    m_results.clear();
    emit findingsReset();
}

LinkCheckStore::Results LinkCheckStore::replace(Results results)
{
    std::swap(m_results, results);
    emit findingsReset();
    return results;
}

void LinkCheckStore::changed(const QString &url)
{
    m_pending.append(url);
    if (m_batchDepth == 0)
        tell();
}

void LinkCheckStore::endChanges()
{
    if (m_batchDepth > 0 && --m_batchDepth == 0)
        tell();
}

void LinkCheckStore::tell()
{
    if (!m_pending.isEmpty())
        emit findingsChanged(std::exchange(m_pending, {}));
}
