#include "mainwindow/AutoSave.h"

#include "store/ErrorReporter.h"
#include "store/Repository.h"
#include "transfer/LongCommands.h"

#include <QDir>

#include <algorithm>

AutoSave::AutoSave(Repository *repository, ErrorReporter *reporter, QObject *parent)
    : QObject(parent), m_repository(repository), m_reporter(reporter)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &AutoSave::save);
    // Queued: the command has returned to the event loop by then.
    connect(
        &LongCommands::instance(), &LongCommands::allEnded, this,
        [this] {
            if (m_afterCommand) {
                m_afterCommand = false;
                save();
            }
        },
        Qt::QueuedConnection);
}

void AutoSave::setDelays(int delayMs, int longestWaitMs)
{
    m_delayMs = delayMs;
    m_longestWaitMs = longestWaitMs;
}

void AutoSave::markChanged()
{
    if (!m_unsaved) {
        m_unsaved = true;
        m_firstUnsaved.start();
    }
    const qint64 left = m_longestWaitMs - m_firstUnsaved.elapsed();
    m_timer.start(static_cast<int>(std::clamp<qint64>(left, 0, m_delayMs)));
}

void AutoSave::stop()
{
    m_timer.stop();
    m_afterCommand = false;
}

void AutoSave::save()
{
    if (!m_unsaved)
        return;
    if (LongCommands::instance().running()) {
        // The command is half way through its change: save once it has ended.
        m_afterCommand = true;
        return;
    }
    if (m_repository->Save(Repository::Reporting::Quiet)) {
        m_unsaved = false;
        m_failureTold = false;
        return;
    }
    // The next change waits the whole delay again before it tries.
    m_firstUnsaved.start();
    if (m_failureTold || !m_reporter)
        return;
    m_failureTold = true;
    m_reporter->reportError(QString(),
                            QStringLiteral("The collection could not be saved to %1. It stays in memory; Quillmark "
                                           "tries again after the next change and when it ends.")
                                .arg(QDir::toNativeSeparators(Repository::DataFile())),
                            m_repository->errorString());
}
