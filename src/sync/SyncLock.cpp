#include "sync/SyncLock.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPromise>
#include <QSysInfo>

#include <memory>

SyncLock::SyncLock(DavConnection &connection, const QString &fileName)
    : m_connection(connection), m_name(fileName + QStringLiteral(".lock"))
{
    m_renew.setInterval(RenewMilliseconds);
    connect(&m_renew, &QTimer::timeout, this, [this] { m_connection.putLater(m_name, content()); });
}

SyncLock::~SyncLock()
{
    // Sent on its way: the connection finishes it if it lives on.
    release();
}

QByteArray SyncLock::content() const
{
    return QStringLiteral("Quillmark on %1, %2\n")
        .arg(QSysInfo::machineHostName(), QDateTime::currentDateTimeUtc().toString(Qt::ISODate))
        .toUtf8();
}

QString SyncLock::heldElsewhere(const DavConnection::Response &existing) const
{
    if (existing.status == 404)
        return {};
    if (existing.status != 200)
        return DavConnection::describe(existing, m_name);
    // The server's own clock, when it tells it, judges the age: this computer's may be off.
    const QDateTime now = existing.serverDate.isValid() ? existing.serverDate : QDateTime::currentDateTimeUtc();
    const QDateTime since = existing.lastModified;
    if (since.isValid() && since.secsTo(now) >= StaleSeconds)
        return {};
    return since.isValid() ? QCoreApplication::translate("Sync", "Locked by another client since %1.")
                                 .arg(QLocale().toString(since.toLocalTime().time(), QStringLiteral("HH:mm")))
                           : QCoreApplication::translate("Sync", "Locked by another client.");
}

QFuture<QString> SyncLock::take()
{
    // Ends with the answer; cancelled when this lock goes first.
    auto promise = std::make_shared<QPromise<QString>>();
    promise->start();
    const auto done = [promise](const QString &error) {
        promise->addResult(error);
        promise->finish();
    };
    whenReady(m_connection.get(m_name), this, [this, done](const DavConnection::Response &existing) {
        if (const QString error = heldElsewhere(existing); !error.isEmpty()) {
            done(error);
            return;
        }
        whenReady(m_connection.put(m_name, content()), this, [this, done](const DavConnection::Response &put) {
            if (put.status == 423 || put.status == 409) {
                done(QCoreApplication::translate("Sync", "Locked by another client."));
            } else if (!put.ok()) {
                done(DavConnection::describe(put, m_name));
            } else {
                m_held = true;
                m_renew.start();
                done({});
            }
        });
    });
    return promise->future();
}

QFuture<void> SyncLock::release()
{
    m_renew.stop();
    if (!m_held)
        return QtFuture::makeReadyFuture();
    m_held = false;
    return m_connection.remove(m_name).then([](const DavConnection::Response &) {});
}
