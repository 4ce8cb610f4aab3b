#include "platform/WindowGeometry.h"

#include <QAbstractNativeEventFilter>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace tw::platform {

namespace {
// Twips per pixel on the window's screen (15 at 96 dots per inch).
double twipsPerPixel(const QWidget* window)
{
    const double dpi = window->logicalDpiX();
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

// The frame of the last window seen framed: the best guess for a window
// that the window manager has not framed yet.
QMargins g_lastFrame;

// Windows that the window manager never frames.
bool isFrameless(const QWidget* window)
{
    const Qt::WindowType type = window->windowType();
    return window->windowFlags().testFlag(Qt::FramelessWindowHint) || type == Qt::Popup || type == Qt::ToolTip
        || type == Qt::SplashScreen || type == Qt::Desktop;
}

// The frame the window manager gave the window. A shown window's is read
// from its QWindow, which reads it again whenever the window manager
// announces a new one. QWidget::frameGeometry() keeps the frame it saw at the
// window's last move or resize: on a busy machine openbox may announce a new
// frame only after the resize that goes with it (a maximised window's frame,
// thinner than a normal one's), and the widget then reports the old frame
// until the window moves again.
QMargins realFrame(const QWidget* window)
{
    if (const QWindow* handle = window->windowHandle(); handle != nullptr && window->isVisible())
        return handle->frameMargins();
    const QRect f = window->frameGeometry();
    const QRect g = window->geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

bool isFramed(const QWidget* window)
{
    return window->isVisible() && !realFrame(window).isNull();
}

QMargins frameOrGuess(const QWidget* window)
{
    const QMargins own = realFrame(window);
    if (!own.isNull()) {
        if (window->isVisible())
            g_lastFrame = own;
        return own;
    }
    return window->isVisible() || isFrameless(window) ? QMargins() : g_lastFrame;
}

QSize innerSize(const QRect& outer, const QMargins& frame)
{
    return QSize(qMax(1, outer.width() - frame.left() - frame.right()),
                 qMax(1, outer.height() - frame.top() - frame.bottom()));
}

void applyOuter(QWidget* window, const QRect& outer, const QMargins& frame)
{
    window->resize(innerSize(outer, frame));
    // The position of a top-level window is that of its frame.
    window->move(outer.topLeft());
}

void listenForFrames();

// A place asked for before the window manager framed the window: the frame
// was guessed. Once the window is shown and framed the place is applied
// again with the real frame, unless the window has been resized meanwhile.
// It waits for the frame as long as the window manager takes (a busy machine
// may take seconds): nothing but the frame ends the wait, and the window
// system's own notices of a frame wake it.
class PendingOuterPlace : public QObject {
public:
    PendingOuterPlace(QWidget* window, const QRect& outer, const QSize& applied)
        : QObject(window), m_outer(outer), m_applied(applied)
    {
        window->installEventFilter(this);
        listenForFrames();
        if (window->isVisible())
            recheck();
    }
    void setPlace(const QRect& outer, const QSize& applied)
    {
        m_outer = outer;
        m_applied = applied;
    }
    // Done: the window was framed (and placed again where needed).
    bool done() const { return m_done; }
    // Looks at the window once the events at hand have been handled, the
    // window system's own handling of a frame notice among them.
    void recheck()
    {
        if (m_queued || m_done)
            return;
        m_queued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_queued = false;
                check();
            },
            Qt::QueuedConnection);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent()) {
            switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
                recheck();
                break;
            default:
                break;
            }
        }
        return false;
    }

private:
    void check()
    {
        auto* window = static_cast<QWidget*>(parent());
        if (m_done || !isFramed(window))
            return;
        const QMargins frame = frameOrGuess(window);
        if (windowStateCode(window) == StateNormal && window->size() == m_applied
            && innerSize(m_outer, frame) != m_applied)
            applyOuter(window, m_outer, frame);
        m_done = true;
        window->removeEventFilter(this);
        deleteLater();
    }

    QRect m_outer;
    QSize m_applied;
    bool m_queued = false;
    bool m_done = false;
};

PendingOuterPlace* pendingPlace(QWidget* window)
{
    for (QObject* child : window->children()) {
        auto* p = dynamic_cast<PendingOuterPlace*>(child);
        if (p != nullptr && !p->done())
            return p;
    }
    return nullptr;
}

