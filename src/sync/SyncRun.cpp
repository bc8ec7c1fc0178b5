#include "sync/SyncRun.h"

#include "sync/CollectionTree.h"
#include "sync/DavConnection.h"
#include "sync/SyncAddress.h"
#include "sync/SyncApply.h"
#include "sync/SyncFile.h"
#include "sync/SyncLock.h"
#include "sync/SyncState.h"

#include "platform/Background.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPointer>

#include <new>

namespace {

bool looksLikeWebPage(const DavConnection::Response &response)
{
    if (response.contentType.contains(QLatin1String("html"), Qt::CaseInsensitive))
        return true;
    const QByteArray start = response.body.left(512).trimmed().toLower();
    return start.startsWith("<!doctype html") || start.startsWith("<html");
}

// Calls then with the result on receiver's thread once the background work is done. A watcher rather than
// a continuation, so that a receiver gone first simply lets the work end unheard.
template<typename T, typename Then> void whenDone(QFuture<T> future, QObject *receiver, Then then)
{
    auto *watcher = new QFutureWatcher<T>(receiver);
    QObject::connect(watcher, &QFutureWatcherBase::finished, receiver, [watcher, then = std::move(then)]() mutable {
        watcher->deleteLater();
        then(watcher->future().takeResult());
    });
    watcher->setFuture(std::move(future));
}

// The reading and merging, off the event loop.
struct Merged
{
    SyncRun::Exchange done;
    int renumbered = 0;
    QByteArray upload; // the merged file, when it is to be uploaded
};

Merged merge(QByteArray file, bool missing, CollectionTree::Snapshot local, const SyncTree &base, bool manyDeletes,
             const QString &fileName)
{
    Merged merged;
    SyncRun::Exchange &done = merged.done;
    QString &error = done.outcome.error;
    try {
        SyncFile::ReadResult remote;
        if (missing) {
            remote.tree.setHighestId(base.highestId());
        } else {
            remote = SyncFile::read(file);
            file = QByteArray();
            if (!remote.ok()) {
                error = QCoreApplication::translate("Sync", "The file %1 on the server is unreadable. %2")
                            .arg(fileName, remote.error);
                return merged;
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
            return merged;
        }
        if (missing || remote.renumbered > 0 || !done.merge.report.given.isEmpty())
            merged.upload = SyncFile::write(done.merge.merged);
    } catch (const std::bad_alloc &) {
        // What was taken is given back before the lock is freed.
        merged = Merged();
        merged.done.outcome.error = QCoreApplication::translate(
            "Sync", "There was not enough memory for the sync; nothing was changed here.");
    }
    return merged;
}

} // namespace

SyncRun::SyncRun(const Settings &settings, const QString &dataFile, const QString &folderPath, QObject *parent)
    : QObject(parent), m_settings(settings), m_dataFile(dataFile), m_folderPath(folderPath)
{
}

SyncRun::~SyncRun()
{
    // Gone during an exchange (the program ends): nothing more happens but the freeing of the lock, which the
    // connection still sends, or finishes, while the event loop runs.
    m_gone = true;
    if (m_lock && m_lock->held())
        m_freeing = m_lock->release();
    if (!m_connection || m_freeing.isFinished()) // none sent, or answered
        return;
    m_connection->cancel();
    m_lock.reset();
    m_freeing.then([connection = m_connection.release()] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [connection] { delete connection; }, Qt::QueuedConnection);
    });
}

SyncState SyncRun::state() const
{
    DavConnection connection(m_settings.folder, {}, {});
    return SyncState(m_dataFile, connection.fileUrl(m_settings.fileName).toString(), m_folderPath);
}

QString SyncRun::statePath() const
{
    return state().path();
}

bool SyncRun::saveState(QString *error) const
{
    return state().save(m_done.merge.merged, error);
}

void SyncRun::apply(CollectionDocument &document, LinkItem &folder, const QString &caption)
{
    if (!m_done.outcome.ok() || m_done.outcome.report.taken.isEmpty())
        return;
    document.beginCommand(caption);
    SyncApply::apply(document, folder, m_done.merge, m_done.local);
    document.endCommand();
    m_done.outcome.changedHere = true;
}

void SyncRun::cancel()
{
    if (!m_running || !m_connection)
        return;
    m_connection->cancel();
}

bool SyncRun::goesOn(const QString &error)
{
    if (m_gone)
        return false;
    QString &outcome = m_done.outcome.error;
    if (outcome.isEmpty())
        outcome = error;
    if (outcome.isEmpty() && m_connection && m_connection->cancelled())
        outcome = QCoreApplication::translate("Sync", "The sync was cancelled; nothing more was sent.");
    if (outcome.isEmpty())
        return true;
    end();
    return false;
}

