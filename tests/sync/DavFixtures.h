#pragma once

// What the sync tests against servers share: a real WebDAV server (rclone) serving a temporary
// folder on 127.0.0.1, a server of the test's own that answers as it is told, and a computer with a
// collection that syncs.
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "sync/SyncRun.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// What the future gives, with the event loop running until it does (or a minute passed).
template<typename T> T awaited(QFuture<T> future)
{
    if (!QTest::qWaitFor([&future] { return future.isFinished(); }, 60000))
        return T();
    return future.result();
}

// `rclone serve webdav` on a free port; empty url() when rclone is missing or did not start.
class RcloneServer
{
public:
    RcloneServer()
    {
        const QString rclone = QStandardPaths::findExecutable(QStringLiteral("rclone"));
        if (rclone.isEmpty() || !m_folder.isValid())
            return;
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost))
            return;
        const quint16 port = probe.serverPort();
        probe.close();
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(rclone,
                        {QStringLiteral("serve"), QStringLiteral("webdav"), m_folder.path(), QStringLiteral("--addr"),
                         QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("--config"),
                         QStringLiteral("/dev/null")});
        if (!m_process.waitForStarted())
            return;
        for (int attempt = 0; attempt < 100; ++attempt) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port);
            if (socket.waitForConnected(100)) {
                m_url = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
                return;
            }
            QTest::qWait(50);
        }
    }
    ~RcloneServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished();
        }
    }

    QUrl url() const { return m_url; }
    QString path(const QString &name) const { return m_folder.filePath(name); }

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    QUrl m_url;
};

// An HTTP server that gives each request the answer `respond` makes of its method and path: the raw
// bytes to send, or nothing at all (it never answers). A "close" answer ends the connection after it;
// an "endless" one follows its bytes (a chunked answer's head) with chunks for as long as they are read.
class ToldServer : public QTcpServer
{
public:
    struct Answer
    {
        QByteArray bytes;
        bool silent = false;
        bool close = false;
        bool endless = false;
    };
    using Respond = std::function<Answer(const QByteArray &method, const QByteArray &path)>;

    explicit ToldServer(Respond respond) : m_respond(std::move(respond))
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            }
        });
    }

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/dav/").arg(serverPort())); }
    QStringList requests; // "METHOD /path"
    qint64 endlessBytesSent = 0;

    static Answer status(int code, const QByteArray &reason, const QByteArray &headers = {},
                         const QByteArray &body = {})
    {
        return {"HTTP/1.1 " + QByteArray::number(code) + ' ' + reason + "\r\n" + headers
                    + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body,
                false, false};
    }

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        for (;;) {
            const qsizetype end = buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = buffer.left(end);
            qsizetype length = 0;
            for (const QByteArray &line : head.split('\n')) {
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            }
            if (buffer.size() < end + 4 + length)
                return;
            buffer.remove(0, end + 4 + length);
            const QList<QByteArray> words = head.left(head.indexOf('\r')).split(' ');
            const QByteArray method = words.value(0);
            const QByteArray path = words.value(1);
            requests << QString::fromLatin1(method + ' ' + path);
            const Answer answer = m_respond(method, path);
            if (answer.silent)
                return;
            socket->write(answer.bytes);
            if (answer.endless) {
                feedForever(socket);
                return;
            }
            if (answer.close) {
                socket->flush();
                socket->disconnectFromHost();
                return;
            }
        }
    }

    void feedForever(QTcpSocket *socket)
    {
        // A little ahead of the reader only, so that the test's own memory stays small.
        const QByteArray chunk = "10000\r\n" + QByteArray(0x10000, 'x') + "\r\n";
        const auto feed = [this, socket, chunk] {
            while (socket->bytesToWrite() < 4 * chunk.size()) {
                socket->write(chunk);
                endlessBytesSent += chunk.size();
            }
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, feed);
        feed();
    }

    Respond m_respond;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

// Every item below root as "path <url> d=description", sorted.
inline QString collectionText(const LinkItem &root)
{
    QStringList lines;
    std::vector<std::pair<const LinkItem *, QString>> pending {{&root, QString()}};
    while (!pending.empty()) {
        const auto [item, path] = pending.back();
        pending.pop_back();
        for (const auto &child : item->Children) {
            const QString childPath = path + u'/' + TextCodec::toDisplay(child->Name);
            QString line = childPath;
            if (!child->isFolder())
                line += QStringLiteral(" <") + TextCodec::toDisplay(child->Url) + u'>';
            if (!child->Description.empty())
                line += QStringLiteral(" d=") + TextCodec::toDisplay(child->Description);
            lines << line;
            pending.emplace_back(child.get(), childPath);
        }
    }
    lines.sort();
    return lines.join(QStringLiteral("; "));
}

// A computer: its collection, its data file's place (for the sync state) and its syncs.
struct Computer
{
    explicit Computer(const QString &dataFile) : dataFile(dataFile) { }

    SyncRun::Outcome sync(const QUrl &url, int timeout = 10000, qint64 answerLimit = DavConnection::DefaultAnswerLimit)
    {
        SyncRun::Settings settings;
        settings.folder = url;
        settings.fileName = fileName;
        settings.timeout = timeout;
        settings.smallestAnswerLimit = answerLimit;
        // As quillmark-tool syncs: the exchange, then the merge put in through the document, then the state.
        SyncRun run(settings, dataFile, {});
        bool ended = false;
        QObject::connect(&run, &SyncRun::exchanged, [&ended] { ended = true; });
        run.start(CollectionTree::snapshot(root), false);
        if (!QTest::qWaitFor([&ended] { return ended; }, 120000))
            return {QStringLiteral("the sync did not end"), {}, false, false};
        CollectionDocument document(&root);
        run.apply(document, root, QStringLiteral("Sync"));
        SyncRun::Outcome outcome = run.exchange().outcome;
        if (outcome.ok())
            run.saveState(&outcome.error);
        return outcome;
    }

    // Every item as "path <url> d=description", sorted.
    QString text() const { return collectionText(root); }

    LinkItem *find(const QString &path)
    {
        LinkItem *item = &root;
        for (const QString &name : path.split(u'/', Qt::SkipEmptyParts)) {
            LinkItem *next = nullptr;
            for (const auto &child : item->Children) {
                if (TextCodec::toDisplay(child->Name) == name)
                    next = child.get();
            }
            if (!next)
                return nullptr;
            item = next;
        }
        return item;
    }

    QString dataFile;
    QString fileName = QStringLiteral("bookmarks.xbel"); // the shared file in the server's folder
    LinkItem root;
};
