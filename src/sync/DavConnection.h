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

    // The most an answer may hold: one that says or turns out to be larger is cut off and refused, so
    // that no server can make a sync take more memory than a bookmark file needs.
    static constexpr qint64 DefaultAnswerLimit = qint64(64) << 20;

    void setTimeout(int milliseconds) { m_timeout = milliseconds; }
    void setAnswerLimit(qint64 bytes) { m_answerLimit = bytes; }
    qint64 answerLimit() const { return m_answerLimit; }
    // Once the flag is set, a request under way stops at once with an error; but a DELETE (freeing a
    // lock) runs to its end, waiting a few seconds at most.
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
    static constexpr int CancelledDeleteMilliseconds = 5000;
    // What the network layer keeps of an answer before it is taken over, so that it never holds more.
    static constexpr qint64 ReadBufferBytes = qint64(1) << 20;

    int m_timeout = 30000;
    qint64 m_answerLimit = DefaultAnswerLimit;
    const std::atomic_bool *m_cancelled = nullptr;
    QNetworkAccessManager m_network;
};
