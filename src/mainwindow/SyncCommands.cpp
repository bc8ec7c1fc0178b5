#include "mainwindow/SyncCommands.h"

#include "mainwindow/CollectionView.h"

#include "mainwindow/SyncDialog.h"
#include "mainwindow/UpdatesGuard.h"
#include "platform/SecretStore.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/Repository.h"
#include "transfer/LongCommands.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QTime>

namespace {

// A sync at the end of the program does not keep it waiting long for a server that does not answer.
constexpr int ExitTimeoutMs = 10000;
// A sync that found items deleted while it ran starts again this often before it gives up.
constexpr int MostRetries = 2;

} // namespace

SyncCommands::SyncCommands(CollectionDocument *document, CollectionView *view, QWidget *parent)
    : QObject(parent), m_document(document), m_view(view), m_parent(parent), m_secrets(new DesktopSecretStore(this)),
      m_statusField(new QLabel(parent))
{
    m_statusField->setObjectName(QStringLiteral("SyncStatus"));
    m_statusField->setTextFormat(Qt::PlainText);
    m_statusField->hide();
    m_every.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_every, &QTimer::timeout, this, [this] { start(Trigger::Timer); });
    // The snapshot refers to the items: once one is gone, what the sync brings cannot be put in place.
    const auto removing = [this] { m_itemsRemoved = m_itemsRemoved || isRunning(); };
    connect(m_document, &CollectionDocument::itemAboutToBeRemoved, this, removing);
    connect(m_document, &CollectionDocument::itemsAboutToBeRemoved, this, removing);
    loadSettings();
}

// A sync under way ends with its run, which frees the server's lock on its way out.
SyncCommands::~SyncCommands() = default;

void SyncCommands::setSecretStore(SecretStore *store)
{
    m_secrets = store;
    m_passwordRead = false;
}

void SyncCommands::loadSettings()
{
    m_settings = Settings().GetSync();
    const bool configured = m_settings.configured();
    emit configuredChanged(configured);
    m_statusField->setVisible(configured);
    if (configured && m_statusField->text().isEmpty())
        setStatusField(tr("Not synced yet"), tr("Quillmark has not synced since it started."), false);
    emit statusFieldChanged();
    if (m_root || m_document->root()) {
        if (configured && m_settings.everyMinutes > 0)
            m_every.start(m_settings.everyMinutes * 60 * 1000);
        else
            m_every.stop();
    }
}

void SyncCommands::collectionLoaded()
{
    loadSettings();
    if (m_settings.configured() && m_settings.atStartAndExit)
        start(Trigger::StartOrExit);
}

void SyncCommands::withPassword(std::function<void()> then)
{
    // No user, no password: a server open to all.
    if (m_passwordRead || !m_settings.configured() || m_settings.user.isEmpty()) {
        then();
        return;
    }
    m_secrets->read(m_settings.secretKey(),
                    [this, then = std::move(then)](const QString &secret, const QString &error) {
                        m_password = secret;
                        m_passwordRead = error.isEmpty();
                        m_passwordProblem = error.isEmpty()
                            ? QString()
                            : tr("The password could not be read from the desktop's secret store: %1").arg(error);
                        // Not inside the store's own report.
                        QMetaObject::invokeMethod(this, then, Qt::QueuedConnection);
                    });
}

void SyncCommands::showSettings()
{
    withPassword([this] {
        SyncDialog dialog(m_settings, m_password, m_document->root(), m_parent);
        if (!m_lastResult.isEmpty())
            dialog.setLastResult(m_lastResult);
        dialog.setPasswordProblem(m_passwordProblem);
        emit dialogShown(&dialog);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const SyncSettings chosen = dialog.settings();
        const QString oldKey = m_settings.secretKey();
        if (!Settings().SetSync(chosen)) {
            MessageBoxes::error(m_parent, QStringLiteral("Quillmark"),
                                tr("The sync settings could not be kept: %1").arg(Settings().errorString()));
            return;
        }
        if (chosen.secretKey() != oldKey || dialog.password() != m_password || !m_passwordRead) {
            if (chosen.secretKey() != oldKey && m_settings.configured())
                m_secrets->write(oldKey, {}, [](const QString &, const QString &) {});
            m_password = dialog.password();
            m_passwordRead = true;
            m_passwordProblem.clear();
            m_secrets->write(chosen.secretKey(), m_password, [this](const QString &, const QString &error) {
                if (error.isEmpty())
                    return;
                m_passwordProblem = tr("The password could not be kept in the desktop's secret store (%1); it is "
                                       "used until Quillmark ends.")
                                        .arg(error);
                m_view->setStatusText(m_passwordProblem);
            });
        }
        loadSettings();
        if (dialog.syncNowChosen())
            start(Trigger::Asked);
    });
}

void SyncCommands::syncNow()
{
    start(Trigger::Asked);
}

bool SyncCommands::syncBeforeExit(std::function<void()> done)
{
    if (m_busy) {
        m_exitDone = std::move(done);
        return true;
    }
    if (!m_settings.configured() || !m_settings.atStartAndExit || !m_document->root())
        return false;
    m_exitDone = std::move(done);
    start(Trigger::StartOrExit);
    return true;
}

void SyncCommands::start(Trigger trigger, bool manyDeletes)
{
    if (m_busy)
        return;
    if (!m_settings.configured()) {
        if (trigger == Trigger::Asked)
            showSettings();
        return;
    }
    m_busy = true;
    m_trigger = trigger;
    withPassword([this, manyDeletes] { run(manyDeletes); });
}

