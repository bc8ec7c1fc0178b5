#include "shell/Form1.h"

#include "shell/HelpBook.h"
#include "shell/HelpSystem.h"
#include "shell/Product.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
constexpr int ShuffleSwaps = 100;
constexpr int TipsHelpTopic = 402;
constexpr int MinimumTipWidth = 193;
constexpr int MinimumTipHeight = 73;
constexpr int TipWidthInCharacters = 34;
} // namespace

TForm1::TForm1(HelpSystem *help, QWidget *owner)
    : QDialog(owner,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      m_help(help)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(tr("Tip of the Day"));
    // Modal to its owner only, so that a help window opened from here can be used.
    setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    buildLayout();
    FormCreate();

    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &TForm1::Action1Execute);
    connect(m_button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(m_button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(m_button3, &QPushButton::clicked, this, &TForm1::Button3Click);
}

QString TForm1::TipText(int resource)
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

void TForm1::buildLayout()
{
    HelpBook::LoadResources();

    // The tip panel: a picture, "Did you know..." and the tip, on the tooltip colours.
    auto *panel2 = new QFrame;
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFrameShape(QFrame::Box);
    panel2->setFrameShadow(QFrame::Plain);
    panel2->setAutoFillBackground(true);
    QPalette tipColours = panel2->palette();
    tipColours.setColor(QPalette::Window, tipColours.color(QPalette::ToolTipBase));
    tipColours.setColor(QPalette::WindowText, tipColours.color(QPalette::ToolTipText));
    panel2->setPalette(tipColours);

    auto *image2 = new QLabel;
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setPixmap(QIcon(QStringLiteral(":/help/tip.svg")).pixmap(32, 32));
    image2->setFixedSize(32, 32);
    auto *label1 = new QLabel(tr("Did you know..."));
    label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = label1->font();
    bold.setBold(true);
    label1->setFont(bold);
    m_label2 = new QLabel;
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setWordWrap(true);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label2->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The panel keeps one size while the tips change: wide enough for a comfortable line, high enough for the
    // longest tip.
    const int width = std::max(MinimumTipWidth, m_label2->fontMetrics().averageCharWidth() * TipWidthInCharacters);
    int height = MinimumTipHeight;
    for (int i = 0; i < TipCount; ++i) {
        m_label2->setText(TipText(FirstTipResource + i));
        height = std::max(height, m_label2->heightForWidth(width));
    }
    m_label2->setFixedSize(width, height);

    auto *panelLayout = new QGridLayout(panel2);
    panelLayout->setContentsMargins(8, 8, 8, 8);
    panelLayout->setHorizontalSpacing(10);
    panelLayout->addWidget(image2, 0, 0, 2, 1, Qt::AlignTop);
    panelLayout->addWidget(label1, 0, 1);
    panelLayout->addWidget(m_label2, 1, 1);

    m_showTip = new QCheckBox(tr("&Show tips at startup"));
    m_showTip->setObjectName(QStringLiteral("ShowTip"));
    m_button2 = new QPushButton(tr("&Next"));
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setDefault(true);
    m_button1 = new QPushButton(tr("&Back"));
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button3 = new QPushButton(tr("Close"));
    m_button3->setObjectName(QStringLiteral("Button3"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_button2);
    buttons->addWidget(m_button1);
    buttons->addWidget(m_button3);
    buttons->addStretch(1);

    auto *layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(panel2, 0, 0);
    layout->addLayout(buttons, 0, 1);
    layout->addWidget(m_showTip, 1, 0);
    setTabOrder(m_button2, m_button1);
    setTabOrder(m_button1, m_button3);
    setTabOrder(m_button3, m_showTip);
}

void TForm1::FormCreate()
{
    m_tips.clear();
    for (int i = 0; i < TipCount; ++i)
        m_tips << TipText(FirstTipResource + i);
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

void TForm1::showTip()
{
    m_label2->setText(m_tips.at(m_tipIndex));
}

void TForm1::Button2Click()
{
    m_tipIndex = (m_tipIndex + 1) % TipCount;
    showTip();
}

void TForm1::Button1Click()
{
    m_tipIndex = (m_tipIndex + TipCount - 1) % TipCount;
    showTip();
}

void TForm1::Button3Click()
{
    close();
}

void TForm1::Action1Execute()
{
    // Whether the help opens or not, the dialog stays as it is.
    if (m_help)
        m_help->HtmlHelp(HelpSystem::TipsHelpFile(), HelpSystem::HelpContext, TipsHelpTopic);
}
