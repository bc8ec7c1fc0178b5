#include "LinkProbe.h"

#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimeZone>

#include <algorithm>
#include <limits>

namespace {
bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool isPermanent(int status)
{
    return status == 301 || status == 308;
}

// Retry-After in seconds, from a number of seconds or a date; -1 when there is none that can be read.
int retryAfterSeconds(const QByteArray &value)
{
    const QByteArray text = value.trimmed();
    if (text.isEmpty())
        return -1;
    bool number = false;
    const qint64 seconds = text.toLongLong(&number);
    if (number)
        return seconds < 0 ? -1 : static_cast<int>(std::min<qint64>(seconds, std::numeric_limits<int>::max()));
    const QDateTime when = QLocale::c().toDateTime(QString::fromLatin1(text).replace(QLatin1String(" GMT"), QString()),
                                                   QStringLiteral("ddd, dd MMM yyyy HH:mm:ss"));
    if (!when.isValid())
        return -1;
    QDateTime utc = when;
    utc.setTimeZone(QTimeZone::utc());
    return static_cast<int>(std::clamp<qint64>(QDateTime::currentDateTimeUtc().secsTo(utc), 0, 24 * 3600));
}
} // namespace

LinkProbe::LinkProbe(QNetworkAccessManager *network, const QUrl &url, int timeoutMs, QObject *parent)
    : QObject(parent), m_network(network), m_start(url), m_timeoutMs(timeoutMs)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &LinkProbe::onTimeout);
}

LinkProbe::~LinkProbe()
{
    dropReply();
}

QByteArray LinkProbe::userAgent()
{
    // Some sites answer a client they do not know as a browser with an error page.
    return QByteArrayLiteral("Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
                             "Chrome/120.0 Safari/537.36 Quillmark/1.0");
}

void LinkProbe::start()
{
    m_result.chain.append(m_start.toString());
    m_visited.insert(m_start.adjusted(QUrl::NormalizePathSegments));
    send(m_start);
}

QString LinkProbe::hostKey(const QUrl &url)
{
    return url.host().toLower() + QLatin1Char(':')
        + QString::number(url.port(url.scheme().toLower() == QLatin1String("https") ? 443 : 80));
}

void LinkProbe::resume()
{
    if (!m_next.isEmpty())
        send(std::exchange(m_next, QUrl()));
}

void LinkProbe::abort()
{
    m_timer.stop();
    dropReply();
}

void LinkProbe::send(const QUrl &url)
{
    m_current = url;
    m_timedOut = false;
    m_headersSeen = false;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setRawHeader("Accept", "text/html,application/xhtml+xml,*/*;q=0.8");
    m_reply = m_method == Method::Head ? m_network->head(request) : m_network->get(request);
    // Whatever a server sends after its headers is never wanted: keep at most a little of it in memory.
    m_reply->setReadBufferSize(4096);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &LinkProbe::onHeaders);
    connect(m_reply, &QNetworkReply::finished, this, &LinkProbe::onFinished);
    m_timer.start(m_timeoutMs);
}

void LinkProbe::dropReply()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    // Deleting a reply stops its transfer; aborting it could clash with an error it is about to report.
    reply->deleteLater();
}

