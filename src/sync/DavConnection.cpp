#include "sync/DavConnection.h"

#include <QCoreApplication>
#include <QLocale>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QPromise>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

QDateTime httpDate(const QByteArray &value)
{
    // RFC 7231 dates: "Sun, 06 Nov 1994 08:49:37 GMT"
    QDateTime date
        = QLocale::c().toDateTime(QString::fromLatin1(value.trimmed()).replace(QLatin1String(" GMT"), QString()),
                                  QStringLiteral("ddd, dd MMM yyyy HH:mm:ss"));
    date.setTimeSpec(Qt::UTC);
    return date;
}

// What the network layer keeps of an answer before it is taken over, so that it never holds more.
constexpr qint64 ReadBufferBytes = qint64(1) << 20;

// One request under way: its answer is taken as it comes, refused as soon as it says or shows it is too
// large, and given to the promise once it is whole, or the time ran out, or the requests were cancelled.
class Request : public QObject
{
public:
    Request(QNetworkReply *reply, const QByteArray &verb, const QUrl &url, qint64 answerLimit, int timeout,
            QObject *parent)
        : QObject(parent), m_reply(reply), m_verb(verb), m_url(url), m_answerLimit(answerLimit)
    {
        m_promise->start();
        reply->setReadBufferSize(ReadBufferBytes);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] { end(Ending::TimedOut); });
        connect(reply, &QNetworkReply::metaDataChanged, this, [this] { take(); });
        connect(reply, &QNetworkReply::readyRead, this, [this] { take(); });
        connect(reply, &QNetworkReply::finished, this, [this] { end(Ending::Finished); });
        m_timer.start(timeout);
    }

    ~Request() override
    {
        // Gone before its answer (the connection went): the future is cancelled.
        if (m_reply) {
            m_reply->disconnect(this);
            m_reply->abort();
            m_reply->deleteLater();
        }
    }

    QFuture<DavConnection::Response> future() { return m_promise->future(); }
    bool deleting() const { return m_verb == "DELETE"; }
    void cancel() { end(Ending::Cancelled); }

private:
    enum class Ending { Finished, TimedOut, Cancelled, TooLarge };

    void take()
    {
        if (!m_reply)
            return;
        // Set again once the answer has begun: the network layer may not have heard of the first.
        if (!m_throttled) {
            m_throttled = true;
            m_reply->setReadBufferSize(ReadBufferBytes);
        }
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        bool tooLarge = length.isValid() && length.toLongLong() > m_answerLimit;
        if (!tooLarge) {
            if (length.isValid() && m_response.body.isEmpty())
                m_response.body.reserve(length.toLongLong());
            while (!tooLarge && m_reply->bytesAvailable() > 0) {
                m_response.body += m_reply->read(std::min(m_reply->bytesAvailable(), ReadBufferBytes));
                tooLarge = m_response.body.size() > m_answerLimit;
            }
        }
        if (tooLarge)
            end(Ending::TooLarge);
    }

    void end(Ending ending);
    void describeAnswer(const QNetworkReply *reply);

    QPointer<QNetworkReply> m_reply;
    QByteArray m_verb;
    QUrl m_url;
    qint64 m_answerLimit;
    QTimer m_timer;
    // Shared, so that it outlives this when what follows the answer ends the connection.
    std::shared_ptr<QPromise<DavConnection::Response>> m_promise
        = std::make_shared<QPromise<DavConnection::Response>>();
    DavConnection::Response m_response;
    bool m_throttled = false;
};

void Request::end(Ending ending)
{
    if (!m_reply)
        return;
    if (ending == Ending::Finished)
        take();
    if (!m_reply)
        return; // take() found it too large and ended it
    QNetworkReply *const reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    m_timer.stop();
    switch (ending) {
    case Ending::TooLarge:
        m_response.body.clear();
        m_response.body.squeeze();
        m_response.error
            = QCoreApplication::translate("Sync",
                                          "The server's answer for %1 is larger than %2, far more than "
                                          "the bookmark file can be: it was not read.")
                  .arg(m_url.fileName().isEmpty() ? m_url.toString(QUrl::RemoveUserInfo) : m_url.fileName(),
                       QLocale::c().formattedDataSize(m_answerLimit, 0, QLocale::DataSizeTraditionalFormat));
        break;
    case Ending::TimedOut:
    case Ending::Cancelled:
        m_response.body.clear();
        m_response.error = ending == Ending::Cancelled
            ? QCoreApplication::translate("Sync", "The sync was cancelled.")
            : QCoreApplication::translate("Sync", "The server did not answer within %1 seconds.")
                  .arg(m_timer.interval() / 1000.0);
        break;
    case Ending::Finished:
        describeAnswer(reply);
        break;
    }
    if (ending != Ending::Finished)
        reply->abort();
    reply->deleteLater();
    deleteLater();
    // Last: what follows the answer may end the connection, and this request with it.
    const std::shared_ptr<QPromise<DavConnection::Response>> promise = m_promise;
    promise->addResult(std::move(m_response));
    promise->finish();
}

