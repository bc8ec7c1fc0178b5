#include "mainwindow/ColumnFit.h"

#include "mainwindow/LinkListModel.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QDateTime>
#include <QFontMetrics>

#include <algorithm>

namespace ColumnFit {

QString usualText(int column)
{
    switch (column) {
    case NameColumn:
        return QString(NameCharacters, QLatin1Char('n'));
    case UrlColumn:
        return QString(UrlCharacters, QLatin1Char('n'));
    case VisitsColumn:
        return QStringLiteral("99999");
    case LastVisitColumn: {
        // Two-digit day and month and a late time: the widest form of a date in most locales.
        const QDateTime late(QDate(QDate::currentDate().year(), 12, 28), QTime(23, 58, 58));
        return LinkListLastVisitText(DateConverter::fromDateTime(late));
    }
    case RatingColumn:
        return QStringLiteral("10");
    default:
        return {};
    }
}

ColumnLayout firstStart(const QFontMetrics &cells, const QFontMetrics &captions)
{
    ColumnLayout columns = DefaultColumns();
    const LinkListModel captionSource;
    for (ColumnInfo &column : columns) {
        const int id = ColumnIdOf(column.Caption);
        int cell = cells.horizontalAdvance(usualText(id)) + CellPadding;
        if (id == NameColumn)
            cell += IconRoom;
        const QString caption = captionSource.headerData(id, Qt::Horizontal, Qt::DisplayRole).toString();
        const int header = captions.horizontalAdvance(caption) + CellPadding + SortMarkRoom;
        column.Width = std::max(cell, header);
    }
    return columns;
}

} // namespace ColumnFit
