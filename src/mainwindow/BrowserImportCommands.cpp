#include "mainwindow/BrowserImportCommands.h"

#include "mainwindow/CollectionView.h"
#include "mainwindow/TransferCommands.h"
#include "store/CollectionDocument.h"

#include "formats/FormatCommands.h"
#include "platform/Background.h"
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

void BrowserImportCommands::importProfile(const BrowserProfile &profile)
{
    LinkItem *target = m_view->folder();
    if (!target || isRunning()) {
        emit finished(false);
        return;
    }
    // The progress keeps every input from the windows until the read has been put in place, so that nothing can
    // delete the folder it fills (the sync brings its changes once the import has ended).
    m_progress = std::make_unique<TransferProgress>(m_parent, m_progressDelay);
    auto read = std::make_shared<ProfileReads::Read>();
    read->folder = LinkItem::MakeFolder(profile.folderName().toStdString());
    m_reading = ProfileReads::readAside(profile, m_read, read, m_progress->counts());
    m_progress->follow(m_reading);
    Background::whenDone(m_reading, this, [this, profile, target, read](const QFuture<void> &) {
        ImportReport &report = read->report;
        if (m_progress->wasCancelled() || !read->ran)
            report.cancel();
        const bool added = report.status != ImportReport::Unreadable && report.status != ImportReport::Cancelled;
        if (added)
            add(target, *read);
        // The windows take input again before anything is told.
        m_progress.reset();
        tell(profile, report);
        emit finished(added);
    });
}

void BrowserImportCommands::add(LinkItem *target, ProfileReads::Read &read)
{
    ImportReport &report = read.report;
    if (const std::optional<UrlKeyOptions> skip = TransferCommands::knownLinksToSkip()) {
        const LinkItem *root = target;
        while (root->Parent)
            root = root->Parent;
        report.skipped = Duplicates::dropKnown(*read.folder, *root, UrlKey(*skip));
        report.links -= report.skipped;
    }
    m_view->keepBackup();
    // The whole import is one step to undo; the view relists the folder it fills.
    m_document->aboutToAddChildren(target);
    target->Children.InsertSorted(std::move(read.folder));
    m_document->childrenAdded(target);
    ++report.folders; // the profile's own folder
}

void BrowserImportCommands::tell(const BrowserProfile &profile, const ImportReport &report)
{
    if (report.status == ImportReport::Unreadable) {
        MessageBoxes::standardError(m_parent, tr("Nothing was imported from %1.").arg(profile.folderName()),
                                    report.errorString());
        return;
    }
    if (report.status == ImportReport::Cancelled) {
        MessageBoxes::information(m_parent, QString(), tr("The import was cancelled. Nothing was imported."),
                                  QString());
        return;
    }
    m_view->setStatusText(FormatCommands::importSummary(report));
    const QString problems = FormatCommands::importProblems(profile.bookmarksFile(), report);
    if (!problems.isEmpty())
        MessageBoxes::warning(m_parent, QString(), problems, QString());
}