void SyncRun::start(CollectionTree::Snapshot local, bool manyDeletes)
{
    m_running = true;
    m_manyDeletes = manyDeletes;
    m_local = std::move(local);
    m_done = Exchange();
    m_lock.reset();
    m_connection.reset();
    if (!goesOn(SyncAddress::fileNameProblem(m_settings.fileName)))
        return;
    m_connection = std::make_unique<DavConnection>(m_settings.folder, m_settings.user, m_settings.password);
    m_connection->setTimeout(m_settings.timeout);
    whenReady(m_connection->checkFolder(), this,
              [this](const DavConnection::Response &response) { folderChecked(response); });
}

void SyncRun::folderChecked(const DavConnection::Response &response)
{
    const QString where = m_connection->folder().toString(QUrl::RemoveUserInfo);
    if (!goesOn(response.ok() ? QString()
                              : DavConnection::describe(
                                  response, QCoreApplication::translate("Sync", "The folder %1").arg(where))))
        return;
    whenDone(Background::run([state = state()] {
                 SyncTree base;
                 QString error;
                 state.load(&base, &error);
                 return std::make_pair(std::move(base), error);
             }),
             this, [this](std::pair<SyncTree, QString> loaded) { stateLoaded(loaded.first, loaded.second); });
}

void SyncRun::stateLoaded(const SyncTree &base, const QString &error)
{
    if (!goesOn(error))
        return;
    m_base = base;
    // A file far larger than the one synced last is no bookmark file: it is not read.
    constexpr qint64 GrowthAllowed = 20;
    m_connection->setAnswerLimit(
        std::max(m_settings.smallestAnswerLimit, QFileInfo(statePath()).size() * GrowthAllowed));
    m_lock = std::make_unique<SyncLock>(*m_connection, m_settings.fileName);
    whenReady(m_lock->take(), this, [this](const QString &lockError) { locked(lockError); });
}

void SyncRun::locked(const QString &error)
{
    if (!goesOn(error))
        return;
    whenReady(m_connection->get(m_settings.fileName), this,
              [this](DavConnection::Response download) { downloaded(std::move(download)); });
}

void SyncRun::downloaded(DavConnection::Response download)
{
    const QString fileName = m_settings.fileName;
    const bool missing = download.status == 404 && download.error.isEmpty();
    QString error;
    if (missing)
        ;
    else if (!download.ok())
        error = DavConnection::describe(download, QCoreApplication::translate("Sync", "The file %1").arg(fileName));
    else if (looksLikeWebPage(download))
        error = QCoreApplication::translate("Sync",
                                            "The server sent a web page instead of the file %1: check the address.")
                    .arg(fileName);
    if (!goesOn(error))
        return;
    whenDone(Background::run(merge, std::move(download.body), missing, std::move(m_local), std::move(m_base),
                             m_manyDeletes, fileName),
             this, [this](Merged result) {
                 m_done = std::move(result.done);
                 m_upload = std::move(result.upload);
                 merged();
             });
}

void SyncRun::merged()
{
    if (!goesOn({}))
        return;
    if (m_upload.isNull()) {
        end();
        return;
    }
    whenReady(m_connection->put(m_settings.fileName, m_upload), this,
              [this](const DavConnection::Response &put) { uploaded(put); });
}

void SyncRun::uploaded(const DavConnection::Response &put)
{
    const QString fileName = m_settings.fileName;
    if (!goesOn(put.ok()
                    ? QString()
                    : DavConnection::describe(put, QCoreApplication::translate("Sync", "The file %1").arg(fileName))))
        return;
    m_connection->setAnswerLimit(std::max(m_connection->answerLimit(), qint64(m_upload.size())));
    whenReady(m_connection->get(fileName), this, [this](const DavConnection::Response &back) { readBack(back); });
}

void SyncRun::readBack(const DavConnection::Response &back)
{
    QString error;
    if (!back.ok())
        error = DavConnection::describe(back,
                                        QCoreApplication::translate("Sync", "The file %1").arg(m_settings.fileName));
    else if (back.body != m_upload)
        error = QCoreApplication::translate("Sync",
                                            "The file read back from the server differs from what was sent; "
                                            "the collection was left as it was.");
    m_upload = QByteArray();
    if (!goesOn(error))
        return;
    m_done.outcome.uploaded = true;
    end();
}

void SyncRun::end()
{
    m_upload = QByteArray();
    const auto ended = [this] {
        m_running = false;
        emit exchanged();
    };
    if (!m_lock || !m_lock->held()) {
        // Not from within start(): whoever started it hears of the end later.
        QMetaObject::invokeMethod(this, ended, Qt::QueuedConnection);
        return;
    }
    m_freeing = m_lock->release();
    whenReady(m_freeing, this, ended);
}
