#include "transfer/BrowserImportDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

BrowserImportDialog::BrowserImportDialog(QList<Entry> entries, QWidget *parent)
    : QDialog(parent), m_entries(std::move(entries)), m_list(new QTreeWidget(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(tr("Import from Browser"));
    auto *label = new QLabel(tr("Choose the browser profile whose bookmarks are to be imported. They are added to "
                                "the selected folder as a new folder named after the browser and the profile."),
                             this);
    label->setWordWrap(true);
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({tr("Browser"), tr("Profile"), tr("Folders"), tr("Links"), tr("Path")});
    for (int i = 0; i < m_entries.size(); ++i) {
        const Entry &entry = m_entries.at(i);
        auto *row = new QTreeWidgetItem(m_list);
        row->setText(0, entry.profile.browser);
        row->setText(1, entry.profile.name);
        row->setText(4, QDir::toNativeSeparators(entry.profile.path));
        row->setToolTip(4, row->text(4));
        row->setData(0, Qt::UserRole, i);
        showCounts(row, entry);
        for (int column = 2; column < 4; ++column)
            row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_list->header()->setStretchLastSection(true);
    for (int column = 0; column < 4; ++column)
        m_list->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QPushButton *ok = m_buttons->button(QDialogButtonBox::Ok);
    ok->setText(tr("&Import"));
    ok->setEnabled(false);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this, ok] { ok->setEnabled(chosen() != nullptr); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (chosen())
            accept();
    });
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (m_list->topLevelItem(i)->flags() & Qt::ItemIsEnabled) {
            m_list->setCurrentItem(m_list->topLevelItem(i));
            break;
        }
    }
    resize(640, 320);
}

void BrowserImportDialog::showCounts(QTreeWidgetItem *row, const Entry &entry)
{
    if (!entry.counted) {
        row->setText(2, tr("counting…"));
    } else if (entry.error.isEmpty()) {
        row->setText(2, QString::number(entry.folders));
        row->setText(3, QString::number(entry.links));
    } else {
        row->setText(2, tr("damaged"));
        row->setToolTip(0, entry.error);
        row->setToolTip(1, entry.error);
        row->setFlags(row->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
    }
}

void BrowserImportDialog::setCounts(int index, int folders, int links, const QString &error)
{
    if (index < 0 || index >= m_entries.size())
        return;
    Entry &entry = m_entries[index];
    entry.counted = true;
    entry.folders = folders;
    entry.links = links;
    entry.error = error;
    QTreeWidgetItem *row = m_list->topLevelItem(index);
    const bool wasCurrent = row == m_list->currentItem();
    showCounts(row, entry);
    if (!wasCurrent || chosen())
        return;
    // The profile chosen cannot be read: the first one that may be takes its place.
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (m_list->topLevelItem(i)->flags() & Qt::ItemIsEnabled) {
            m_list->setCurrentItem(m_list->topLevelItem(i));
            return;
        }
    }
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
}

const BrowserProfile *BrowserImportDialog::chosen() const
{
    const QTreeWidgetItem *row = m_list->currentItem();
    if (!row || !(row->flags() & Qt::ItemIsEnabled))
        return nullptr;
    return &m_entries.at(row->data(0, Qt::UserRole).toInt()).profile;
}
