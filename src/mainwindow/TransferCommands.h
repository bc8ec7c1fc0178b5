#pragma once

#include "formats/BookmarkFormat.h"
#include "formats/ImportReport.h"
#include "store/UrlKey.h"
#include "transfer/Prompts.h"
#include "transfer/TransferProgress.h"

#include <QFuture>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class DialogPrompts;
class LinkItem;
class CollectionDocument;
class CollectionView;
class QWidget;

// The File menu's Import and Export entries of every format, on the folder the main window shows: a
// file dialog with the format's title, filter and default extension (for Favorites: the Favorites
// chooser, or a folder chooser for the export), progress with Cancel for long runs, the shown folder
// relisted after an import, and what was added or skipped told to the user. The main window connects
// its menu entries to importFormat and exportFormat. The reading and writing run on the background pool; the
// command tells its end by finished().
class TransferCommands : public QObject
{
    Q_OBJECT
public:
    TransferCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);
    ~TransferCommands() override;

    // Replaces the dialogs and message boxes (not owned); null brings the real ones back.
    void setPrompts(Prompts *prompts);
    // Replaces the reading of an import (on the background pool: it must touch nothing but its arguments).
    using Reader = std::function<ImportReport(BookmarkFormat format, const QString &path, LinkItem &target,
                                              const Progress &progress)>;
    void setReader(Reader reader) { m_read = std::move(reader); }
    // How long an import or export runs before its progress dialog shows.
    void setProgressDelay(int milliseconds) { m_progressDelay = milliseconds; }

    static FileDialogSettings fileDialogSettings(BookmarkFormat format, bool save);
    // The name under which a file dialog remembers its folder, one per format and direction.
    static QString dialogName(BookmarkFormat format, bool save);
    // The file name an export suggests: "bookmarks.<extension>", for the printable page the folder's name;
    // none for our own files and for Favorites.
    static QString suggestedName(BookmarkFormat format, const LinkItem &folder);
    // How to compare addresses when imports leave out the links the collection has (a setting); none when
    // they keep all.
    static std::optional<UrlKeyOptions> knownLinksToSkip();
    // The status text's count form: the folder's number of children followed by " objects".
    static QString objectCount(const LinkItem &folder);

    // Adds what the chosen file (for Favorites: the folder picked in the chooser) holds to the shown folder.
    void importFormat(BookmarkFormat format);
    // Writes the shown folder with everything below it to the chosen file (for Favorites: folder).
    void exportFormat(BookmarkFormat format);
    // An import or export is under way (a command while one runs does nothing).
    bool isRunning() const { return m_progress != nullptr; }

signals:
    // An import or export that was started has ended and told what it did.
    void finished();

private:
    struct ImportRead;
    void startImport(BookmarkFormat format, const QString &path, LinkItem *folder);
    void applyImport(BookmarkFormat format, const QString &path, LinkItem *folder, ImportRead &read);
    QString importPath(BookmarkFormat format);
    QString exportPath(BookmarkFormat format, const LinkItem &folder);
    void reportNativeImport(const QString &path, const ImportReport &report);
    void reportCancelled(int folders, int links);
    void setCountStatus();

    CollectionDocument *m_document;
    CollectionView *m_view;
    QWidget *m_parent;
    std::unique_ptr<DialogPrompts> m_dialogs;
    Prompts *m_prompts;
    Reader m_read;
    int m_progressDelay = TransferProgress::DefaultDelayMs;
    // The transfer under way: its progress (which holds the other commands back) and its work on the pool.
    std::unique_ptr<TransferProgress> m_progress;
    QFuture<void> m_work;
};
