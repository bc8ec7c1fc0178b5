#pragma once

#include "store/Backups.h"

#include <QDialog>

#include <vector>

class QDialogButtonBox;
class QTreeWidget;

// "Restore from Backup": the backups of the data file, newest first, with their date, size and what they hold.
// A damaged backup is shown but cannot be chosen. After exec() returns Accepted, chosenPath() is the backup.
class RestoreDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RestoreDialog(std::vector<Backups::Entry> entries, QWidget *parent = nullptr);

    QString chosenPath() const;
    QTreeWidget *list() const { return m_list; }
    QDialogButtonBox *buttons() const { return m_buttons; }

private:
    std::vector<Backups::Entry> m_entries;
    QTreeWidget *m_list;
    QDialogButtonBox *m_buttons;
};
