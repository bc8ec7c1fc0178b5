#pragma once

#include <string>
#include <string_view>

// Texts between item bytes and the files of other programs. Items hold UTF-8 (older collections:
// Windows-1252); the formats here are written and read as UTF-8.
namespace FormatText {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes) noexcept;
// Valid UTF-8 without zero bytes: text as items hold it.
bool isCleanUtf8(std::string_view bytes) noexcept;

// Bytes as UTF-8: valid UTF-8 is kept as it is, anything else is taken as Windows-1252 (the rule by
// which items display) and converted. Zero bytes are dropped: an item's texts never hold one.
std::string toUtf8(std::string_view bytes);

// In place; cheap when the text is already plain.
void makeUtf8(std::string &bytes);

inline bool isSpace(char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string_view trimmed(std::string_view text) noexcept;

inline char toLowerAscii(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (toLowerAscii(a[i]) != toLowerAscii(b[i]))
            return false;
    }
    return true;
}

// A decimal integer with an optional sign, surrounded by blanks at most; false for anything else or
// a value outside what 64 bits hold.
bool parseInteger(std::string_view text, long long &value) noexcept;

} // namespace FormatText
