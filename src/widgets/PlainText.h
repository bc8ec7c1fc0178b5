#pragma once

#include <QString>

// Text from the collection, from files and from the user is shown character for character: Qt must never take it
// for markup, since rich text renders tags and loads every picture it names, /dev/zero included.
namespace PlainText {

// A tool tip that shows text exactly as it is, spaces and line breaks included. Qt decides by the look of a tool tip
// whether it is rich text, so plain text is handed over as escaped rich text that cannot be mistaken. Empty for an
// empty text, which shows no tool tip.
QString toolTip(const QString &text);

} // namespace PlainText
