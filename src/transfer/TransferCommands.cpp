#include "transfer/TransferCommands.h"

#include "formats/FormatCommands.h"
#include "platform/Paths.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "transfer/DialogPrompts.h"
#include "transfer/FavoritesFolderDialog.h"
#include "transfer/FavoritesTree.h"
#include "transfer/TransferHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include <algorithm>
#include <vector>

TransferCommands::TransferCommands(TransferHost *host, QObject *parent)
    : QObject(parent), m_host(host), m_dialogs(std::make_unique<DialogPrompts>()), m_prompts(m_dialogs.get())
{
}

TransferCommands::~TransferCommands() = default;

void TransferCommands::setPrompts(Prompts *prompts)
{
    m_prompts = prompts ? prompts : m_dialogs.get();
}

FileDialogSettings TransferCommands::exportDialogSettings()
{
    return {QStringLiteral("Export Quillmark File"), QStringLiteral("Quillmark Files (*.qmf)"), QStringLiteral("qmf")};
}

FileDialogSettings TransferCommands::importDialogSettings()
{
    return {QStringLiteral("Import Quillmark File"), QStringLiteral("Quillmark Files (*.qmf)"), QStringLiteral("qmf")};
}

QString TransferCommands::objectCount(const LinkItem &folder)
{
    return QString::number(folder.Children.Count()) + QStringLiteral(" objects");
}

void TransferCommands::setCountStatus()
{
    if (const LinkItem *folder = m_host->shownFolder())
        m_host->setStatusText(objectCount(*folder));
}

void TransferCommands::reportCancelled(int folders, int links)
{
    m_prompts->information(
        m_host->hostWindow(),
        QStringLiteral("The import was cancelled. %1 were imported.").arg(ImportProgress::countsText(folders, links)),
        QString());
}

void TransferCommands::exportQuillmarkFile()
{
    const LinkItem *folder = m_host->shownFolder();
    if (!folder)
        return;
    const QString path = m_prompts->saveFileName(m_host->hostWindow(), exportDialogSettings());
    if (path.isEmpty())
        return;

    // An export is an ordinary file of the user's: a file that is replaced keeps its permissions, a new
    // one gets those of a new file.
    const QFileInfo existing(path);
    const QFileDevice::Permissions permissions = existing.exists()
        ? existing.permissions()
        : platform::userFilePermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                        | QFileDevice::ReadOther);
    QString error;
    if (!NativeFile::saveAtomically(path, *folder, &error, NativeFile::Sync::Full, permissions))
        m_prompts->error(m_host->hostWindow(),
                         QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(path)), error);
}

void TransferCommands::importQuillmarkFile()
{
    LinkItem *folder = m_host->shownFolder();
    if (!folder)
        return;
    const QString path = m_prompts->openFileName(m_host->hostWindow(), importDialogSettings());
    if (!path.isEmpty())
        importNativeFile(path, *folder);
    // Also after a cancel.
    setCountStatus();
}

void TransferCommands::importNativeFile(const QString &path, LinkItem &target)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompts->error(m_host->hostWindow(),
                         QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(path)), file.errorString());
        return;
    }

    // The file's top record is the folder that was exported. It is read into a scratch item, and only
    // its children move: the shown folder keeps its own name and fields (the root is never renamed).
    LinkItem scratch;
    ImportProgress progress(m_host->hostWindow(), m_progressDelay);
    const NativeFile::ReadResult result = NativeFile::read(
        file, scratch, false, [&progress](int folders, int links) { return progress.update(folders, links); });
    file.close();

    std::vector<std::unique_ptr<LinkItem>> children;
    children.reserve(static_cast<size_t>(scratch.Children.Count()));
    while (scratch.Children.Count() > 0)
        children.push_back(scratch.Children.TakeAt(scratch.Children.Count() - 1));
    std::reverse(children.begin(), children.end());
    target.Children.InsertSortedBatch(std::move(children), ItemList::BatchOrder::Ascending);

    m_host->refreshShownFolder();
    const QString counts = ImportProgress::countsText(result.folders, result.links);
    if (result.status == NativeFile::ReadResult::Cancelled) {
        reportCancelled(result.folders, result.links);
    } else if (result.status == NativeFile::ReadResult::OutOfMemory) {
        m_prompts->error(m_host->hostWindow(),
                         QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(path)), result.error);
    } else if (result.status == NativeFile::ReadResult::Damaged) {
        m_prompts->warning(m_host->hostWindow(),
                           QStringLiteral("The file %1 is damaged. %2 were imported from it.")
                               .arg(QDir::toNativeSeparators(path), counts),
                           result.error);
    }
}

void TransferCommands::importFavorites()
{
    LinkItem *target = m_host->shownFolder();
    if (!target)
        return;
    FavoritesFolderDialog form(m_host->hostWindow(), *m_prompts, platform::favoritesPath());
    form.setWindowTitle(QStringLiteral("Import Internet Explorer Favorites"));
    form.promptLabel()->setText(QStringLiteral("Select which folder you want to import from."));
    if (m_prompts->runImportForm(form) != FavoritesFolderDialog::Ok)
        return;
    const QString path = form.favoritesTree()->SelectedPath();
    if (path.isEmpty())
        return;

    ImportProgress progress(m_host->hostWindow(), m_progressDelay);
    const ImportReport report
        = FormatCommands::importFrom(BookmarkFormat::Favorites, path, *target,
                                     [&progress](int folders, int links) { return progress.update(folders, links); });
    m_host->refreshShownFolder();
    setCountStatus();
    if (report.status == ImportReport::Cancelled)
        reportCancelled(report.folders, report.links);
}
