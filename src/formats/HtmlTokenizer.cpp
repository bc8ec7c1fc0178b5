#include "formats/HtmlTokenizer.h"

#include "formats/ByteScan.h"
#include "formats/FormatText.h"

#include <cstring>

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool endsName(char c)
{
    return FormatText::isSpace(c) || c == '/' || c == '>';
}

} // namespace

bool HtmlTokenizer::startsMarkup(size_t at) const
{
    if (m_html[at] != '<' || at + 1 >= m_html.size())
        return false;
    const char c = m_html[at + 1];
    return isLetter(c) || c == '/' || c == '!' || c == '?';
}

size_t HtmlTokenizer::find(char c, size_t from) const
{
    if (from >= m_html.size())
        return std::string_view::npos;
    const void *found = std::memchr(m_html.data() + from, c, m_html.size() - from);
    return found ? static_cast<size_t>(static_cast<const char *>(found) - m_html.data()) : std::string_view::npos;
}

void HtmlTokenizer::finish(Kind kind, size_t start, size_t end)
{
    m_kind = kind;
    m_raw = m_html.substr(start, end - start);
    m_position = end;
}

bool HtmlTokenizer::attribute(std::string_view name, std::string_view &value) const
{
    for (const Attribute &a : m_attributes) {
        if (FormatText::equalsIgnoringCase(a.name, name)) {
            value = a.value;
            return true;
        }
    }
    return false;
}

HtmlTokenizer::Kind HtmlTokenizer::next()
{
    m_name = {};
    m_attributes.clear();
    m_repaired = false;
    const size_t start = m_position;
    const size_t size = m_html.size();
    if (start >= size) {
        finish(Kind::End, size, size);
        return m_kind;
    }

    if (!startsMarkup(start)) {
        // Text up to the next "<" that starts markup.
        size_t at = find('<', start + 1);
        while (at != std::string_view::npos && !startsMarkup(at))
            at = find('<', at + 1);
        finish(Kind::Text, start, at == std::string_view::npos ? size : at);
        return m_kind;
    }

    const char c = m_html[start + 1];
    if (c == '!') {
        if (m_html.substr(start, 4) == "<!--")
            readComment(start);
        else
            readDeclaration(start);
        return m_kind;
    }
    if (c == '?') {
        readDeclaration(start);
        return m_kind;
    }
    if (c == '/') {
        readEndTag(start);
        return m_kind;
    }
    size_t i = start + 1;
    while (i < size && !endsName(m_html[i]) && m_html[i] != '<')
        ++i;
    m_name = m_html.substr(start + 1, i - start - 1);
    readTagAttributes(i);
    m_kind = Kind::StartTag;
    m_raw = m_html.substr(start, i - start);
    m_position = i;
    return m_kind;
}

