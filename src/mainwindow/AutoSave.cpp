#include "mainwindow/AutoSave.h"

#include "store/ErrorReporter.h"
#include "store/Repository.h"
#include "store/SlicedSave.h"
#include "transfer/LongCommands.h"

#include <QCoreApplication>
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

AutoSave::~AutoSave() = default;

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
    if (m_save) {
        m_changedWhileSaving = true;
        // What it has written so far is the old collection, and its place in the tree may be gone.
        if (m_save->isWriting())
            m_save.reset();
    }
    if (m_exitPending) {
        if (!m_save)
            m_timer.start(0);
        return;
    }
    const qint64 left = m_longestWaitMs - m_firstUnsaved.elapsed();
    m_timer.start(static_cast<int>(std::clamp<qint64>(left, 0, m_delayMs)));
}

void AutoSave::stop()
{
    m_timer.stop();
    m_afterCommand = false;
    if (m_save && m_save->isWriting())
        m_save.reset();
}

void AutoSave::save()
{
    if (m_save)
        return; // the save under way decides what follows once it has ended
    if (m_exitPending) {
        if (!startSave(true))
            saveEnded(false);
        return;
    }
    if (!m_unsaved)
        return;
    if (LongCommands::instance().running()) {
        // The command is half way through its change: save once it has ended.
        m_afterCommand = true;
        return;
    }
    if (!startSave(false))
        saveEnded(false);
}

bool AutoSave::startSave(bool forExit)
{
    m_ended.reset();
    m_saveIsForExit = forExit;
    m_changedWhileSaving = false;
    m_save = m_repository->SaveInSlices(forExit ? Repository::Reporting::Report : Repository::Reporting::Quiet);
    if (!m_save)
        return false;
    m_save->setItemsPerSlice(m_itemsPerSlice);
    // A long command changes the tree without telling each step: the save leaves it alone and comes after it.
    m_save->setStopCondition([] { return LongCommands::instance().running(); });
    connect(m_save.get(), &SlicedSave::finished, this, &AutoSave::saveEnded);
    connect(m_save.get(), &SlicedSave::abandoned, this, [this] {
        m_ended = std::move(m_save);
        m_afterCommand = true;
    });
    return true;
}

void AutoSave::saveEnded(bool ok)
{
    // The save that ended may be the one telling it: it lives on until the next save starts.
    if (m_save)
        m_ended = std::move(m_save);
    if (ok) {
        m_unsaved = m_changedWhileSaving;
        m_failureTold = false;
    } else {
        // The next change waits the whole delay again before it tries.
        m_firstUnsaved.start();
    }
    if (m_exitPending) {
        if ((ok && !m_changedWhileSaving) || (!ok && m_saveIsForExit)) {
            m_exitPending = false;
            emit exitSaveEnded(ok);
            return;
        }
        // The exit's own save, of the collection as it is now.
        m_timer.start(0);
        return;
    }
    if (!ok) {
        tellFailure();
        return;
    }
    if (m_unsaved) {
        const qint64 left = m_longestWaitMs - m_firstUnsaved.elapsed();
        m_timer.start(static_cast<int>(std::clamp<qint64>(left, 0, m_delayMs)));
    }
}

void AutoSave::tellFailure()
{
    if (m_failureTold || !m_reporter)
        return;
    m_failureTold = true;
    m_reporter->reportError(
        QString(),
        QCoreApplication::translate("AutoSave",
                                    "The collection could not be saved to %1. It stays in memory; Quillmark "
                                    "tries again after the next change and when it ends.")
            .arg(QDir::toNativeSeparators(Repository::DataFile())),
        m_repository->errorString());
}

bool AutoSave::saveForExit()
{
    m_timer.stop();
    m_afterCommand = false;
    if (m_save && m_saveIsForExit)
        return true;
    // The exit's save tells a failure, the automatic one would not: it takes over.
    if (m_save && m_save->isWriting())
        m_save.reset();
    m_exitPending = true;
    if (m_save)
        return true; // syncing: the exit's save follows once it has ended
    if (!startSave(true)) {
        m_exitPending = false;
        return false;
    }
    return true;
}

bool AutoSave::saveNow()
{
    m_timer.stop();
    m_afterCommand = false;
    m_exitPending = false;
    if (m_save) {
        // A save under way writes the collection as it is: finish it rather than start again.
        const bool told = m_saveIsForExit;
        disconnect(m_save.get(), nullptr, this, nullptr);
        const bool ok = m_save->finishNow();
        m_ended = std::move(m_save);
        if (ok && !m_changedWhileSaving) {
            m_unsaved = false;
            return true;
        }
        if (!ok && told)
            return false;
    }
    if (!m_repository->Save())
        return false;
    m_unsaved = false;
    m_failureTold = false;
    return true;
}
