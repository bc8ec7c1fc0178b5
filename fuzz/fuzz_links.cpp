// libFuzzer target for the side file of link check results: any bytes must be read without a crash or a
// hang, every outcome read must be whole, and what was read must read back the same once written.
#include "linkcheck/LinkCheckStore.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "quillmark-fuzz-links: %s\n", what);
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    LinkCheckStore store;
    const bool read = store.loadBytes(bytes);
    check(read || store.count() == 0, "an unreadable file gave outcomes");
    for (auto entry = store.all().cbegin(); entry != store.all().cend(); ++entry) {
        check(!entry.key().isEmpty(), "an outcome without an address");
        check(entry->status >= 0 && entry->status <= 999, "a status out of range");
        check(entry->checkedAt.isValid(), "an outcome without its time");
        check(entry->outcome >= LinkCheckResult::Ok && entry->outcome <= LinkCheckResult::NotChecked,
              "an outcome of no kind");
    }
    const QByteArray written = store.toBytes();
    LinkCheckStore again;
    check(again.loadBytes(written), "what was written cannot be read");
    check(again.toBytes() == written, "what was written reads back differently");
    return 0;
}
