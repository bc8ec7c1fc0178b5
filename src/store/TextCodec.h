#pragma once

#include <QString>

#include <string>
#include <string_view>

// Item texts are stored as bytes. Text typed today is stored as UTF-8; collections from older
// machines hold Windows-1252. Bytes that are valid UTF-8 display as UTF-8, anything else as Windows-1252.
namespace TextCodec {

QString toDisplay(std::string_view bytes);
std::string fromDisplay(const QString &text);

} // namespace TextCodec
