#pragma once

#include "formats/BrowserProfiles.h"
#include "transfer/ProfileReads.h"
#include "transfer/TransferProgress.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class BrowserImportDialog;
class DialogPrompts;
class Prompts;
class CollectionDocument;
class CollectionView;
class LinkItem;
class QWidget;

// File > Import > From Browser...: the browser profiles found, with their counts, in a dialog that opens at
// once and fills in the counts as the pool reads them; the chosen one is read on the background pool, with progress and
// Cancel, and added to the shown folder as one new folder named
// after the browser and the profile ("Firefox (default-release)"), one step to undo. A profile that
// cannot be read adds nothing and says which file it is.
class BrowserImportCommands : public QObject
{
    Q_OBJECT
public:
    using Finder = std::function<QList<BrowserProfile>()>;
    // Acts on the dialog instead of the user; its result is the dialog's modal result.
    using Chooser = std::function<int(BrowserImportDialog &)>;

    BrowserImportCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);
    ~BrowserImportCommands() override;

    // Replace the profile search (the user's home) and the modal dialog.
    void setFinder(Finder finder) { m_find = std::move(finder); }
    void setChooser(Chooser chooser) { m_choose = std::move(chooser); }
    // Replaces the reading of a profile (on the background pool: it must touch nothing but its arguments).
    void setReader(ProfileReads::Reader reader) { m_read = std::move(reader); }
    // Replaces the message boxes (not owned); null brings the real ones back.
    void setPrompts(Prompts *prompts);
    void setProgressDelay(int milliseconds) { m_progressDelay = milliseconds; }

    void importFromBrowser();
    // Reads profile on the pool and adds it to the shown folder; finished() tells the end.
    void importProfile(const BrowserProfile &profile);
    // An import is under way (another one asked for meanwhile does nothing).
    bool isRunning() const { return m_progress != nullptr; }

signals:
    // The import that importProfile started has ended; imported is false when nothing was added.
    void finished(bool imported);

private:
    // Puts what was read into target, one step to undo.
    void add(LinkItem *target, ProfileReads::Read &read);
    // Says what the import added, or why it added nothing.
    void tell(const BrowserProfile &profile, const ImportReport &report);

    CollectionDocument *m_document;
    CollectionView *m_view;
    QWidget *m_parent;
    std::unique_ptr<DialogPrompts> m_dialogs;
    Prompts *m_prompts;
    Finder m_find;
    Chooser m_choose;
    ProfileReads::Reader m_read;
    int m_progressDelay = TransferProgress::DefaultDelayMs;
    // The import under way: its progress (which holds the other commands back) and its read, waited for when the
    // commands go.
    std::unique_ptr<TransferProgress> m_progress;
    QFuture<void> m_reading;
};
