#include "transfer/BrowserImportCommands.h"

#include "formats/FormatCommands.h"
#include "store/Duplicates.h"
#include "store/LinkItem.h"
#include "store/UrlKey.h"
#include "transfer/BrowserImportDialog.h"
#include "transfer/DialogPrompts.h"
#include "transfer/Prompts.h"
#include "transfer/TransferHost.h"
#include "widgets/MessageBoxes.h"

BrowserImportCommands::BrowserImportCommands(TransferHost *host, QObject *parent)
    : QObject(parent), m_host(host), m_dialogs(std::make_unique<DialogPrompts>()), m_prompts(m_dialogs.get()),
      m_find([] { return BrowserProfiles::find(); }),
      m_choose([](BrowserImportDialog &dialog) { return dialog.exec(); }),
      m_read([](const BrowserProfile &profile, LinkItem &target, const Progress &progress) {
          return BrowserProfiles::read(profile, target, progress);
      })
{
}

BrowserImportCommands::~BrowserImportCommands()
{
    m_reading.cancel();
    m_reading.waitForFinished();
}

void BrowserImportCommands::setPrompts(Prompts *prompts)
{
    m_prompts = prompts ? prompts : m_dialogs.get();
}

void BrowserImportCommands::importFromBrowser()
{
    if (!m_host->shownFolder())
        return;
    const QList<BrowserProfile> profiles = m_find();
    if (profiles.isEmpty()) {
        MessageBoxes::information(m_host->hostWindow(), QString(), tr("No browser profiles were found."),
                                  tr("Quillmark looks for the profiles of Firefox, LibreWolf, Waterfox, Chrome, "
                                     "Chromium, Brave, Edge, Vivaldi and Opera."));
        return;
    }
    // The counts come from reading each profile, as the import will, on the pool: the dialog shows them
    // as they come, and its end stops the counting.
    QList<BrowserImportDialog::Entry> entries;
    for (const BrowserProfile &profile : profiles)
        entries.append({profile, false, 0, 0, QString()});
    BrowserImportDialog dialog(entries, m_host->hostWindow());
    auto *counter = new ProfileCounter(profiles, m_read, &dialog);
    connect(counter, &ProfileCounter::counted, &dialog, &BrowserImportDialog::setCounts);
    counter->start();
    if (m_choose(dialog) != QDialog::Accepted || !dialog.chosen())
        return;
    const BrowserProfile chosen = *dialog.chosen();
    delete counter; // the counting stops: the import needs the pool's threads more
    importProfile(chosen);
}

bool BrowserImportCommands::importProfile(const BrowserProfile &profile)
{
    LinkItem *target = m_host->shownFolder();
    if (!target)
        return false;
    auto folder = LinkItem::MakeFolder(profile.folderName().toStdString());
    ImportReport report;
    {
        TransferProgress progress(m_host->hostWindow(), m_progressDelay);
        report = ProfileReads::readAside(profile, folder, m_read, progress, &m_reading);
    }
    if (report.status == ImportReport::Unreadable) {
        MessageBoxes::standardError(m_host->hostWindow(), tr("Nothing was imported from %1.").arg(profile.folderName()),
                                    report.errorString());
        return false;
    }
    if (report.status == ImportReport::Cancelled) {
        MessageBoxes::information(m_host->hostWindow(), QString(),
                                  tr("The import was cancelled. Nothing was imported."), QString());
        return false;
    }
    if (const std::optional<UrlKeyOptions> skip = m_host->knownLinksToSkip()) {
        const LinkItem *root = target;
        while (root->Parent)
            root = root->Parent;
        report.skipped = Duplicates::dropKnown(*folder, *root, UrlKey(*skip));
        report.links -= report.skipped;
    }
    m_host->keepBackup();
    m_host->importStarting();
    target->Children.InsertSorted(std::move(folder));
    m_host->refreshShownFolder();
    ++report.folders; // the profile's own folder
    m_host->setStatusText(FormatCommands::importSummary(report));
    const QString problems = FormatCommands::importProblems(profile.bookmarksFile(), report);
    if (!problems.isEmpty())
        MessageBoxes::warning(m_host->hostWindow(), QString(), problems, QString());
    return true;
}
