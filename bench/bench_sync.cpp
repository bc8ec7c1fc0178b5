// What a sync of a million items costs the window: the snapshot of the synced folder, taken on the
// window's thread, against one write of the collection into memory (what every save does), measured in
// the same run. The matching and merge that follow run on the sync's own thread: shown as figures.
#include "Collection.h"
#include "Measure.h"

#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "sync/CollectionTree.h"
#include "sync/SyncMerge.h"

#include <QBuffer>
#include <QCoreApplication>

namespace {

// The snapshot may take at most as long as one save of the collection.
constexpr double Target = 1.0;

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
    return Measure::ratio("snapshot_vs_save", snapshotMs / saveMs, Target) ? 0 : 1;
}
