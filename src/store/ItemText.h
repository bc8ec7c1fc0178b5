#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class ItemBlock;

// The bytes of one text of an item (its name, URL or description). Reads like a std::string_view.
//
// A text either owns a heap copy of its bytes or, for items read from a file, points into the bytes
// of the block the item lives in (see ItemBlock), which lives as long as the item does. Copies and
// moves between items always own their bytes, so a text never outlives what it points into.
class ItemText
{
public:
    ItemText() noexcept = default;
    explicit ItemText(std::string_view text) { assign(text); }
    ItemText(const ItemText &other) { assign(other.view()); }
    ItemText(ItemText &&other);
    ~ItemText() { release(); }

    ItemText &operator=(const ItemText &other);
    ItemText &operator=(ItemText &&other);
    ItemText &operator=(std::string_view text);
    ItemText &operator=(const char *text) { return *this = std::string_view(text); }
    ItemText &operator=(const std::string &text) { return *this = std::string_view(text); }
    ItemText &operator+=(std::string_view text);
    void clear() noexcept { release(); }
    ItemText &operator+=(char c) { return *this += std::string_view(&c, 1); }

    std::string_view view() const noexcept { return {m_data, m_size}; }
    operator std::string_view() const noexcept { return view(); }
    std::string str() const { return std::string(view()); }

    const char *data() const noexcept { return m_data; }
    size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }
    const char *begin() const noexcept { return m_data; }
    const char *end() const noexcept { return m_data + m_size; }
    size_t find(char c, size_t from = 0) const noexcept { return view().find(c, from); }
    size_t find(std::string_view s, size_t from = 0) const noexcept { return view().find(s, from); }

    // True when the bytes belong to this text rather than to a block.
    bool ownsBytes() const noexcept { return m_owned; }

    friend bool operator==(const ItemText &a, const ItemText &b) noexcept { return a.view() == b.view(); }
    friend bool operator==(const ItemText &a, std::string_view b) noexcept { return a.view() == b; }

private:
    friend class ItemBlock;
    void assign(std::string_view text);
    void release() noexcept
    {
        if (m_owned)
            delete[] m_data;
        m_data = "";
        m_size = 0;
        m_owned = false;
    }

    const char *m_data = "";
    std::uint32_t m_size = 0;
    bool m_owned = false;
};
