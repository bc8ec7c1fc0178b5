#include "shell/AboutBox.h"

#include "mainwindow/LinkOpener.h"
#include "shell/HelpSystem.h"
#include "shell/Product.h"
#include "widgets/HyperlinkLabel.h"
#include "widgets/Icons.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>
#include <QVersionNumber>

namespace {
constexpr int AboutHelpTopic = 404;
constexpr int MinimumWidth = 328;
constexpr int NoticeWidthInCharacters = 42;

QFrame *sunkenLine()
{
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel *boldLabel(const QString &text)
{
    auto *label = new QLabel(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}
} // namespace

AboutBox::AboutBox(HelpSystem *help, QWidget *owner)
    : QDialog(owner,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      m_help(help)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(tr("About Quillmark"));
    // Modal to its owner only, so that the help window opened by F1 can be used.
    setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    buildLayout();

    for (HyperlinkLabel *label : {m_mailLinkLabel, m_webLinkLabel})
        connect(label, &HyperlinkLabel::linkClicked, this,
                [this](const QString &link) { LinkOpener::openLink(this, link); });

    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &AboutBox::showHelp);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

AboutBox::~AboutBox() = default;

QString AboutBox::VersionText(const QString &version)
{
    const QVersionNumber number = QVersionNumber::fromString(version);
    if (number.isNull())
        return QStringLiteral("#");
    return QCoreApplication::translate("AboutBox", "%1.%2.%3 Build %4")
        .arg(number.majorVersion())
        .arg(number.minorVersion())
        .arg(number.microVersion())
        .arg(number.segmentAt(3));
}

QString AboutBox::RightsNotice()
{
    return tr("Copyright \u00a9 2026 Orbrook Software");
}

QString AboutBox::LegalNotice()
{
    return tr("Warning: Quillmark is protected by copyright law and international treaties. Reproducing or "
              "distributing this program, or any part of it, without permission is prohibited and will be "
              "prosecuted to the full extent of the law.");
}

void AboutBox::buildLayout()
{
    auto *programIcon = new QLabel;
    programIcon->setObjectName(QStringLiteral("ProgramIcon"));
    programIcon->setPixmap(Icons::application().pixmap(32, 32));
    programIcon->setFixedSize(32, 32);
    QLabel *nameLabel = boldLabel(QStringLiteral("Quillmark"));
    m_versionLabel = boldLabel(VersionText(QCoreApplication::applicationVersion()));
    m_versionLabel->setObjectName(QStringLiteral("versionLabel"));

    auto *title = new QGridLayout;
    title->setHorizontalSpacing(16);
    title->addWidget(programIcon, 0, 0, 2, 1, Qt::AlignTop);
    title->addWidget(nameLabel, 0, 1);
    title->addWidget(m_versionLabel, 1, 1);
    title->setColumnStretch(1, 1);

    auto *rightsLabel = new QLabel(RightsNotice());
    rightsLabel->setObjectName(QStringLiteral("rightsLabel"));
    const QString host = QUrl(QLatin1String(Product::ProductSiteBase)).host();
    m_distributorLabel = new QLabel(tr("Distributed by %1").arg(host));
    m_distributorLabel->setObjectName(QStringLiteral("distributorLabel"));

    const QString mail = QLatin1String(Product::SupportEMail);
    m_mailLinkLabel = new HyperlinkLabel(mail);
    m_mailLinkLabel->setObjectName(QStringLiteral("MailLinkLabel"));
    m_mailLinkLabel->setLink(QStringLiteral("mailto:") + mail);
    const QString site = QLatin1String(Product::ProductSiteBase);
    m_webLinkLabel = new HyperlinkLabel(site);
    m_webLinkLabel->setObjectName(QStringLiteral("WebLinkLabel"));
    m_webLinkLabel->setLink(site);
    auto *addresses = new QGridLayout;
    addresses->setHorizontalSpacing(12);
    addresses->addWidget(boldLabel(tr("EMail:")), 0, 0);
    addresses->addWidget(m_mailLinkLabel, 0, 1, Qt::AlignLeft);
    addresses->addWidget(boldLabel(tr("WWW:")), 1, 0);
    addresses->addWidget(m_webLinkLabel, 1, 1, Qt::AlignLeft);
    addresses->setColumnStretch(1, 1);

    m_legalNoticeLabel = new QLabel(LegalNotice());
    m_legalNoticeLabel->setObjectName(QStringLiteral("legalNoticeLabel"));
    m_legalNoticeLabel->setWordWrap(true);
    m_legalNoticeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int noticeWidth = m_legalNoticeLabel->fontMetrics().averageCharWidth() * NoticeWidthInCharacters;
    m_legalNoticeLabel->setFixedSize(noticeWidth, m_legalNoticeLabel->heightForWidth(noticeWidth));
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    m_okButton = m_buttons->button(QDialogButtonBox::Ok);
    m_okButton->setText(tr("Ok"));
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_legalNoticeLabel, 1);
    bottom->addWidget(m_buttons, 0, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(title);
    layout->addWidget(sunkenLine());
    layout->addWidget(rightsLabel);
    layout->addWidget(m_distributorLabel);
    layout->addWidget(sunkenLine());
    layout->addLayout(addresses);
    layout->addWidget(sunkenLine());
    layout->addLayout(bottom);
    setMinimumWidth(MinimumWidth);
}

void AboutBox::showHelp()
{
    if (m_help)
        m_help->showTopic(AboutHelpTopic);
}
