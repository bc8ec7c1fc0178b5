// libFuzzer target for the native link file readers: any bytes, read as a data file (newer versions
// refused) and as an imported file (newer versions read as the first version), must be read without a
// crash, a hang or an allocation beyond what the bytes describe; what was read must be a sound tree that
// the writer stores and that reads back to the very same bytes.
#include "common/PipeDevice.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "quillmark-fuzz-native: %s\n", what);
    std::abort();
}

void check(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

// Walks the tree without recursion (the nesting may be as deep as the input is long) and checks that
// every child points back at its folder and that every children list is in name order.
std::pair<int, int> checkTree(const LinkItem &root)
{
    int folders = 0;
    int links = 0;
    std::vector<const LinkItem *> pending {&root};
    while (!pending.empty()) {
        const LinkItem *item = pending.back();
        pending.pop_back();
        check(item->Children.Owner() == item, "a children list has the wrong owner");
        const LinkItem *previous = nullptr;
        for (const auto &child : item->Children) {
            check(child->Parent == item, "a child does not point back at its folder");
            check(!previous || CompareNames(previous->Name, child->Name) <= 0, "children are out of name order");
            check(child->Name.find('\0') == std::string::npos, "a name holds a zero byte");
            ++(child->isFolder() ? folders : links);
            previous = child.get();
            pending.push_back(child.get());
        }
    }
    return {folders, links};
}

QByteArray writeTree(const LinkItem &root)
{
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    QString error;
    check(NativeFile::write(output, root, &error), "writing a tree that was read failed");
    return output.data();
}

void readOnce(const QByteArray &bytes, bool refuseNewer)
{
    QBuffer input;
    input.setData(bytes);
    input.open(QIODevice::ReadOnly);
    LinkItem root;
    const NativeFile::ReadResult result = NativeFile::read(input, root, refuseNewer);

    // Read as a stream of unknown size, the same bytes give the same tree, damaged or not (a first-version
    // file cannot be read so: the reader must go back to the start).
    PipeDevice pipe(bytes);
    LinkItem piped;
    const NativeFile::ReadResult pipedResult = NativeFile::read(pipe, piped, refuseNewer);
    const bool pipeable
        = result.version == NativeFile::CurrentVersion || result.status == NativeFile::ReadResult::NewerVersion;
    check(!pipeable || pipedResult.status == result.status, "a stream of unknown size reads otherwise");

    check(result.status != NativeFile::ReadResult::Cancelled, "a read without progress callback was cancelled");
    check(refuseNewer || result.status != NativeFile::ReadResult::NewerVersion, "a newer version was refused");
    check(result.ok() == result.error.isEmpty(), "the error text does not match the status");
    const auto [folders, links] = checkTree(root);
    check(folders == result.folders && links == result.links, "the counts do not match the tree");

    // What was read, written and read again gives the same tree: the same bytes once more.
    const QByteArray written = writeTree(root);
    check(!pipeable || writeTree(piped) == written, "a stream of unknown size gives another tree");
    QBuffer again;
    again.setData(written);
    again.open(QIODevice::ReadOnly);
    LinkItem copy;
    const NativeFile::ReadResult reread = NativeFile::read(again, copy, true);
    check(reread.ok(), "a file the writer wrote does not read back whole");
    check(again.pos() == written.size(), "reading back stopped before the end of the written file");
    check(reread.folders == folders && reread.links == links, "reading back gives other counts");
    check(writeTree(copy) == written, "writing what was read back gives other bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    readOnce(bytes, false);
    readOnce(bytes, true);
    return 0;
}
