#include "mainwindow/WindowPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace {

// The square of the distance from point to the nearest pixel of rect: 0 inside it.
qint64 distanceSquared(const QRect &rect, const QPoint &point)
{
    const qint64 dx
        = point.x() < rect.left() ? rect.left() - point.x() : (point.x() > rect.right() ? point.x() - rect.right() : 0);
    const qint64 dy
        = point.y() < rect.top() ? rect.top() - point.y() : (point.y() > rect.bottom() ? point.y() - rect.bottom() : 0);
    return dx * dx + dy * dy;
}

} // namespace

namespace WindowPlacement {

int screenAt(const QList<QRect> &screens, const QPoint &point)
{
    int nearest = -1;
    qint64 best = std::numeric_limits<qint64>::max();
    for (int k = 0; k < screens.size(); ++k) {
        const qint64 distance = distanceSquared(screens[k], point);
        if (distance < best) {
            best = distance;
            nearest = k;
        }
    }
    return nearest;
}

QRect firstStart(const QList<QRect> &screens, const QPoint &mouse)
{
    const int k = screenAt(screens, mouse);
    if (k < 0)
        return {};
    const QRect &screen = screens[k];
    const QSize size(screen.width() * FirstStartNumerator / FirstStartDenominator,
                     screen.height() * FirstStartNumerator / FirstStartDenominator);
    QRect bounds(QPoint(0, 0), size);
    bounds.moveCenter(screen.center());
    return bounds;
}

QRect onScreen(const QRect &bounds, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return bounds;
    for (const QRect &screen : screens) {
        const QRect shared = screen.intersected(bounds);
        if (shared.width() >= std::min(ReachableWidth, bounds.width())
            && shared.height() >= std::min(ReachableHeight, bounds.height()) && !shared.isEmpty()) {
            return bounds;
        }
    }
    const QRect &screen = screens[screenAt(screens, bounds.center())];
    QRect moved(bounds.topLeft(), bounds.size().boundedTo(screen.size()));
    moved.moveLeft(std::clamp(moved.left(), screen.left(), screen.right() + 1 - moved.width()));
    moved.moveTop(std::clamp(moved.top(), screen.top(), screen.bottom() + 1 - moved.height()));
    return moved;
}

QRect storedRect(const WindowBounds &bounds)
{
    // Far enough out for any set of screens, small enough that the edges never overflow.
    static constexpr qint64 Limit = 1 << 24;
    const auto cut = [](qint64 value) { return static_cast<int>(std::clamp(value, -Limit, Limit)); };
    return QRect(cut(bounds.Left), cut(bounds.Top), cut(bounds.Right - bounds.Left), cut(bounds.Bottom - bounds.Top));
}

QList<QRect> availableScreens()
{
    QList<QRect> screens;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        screens.append(primary->availableGeometry());
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            screens.append(screen->availableGeometry());
    }
    return screens;
}

QRect startBounds(const WindowBounds *stored)
{
    const QList<QRect> screens = availableScreens();
    if (stored)
        return onScreen(storedRect(*stored), screens);
    return firstStart(screens, QCursor::pos());
}

} // namespace WindowPlacement
