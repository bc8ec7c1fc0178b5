#pragma once

#include "formats/BrowserProfiles.h"

#include <QDialog>
#include <QList>

class QDialogButtonBox;
class QTreeWidget;

// "Import from Browser": the browser profiles found, each with its browser, profile name, folders,
// links and folder. A profile that cannot be read is shown but cannot be chosen. After exec() returns
// Accepted, chosen() is the profile.
class BrowserImportDialog : public QDialog
{
    Q_OBJECT
public:
    struct Entry
    {
        BrowserProfile profile;
        int folders = 0;
        int links = 0;
        QString error; // why it cannot be read; empty when it can
    };

    explicit BrowserImportDialog(QList<Entry> entries, QWidget *parent = nullptr);

    // The chosen profile; null when none can be chosen.
    const BrowserProfile *chosen() const;
    QTreeWidget *list() const { return m_list; }
    QDialogButtonBox *buttons() const { return m_buttons; }

private:
    QList<Entry> m_entries;
    QTreeWidget *m_list;
    QDialogButtonBox *m_buttons;
};
