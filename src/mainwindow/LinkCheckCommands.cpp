#include "mainwindow/LinkCheckCommands.h"

#include "mainwindow/CollectionView.h"
#include "mainwindow/LinkCheckMark.h"
#include "mainwindow/LinkCheckPanel.h"
#include "mainwindow/LinkListModel.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/UpdatesGuard.h"
#include "platform/Background.h"
#include "store/CollectionDocument.h"
#include "store/ItemPath.h"
#include "store/LinkItem.h"
#include "store/Repository.h"
#include "store/TextCodec.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QCoreApplication>

#include <unordered_set>

namespace {
// The order in which the results are listed: the ones to act on first.
constexpr LinkCheckResult::Outcome ListedOrder[]
    = {LinkCheckResult::Broken,     LinkCheckResult::Moved,      LinkCheckResult::Unreachable,
       LinkCheckResult::NotChecked, LinkCheckResult::Redirected, LinkCheckResult::Ok};

// Every link at or below the entries, each once, in tree order.
std::vector<LinkItem *> linksOf(const std::vector<LinkItem *> &entries)
{
    std::vector<LinkItem *> links;
    std::unordered_set<const LinkItem *> seen;
    std::vector<LinkItem *> pending(entries.rbegin(), entries.rend());
    while (!pending.empty()) {
        LinkItem *item = pending.back();
        pending.pop_back();
        if (!item || !seen.insert(item).second)
            continue;
        if (!item->isFolder()) {
            links.push_back(item);
            continue;
        }
        for (auto child = item->Children.end(); child != item->Children.begin();) {
            --child;
            pending.push_back(child->get());
        }
    }
    return links;
}

bool inside(const LinkItem *item, const LinkItem *ancestor)
{
    for (; item; item = item->Parent) {
        if (item == ancestor)
            return true;
    }
    return false;
}

QString urlOf(const LinkItem *link)
{
    return TextCodec::toDisplay(link->Url);
}
} // namespace

LinkCheckCommands::LinkCheckCommands(CollectionDocument *document, CollectionView *view, QWidget *parent)
    : QObject(parent), m_document(document), m_view(view), m_parent(parent),
      m_storePath(LinkCheckStore::pathFor(Repository::DataFile()))
{
    // Read on the background pool: a large side file must not hold up the start. One that cannot be read only
    // means no outcomes yet.
    m_loadingFile = true;
    m_loading = Background::run([path = m_storePath](QPromise<LinkCheckStore::Results> &promise) {
        LinkCheckStore store;
        store.load(path, [&promise] { return promise.isCanceled(); });
        promise.addResult(store.take());
    });
    Background::whenDone(m_loading, this, [this](const QFuture<LinkCheckStore::Results> &loading) {
        if (!loading.isCanceled())
            finishLoading();
    });

    QWidget *window = parent;
    const auto make = [window](const QString &caption, const QString &hint, int helpContext) {
        auto *action = new QAction(caption, window);
        MainActions::setHint(action, hint);
        action->setProperty("helpContext", helpContext);
        window->addAction(action);
        return action;
    };
    m_checkLinks = make(tr("&Check Links..."),
                        tr("Checks whether the links below the folder or the selected ones still work"), 213);
    m_results = make(tr("Link Check &Results"), tr("Lists the links found broken, moved or unreachable"), 313);
    m_updateAddress = make(tr("Update to &New Address"), tr("Gives the selected moved links their new address"), 213);
    m_updateAll = make(tr("Update &All to New Addresses"), tr("Gives every listed moved link its new address"), 213);
    m_deleteBroken = make(tr("Delete &Broken Links"), tr("Deletes the selected links that were found broken"), 213);
    m_recheck = make(tr("Check A&gain"), tr("Checks the selected links again"), 213);

    m_panel = new LinkCheckPanel(parent);
    connect(m_panel, &LinkCheckPanel::pauseToggled, this, [this](bool paused) {
        if (m_checker)
            m_checker->setPaused(paused);
    });
    connect(m_panel, &LinkCheckPanel::cancelRequested, this, &LinkCheckCommands::cancel);
    connect(m_panel, &LinkCheckPanel::showOkToggled, this, [this] {
        if (showsResults())
            showResults();
    });

    connect(m_checkLinks, &QAction::triggered, this, &LinkCheckCommands::checkLinks);
    connect(m_recheck, &QAction::triggered, this, [this] { check(m_view->selectedItems()); });
    connect(m_results, &QAction::triggered, this, &LinkCheckCommands::showResults);
    connect(m_updateAddress, &QAction::triggered, this, [this] { updateToNewAddress(false); });
    connect(m_updateAll, &QAction::triggered, this, [this] { updateToNewAddress(true); });
    connect(m_deleteBroken, &QAction::triggered, this, &LinkCheckCommands::deleteBrokenLinks);

    // The list marks the broken links and the detail of the selected result shows its finding, as they change.
    view->model()->followFindings(&m_store);
    connect(&m_store, &LinkCheckStore::findingsChanged, this, &LinkCheckCommands::findingsChanged);

    connect(document, &CollectionDocument::itemAboutToBeRemoved, this, &LinkCheckCommands::forget);
    connect(document, &CollectionDocument::itemsAboutToBeRemoved, this, [this](const std::vector<LinkItem *> &items) {
        for (const LinkItem *item : items)
            forget(item);
    });
    connect(view, &CollectionView::selectionChanged, this, &LinkCheckCommands::showSelectedDetail);
    connect(view->model(), &QAbstractItemModel::modelReset, this, [this] {
        // Another listing (a folder, search results) replaced the findings; showResults says so again
        // once its own listing is in.
        m_showingResults = false;
        updateActions();
    });
    // The program ends: stop the requests before the window goes, and keep what was found.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        m_quitting = true;
        stopLoading();
        cancel();
    });
    updateActions();
}

