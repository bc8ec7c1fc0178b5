// What a sync of a million items costs the window: the snapshot of the synced folder, taken on the
// window's thread, against one write of the collection into memory (what every save does), measured in
// the same run. The matching and merge that follow run on the sync's own thread: shown as figures.
//
// Then what a whole first sync costs against reading the server's file (parsing it into a tree), for two
// shapes that once took the square of their size: two collections that never met, with many new links
// on each side in one folder, and a server file that is one deep chain of folders.
#include "Collection.h"
#include "Measure.h"

#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "sync/CollectionTree.h"
#include "sync/SyncFile.h"
#include "sync/SyncMerge.h"

#include <QBuffer>
#include <QCoreApplication>

namespace {

// The snapshot may take at most as long as one save of the collection.
constexpr double Target = 1.0;
// A first sync (reading the server's file, matching, merging, writing the merged file and the new entries)
// may take a few times as long as reading the server's file alone.
constexpr double FirstSyncTarget = 8.0;

// A server file of `count` links in its top folder, none of them in the collection.
QByteArray wideServerFile(int count)
{
    SyncTree tree;
    for (int i = 1; i <= count; ++i) {
        SyncNode node;
        node.id = i;
        node.parent = SyncTree::RootId;
        node.title = QStringLiteral("Server link %1").arg(i);
        node.url = QStringLiteral("https://server%1.example/page/%2").arg(i % 97).arg(i);
        node.order = i;
        tree.add(node);
    }
    return SyncFile::write(tree);
}

// A server file of `depth` folders, each in the one before.
QByteArray chainServerFile(int depth)
{
    SyncTree tree;
    for (int i = 1; i <= depth; ++i) {
        SyncNode node;
        node.id = i;
        node.parent = i == 1 ? SyncTree::RootId : i - 1;
        node.folder = true;
        node.title = QStringLiteral("Level %1").arg(i);
        tree.add(node);
    }
    return SyncFile::write(tree);
}

// Everything a first sync does but talk to the server.
void firstSync(const LinkItem &local, const QByteArray &serverFile)
{
    const SyncTree base;
    const SyncFile::ReadResult remote = SyncFile::read(serverFile);
    const CollectionTree::Read here = CollectionTree::read(local, base);
    const SyncMerge::Result merged = SyncMerge::merge(base, here.tree, remote.tree);
    const QByteArray written = SyncFile::write(merged.merged);
    const auto entries = CollectionTree::build(merged.merged, here.items, local.Name);
    if (written.isEmpty() || !entries)
        std::abort();
}

// Prints the first sync's time against reading the same server file; whether it met the target.
bool timeFirstSync(const std::string &name, const LinkItem &local, const QByteArray &serverFile)
{
    const auto [syncMs, readMs] = Measure::alternatingMedianMs(3, {[&] { firstSync(local, serverFile); }},
                                                               {[&] { SyncFile::read(serverFile); }});
    Measure::figure(name + "_sync_ms", syncMs);
    Measure::figure(name + "_read_file_ms", readMs);
    return Measure::ratio(name + "_vs_read_file", syncMs / readMs, FirstSyncTarget);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int items = quick ? 100'000 : 1'000'000;
    const auto root = Collection::make(items, 20261208);

    size_t entries = 0;
    const auto [snapshotMs, saveMs]
        = Measure::alternatingMedianMs(5, {[&] { entries = CollectionTree::snapshot(*root).entries.size(); }}, {[&] {
                                           QBuffer buffer;
                                           buffer.open(QIODevice::WriteOnly);
                                           NativeFile::write(buffer, *root, nullptr);
                                       }});

    // A sync that finds nothing changed: the collection matched against its own last synced tree, merged.
    const SyncTree base = CollectionTree::read(*root, SyncTree()).tree;
    SyncTree synced = SyncMerge::merge(SyncTree(), base, SyncTree()).merged;
    const double matchMs = Measure::medianMs(3, [&] { CollectionTree::read(*root, synced); });
    const CollectionTree::Read local = CollectionTree::read(*root, synced);
    const double mergeMs = Measure::medianMs(3, [&] { SyncMerge::merge(synced, local.tree, synced); });

    Measure::figure("items", static_cast<double>(entries));
    Measure::figure("snapshot_ms", snapshotMs);
    Measure::figure("save_to_memory_ms", saveMs);
    Measure::figure("match_on_sync_thread_ms", matchMs);
    Measure::figure("merge_on_sync_thread_ms", mergeMs);
    bool met = Measure::ratio("snapshot_vs_save", snapshotMs / saveMs, Target);

    const int wide = quick ? 5'000 : 10'000;
    const auto localLinks = Collection::makeFlat(wide, 20261209);
    met = timeFirstSync("first_sync_" + std::to_string(wide) + "_new_each_side", *localLinks, wideServerFile(wide))
        && met;
    const int depth = quick ? 10'000 : 20'000;
    const auto empty = LinkItem::MakeFolder("Quillmark");
    met = timeFirstSync("first_sync_chain_" + std::to_string(depth), *empty, chainServerFile(depth)) && met;
    return met ? 0 : 1;
}
