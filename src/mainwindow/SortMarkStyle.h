#pragma once

#include <QProxyStyle>

// Draws the column header's sort mark as the list has always shown it, whatever the platform's habit:
// a small triangle pointing up for an ascending sort and down for a descending one, five pixels high.
class SortMarkStyle : public QProxyStyle
{
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};
