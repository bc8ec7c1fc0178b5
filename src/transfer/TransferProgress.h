#pragma once

#include "store/Progress.h"
#include "transfer/LongCommands.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QObject>
#include <QPointer>
#include <QPromise>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>

class QProgressDialog;
class QWidget;

// Progress of an import or an export that runs on the background pool while the event loop goes on. Once it
// has run longer than the delay, an application-modal progress dialog over the window shows the folders and
// links read (or written) so far and offers Cancel, which cancels the work's future. Until the dialog shows, no
// input reaches any window (it is dropped), so that nothing can change the collection under the work; after
// that, the modal dialog keeps it from the other windows. While the progress lives, its command counts as a
// long command: the automatic save waits, and a request to end the program cancels it like Cancel does.
class TransferProgress : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultDelayMs = 500;

    enum class Direction { Import, Export };

    // The counts so far of the work under way, which the pool's thread sets and this thread looks at.
    struct Counts
    {
        std::atomic_int folders = 0;
        std::atomic_int links = 0;
    };

    explicit TransferProgress(QWidget *window, int delayMs = DefaultDelayMs, Direction direction = Direction::Import);
    ~TransferProgress() override;

    // Where the work tells its counts (see callback).
    const std::shared_ptr<Counts> &counts() const { return m_counts; }
    // The readers' and writers' callback for work on the pool: keeps the counts and tells whether to go on.
    template<typename T> static Progress callback(std::shared_ptr<Counts> counts, QPromise<T> &promise)
    {
        return [counts = std::move(counts), &promise](int folders, int links) {
            counts->folders = folders;
            counts->links = links;
            return !promise.isCanceled();
        };
    }

    // Starts following the work: its counts in the dialog once that shows, Cancel and the exit cancel it.
    void follow(const QFuture<void> &work);

    bool wasCancelled() const { return m_cancelled; }
    // The dialog, once it is shown.
    QProgressDialog *dialog() const { return m_dialog.get(); }

    static QString countsText(int folders, int links);
    // The dialog's text: "Importing..." or "Exporting..." over the counts.
    static QString labelText(Direction direction, int folders, int links);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void look();
    void show();
    void cancel();

    LongCommands::Guard m_busy;
    QPointer<QWidget> m_window;
    int m_delayMs;
    Direction m_direction;
    std::shared_ptr<Counts> m_counts = std::make_shared<Counts>();
    QFuture<void> m_work;
    QElapsedTimer m_running;
    QTimer m_looks;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};
