#include "mainwindow/LinkCheckMark.h"

#include "widgets/Icons.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPixmap>

namespace LinkCheckMark {

QIcon brokenIcon()
{
    static const QIcon icon = [] {
        const QIcon plain = Icons::link();
        QIcon marked;
        for (int size : {16, 32, 48}) {
            QPixmap pixmap = plain.pixmap(size, size);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            const qreal side = size * 0.5;
            const QRectF box(size - side, size - side, side, side);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(200, 30, 30));
            painter.drawEllipse(box);
            painter.setPen(QPen(Qt::white, std::max(1.5, size / 12.0), Qt::SolidLine, Qt::RoundCap));
            const qreal inset = side * 0.3;
            const QRectF cross = box.adjusted(inset, inset, -inset, -inset);
            painter.drawLine(cross.topLeft(), cross.bottomRight());
            painter.drawLine(cross.topRight(), cross.bottomLeft());
            painter.end();
            marked.addPixmap(pixmap);
        }
        return marked;
    }();
    return icon;
}

QString outcomeText(LinkCheckResult::Outcome outcome)
{
    switch (outcome) {
    case LinkCheckResult::Ok:
        return QCoreApplication::translate("LinkCheckMark", "OK");
    case LinkCheckResult::Moved:
        return QCoreApplication::translate("LinkCheckMark", "Moved");
    case LinkCheckResult::Redirected:
        return QCoreApplication::translate("LinkCheckMark", "Redirected");
    case LinkCheckResult::Broken:
        return QCoreApplication::translate("LinkCheckMark", "Broken");
    case LinkCheckResult::Unreachable:
        return QCoreApplication::translate("LinkCheckMark", "Unreachable");
    case LinkCheckResult::NotChecked:
        break;
    }
    return QCoreApplication::translate("LinkCheckMark", "Not checked");
}

QString verdictText(const LinkCheckResult &result)
{
    if (result.isRateLimited())
        return QCoreApplication::translate("LinkCheckMark", "Unreachable (rate limited)");
    return outcomeText(result.outcome);
}

} // namespace LinkCheckMark
