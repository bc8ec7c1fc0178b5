#include "transfer/formats/FormatText.h"

#include "store/TextCodec.h"

#include <algorithm>
#include <limits>

namespace FormatText {

bool isValidUtf8(std::string_view bytes) noexcept
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        unsigned min;
        unsigned code;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            min = 0x80;
            code = c & 0x1Fu;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            min = 0x800;
            code = c & 0x0Fu;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            min = 0x10000;
            code = c & 0x07u;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3Fu);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

std::string toUtf8(std::string_view bytes)
{
    std::string text(bytes);
    makeUtf8(text);
    return text;
}

void makeUtf8(std::string &bytes)
{
    if (bytes.find('\0') != std::string::npos)
        bytes.erase(std::remove(bytes.begin(), bytes.end(), '\0'), bytes.end());
    if (!isValidUtf8(bytes))
        bytes = TextCodec::fromDisplay(TextCodec::toDisplay(bytes));
}

std::string_view trimmed(std::string_view text) noexcept
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (toLowerAscii(a[i]) != toLowerAscii(b[i]))
            return false;
    }
    return true;
}

bool parseInteger(std::string_view text, long long &value) noexcept
{
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    unsigned long long magnitude = 0;
    constexpr unsigned long long Limit = static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude > (Limit - digit) / 10)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

} // namespace FormatText
