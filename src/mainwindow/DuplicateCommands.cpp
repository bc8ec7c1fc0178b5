#include "mainwindow/DuplicateCommands.h"

#include "mainwindow/CollectionView.h"
#include "mainwindow/DuplicatesDialog.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/RestoreCommands.h"
#include "mainwindow/UpdatesGuard.h"
#include "settings/Settings.h"
#include "store/CollectionDocument.h"
#include "store/DuplicateSearch.h"
#include "store/Duplicates.h"
#include "store/FolderMerge.h"
#include "store/ItemPath.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/MessageBoxes.h"

#include <QDeadlineTimer>
#include <QShortcut>

#include <algorithm>
#include <unordered_set>

DuplicateCommands::DuplicateCommands(CollectionDocument *document, CollectionView *view, QWidget *parent)
    : QObject(parent), m_document(document), m_view(view), m_parent(parent),
      m_cancelKey(new QShortcut(QKeySequence(Qt::Key_Escape), parent))
{
    // A zero timer comes round once the events waiting have been handled.
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, [this] { findSlice(m_sliceMs); });
    m_cancelKey->setEnabled(false);
    connect(m_cancelKey, &QShortcut::activated, this, [this] {
        cancelFinding();
        m_view->updateStatusText();
    });

    LinkListModel *model = view->model();
    // Anything else the list shows ends the listing of duplicates.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (!m_filling) {
            cancelFinding();
            leave();
        }
    });
    // A sort orders the links inside each group; the groups stay one after another.
    connect(model, &QAbstractItemModel::layoutChanged, this, [this] {
        if (m_showing && !m_filling)
            QTimer::singleShot(0, this, &DuplicateCommands::fillList);
    });
    connect(document, &CollectionDocument::itemAboutToBeRemoved, this, [this](LinkItem *item) { forget({item}); });
    connect(document, &CollectionDocument::itemsAboutToBeRemoved, this, &DuplicateCommands::forget);
    // The search reads the tree and the URLs between its slices.
    connect(document, &CollectionDocument::itemInserted, this, &DuplicateCommands::restartFinding);
    connect(document, &CollectionDocument::childrenInserted, this, &DuplicateCommands::restartFinding);
    connect(document, &CollectionDocument::itemRemoved, this, &DuplicateCommands::restartFinding);
    connect(document, &CollectionDocument::itemMoved, this, &DuplicateCommands::restartFinding);
    connect(document, &CollectionDocument::itemChanged, this, [this](LinkItem *, CollectionDocument::Fields fields) {
        if (fields & CollectionDocument::Field::Url)
            restartFinding();
    });
    connect(view, &CollectionView::selectionChanged, this, [this] {
        showPlaces();
        emit stateChanged();
    });
}

DuplicateCommands::~DuplicateCommands() = default;

void DuplicateCommands::setSliceMs(int sliceMs, int firstSliceMs)
{
    m_sliceMs = sliceMs;
    m_firstSliceMs = firstSliceMs;
}

UrlKeyOptions DuplicateCommands::rememberedOptions() const
{
    Settings settings;
    return {settings.GetIgnoreFragment(), settings.GetIgnoreTracking(), settings.GetIgnoreSchemeAndWww()};
}

void DuplicateCommands::findDuplicates()
{
    LinkItem *root = m_document->root();
    if (!root)
        return;
    LinkItem *folder = m_view->folder();
    if (!folder)
        folder = root;
    DuplicatesDialog dialog(TextCodec::toDisplay(folder->Name), m_parent);
    dialog.setOptions(rememberedOptions());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const UrlKeyOptions options = dialog.options();
    Settings settings;
    settings.BeginUpdate();
    settings.SetIgnoreFragment(options.ignoreFragment);
    settings.SetIgnoreTracking(options.ignoreTracking);
    settings.SetIgnoreSchemeAndWww(options.ignoreSchemeAndWww);
    settings.EndUpdate();
    showDuplicates(dialog.belowFolder() ? folder : root, options);
}

void DuplicateCommands::showDuplicates(LinkItem *folder, UrlKeyOptions options)
{
    m_scope = folder;
    m_options = options;
    startFinding(Listing::Fresh);
}

void DuplicateCommands::startFinding(Listing listing)
{
    cancelFinding();
    if (!m_scope)
        return;
    m_listing = listing;
    m_finding = true;
    m_cancelKey->setEnabled(true);
    findSlice(m_firstSliceMs);
}