// From just after the tag name to just after the tag's ">" (or where a repair ends it).
void HtmlTokenizer::readTagAttributes(size_t &i)
{
    const size_t size = m_html.size();
    for (;;) {
        while (i < size && (FormatText::isSpace(m_html[i]) || m_html[i] == '/'))
            ++i;
        if (i >= size) {
            m_repaired = true;
            return;
        }
        if (m_html[i] == '>') {
            ++i;
            return;
        }
        if (m_html[i] == '<') { // the ">" is missing: the next tag starts here
            m_repaired = true;
            return;
        }
        const size_t nameStart = i;
        ++i; // a name may start with "=" or a quote
        while (i < size && !endsName(m_html[i]) && m_html[i] != '=' && m_html[i] != '<')
            ++i;
        Attribute attribute {m_html.substr(nameStart, i - nameStart), {}};
        size_t j = i;
        while (j < size && FormatText::isSpace(m_html[j]))
            ++j;
        if (j >= size || m_html[j] != '=') {
            m_attributes.push_back(attribute);
            continue;
        }
        i = j + 1;
        while (i < size && FormatText::isSpace(m_html[i]))
            ++i;
        if (i >= size) {
            m_attributes.push_back(attribute);
            m_repaired = true;
            return;
        }
        const char quote = m_html[i];
        if (quote == '"' || quote == '\'') {
            const size_t valueStart = i + 1;
            // Usually the closing quote comes before any line break: one scan finds it.
            const size_t stop = ByteScan::findAnyOf(m_html.data(), valueStart, size, quote, '\n', '\r');
            if (stop < size && m_html[stop] == quote) {
                attribute.value = m_html.substr(valueStart, stop - valueStart);
                m_attributes.push_back(attribute);
                i = stop + 1;
                continue;
            }
            const int slot = quote == '"' ? 0 : 1;
            size_t close = std::string_view::npos;
            if (valueStart < m_noQuoteFrom[slot]) {
                close = find(quote, valueStart);
                if (close == std::string_view::npos)
                    m_noQuoteFrom[slot] = valueStart; // later searches need not look again
            }
            const size_t valueEnd = close == std::string_view::npos ? size : close;
            // A line break inside the value followed by markup means the closing quote is missing.
            const std::string_view value = m_html.substr(valueStart, valueEnd - valueStart);
            size_t lineBreak = value.find_first_of("\r\n");
            bool unterminated = close == std::string_view::npos;
            if (!unterminated && lineBreak != std::string_view::npos)
                unterminated = value.find('<', lineBreak) != std::string_view::npos;
            if (!unterminated) {
                attribute.value = value;
                m_attributes.push_back(attribute);
                i = close + 1;
                continue;
            }
            m_repaired = true;
            if (lineBreak == std::string_view::npos)
                lineBreak = value.size();
            const size_t gt = value.substr(0, lineBreak).find('>');
            if (gt != std::string_view::npos) {
                attribute.value = value.substr(0, gt);
                i = valueStart + gt + 1;
            } else {
                attribute.value = value.substr(0, lineBreak);
                i = valueStart + lineBreak;
            }
            m_attributes.push_back(attribute);
            return;
        }
        const size_t valueStart = i;
        while (i < size && !FormatText::isSpace(m_html[i]) && m_html[i] != '>')
            ++i;
        attribute.value = m_html.substr(valueStart, i - valueStart);
        m_attributes.push_back(attribute);
    }
}

void HtmlTokenizer::readComment(size_t start)
{
    const size_t size = m_html.size();
    size_t end = start + 4;
    if (end < size && m_html[end] == '>') { // "<!-->"
        finish(Kind::Comment, start, end + 1);
        return;
    }
    size_t at = std::string_view::npos;
    if (end < m_noCommentEndFrom) {
        at = find('-', end);
        while (at != std::string_view::npos && m_html.substr(at, 3) != "-->")
            at = find('-', at + 1);
        if (at == std::string_view::npos)
            m_noCommentEndFrom = end; // later comments need not look again
    }
    if (at != std::string_view::npos) {
        finish(Kind::Comment, start, at + 3);
        return;
    }
    // Unterminated: up to the next ">", so that one broken comment does not hide the rest.
    m_repaired = true;
    const size_t gt = find('>', end);
    finish(Kind::Comment, start, gt == std::string_view::npos ? size : gt + 1);
}

void HtmlTokenizer::readDeclaration(size_t start)
{
    const size_t gt = find('>', start + 2);
    if (gt == std::string_view::npos)
        m_repaired = true;
    finish(Kind::Declaration, start, gt == std::string_view::npos ? m_html.size() : gt + 1);
}

void HtmlTokenizer::readEndTag(size_t start)
{
    const size_t size = m_html.size();
    size_t i = start + 2;
    if (i >= size || !isLetter(m_html[i])) {
        // "</>" or "</ something>": nothing that matters
        readDeclaration(start);
        return;
    }
    while (i < size && !endsName(m_html[i]) && m_html[i] != '<')
        ++i;
    m_name = m_html.substr(start + 2, i - start - 2);
    while (i < size && m_html[i] != '>' && m_html[i] != '<')
        ++i;
    if (i < size && m_html[i] == '>') {
        ++i;
    } else {
        m_repaired = true;
    }
    m_kind = Kind::EndTag;
    m_raw = m_html.substr(start, i - start);
    m_position = i;
}
