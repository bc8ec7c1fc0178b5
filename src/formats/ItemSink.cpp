#include "formats/ItemSink.h"

#include "formats/ImportReport.h"
#include "store/LinkItem.h"

#include <algorithm>

namespace {
constexpr int ItemsPerReport = 512;
constexpr qint64 BytesPerReport = 256 * 1024;
// A name made of an address shows its start: a data: address can be megabytes long.
constexpr size_t MaxAddressName = 2048;

std::string_view nameOfAddress(std::string_view url)
{
    if (url.size() <= MaxAddressName)
        return url;
    size_t end = MaxAddressName;
    while (end > 0 && (static_cast<unsigned char>(url[end]) & 0xC0) == 0x80)
        --end; // not inside a UTF-8 sequence
    return url.substr(0, end);
}
} // namespace

ItemSink::ItemSink(LinkItem &target, ImportReport &report, Progress progress, const QByteArray &source)
    : m_block(ItemBlock::create()), m_report(report), m_progress(std::move(progress))
{
    m_block->bytes() = source;
    m_frames.push_back({&target, {}});
}

ItemSink::~ItemSink()
{
    finish();
}

LinkItem *ItemSink::add(std::unique_ptr<LinkItem> item)
{
    m_last = item.get();
    m_frames.back().entries.push_back(std::move(item));
    ++m_sinceReport;
    return m_last;
}

LinkItem *ItemSink::addFolder(std::string_view name)
{
    ++m_report.folders;
    std::unique_ptr<LinkItem> folder = m_block->newItem();
    folder->IsFolder = 1;
    setText(*folder, &LinkItem::Name, name);
    return add(std::move(folder));
}

LinkItem *ItemSink::addLink(std::string_view name, std::string_view url)
{
    ++m_report.links;
    std::unique_ptr<LinkItem> link = m_block->newItem();
    setText(*link, &LinkItem::Name, name);
    setText(*link, &LinkItem::Url, url);
    return add(std::move(link));
}

void ItemSink::setText(LinkItem &item, ItemText LinkItem::*field, std::string_view text)
{
    m_block->setText(item, item.*field, m_block->holds(text) ? text : m_block->keep(text));
}

void ItemSink::enterFolder(LinkItem *folder)
{
    m_frames.push_back({folder, {}});
}

bool ItemSink::leaveFolder()
{
    if (m_frames.size() < 2)
        return false;
    flush(m_frames.back());
    m_frames.pop_back();
    return true;
}

void ItemSink::flush(Frame &frame)
{
    // Item names never hold a backslash: it separates the names of a folder path. A link without a
    // title is named by its address, as browsers show it.
    for (const auto &entry : frame.entries) {
        if (entry->Name.empty() && !entry->isFolder() && !entry->Url.empty())
            setText(*entry, &LinkItem::Name, nameOfAddress(entry->Url));
        if (entry->Name.find('\\') != std::string_view::npos) {
            std::string name = entry->Name.str();
            std::replace(name.begin(), name.end(), '\\', '_');
            entry->Name = name;
        }
    }
    if (!frame.entries.empty())
        frame.folder->Children.InsertSortedBatch(std::move(frame.entries));
    frame.entries.clear();
}

bool ItemSink::advance(qint64 done)
{
    if (m_cancelled)
        return false;
    if (!m_progress)
        return true;
    if (m_sinceReport < ItemsPerReport && done - m_reportedAt < BytesPerReport)
        return true;
    m_sinceReport = 0;
    m_reportedAt = done;
    if (!m_progress(m_report.folders, m_report.links)) {
        m_cancelled = true;
        m_report.cancel();
        return false;
    }
    return true;
}

void ItemSink::finish()
{
    // Innermost first: each folder is complete before its own folder takes it in.
    while (m_frames.size() > 1) {
        flush(m_frames.back());
        m_frames.pop_back();
    }
    flush(m_frames.back());
}