LinkCheckCommands::~LinkCheckCommands()
{
    stopLoading();
    // The panes may be gone already: only stop the requests and keep what was found.
    if (m_checker) {
        m_checker->cancel();
        m_store.save(m_storePath);
    }
}

void LinkCheckCommands::finishLoading()
{
    if (!m_loadingFile)
        return;
    m_loadingFile = false;
    // Taking the result leaves the future in no state at all: wait for its end first, and drop it.
    m_loading.waitForFinished();
    if (m_loading.resultCount() > 0)
        m_store.replace(m_loading.takeResult());
    m_loading = {};
    emit loaded();
}

void LinkCheckCommands::stopLoading()
{
    if (!m_loadingFile)
        return;
    m_loadingFile = false;
    m_loadStopped = true;
    // The reading looks at the cancel every few hundredths of a second.
    m_loading.cancel();
    m_loading.waitForFinished();
    m_loading = {};
}

const LinkCheckResult *LinkCheckCommands::resultFor(const LinkItem *link) const
{
    return link && !link->isFolder() ? m_store.find(urlOf(link)) : nullptr;
}

bool LinkCheckCommands::showsResults() const
{
    return m_showingResults && m_view->showsResults();
}

void LinkCheckCommands::checkLinks()
{
    std::vector<LinkItem *> entries = m_view->selectedItems();
    if (entries.empty() && m_view->showsResults()) {
        const LinkListModel *model = m_view->model();
        for (int row = 0; row < model->rowCount(); ++row)
            entries.push_back(model->itemAt(row));
    }
    if (entries.empty()) {
        if (LinkItem *folder = m_view->folder())
            entries.push_back(folder);
    }
    check(entries);
}

