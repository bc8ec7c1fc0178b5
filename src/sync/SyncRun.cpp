#include "sync/SyncRun.h"

#include "sync/CollectionTree.h"
#include "sync/DavConnection.h"
#include "sync/SyncAddress.h"
#include "sync/SyncFile.h"
#include "sync/SyncLock.h"
#include "sync/SyncState.h"

#include "store/LinkItem.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <new>

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
    CollectionTree::Snapshot snapshot = CollectionTree::snapshot(folder);
    Exchange done = exchange(snapshot, false);
    if (done.tooManyDeletes && confirm && confirm(done.deleted, done.synced))
        done = exchange(std::move(snapshot), true);
    Outcome outcome = done.outcome;
    if (!outcome.ok())
        return outcome;
    if (!outcome.report.taken.isEmpty()) {
        if (!apply(CollectionTree::build(done.merge.merged, done.local.items, folder.Name), &outcome.error))
            return outcome;
        outcome.changedHere = true;
    }
    saveState(done.merge.merged, &outcome.error);
    return outcome;
}

bool SyncRun::saveState(const SyncTree &merged, QString *error) const
{
    DavConnection connection(m_settings.folder, {}, {});
    return SyncState(m_dataFile, connection.fileUrl(m_settings.fileName).toString(), m_folderPath).save(merged, error);
}

SyncRun::Exchange SyncRun::exchange(CollectionTree::Snapshot local, bool manyDeletes)
{
    Exchange done;
    QString &error = done.outcome.error;
    const auto cancelled = [this, &error] {
        if (m_cancelled && m_cancelled->load())
            error = QCoreApplication::translate("Sync", "The sync was cancelled; nothing more was sent.");
        return !error.isEmpty();
    };
    error = SyncAddress::fileNameProblem(m_settings.fileName);
    if (!error.isEmpty())
        return done;
    DavConnection connection(m_settings.folder, m_settings.user, m_settings.password);
    connection.setTimeout(m_settings.timeout);
    connection.setCancelFlag(m_cancelled);
    const QString fileName = m_settings.fileName;
    const QString where = connection.folder().toString(QUrl::RemoveUserInfo);

    const DavConnection::Response folderCheck = connection.checkFolder();
    if (!folderCheck.ok()) {
        error = DavConnection::describe(folderCheck, QCoreApplication::translate("Sync", "The folder %1").arg(where));
        return done;
    }
    const SyncState state(m_dataFile, connection.fileUrl(fileName).toString(), m_folderPath);
    SyncTree base;
    if (cancelled() || !state.load(&base, &error))
        return done;

    // A file far larger than the one synced last is no bookmark file: it is not read.
    constexpr qint64 GrowthAllowed = 20;
    connection.setAnswerLimit(std::max(m_settings.smallestAnswerLimit, QFileInfo(state.path()).size() * GrowthAllowed));

    SyncLock lock(connection, fileName);
    if (cancelled() || !lock.take(&error))
        return done;
    try {
        transfer(connection, std::move(local), base, manyDeletes, done);
    } catch (const std::bad_alloc &) {
        // What was taken is given back before the lock is freed.
        done = Exchange();
        done.outcome.error = QCoreApplication::translate(
            "Sync", "There was not enough memory for the sync; nothing was changed here.");
    }
    return done;
}

void SyncRun::transfer(DavConnection &connection, CollectionTree::Snapshot local, const SyncTree &base,
                       bool manyDeletes, Exchange &done)
{
    QString &error = done.outcome.error;
    const auto cancelled = [this, &error] {
        if (m_cancelled && m_cancelled->load())
            error = QCoreApplication::translate("Sync", "The sync was cancelled; nothing more was sent.");
        return !error.isEmpty();
    };
    const QString fileName = m_settings.fileName;

    DavConnection::Response download = connection.get(fileName);
    SyncFile::ReadResult remote;
    if (cancelled()) {
        return;
    } else if (download.status == 404 && download.error.isEmpty()) {
        remote.tree.setHighestId(base.highestId());
    } else if (!download.ok()) {
        error = DavConnection::describe(download, QCoreApplication::translate("Sync", "The file %1").arg(fileName));
        return;
    } else if (looksLikeWebPage(download)) {
        error = QCoreApplication::translate("Sync",
                                            "The server sent a web page instead of the file %1: check the address.")
                    .arg(fileName);
        return;
    } else {
        remote = SyncFile::read(download.body);
        download.body = QByteArray();
        if (!remote.ok()) {
            error = QCoreApplication::translate("Sync", "The file %1 on the server is unreadable. %2")
                        .arg(fileName, remote.error);
            return;
        }
    }

    done.local = CollectionTree::match(std::move(local), base);
    done.merge = SyncMerge::merge(base, done.local.tree, remote.tree);
    done.outcome.report = done.merge.report;
    done.deleted = std::max(done.merge.report.deletedHere, done.merge.report.deletedThere);
    done.synced = base.size();
    if (done.deleted > 0 && done.deleted * 2 > done.synced && !manyDeletes) {
        done.tooManyDeletes = true;
        error = QCoreApplication::translate("Sync",
                                            "The sync would delete %1 of the %2 synced items; nothing was changed.")
                    .arg(QString::number(done.deleted), QString::number(done.synced));
        return;
    }

    const bool upload = download.status == 404 || remote.renumbered > 0 || !done.merge.report.given.isEmpty();
    if (upload && !cancelled()) {
        const QByteArray bytes = SyncFile::write(done.merge.merged);
        const DavConnection::Response put = connection.put(fileName, bytes);
        if (!put.ok()) {
            error = DavConnection::describe(put, QCoreApplication::translate("Sync", "The file %1").arg(fileName));
            return;
        }
        connection.setAnswerLimit(std::max(connection.answerLimit(), qint64(bytes.size())));
        const DavConnection::Response back = connection.get(fileName);
        if (!back.ok() || back.body != bytes) {
            error = back.ok()
                ? QCoreApplication::translate("Sync",
                                              "The file read back from the server differs from what was sent; "
                                              "the collection was left as it was.")
                : DavConnection::describe(back, QCoreApplication::translate("Sync", "The file %1").arg(fileName));
            return;
        }
        done.outcome.uploaded = true;
    }
}
