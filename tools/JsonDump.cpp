#include "JsonDump.h"

#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QIODevice>

#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

namespace {
constexpr qsizetype FlushSize = 64 * 1024;
constexpr char HexDigits[] = "0123456789abcdef";
} // namespace

JsonDump::JsonDump(QIODevice *device) : m_device(device)
{
    m_buffer.reserve(FlushSize + 1024);
}

bool JsonDump::write(const LinkItem &top)
{
    // Each frame is a folder whose children are being written and the index of the next one.
    std::vector<std::pair<const LinkItem *, int>> stack;
    openItem(top);
    stack.emplace_back(&top, 0);
    while (!stack.empty() && !m_failed) {
        auto &[item, next] = stack.back();
        if (next == item->Children.Count()) {
            m_buffer += "]}";
            stack.pop_back();
        } else {
            if (next > 0)
                m_buffer += ',';
            const LinkItem *child = item->Children.Get(next++);
            m_buffer += '\n';
            openItem(*child);
            stack.emplace_back(child, 0);
        }
        if (m_buffer.size() >= FlushSize)
            flush();
    }
    m_buffer += '\n';
    return flush();
}

void JsonDump::openItem(const LinkItem &item)
{
    m_buffer += "{\"name\":";
    appendString(item.Name);
    m_buffer += ",\"url\":";
    appendString(item.Url);
    m_buffer += ",\"description\":";
    appendString(item.Description);
    m_buffer += item.isFolder() ? ",\"isFolder\":true" : ",\"isFolder\":false";
    m_buffer += ",\"visits\":";
    m_buffer += QByteArray::number(item.Visits);
    m_buffer += ",\"rating\":";
    m_buffer += QByteArray::number(item.Rating);
    m_buffer += ",\"lastVisit\":";
    appendNumber(item.LastVisit);
    m_buffer += ",\"children\":[";
}

void JsonDump::appendString(std::string_view bytes)
{
    const QByteArray utf8 = TextCodec::toDisplay(bytes).toUtf8();
    m_buffer += '"';
    for (const char c : utf8) {
        switch (c) {
        case '"':
            m_buffer += "\\\"";
            break;
        case '\\':
            m_buffer += "\\\\";
            break;
        case '\b':
            m_buffer += "\\b";
            break;
        case '\f':
            m_buffer += "\\f";
            break;
        case '\n':
            m_buffer += "\\n";
            break;
        case '\r':
            m_buffer += "\\r";
            break;
        case '\t':
            m_buffer += "\\t";
            break;
        default:
            if (const auto byte = static_cast<unsigned char>(c); byte < 0x20) {
                m_buffer += "\\u00";
                m_buffer += HexDigits[byte >> 4];
                m_buffer += HexDigits[byte & 0xF];
            } else {
                m_buffer += c;
            }
        }
    }
    m_buffer += '"';
}

void JsonDump::appendNumber(double value)
{
    // JSON has no NaN or infinity; a damaged or foreign file may hold them.
    if (!std::isfinite(value)) {
        m_buffer += "null";
        return;
    }
    // The shortest text that reads back as the same double.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    m_buffer.append(text, result.ptr - text);
}

bool JsonDump::flush()
{
    if (m_failed)
        return false;
    if (!m_buffer.isEmpty() && m_device->write(m_buffer) != m_buffer.size()) {
        m_failed = true;
        m_error = m_device->errorString();
    }
    m_buffer.resize(0); // keeps the capacity for the next round
    return !m_failed;
}
