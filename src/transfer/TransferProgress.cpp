#include "transfer/TransferProgress.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QProgressDialog>

namespace {

// How often the dialog's counts, its Cancel and a request to end the program are looked at.
constexpr int LookIntervalMs = 40;

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
        return true;
    default:
        return false;
    }
}

} // namespace

TransferProgress::TransferProgress(QWidget *window, int delayMs, Direction direction)
    : m_window(window), m_delayMs(delayMs), m_direction(direction)
{
    m_running.start();
    qApp->installEventFilter(this);
    m_looks.setInterval(LookIntervalMs);
    connect(&m_looks, &QTimer::timeout, this, &TransferProgress::look);
    connect(&LongCommands::instance(), &LongCommands::cancelling, this, &TransferProgress::look);
}

TransferProgress::~TransferProgress()
{
    qApp->removeEventFilter(this);
}

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

void TransferProgress::follow(const QFuture<void> &work)
{
    m_work = work;
    m_looks.start();
    if (m_delayMs <= 0)
        show(); // at once, even for work that is done before the next look
    look();
}

bool TransferProgress::eventFilter(QObject *watched, QEvent *event)
{
    if (!isInput(event->type()))
        return false;
    // The progress dialog alone takes input; the rest of the program waits for the work to end.
    if (m_dialog && watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == m_dialog.get())
        return false;
    return watched->isWidgetType() || event->type() == QEvent::Shortcut;
}

void TransferProgress::cancel()
{
    m_cancelled = true;
    m_work.cancel();
}

void TransferProgress::look()
{
    if (m_cancelled || m_work.isFinished())
        return;
    if (LongCommands::instance().cancelRequested()) {
        cancel();
        return;
    }
    if (!m_dialog && m_running.elapsed() >= m_delayMs)
        show();
    else if (m_dialog)
        m_dialog->setLabelText(labelText(m_direction, m_counts->folders, m_counts->links));
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
    // Application-modal: nothing else may change the collection while the work is under way.
    m_dialog->setWindowModality(Qt::ApplicationModal);
    connect(m_dialog.get(), &QProgressDialog::canceled, this, &TransferProgress::cancel);
    m_dialog->setLabelText(labelText(m_direction, m_counts->folders, m_counts->links));
    m_dialog->show();
}