void LinkProbe::onHeaders()
{
    if (!m_reply || m_headersSeen)
        return;
    if (!m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        return;
    m_headersSeen = true;
    // The headers are all a check needs: end the transfer rather than wait for the body (from the event
    // loop, since the reply is still busy telling its headers).
    if (m_method == Method::Get)
        QMetaObject::invokeMethod(this, &LinkProbe::onFinished, Qt::QueuedConnection);
}

void LinkProbe::onFinished()
{
    if (!m_reply)
        return;
    m_timer.stop();
    QNetworkReply *reply = m_reply;
    const QVariant statusValue = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusValue.isValid() ? statusValue.toInt() : 0;
    const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    const QUrl location = QUrl::fromEncoded(reply->rawHeader("Location").trimmed());
    const int retryAfter = retryAfterSeconds(reply->rawHeader("Retry-After"));
    const bool timedOut = m_timedOut;
    dropReply();

    if (timedOut) {
        // Some servers never answer a HEAD, but do answer a GET.
        if (m_method == Method::Head) {
            m_method = Method::Get;
            send(m_current);
            return;
        }
        finish(LinkCheckResult::Unreachable, tr("No answer within %n second(s)", nullptr, (m_timeoutMs + 999) / 1000));
        return;
    }
    if (status == 0) {
        if (m_method == Method::Head && retryWithGet(0, error)) {
            m_method = Method::Get;
            send(m_current);
            return;
        }
        finishWithError(error, errorText);
        return;
    }
    m_result.status = status;
    if (status == LinkCheckResult::RateLimitedStatus) {
        // The site is there, but asks for fewer requests: asking again at once, with GET, would not help.
        m_result.retryAfterSeconds = retryAfter;
        finish(LinkCheckResult::Unreachable,
               tr("Rate limited: %1").arg(phrase.isEmpty() ? tr("HTTP status %1").arg(status) : phrase));
        return;
    }
    if (isRedirect(status) && (!location.isValid() || location.isEmpty())) {
        // A redirect that says nowhere leads nowhere.
        finish(LinkCheckResult::Broken, tr("Redirect (%1) without a new address").arg(status));
        return;
    }
    if (isRedirect(status)) {
        const QUrl next = m_current.resolved(location);
        if (!isPermanent(status))
            m_allPermanent = false;
        m_result.chain.append(next.toString());
        m_result.finalUrl = next.toString();
        if (m_visited.contains(next.adjusted(QUrl::NormalizePathSegments))) {
            finish(LinkCheckResult::Broken, tr("Redirect loop"));
            return;
        }
        if (m_result.chain.size() > MaxRedirects + 1) {
            finish(LinkCheckResult::Broken, tr("More than %1 redirects").arg(MaxRedirects));
            return;
        }
        const QString scheme = next.scheme().toLower();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
            finish(LinkCheckResult::NotChecked, tr("Redirected to a %1 address").arg(scheme));
            return;
        }
        m_visited.insert(next.adjusted(QUrl::NormalizePathSegments));
        if (m_gated && hostKey(next) != hostKey(m_current)) {
            m_next = next;
            emit redirecting(next);
            return;
        }
        send(next);
        return;
    }
    if (status >= 400) {
        if (m_method == Method::Head && retryWithGet(status, error)) {
            m_method = Method::Get;
            send(m_current);
            return;
        }
        finishWithStatus(status, phrase);
        return;
    }
    if (m_result.chain.size() == 1) {
        finish(LinkCheckResult::Ok, phrase);
    } else if (m_allPermanent && QUrl(m_result.finalUrl) != m_start) {
        finish(LinkCheckResult::Moved, tr("Moved permanently"));
    } else {
        finish(LinkCheckResult::Redirected, tr("Redirected"));
    }
}

void LinkProbe::onTimeout()
{
    if (!m_reply)
        return;
    m_timedOut = true;
    // abort() finishes the reply, which reports the timeout.
    m_reply->abort();
}

bool LinkProbe::retryWithGet(int status, int error) const
{
    if (status != 0)
        return status >= 400; // HEAD refused or not implemented, or a server that only answers GET
    switch (error) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        return false; // a GET would end the same way
    default:
        return true;
    }
}

void LinkProbe::finishWithStatus(int status, const QString &phrase)
{
    const QString reason = phrase.isEmpty() ? tr("HTTP status %1").arg(status) : phrase;
    finish(status >= 500 ? LinkCheckResult::Unreachable : LinkCheckResult::Broken, reason);
}

void LinkProbe::finishWithError(int error, const QString &text)
{
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        finish(LinkCheckResult::Broken, tr("Host not found: %1").arg(text));
        return;
    case QNetworkReply::SslHandshakeFailedError:
        finish(LinkCheckResult::Broken, tr("Secure connection failed: %1").arg(text));
        return;
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolInvalidOperationError:
        finish(LinkCheckResult::Broken, text);
        return;
    default:
        // Refused, reset, closed early, garbage instead of HTTP: the server may be back tomorrow.
        finish(LinkCheckResult::Unreachable, text);
        return;
    }
}

void LinkProbe::finish(LinkCheckResult::Outcome outcome, const QString &reason)
{
    m_result.outcome = outcome;
    m_result.reason = reason;
    m_result.checkedAt = QDateTime::currentDateTimeUtc();
    emit finished(m_result);
}
