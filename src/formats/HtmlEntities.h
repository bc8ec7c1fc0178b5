#pragma once

#include <string>
#include <string_view>

// Character references of HTML, both ways, on UTF-8 text.
namespace HtmlEntities {

// Appends raw with its character references decoded: numeric ones (decimal and hexadecimal, the
// semicolon optional) and the named ones of HTML 4 plus &apos;. A reference that is not one is kept
// as written. In attribute values (attribute true) a reference without its semicolon that is followed
// by "=" or a letter or digit is kept as written, as browsers do for URLs such as "?a=1&copy=2".
void appendDecoded(std::string &out, std::string_view raw, bool attribute);

// Appends item bytes with every character that could be markup escaped: & < > " ' as references,
// control characters as numeric references (line feeds kept as they are inside the text when
// keepLineFeeds), and blanks at either end as numeric references so that a reader trimming the text
// keeps them. Bytes that are not UTF-8 are converted first (FormatText::toUtf8).
void appendEscaped(std::string &out, std::string_view bytes, bool keepLineFeeds = false);

// Appends the UTF-8 form of a code point (U+FFFD for what is none).
void appendUtf8(std::string &out, char32_t code);

} // namespace HtmlEntities
