// libFuzzer target for the shared sync file: any bytes are read without a crash or a hang, either as
// an error or as a sound tree (unique ids, every parent a folder, none above the highest id) that the
// writer stores and the reader reads back the same, byte for byte when written again.
#include "sync/SyncFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "sync file fuzzer: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const SyncFile::ReadResult result = SyncFile::read(bytes);
    if (!result.ok()) {
        check(result.tree.size() == 0, "a file that could not be read gave items");
        return 0;
    }
    for (const auto &[id, node] : result.tree.nodes()) {
        if (id == SyncTree::RootId)
            continue;
        check(id > 0 && id <= result.tree.highestId(), "an id is out of range");
        const SyncNode *parent = result.tree.find(node.parent);
        check(parent && parent->folder, "an item's parent is no folder");
        check(result.tree.isWithin(id, SyncTree::RootId), "an item does not lead to the root");
    }
    const QByteArray written = SyncFile::write(result.tree);
    const SyncFile::ReadResult again = SyncFile::read(written);
    check(again.ok(), "what was written cannot be read");
    check(again.renumbered == 0, "what was written has items without ids");
    check(again.tree.highestId() == result.tree.highestId(), "reading back gives another highest id");
    check(again.tree == result.tree, "reading back gives another tree");
    check(SyncFile::write(again.tree) == written, "writing again gives other bytes");
    return 0;
}
