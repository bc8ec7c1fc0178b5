#pragma once

#include "store/LinkItem.h"

#include <QByteArray>

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

// Memory for the items one read makes: their LinkItem objects, carved out of a few large slabs, and the
// bytes that were read, which their texts point into. Each item keeps its block alive; when the last item
// of a block is destroyed, wherever it has moved by then, the block goes too. Reading 100,000 items
// costs a few dozen allocations this way instead of several hundred thousand.
//
// A slot is not reused when its item dies early, and the bytes read stay as long as any item read from
// them does: memory comes back with the block as a whole (deleting most of a large collection frees
// little until the program starts again; a long-running session's edits make heap items). The count of
// items is not atomic: the items of one block are destroyed from one thread at a time, as the items of
// any one tree are.
class ItemBlock
{
public:
    // A new block, with one reference for the caller (see ItemBlockRef).
    static ItemBlock *create();

    ItemBlock(const ItemBlock &) = delete;
    ItemBlock &operator=(const ItemBlock &) = delete;

    // The bytes the texts of the items point into; filled before the items are made, never moved after.
    QByteArray &bytes() noexcept { return m_bytes; }
    // A copy of bytes that lives as long as the block, for texts made while reading (decoded ones).
    std::string_view keep(std::string_view bytes);
    // Room for size bytes that lives as long as the block and never moves: a reader that reads in pieces
    // reads into these, and its texts point into them.
    char *newPiece(size_t size);
    // True when text lies inside bytes().
    bool holds(std::string_view text) const noexcept
    {
        const char *begin = m_bytes.constData();
        return text.data() >= begin && text.data() + text.size() <= begin + m_bytes.size();
    }

    // A new, empty item that lives in this block.
    std::unique_ptr<LinkItem> newItem();
    // Points text at bytes, which must lie inside bytes() or a piece or come from keep(), when item lives in
    // this block; any other item gets a copy.
    void setText(LinkItem &item, ItemText &text, std::string_view bytes)
    {
        if (!bytes.empty() && livesHere(item)) {
            text.release();
            text.m_data = bytes.data();
            text.m_size = static_cast<std::uint32_t>(bytes.size());
        } else {
            text = bytes;
        }
    }

    void retain() noexcept { ++m_references; }
    void release() noexcept;

private:
    ItemBlock();
    ~ItemBlock();
    void *nextSlot();
    bool livesHere(const LinkItem &item) const noexcept;

    long m_references = 1;
    QByteArray m_bytes;
    std::vector<std::unique_ptr<std::byte[]>> m_slabs;
    size_t m_slotsUsed = 0;
    size_t m_slotsInSlab = 0;
    std::vector<std::unique_ptr<char[]>> m_pieces;
    std::vector<std::unique_ptr<char[]>> m_textChunks;
    char *m_textFree = nullptr;
    size_t m_textLeft = 0;
    size_t m_lastChunk = 0;
};

inline bool ItemBlock::livesHere(const LinkItem &item) const noexcept
{
    return item.m_block == this;
}

// The caller's reference to a block, let go when this goes.
class ItemBlockRef
{
public:
    explicit ItemBlockRef(ItemBlock *block) noexcept : m_block(block) { }
    ~ItemBlockRef()
    {
        if (m_block)
            m_block->release();
    }
    ItemBlockRef(const ItemBlockRef &) = delete;
    ItemBlockRef &operator=(const ItemBlockRef &) = delete;

    ItemBlock *operator->() const noexcept { return m_block; }
    ItemBlock *get() const noexcept { return m_block; }

private:
    ItemBlock *m_block;
};
