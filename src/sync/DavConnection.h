#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

#include <atomic>

// One folder on a WebDAV server, and the requests a sync makes there: each waits for its answer
// (with the event loop running, up to a time limit) and tells what went wrong in plain words.
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

    void setTimeout(int milliseconds) { m_timeout = milliseconds; }
    // Once the flag is set, a request under way stops at once with an error; but a DELETE (freeing a
    // lock) runs to its end.
    void setCancelFlag(const std::atomic_bool *cancelled) { m_cancelled = cancelled; }
    QUrl fileUrl(const QString &name) const;
    QUrl folder() const { return m_folder; }

    Response get(const QString &name);
    Response put(const QString &name, const QByteArray &bytes);
    Response remove(const QString &name);
    // Whether the folder is there: a PROPFIND of depth 0.
    Response checkFolder();
    // Sends without waiting for the answer (a lock's renewal while other requests wait).
    void putLater(const QString &name, const QByteArray &bytes);

    // What a failed response means, for a message: the status in words or the network error.
    static QString describe(const Response &response, const QString &what);

private:
    QNetworkRequest request(const QUrl &url) const;
    Response send(const QByteArray &verb, const QUrl &url, const QByteArray &body);

    QUrl m_folder;
    QByteArray m_authorization;
    static constexpr int CancelCheckMilliseconds = 50;

    int m_timeout = 30000;
    const std::atomic_bool *m_cancelled = nullptr;
    QNetworkAccessManager m_network;
};
