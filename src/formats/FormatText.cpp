#include "formats/FormatText.h"

#include "formats/ByteScan.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace FormatText {

bool isValidUtf8(std::string_view bytes) noexcept
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    for (size_t i = ByteScan::findBelowOrHigh(bytes.data(), 0, bytes.size(), 0); i < bytes.size();
         i = ByteScan::findBelowOrHigh(bytes.data(), i, bytes.size(), 0)) {
        const size_t length = ByteScan::utf8SequenceLength(data + i, bytes.size() - i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

bool isCleanUtf8(std::string_view bytes) noexcept
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    // Bytes below 1 (zero) and from 0x80 on.
    for (size_t i = ByteScan::findBelowOrHigh(bytes.data(), 0, bytes.size(), 1); i < bytes.size();
         i = ByteScan::findBelowOrHigh(bytes.data(), i, bytes.size(), 1)) {
        const size_t length = data[i] == 0 ? 0 : ByteScan::utf8SequenceLength(data + i, bytes.size() - i);
        if (length == 0)
            return false;
        i += length;
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
    if (isCleanUtf8(bytes))
        return;
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
