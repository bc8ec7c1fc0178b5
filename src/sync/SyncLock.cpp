#include "sync/SyncLock.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSysInfo>

SyncLock::SyncLock(DavConnection &connection, const QString &fileName)
    : m_connection(connection), m_name(fileName + QStringLiteral(".lock"))
{
    m_renew.setInterval(RenewMilliseconds);
    QObject::connect(&m_renew, &QTimer::timeout, [this] { m_connection.putLater(m_name, content()); });
}

SyncLock::~SyncLock()
{
    release();
}

QByteArray SyncLock::content() const
{
    return QStringLiteral("Quillmark on %1, %2\n")
        .arg(QSysInfo::machineHostName(), QDateTime::currentDateTimeUtc().toString(Qt::ISODate))
        .toUtf8();
}

bool SyncLock::take(QString *error)
{
    const DavConnection::Response existing = m_connection.get(m_name);
    if (existing.status == 200) {
        // The server's own clock, when it tells it, judges the age: this computer's may be off.
        const QDateTime now = existing.serverDate.isValid() ? existing.serverDate : QDateTime::currentDateTimeUtc();
        const QDateTime since = existing.lastModified;
        if (!since.isValid() || since.secsTo(now) < StaleSeconds) {
            *error = since.isValid() ? QCoreApplication::translate("Sync", "Locked by another client since %1.")
                                           .arg(QLocale().toString(since.toLocalTime().time(), QStringLiteral("HH:mm")))
                                     : QCoreApplication::translate("Sync", "Locked by another client.");
            return false;
        }
    } else if (existing.status != 404) {
        *error = DavConnection::describe(existing, m_name);
        return false;
    }
    const DavConnection::Response put = m_connection.put(m_name, content());
    if (put.status == 423 || put.status == 409) {
        *error = QCoreApplication::translate("Sync", "Locked by another client.");
        return false;
    }
    if (!put.ok()) {
        *error = DavConnection::describe(put, m_name);
        return false;
    }
    m_held = true;
    m_renew.start();
    return true;
}

void SyncLock::release()
{
    m_renew.stop();
    if (!m_held)
        return;
    m_held = false;
    m_connection.remove(m_name);
}
