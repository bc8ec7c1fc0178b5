#pragma once

#include "store/Progress.h"
#include "transfer/LongCommands.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// Progress of an import or an export that runs on the user-interface thread. Once it has run longer
// than the delay, a progress dialog over the window shows the folders and links read (or written) so
// far and offers Cancel. Every few hundredths of a second the pending events are handled, so that the
// windows repaint; input reaches only the progress dialog, which is modal, and none reaches the windows
// before it shows. While the progress lives, its command counts as a long command: a request to end the
// program cancels it like the Cancel button does.
class TransferProgress
{
public:
    static constexpr int DefaultDelayMs = 500;

    enum class Direction { Import, Export };

    explicit TransferProgress(QWidget *window, int delayMs = DefaultDelayMs, Direction direction = Direction::Import);
    ~TransferProgress();

    TransferProgress(const TransferProgress &) = delete;
    TransferProgress &operator=(const TransferProgress &) = delete;

    // The counts so far; false once the user (or the exit) has cancelled.
    bool update(int folders, int links);
    // update() as the readers' and writers' callback; it must not outlive this progress.
    Progress callback()
    {
        return [this](int folders, int links) { return update(folders, links); };
    }

    bool wasCancelled() const { return m_cancelled; }
    // The dialog, once it is shown.
    QProgressDialog *dialog() const { return m_dialog.get(); }

    static QString countsText(int folders, int links);
    // The dialog's text: "Importing..." or "Exporting..." over the counts.
    static QString labelText(Direction direction, int folders, int links);

private:
    void show();

    LongCommands::Guard m_busy;
    QPointer<QWidget> m_window;
    int m_delayMs;
    Direction m_direction;
    QElapsedTimer m_running;
    QElapsedTimer m_sinceEvents;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};
