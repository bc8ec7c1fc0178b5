#pragma once

#include "sync/DavConnection.h"

#include <QFuture>
#include <QObject>
#include <QTimer>

// The lock file beside the shared file: present means another client is syncing, unless it was
// last written more than 15 minutes ago (then it is stale and is taken over). It is taken with a
// PUT (answered 423 or 409 when someone else holds it), written again every 2 minutes while held,
// and deleted when done: by release(), or when the lock goes out of scope still held.
class SyncLock : public QObject
{
public:
    static constexpr int StaleSeconds = 15 * 60;
    static constexpr int RenewMilliseconds = 2 * 60 * 1000;

    SyncLock(DavConnection &connection, const QString &fileName);
    ~SyncLock() override;

    // Empty once the lock is held; else a message: another client holds it, or the server refused.
    QFuture<QString> take();
    // Deletes the lock when it is held; the future ends when the server answered (or gave up).
    QFuture<void> release();
    bool held() const { return m_held; }
    QString name() const { return m_name; }

    void setRenewInterval(int milliseconds) { m_renew.setInterval(milliseconds); }

private:
    QByteArray content() const;
    // Whether an existing lock keeps us out: the message then, else nothing.
    QString heldElsewhere(const DavConnection::Response &existing) const;

    DavConnection &m_connection;
    QString m_name;
    QTimer m_renew;
    bool m_held = false;
};
