// Times finding the duplicate links of a generated collection against inserting the same raw URLs into a
// std::unordered_set<std::string> in the same run (the cost of hashing each URL once). One link in twenty
// repeats an earlier address, half of them written differently (case, default port, empty path).
// Then times what `quillmark-tool dedupe` does to 100,000 links named "Untitled" in two folders that merge
// ("A" and "a"; one link in twenty of "a" the same page as one in "A") against reading the same data file.
//
//   quillmark-bench-duplicates [--quick]       1,000,000 links (--quick: 100,000)
// The exit status is 1 when a target was missed.
#include "Measure.h"
#include "Random.h"

#include "store/CollectionDocument.h"
#include "store/Duplicates.h"
#include "store/FolderMerge.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

constexpr std::uint64_t Seed = 20261207;
constexpr double Target = 3.0;
constexpr int LinksPerFolder = 1000;
constexpr int SameNamedLinks = 100'000;
// Dedupe makes each link's address key twice (for the folders, then for the rest), each costing about two
// reads of the file.
constexpr double DedupeTarget = 15.0;

std::string addressOf(std::uint64_t n)
{
    return "https://host" + std::to_string(n % 50000) + ".example.org/articles/" + std::to_string(n)
        + "/index.html?ref=list&page=" + std::to_string(n % 17);
}

// The same page written another way.
std::string variantOf(const std::string &url, int kind)
{
    switch (kind) {
    case 0:
        return "HTTPS://HOST" + url.substr(12);
    case 1: {
        const size_t slash = url.find('/', 8);
        return url.substr(0, slash) + ":443" + url.substr(slash);
    }
    default:
        return url;
    }
}

std::unique_ptr<LinkItem> makeCollection(int links, int *duplicates)
{
    Random random(Seed);
    auto root = LinkItem::MakeFolder("Quillmark");
    std::vector<std::vector<std::unique_ptr<LinkItem>>> folders(static_cast<size_t>(links / LinksPerFolder + 1));
    std::vector<std::uint64_t> made;
    made.reserve(static_cast<size_t>(links));
    *duplicates = 0;
    for (int i = 0; i < links; ++i) {
        std::string url;
        if (!made.empty() && random.between(0, 19) == 0) {
            url = variantOf(addressOf(made[random.next() % made.size()]), random.between(0, 3));
            ++*duplicates;
        } else {
            const std::uint64_t n = random.next() >> 20;
            made.push_back(n);
            url = addressOf(n);
        }
        folders[static_cast<size_t>(i / LinksPerFolder)].push_back(
            LinkItem::MakeLink("Link " + std::to_string(i), url));
    }
    for (size_t f = 0; f < folders.size(); ++f) {
        if (folders[f].empty())
            continue;
        auto folder = LinkItem::MakeFolder("Folder " + std::to_string(f));
        folder->Children.InsertSortedBatch(std::move(folders[f]));
        root->Children.InsertSorted(std::move(folder));
    }
    return root;
}

// The data file of two folders that merge, "A" and "a", each holding half of links, all named "Untitled".
QByteArray sameNamedFile(int links)
{
    auto root = LinkItem::MakeFolder("Quillmark");
    for (const char *name : {"A", "a"}) {
        std::vector<std::unique_ptr<LinkItem>> children;
        for (int i = 0; i < links / 2; ++i) {
            const int page = *name == 'a' && i % 10 != 0 ? i + links : i;
            children.push_back(LinkItem::MakeLink(
                "Untitled", "https://site" + std::to_string(i % 997) + ".example/page/" + std::to_string(page)));
        }
        auto folder = LinkItem::MakeFolder(name);
        folder->Children.InsertSortedBatch(std::move(children));
        root->Children.InsertSorted(std::move(folder));
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!NativeFile::write(buffer, *root, nullptr)) {
        std::fprintf(stderr, "the collection could not be stored\n");
        std::exit(2);
    }
    return buffer.data();
}

std::unique_ptr<LinkItem> readFile(const QByteArray &bytes)
{
    auto root = LinkItem::MakeFolder("Quillmark");
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!NativeFile::read(buffer, *root, true).ok()) {
        std::fprintf(stderr, "the collection could not be read\n");
        std::exit(2);
    }
    return root;
}

// What dedupe does once the file is read: the folders merged, then every remaining duplicate cleaned up.
int dedupe(LinkItem &root)
{
    CollectionDocument document(&root);
    const UrlKey key;
    const FolderMergePlan plan = FolderMergePlan::of(&root, key);
    int removed = ApplyFolderMerge(document, plan);
    std::vector<std::vector<LinkItem *>> groups;
    for (const Duplicates::Group &group : Duplicates::find(&root, key))
        groups.push_back(group.links);
    const std::vector<LinkItem *> others = Duplicates::cleanUp(document, groups);
    document.removeItems(others);
    return removed + static_cast<int>(others.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int links = quick ? 100'000 : 1'000'000;
    int duplicates = 0;
    const auto root = makeCollection(links, &duplicates);
    std::vector<const LinkItem *> all;
    for (const auto &folder : root->Children) {
        for (const auto &link : folder->Children)
            all.push_back(link.get());
    }

    size_t groups = 0;
    int removed = 0;
    size_t distinct = 0;
    const UrlKey plain;
    const UrlKey every({true, true, true});
    const auto [findMs, setMs] = Measure::alternatingMedianMs(5, {[&] {
                                                                  const auto found
                                                                      = Duplicates::find(root.get(), plain);
                                                                  groups = found.size();
                                                                  removed = Duplicates::removedCount(found);
                                                              }},
                                                              {[&] {
                                                                  std::unordered_set<std::string> urls;
                                                                  for (const LinkItem *link : all)
                                                                      urls.insert(link->Url.str());
                                                                  distinct = urls.size();
                                                              }});
    const double everyMs = Measure::medianMs(5, [&] { Duplicates::find(root.get(), every); });

    Measure::figure("links", links);
    Measure::figure("repeated_links_generated", duplicates);
    Measure::figure("groups_found", static_cast<double>(groups));
    Measure::figure("links_a_clean_up_removes", removed);
    Measure::figure("distinct_raw_urls", static_cast<double>(distinct));
    Measure::figure("find_ms", findMs);
    Measure::figure("find_all_options_ms", everyMs);
    Measure::figure("unordered_set_insert_ms", setMs);
    bool ok = Measure::ratio("find_vs_unordered_set", findMs / setMs, Target);
    ok = Measure::ratio("find_all_options_vs_unordered_set", everyMs / setMs, Target) && ok;

    const QByteArray file = sameNamedFile(SameNamedLinks);
    std::unique_ptr<LinkItem> loaded;
    int deduped = 0;
    const auto [dedupeMs, readMs] = Measure::alternatingMedianMs(
        5, {[&] { deduped = dedupe(*loaded); }, [&] { loaded = readFile(file); }}, {[&] { loaded = readFile(file); }});
    Measure::figure("same_named_links", SameNamedLinks);
    Measure::figure("same_named_links_deduped", deduped);
    Measure::figure("same_named_read_ms", readMs);
    Measure::figure("same_named_dedupe_ms", dedupeMs);
    ok = Measure::ratio("same_named_dedupe_vs_read", dedupeMs / readMs, DedupeTarget) && ok;
    return ok ? 0 : 1;
}