void DuplicateCommands::cancelFinding()
{
    m_slices.stop();
    m_search.reset();
    m_finding = false;
    m_cancelKey->setEnabled(false);
}

void DuplicateCommands::restartFinding()
{
    // What was read may be gone or changed: read it again.
    if (m_finding)
        m_search.reset();
}

void DuplicateCommands::findSlice(int sliceMs)
{
    if (!m_search)
        m_search = std::make_unique<DuplicateSearch>(m_scope, UrlKey(m_options));
    if (!m_search->step(QDeadlineTimer(sliceMs, Qt::PreciseTimer))) {
        if (m_search->reading())
            m_view->setStatusText(tr("Looking for duplicates... %1 links read").arg(m_search->linksRead()));
        else
            m_view->setStatusText(
                tr("Comparing %1 links... %2%").arg(m_search->linksRead()).arg(m_search->percentCompared()));
        m_slices.start();
        return;
    }
    std::vector<std::vector<LinkItem *>> groups;
    for (Duplicates::Group &group : m_search->takeGroups())
        groups.push_back(std::move(group.links));
    cancelFinding();
    listFound(std::move(groups));
}

void DuplicateCommands::listFound(std::vector<std::vector<LinkItem *>> groups)
{
    if (m_listing == Listing::Fresh && groups.empty()) {
        // Whatever the list shows stays, with its groups.
        MessageBoxes::information(m_parent, QStringLiteral("Quillmark"),
                                  tr("There are no duplicate links in '%1'.").arg(TextCodec::toDisplay(m_scope->Name)));
        return;
    }
    m_groups = std::move(groups);
    if (m_groups.empty()) {
        // None left after a clean-up: back to the shown folder.
        m_showing = false;
        emit placesChanged({});
        if (m_view->folder())
            m_view->showFolderAgain();
        emit stateChanged();
    } else {
        m_showing = false; // a fresh listing, not a sort
        fillList();
    }
    if (m_listing == Listing::Again)
        m_view->setStatusText(m_doneText);
}

void DuplicateCommands::fillList()
{
    m_groupOf.clear();
    std::vector<LinkItem *> rows;
    for (size_t i = 0; i < m_groups.size(); ++i) {
        for (LinkItem *link : m_groups[i]) {
            m_groupOf[link] = i;
            rows.push_back(link);
        }
    }
    LinkListModel *model = m_view->model();
    if (m_showing) {
        // Back from a sort: the rows as sorted, each group's together in the order of the groups.
        std::vector<LinkItem *> sorted;
        for (int row = 0; row < model->rowCount(); ++row)
            sorted.push_back(model->itemAt(row));
        std::stable_sort(sorted.begin(), sorted.end(),
                         [this](const LinkItem *a, const LinkItem *b) { return m_groupOf[a] < m_groupOf[b]; });
        if (sorted.size() == rows.size())
            rows = std::move(sorted);
    }
    const std::vector<LinkItem *> selected = m_view->selectedItems();
    m_filling = true;
    {
        UpdatesGuard guard(m_parent);
        m_view->showResults(CollectionView::Listing::Duplicates, rows);
    }
    m_filling = false;
    m_showing = true;
    ++m_listings;
    if (selected.size() == 1 && model->rowOf(selected.front()) >= 0)
        m_view->select(selected);
    showPlaces();
    m_view->setStatusText(tr("%1 links in %2 groups of duplicates").arg(model->rowCount()).arg(m_groups.size()));
    emit stateChanged();
}

void DuplicateCommands::leave()
{
    if (!m_showing)
        return;
    m_showing = false;
    m_groups.clear();
    m_groupOf.clear();
    emit placesChanged({});
    emit stateChanged();
}

void DuplicateCommands::forget(const std::vector<LinkItem *> &items)
{
    if (!m_showing && !m_finding)
        return;
    restartFinding();
    const std::unordered_set<const LinkItem *> doomed(items.begin(), items.end());
    const auto goes = [&doomed](const LinkItem *item) {
        for (const LinkItem *walk = item; walk; walk = walk->Parent) {
            if (doomed.contains(walk))
                return true;
        }
        return false;
    };
    if (goes(m_scope))
        m_scope = m_document->root();
    if (!m_showing)
        return;
    for (auto &group : m_groups)
        std::erase_if(group, goes);
    std::erase_if(m_groups, [](const std::vector<LinkItem *> &group) { return group.size() < 2; });
    m_groupOf.clear();
    for (size_t i = 0; i < m_groups.size(); ++i) {
        for (const LinkItem *link : m_groups[i])
            m_groupOf[link] = i;
    }
    // The list lets go of the rows itself; the rest of a group that lost all but one goes at the next listing,
    // unless the groups were listed again meanwhile (a clean-up finds them again, and says what it did).
    QTimer::singleShot(0, this, [this, listing = m_listings] {
        if (m_showing && listing == m_listings)
            fillList();
    });
}