void Request::describeAnswer(const QNetworkReply *reply)
{
    m_response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_response.lastModified = httpDate(reply->rawHeader("Last-Modified"));
    m_response.serverDate = httpDate(reply->rawHeader("Date"));
    m_response.contentType = QString::fromLatin1(reply->rawHeader("Content-Type"));
    const QNetworkReply::NetworkError error = reply->error();
    if (m_response.status >= 300 && m_response.status < 400) {
        const QString target = QString::fromUtf8(reply->rawHeader("Location"));
        m_response.error = QCoreApplication::translate(
                               "Sync", "The server sent the request elsewhere (to %1): give that address instead.")
                               .arg(target.isEmpty() ? QStringLiteral("an address it did not name") : target);
    } else if (m_response.status == 0
               || (error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied)) {
        switch (error) {
        case QNetworkReply::HostNotFoundError:
            m_response.error = QCoreApplication::translate("Sync", "The server %1 was not found.").arg(m_url.host());
            break;
        case QNetworkReply::ConnectionRefusedError:
            m_response.error
                = QCoreApplication::translate("Sync", "The server %1 refused the connection.").arg(m_url.host());
            break;
        case QNetworkReply::RemoteHostClosedError:
        case QNetworkReply::UnknownNetworkError:
            m_response.error = QCoreApplication::translate("Sync", "The server's answer was cut short (%1).")
                                   .arg(reply->errorString());
            break;
        default:
            m_response.error
                = QCoreApplication::translate("Sync", "The server could not be reached: %1").arg(reply->errorString());
        }
    } else if (const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader); length.isValid()
               && m_verb == "GET" && m_response.status == 200 && length.toLongLong() != m_response.body.size()) {
        m_response.error = QCoreApplication::translate("Sync", "The server's answer was cut short (%1 of %2 bytes).")
                               .arg(QString::number(m_response.body.size()), QString::number(length.toLongLong()));
    }
}

} // namespace

DavConnection::DavConnection(const QUrl &folder, const QString &user, const QString &password) : m_folder(folder)
{
    QString path = m_folder.path();
    if (!path.endsWith(u'/'))
        m_folder.setPath(path + u'/');
    if (!user.isEmpty())
        m_authorization = "Basic " + (user + u':' + password).toUtf8().toBase64();
    m_network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

DavConnection::~DavConnection() = default;

QUrl DavConnection::fileUrl(const QString &name) const
{
    // "sub/bookmarks.xbel" is a file in a folder below: each name of the path is escaped, not the "/"
    // between them, which servers would take for part of one name.
    return m_folder.resolved(QUrl(QString::fromLatin1(QUrl::toPercentEncoding(name, "/"))));
}

QNetworkRequest DavConnection::request(const QUrl &url) const
{
    QNetworkRequest request(url);
    if (!m_authorization.isEmpty())
        request.setRawHeader("Authorization", m_authorization);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    return request;
}

QFuture<DavConnection::Response> DavConnection::send(const QByteArray &verb, const QUrl &url, const QByteArray &body)
{
    QNetworkRequest r = request(url);
    if (verb == "PROPFIND") {
        r.setRawHeader("Depth", "0");
        r.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/xml; charset=utf-8"));
    } else if (verb == "PUT") {
        r.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/xml"));
    }
    // Without a body the request starts at once, so the network layer hears of the read buffer's size
    // before the answer comes.
    QNetworkReply *reply
        = body.isEmpty() ? m_network.sendCustomRequest(r, verb) : m_network.sendCustomRequest(r, verb, body);
    // Freeing a lock is never cut short by a cancel, but it does not keep a cancelled sync waiting long.
    const bool cancelledDelete = verb == "DELETE" && m_cancelled;
    auto *pending
        = new Request(reply, verb, url, m_answerLimit,
                      cancelledDelete ? std::min(m_timeout, CancelledDeleteMilliseconds) : m_timeout, &m_requests);
    QFuture<Response> future = pending->future();
    if (m_cancelled && verb != "DELETE")
        pending->cancel();
    return future;
}

void DavConnection::cancel()
{
    m_cancelled = true;
    for (QObject *child : m_requests.children()) {
        auto *pending = static_cast<Request *>(child);
        if (!pending->deleting())
            pending->cancel();
    }
}

QFuture<DavConnection::Response> DavConnection::get(const QString &name)
{
    return send("GET", fileUrl(name), {});
}

QFuture<DavConnection::Response> DavConnection::put(const QString &name, const QByteArray &bytes)
{
    return send("PUT", fileUrl(name), bytes);
}

QFuture<DavConnection::Response> DavConnection::remove(const QString &name)
{
    return send("DELETE", fileUrl(name), {});
}

QFuture<DavConnection::Response> DavConnection::checkFolder()
{
    return send("PROPFIND", m_folder,
                QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                  "<propfind xmlns=\"DAV:\"><prop><resourcetype/></prop></propfind>"));
}

void DavConnection::putLater(const QString &name, const QByteArray &bytes)
{
    QNetworkReply *reply = m_network.put(request(fileUrl(name)), bytes);
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

QString DavConnection::describe(const Response &response, const QString &what)
{
    if (!response.error.isEmpty())
        return response.error;
    switch (response.status) {
    case 401:
        return QCoreApplication::translate("Sync", "The server refused the user name or password (wrong password?).");
    case 403:
        return QCoreApplication::translate("Sync", "The server does not allow this user to reach %1.").arg(what);
    case 404:
        return QCoreApplication::translate("Sync", "%1 does not exist on the server.").arg(what);
    case 507:
        return QCoreApplication::translate("Sync", "The server has no room left for %1.").arg(what);
    default:
        if (response.status >= 500)
            return QCoreApplication::translate("Sync", "The server failed (status %1) on %2.")
                .arg(QString::number(response.status), what);
        return QCoreApplication::translate("Sync", "The server refused %2 (status %1).")
            .arg(QString::number(response.status), what);
    }
}
