#include "store/ItemText.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

// The longest text the native format can store; a longer one is refused where it would be made.
constexpr size_t MaxTextBytes = INT32_MAX;

char *copyOf(std::string_view first, std::string_view second = {})
{
    char *bytes = new char[first.size() + second.size()];
    if (!first.empty())
        std::memcpy(bytes, first.data(), first.size());
    if (!second.empty())
        std::memcpy(bytes + first.size(), second.data(), second.size());
    return bytes;
}

} // namespace

ItemText::ItemText(ItemText &&other)
{
    *this = std::move(other);
}

void ItemText::assign(std::string_view text)
{
    if (text.size() > MaxTextBytes)
        throw std::length_error("ItemText: a text longer than 2^31-1 bytes");
    // Copy before letting go: the new text may be a piece of the old one.
    const char *bytes = text.empty() ? "" : copyOf(text);
    release();
    m_data = bytes;
    m_size = static_cast<std::uint32_t>(text.size());
    m_owned = !text.empty();
}

ItemText &ItemText::operator=(const ItemText &other)
{
    if (this != &other)
        assign(other.view());
    return *this;
}

ItemText &ItemText::operator=(ItemText &&other)
{
    if (this == &other)
        return *this;
    if (!other.m_owned) {
        // A borrowed text is tied to its own item's block: take a copy, not the pointer.
        assign(other.view());
        return *this;
    }
    release();
    m_data = std::exchange(other.m_data, "");
    m_size = std::exchange(other.m_size, 0);
    m_owned = std::exchange(other.m_owned, false);
    return *this;
}

ItemText &ItemText::operator=(std::string_view text)
{
    assign(text);
    return *this;
}

ItemText &ItemText::operator+=(std::string_view text)
{
    if (text.empty())
        return *this;
    if (text.size() > MaxTextBytes - m_size)
        throw std::length_error("ItemText: a text longer than 2^31-1 bytes");
    const char *bytes = copyOf(view(), text);
    const std::uint32_t size = m_size + static_cast<std::uint32_t>(text.size());
    release();
    m_data = bytes;
    m_size = size;
    m_owned = true;
    return *this;
}
