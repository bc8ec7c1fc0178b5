#pragma once

#include "store/ItemBlock.h"
#include "store/Progress.h"

#include <memory>
#include <string_view>
#include <vector>

class LinkItem;
struct ImportReport;

// Where the readers put what they read. Items are created in the order they are met, each folder
// before its contents, and counted in the report. The entries of a folder are collected and go into
// its Children together when the folder is left (InsertSortedBatch: the order one-by-one InsertSorted
// would give, without its quadratic cost); finish() puts in whatever is still open, so a read that
// stops early keeps everything it read. Nesting of any depth is held in a list, not on the stack.
// A backslash in a name, which item names never hold, becomes "_" as the entry goes in.
class ItemSink
{
public:
    // source, when given, is what is being read: texts that are pieces of it point into it instead of
    // being copied, and the items keep it.
    ItemSink(LinkItem &target, ImportReport &report, Progress progress = {}, const QByteArray &source = {});
    ~ItemSink();

    ItemSink(const ItemSink &) = delete;
    ItemSink &operator=(const ItemSink &) = delete;

    // Adds to the current folder; the pointer stays valid for the life of the tree.
    LinkItem *addFolder(std::string_view name);
    LinkItem *addLink(std::string_view name, std::string_view url);
    // Sets a text of an item added here (kept with the items read, not on the heap of its own).
    void setText(LinkItem &item, ItemText LinkItem::*field, std::string_view text);

    // Makes a folder returned by addFolder of the current folder the current folder.
    void enterFolder(LinkItem *folder);
    // Back to the folder that was current before; false (and nothing happens) at the target.
    bool leaveFolder();
    // Folders entered and not left.
    int depth() const { return static_cast<int>(m_frames.size()) - 1; }

    LinkItem *current() const { return m_frames.back().folder; }
    // The item added last, in any folder; none before the first.
    LinkItem *lastItem() const { return m_last; }

    // Tells the progress callback the counts now and then: after every few hundred items, and after
    // every few hundred kilobytes of the source (done is how far it has been read), so that a source
    // with few items still lets the user cancel. False when the callback cancelled the import: the
    // reader stops (the report says so).
    bool advance(qint64 done);

    // Puts every collected entry into its folder. Runs on destruction too.
    void finish();

private:
    struct Frame
    {
        LinkItem *folder;
        std::vector<std::unique_ptr<LinkItem>> entries;
    };
    void flush(Frame &frame);
    LinkItem *add(std::unique_ptr<LinkItem> item);

    // The items read live here, texts and all: a few large allocations instead of several per item.
    ItemBlockRef m_block;
    std::vector<Frame> m_frames;
    ImportReport &m_report;
    Progress m_progress;
    qint64 m_reportedAt = 0;
    int m_sinceReport = 0;
    LinkItem *m_last = nullptr;
    bool m_cancelled = false;
};
