#pragma once

#include <QObject>

// The commands that let the event loop run while they work (an import, an export, a check of the
// links): while one is under way the collection is half changed or being read, so nothing else may
// change it, save it or end the program. Such a command holds a Guard for as long as it works; the
// exit and the automatic save ask whether one is running, the exit asks them to stop (cancelAll),
// and both go on once allEnded() has come.
class LongCommands : public QObject
{
    Q_OBJECT
public:
    // Held by a long command from its first progress report to its end.
    class Guard
    {
    public:
        Guard();
        ~Guard();
        Guard(const Guard &) = delete;
        Guard &operator=(const Guard &) = delete;
    };

    static LongCommands &instance();

    bool running() const { return m_running > 0; }
    // Asks the running commands to stop; each one stops at its next progress report and keeps what it
    // has done so far. A command that starts before they have all ended is asked at once.
    void cancelAll();
    bool cancelRequested() const { return m_cancelRequested; }

signals:
    // cancelAll() has asked the running commands to stop.
    void cancelling();
    // The last running command has ended.
    void allEnded();

private:
    LongCommands() = default;

    int m_running = 0;
    bool m_cancelRequested = false;
};
