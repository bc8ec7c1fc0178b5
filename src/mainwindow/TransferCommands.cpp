#include "mainwindow/TransferCommands.h"

#include "mainwindow/CollectionView.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"

#include "formats/FormatCommands.h"
#include "platform/Paths.h"
#include "store/Duplicates.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "transfer/DialogFolders.h"
#include "transfer/DialogPrompts.h"
#include "transfer/FavoritesFolderDialog.h"
#include "transfer/FavoritesTree.h"
#include "widgets/MessageBoxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>

namespace {
QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

TransferCommands::TransferCommands(CollectionDocument *document, CollectionView *view, QWidget *parent)
    : QObject(parent), m_document(document), m_view(view), m_parent(parent),
      m_dialogs(std::make_unique<DialogPrompts>()), m_prompts(m_dialogs.get())
{
}

TransferCommands::~TransferCommands() = default;

void TransferCommands::setPrompts(Prompts *prompts)
{
    m_prompts = prompts ? prompts : m_dialogs.get();
}

FileDialogSettings TransferCommands::fileDialogSettings(BookmarkFormat format, bool save)
{
    const BookmarkFormatInfo &info = BookmarkFormatInfo::of(format);
    FileDialogSettings settings;
    settings.title = save ? info.exportTitle : info.importTitle;
    settings.filter = info.filter;
    settings.defaultSuffix = info.defaultSuffix;
    return settings;
}

QString TransferCommands::dialogName(BookmarkFormat format, bool save)
{
    return (save ? QStringLiteral("Export ") : QStringLiteral("Import ")) + BookmarkFormatInfo::of(format).toolName;
}

QString TransferCommands::suggestedName(BookmarkFormat format, const LinkItem &folder)
{
    const BookmarkFormatInfo &info = BookmarkFormatInfo::of(format);
    if (format == BookmarkFormat::Native || info.isDirectory || info.defaultSuffix.isEmpty())
        return QString();
    QString base = QStringLiteral("bookmarks");
    if (format == BookmarkFormat::Page) {
        // Characters that no file name may hold here become underscores; a name of dots alone is none.
        QString name = TextCodec::toDisplay(folder.Name).trimmed();
        name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
        name.remove(QChar(0));
        if (!name.isEmpty() && name != QLatin1String(".") && name != QLatin1String(".."))
            base = name;
    }
    return base + QLatin1Char('.') + info.defaultSuffix;
}

std::optional<UrlKeyOptions> TransferCommands::knownLinksToSkip()
{
    Settings settings;
    if (!settings.GetSkipKnownLinks())
        return std::nullopt;
    return UrlKeyOptions {settings.GetIgnoreFragment(), settings.GetIgnoreTracking(), settings.GetIgnoreSchemeAndWww()};
}

QString TransferCommands::objectCount(const LinkItem &folder)
{
    return QCoreApplication::translate("TransferCommands", "%1 objects").arg(folder.Children.Count());
}

void TransferCommands::setCountStatus()
{
    if (const LinkItem *folder = m_view->folder())
        m_view->setStatusText(objectCount(*folder));
}

void TransferCommands::reportCancelled(int folders, int links)
{
    MessageBoxes::information(
        m_parent, QString(),
        QCoreApplication::translate("TransferCommands", "The import was cancelled. %1 were imported.")
            .arg(TransferProgress::countsText(folders, links)),
        QString());
}

QString TransferCommands::importPath(BookmarkFormat format)
{
    if (format != BookmarkFormat::Favorites) {
        FileDialogSettings settings = fileDialogSettings(format, false);
        settings.folder = DialogFolders::startFolder(dialogName(format, false));
        const QString path = m_prompts->openFileName(m_parent, settings);
        DialogFolders::remember(dialogName(format, false), path, false);
        return path;
    }
    FavoritesFolderDialog form(m_parent, *m_prompts, platform::favoritesPath());
    form.setWindowTitle(BookmarkFormatInfo::of(format).importTitle);
    form.promptLabel()->setText(
        QCoreApplication::translate("TransferCommands", "Select which folder you want to import from."));
    if (m_prompts->runImportForm(form) != FavoritesFolderDialog::Ok)
        return QString();
    return form.favoritesTree()->SelectedPath();
}

void TransferCommands::importFormat(BookmarkFormat format)
{
    LinkItem *folder = m_view->folder();
    if (!folder)
        return;
    const QString path = importPath(format);
    // The native file and Favorites imports report in the count form; the other formats say what they added.
    const bool countStatus = format == BookmarkFormat::Native || format == BookmarkFormat::Favorites;
    if (path.isEmpty()) {
        if (format != BookmarkFormat::Favorites)
            setCountStatus(); // also after a cancel
        return;
    }
    if (format == BookmarkFormat::Native) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            MessageBoxes::standardError(
                m_parent, QCoreApplication::translate("TransferCommands", "Cannot open file %1").arg(nativePath(path)),
                file.errorString());
            setCountStatus();
            return;
        }
    }

    m_view->keepBackup();
    TransferProgress progress(m_parent, m_progressDelay);
    // The whole import is one step to undo; the view relists the folder it fills.
    m_document->aboutToAddChildren(folder);
    ImportReport report;
    if (const std::optional<UrlKeyOptions> skip = TransferCommands::knownLinksToSkip()) {
        // Read aside first, so that the links the collection has never enter it.
        auto read = LinkItem::MakeFolder(std::string_view());
        report = FormatCommands::importFrom(format, path, *read, progress.callback());
        const LinkItem *root = folder;
        while (root->Parent)
            root = root->Parent;
        report.skipped = Duplicates::dropKnown(*read, *root, UrlKey(*skip));
        report.links -= report.skipped;
        FormatCommands::moveChildren(*read, *folder);
    } else {
        report = FormatCommands::importFrom(format, path, *folder, progress.callback());
    }
    m_document->childrenAdded(folder);
    if (format == BookmarkFormat::Native) {
        reportNativeImport(path, report);
    } else if (format == BookmarkFormat::Favorites) {
        if (report.status == ImportReport::Cancelled) {
            setCountStatus();
            reportCancelled(report.folders, report.links);
            return;
        }
    } else {
        m_view->setStatusText(FormatCommands::importSummary(report));
        const QString problems = FormatCommands::importProblems(path, report);
        if (!problems.isEmpty())
            MessageBoxes::warning(m_parent, QString(), problems, QString());
    }
    if (countStatus)
        setCountStatus();
    if (report.skipped > 0 && countStatus)
        m_view->setStatusText(FormatCommands::importSummary(report));
}

