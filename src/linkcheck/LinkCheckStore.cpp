#include "LinkCheckStore.h"

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
} // namespace

QString LinkCheckStore::pathFor(const QString &dataFile)
{
    return dataFile + QStringLiteral(".links");
}

bool LinkCheckStore::load(const QString &path)
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
    return readBytes(file.read(MaxFileSize + 1));
}

bool LinkCheckStore::loadBytes(const QByteArray &bytes)
{
    const bool read = readBytes(bytes);
    emit findingsReset();
    return read;
}

bool LinkCheckStore::readBytes(const QByteArray &bytes)
{
    m_results.clear();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    const QJsonObject top = document.object();
    if (parseError.error != QJsonParseError::NoError || top.value(FormatKey).toString() != FormatName) {
        m_error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                               : QStringLiteral("Not a file of link check results");
        return false;
    }
    const QJsonArray links = top.value(LinksKey).toArray();
    for (const QJsonValue &value : links) {
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
