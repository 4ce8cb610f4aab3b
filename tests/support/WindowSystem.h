#pragma once
// What the suites on a real window system (tw_add_qtest_x11) share: how long
// they wait for the window manager, and a window's frame as the window
// manager has it.

#include <QRect>
#include <QWidget>
#include <QWindow>

namespace tw::test {

// How long a wait on the window manager (a window framed, placed, maximised)
// or on a program a suite started may last before the suite fails. Every
// such wait ends as soon as its state is reached; the limit only ends one
// that never would, so it is generous: openbox on a busy machine may take
// seconds, and the sanitizer build's programs run several times slower
// (TW_TEST_TIME_SCALE).
constexpr int kWindowSystemWait = 60000 * TW_TEST_TIME_SCALE;

// The outer rectangle of a top-level window, its frame included, as the
// window manager last announced it. QWidget::frameGeometry() keeps the frame
// of the window's last move or resize, and openbox may announce a new frame
// after the resize that goes with it (a maximised window's, thinner than a
// normal one's), so it is read from the window's QWindow.
inline QRect frameOf(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return handle != nullptr ? handle->frameGeometry() : window->frameGeometry();
}

// True once the window manager has framed the shown window.
inline bool isFramed(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return window->isVisible() && handle != nullptr && !handle->frameMargins().isNull();
}

} // namespace tw::test
