#include "mainwindow/RestoreDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RestoreDialog::RestoreDialog(std::vector<Backups::Entry> entries, QWidget *parent)
    : QDialog(parent), m_entries(std::move(entries)), m_list(new QTreeWidget(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(tr("Restore from Backup"));
    auto *label = new QLabel(tr("Choose the backup that is to replace the collection. The collection as it is "
                                "now is kept as today's backup first."),
                             this);
    label->setWordWrap(true);
    m_list->setRootIsDecorated(false);
    m_list->setAccessibleName(tr("Backups"));
    label->setBuddy(m_list);
    m_list->setHeaderLabels({tr("Date"), tr("Size"), tr("Folders"), tr("Links")});
    const QLocale locale;
    for (int i = 0; i < int(m_entries.size()); ++i) {
        const Backups::Entry &entry = m_entries[i];
        auto *row = new QTreeWidgetItem(m_list);
        row->setText(0, locale.toString(entry.date, QLocale::LongFormat));
        row->setText(1, locale.formattedDataSize(entry.size));
        row->setData(0, Qt::UserRole, i);
        if (entry.readable) {
            row->setText(2, QString::number(entry.folders));
            row->setText(3, QString::number(entry.links));
        } else {
            row->setText(2, tr("damaged"));
            row->setToolTip(0, entry.error);
            row->setFlags(row->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
        }
        for (int column = 1; column < 4; ++column)
            row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 4; ++column)
        m_list->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QPushButton *ok = m_buttons->button(QDialogButtonBox::Ok);
    ok->setText(tr("&Restore"));
    ok->setEnabled(false);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this, ok] { ok->setEnabled(!chosenPath().isEmpty()); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (!chosenPath().isEmpty())
            accept();
    });
    // Start on the newest backup that can be restored.
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (m_list->topLevelItem(i)->flags() & Qt::ItemIsEnabled) {
            m_list->setCurrentItem(m_list->topLevelItem(i));
            break;
        }
    }
    resize(520, 360);
}

QString RestoreDialog::chosenPath() const
{
    const QTreeWidgetItem *row = m_list->currentItem();
    if (!row || !(row->flags() & Qt::ItemIsEnabled))
        return {};
    return m_entries[static_cast<std::size_t>(row->data(0, Qt::UserRole).toInt())].path;
}
