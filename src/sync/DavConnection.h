#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFuture>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <type_traits>
#include <utility>

// One folder on a WebDAV server, and the requests a sync makes there. Each request answers through its
// future once the whole answer is in, the time limit has passed or the requests were cancelled; nothing here
// waits, the event loop carries the exchange. What went wrong is told in plain words.
class DavConnection
{
public:
    struct Response
    {
        int status = 0; // the HTTP status; 0 when there was none
        QByteArray body;
        QDateTime lastModified; // invalid when not given
        QDateTime serverDate; // the server's clock when it answered; invalid when not given
        QString contentType;
        QString error; // empty when the request got a whole answer, whatever its status
        bool ok() const { return error.isEmpty() && status >= 200 && status < 300; }
    };

    DavConnection(const QUrl &folder, const QString &user, const QString &password);
    ~DavConnection();

    DavConnection(const DavConnection &) = delete;
    DavConnection &operator=(const DavConnection &) = delete;

    // The most an answer may hold: one that says or turns out to be larger is cut off and refused, so
    // that no server can make a sync take more memory than a bookmark file needs.
    static constexpr qint64 DefaultAnswerLimit = qint64(64) << 20;

    void setTimeout(int milliseconds) { m_timeout = milliseconds; }
    void setAnswerLimit(qint64 bytes) { m_answerLimit = bytes; }
    qint64 answerLimit() const { return m_answerLimit; }
    // Ends the requests under way at once with an error, and those sent later too; but a DELETE (freeing a
    // lock) runs to its end, waiting a few seconds at most.
    void cancel();
    bool cancelled() const { return m_cancelled; }
    QUrl fileUrl(const QString &name) const;
    QUrl folder() const { return m_folder; }

    QFuture<Response> get(const QString &name);
    QFuture<Response> put(const QString &name, const QByteArray &bytes);
    QFuture<Response> remove(const QString &name);
    // Whether the folder is there: a PROPFIND of depth 0.
    QFuture<Response> checkFolder();
    // Sends without heeding the answer (a lock's renewal while other requests are under way).
    void putLater(const QString &name, const QByteArray &bytes);

    // What a failed response means, for a message: the status in words or the network error.
    static QString describe(const Response &response, const QString &what);

private:
    QNetworkRequest request(const QUrl &url) const;
    QFuture<Response> send(const QByteArray &verb, const QUrl &url, const QByteArray &body);

    QUrl m_folder;
    QByteArray m_authorization;
    static constexpr int CancelledDeleteMilliseconds = 5000;

    int m_timeout = 30000;
    qint64 m_answerLimit = DefaultAnswerLimit;
    bool m_cancelled = false;
    QNetworkAccessManager m_network;
    // The requests under way are its children; they go before the network layer does.
    QObject m_requests;
};

// Calls then with the future's result (none for QFuture<void>) on the thread that gives it, the event loop's for
// the answers above, unless receiver is gone by then. Unlike then(receiver, ...), the receiver may go first.
template<typename T, typename Then> void whenReady(QFuture<T> future, QObject *receiver, Then then)
{
    if constexpr (std::is_void_v<T>) {
        future.then([receiver = QPointer<QObject>(receiver), then = std::move(then)]() mutable {
            if (receiver)
                then();
        });
    } else {
        future.then([receiver = QPointer<QObject>(receiver), then = std::move(then)](T result) mutable {
            if (receiver)
                then(std::move(result));
        });
    }
}
