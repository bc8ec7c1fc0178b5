#include "store/ItemBlock.h"

#include "store/LinkItem.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// Slabs start small, so that a file of a few items costs little, and double up to about a megabyte.
constexpr size_t FirstSlabSlots = 64;
constexpr size_t LargestSlabSlots = 8192;
constexpr size_t FirstTextChunk = 16 * 1024;
constexpr size_t LargestTextChunk = 1024 * 1024;
static_assert(alignof(LinkItem) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
} // namespace

ItemBlock *ItemBlock::create()
{
    return new ItemBlock();
}

ItemBlock::ItemBlock() = default;

ItemBlock::~ItemBlock() = default;

void ItemBlock::release() noexcept
{
    if (--m_references == 0)
        delete this;
}

void *ItemBlock::nextSlot()
{
    if (m_slabs.empty() || m_slotsUsed == m_slotsInSlab) {
        const size_t slotCount = m_slabs.empty() ? FirstSlabSlots : std::min(m_slotsInSlab * 2, LargestSlabSlots);
        m_slabs.push_back(std::make_unique_for_overwrite<std::byte[]>(slotCount * sizeof(LinkItem)));
        m_slotsInSlab = slotCount;
        m_slotsUsed = 0;
    }
    return m_slabs.back().get() + sizeof(LinkItem) * m_slotsUsed++;
}

std::unique_ptr<LinkItem> ItemBlock::newItem()
{
    auto *item = ::new (nextSlot()) LinkItem();
    item->m_block = this;
    retain();
    return std::unique_ptr<LinkItem>(item);
}

std::string_view ItemBlock::keep(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    if (bytes.size() > m_textLeft) {
        m_lastChunk = m_lastChunk == 0 ? FirstTextChunk : std::min(m_lastChunk * 2, LargestTextChunk);
        const size_t size = std::max(m_lastChunk, bytes.size());
        m_textChunks.push_back(std::make_unique_for_overwrite<char[]>(size));
        m_textFree = m_textChunks.back().get();
        m_textLeft = size;
    }
    std::memcpy(m_textFree, bytes.data(), bytes.size());
    const std::string_view kept(m_textFree, bytes.size());
    m_textFree += bytes.size();
    m_textLeft -= bytes.size();
    return kept;
}

char *ItemBlock::newPiece(size_t size)
{
    m_pieces.push_back(std::make_unique_for_overwrite<char[]>(size));
    return m_pieces.back().get();
}
