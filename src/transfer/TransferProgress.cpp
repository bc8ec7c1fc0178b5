#include "transfer/TransferProgress.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProgressDialog>

namespace {
constexpr int EventIntervalMs = 40;
}

TransferProgress::TransferProgress(QWidget *window, int delayMs, Direction direction)
    : m_window(window), m_delayMs(delayMs), m_direction(direction)
{
    m_running.start();
}

TransferProgress::~TransferProgress() = default;

QString TransferProgress::countsText(int folders, int links)
{
    return QCoreApplication::translate("TransferProgress", "%1 folders and %2 links").arg(folders).arg(links);
}

QString TransferProgress::labelText(Direction direction, int folders, int links)
{
    const QString text = direction == Direction::Import
        ? QCoreApplication::translate("TransferProgress", "Importing...\n%1 read so far.")
        : QCoreApplication::translate("TransferProgress", "Exporting...\n%1 written so far.");
    return text.arg(countsText(folders, links));
}

void TransferProgress::show()
{
    m_dialog = std::make_unique<QProgressDialog>(m_window);
    m_dialog->setWindowTitle(QApplication::applicationDisplayName());
    m_dialog->setCancelButtonText(QCoreApplication::translate("TransferProgress", "Cancel"));
    m_dialog->setRange(0, 0);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    // Application-modal: nothing else may change the collection while the import is under way.
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->show();
}

bool TransferProgress::update(int folders, int links)
{
    if (!m_cancelled && (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= EventIntervalMs)) {
        m_sinceEvents.start();
        if (!m_dialog && m_running.elapsed() >= m_delayMs)
            show();
        if (m_dialog) {
            m_dialog->setLabelText(labelText(m_direction, folders, links));
            QCoreApplication::processEvents();
            m_cancelled = m_dialog->wasCanceled();
        } else {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }
    // The events may have brought a request to end the program.
    m_cancelled = m_cancelled || LongCommands::instance().cancelRequested();
    return !m_cancelled;
}
