#include "CollectionFile.h"

#include "Commands.h"
#include "ToolOutput.h"

#include "platform/FileSync.h"
#include "store/Backups.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"

#include <QFile>
#include <QFileInfo>

namespace {
using namespace Commands;
using ToolOutput::nativePath;
using ToolOutput::printError;

// text with %1 replaced by the file and %2 by the reason, in one pass: neither may hold the other's mark.
QString fill(const QString &text, const QString &file, const QString &reason)
{
    QString filled;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('%') && i + 1 < text.size()
            && (text.at(i + 1) == QLatin1Char('1') || text.at(i + 1) == QLatin1Char('2'))) {
            filled += text.at(i + 1) == QLatin1Char('1') ? file : reason;
            ++i;
        } else {
            filled += text.at(i);
        }
    }
    return filled;
}
} // namespace

CollectionFile::CollectionFile(const QString &path, const OpenPolicy &policy)
    : m_path(path), m_policy(policy),
      m_top(policy.top == OpenPolicy::Top::RootFolder ? LinkItem::MakeFolder(ToolOutput::RootName)
                                                      : std::make_unique<LinkItem>())
{
    if (policy.access == OpenPolicy::Access::Change) {
        m_lock = std::make_unique<ProgramLock>(path);
        if (m_lock->busy()) {
            refuse(Busy, policy.busyText);
            return;
        }
    }
    if (policy.contents == OpenPolicy::Contents::Replaced)
        return;
    if (policy.missing == OpenPolicy::Missing::Empty && !QFileInfo::exists(path)) {
        if (policy.access == OpenPolicy::Access::Change && sameFile(path, Repository::DataFile()))
            platform::makePrivateFolder(QFileInfo(path).absolutePath());
        return;
    }
    read();
}

CollectionFile::~CollectionFile() = default;

void CollectionFile::read()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        refuse(Failure, m_policy.cannotOpen, file.errorString());
        return;
    }
    // A version above 10000 cannot be read as version 10000; reading it as the first version would
    // only make up items out of the newer fields.
    const NativeFile::ReadResult result = NativeFile::read(file, *m_top, /*refuseNewer=*/true);
    switch (result.status) {
    case NativeFile::ReadResult::Complete:
        return;
    case NativeFile::ReadResult::NewerVersion:
    case NativeFile::ReadResult::OutOfMemory:
        refuse(DataDamaged, m_policy.newerText, result.error);
        return;
    case NativeFile::ReadResult::Damaged:
    case NativeFile::ReadResult::Cancelled:
        break;
    }
    if (m_policy.damaged == OpenPolicy::Damaged::Refuse) {
        refuse(DataDamaged, m_policy.damagedText, result.error);
        return;
    }
    say(m_policy.damagedText, result.error);
    m_status = DataDamaged;
}

void CollectionFile::say(const QString &text, const QString &reason) const
{
    for (const QString &line : fill(text, nativePath(m_path), reason).split(QLatin1Char('\n')))
        printError(line);
}

void CollectionFile::refuse(int status, const QString &text, const QString &reason)
{
    say(text, reason);
    m_open = false;
    m_status = status;
}

bool CollectionFile::save(Backup backup, QString *error) const
{
    if (backup == Backup::First && QFileInfo::exists(m_path)) {
        Backups backups(m_path);
        backups.setKeep(0); // how many are kept is Quillmark's setting: leave the pruning to it
        QString reason;
        if (!backups.copyDataFile(&reason)) {
            *error = fill(m_policy.cannotBackUp, nativePath(m_path), reason);
            return false;
        }
    }
    return saveAs(m_path, error);
}

bool CollectionFile::saveAs(const QString &path, QString *error) const
{
    QString reason;
    if (NativeFile::saveAtomically(path, *m_top, &reason))
        return true;
    *error = fill(m_policy.cannotWrite, nativePath(path), reason);
    return false;
}