void SyncCommands::run(bool manyDeletes)
{
    LinkItem *root = m_document->root();
    if (!root) {
        finish(tr("The collection is not loaded."), {});
        return;
    }
    m_folder = SyncDialog::folderAt(root, m_settings.folderPath);
    if (!m_folder) {
        finish(tr("The synced folder \"%1\" is not in the collection.").arg(m_settings.folderPath), {});
        return;
    }
    if (!m_settings.user.isEmpty() && !m_passwordProblem.isEmpty() && !m_passwordRead) {
        finish(m_passwordProblem, {});
        return;
    }
    SyncRun::Settings settings;
    settings.folder = QUrl::fromUserInput(m_settings.serverUrl);
    settings.fileName = m_settings.fileName;
    settings.user = m_settings.user;
    settings.password = m_password;
    settings.timeout = m_exitDone ? std::min(m_timeout, ExitTimeoutMs) : m_timeout;
    if (m_run)
        m_run.release()->deleteLater(); // the one before may still be telling of its end
    m_run = std::make_unique<SyncRun>(settings, Repository::DataFile(), m_settings.folderPath);
    connect(m_run.get(), &SyncRun::exchanged, this, &SyncCommands::exchanged);
    m_root = root;
    m_itemsRemoved = false;

    setStatusField(tr("Syncing..."), tr("Syncing with %1").arg(settings.folder.host()), false);
    if (m_trigger == Trigger::Asked)
        m_view->setStatusText(tr("Syncing with %1...").arg(settings.folder.host()));
    m_run->start(CollectionTree::snapshot(*m_folder), manyDeletes);
}

void SyncCommands::exchanged()
{
    // An import or an export is working on the collection (an export writes it on the pool): what the sync
    // brings waits until they have ended.
    if (LongCommands::instance().running()) {
        connect(&LongCommands::instance(), &LongCommands::allEnded, this, &SyncCommands::exchanged,
                Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        return;
    }
    const SyncRun::Exchange *exchange = &m_run->exchange();
    const MergeReport report = exchange->outcome.report;
    if (m_document->root() != m_root) {
        finish(tr("The collection was closed during the sync."), {});
        return;
    }
    if (exchange->tooManyDeletes && m_trigger == Trigger::Asked) {
        const bool sure
            = MessageBoxes::question(m_parent, QStringLiteral("Quillmark"),
                                     tr("The sync would delete %1 of the %2 synced folders and links. Delete them?")
                                         .arg(exchange->deleted)
                                         .arg(exchange->synced));
        if (sure) {
            m_busy = false;
            start(Trigger::Asked, true);
            return;
        }
    }
    if (!exchange->outcome.ok()) {
        finish(exchange->outcome.error, report);
        return;
    }
    if (!report.taken.isEmpty()) {
        if (m_itemsRemoved) {
            // What was sent is on the server; syncing again takes it and what changed here since.
            if (m_retries++ < MostRetries) {
                m_busy = false;
                start(m_trigger);
                return;
            }
            finish(tr("The collection changed while it synced; it is synced again next time."), {});
            return;
        }
        bringIn();
    }
    QString error;
    if (!m_run->saveState(&error)) {
        finish(tr("What was synced could not be noted beside the data file: %1").arg(error), report);
        return;
    }
    finish({}, report);
}

void SyncCommands::bringIn()
{
    m_view->keepBackup();
    m_view->setCountsVisits(false);
    {
        UpdatesGuard guard(m_parent);
        m_run->apply(*m_document, *m_folder, tr("Sync"));
    }
    m_view->setCountsVisits(true);
}

QString SyncCommands::describe(const MergeReport &report) const
{
    if (report.taken.isEmpty() && report.given.isEmpty())
        return tr("nothing to take or give.");
    QString text = tr("%1 changes taken, %2 given.").arg(report.taken.size()).arg(report.given.size());
    if (!report.conflicts.isEmpty())
        text += u' '
            + tr("%1 changed on both sides: the values of this computer were kept.").arg(report.conflicts.size());
    return text;
}

void SyncCommands::finish(const QString &error, const MergeReport &report)
{
    m_busy = false;
    m_retries = 0;
    if (m_run)
        m_run.release()->deleteLater(); // it is still telling of its end
    const QString time = QLocale().toString(QTime::currentTime(), QStringLiteral("HH:mm"));
    const bool ok = error.isEmpty();
    if (ok) {
        m_lastResult = tr("Synced at %1: %2").arg(time, describe(report));
        setStatusField(tr("Synced %1").arg(time), m_lastResult, false);
    } else {
        m_lastResult = tr("Sync failed at %1: %2").arg(time, error);
        setStatusField(tr("Sync failed"), m_lastResult, true);
    }
    if (m_trigger == Trigger::Asked)
        m_view->setStatusText(m_lastResult);
    emit syncEnded(ok);
    if (m_exitDone)
        QMetaObject::invokeMethod(this, std::exchange(m_exitDone, {}), Qt::QueuedConnection);
}

void SyncCommands::setStatusField(const QString &text, const QString &tip, bool failed)
{
    m_statusField->setText(text);
    m_statusField->setToolTip(tip);
    m_statusField->setStatusTip(tip);
    m_statusField->setStyleSheet(failed ? QStringLiteral("color: #b00020;") : QString());
    emit statusFieldChanged();
}
