#include "store/SlicedSave.h"

#include "platform/Background.h"
#include "platform/FileSync.h"
#include "store/NativeTreeWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>

namespace {
// Records written between two looks at the clock.
constexpr int RecordsPerLook = 1024;
} // namespace

SlicedSave::SlicedSave(const QString &path, const LinkItem &root, QFileDevice::Permissions permissions, QObject *parent)
    : QObject(parent), m_path(path), m_root(root), m_permissions(permissions)
{
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &SlicedSave::slice);
}

SlicedSave::~SlicedSave()
{
    abandon();
    m_syncing.waitForFinished();
}

bool SlicedSave::start()
{
    m_file = std::make_unique<QSaveFile>(m_path);
    // Renaming over a symbolic link would replace the link, not the file it points to.
    m_file->setDirectWriteFallback(false);
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_error = m_file->errorString();
        m_file.reset();
        m_state = State::Ended;
        return false;
    }
    m_file->setPermissions(m_permissions);
    m_writer = std::make_unique<NativeTreeWriter>(m_file.get(), m_root);
    m_state = State::Writing;
    m_slices.start();
    return true;
}

void SlicedSave::dropFile()
{
    m_slices.stop();
    m_writer.reset();
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset(); // removes the temporary file
    }
}

bool SlicedSave::abandon()
{
    if (m_state != State::Writing)
        return false;
    dropFile();
    m_state = State::Ended;
    return true;
}

void SlicedSave::slice()
{
    if (m_stop && m_stop()) {
        abandon();
        emit abandoned();
        return;
    }
    bool done = false;
    if (m_itemsPerSlice > 0) {
        done = m_writer->writeSome(m_itemsPerSlice);
    } else {
        QElapsedTimer clock;
        clock.start();
        while (!done && clock.elapsed() < SliceMs)
            done = m_writer->writeSome(RecordsPerLook);
    }
    if (done)
        recordsWritten();
}

void SlicedSave::recordsWritten()
{
    m_slices.stop();
    const bool written = m_writer->finish();
    const QString error = m_writer->errorString();
    m_writer.reset();
    if (!written) {
        dropFile();
        m_error = error;
        end(false);
        return;
    }
    // From here on only the file is touched: the sync may take long on a slow disk.
    m_state = State::Syncing;
    m_syncing = Background::run([this] { return syncAndRename(); });
    Background::whenDone(m_syncing, this, [this](const QFuture<bool> &) { synced(); });
}

bool SlicedSave::syncAndRename()
{
    if (!platform::syncFile(*m_file)) {
        m_file->cancelWriting();
        m_error = QCoreApplication::translate("SlicedSave", "The data could not be flushed to the disk.");
        return false;
    }
    if (!m_file->commit()) {
        m_error = m_file->errorString();
        return false;
    }
    platform::syncDirectory(QFileInfo(m_path).absolutePath());
    return true;
}

void SlicedSave::synced()
{
    if (m_state != State::Syncing)
        return; // finishNow has waited for it
    const bool ok = m_syncing.result(); // waits for it
    m_syncing = {};
    m_file.reset(); // removes the temporary file when the sync failed
    end(ok);
}

void SlicedSave::end(bool ok)
{
    m_state = State::Ended;
    m_ok = ok;
    emit finished(ok);
}

bool SlicedSave::finishNow()
{
    if (m_state == State::Writing) {
        while (!m_writer->writeSome(RecordsPerLook)) { }
        recordsWritten();
    }
    if (m_state == State::Syncing)
        synced(); // waits for the sync
    return m_ok;
}
