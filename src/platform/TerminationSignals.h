#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the requests to end the program that arrive as POSIX signals (SIGTERM, SIGINT and SIGHUP: a logout, a
// shutdown, Ctrl+C in a terminal) into an ordinary Qt signal, delivered later by the event loop, so that the program
// can run its normal exit sequence instead of dying with unsaved work. The handler itself only writes the signal's
// number into a socket pair, which is all a signal handler may safely do. On Windows there is nothing to catch.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override; // puts the previous handlers back

    // Starts catching the signals. Only one object in the process can hold them: false when another one does, when
    // the system refuses, or on Windows.
    bool install();
    bool isInstalled() const { return m_notifier != nullptr; }

signals:
    void terminationRequested(int signal);

private:
    void readPending();
    void uninstall();

    QSocketNotifier *m_notifier = nullptr;
};
