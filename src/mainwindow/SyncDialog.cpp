#include "mainwindow/SyncDialog.h"

#include "mainwindow/GoToFolderDialog.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "sync/SyncAddress.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

SyncDialog::SyncDialog(const SyncSettings &settings, const QString &password, LinkItem *root, QWidget *parent)
    : QDialog(parent), m_root(root), m_folderPath(settings.folderPath),
      m_server(new QLineEdit(settings.serverUrl, this)), m_user(new QLineEdit(settings.user, this)),
      m_password(new QLineEdit(password, this)), m_fileName(new QLineEdit(settings.fileName, this)),
      m_folder(new QLineEdit(this)), m_every(new QCheckBox(tr("Sync &every"), this)), m_minutes(new QSpinBox(this)),
      m_startAndExit(new QCheckBox(tr("Sync when Quillmark &starts and ends"), this)), m_lastResult(new QLabel(this)),
      m_passwordProblem(new QLabel(this)), m_inClear(new QLabel(this))
{
    setWindowTitle(tr("Sync"));
    auto *intro = new QLabel(tr("Quillmark keeps a folder of the collection, or all of it, the same as an XBEL file "
                                "on a WebDAV server, which browsers with a bookmark sync extension can share."),
                             this);
    intro->setWordWrap(true);
    m_server->setPlaceholderText(tr("https://cloud.example.org/remote.php/dav/files/me/"));
    m_password->setEchoMode(QLineEdit::Password);
    m_folder->setReadOnly(true);
    m_folder->setText(m_folderPath.isEmpty() ? tr("(the whole collection)") : m_folderPath);
    auto *choose = new QPushButton(tr("C&hoose..."), this);
    choose->setEnabled(m_root != nullptr);
    connect(choose, &QPushButton::clicked, this, &SyncDialog::chooseFolder);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(choose);

    m_minutes->setRange(1, SyncSettings::MostMinutes);
    m_minutes->setSuffix(tr(" minutes"));
    m_minutes->setValue(settings.everyMinutes > 0 ? settings.everyMinutes : 30);
    m_every->setChecked(settings.everyMinutes > 0);
    m_minutes->setEnabled(m_every->isChecked());
    m_minutes->setAccessibleName(tr("Minutes between syncs"));
    connect(m_every, &QCheckBox::toggled, m_minutes, &QWidget::setEnabled);
    m_startAndExit->setChecked(settings.atStartAndExit);

    auto *form = new QFormLayout;
    form->addRow(tr("Ser&ver folder:"), m_server);
    form->addRow(tr("&User name:"), m_user);
    form->addRow(tr("&Password:"), m_password);
    form->addRow(QString(), m_passwordProblem);
    form->addRow(QString(), m_inClear);
    form->addRow(tr("&File name:"), m_fileName);
    auto *folderLabel = new QLabel(tr("Synced f&older:"), this);
    folderLabel->setBuddy(m_folder);
    form->addRow(folderLabel, folderRow);
    auto *minutesRow = new QHBoxLayout;
    minutesRow->addWidget(m_minutes);
    minutesRow->addStretch();
    form->addRow(m_every, minutesRow);
    // The check box as a label is not squeezed to the spin box's height.
    m_every->setMinimumHeight(m_every->minimumSizeHint().height());
    choose->setMinimumHeight(choose->minimumSizeHint().height());
    setTabOrder(m_folder, choose);
    setTabOrder(choose, m_every);
    form->addRow(QString(), m_startAndExit);
    form->addRow(tr("Last sync:"), m_lastResult);
    m_passwordProblem->setWordWrap(true);
    m_passwordProblem->hide();
    m_inClear->setWordWrap(true);
    m_inClear->setTextFormat(Qt::PlainText);
    m_inClear->setText(tr("Over http:// the password goes in clear text, and anyone on the way can read it: use "
                          "https:// unless the server is this computer."));
    m_inClear->hide();
    m_lastResult->setWordWrap(true);
    m_lastResult->setTextFormat(Qt::PlainText);
    m_lastResult->setText(tr("never"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_syncNowButton = buttons->addButton(tr("Sync &Now"), QDialogButtonBox::AcceptRole);
    connect(m_syncNowButton, &QPushButton::clicked, this, [this] { m_syncNow = true; });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_server, &QLineEdit::textChanged, this, &SyncDialog::updateButtons);
    connect(m_fileName, &QLineEdit::textChanged, this, &SyncDialog::updateButtons);
    connect(m_password, &QLineEdit::textChanged, this, &SyncDialog::updateButtons);
    updateButtons();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(520);
}

SyncSettings SyncDialog::settings() const
{
    SyncSettings settings;
    settings.serverUrl = m_server->text().trimmed();
    settings.user = m_user->text();
    settings.fileName = m_fileName->text().trimmed();
    settings.folderPath = m_folderPath;
    settings.everyMinutes = m_every->isChecked() ? m_minutes->value() : 0;
    settings.atStartAndExit = m_startAndExit->isChecked();
    return settings;
}

QString SyncDialog::password() const
{
    return m_password->text();
}

bool SyncDialog::warnsOfClearText() const
{
    return !m_inClear->isHidden();
}

void SyncDialog::setLastResult(const QString &text)
{
    m_lastResult->setText(text);
}

void SyncDialog::setPasswordProblem(const QString &text)
{
    m_passwordProblem->setText(text);
    m_passwordProblem->setVisible(!text.isEmpty());
}

QString SyncDialog::pathOf(const LinkItem *folder)
{
    QStringList names;
    for (; folder && folder->Parent; folder = folder->Parent)
        names.prepend(TextCodec::toDisplay(folder->Name));
    return names.join(QLatin1Char('\\'));
}

LinkItem *SyncDialog::folderAt(LinkItem *root, const QString &path)
{
    LinkItem *folder = root;
    for (const QString &name : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        LinkItem *next = nullptr;
        for (const auto &child : folder->Children) {
            if (child->isFolder() && TextCodec::toDisplay(child->Name) == name) {
                next = child.get();
                break;
            }
        }
        if (!next)
            return nullptr;
        folder = next;
    }
    return folder;
}

void SyncDialog::chooseFolder()
{
    GoToFolderDialog dialog(m_root, this);
    dialog.setWindowTitle(tr("Synced Folder"));
    if (LinkItem *folder = folderAt(m_root, m_folderPath))
        dialog.setCurrentFolder(folder);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosenFolder())
        return;
    m_folderPath = pathOf(dialog.chosenFolder());
    m_folder->setText(m_folderPath.isEmpty() ? tr("(the whole collection)") : m_folderPath);
}

void SyncDialog::updateButtons()
{
    const QUrl url = QUrl::fromUserInput(m_server->text().trimmed());
    const bool usable = url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https")
        && SyncAddress::fileNameProblem(m_fileName->text().trimmed()).isEmpty();
    m_inClear->setVisible(url.isValid() && !m_password->text().isEmpty() && SyncAddress::passwordInClear(url));
    m_syncNowButton->setEnabled(usable);
    // Empty settings may be kept: they stop syncing.
    m_ok->setEnabled(usable || m_server->text().trimmed().isEmpty());
}
