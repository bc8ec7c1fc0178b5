#include "transfer/FormatMenuCommands.h"

#include "formats/FormatCommands.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "transfer/DialogPrompts.h"
#include "transfer/ImportProgress.h"
#include "transfer/TransferHost.h"

#include <QProgressDialog>

namespace {
QString countText(const LinkItem &folder)
{
    return QStringLiteral("%1 objects").arg(folder.Children.Count());
}
} // namespace

FormatMenuCommands::FormatMenuCommands(TransferHost *host, QObject *parent)
    : QObject(parent), m_host(host), m_dialogs(std::make_unique<DialogPrompts>()), m_prompts(m_dialogs.get()),
      m_progressDelay(ImportProgress::DefaultDelayMs)
{
}

FormatMenuCommands::~FormatMenuCommands() = default;

void FormatMenuCommands::setPrompts(Prompts *prompts)
{
    m_prompts = prompts ? prompts : m_dialogs.get();
}

void FormatMenuCommands::importFormat(BookmarkFormat format)
{
    LinkItem *folder = m_host->shownFolder();
    if (!folder)
        return;
    const BookmarkFormatInfo &info = BookmarkFormatInfo::of(format);
    const QString path = info.isDirectory
        ? m_prompts->existingDirectory(m_host->hostWindow(), info.importTitle)
        : m_prompts->openFileName(m_host->hostWindow(), {info.importTitle, info.filter, info.defaultSuffix});
    if (path.isEmpty()) {
        m_host->setStatusText(countText(*folder));
        return;
    }
    ImportProgress progress(m_host->hostWindow(), m_progressDelay);
    const ImportReport report = FormatCommands::importFrom(
        format, path, *folder, [&progress](int folders, int links) { return progress.update(folders, links); });
    m_host->refreshShownFolder();
    m_host->setStatusText(FormatCommands::importSummary(report));
    const QString problems = FormatCommands::importProblems(path, report);
    if (!problems.isEmpty())
        m_prompts->warning(m_host->hostWindow(), problems, QString());
}

void FormatMenuCommands::exportFormat(BookmarkFormat format)
{
    LinkItem *folder = m_host->shownFolder();
    if (!folder)
        return;
    const BookmarkFormatInfo &info = BookmarkFormatInfo::of(format);
    const QString path = info.isDirectory
        ? m_prompts->existingDirectory(m_host->hostWindow(), info.exportTitle)
        : m_prompts->saveFileName(m_host->hostWindow(), {info.exportTitle, info.filter, info.defaultSuffix});
    if (path.isEmpty())
        return;
    // Long exports show their progress like the imports do, with the folders and links written so far.
    ImportProgress progress(m_host->hostWindow(), m_progressDelay, ImportProgress::Direction::Export);
    const ExportReport report = FormatCommands::exportTo(
        format, path, *folder, [&progress](int folders, int links) { return progress.update(folders, links); });
    if (report.hasError())
        m_prompts->error(m_host->hostWindow(), QStringLiteral("Cannot create file %1").arg(path), report.errorString());
}