void DuplicateCommands::refind(const QString &doneText)
{
    m_doneText = doneText;
    startFinding(Listing::Again);
}

void DuplicateCommands::showPlaces()
{
    if (!m_showing)
        return;
    const std::vector<LinkItem *> selected = m_view->selectedItems();
    const auto found = selected.size() == 1 ? m_groupOf.find(selected.front()) : m_groupOf.end();
    if (found == m_groupOf.end()) {
        emit placesChanged({});
        return;
    }
    QStringList places;
    for (const LinkItem *link : m_groups[found->second])
        places << ItemPath::locationOf(link);
    emit placesChanged(places);
}

bool DuplicateCommands::canKeepSelected() const
{
    if (!m_showing || m_view->selectedCount() != 1)
        return false;
    return m_groupOf.contains(m_view->selectedItems().front());
}

void DuplicateCommands::keepSelected()
{
    const std::vector<LinkItem *> selected = m_view->selectedItems();
    if (!m_showing || selected.size() != 1 || !m_groupOf.contains(selected.front()))
        return;
    LinkItem *kept = selected.front();
    std::vector<LinkItem *> others;
    for (LinkItem *link : m_groups[m_groupOf[kept]]) {
        if (link != kept)
            others.push_back(link);
    }
    m_filling = true;
    m_document->beginCommand(QStringLiteral("Keep Selected"));
    m_document->removeItems(others);
    m_document->endCommand();
    m_filling = false;
    refind(tr("%1 duplicate links deleted").arg(others.size()));
}

void DuplicateCommands::cleanUpAll()
{
    if (!m_showing || m_groups.empty())
        return;
    int count = 0;
    for (const auto &group : m_groups)
        count += static_cast<int>(group.size()) - 1;
    if (!MessageBoxes::question(m_parent, QStringLiteral("Quillmark"),
                                tr("Are you sure you want to delete %1 duplicate links?").arg(count)))
        return;
    if (count > RestoreCommands::LargeRemoval)
        m_view->keepBackup();
    {
        // The list is relisted below: emptying it first spares removing its rows one by one.
        UpdatesGuard guard(m_parent);
        m_filling = true;
        m_view->clearList();
        CollectionDocument *document = m_document;
        document->beginCommand(QStringLiteral("Clean Up Duplicates"));
        document->removeItems(Duplicates::cleanUp(*document, m_groups));
        document->endCommand();
        m_filling = false;
    }
    refind(tr("%1 duplicate links deleted").arg(count));
}

void DuplicateCommands::mergeDuplicateFolders()
{
    LinkItem *folder = m_view->folder();
    if (!folder)
        return;
    const FolderMergePlan plan = FolderMergePlan::of(folder, UrlKey(rememberedOptions()));
    if (plan.empty()) {
        MessageBoxes::information(
            m_parent, QStringLiteral("Quillmark"),
            tr("There are no duplicate folders in '%1'.").arg(TextCodec::toDisplay(folder->Name)));
        return;
    }
    if (!MessageBoxes::question(m_parent, QStringLiteral("Quillmark"),
                                tr("Are you sure you want to merge %1 folders into folders of the same name? "
                                   "%2 identical links in them will be deleted.")
                                    .arg(plan.folderCount())
                                    .arg(plan.linkCount())))
        return;
    if (plan.folderCount() + plan.linkCount() > RestoreCommands::LargeRemoval)
        m_view->keepBackup();
    {
        UpdatesGuard guard(m_parent);
        m_view->clearList();
        m_document->beginCommand(QStringLiteral("Merge Duplicate Folders"));
        ApplyFolderMerge(*m_document, plan);
        m_document->endCommand();
    }
    if (m_view->folder())
        m_view->showFolderAgain();
    m_view->setStatusText(
        tr("%1 folders merged, %2 identical links deleted").arg(plan.folderCount()).arg(plan.linkCount()));
}
