#include "platform/SingleInstance.h"

#include "platform/FileSync.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

constexpr qsizetype MaxMessage = 64; // more than any message we accept; longer senders are cut off
constexpr int MaxConnections = 16; // connections served at once; more are refused until some finish
constexpr int ConnectTimeoutMs = 500;
constexpr int HandOverWaitMs = 3000; // how long a later copy waits for a starting primary to listen
constexpr int RetryIntervalMs = 100;
constexpr int MaxSocketPath = 100; // a local socket's path must fit sockaddr_un (108 bytes on Linux)

QString userTag()
{
#ifdef Q_OS_WIN
    QString tag;
    for (const QChar c : qEnvironmentVariable("USERNAME"))
        tag += c.isLetterOrNumber() || c == QLatin1Char('_') ? c : QLatin1Char('_');
    return tag;
#else
    return QString::number(::getuid());
#endif
}

QString baseNameFor(const QString &key)
{
    return key + QLatin1Char('-') + userTag();
}

// The first folder of the user's own whose socket path fits; the first one when none does (the lock still
// guards there; the socket cannot listen).
QString folderFor(const QString &baseName)
{
    const QStringList folders = platform::runtimeFolders();
    for (const QString &folder : folders) {
        if (QFile::encodeName(folder + QLatin1Char('/') + baseName).size() <= MaxSocketPath)
            return folder;
    }
    return folders.value(0);
}

QString serverNameFor(const QString &folder, const QString &key)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    return baseNameFor(key); // a pipe name, not a path
#else
    return folder + QLatin1Char('/') + baseNameFor(key);
#endif
}

QString lockPathFor(const QString &folder, const QString &key)
{
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + baseNameFor(key) + QLatin1String(".lock");
}

bool isActivation(const QByteArray &data)
{
    const QByteArray message(SingleInstance::ActivationMessage);
    return data == message || data == message + '\n';
}

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent), m_folder(folderFor(baseNameFor(key))), m_serverName(serverNameFor(m_folder, key)),
      m_lockPath(lockPathFor(m_folder, key)), m_lock(m_lockPath)
{
    // A running copy's lock never goes stale by age; only a lock whose process is gone does.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    // Stop answering before the lock goes, so that a copy starting now does not hand over to us.
    if (m_server) {
        m_server->disconnect(this);
        for (QLocalSocket *socket : m_connections.keys())
            socket->disconnect(this);
        m_connections.clear();
        delete m_server;
    }
}

SingleInstance::Role SingleInstance::start()
{
    if (m_server)
        return Role::Primary;
    QString error = QCoreApplication::translate("SingleInstance", "The user has no runtime or cache folder.");
    if (m_folder.isEmpty() || !platform::makePrivateFolder(m_folder, &error)) {
        // A lock or socket where others could reach them would let anybody keep the program from starting.
        qWarning("SingleInstance: cannot make sure that only one copy runs: %ls: %ls",
                 qUtf16Printable(QDir::toNativeSeparators(m_folder)), qUtf16Printable(error));
        return Role::Primary;
    }
    const QDeadlineTimer deadline(HandOverWaitMs);
    for (;;) {
        if (m_lock.tryLock(0)) {
            // A copy whose lock file was removed under it may still be serving; it stays the one.
            if (sendActivation()) {
                m_lock.unlock();
                return Role::HandedOver;
            }
            listen();
            return Role::Primary;
        }
        if (sendActivation())
            return Role::HandedOver;
        if (m_lock.error() != QLockFile::LockFailedError) {
            // The system refuses the lock file itself; running unguarded beats not running at all.
            qWarning("SingleInstance: cannot create %ls", qUtf16Printable(m_lockPath));
            listen();
            return Role::Primary;
        }
        if (deadline.hasExpired())
            return Role::NoAnswer;
        QThread::msleep(RetryIntervalMs);
    }
}

// Connects to the running copy and sends it the activation message. True when somebody listened.
bool SingleInstance::sendActivation() const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    socket.write(QByteArray(ActivationMessage) + '\n');
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(ConnectTimeoutMs)) { }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(ConnectTimeoutMs);
    return true;
}

// Called once a connection attempt has failed, so a socket left there belongs to a copy that is gone.
void SingleInstance::listen()
{
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    if (!m_server->listen(m_serverName))
        qWarning("SingleInstance: cannot listen on %ls: %ls", qUtf16Printable(m_serverName),
                 qUtf16Printable(m_server->errorString()));
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (m_connections.size() >= MaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_connections.insert(socket, QByteArray());
        socket->setReadBufferSize(MaxMessage + 1);
        QTimer::singleShot(m_clientTimeoutMs, socket, [this, socket] { drop(socket); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { finish(socket); });
        readFrom(socket);
    }
}

void SingleInstance::readFrom(QLocalSocket *socket)
{
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    it->append(socket->read(MaxMessage + 1 - it->size()));
    if (it->size() > MaxMessage)
        drop(socket);
    else if (it->contains('\n'))
        finish(socket); // a whole line: no need to wait for the sender to hang up
}

void SingleInstance::finish(QLocalSocket *socket)
{
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    QByteArray data = *it;
    data += socket->read(MaxMessage + 1 - data.size());
    drop(socket);
    if (isActivation(data))
        emit activationRequested();
}

void SingleInstance::drop(QLocalSocket *socket)
{
    if (!m_connections.remove(socket))
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}
