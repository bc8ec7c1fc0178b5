#include "ProgramLock.h"

#include "platform/SingleInstance.h"
#include "store/Repository.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    // Not there yet: the same name in the same folder.
    const QString firstFolder = QFileInfo(first.absolutePath()).canonicalFilePath();
    const QString secondFolder = QFileInfo(second.absolutePath()).canonicalFilePath();
    if (firstFolder.isEmpty() || secondFolder.isEmpty())
        return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
    return firstFolder == secondFolder && first.fileName() == second.fileName();
}

ProgramLock::ProgramLock(const QString &dataFile)
{
    if (!sameFile(dataFile, Repository::DataFile()))
        return;
    const SingleInstance instance; // only for the name of its lock; it starts nothing
    m_lock = std::make_unique<QLockFile>(instance.lockFilePath());
    m_lock->setStaleLockTime(0); // a running program's lock never goes stale by age
    if (!m_lock->tryLock(0)) {
        // Any other failure means the folder of the lock is missing or closed to us: no program
        // of this user holds the lock there.
        m_busy = m_lock->error() == QLockFile::LockFailedError;
        m_lock.reset();
    }
}

ProgramLock::~ProgramLock() = default;
