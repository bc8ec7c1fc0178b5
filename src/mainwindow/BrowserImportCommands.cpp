#include "mainwindow/BrowserImportCommands.h"

#include "mainwindow/CollectionView.h"
#include "mainwindow/TransferCommands.h"
#include "store/CollectionDocument.h"

#include "formats/FormatCommands.h"
#include "store/Duplicates.h"
#include "store/LinkItem.h"
#include "store/UrlKey.h"
#include "transfer/BrowserImportDialog.h"
#include "transfer/DialogPrompts.h"
#include "transfer/Prompts.h"
#include "widgets/MessageBoxes.h"

BrowserImportCommands::BrowserImportCommands(CollectionDocument *document, CollectionView *view, QWidget *parent)
    : QObject(parent), m_document(document), m_view(view), m_parent(parent),
      m_dialogs(std::make_unique<DialogPrompts>()), m_prompts(m_dialogs.get()),
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
    if (!m_view->folder())
        return;
    const QList<BrowserProfile> profiles = m_find();
    if (profiles.isEmpty()) {
        MessageBoxes::information(m_parent, QString(), tr("No browser profiles were found."),
                                  tr("Quillmark looks for the profiles of Firefox, LibreWolf, Waterfox, Chrome, "
                                     "Chromium, Brave, Edge, Vivaldi and Opera."));
        return;
    }
    // The counts come from reading each profile, as the import will, on the pool: the dialog shows them
    // as they come, and its end stops the counting.
    QList<BrowserImportDialog::Entry> entries;
    for (const BrowserProfile &profile : profiles)
        entries.append({profile, false, 0, 0, QString()});
    BrowserImportDialog dialog(entries, m_parent);
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
    LinkItem *target = m_view->folder();
    if (!target)
        return false;
    auto folder = LinkItem::MakeFolder(profile.folderName().toStdString());
    ImportReport report;
    {
        TransferProgress progress(m_parent, m_progressDelay);
        report = ProfileReads::readAside(profile, folder, m_read, progress, &m_reading);
    }
    if (report.status == ImportReport::Unreadable) {
        MessageBoxes::standardError(m_parent, tr("Nothing was imported from %1.").arg(profile.folderName()),
                                    report.errorString());
        return false;
    }
    if (report.status == ImportReport::Cancelled) {
        MessageBoxes::information(m_parent, QString(), tr("The import was cancelled. Nothing was imported."),
                                  QString());
        return false;
    }
    if (const std::optional<UrlKeyOptions> skip = TransferCommands::knownLinksToSkip()) {
        const LinkItem *root = target;
        while (root->Parent)
            root = root->Parent;
        report.skipped = Duplicates::dropKnown(*folder, *root, UrlKey(*skip));
        report.links -= report.skipped;
    }
    m_view->keepBackup();
    // The whole import is one step to undo; the view relists the folder it fills.
    m_document->aboutToAddChildren(target);
    target->Children.InsertSorted(std::move(folder));
    m_document->childrenAdded(target);
    ++report.folders; // the profile's own folder
    m_view->setStatusText(FormatCommands::importSummary(report));
    const QString problems = FormatCommands::importProblems(profile.bookmarksFile(), report);
    if (!problems.isEmpty())
        MessageBoxes::warning(m_parent, QString(), problems, QString());
    return true;
}
