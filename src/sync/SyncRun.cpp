#include "sync/SyncRun.h"

#include "sync/CollectionTree.h"
#include "sync/DavConnection.h"
#include "sync/SyncFile.h"
#include "sync/SyncLock.h"
#include "sync/SyncState.h"

#include "store/LinkItem.h"

namespace {

bool looksLikeWebPage(const DavConnection::Response &response)
{
    if (response.contentType.contains(QLatin1String("html"), Qt::CaseInsensitive))
        return true;
    const QByteArray start = response.body.left(512).trimmed().toLower();
    return start.startsWith("<!doctype html") || start.startsWith("<html");
}

} // namespace

SyncRun::SyncRun(const Settings &settings, const QString &dataFile, const QString &folderPath)
    : m_settings(settings), m_dataFile(dataFile), m_folderPath(folderPath)
{
}

QString SyncRun::statePath() const
{
    DavConnection connection(m_settings.folder, {}, {});
    return SyncState(m_dataFile, connection.fileUrl(m_settings.fileName).toString(), m_folderPath).path();
}

SyncRun::Outcome SyncRun::run(const LinkItem &folder, const Apply &apply, const ConfirmDeletes &confirm)
{
    Outcome outcome;
    DavConnection connection(m_settings.folder, m_settings.user, m_settings.password);
    connection.setTimeout(m_settings.timeout);
    const QString fileName = m_settings.fileName;
    const QString where = connection.folder().toString(QUrl::RemoveUserInfo);

    const DavConnection::Response folderCheck = connection.checkFolder();
    if (!folderCheck.ok()) {
        outcome.error = DavConnection::describe(folderCheck, QStringLiteral("The folder %1").arg(where));
        return outcome;
    }
    const SyncState state(m_dataFile, connection.fileUrl(fileName).toString(), m_folderPath);
    SyncTree base;
    if (!state.load(&base, &outcome.error))
        return outcome;

    SyncLock lock(connection, fileName);
    if (!lock.take(&outcome.error))
        return outcome;

    const DavConnection::Response download = connection.get(fileName);
    SyncFile::ReadResult remote;
    if (download.status == 404 && download.error.isEmpty()) {
        remote.tree.setHighestId(base.highestId());
    } else if (!download.ok()) {
        outcome.error = DavConnection::describe(download, QStringLiteral("The file %1").arg(fileName));
        return outcome;
    } else if (looksLikeWebPage(download)) {
        outcome.error
            = QStringLiteral("The server sent a web page instead of the file %1: check the address.").arg(fileName);
        return outcome;
    } else {
        remote = SyncFile::read(download.body);
        if (!remote.ok()) {
            outcome.error = QStringLiteral("The file %1 on the server is unreadable. %2").arg(fileName, remote.error);
            return outcome;
        }
    }

    const CollectionTree::Read local = CollectionTree::read(folder, base);
    SyncMerge::Result merge = SyncMerge::merge(base, local.tree, remote.tree);
    outcome.report = merge.report;
    const int deleted = std::max(merge.report.deletedHere, merge.report.deletedThere);
    if (deleted > 0 && deleted * 2 > base.size() && !(confirm && confirm(deleted, base.size()))) {
        outcome.error = QStringLiteral("The sync would delete %1 of the %2 synced items; nothing was changed.")
                            .arg(QString::number(deleted), QString::number(base.size()));
        return outcome;
    }

    const bool upload = download.status == 404 || remote.renumbered > 0 || !merge.report.given.isEmpty();
    if (upload) {
        const QByteArray bytes = SyncFile::write(merge.merged);
        const DavConnection::Response put = connection.put(fileName, bytes);
        if (!put.ok()) {
            outcome.error = DavConnection::describe(put, QStringLiteral("The file %1").arg(fileName));
            return outcome;
        }
        const DavConnection::Response back = connection.get(fileName);
        if (!back.ok() || back.body != bytes) {
            outcome.error = back.ok() ? QStringLiteral("The file read back from the server differs from what was sent; "
                                                       "the collection was left as it was.")
                                      : DavConnection::describe(back, QStringLiteral("The file %1").arg(fileName));
            return outcome;
        }
        outcome.uploaded = true;
    }
    if (!merge.report.taken.isEmpty()) {
        if (!apply(CollectionTree::build(merge.merged, local.items, folder.Name), &outcome.error))
            return outcome;
        outcome.changedHere = true;
    }
    state.save(merge.merged, &outcome.error);
    return outcome;
}
