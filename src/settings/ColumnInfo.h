#pragma once

#include <QString>

#include <array>
#include <cstdint>

// One list column's settings: its caption ("Name", "URL", "Visits", "Last Visit", "Rating"),
// whether it is shown and its width in pixels.
struct ColumnInfo
{
    QString Caption;
    std::uint8_t Visible = 1;
    std::int32_t Width = 0;

    friend bool operator==(const ColumnInfo &, const ColumnInfo &) = default;
};

// The five list columns in display order, leftmost first.
using ColumnLayout = std::array<ColumnInfo, 5>;

// The column identifiers as stored: 0 "Name", 1 "URL", 2 "Visits", 3 "Last Visit", 4 "Rating".
enum ColumnId : int { NameColumn = 0, UrlColumn, VisitsColumn, LastVisitColumn, RatingColumn };

inline QString ColumnCaption(int id)
{
    switch (id) {
    case NameColumn:
        return QStringLiteral("Name");
    case UrlColumn:
        return QStringLiteral("URL");
    case VisitsColumn:
        return QStringLiteral("Visits");
    case LastVisitColumn:
        return QStringLiteral("Last Visit");
    case RatingColumn:
        return QStringLiteral("Rating");
    default:
        return {};
    }
}

// -1 when the caption is none of the five (exact, case-sensitive).
inline int ColumnIdOf(const QString &caption)
{
    for (int id = NameColumn; id <= RatingColumn; ++id) {
        if (caption == ColumnCaption(id))
            return id;
    }
    return -1;
}

inline ColumnLayout DefaultColumns()
{
    return {{{QStringLiteral("Name"), 1, 220},
             {QStringLiteral("URL"), 1, 220},
             {QStringLiteral("Visits"), 1, 50},
             {QStringLiteral("Last Visit"), 1, 120},
             {QStringLiteral("Rating"), 1, 50}}};
}
