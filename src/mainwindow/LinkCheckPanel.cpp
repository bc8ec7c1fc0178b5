#include "mainwindow/LinkCheckPanel.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

LinkCheckPanel::LinkCheckPanel(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LinkCheckPanel"));
    setWindowTitle(tr("Check Links"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LinkCheckSummary"));
    m_progress = new QProgressBar(this);
    m_countsLabel = new QLabel(this);
    m_countsLabel->setObjectName(QStringLiteral("LinkCheckCounts"));
    m_current = new QLabel(this);
    m_current->setObjectName(QStringLiteral("LinkCheckCurrent"));
    m_current->setTextFormat(Qt::PlainText);
    m_current->setMinimumWidth(360);
    m_showOk = new QCheckBox(tr("&Show links that are OK"), this);
    layout->addWidget(m_summary);
    layout->addWidget(m_progress);
    layout->addWidget(m_countsLabel);
    layout->addWidget(m_current);
    layout->addWidget(m_showOk);
    auto *buttons = new QDialogButtonBox(this);
    m_pause = buttons->addButton(tr("&Pause"), QDialogButtonBox::ActionRole);
    m_pause->setCheckable(true);
    m_cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    m_close = buttons->addButton(tr("Close"), QDialogButtonBox::AcceptRole);
    layout->addWidget(buttons);
    connect(m_pause, &QPushButton::toggled, this, [this](bool paused) {
        m_pause->setText(paused ? tr("&Resume") : tr("&Pause"));
        emit pauseToggled(paused);
    });
    // Cancel stops the check and keeps the panel; Close (or Escape once the check is done) closes it.
    disconnect(buttons, &QDialogButtonBox::rejected, this, nullptr);
    connect(m_cancel, &QPushButton::clicked, this, &LinkCheckPanel::cancelRequested);
    connect(m_close, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_showOk, &QCheckBox::toggled, this, &LinkCheckPanel::showOkToggled);
    finished(false);
}

bool LinkCheckPanel::showsOk() const
{
    return m_showOk->isChecked();
}

void LinkCheckPanel::started(int total)
{
    m_counts.fill(0);
    m_total = total;
    m_done = 0;
    m_progress->setRange(0, std::max(total, 1));
    m_progress->setValue(0);
    m_pause->setChecked(false);
    m_pause->setEnabled(true);
    m_cancel->setEnabled(true);
    m_close->setEnabled(false);
    m_current->clear();
    updateCounts();
}

void LinkCheckPanel::linkStarted(const QString &url)
{
    m_current->setText(m_current->fontMetrics().elidedText(tr("Checking %1").arg(url), Qt::ElideMiddle,
                                                           std::max(m_current->width(), 360)));
}

void LinkCheckPanel::linkChecked(LinkCheckResult::Outcome outcome)
{
    ++m_counts[static_cast<size_t>(outcome)];
    ++m_done;
    m_progress->setValue(m_done);
    updateCounts();
}

void LinkCheckPanel::finished(bool cancelled)
{
    m_pause->setChecked(false);
    m_pause->setEnabled(false);
    m_cancel->setEnabled(false);
    m_close->setEnabled(true);
    m_current->setText(cancelled ? tr("Cancelled: the links checked so far are listed.") : QString());
    updateCounts();
}

void LinkCheckPanel::updateCounts()
{
    m_summary->setText(tr("%1 of %2 links checked").arg(m_done).arg(m_total));
    m_countsLabel->setText(tr("Broken: %1    Moved: %2    Unreachable: %3    Not checked: %4    "
                              "Redirected: %5    OK: %6")
                               .arg(count(LinkCheckResult::Broken))
                               .arg(count(LinkCheckResult::Moved))
                               .arg(count(LinkCheckResult::Unreachable))
                               .arg(count(LinkCheckResult::NotChecked))
                               .arg(count(LinkCheckResult::Redirected))
                               .arg(count(LinkCheckResult::Ok)));
}
