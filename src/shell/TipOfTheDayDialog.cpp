#include "shell/TipOfTheDayDialog.h"

#include "shell/HelpBook.h"
#include "shell/HelpSystem.h"
#include "shell/Product.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QShortcut>

namespace {
constexpr int ShuffleSwaps = 100;
constexpr int TipsHelpTopic = 402;
constexpr int MinimumTipWidth = 193;
constexpr int MinimumTipHeight = 73;
constexpr int TipWidthInCharacters = 34;
} // namespace

TipOfTheDayDialog::TipOfTheDayDialog(HelpSystem *help, QWidget *owner)
    : QDialog(owner,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      m_help(help)
{
    setObjectName(QStringLiteral("TipOfTheDayDialog"));
    setWindowTitle(tr("Tip of the Day"));
    // Modal to its owner only, so that a help window opened from here can be used.
    setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    buildLayout();
    shuffleTips();

    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &TipOfTheDayDialog::showHelp);
    connect(m_nextButton, &QPushButton::clicked, this, &TipOfTheDayDialog::nextTip);
    connect(m_backButton, &QPushButton::clicked, this, &TipOfTheDayDialog::previousTip);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &TipOfTheDayDialog::closeTip);
}

QString TipOfTheDayDialog::tipText(int resource)
{
    switch (resource) {
    case 50000:
        return tr("For the latest information, tips and tutorials that will help you getmost out of the Quillmark, "
                  "please visit Quillmark Home Page on the Web.");
    case 50001:
        return tr("To find out whether a newer version of Quillmark is available, visit %1 or write to %2.")
            .arg(QLatin1String(Product::ProductSiteBase), QLatin1String(Product::SupportEMail));
    case 50002:
        return tr("For full documentation, including HTML Help, press F1 key or Help button at any time while "
                  "running Quillmark.");
    case 50003:
        return tr("To hide the toolbar click View menu and then click Toolbar.");
    case 50004:
        return tr("To hide the status bar click View menu and then click Status Bar.");
    case 50005:
        return tr("To delete a selected item you can press Delete button.");
    case 50006:
        return tr("To help us fix errors you send us feedback. Click Help menu, click Quillmark on the Web and then "
                  "click Send Feedback.");
    case 50007:
        return tr("To delete empty folders click Edit menu and then click Delete Empty Folders.");
    default:
        return QString();
    }
}

void TipOfTheDayDialog::buildLayout()
{
    HelpBook::LoadResources();

    // The tip panel: a picture, "Did you know..." and the tip, on the tooltip colours.
    auto *tipPanel = new QFrame;
    tipPanel->setObjectName(QStringLiteral("tipPanel"));
    tipPanel->setFrameShape(QFrame::Box);
    tipPanel->setFrameShadow(QFrame::Plain);
    tipPanel->setAutoFillBackground(true);
    QPalette tipColours = tipPanel->palette();
    tipColours.setColor(QPalette::Window, tipColours.color(QPalette::ToolTipBase));
    tipColours.setColor(QPalette::WindowText, tipColours.color(QPalette::ToolTipText));
    tipPanel->setPalette(tipColours);

    auto *lightBulb = new QLabel;
    lightBulb->setObjectName(QStringLiteral("lightBulb"));
    lightBulb->setPixmap(QIcon(QStringLiteral(":/help/tip.svg")).pixmap(32, 32));
    lightBulb->setFixedSize(32, 32);
    auto *heading = new QLabel(tr("Did you know..."));
    heading->setObjectName(QStringLiteral("heading"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    m_tipLabel = new QLabel;
    m_tipLabel->setObjectName(QStringLiteral("tipLabel"));
    m_tipLabel->setWordWrap(true);
    m_tipLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tipLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The panel keeps one size while the tips change: wide enough for a comfortable line, high enough for the
    // longest tip.
    const int width = std::max(MinimumTipWidth, m_tipLabel->fontMetrics().averageCharWidth() * TipWidthInCharacters);
    int height = MinimumTipHeight;
    for (int i = 0; i < TipCount; ++i) {
        m_tipLabel->setText(tipText(FirstTipResource + i));
        height = std::max(height, m_tipLabel->heightForWidth(width));
    }
    m_tipLabel->setFixedSize(width, height);

    auto *panelLayout = new QGridLayout(tipPanel);
    panelLayout->setContentsMargins(8, 8, 8, 8);
    panelLayout->setHorizontalSpacing(10);
    panelLayout->addWidget(lightBulb, 0, 0, 2, 1, Qt::AlignTop);
    panelLayout->addWidget(heading, 0, 1);
    panelLayout->addWidget(m_tipLabel, 1, 1);

    m_showTip = new QCheckBox(tr("&Show tips at startup"));
    m_showTip->setObjectName(QStringLiteral("ShowTip"));
    // "&Next" and "&Back" step through the tips; "Close" rejects, as Esc and the close box do.
    m_buttons = new QDialogButtonBox(Qt::Vertical);
    m_nextButton = m_buttons->addButton(tr("&Next"), QDialogButtonBox::ActionRole);
    m_nextButton->setObjectName(QStringLiteral("nextButton"));
    m_nextButton->setDefault(true);
    m_backButton = m_buttons->addButton(tr("&Back"), QDialogButtonBox::ActionRole);
    m_backButton->setObjectName(QStringLiteral("backButton"));
    m_closeButton = m_buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));

    auto *layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(tipPanel, 0, 0);
    layout->addWidget(m_buttons, 0, 1);
    layout->addWidget(m_showTip, 1, 0);
    setTabOrder(m_closeButton, m_showTip);
}

void TipOfTheDayDialog::shuffleTips()
{
    m_tips.clear();
    for (int i = 0; i < TipCount; ++i)
        m_tips << tipText(FirstTipResource + i);
    m_tipIndex = 0;
    // The generator is seeded by the system, so every opening starts at another tip and walks another order.
    QRandomGenerator *random = QRandomGenerator::global();
    for (int swap = 0; swap < ShuffleSwaps; ++swap) {
        const int a = static_cast<int>(random->bounded(TipCount));
        const int b = static_cast<int>(random->bounded(TipCount));
        m_tips.swapItemsAt(a, b);
    }
    showTip();
}

void TipOfTheDayDialog::showTip()
{
    m_tipLabel->setText(m_tips.at(m_tipIndex));
}

void TipOfTheDayDialog::nextTip()
{
    m_tipIndex = (m_tipIndex + 1) % TipCount;
    showTip();
}

void TipOfTheDayDialog::previousTip()
{
    m_tipIndex = (m_tipIndex + TipCount - 1) % TipCount;
    showTip();
}

void TipOfTheDayDialog::closeTip()
{
    close();
}

void TipOfTheDayDialog::showHelp()
{
    // Whether the help opens or not, the dialog stays as it is.
    if (m_help)
        m_help->showTopic(TipsHelpTopic);
}
