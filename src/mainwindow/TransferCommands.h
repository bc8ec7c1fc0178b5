#pragma once

#include "formats/BookmarkFormat.h"
#include "store/UrlKey.h"
#include "transfer/Prompts.h"
#include "transfer/TransferProgress.h"

#include <QObject>

#include <memory>
#include <optional>

class DialogPrompts;
class LinkItem;
class CollectionDocument;
class CollectionView;
class QWidget;
struct ImportReport;

// The File menu's Import and Export entries of every format, on the folder the main window shows: a
// file dialog with the format's title, filter and default extension (for Favorites: the Favorites
// chooser, or a folder chooser for the export), progress with Cancel for long runs, the shown folder
// relisted after an import, and what was added or skipped told to the user. The main window connects
// its menu entries to importFormat and exportFormat.
class TransferCommands : public QObject
{
    Q_OBJECT
public:
    TransferCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);
    ~TransferCommands() override;

    // Replaces the dialogs and message boxes (not owned); null brings the real ones back.
    void setPrompts(Prompts *prompts);
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

private:
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
    int m_progressDelay = TransferProgress::DefaultDelayMs;
};