void TransferCommands::reportNativeImport(const QString &path, const ImportReport &report)
{
    switch (report.status) {
    case ImportReport::Complete:
        break;
    case ImportReport::Cancelled:
        reportCancelled(report.folders, report.links);
        break;
    case ImportReport::Unreadable: // what the file describes does not fit in memory
        MessageBoxes::standardError(
            m_parent, QCoreApplication::translate("TransferCommands", "Cannot open file %1").arg(nativePath(path)),
            report.errorString());
        break;
    case ImportReport::Damaged:
        MessageBoxes::warning(
            m_parent, QString(),
            QCoreApplication::translate("TransferCommands", "The file %1 is damaged. %2 were imported from it.")
                .arg(nativePath(path), TransferProgress::countsText(report.folders, report.links)),
            report.errorString());
        break;
    }
}

QString TransferCommands::exportPath(BookmarkFormat format, const LinkItem &folder)
{
    const QString dialog = dialogName(format, true);
    const QString start = DialogFolders::startFolder(dialog);
    const bool toFolder = BookmarkFormatInfo::of(format).isDirectory;
    QString path;
    if (toFolder) {
        path = m_prompts->existingDirectoryIn(m_parent, BookmarkFormatInfo::of(format).exportTitle, start);
    } else {
        FileDialogSettings settings = fileDialogSettings(format, true);
        settings.folder = start;
        settings.suggestedName = suggestedName(format, folder);
        path = m_prompts->saveFileName(m_parent, settings);
    }
    DialogFolders::remember(dialog, path, toFolder);
    return path;
}

void TransferCommands::exportFormat(BookmarkFormat format)
{
    const LinkItem *folder = m_view->folder();
    if (!folder)
        return;
    const QString path = exportPath(format, *folder);
    if (path.isEmpty())
        return;
    // Long exports show their progress like the imports do, with the folders and links written so far.
    TransferProgress progress(m_parent, m_progressDelay, TransferProgress::Direction::Export);
    const ExportReport report = FormatCommands::exportTo(format, path, *folder, progress.callback());
    if (report.hasError())
        MessageBoxes::standardError(
            m_parent, QCoreApplication::translate("TransferCommands", "Cannot create file %1").arg(nativePath(path)),
            report.errorString());
}
