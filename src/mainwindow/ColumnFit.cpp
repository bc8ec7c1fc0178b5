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

ColumnLayout firstStart(const QFontMetrics &cells, const QFontMetrics &captions, int available)
{
    ColumnLayout columns = DefaultColumns();
    int usual[LinkListModel::ColumnCount] = {};
    int least[LinkListModel::ColumnCount] = {};
    for (int id = NameColumn; id <= RatingColumn; ++id) {
        int cell = cells.horizontalAdvance(usualText(id)) + CellPadding;
        if (id == NameColumn)
            cell += IconRoom;
        least[id] = captions.horizontalAdvance(LinkListColumnTitle(id)) + CellPadding + SortMarkRoom;
        usual[id] = std::max(cell, least[id]);
    }
    const int left = available - usual[VisitsColumn] - usual[LastVisitColumn] - usual[RatingColumn];
    const int name = std::clamp(left * NameSharePercent / 100, least[NameColumn], usual[NameColumn]);
    const int url = std::clamp(left - name, least[UrlColumn], usual[UrlColumn]);
    for (ColumnInfo &column : columns) {
        const int id = ColumnIdOf(column.Caption);
        column.Width = id == NameColumn ? name : (id == UrlColumn ? url : usual[id]);
    }
    return columns;
}

} // namespace ColumnFit
