#pragma once
// A top-level window's place in the units the program stores: its outer
// (frame) rectangle in twips of the screen, and its state as the classic
// codes 0 normal, 1 minimised, 2 maximised.

#include <QList>
#include <QRect>
#include <QRectF>

class QWidget;

namespace tw::platform {

enum WindowState : int { StateNormal = 0, StateMinimized = 1, StateMaximized = 2 };

int windowStateCode(const QWidget* window);
void setWindowStateCode(QWidget* window, int state);

// The outer rectangle (frame included), in twips.
QRectF outerTwips(const QWidget* window);
// The outer rectangle of the window's normal state, in twips: the bounds a
// maximised or minimised window comes back to.
QRectF normalOuterTwips(const QWidget* window);
// Places the window so that its outer rectangle is `twips`.
void setOuterTwips(QWidget* window, const QRectF& twips);

// The available area of the screens (panels and task bars left out), in
// pixels: the screen that holds most of `window`, else the primary screen.
QRect workArea(const QWidget* window = nullptr);

// Moves a rectangle (pixels) that lies off every screen's available area
// back onto the nearest one, shrinking it to fit where needed.
QRect keepOnScreen(const QRect& outerPixels);
// The same over the given work areas (pixels), one a screen.
QRect keepOnScreen(const QRect& outerPixels, const QList<QRect>& areas);

} // namespace tw::platform
