#include "widgets/PlainText.h"

#include <QLabel>

namespace PlainText {

QString toolTip(const QString &text)
{
    if (text.isEmpty())
        return {};
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

QMessageBox::StandardButton messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                       const QString &text, QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton defaultButton, const QString &informativeText)
{
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    if (!informativeText.isEmpty())
        box.setInformativeText(informativeText);
    // setTextFormat reaches the main text only: the informative text has a label of its own, which would guess.
    const QList<QLabel *> labels = box.findChildren<QLabel *>();
    for (QLabel *label : labels)
        label->setTextFormat(Qt::PlainText);
    box.exec();
    return box.standardButton(box.clickedButton());
}

} // namespace PlainText
