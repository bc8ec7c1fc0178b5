#pragma once

#include "formats/BrowserProfiles.h"

#include <QDialog>
#include <QList>

class QDialogButtonBox;
class QTreeWidget;
class QTreeWidgetItem;

// "Import from Browser": the browser profiles found, each with its browser, profile name, folders,
// links and folder. The counts show "counting…" until they are known. A profile that cannot be read is
// shown but cannot be chosen. After exec() returns Accepted, chosen() is the profile.
class BrowserImportDialog : public QDialog
{
    Q_OBJECT
public:
    struct Entry
    {
        BrowserProfile profile;
        bool counted = false;
        int folders = 0;
        int links = 0;
        QString error; // why it cannot be read; empty when it can
    };

    explicit BrowserImportDialog(QList<Entry> entries, QWidget *parent = nullptr);

    // The counts of entry index have come; error says why it cannot be read, empty when it can.
    void setCounts(int index, int folders, int links, const QString &error);
    // The chosen profile; null when none can be chosen.
    const BrowserProfile *chosen() const;
    QTreeWidget *list() const { return m_list; }
    QDialogButtonBox *buttons() const { return m_buttons; }

private:
    void showCounts(QTreeWidgetItem *row, const Entry &entry);

    QList<Entry> m_entries;
    QTreeWidget *m_list;
    QDialogButtonBox *m_buttons;
};
