#include "sync/SyncState.h"

#include "platform/RegularFile.h"
#include "platform/WriteError.h"
#include "sync/SyncFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

SyncState::SyncState(const QString &dataFile, const QString &serverFile, const QString &folderPath)
{
    const QByteArray key = serverFile.toUtf8() + '\n' + folderPath.toUtf8();
    const QString hash
        = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(12));
    const QFileInfo info(dataFile);
    m_path = info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral(".sync-") + hash
        + QStringLiteral(".xbel");
}

bool SyncState::load(SyncTree *base, QString *error) const
{
    QFile file(m_path);
    if (!file.exists()) {
        *base = SyncTree();
        return true;
    }
    // Only our own regular file, and no larger than a synced collection can be: a FIFO or device put in its
    // place must not hang the sync, nor a huge file fill the memory.
    if (!platform::openRegularFile(file)) {
        *error = QCoreApplication::translate("Sync", "Cannot read the sync state %1: %2")
                     .arg(QDir::toNativeSeparators(m_path),
                          QCoreApplication::translate("Sync", "it is not a regular file that can be opened"));
        return false;
    }
    if (file.size() > MaxBytes) {
        *error = QCoreApplication::translate("Sync", "The sync state %1 is damaged: %2")
                     .arg(QDir::toNativeSeparators(m_path),
                          QCoreApplication::translate("Sync", "it is larger than %1 MB").arg(MaxBytes >> 20));
        return false;
    }
    SyncFile::ReadResult result = SyncFile::read(file.readAll());
    if (!result.ok()) {
        *error = QCoreApplication::translate("Sync", "The sync state %1 is damaged: %2")
                     .arg(QDir::toNativeSeparators(m_path), result.error);
        return false;
    }
    *base = std::move(result.tree);
    return true;
}

bool SyncState::save(const SyncTree &base, QString *error) const
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(SyncFile::write(base)) < 0 || !file.commit()) {
        *error = platform::writeError(file, m_path);
        return false;
    }
    return true;
}
