#include "sync/DavConnection.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLocale>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>

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

DavConnection::Response DavConnection::send(const QByteArray &verb, const QUrl &url, const QByteArray &body)
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
    reply->setReadBufferSize(ReadBufferBytes);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The answer is taken as it comes, and refused as soon as it says or shows it is too large.
    Response response;
    bool tooLarge = false;
    bool throttled = false;
    const auto take = [&] {
        if (tooLarge)
            return;
        // Set again once the answer has begun: the network layer may not have heard of the first.
        if (!throttled) {
            throttled = true;
            reply->setReadBufferSize(ReadBufferBytes);
        }
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_answerLimit) {
            tooLarge = true;
        } else {
            if (length.isValid() && response.body.isEmpty())
                response.body.reserve(length.toLongLong());
            while (!tooLarge && reply->bytesAvailable() > 0) {
                response.body += reply->read(std::min(reply->bytesAvailable(), ReadBufferBytes));
                tooLarge = response.body.size() > m_answerLimit;
            }
        }
        if (tooLarge) {
            response.body.clear();
            response.body.squeeze();
            loop.quit();
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, take);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    const bool cancelledDelete = verb == "DELETE" && m_cancelled && m_cancelled->load();
    timer.start(cancelledDelete ? std::min(m_timeout, CancelledDeleteMilliseconds) : m_timeout);
    // Freeing a lock is never cut short: it must not stay behind.
    QTimer cancelCheck;
    bool cancelled = false;
    if (m_cancelled && verb != "DELETE") {
        QObject::connect(&cancelCheck, &QTimer::timeout, &loop, [&] {
            if (m_cancelled->load()) {
                cancelled = true;
                loop.quit();
            }
        });
        cancelCheck.start(CancelCheckMilliseconds);
    }
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    take();

    if (tooLarge) {
        reply->abort();
        response.error = QCoreApplication::translate("Sync",
                                                     "The server's answer for %1 is larger than %2, far more than "
                                                     "the bookmark file can be: it was not read.")
                             .arg(url.fileName().isEmpty() ? url.toString(QUrl::RemoveUserInfo) : url.fileName(),
                                  QLocale::c().formattedDataSize(m_answerLimit, 0, QLocale::DataSizeTraditionalFormat));
        reply->deleteLater();
        return response;
    }
    if (timedOut || cancelled) {
        reply->abort();
        response.body.clear();
        response.error = cancelled ? QCoreApplication::translate("Sync", "The sync was cancelled.")
                                   : QCoreApplication::translate("Sync", "The server did not answer within %1 seconds.")
                                         .arg(timer.interval() / 1000.0);
        reply->deleteLater();
        return response;
    }
    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    response.lastModified = httpDate(reply->rawHeader("Last-Modified"));
    response.serverDate = httpDate(reply->rawHeader("Date"));
    response.contentType = QString::fromLatin1(reply->rawHeader("Content-Type"));
    const QNetworkReply::NetworkError error = reply->error();
    if (response.status >= 300 && response.status < 400) {
        const QString target = QString::fromUtf8(reply->rawHeader("Location"));
        response.error = QCoreApplication::translate(
                             "Sync", "The server sent the request elsewhere (to %1): give that address instead.")
                             .arg(target.isEmpty() ? QStringLiteral("an address it did not name") : target);
    } else if (response.status == 0
               || (error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied)) {
        switch (error) {
        case QNetworkReply::HostNotFoundError:
            response.error = QCoreApplication::translate("Sync", "The server %1 was not found.").arg(url.host());
            break;
        case QNetworkReply::ConnectionRefusedError:
            response.error
                = QCoreApplication::translate("Sync", "The server %1 refused the connection.").arg(url.host());
            break;
        case QNetworkReply::RemoteHostClosedError:
        case QNetworkReply::UnknownNetworkError:
            response.error = QCoreApplication::translate("Sync", "The server's answer was cut short (%1).")
                                 .arg(reply->errorString());
            break;
        default:
            response.error
                = QCoreApplication::translate("Sync", "The server could not be reached: %1").arg(reply->errorString());
        }
    } else if (const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader); length.isValid()
               && verb == "GET" && response.status == 200 && length.toLongLong() != response.body.size()) {
        response.error = QCoreApplication::translate("Sync", "The server's answer was cut short (%1 of %2 bytes).")
                             .arg(QString::number(response.body.size()), QString::number(length.toLongLong()));
    }
    reply->deleteLater();
    return response;
}

DavConnection::Response DavConnection::get(const QString &name)
{
    return send("GET", fileUrl(name), {});
}

DavConnection::Response DavConnection::put(const QString &name, const QByteArray &bytes)
{
    return send("PUT", fileUrl(name), bytes);
}

DavConnection::Response DavConnection::remove(const QString &name)
{
    return send("DELETE", fileUrl(name), {});
}

DavConnection::Response DavConnection::checkFolder()
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
