#pragma once

#include <QRect>
#include <QtGlobal>

// The main window's stored bounds as edges: Right = Left + Width and Bottom = Top + Height, so Right and
// Bottom lie just outside the window (unlike QRect::right(), which is the last pixel inside). The edges are
// 64-bit so that any stored 32-bit position and size add up without overflow; width() and height() give
// the stored sizes back exactly.
struct WindowBounds
{
    qint64 Left = 0;
    qint64 Top = 0;
    qint64 Right = 0;
    qint64 Bottom = 0;

    qint32 width() const { return qint32(Right - Left); }
    qint32 height() const { return qint32(Bottom - Top); }
    // The same bounds as a QRect of the stored position and size.
    QRect toRect() const { return QRect(qint32(Left), qint32(Top), width(), height()); }

    friend bool operator==(const WindowBounds &, const WindowBounds &) = default;
};