// An X11 window manager frames a window by reparenting it into its frame
// and telling the frame's size in the window's property _NET_FRAME_EXTENTS.
// Qt turns neither into an event of the widget, so the places waiting for a
// frame hear of them here, from the X server's events. One lives as a child
// of each application object.
class FrameNotices : public QObject, public QAbstractNativeEventFilter {
public:
    FrameNotices(xcb_atom_t frameExtents, QObject* application)
        : QObject(application), m_frameExtents(frameExtents)
    {
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        xcb_window_t window = XCB_WINDOW_NONE;
        switch (event->response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto* p = static_cast<const xcb_property_notify_event_t*>(message);
            if (p->atom == m_frameExtents)
                window = p->window;
            break;
        }
        case XCB_REPARENT_NOTIFY:
            window = static_cast<const xcb_reparent_notify_event_t*>(message)->window;
            break;
        default:
            break;
        }
        if (window != XCB_WINDOW_NONE) {
            if (QWidget* widget = QWidget::find(static_cast<WId>(window)); widget != nullptr && widget->isWindow()) {
                if (PendingOuterPlace* p = pendingPlace(widget))
                    p->recheck();
            }
        }
        return false;
    }

private:
    xcb_atom_t m_frameExtents;
};

// Listens to the X server's frame notices, once per application object.
// Other window systems know a window's frame when they show it.
void listenForFrames()
{
    static const char* const kListening = "tw.platform.frameNotices";
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr || app->property(kListening).toBool())
        return;
    app->setProperty(kListening, true);
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr)
        return;
    static const char name[] = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(sizeof name - 1), name), nullptr);
    if (reply == nullptr)
        return;
    app->installNativeEventFilter(new FrameNotices(reply->atom, app));
    std::free(reply);
}

// The outer rectangle around the inner rectangle `inner` of the window. A
// window not framed yet stands where it was moved to (its frame's corner),
// with the frame guessed around its size.
QRect outerPixels(const QWidget* window, const QRect& inner)
{
    const QMargins real = realFrame(window);
    if (!real.isNull())
        return inner.marginsAdded(real);
    const QMargins guess = frameOrGuess(window);
    return QRect(inner.topLeft(), inner.size().grownBy(guess));
}

} // namespace

QMargins frameMargins(const QWidget* window)
{
    return frameOrGuess(window);
}

int windowStateCode(const QWidget* window)
{
    if (window->isMinimized())
        return StateMinimized;
    if (window->isMaximized())
        return StateMaximized;
    return StateNormal;
}

void setWindowStateCode(QWidget* window, int state)
{
    Qt::WindowStates s = window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == StateMinimized)
        s |= Qt::WindowMinimized;
    else if (state == StateMaximized)
        s |= Qt::WindowMaximized;
    window->setWindowState(s);
}

QRectF outerTwips(const QWidget* window)
{
    const QRect outer = outerPixels(window, window->geometry());
    const double tpp = twipsPerPixel(window);
    return QRectF(outer.x() * tpp, outer.y() * tpp, outer.width() * tpp, outer.height() * tpp);
}

void setOuterTwips(QWidget* window, const QRectF& twips)
{
    const double tpp = twipsPerPixel(window);
    setOuterPixels(window, QRect(qRound(twips.left() / tpp), qRound(twips.top() / tpp), qRound(twips.width() / tpp),
                                 qRound(twips.height() / tpp)));
}

QRect normalOuterPixels(const QWidget* window)
{
    const QRect inner = (window->isMaximized() || window->isMinimized() || window->isFullScreen())
        ? window->normalGeometry()
        : window->geometry();
    return outerPixels(window, inner);
}

void setOuterPixels(QWidget* window, const QRect& outer)
{
    if (isFramed(window)) {
        // The frame is known: the place is exact at once.
        delete pendingPlace(window);
        applyOuter(window, outer, frameOrGuess(window));
        return;
    }
    const QMargins guess = frameOrGuess(window);
    const QSize applied = innerSize(outer, guess);
    if (PendingOuterPlace* p = pendingPlace(window))
        p->setPlace(outer, applied);
    else
        new PendingOuterPlace(window, outer, applied);
    applyOuter(window, outer, guess);
}

namespace {
// The screen that holds most of `window`, else the primary screen (none
// where the application has no screen at all).
const QScreen* screenOf(const QWidget* window)
{
    const QScreen* screen = window != nullptr ? window->screen() : nullptr;
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}
} // namespace

