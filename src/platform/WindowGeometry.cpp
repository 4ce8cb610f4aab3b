#include "platform/WindowGeometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace tw::platform {

namespace {
// Twips per pixel on the window's screen (15 at 96 dots per inch).
double twipsPerPixel(const QWidget* window)
{
    const double dpi = window->logicalDpiX();
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}
} // namespace

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
    const QRect outer = window->frameGeometry();
    const double tpp = twipsPerPixel(window);
    return QRectF(outer.x() * tpp, outer.y() * tpp, outer.width() * tpp, outer.height() * tpp);
}

QRectF normalOuterTwips(const QWidget* window)
{
    const bool away = window->isMaximized() || window->isMinimized();
    const QRect normal = away ? window->normalGeometry() : window->geometry();
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const double tpp = twipsPerPixel(window);
    return QRectF((normal.x() - (inner.x() - frame.x())) * tpp, (normal.y() - (inner.y() - frame.y())) * tpp,
                  (normal.width() + (frame.width() - inner.width())) * tpp,
                  (normal.height() + (frame.height() - inner.height())) * tpp);
}

namespace {

void applyOuterTwips(QWidget* window, const QRectF& twips)
{
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    const int extraW = outer.width() - inner.width();
    const int extraH = outer.height() - inner.height();
    const double tpp = twipsPerPixel(window);
    const int w = qMax(1, qRound(twips.width() / tpp) - extraW);
    const int h = qMax(1, qRound(twips.height() / tpp) - extraH);
    window->resize(w, h);
    window->move(qRound(twips.left() / tpp), qRound(twips.top() / tpp));
}

// A place asked for before the window was shown, when the window system
// does not know the frame around it yet: the size then counts as the inner
// size, and the window would come up larger by its frame (and grow by it on
// every start that restores a saved place). The place is applied again once
// the window has been shown and its frame is known; a window manager frames
// a window some time after it is shown, so the frame is waited for a while
// (a window that never gets one is placed without).
class PendingOuterPlace : public QObject {
public:
    PendingOuterPlace(QWidget* window, const QRectF& twips) : QObject(window), m_twips(twips)
    {
        window->installEventFilter(this);
    }
    void setPlace(const QRectF& twips) { m_twips = twips; }
    bool done() const { return m_done; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] { tryPlace(0); });
        }
        return false;
    }

private:
    static constexpr int kFrameWaits = 40; // of 25 ms
    void tryPlace(int waited)
    {
        auto* window = static_cast<QWidget*>(parent());
        const bool framed = window->frameGeometry() != window->geometry();
        if (!framed && waited < kFrameWaits && window->isVisible()) {
            QTimer::singleShot(25, this, [this, waited] { tryPlace(waited + 1); });
            return;
        }
        if (window->isVisible() && windowStateCode(window) == StateNormal)
            applyOuterTwips(window, m_twips);
        m_done = true;
        deleteLater();
    }

    QRectF m_twips;
    bool m_done = false;
};

} // namespace

void setOuterTwips(QWidget* window, const QRectF& twips)
{
    PendingOuterPlace* pending = nullptr;
    for (QObject* child : window->children()) {
        if (auto* p = dynamic_cast<PendingOuterPlace*>(child); p != nullptr && !p->done())
            pending = p;
    }
    if (!window->isVisible()) {
        if (pending != nullptr)
            pending->setPlace(twips);
        else
            new PendingOuterPlace(window, twips);
    } else {
        delete pending; // a newer place wins over one still waiting
    }
    applyOuterTwips(window, twips);
}

QRect workArea(const QWidget* window)
{
    QScreen* screen = nullptr;
    if (window != nullptr)
        screen = window->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QRect keepOnScreen(const QRect& outerPixels)
{
    QList<QRect> areas;
    for (const QScreen* s : QGuiApplication::screens())
        areas.append(s->availableGeometry());
    return keepOnScreen(outerPixels, areas);
}

QRect keepOnScreen(const QRect& outerPixels, const QList<QRect>& areas)
{
    // The screen that holds most of the window; when none holds any of it,
    // the one nearest to the window's centre.
    QRect best;
    qint64 bestOverlap = -1;
    qint64 bestDistance = 0;
    const QPoint centre = outerPixels.center();
    for (const QRect& area : areas) {
        const QRect overlap = area.intersected(outerPixels);
        const qint64 size = overlap.isValid() ? qint64(overlap.width()) * overlap.height() : 0;
        const qint64 dx = qMax<qint64>(0, qMax<qint64>(area.left() - centre.x(), centre.x() - area.right()));
        const qint64 dy = qMax<qint64>(0, qMax<qint64>(area.top() - centre.y(), centre.y() - area.bottom()));
        const qint64 distance = dx * dx + dy * dy;
        if (size > bestOverlap || (size == bestOverlap && distance < bestDistance)) {
            bestOverlap = size;
            bestDistance = distance;
            best = area;
        }
    }
    if (best.isNull())
        return outerPixels;
    // Enough of the window on a screen to grab its title bar: leave it.
    const QRect overlap = best.intersected(outerPixels);
    if (overlap.width() >= qMin(100, outerPixels.width()) && overlap.height() >= qMin(50, outerPixels.height())
        && outerPixels.top() >= best.top())
        return outerPixels;
    QRect r = outerPixels;
    r.setWidth(qMin(r.width(), best.width()));
    r.setHeight(qMin(r.height(), best.height()));
    if (r.right() > best.right())
        r.moveRight(best.right());
    if (r.bottom() > best.bottom())
        r.moveBottom(best.bottom());
    if (r.left() < best.left())
        r.moveLeft(best.left());
    if (r.top() < best.top())
        r.moveTop(best.top());
    return r;
}

} // namespace tw::platform