void LinkCheckCommands::check(const std::vector<LinkItem *> &entries)
{
    if (m_checker)
        return;
    finishLoading();
    m_targets = linksOf(entries);
    if (m_targets.empty()) {
        MessageBoxes::information(m_parent, QStringLiteral("Quillmark"), tr("There are no links to check."));
        return;
    }
    m_checker = std::make_unique<LinkChecker>(m_options);
    for (const LinkItem *link : m_targets)
        m_checker->add(urlOf(link));
    connect(m_checker.get(), &LinkChecker::linkStarted, this,
            [this](int index) { m_panel->linkStarted(m_checker->url(index)); });
    connect(m_checker.get(), &LinkChecker::linkChecked, this, &LinkCheckCommands::linkChecked);
    connect(m_checker.get(), &LinkChecker::finished, this, &LinkCheckCommands::checkEnded, Qt::QueuedConnection);
    m_cancelled = false;
    m_panel->started(static_cast<int>(m_targets.size()));
    m_panel->show();
    m_panel->raise();
    updateActions();
    m_checker->start();
    m_view->setStatusText(tr("Checking %n link(s)...", nullptr, static_cast<int>(m_targets.size())));
}

void LinkCheckCommands::linkChecked(int index, const LinkCheckResult &result)
{
    m_store.set(m_checker->url(index), result);
    m_panel->linkChecked(result.outcome);
}

void LinkCheckCommands::cancel()
{
    if (!m_checker)
        return;
    m_cancelled = true;
    m_checker->cancel(); // its finished ends the check
    checkEnded();
}

void LinkCheckCommands::checkEnded()
{
    if (!m_checker)
        return;
    // The checker may be the sender: let it finish telling before it goes.
    m_checker.release()->deleteLater();
    m_targets.clear();
    m_panel->finished(m_cancelled);
    saveStore();
    updateActions();
    if (!m_quitting)
        showResults();
    emit checkFinished();
}

void LinkCheckCommands::forget(const LinkItem *item)
{
    for (LinkItem *&target : m_targets) {
        if (target && inside(target, item))
            target = nullptr;
    }
}

void LinkCheckCommands::saveStore()
{
    finishLoading();
    // The outcomes were never read: the file keeps them.
    if (m_loadStopped)
        return;
    // The outcomes of addresses the collection no longer has would only grow the file.
    if (LinkItem *root = m_document->root()) {
        QSet<QString> urls;
        for (const LinkItem *link : linksOf({root}))
            urls.insert(urlOf(link));
        m_store.keepOnly(urls);
    }
    if (!m_store.save(m_storePath))
        m_view->setStatusText(tr("The link check results could not be kept: %1").arg(m_store.errorString()));
}

void LinkCheckCommands::showResults()
{
    LinkItem *root = m_document->root();
    if (!root)
        return;
    finishLoading();
    const bool withOk = m_panel->showsOk();
    std::vector<std::vector<LinkItem *>> groups(LinkCheckResult::OutcomeCount);
    size_t rateLimited = 0;
    for (LinkItem *link : linksOf({root})) {
        const LinkCheckResult *result = resultFor(link);
        if (!result || (!withOk && (result->outcome == LinkCheckResult::Ok))
            || (!withOk && result->outcome == LinkCheckResult::Redirected))
            continue;
        groups[static_cast<size_t>(result->outcome)].push_back(link);
        rateLimited += result->isRateLimited() ? 1 : 0;
    }
    std::vector<LinkItem *> items;
    for (LinkCheckResult::Outcome outcome : ListedOrder)
        items.insert(items.end(), groups[outcome].begin(), groups[outcome].end());
    const int count = static_cast<int>(items.size());
    {
        UpdatesGuard guard(m_parent);
        m_view->showResults(CollectionView::Listing::LinkCheckFindings, std::move(items));
    }
    m_showingResults = true;
    updateActions();
    m_view->setStatusText(count == 0 ? tr("No broken, moved or unreachable links were found.")
                                     : tr("%1 broken, %2 moved, %3 unreachable (%5 rate limited), %4 not checked")
                                           .arg(groups[LinkCheckResult::Broken].size())
                                           .arg(groups[LinkCheckResult::Moved].size())
                                           .arg(groups[LinkCheckResult::Unreachable].size())
                                           .arg(groups[LinkCheckResult::NotChecked].size())
                                           .arg(rateLimited));
}

