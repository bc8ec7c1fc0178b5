#include "transfer/FavoritesFolderDialog.h"

#include "transfer/FavoritesTree.h"
#include "transfer/Prompts.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

FavoritesFolderDialog::FavoritesFolderDialog(QWidget *owner, Prompts &prompts, const QString &rootPath)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_prompts(prompts)
{
    setWindowTitle(QCoreApplication::translate("FavoritesFolderDialog", "Import Internet Explorer Favorites"));
    setFixedSize(314, 296);
    setSizeGripEnabled(false);

    m_favoritesTree = new FavoritesTree(this);
    m_favoritesTree->setAccessibleName(QCoreApplication::translate("FavoritesFolderDialog", "Favorites folders"));
    m_favoritesTree->setObjectName(QStringLiteral("FavoritesTree"));
    m_favoritesTree->setGeometry(8, 24, 297, 233);

    m_promptLabel = new QLabel(
        QCoreApplication::translate("FavoritesFolderDialog", "Select which folder you want to import from."), this);
    m_promptLabel->setObjectName(QStringLiteral("promptLabel"));
    m_promptLabel->move(8, 8);
    m_promptLabel->resize(297, m_promptLabel->sizeHint().height());

    m_browseButton = new QPushButton(QCoreApplication::translate("FavoritesFolderDialog", "&Browse..."), this);
    m_browseButton->setObjectName(QStringLiteral("BrowseButton"));
    // As wide as its caption needs (larger fonts, other languages), the other buttons beside it.
    m_browseButton->setGeometry(8, 264, std::max(75, m_browseButton->sizeHint().width()), 25);
    m_browseButton->setAutoDefault(false);
    connect(m_browseButton, &QPushButton::clicked, this, &FavoritesFolderDialog::browse);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    const int buttonsLeft = m_browseButton->geometry().right() + 6;
    buttons->setGeometry(buttonsLeft, 264, 307 - buttonsLeft, 25);
    m_okButton = buttons->button(QDialogButtonBox::Ok);
    m_okButton->setText(QCoreApplication::translate("FavoritesFolderDialog", "&Ok"));
    m_okButton->setObjectName(QStringLiteral("OkButton"));
    m_okButton->setDefault(true);
    m_cancelButton = buttons->button(QDialogButtonBox::Cancel);
    m_cancelButton->setText(QCoreApplication::translate("FavoritesFolderDialog", "Cancel"));
    m_cancelButton->setObjectName(QStringLiteral("CancelButton"));
    m_cancelButton->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(Ok); });
    connect(buttons, &QDialogButtonBox::rejected, this, &FavoritesFolderDialog::reject);

    m_noFavoritesLabel = new QLabel(QCoreApplication::translate("FavoritesFolderDialog",
                                                                "No Internet Explorer Favorites folder was found.\n\n"
                                                                "Click Browse to choose the folder to import from."),
                                    m_favoritesTree->viewport());
    m_noFavoritesLabel->setObjectName(QStringLiteral("NoFavoritesLabel"));
    m_noFavoritesLabel->setWordWrap(true);
    m_noFavoritesLabel->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(m_favoritesTree->viewport());
    layout->addWidget(m_noFavoritesLabel);

    // In reading order; a hidden Browse button is passed over.
    setTabOrder(m_favoritesTree, m_browseButton);
    setTabOrder(m_browseButton, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
    // Browse is offered when the Favorites folder is missing, and stays for another choice.
    m_browseButton->setVisible(!setRoot(rootPath));
    m_favoritesTree->setFocus();
}

bool FavoritesFolderDialog::setRoot(const QString &rootPath)
{
    const bool found = !rootPath.isEmpty() && QFileInfo(rootPath).isDir();
    m_favoritesTree->Fill(found ? rootPath : QString());
    m_noFavoritesLabel->setVisible(!found);
    m_okButton->setEnabled(found);
    return found;
}

void FavoritesFolderDialog::browse()
{
    const QString folder = m_prompts.existingDirectory(
        this, QCoreApplication::translate("FavoritesFolderDialog", "Choose the Folder to Import From"));
    if (folder.isEmpty())
        return;
    setRoot(folder);
    m_favoritesTree->setFocus();
}

void FavoritesFolderDialog::reject()
{
    done(Cancel);
}

void FavoritesFolderDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Above the other windows, keeping its place and size.
    raise();
    activateWindow();
}
