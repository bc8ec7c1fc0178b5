#include "store/NativeImportExport.h"

#include "store/ItemBlock.h"
#include "store/LinkItem.h"
#include "store/NativeStream.h"

#include <QCoreApplication>
#include <QIODevice>

#include <algorithm>
#include <memory>
#include <vector>

namespace {
constexpr int ProgressInterval = 1024;
}

NativeImportExport::NativeImportExport(QIODevice *stream) : ImportExport(stream) { }

NativeImportExport::~NativeImportExport() = default;

void NativeImportExport::writeExtraFields(Writer &, const LinkItem &) { }

bool NativeImportExport::readExtraFields(Reader &, LinkItem &item)
{
    item.Rating = 0;
    item.LastVisit = 0.0;
    return true;
}

void NativeImportExport::writeFields(Writer &writer, const LinkItem &item)
{
    writer.writeString(item.Name);
    writer.writeString(item.Url);
    writer.writeString(item.Description);
    writer.writeByte(item.IsFolder);
    writer.writeInt32(item.Visits);
    writeExtraFields(writer, item);
}

bool NativeImportExport::writeSubtree(Writer &writer, const LinkItem &top)
{
    // Depth first, each folder's whole subtree before its next sibling, with an explicit stack so
    // that any depth can be written.
    writeFields(writer, top);
    writer.writeInt32(top.Children.Count());
    std::vector<std::pair<const LinkItem *, int>> stack {{&top, 0}};
    while (!stack.empty() && !writer.failed()) {
        auto &[item, next] = stack.back();
        if (next == item->Children.Count()) {
            stack.pop_back();
            continue;
        }
        const LinkItem *child = item->Children.Get(next++);
        writeFields(writer, *child);
        writer.writeInt32(child->Children.Count());
        stack.emplace_back(child, 0);
    }
    return !writer.failed();
}

bool NativeImportExport::finishWrite(Writer &writer)
{
    if (!writer.flush()) {
        setError(writer.errorString());
        return false;
    }
    return true;
}

bool NativeImportExport::WriteItem(const LinkItem &item)
{
    Writer writer(m_stream);
    writeSubtree(writer, item);
    return finishWrite(writer);
}

bool NativeImportExport::WriteList(const ItemList &children)
{
    Writer writer(m_stream);
    writer.writeInt32(children.Count());
    for (const auto &child : children) {
        if (!writeSubtree(writer, *child))
            break;
    }
    return finishWrite(writer);
}

bool NativeImportExport::readFields(Reader &reader, ItemBlock &block, LinkItem &item)
{
    // Each field is assigned only once it has been read whole; what was not read keeps its value.
    for (ItemText LinkItem::*field : {&LinkItem::Name, &LinkItem::Url, &LinkItem::Description}) {
        std::int32_t length = 0;
        if (!reader.readInt32(length)) {
            setError(QCoreApplication::translate("NativeImportExport", "The data ends inside a record."));
            return false;
        }
        if (length < 0) {
            setError(QCoreApplication::translate("NativeImportExport", "A text length of %1 bytes cannot be right.")
                         .arg(length));
            return false;
        }
        std::string_view value;
        if (!reader.readString(length, value)) {
            setError(QCoreApplication::translate("NativeImportExport",
                                                 "A text length of %1 bytes is more than the %2 bytes left.")
                         .arg(length)
                         .arg(reader.remaining()));
            return false;
        }
        block.setText(item, item.*field, value);
    }
    std::uint8_t isFolder = 0;
    std::int32_t visits = 0;
    if (!reader.readByte(isFolder) || !reader.readInt32(visits)) {
        setError(QCoreApplication::translate("NativeImportExport", "The data ends inside a record."));
        return false;
    }
    item.IsFolder = isFolder;
    item.Visits = visits;
    if (!readExtraFields(reader, item)) {
        setError(QCoreApplication::translate("NativeImportExport", "The data ends inside a record."));
        return false;
    }
    return true;
}

bool NativeImportExport::readCount(Reader &reader, std::int32_t &count)
{
    if (!reader.readInt32(count)) {
        setError(QCoreApplication::translate("NativeImportExport", "The data ends before a child count."));
        return false;
    }
    // A negative count reads no children. A count larger than the remaining bytes can hold is not
    // trusted either: nothing is reserved for it, and the children are read one by one until the
    // data ends, so a file cut short keeps every child that is still in it.
    count = std::max<std::int32_t>(count, 0);
    return true;
}

bool NativeImportExport::readChildren(Reader &reader, ItemBlock &block, LinkItem &owner)
{
    std::int32_t count = 0;
    if (!readCount(reader, count))
        return false;

    // One frame per folder being read. A folder's children are collected first and put into it at
    // once, in the order one-by-one sorted insertion would give, without its quadratic cost.
    struct Frame
    {
        LinkItem *owner;
        std::int32_t left;
        std::vector<std::unique_ptr<LinkItem>> items;
        // The order of the names so far, noted while each name is still in the cache.
        bool ascending = true;
        bool strictlyDescending = true;

        void add(std::unique_ptr<LinkItem> item)
        {
            if (!items.empty()) {
                const int c = CompareNames(items.back()->Name, item->Name);
                ascending = ascending && c <= 0;
                strictlyDescending = strictlyDescending && c > 0;
            }
            items.push_back(std::move(item));
        }
        ItemList::BatchOrder order() const
        {
            if (ascending)
                return ItemList::BatchOrder::Ascending;
            return strictlyDescending ? ItemList::BatchOrder::StrictlyDescending : ItemList::BatchOrder::Unknown;
        }
    };
    std::vector<Frame> stack;
    stack.push_back({&owner, count, {}});
    const auto closeTop = [&stack] {
        Frame frame = std::move(stack.back());
        stack.pop_back();
        frame.owner->Children.InsertSortedBatch(std::move(frame.items), frame.order());
    };

    bool complete = true;
    while (!stack.empty()) {
        if (stack.back().left == 0) {
            closeTop();
            continue;
        }
        --stack.back().left;
        std::unique_ptr<LinkItem> child = block.newItem();
        LinkItem *raw = child.get();
        const bool fieldsRead = readFields(reader, block, *raw);
        if (fieldsRead || !raw->Name.empty()) {
            // A record cut short keeps what was read of it, unless not even its name was.
            stack.back().add(std::move(child));
            ++(raw->isFolder() ? m_foldersRead : m_linksRead);
        }
        if (!fieldsRead || !readCount(reader, count)) {
            complete = false;
            break;
        }
        if (m_progress && (m_foldersRead + m_linksRead) % ProgressInterval == 0
            && !m_progress(m_foldersRead, m_linksRead)) {
            m_cancelled = true;
            setError(QCoreApplication::translate("NativeImportExport", "The read was cancelled."));
            complete = false;
            break;
        }
        if (count > 0)
            stack.push_back({raw, count, {}});
    }
    while (!stack.empty())
        closeTop();
    return complete;
}

bool NativeImportExport::read(LinkItem &target, bool withRecord)
{
    // The items read live in one block with the bytes read, and their texts point into those bytes.
    m_foldersRead = m_linksRead = 0;
    ItemBlockRef block(ItemBlock::create());
    Reader reader(m_stream, *block.get());
    const bool ok
        = (!withRecord || readFields(reader, *block.get(), target)) && readChildren(reader, *block.get(), target);
    reader.release();
    return ok;
}

bool NativeImportExport::ReadItem(LinkItem &target)
{
    return read(target, true);
}

bool NativeImportExport::ReadList(LinkItem &target)
{
    return read(target, false);
}
