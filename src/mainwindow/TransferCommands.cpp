#include "mainwindow/TransferCommands.h"

#include "mainwindow/CollectionView.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"

#include "formats/FormatCommands.h"
#include "platform/Background.h"
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
      m_dialogs(std::make_unique<DialogPrompts>()), m_prompts(m_dialogs.get()),
      m_read([](BookmarkFormat format, const QString &path, LinkItem &target, const Progress &progress) {
          return FormatCommands::importFrom(format, path, target, progress);
      })
{
}

TransferCommands::~TransferCommands()
{
    // A transfer under way stops at its next progress call; the collection stays until it has.
    m_work.cancel();
    m_work.waitForFinished();
}

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
    return form.favoritesTree()->selectedPath();
}

// What an import read on the pool: a folder of its own, outside the collection, and how the reading went.
struct TransferCommands::ImportRead
{
    std::unique_ptr<LinkItem> folder = LinkItem::MakeFolder(std::string_view());
    ImportReport report;
    bool ran = false; // false: cancelled before the pool began it
};

void TransferCommands::importFormat(BookmarkFormat format)
{
    LinkItem *folder = m_view->folder();
    if (!folder || isRunning())
        return;
    const QString path = importPath(format);
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
    startImport(format, path, folder);
}

void TransferCommands::startImport(BookmarkFormat format, const QString &path, LinkItem *folder)
{
    // The progress keeps every input from the windows until the read has been put in place, so that nothing can
    // delete the folder it fills (the sync brings its changes once the import has ended).
    m_progress = std::make_unique<TransferProgress>(m_parent, m_progressDelay);
    auto read = std::make_shared<ImportRead>();
    m_work = Background::run(
        [reader = m_read, format, path, read, counts = m_progress->counts()](QPromise<void> &promise) {
            read->ran = true;
            read->report = reader(format, path, *read->folder, TransferProgress::callback(counts, promise));
        });
    m_progress->follow(m_work);
    Background::whenDone(m_work, this, [this, format, path, folder, read](const QFuture<void> &) {
        if (!read->ran)
            read->report.cancel();
        applyImport(format, path, folder, *read);
    });
}

void TransferCommands::applyImport(BookmarkFormat format, const QString &path, LinkItem *folder, ImportRead &read)
{
    ImportReport &report = read.report;
    m_view->keepBackup();
    // The whole import is one step to undo; the view relists the folder it fills.
    m_document->aboutToAddChildren(folder);
    if (const std::optional<UrlKeyOptions> skip = TransferCommands::knownLinksToSkip()) {
        // The links the collection has never enter it.
        const LinkItem *root = folder;
        while (root->Parent)
            root = root->Parent;
        report.skipped = Duplicates::dropKnown(*read.folder, *root, UrlKey(*skip));
        report.links -= report.skipped;
    }
    FormatCommands::moveChildren(*read.folder, *folder);
    m_document->childrenAdded(folder);
    // The windows take input again before anything is told.
    m_progress.reset();

    // The native file and Favorites imports report in the count form; the other formats say what they added.
    const bool countStatus = format == BookmarkFormat::Native || format == BookmarkFormat::Favorites;
    if (format == BookmarkFormat::Native) {
        reportNativeImport(path, report);
    } else if (format == BookmarkFormat::Favorites) {
        if (report.status == ImportReport::Cancelled) {
            setCountStatus();
            reportCancelled(report.folders, report.links);
            emit finished();
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
    emit finished();
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
    if (!folder || isRunning())
        return;
    const QString path = exportPath(format, *folder);
    if (path.isEmpty())
        return;
    // Long exports show their progress like the imports do, with the folders and links written so far.
    m_progress = std::make_unique<TransferProgress>(m_parent, m_progressDelay, TransferProgress::Direction::Export);
    // The pool writes the live folder, not a copy (which would hold the window up at a million items): nothing
    // changes the collection while the progress lives. It drops every input to the windows until its modal dialog
    // takes them over, and the sync, the one change that comes by itself, waits for the long commands to end.
    auto written = std::make_shared<std::optional<ExportReport>>(); // none: cancelled before the pool began it
    m_work = Background::run([format, path, folder, written, counts = m_progress->counts()](QPromise<void> &promise) {
        *written = FormatCommands::exportTo(format, path, *folder, TransferProgress::callback(counts, promise));
    });
    m_progress->follow(m_work);
    Background::whenDone(m_work, this, [this, path, written](const QFuture<void> &) {
        m_progress.reset();
        ExportReport report;
        if (*written)
            report = **written;
        else
            report.cancel();
        if (report.hasError())
            MessageBoxes::standardError(
                m_parent,
                QCoreApplication::translate("TransferCommands", "Cannot create file %1").arg(nativePath(path)),
                report.errorString());
        emit finished();
    });
}
