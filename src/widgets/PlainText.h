#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Text from the collection, from files and from the user is shown character for character: Qt must never take it
// for markup, since rich text renders tags and loads every picture it names, /dev/zero included.
namespace PlainText {

// A tool tip that shows text exactly as it is, spaces and line breaks included. Qt decides by the look of a tool tip
// whether it is rich text, so plain text is handed over as escaped rich text that cannot be mistaken. Empty for an
// empty text, which shows no tool tip.
QString toolTip(const QString &text);

// Runs a modal message box whose text and informative text (left out when empty) are plain text, with defaultButton
// as its default when one is given. Returns the button chosen, NoButton when the box was closed without one.
QMessageBox::StandardButton messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                       const QString &text, QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                       const QString &informativeText = QString());

} // namespace PlainText