QRect workArea(const QWidget* window)
{
    const QScreen* screen = screenOf(window);
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QList<QRect> workAreas()
{
    QList<QRect> areas;
    for (const QScreen* s : QGuiApplication::screens())
        areas.append(s->availableGeometry());
    return areas;
}

QRect desktopArea(const QWidget* window)
{
    const QScreen* screen = screenOf(window);
    return screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QRect keepOnScreen(const QRect& outerPixels)
{
    return keepOnScreen(outerPixels, workAreas());
}

QRect keepOnScreen(const QRect& outerPixels, const QList<QRect>& areas)
{
    // All in 64 bits: a rectangle may reach from one end of the integers to
    // the other.
    const qint64 x1 = outerPixels.left(), y1 = outerPixels.top();
    const qint64 w = qint64(outerPixels.right()) - x1 + 1, h = qint64(outerPixels.bottom()) - y1 + 1;
    if (w <= 0 || h <= 0)
        return outerPixels;
    const qint64 cx = x1 + w / 2, cy = y1 + h / 2;
    // The screen that holds most of the window; when none holds any of it,
    // the one nearest to the window's centre.
    QRect best;
    qint64 bestOverlap = -1;
    qint64 bestDistance = 0;
    qint64 bestOverlapW = 0, bestOverlapH = 0;
    for (const QRect& area : areas) {
        if (area.isEmpty())
            continue;
        const qint64 ax1 = area.left(), ay1 = area.top(), ax2 = qint64(area.right()) + 1,
                     ay2 = qint64(area.bottom()) + 1;
        const qint64 ow = std::max<qint64>(0, std::min(ax2, x1 + w) - std::max(ax1, x1));
        const qint64 oh = std::max<qint64>(0, std::min(ay2, y1 + h) - std::max(ay1, y1));
        const double size = double(ow) * double(oh);
        const qint64 dx = std::max<qint64>(0, std::max(ax1 - cx, cx - (ax2 - 1)));
        const qint64 dy = std::max<qint64>(0, std::max(ay1 - cy, cy - (ay2 - 1)));
        const double distance = double(dx) * double(dx) + double(dy) * double(dy);
        const auto sizeKey = static_cast<qint64>(std::min(size, 9.0e18));
        if (sizeKey > bestOverlap || (sizeKey == bestOverlap && distance < double(bestDistance))) {
            bestOverlap = sizeKey;
            bestDistance = static_cast<qint64>(std::min(distance, 9.0e18));
            bestOverlapW = ow;
            bestOverlapH = oh;
            best = area;
        }
    }
    if (best.isNull())
        return outerPixels;
    // Enough of the window on a screen to grab its title bar: leave it.
    if (bestOverlapW >= std::min<qint64>(100, w) && bestOverlapH >= std::min<qint64>(50, h) && y1 >= best.top())
        return outerPixels;
    const qint64 nw = std::min<qint64>(w, best.width());
    const qint64 nh = std::min<qint64>(h, best.height());
    qint64 nx = x1, ny = y1;
    if (nx + nw > qint64(best.right()) + 1)
        nx = qint64(best.right()) + 1 - nw;
    if (ny + nh > qint64(best.bottom()) + 1)
        ny = qint64(best.bottom()) + 1 - nh;
    nx = std::max<qint64>(nx, best.left());
    ny = std::max<qint64>(ny, best.top());
    return QRect(int(nx), int(ny), int(nw), int(nh));
}

bool getWindowPlacement(const QWidget* window, WindowPlacement& placement)
{
    if (window == nullptr || !window->isWindow())
        return false;
    WindowPlacement p;
    p.showCmd = window->isMinimized() ? SW_SHOWMINIMIZED : window->isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    const QRect normal = normalOuterPixels(window);
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    placement = p;
    return true;
}

bool setWindowPlacement(QWidget* window, const WindowPlacement& placement)
{
    if (window == nullptr || !window->isWindow())
        return false;
    const qint64 w = qint64(placement.right) - placement.left;
    const qint64 h = qint64(placement.bottom) - placement.top;
    if (w > 0 && h > 0 && w <= INT_MAX && h <= INT_MAX) {
        if (window->isMaximized() || window->isMinimized())
            setWindowStateCode(window, StateNormal);
        setOuterPixels(window, QRect(placement.left, placement.top, int(w), int(h)));
    }
    switch (placement.showCmd) {
    case SW_HIDE:
        window->hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        window->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        window->showMaximized();
        break;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA: {
        const bool was = window->testAttribute(Qt::WA_ShowWithoutActivating);
        window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->showNormal();
        window->setAttribute(Qt::WA_ShowWithoutActivating, was);
        break;
    }
    default:
        window->showNormal();
        break;
    }
    return true;
}

} // namespace tw::platform
