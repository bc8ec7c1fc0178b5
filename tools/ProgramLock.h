#pragma once

#include <QString>

#include <memory>

class QLockFile;

// True when both paths name the same file; for a file not there yet, the same name in the same folder.
bool sameFile(const QString &a, const QString &b);

// Holds the running program's lock while the data file is read and written, so that Quillmark cannot
// start in between, load the old file and write it over the change when it ends. Held only when
// dataFile is the program's own data file.
class ProgramLock
{
public:
    explicit ProgramLock(const QString &dataFile);
    ~ProgramLock();

    // A running Quillmark holds the lock.
    bool busy() const { return m_busy; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_busy = false;
};
