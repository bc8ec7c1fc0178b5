#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class ErrorReporter;
class Repository;

// Writes the collection a few seconds after it last changed, so that a crash loses little. markChanged()
// follows the collection document's changed() (the main window connects them). The save comes once no change has
// followed for the delay, or at the latest the longest wait after the first unsaved change, so that steady editing is
// saved too. It never runs while a long command (an import, an export) is under way, but right after it. A save that
// fails is told once and tried again after the next change; the collection stays in memory, and the exit saves (and
// reports) as always.
class AutoSave : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultDelayMs = 3000;
    static constexpr int DefaultLongestWaitMs = 30000;

    // repository and reporter are not owned; without a reporter a failure is not told.
    AutoSave(Repository *repository, ErrorReporter *reporter, QObject *parent = nullptr);

    void setDelays(int delayMs, int longestWaitMs);
    // The collection changed.
    void markChanged();
    bool hasUnsavedChanges() const { return m_unsaved; }
    // No save until the next change: the exit saves by itself.
    void stop();

private:
    void save();

    Repository *m_repository;
    ErrorReporter *m_reporter;
    QTimer m_timer;
    QElapsedTimer m_firstUnsaved;
    int m_delayMs = DefaultDelayMs;
    int m_longestWaitMs = DefaultLongestWaitMs;
    bool m_unsaved = false;
    bool m_afterCommand = false;
    bool m_failureTold = false;
};
