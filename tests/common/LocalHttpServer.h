#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

// A small HTTP/1.1 server on a loopback address, answering each path as it was told to. It reads a
// request's line and headers, then answers (after a delay, if one is set) and closes the connection.
class LocalHttpServer
{
public:
    enum class Mode {
        Answer, // status, headers and body
        Silent, // reads the request and never answers
        CloseInHeaders, // sends half a status line and hangs up
        EndlessBody, // a 200 whose body never ends
        Garbage, // bytes that are not HTTP
    };
    struct Route
    {
        Route(int status = 200, const QByteArray &location = {}, Mode mode = Mode::Answer, int headStatus = 0)
            : status(status), location(location), mode(mode), headStatus(headStatus)
        {
        }
        int status = 200;
        QByteArray location; // sent as Location when not empty
        Mode mode = Mode::Answer;
        int headStatus = 0; // a different status for HEAD requests; 0 for the same
        bool headSilent = false; // HEAD requests are never answered
        QByteArray headers; // more header lines, each ended by "\r\n"
    };

    explicit LocalHttpServer(const QHostAddress &address = QHostAddress::LocalHost, int delayMs = 0)
        : m_delayMs(delayMs)
    {
        m_server.listen(address);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                serve(socket);
        });
    }

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    QString base() const
    {
        return QStringLiteral("http://%1:%2").arg(m_server.serverAddress().toString()).arg(m_server.serverPort());
    }
    QString url(const QByteArray &path) const { return base() + QString::fromLatin1(path); }

    void route(const QByteArray &path, const Route &route) { m_routes.insert(path, route); }
    // Requests seen so far, as "METHOD /path".
    const QList<QByteArray> &requests() const { return m_requests; }
    qint64 endlessBytesSent() const { return m_endlessSent; }
    // The most requests that were waiting for their answer at the same time.
    int maxInFlight() const { return m_maxInFlight; }

private:
    void serve(QTcpSocket *socket)
    {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto *buffer = new QByteArray;
        QObject::connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0 || socket->property("answered").toBool())
                return;
            socket->setProperty("answered", true);
            const QList<QByteArray> words = buffer->left(buffer->indexOf("\r\n")).split(' ');
            const QByteArray method = words.value(0);
            const QByteArray path = words.value(1);
            m_requests.append(method + ' ' + path);
            m_maxInFlight = std::max(m_maxInFlight, ++m_inFlight);
            QPointer<QTcpSocket> guarded(socket);
            auto answer = [this, guarded, method, path] {
                if (guarded)
                    this->answer(guarded, method, path);
            };
            if (m_delayMs > 0)
                QTimer::singleShot(m_delayMs, socket, answer);
            else
                answer();
        });
    }

    void answer(QTcpSocket *socket, const QByteArray &method, const QByteArray &path)
    {
        --m_inFlight;
        const Route route = m_routes.value(path, Route {404});
        const Mode mode = method == "HEAD" && route.headSilent ? Mode::Silent
            : method == "HEAD" && route.headStatus             ? Mode::Answer
                                                               : route.mode;
        switch (mode) {
        case Mode::Silent:
            return;
        case Mode::CloseInHeaders:
            socket->write("HTTP/1.1 200 O");
            socket->disconnectFromHost();
            return;
        case Mode::Garbage:
            socket->write(QByteArray(2000, '\x7f') + "\r\n\r\n");
            socket->disconnectFromHost();
            return;
        case Mode::EndlessBody:
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n");
            feedForever(socket);
            return;
        case Mode::Answer:
            break;
        }
        const int status = method == "HEAD" && route.headStatus ? route.headStatus : route.status;
        const QByteArray body = "<html>" + QByteArray::number(status) + "</html>";
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(status) + " Status " + QByteArray::number(status)
            + "\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size())
            + "\r\n";
        if (!route.location.isEmpty())
            reply += "Location: " + route.location + "\r\n";
        reply += route.headers;
        reply += "\r\n";
        if (method != "HEAD")
            reply += body;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    void feedForever(QTcpSocket *socket)
    {
        // Keeps a little ahead of the reader, so the test's memory stays bounded too.
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket] {
            if (socket->bytesToWrite() < 65536) {
                socket->write(QByteArray(65536, 'x'));
                m_endlessSent += 65536;
            }
        });
        socket->write(QByteArray(65536, 'x'));
        m_endlessSent += 65536;
    }

    QTcpServer m_server;
    QHash<QByteArray, Route> m_routes;
    QList<QByteArray> m_requests;
    qint64 m_endlessSent = 0;
    int m_inFlight = 0;
    int m_maxInFlight = 0;
    int m_delayMs;
};
