#pragma once
// A top-level window's place in the units the program stores: its outer
// (frame) rectangle in twips of the screen, and its state as the classic
// codes 0 normal, 1 minimised, 2 maximised.

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QRectF>

class QWidget;

namespace tw::platform {

enum WindowState : int { StateNormal = 0, StateMinimized = 1, StateMaximized = 2 };

int windowStateCode(const QWidget* window);
void setWindowStateCode(QWidget* window, int state);

// The outer rectangle (frame included), in twips.
QRectF outerTwips(const QWidget* window);
// Places the window so that its outer rectangle is `twips`.
void setOuterTwips(QWidget* window, const QRectF& twips);

// The outer rectangle, in pixels, of the window's normal state (what it
// comes back to from maximised or minimised).
QRect normalOuterPixels(const QWidget* window);
// Places the window so that its outer rectangle is `outer` (pixels). Before
// the window manager has framed the window its frame is not known: the size
// is then applied with the frame of the windows framed so far, and applied
// again once the window is shown and framed, however long that takes, so
// that the outer size is the one asked for, not the inner one.
void setOuterPixels(QWidget* window, const QRect& outer);
// The frame around the window: the window manager's, or for a window not
// framed yet the frame of the windows framed so far (zero for windows that
// are never framed, and where no window manager frames any).
QMargins frameMargins(const QWidget* window);

// The available area of the screens (panels and task bars left out), in
// pixels: the screen that holds most of `window`, else the primary screen.
QRect workArea(const QWidget* window = nullptr);
// The available areas of all screens, one a screen.
QList<QRect> workAreas();
// The whole area of the screen that holds most of `window` (the desktop).
QRect desktopArea(const QWidget* window = nullptr);

// Moves a rectangle (pixels) that lies off every screen's available area
// back onto the nearest one, shrinking it to fit where needed.
QRect keepOnScreen(const QRect& outerPixels);
// The same over the given work areas (pixels), one a screen.
QRect keepOnScreen(const QRect& outerPixels, const QList<QRect>& areas);

// The classic placement record of a top-level window: its show command
// (the codes below), its minimised and maximised positions (-1 where the
// system chooses) and its normal-state outer rectangle in pixels, right and
// bottom exclusive.
struct WindowPlacement {
    int showCmd = 1;
    QPoint minPosition{-1, -1};
    QPoint maxPosition{-1, -1};
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum ShowCommand : int {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOWMAXIMIZED = 3,
    SW_SHOWNOACTIVATE = 4,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_SHOWMINNOACTIVE = 7,
    SW_SHOWNA = 8,
    SW_RESTORE = 9,
    SW_SHOWDEFAULT = 10
};

// False when `window` is not a top-level window.
bool getWindowPlacement(const QWidget* window, WindowPlacement& placement);
// Applies the normal rectangle, then the show command (0 hides the window,
// 2, 6 and 7 minimise it, 3 maximises it, the others show it normally).
bool setWindowPlacement(QWidget* window, const WindowPlacement& placement);

} // namespace tw::platform
