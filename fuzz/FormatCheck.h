#pragma once

// What the bookmark format fuzzers check after every read: the read ends, builds a sound tree whose
// counts match the report, and what was read, written by the format's writer and read again, gives
// the same tree (names, URLs, descriptions, visits, rating, last visit to the second).
#include "formats/BrowserUrl.h"
#include "formats/ExportReport.h"
#include "formats/ImportReport.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

namespace FormatCheck {

[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "bookmark format fuzzer: %s\n", what);
    std::abort();
}

inline void check(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

// Walks the tree without recursion and checks links, order and names; gives the counts.
inline std::pair<int, int> checkTree(const LinkItem &root)
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
            check(child->Name.find('\\') == std::string::npos, "a name holds a backslash");
            check(child->isFolder() || child->Children.Count() == 0, "a link has entries");
            ++(child->isFolder() ? folders : links);
            previous = child.get();
            pending.push_back(child.get());
        }
    }
    return {folders, links};
}

// browserUrls: the writer writes addresses as browsers take them (see BrowserUrl).
inline void compareTrees(const LinkItem &a, const LinkItem &b, bool browserUrls)
{
    DateConverter dates;
    std::vector<std::pair<const LinkItem *, const LinkItem *>> pending {{&a, &b}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        check(x->Children.Count() == y->Children.Count(), "reading back gives another number of entries");
        for (int i = 0; i < x->Children.Count(); ++i) {
            const LinkItem &p = *x->Children.Get(i);
            const LinkItem &q = *y->Children.Get(i);
            check(p.Name == q.Name, "reading back gives another name");
            check(p.isFolder() == q.isFolder(), "reading back gives another kind of item");
            check(p.isFolder() || (browserUrls ? BrowserUrl::forBrowsers(p.Url) == q.Url.view() : p.Url == q.Url),
                  "reading back gives another URL");
            check(p.Description == q.Description, "reading back gives another description");
            check(p.Visits == q.Visits, "reading back gives other visits");
            check(p.Rating == q.Rating, "reading back gives another rating");
            check(dates.toEpochSeconds(p.LastVisit) == dates.toEpochSeconds(q.LastVisit),
                  "reading back gives another last visit");
            pending.emplace_back(&p, &q);
        }
    }
}

using Reader = std::function<ImportReport(const QByteArray &, LinkItem &)>;
using Writer = std::function<QByteArray(const LinkItem &)>;

inline void run(const QByteArray &bytes, const Reader &read, const Writer &write, bool browserUrls = false)
{
    LinkItem root;
    const ImportReport report = read(bytes, root);
    check(report.status != ImportReport::Cancelled, "a read without progress callback was cancelled");
    check(report.ok() == report.problems.isEmpty(), "the problems do not match the status");
    const auto [folders, links] = checkTree(root);
    check(folders == report.folders && links == report.links, "the counts do not match the tree");

    const QByteArray written = write(root);
    LinkItem again;
    const ImportReport reread = read(written, again);
    check(reread.ok(), "what the writer wrote does not read back whole");
    check(reread.folders == folders && reread.links == links, "reading back gives other counts");
    compareTrees(root, again, browserUrls);
}

} // namespace FormatCheck
