#pragma once

#include "linkcheck/LinkCheckResult.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

// The window beside the main one while links are checked: how far the check has come, the counts of each
// outcome, the link being checked, Pause and Cancel. It stays open, not modal: the main window goes on
// working meanwhile, and once the check is done its results are in the list.
class LinkCheckPanel : public QDialog
{
    Q_OBJECT
public:
    explicit LinkCheckPanel(QWidget *parent = nullptr);

    // A check of total links starts.
    void started(int total);
    void linkStarted(const QString &url);
    void linkChecked(LinkCheckResult::Outcome outcome);
    // The check ended; cancelled when Cancel or the program stopped it.
    void finished(bool cancelled);

    int count(LinkCheckResult::Outcome outcome) const { return m_counts[static_cast<size_t>(outcome)]; }
    bool showsOk() const;
    QPushButton *pauseButton() const { return m_pause; }
    QPushButton *cancelButton() const { return m_cancel; }
    QLabel *summaryLabel() const { return m_summary; }

signals:
    void pauseToggled(bool paused);
    void cancelRequested();
    void showOkToggled(bool shown);

private:
    void updateCounts();

    std::array<int, LinkCheckResult::OutcomeCount> m_counts {};
    int m_total = 0;
    int m_done = 0;
    QLabel *m_summary;
    QLabel *m_countsLabel;
    QLabel *m_current;
    QProgressBar *m_progress;
    QPushButton *m_pause;
    QPushButton *m_cancel;
    QPushButton *m_close;
    QCheckBox *m_showOk;
};
