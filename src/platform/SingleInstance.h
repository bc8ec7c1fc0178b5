#pragma once

#include <QHash>
#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// Keeps the program to one running copy per user. The first copy holds a lock file and listens on a local socket,
// both named after the key and the user; a later copy finds the lock taken, sends the activation message over the
// socket and is expected to end. The listening copy emits activationRequested() for every such message.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Role {
        Primary, // this copy is the one (or runs unguarded, see start())
        HandedOver, // the running copy was told to show itself; this one should end
        NoAnswer, // a running copy holds the lock but does not answer; this one should say so and end
    };

    // The message a later copy sends, alone on its connection and optionally followed by a newline.
    static constexpr char ActivationMessage[] = "ActivateRavelin";

    explicit SingleInstance(const QString &key = QStringLiteral("Tarnwick"), QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock or hands over to the copy that holds it. The lock and the socket live in a folder that only
    // the user can use (see platform::runtimeFolders); when there is none, or the system refuses the lock file and
    // nobody answers, this copy runs unguarded as the primary and says so on standard error. When the lock is held
    // but its holder does not answer within a few seconds, the result is NoAnswer.
    Role start();

    QString serverName() const { return m_serverName; }
    QString lockFilePath() const { return m_lockPath; }

    // How long a connection may stay open before the server drops it (milliseconds).
    void setClientTimeout(int milliseconds) { m_clientTimeoutMs = milliseconds; }

signals:
    void activationRequested();

private:
    bool sendActivation() const;
    void listen();
    void acceptConnections();
    void readFrom(QLocalSocket *socket);
    void finish(QLocalSocket *socket);
    void drop(QLocalSocket *socket);

    QString m_folder;
    QString m_serverName;
    QString m_lockPath;
    QLockFile m_lock;
    QLocalServer *m_server = nullptr;
    QHash<QLocalSocket *, QByteArray> m_connections;
    int m_clientTimeoutMs = 2000;
};
