#include "mainwindow/SortMarkStyle.h"

#include <QPainter>
#include <QStyleOptionHeader>

void SortMarkStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option);
    if (element != PE_IndicatorHeaderArrow || !header || header->sortIndicator == QStyleOptionHeader::None) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // QHeaderView hands an ascending order to the style as SortDown.
    const bool ascending = header->sortIndicator == QStyleOptionHeader::SortDown;
    constexpr int Height = 5;
    const QPoint centre = option->rect.center();
    const int top = centre.y() - Height / 2;
    painter->save();
    const QColor colour = option->palette.color(QPalette::ButtonText);
    for (int step = 0; step < Height; ++step) {
        // Row `step` counted from the point of the triangle is 2 * step + 1 pixels wide.
        const int y = ascending ? top + step : top + Height - 1 - step;
        painter->fillRect(QRect(centre.x() - step, y, 2 * step + 1, 1), colour);
    }
    painter->restore();
}
