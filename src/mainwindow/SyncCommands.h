#pragma once

#include "settings/SyncSettings.h"
#include "sync/SyncRun.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class CollectionDocument;
class CollectionView;
class QWidget;
class QLabel;
class SecretStore;
class SyncDialog;

// "S&ync..." and "Sync &Now": the collection, or one folder of it, kept the same as an XBEL file on a
// WebDAV server. The exchange with the server runs on the event loop and its merging in the background, on a
// snapshot of the synced folder, so the window stays free; what the sync brings is then put into the collection as one
// step to undo, after a backup. Syncs also run every few minutes and when the program starts and ends, as set. The
// state of the sync and its last result show in a field of the status bar.
class SyncCommands : public QObject
{
    Q_OBJECT
public:
    SyncCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);
    ~SyncCommands() override;

    // Where passwords are kept: the desktop's secret store unless a test gives another.
    void setSecretStore(SecretStore *store);
    // The field of the status bar that tells how the last sync went.
    QLabel *statusField() const { return m_statusField; }
    bool isRunning() const { return m_run && m_run->isRunning(); }
    // Whether a server is set up to sync with.
    bool isConfigured() const { return m_settings.configured(); }
    QString lastResult() const { return m_lastResult; }
    // How long each request may wait for the server (tests shorten it).
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }

    void showSettings();
    void syncNow();
    // The collection is there: the sync at start, and the regular ones from now on.
    void collectionLoaded();
    // At the end of the program: a last sync when that is set, then done (at once when there is none).
    // False when nothing is to be done, and done is not called.
    bool syncBeforeExit(std::function<void()> done);

signals:
    void dialogShown(SyncDialog *dialog);
    // A sync ended, well or not (lastResult() says how).
    void syncEnded(bool ok);
    // The status field's text or visibility changed.
    void statusFieldChanged();
    // The sync was set up or given up: Sync Now applies or not.
    void configuredChanged(bool configured);

private:
    enum class Trigger { Asked, Timer, StartOrExit };

    void loadSettings();
    void start(Trigger trigger, bool manyDeletes = false);
    void run(bool manyDeletes);
    void withPassword(std::function<void()> then);
    void exchanged();
    void bringIn();
    void finish(const QString &error, const MergeReport &report);
    void setStatusField(const QString &text, const QString &tip, bool failed);
    QString describe(const MergeReport &report) const;

    CollectionDocument *m_document;
    CollectionView *m_view;
    QWidget *m_parent;
    SecretStore *m_secrets;
    QLabel *m_statusField;
    SyncSettings m_settings;
    QString m_password;
    bool m_passwordRead = false;
    QString m_passwordProblem;
    QTimer m_every;
    int m_timeout = 30000;

    // The sync under way.
    std::unique_ptr<SyncRun> m_run;
    Trigger m_trigger = Trigger::Asked;
    bool m_busy = false; // from the start of a sync (which may wait for the password) to its end
    LinkItem *m_root = nullptr;
    LinkItem *m_folder = nullptr;
    bool m_itemsRemoved = false; // the snapshot may hold items that are gone
    int m_retries = 0;
    std::function<void()> m_exitDone;
    QString m_lastResult;
};
