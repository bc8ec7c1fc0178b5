#pragma once

#include "settings/WindowBounds.h"

#include <QList>
#include <QPoint>
#include <QRect>

// Where the main window goes on the screens there are now. The screens are given as their available
// areas (without panels and docks), so that the rules can be tried on screens that are not there.
namespace WindowPlacement {

// The part of a screen's width and height that a window without stored bounds takes.
constexpr int FirstStartNumerator = 2;
constexpr int FirstStartDenominator = 3;
// How much of a window must lie on one screen for the user to reach and move it.
constexpr int ReachableWidth = 100;
constexpr int ReachableHeight = 40;

// The screen that holds point, or else the one nearest to it; -1 without screens.
int screenAt(const QList<QRect> &screens, const QPoint &point);

// The bounds of a window on its first start: two thirds of the screen with the mouse, centred on it.
// An empty rectangle without screens.
QRect firstStart(const QList<QRect> &screens, const QPoint &mouse);

// Stored bounds as they are while some screen holds enough of them to reach the window; otherwise
// (the screen they were on is gone) moved onto the nearest screen, and made smaller when larger than it.
QRect onScreen(const QRect &bounds, const QList<QRect> &screens);

// Stored bounds as a rectangle that onScreen can place: positions and sizes far beyond any screen are
// cut down to what a rectangle holds.
QRect storedRect(const WindowBounds &bounds);

// The available areas of the screens there are now, the primary screen first.
QList<QRect> availableScreens();

// Where the window starts: onScreen of the stored bounds, or firstStart at the mouse without them.
QRect startBounds(const WindowBounds *stored);

} // namespace WindowPlacement
