#pragma once

#include "sync/DavConnection.h"

#include <QTimer>

// The lock file beside the shared file: present means another client is syncing, unless it was
// last written more than 15 minutes ago (then it is stale and is taken over). It is taken with a
// PUT (answered 423 or 409 when someone else holds it), written again every 2 minutes while held,
// and deleted when done: when the lock goes out of scope, whatever happened before.
class SyncLock
{
public:
    static constexpr int StaleSeconds = 15 * 60;
    static constexpr int RenewMilliseconds = 2 * 60 * 1000;

    SyncLock(DavConnection &connection, const QString &fileName);
    ~SyncLock();

    SyncLock(const SyncLock &) = delete;
    SyncLock &operator=(const SyncLock &) = delete;

    // False with a message when another client holds it or the server refused.
    bool take(QString *error);
    void release();
    bool held() const { return m_held; }
    QString name() const { return m_name; }

    void setRenewInterval(int milliseconds) { m_renew.setInterval(milliseconds); }

private:
    QByteArray content() const;

    DavConnection &m_connection;
    QString m_name;
    QTimer m_renew;
    bool m_held = false;
};
