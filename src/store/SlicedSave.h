#pragma once

#include <QFileDevice>
#include <QFuture>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class LinkItem;
class NativeTreeWriter;
class QSaveFile;

// One atomic save of a native file (as NativeFile::saveAtomically writes it) that keeps the event loop
// running: the records are written into the temporary file a slice at a time from the event loop, then the
// file is synced, renamed over the old one and its folder synced on the background pool. The tree must not
// change while the records are written: whoever changes it abandons the save first, which removes the
// temporary file and leaves the old file as it was. Once the records are written, the tree is free again.
class SlicedSave : public QObject
{
    Q_OBJECT
public:
    // How long one slice writes before the event loop runs again.
    static constexpr int SliceMs = 15;

    // root is not owned; it must outlive the writing.
    SlicedSave(const QString &path, const LinkItem &root,
               QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner,
               QObject *parent = nullptr);
    // Abandons a save that is still writing; waits for one that is syncing.
    ~SlicedSave() override;

    // Each slice writes exactly this many records instead of what fits in SliceMs (0: by time).
    void setItemsPerSlice(int items) { m_itemsPerSlice = items; }
    // Checked before each slice: when it holds, the save is abandoned and abandoned() is emitted.
    void setStopCondition(std::function<bool()> stop) { m_stop = std::move(stop); }

    // Creates the temporary file; the slices follow from the event loop. False (with errorString())
    // when the file cannot be created.
    bool start();
    // While the records are being written: stops, removes the temporary file and returns true.
    // Afterwards nothing happens and it returns false: the save ends as it would have.
    bool abandon();
    // Writes whatever is left and waits for the sync and the rename, without the event loop. Returns the
    // outcome, which finished() has told by then.
    bool finishNow();

    bool isWriting() const { return m_state == State::Writing; }
    QString errorString() const { return m_error; }

signals:
    // The save has ended, with the file replaced (ok) or not; not emitted for an abandoned save.
    void finished(bool ok);
    // The stop condition held before a slice; the old file is as it was.
    void abandoned();

private:
    enum class State { Idle, Writing, Syncing, Ended };

    void slice();
    void recordsWritten();
    // The part after the records; runs on the background pool.
    bool syncAndRename();
    void synced();
    void end(bool ok);
    void dropFile();

    QString m_path;
    const LinkItem &m_root;
    QFileDevice::Permissions m_permissions;
    State m_state = State::Idle;
    int m_itemsPerSlice = 0;
    std::function<bool()> m_stop;
    QTimer m_slices;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<NativeTreeWriter> m_writer;
    QFuture<bool> m_syncing;
    bool m_ok = false;
    QString m_error;
};
