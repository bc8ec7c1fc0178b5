#pragma once

#include "store/UrlKey.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <unordered_map>
#include <vector>

class CollectionDocument;
class CollectionView;
class DuplicateSearch;
class LinkItem;
class QShortcut;
class QWidget;

// Find Duplicates, its two clean-up commands and Merge Duplicate Folders. The groups of duplicates are listed
// in the link list like search results, one group after another, and every place of the selected link's group
// is told (placesChanged) for the description pane.
//
// The duplicates are sought a slice at a time between events, with the progress in the status bar; the first
// slice runs at once, and a small collection is done in it. A change of the collection starts the search
// over; Esc, or anything else the list comes to show, drops it, and nothing of it is listed afterwards.
class DuplicateCommands : public QObject
{
    Q_OBJECT
public:
    DuplicateCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);
    ~DuplicateCommands() override;

    // "Find Duplicates...": the options, then the groups.
    void findDuplicates();
    // Looks for duplicates below folder (the root for the whole collection) and lists them once found.
    void showDuplicates(LinkItem *folder, UrlKeyOptions options);
    // Deletes the other links of the selected link's group.
    void keepSelected();
    // "Clean Up All": one link of each group stays, after a question.
    void cleanUpAll();
    void mergeDuplicateFolders();

    // Whether the list shows the groups of duplicates.
    bool showsDuplicates() const { return m_showing; }
    const std::vector<std::vector<LinkItem *>> &groups() const { return m_groups; }
    // Whether Keep Selected and Clean Up All can work now: a link of a listed group is selected alone; groups
    // are listed. stateChanged tells when either may have changed.
    bool canKeepSelected() const;
    bool canCleanUp() const { return m_showing && !m_groups.empty(); }
    // Whether duplicates are being sought.
    bool isFinding() const { return m_finding; }
    // Drops the search under way: nothing of it is listed.
    void cancelFinding();
    // How long a slice may take; the first one may take longer.
    void setSliceMs(int sliceMs, int firstSliceMs);

signals:
    void stateChanged();
    // The folders of the selected link's group, one for each of its links; none when no link of a group is
    // selected alone.
    void placesChanged(const QStringList &places);

private:
    // A search that lists what it finds in place of the list (Fresh), or the same search again after a
    // clean-up, in place of the groups listed (Again).
    enum class Listing { Fresh, Again };

    void startFinding(Listing listing);
    void findSlice(int sliceMs);
    // The collection changed under the search: it starts over at the next slice.
    void restartFinding();
    void listFound(std::vector<std::vector<LinkItem *>> groups);
    void fillList();
    // The list shows something else now.
    void leave();
    void forget(const std::vector<LinkItem *> &items);
    // Lists the groups again after a clean-up, then shows what the clean-up did in the status bar.
    void refind(const QString &doneText);
    void showPlaces();
    UrlKeyOptions rememberedOptions() const;

    CollectionDocument *m_document;
    CollectionView *m_view;
    QWidget *m_parent;
    std::vector<std::vector<LinkItem *>> m_groups;
    std::unordered_map<const LinkItem *, size_t> m_groupOf;
    LinkItem *m_scope = nullptr;
    UrlKeyOptions m_options;
    std::unique_ptr<DuplicateSearch> m_search;
    QTimer m_slices;
    QShortcut *m_cancelKey;
    Listing m_listing = Listing::Fresh;
    QString m_doneText; // the clean-up's status text, once the groups are listed again
    int m_listings = 0; // how often the groups were listed
    int m_sliceMs = 20;
    int m_firstSliceMs = 30;
    bool m_finding = false;
    bool m_showing = false;
    bool m_filling = false;
};