std::vector<LinkItem *> LinkCheckCommands::listedLinks(LinkCheckResult::Outcome outcome, bool selectedOnly) const
{
    std::vector<LinkItem *> links;
    if (!showsResults())
        return links;
    std::vector<LinkItem *> candidates;
    if (selectedOnly) {
        candidates = m_view->selectedItems();
    } else {
        for (int row = 0; row < m_view->model()->rowCount(); ++row)
            candidates.push_back(m_view->model()->itemAt(row));
    }
    for (LinkItem *link : candidates) {
        const LinkCheckResult *result = resultFor(link);
        if (result && result->outcome == outcome)
            links.push_back(link);
    }
    return links;
}

void LinkCheckCommands::updateToNewAddress(bool all)
{
    const std::vector<LinkItem *> moved = listedLinks(LinkCheckResult::Moved, !all);
    if (moved.empty())
        return;
    CollectionDocument *document = m_document;
    // The new findings are told once the addresses have changed.
    m_store.beginChanges();
    document->beginCommand(tr("Update to New Address"));
    for (LinkItem *link : moved) {
        const LinkCheckResult result = *resultFor(link);
        if (result.finalUrl.isEmpty())
            continue;
        document->aboutToEditFields(link);
        link->Url = TextCodec::fromDisplay(result.finalUrl);
        document->fieldsEdited(link, CollectionDocument::Field::Url);
        // The new address is where the check ended up: it answered.
        LinkCheckResult answered = result;
        answered.outcome = LinkCheckResult::Ok;
        answered.finalUrl.clear();
        m_store.set(result.finalUrl, answered);
    }
    document->endCommand();
    m_store.endChanges();
    saveStore();
}

void LinkCheckCommands::deleteBrokenLinks()
{
    const std::vector<LinkItem *> broken = listedLinks(LinkCheckResult::Broken, true);
    if (broken.empty())
        return;
    if (!MessageBoxes::question(
            m_parent, QCoreApplication::translate("ItemCommands", "Confirm Multiple Objects Delete"),
            QCoreApplication::translate("ItemCommands", "Are you sure you want to delete these %1 objects?")
                .arg(broken.size())))
        return;
    UpdatesGuard guard(m_parent);
    m_document->beginCommand(tr("Delete Broken Links"));
    m_document->removeItems(broken);
    m_document->endCommand();
}

void LinkCheckCommands::showSelectedDetail()
{
    updateActions();
    if (!showsResults())
        return;
    if (m_view->selectedCount() != 1)
        return;
    const std::vector<LinkItem *> selected = m_view->selectedItems();
    const LinkCheckResult *result = resultFor(selected.front());
    if (!result)
        return;
    QString note = LinkCheckMark::verdictText(*result);
    if (result->status)
        note += QStringLiteral(" (%1)").arg(result->status);
    if (!result->reason.isEmpty())
        note += QStringLiteral(": ") + result->reason;
    if (!result->finalUrl.isEmpty())
        note += tr("; now at %1").arg(result->finalUrl);
    emit findingShown(ItemPath::locationOf(selected.front()), note);
}

void LinkCheckCommands::findingsChanged(const QStringList &urls)
{
    if (!showsResults())
        return;
    // Only a single selected entry has its finding shown (counted without listing a large selection).
    if (m_view->selectedCount() != 1)
        return;
    const LinkItem *selected = m_view->selectedItems().front();
    if (selected && !selected->isFolder() && urls.contains(urlOf(selected)))
        showSelectedDetail();
}

void LinkCheckCommands::updateActions()
{
    const bool results = showsResults();
    const bool selected = m_view->selectedCount() > 0;
    m_checkLinks->setEnabled(!m_checker);
    m_recheck->setEnabled(!m_checker && selected);
    m_recheck->setVisible(results);
    m_updateAddress->setEnabled(results && selected);
    m_updateAll->setEnabled(results);
    m_deleteBroken->setEnabled(results && selected);
}
