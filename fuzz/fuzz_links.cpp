// libFuzzer target for the side file of link check results: any bytes must be read without a crash or a
// hang, every outcome read must be whole, and what was read must read back the same once written. Cut into
// runs of entries, as a large file is parsed, the bytes must read as they do whole.
#include "linkcheck/JsonEntryRuns.h"
#include "linkcheck/LinkCheckStore.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

// The runs parse exactly when the whole does, and then hold its entries and its other members.
void checkRuns(const QByteArray &bytes, qsizetype runBytes)
{
    const std::optional<JsonEntryRuns> cut = JsonEntryRuns::cut(bytes, "links", runBytes);
    if (!cut)
        return; // laid out otherwise: read whole
    QJsonParseError error;
    const QJsonObject whole = QJsonDocument::fromJson(bytes, &error).object();
    const bool wholeParses = error.error == QJsonParseError::NoError;
    QJsonObject rest = QJsonDocument::fromJson(cut->rest, &error).object();
    bool piecesParse = error.error == QJsonParseError::NoError;
    QJsonArray entries;
    for (size_t i = 0; i < cut->runs.size() && piecesParse; ++i) {
        const QJsonArray run = QJsonDocument::fromJson('[' + cut->runs[i].toByteArray() + ']', &error).array();
        piecesParse = error.error == QJsonParseError::NoError && run.size() == cut->counts[i];
        for (const QJsonValue &entry : run)
            entries.append(entry);
    }
    check(piecesParse == wholeParses, "the runs parse otherwise than the whole");
    if (!wholeParses)
        return;
    check(entries == whole.value(QStringLiteral("links")).toArray(), "the runs hold other entries");
    QJsonObject others = whole;
    others.remove(QStringLiteral("links"));
    check(rest == others, "the runs leave other members");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkRuns(bytes, size > 0 ? 1 + data[0] % 64 : 1);
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
