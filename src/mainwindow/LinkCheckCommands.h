#pragma once

#include "linkcheck/LinkCheckResult.h"
#include "linkcheck/LinkCheckStore.h"
#include "linkcheck/LinkChecker.h"

#include <QFuture>
#include <QObject>

#include <memory>
#include <vector>

class CollectionDocument;
class CollectionView;
class LinkCheckPanel;
class LinkItem;
class QAction;
class QWidget;

// Check Links: checks the links below the shown folder, the selected entries or the listed results over
// the network, shows how far it has come in a panel beside the window, and lists what it found in the
// link list as search results are listed. Each link's last outcome is kept in a side file beside the data
// file, marks broken links in the list, and can be listed again without checking again. The commands' actions
// are its own; the window puts them into its menus.
class LinkCheckCommands : public QObject
{
    Q_OBJECT
public:
    LinkCheckCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);
    ~LinkCheckCommands() override;

    QAction *checkLinksAction() const { return m_checkLinks; }
    QAction *resultsAction() const { return m_results; }
    QAction *updateAddressAction() const { return m_updateAddress; }
    QAction *updateAllAddressesAction() const { return m_updateAll; }
    QAction *deleteBrokenAction() const { return m_deleteBroken; }
    QAction *recheckAction() const { return m_recheck; }
    LinkCheckPanel *panel() const { return m_panel; }

    // Checks the selected entries, the listed results, or every link below the shown folder.
    void checkLinks();
    // Checks these links (folders: every link below them).
    void check(const std::vector<LinkItem *> &entries);
    bool isChecking() const { return m_checker != nullptr; }
    // Stops a check at once; what was found stays.
    void cancel();
    // Lists the links with a kept outcome other than OK (with OK too when the panel asks for it).
    void showResults();
    bool showsResults() const;
    // Gives the moved links among the selected results (all listed ones: every moved link listed) their
    // new address, as one step to undo.
    void updateToNewAddress(bool all);
    // Deletes the selected results that are broken, as one step to undo.
    void deleteBrokenLinks();

    // The last outcome kept for the link's address; none when it was never checked (or while the side file
    // is still being read).
    const LinkCheckResult *resultFor(const LinkItem *link) const;
    // The outcomes, once the side file has been read (waiting for it if need be).
    LinkCheckStore &store()
    {
        finishLoading();
        return m_store;
    }
    // Whether the side file is still being read (on the background pool: it may be large).
    bool isLoading() const { return m_loadingFile; }
    // How checks are made from now on (the tests shorten the timeout).
    void setOptions(const LinkChecker::Options &options) { m_options = options; }
    // How long a site may take to answer (the setting).
    void setTimeoutSeconds(int seconds) { m_options.timeoutMs = seconds * 1000; }
    const LinkChecker::Options &options() const { return m_options; }

signals:
    // A check ended, finished or cancelled; its outcomes are kept.
    void checkFinished();
    // The side file has been read.
    void loaded();
    // The finding of the single selected result: its folder's path and what the check found there.
    void findingShown(const QString &location, const QString &note);

private:
    // Takes the outcomes read from the side file, waiting for them if need be.
    void finishLoading();
    // Stops reading the side file (the program ends): no outcomes come, and none are kept over the file.
    void stopLoading();
    void linkChecked(int index, const LinkCheckResult &result);
    void checkEnded();
    void forget(const LinkItem *item);
    void saveStore();
    void showSelectedDetail();
    // Shows the selected result's finding again when it is among these.
    void findingsChanged(const QStringList &urls);
    void updateActions();
    std::vector<LinkItem *> listedLinks(LinkCheckResult::Outcome outcome, bool selectedOnly) const;

    CollectionDocument *m_document;
    CollectionView *m_view;
    QWidget *m_parent;
    LinkCheckStore m_store;
    QFuture<LinkCheckStore::Results> m_loading;
    bool m_loadingFile = false;
    bool m_loadStopped = false;
    QString m_storePath;
    LinkChecker::Options m_options;
    std::unique_ptr<LinkChecker> m_checker;
    std::vector<LinkItem *> m_targets; // by the checker's numbers; none for a link deleted meanwhile
    LinkCheckPanel *m_panel;
    bool m_showingResults = false;
    bool m_cancelled = false;
    bool m_quitting = false;
    QAction *m_checkLinks;
    QAction *m_results;
    QAction *m_updateAddress;
    QAction *m_updateAll;
    QAction *m_deleteBroken;
    QAction *m_recheck;
};
