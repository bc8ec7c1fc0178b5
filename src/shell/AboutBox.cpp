#include "shell/AboutBox.h"

#include "mainwindow/LinkOpener.h"
#include "mainwindow/MessageBoxReporter.h"
#include "shell/HelpSystem.h"
#include "shell/Product.h"
#include "shell/VersionInfo.h"
#include "widgets/HyperlinkLabel.h"
#include "widgets/Icons.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

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

TAboutBox::TAboutBox(HelpSystem *help, QWidget *owner, ErrorReporter *reporter, const QString &programFile)
    : QDialog(owner,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      m_help(help), m_reporter(reporter)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(tr("About Quillmark"));
    // Modal to its owner only, so that the help window opened by F1 can be used.
    setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    buildLayout();

    for (THyperlinkLabel *label : {m_mailLinkLabel, m_webLinkLabel})
        connect(label, &THyperlinkLabel::linkClicked, this,
                [this](const QString &link) { LinkOpener::openLink(this, link); });

    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &TAboutBox::Action1Execute);
    connect(m_button1, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate(programFile.isEmpty() ? QCoreApplication::applicationFilePath() : programFile);
}

TAboutBox::~TAboutBox() = default;

QString TAboutBox::VersionText(int major1, int major2, int minor1, int minor2)
{
    return QStringLiteral("%1.%2.%3 Build %4").arg(major1).arg(major2).arg(minor1).arg(minor2);
}

QString TAboutBox::RightsNotice()
{
    return tr("Copyright \u00a9 2026 Orbrook Software");
}

QString TAboutBox::LegalNotice()
{
    return tr("Warning: Quillmark is protected by copyright law and international treaties. Reproducing or "
              "distributing this program, or any part of it, without permission is prohibited and will be "
              "prosecuted to the full extent of the law.");
}

void TAboutBox::buildLayout()
{
    auto *programIcon = new QLabel;
    programIcon->setObjectName(QStringLiteral("ProgramIcon"));
    programIcon->setPixmap(Icons::application().pixmap(32, 32));
    programIcon->setFixedSize(32, 32);
    QLabel *label10 = boldLabel(QStringLiteral("Quillmark"));
    m_label11 = boldLabel(QStringLiteral("#"));
    m_label11->setObjectName(QStringLiteral("Label11"));

    auto *title = new QGridLayout;
    title->setHorizontalSpacing(16);
    title->addWidget(programIcon, 0, 0, 2, 1, Qt::AlignTop);
    title->addWidget(label10, 0, 1);
    title->addWidget(m_label11, 1, 1);
    title->setColumnStretch(1, 1);

    auto *label12 = new QLabel(RightsNotice());
    label12->setObjectName(QStringLiteral("Label12"));
    const QString host = QUrl(QLatin1String(Product::ProductSiteBase)).host();
    m_label13 = new QLabel(tr("Distributed by %1").arg(host));
    m_label13->setObjectName(QStringLiteral("Label13"));

    const QString mail = QLatin1String(Product::SupportEMail);
    m_mailLinkLabel = new THyperlinkLabel(mail);
    m_mailLinkLabel->setObjectName(QStringLiteral("MailLinkLabel"));
    m_mailLinkLabel->setLink(QStringLiteral("mailto:") + mail);
    const QString site = QLatin1String(Product::ProductSiteBase);
    m_webLinkLabel = new THyperlinkLabel(site);
    m_webLinkLabel->setObjectName(QStringLiteral("WebLinkLabel"));
    m_webLinkLabel->setLink(site);
    auto *addresses = new QGridLayout;
    addresses->setHorizontalSpacing(12);
    addresses->addWidget(boldLabel(tr("EMail:")), 0, 0);
    addresses->addWidget(m_mailLinkLabel, 0, 1, Qt::AlignLeft);
    addresses->addWidget(boldLabel(tr("WWW:")), 1, 0);
    addresses->addWidget(m_webLinkLabel, 1, 1, Qt::AlignLeft);
    addresses->setColumnStretch(1, 1);

    m_label1 = new QLabel;
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Sized for the notice whether or not it is shown, so the box keeps its shape.
    const int noticeWidth = m_label1->fontMetrics().averageCharWidth() * NoticeWidthInCharacters;
    m_label1->setText(LegalNotice());
    m_label1->setFixedSize(noticeWidth, m_label1->heightForWidth(noticeWidth));
    m_label1->clear();
    m_button1 = new QPushButton(tr("Ok"));
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setDefault(true);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_label1, 1);
    bottom->addWidget(m_button1, 0, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(title);
    layout->addWidget(sunkenLine());
    layout->addWidget(label12);
    layout->addWidget(m_label13);
    layout->addWidget(sunkenLine());
    layout->addLayout(addresses);
    layout->addWidget(sunkenLine());
    layout->addLayout(bottom);
    setMinimumWidth(MinimumWidth);
}

void TAboutBox::FormCreate(const QString &programFile)
{
    TVersionInfo versionInfo;
    if (!versionInfo.setFileName(programFile)) {
        // The box still opens: the version shows its placeholder and the notice stays empty.
        std::unique_ptr<ErrorReporter> own;
        ErrorReporter *reporter = m_reporter;
        if (!reporter) {
            own = std::make_unique<MessageBoxReporter>(parentWidget());
            reporter = own.get();
        }
        reporter->reportError(QString(), versionInfo.errorString());
        return;
    }
    m_label11->setText(
        VersionText(versionInfo.Major1(), versionInfo.Major2(), versionInfo.Minor1(), versionInfo.Minor2()));
    m_label1->setText(LegalNotice());
}

void TAboutBox::Action1Execute()
{
    if (m_help)
        m_help->HtmlHelp(HelpSystem::MainHelpFile(), HelpSystem::HelpContext, AboutHelpTopic);
}
