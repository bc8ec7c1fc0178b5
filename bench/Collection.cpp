#include "Collection.h"

#include "Random.h"

#include "store/LinkItem.h"

#include <string>
#include <vector>

namespace {

constexpr int EntriesPerFolder = 1000;

// Lower-case words separated by single spaces, exactly `length` bytes, starting with a capital.
std::string words(Random &random, int length)
{
    std::string text;
    text.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        const bool space = i > 0 && i + 1 < length && text.back() != ' ' && random.between(0, 6) == 0;
        text.push_back(space ? ' ' : static_cast<char>('a' + random.between(0, 25)));
    }
    if (!text.empty())
        text.front() = static_cast<char>(text.front() - 'a' + 'A');
    return text;
}

std::string url(Random &random)
{
    const int length = random.between(30, 120);
    std::string text = "https://www.";
    const int host = random.between(4, 12);
    for (int i = 0; i < host; ++i)
        text.push_back(static_cast<char>('a' + random.between(0, 25)));
    text += ".example/";
    static const char path[] = "abcdefghijklmnopqrstuvwxyz0123456789-/_";
    while (static_cast<int>(text.size()) < length)
        text.push_back(path[random.between(0, static_cast<int>(sizeof path) - 2)]);
    text.resize(static_cast<size_t>(length));
    return text;
}

void fillCommon(LinkItem &item, Random &random)
{
    item.Name = words(random, random.between(10, 40));
    item.Description = words(random, random.between(0, 200));
    item.Visits = random.between(0, 500);
    item.Rating = static_cast<std::uint8_t>(random.between(0, 5));
    // Never, or a day between 2009 and 2026 with a time of day.
    item.LastVisit = random.between(0, 9) == 0 ? 0.0 : 40000.0 + random.between(0, 6000) + random.unit();
}

std::unique_ptr<LinkItem> makeLink(Random &random)
{
    auto link = std::make_unique<LinkItem>();
    fillCommon(*link, random);
    link->Url = url(random);
    return link;
}

} // namespace

namespace Collection {

std::unique_ptr<LinkItem> make(int items, std::uint64_t seed)
{
    Random random(seed);
    auto root = LinkItem::MakeFolder("Quillmark");
    const int folders = std::max(1, (items + EntriesPerFolder / 2) / EntriesPerFolder);
    const int links = items - folders;
    std::vector<std::unique_ptr<LinkItem>> top;
    for (int f = 0; f < folders; ++f) {
        auto folder = std::make_unique<LinkItem>();
        fillCommon(*folder, random);
        folder->IsFolder = 1;
        std::vector<std::unique_ptr<LinkItem>> entries;
        const int count = links / folders + (f < links % folders ? 1 : 0);
        for (int i = 0; i < count; ++i)
            entries.push_back(makeLink(random));
        folder->Children.InsertSortedBatch(std::move(entries));
        top.push_back(std::move(folder));
    }
    root->Children.InsertSortedBatch(std::move(top));
    return root;
}

std::unique_ptr<LinkItem> makeFlat(int children, std::uint64_t seed)
{
    Random random(seed);
    auto root = LinkItem::MakeFolder("Flat");
    std::vector<std::unique_ptr<LinkItem>> entries;
    for (int i = 0; i < children; ++i)
        entries.push_back(makeLink(random));
    root->Children.InsertSortedBatch(std::move(entries));
    return root;
}

int countItems(const LinkItem &root)
{
    int count = 0;
    std::vector<const LinkItem *> pending {&root};
    while (!pending.empty()) {
        const LinkItem *item = pending.back();
        pending.pop_back();
        for (const auto &child : item->Children) {
            ++count;
            pending.push_back(child.get());
        }
    }
    return count;
}

} // namespace Collection
