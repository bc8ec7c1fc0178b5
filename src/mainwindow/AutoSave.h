#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>

class ErrorReporter;
class Repository;
class SlicedSave;

// Writes the collection a few seconds after it last changed, so that a crash loses little. markChanged()
// follows the collection document's changed() (the main window connects them). The save comes once no change has
// followed for the delay, or at the latest the longest wait after the first unsaved change, so that steady editing is
// saved too. It never runs while a long command (an import, an export) is under way, but right after it. A save that
// fails is told once and tried again after the next change; the collection stays in memory, and the exit saves (and
// reports) as always.
// The saves write in slices with the event loop running (SlicedSave); a change while one is writing abandons it
// (the old file stays) and the next save follows the usual delay. The exit's save goes through here too, so that
// it never races an automatic one.
class AutoSave : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultDelayMs = 3000;
    static constexpr int DefaultLongestWaitMs = 30000;

    // repository and reporter are not owned; without a reporter a failure is not told.
    AutoSave(Repository *repository, ErrorReporter *reporter, QObject *parent = nullptr);
    ~AutoSave() override;

    void setDelays(int delayMs, int longestWaitMs);
    // Records per slice of the saves (SlicedSave::setItemsPerSlice); 0, the default, writes by time.
    void setItemsPerSlice(int items) { m_itemsPerSlice = items; }
    // The collection changed.
    void markChanged();
    bool hasUnsavedChanges() const { return m_unsaved; }
    // A save is writing or syncing the file.
    bool isSaving() const { return m_save != nullptr; }
    // No save until the next change: the exit saves by itself. A save that is writing is abandoned.
    void stop();

    // The exit's save, in slices: after a save that is syncing, writes the collection as Repository::Save does
    // (a failure is told) and emits exitSaveEnded; a change meanwhile starts it again. False, with the failure
    // told, when it could not start.
    bool saveForExit();
    // Saves now, without the event loop, finishing a save under way if it holds the collection as it is.
    // For the exit when the event loop will not run again; a failure is told as Repository::Save tells it.
    bool saveNow();

signals:
    // The exit's save has ended: the data file holds the collection (saved) or it could not be written.
    void exitSaveEnded(bool saved);

private:
    void save();
    bool startSave(bool forExit);
    void saveEnded(bool ok);
    void tellFailure();

    Repository *m_repository;
    ErrorReporter *m_reporter;
    QTimer m_timer;
    QElapsedTimer m_firstUnsaved;
    std::unique_ptr<SlicedSave> m_save; // writing or syncing
    std::unique_ptr<SlicedSave> m_ended; // the last save that ended; kept until the next one starts
    int m_delayMs = DefaultDelayMs;
    int m_longestWaitMs = DefaultLongestWaitMs;
    int m_itemsPerSlice = 0;
    bool m_unsaved = false;
    bool m_afterCommand = false;
    bool m_failureTold = false;
    bool m_exitPending = false; // the exit waits for a save of the collection as it is
    bool m_saveIsForExit = false;
    bool m_changedWhileSaving = false;
};
