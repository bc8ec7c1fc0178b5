#pragma once

#include "settings/SyncSettings.h"

#include <QDialog>

class LinkItem;
class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// "Sync": the WebDAV server's folder, the user and password, the file there, the folder of the
// collection that is synced and when it syncs. Accepted with OK, or with "Sync Now" (syncNowChosen()),
// which also syncs at once.
class SyncDialog : public QDialog
{
    Q_OBJECT
public:
    SyncDialog(const SyncSettings &settings, const QString &password, LinkItem *root, QWidget *parent = nullptr);

    SyncSettings settings() const;
    QString password() const;
    bool syncNowChosen() const { return m_syncNow; }
    // What the last sync ended with, and a problem with the secret store, shown under the fields.
    void setLastResult(const QString &text);
    void setPasswordProblem(const QString &text);

    QLineEdit *serverEdit() const { return m_server; }
    QLineEdit *passwordEdit() const { return m_password; }
    QLineEdit *fileNameEdit() const { return m_fileName; }
    // Whether the dialog warns that the password would go in clear text.
    bool warnsOfClearText() const;

    // The path of a folder as the settings keep it: names separated by backslashes, empty for the root.
    static QString pathOf(const LinkItem *folder);
    // The folder at such a path; none when a folder of it is gone.
    static LinkItem *folderAt(LinkItem *root, const QString &path);

private:
    void chooseFolder();
    void updateButtons();

    LinkItem *m_root;
    QString m_folderPath;
    QLineEdit *m_server;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QLineEdit *m_fileName;
    QLineEdit *m_folder;
    QCheckBox *m_every;
    QSpinBox *m_minutes;
    QCheckBox *m_startAndExit;
    QLabel *m_lastResult;
    QLabel *m_passwordProblem;
    QLabel *m_inClear; // the warning that the password goes in clear text
    QPushButton *m_ok = nullptr;
    QPushButton *m_syncNowButton = nullptr;
    bool m_syncNow = false;
};
