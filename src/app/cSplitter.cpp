#include "app/cSplitter.h"

#include "app/CErrorHandler.h"
#include "app/Convert.h"
#include "app/Tools.h"
#include "app/Procedure.h"
#include "app/TwError.h"

#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QWidget>

namespace tw {

namespace {

// Mouse-pointer codes of the bar and of the screen-wide pointer.
constexpr int PointerDefault = 0;
constexpr int PointerSizeNS = 7;
constexpr int PointerSizeWE = 9;
constexpr int PointerNoDrop = 12;

Qt::CursorShape cursorFor(int code)
{
    switch (code) {
    case PointerSizeNS:
        return Qt::SizeVerCursor;
    case PointerSizeWE:
        return Qt::SizeHorCursor;
    case PointerNoDrop:
        return Qt::ForbiddenCursor;
    default:
        return Qt::ArrowCursor;
    }
}

// How often a running drag checks that it still holds the grab and that the
// left button is still down.
constexpr int WatchIntervalMs = 100;

} // namespace

cSplitter::cSplitter(QObject* parent) : QObject(parent)
{
    componentCall("cSplitter", "Class_Initialize", [&] {
        m_orientation = Vertical;
        m_watch.setInterval(WatchIntervalMs);
        connect(&m_watch, &QTimer::timeout, this, [this] { checkGrab(); });
    });
}

cSplitter::~cSplitter()
{
    // A drag cut short by the object's end gives back what it took: the grab
    // and the screen pointer; the bar gets its resting look.
    try {
        if (m_dragging) {
            m_dragging = false;
            stopWatching();
            releaseGrab();
            setScreenPointer(PointerDefault);
            restoreLook();
        }
    } catch (...) {
    }
}

int32_t cSplitter::Orientation() const
{
    return m_orientation;
}

void cSplitter::setOrientation(int32_t eOrientation)
{
    componentCall("cSplitter", "Orientation", [&] {
        m_orientation = eOrientation;
        if (QWidget* b = m_bar.data())
            b->setCursor(cursorFor(eOrientation == Horizontal ? PointerSizeNS : PointerSizeWE));
    });
}

int32_t cSplitter::BorderSize() const
{
    return m_borderSize;
}

void cSplitter::setBorderSize(int32_t lSize)
{
    componentCall("cSplitter", "BorderSize", [&] { m_borderSize = lSize; });
}

void cSplitter::Initialise(QWidget* picSplitter, QWidget* frmParent)
{
    componentCall("cSplitter", "Initialise", [&] {
        if (picSplitter == nullptr || frmParent == nullptr)
            raiseRunTime(RunTime::ObjectRequired, QStringLiteral("Object required"));
        if (m_bar && m_bar != picSplitter)
            m_bar->removeEventFilter(this);
        m_bar = picSplitter;
        m_owner = frmParent;
        picSplitter->installEventFilter(this);
        picSplitter->setAutoFillBackground(true);
        picSplitter->setBackgroundRole(QPalette::Button);
        if (auto* frame = qobject_cast<QFrame*>(picSplitter))
            frame->setFrameStyle(QFrame::NoFrame);
        picSplitter->lower();
        // The pointer on the bar shows the direction it moves in, whichever
        // of Initialise and Orientation came first.
        picSplitter->setCursor(cursorFor(m_orientation == Horizontal ? PointerSizeNS : PointerSizeWE));
        picSplitter->setVisible(true);
    });
}

QWidget* cSplitter::bar() const
{
    QWidget* b = m_bar.data();
    if (b == nullptr)
        raiseRunTime(RunTime::ObjectRequired, QStringLiteral("Object required"));
    return b;
}

QWidget* cSplitter::owner() const
{
    QWidget* o = m_owner.data();
    if (o == nullptr)
        raiseRunTime(RunTime::ObjectRequired, QStringLiteral("Object required"));
    return o;
}

double cSplitter::extent() const
{
    const QWidget* o = owner();
    return twipsFromPixels(m_orientation == Horizontal ? o->height() : o->width());
}

void cSplitter::placeBar(double pos)
{
    QWidget* b = bar();
    QWidget* o = owner();
    // Owner coordinates to the coordinates of the bar's own parent.
    QPoint shift;
    if (QWidget* parent = b->parentWidget(); parent != nullptr && parent != o)
        shift = parent->mapFromGlobal(o->mapToGlobal(QPoint(0, 0)));
    const int px = pixelsFromTwips(pos);
    if (m_orientation == Horizontal)
        b->move(b->x(), px + shift.y());
    else
        b->move(px + shift.x(), b->y());
}

void cSplitter::setScreenPointer(int code)
{
    if (code == PointerDefault) {
        if (m_pointerOverridden) {
            m_pointerOverridden = false;
            QApplication::restoreOverrideCursor();
        }
        return;
    }
    if (m_pointerOverridden) {
        QApplication::changeOverrideCursor(QCursor(cursorFor(code)));
    } else {
        QApplication::setOverrideCursor(QCursor(cursorFor(code)));
        m_pointerOverridden = true;
    }
}

void cSplitter::MouseDown(float Pos)
{
    componentCall("cSplitter", "MouseDown", [&] {
        if (m_dragging)
            return; // the drag that runs keeps its grab point
        bool bSplit = true;
        emit DoSplit(bSplit);
        if (!bSplit)
            return;
        QWidget* b = bar();
        QWidget* o = owner();
        m_dragging = true;
        m_grabOffset = static_cast<int32_t>(roundHalfEven(Pos));
        const QPoint inOwner = o->mapFromGlobal(b->mapToGlobal(QPoint(0, 0)));
        m_lastPos = twipsFromPixels(m_orientation == Horizontal ? inOwner.y() : inOwner.x()) + m_grabOffset;

        b->setBackgroundRole(QPalette::Dark);
        b->raise();
        if (auto* frame = qobject_cast<QFrame*>(b))
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        // Four pixels thick while dragged; the bar keeps that thickness.
        if (m_orientation == Horizontal)
            b->resize(b->width(), 4);
        else
            b->resize(4, b->height());

        o->grabMouse();
        m_grabbed = QWidget::mouseGrabber() == o;
        startWatching();
    });
}

void cSplitter::abandonIfGone()
{
    if (m_bar && m_owner)
        return;
    // The bar or its window went away during the drag: the drag cannot go
    // on, so everything it took is given back before the failure is raised.
    m_dragging = false;
    stopWatching();
    releaseGrab();
    setScreenPointer(PointerDefault);
    raiseRunTime(RunTime::ObjectRequired, QStringLiteral("Object required"));
}

void cSplitter::MouseMove(float Pos)
{
    componentCall("cSplitter", "MouseMove", [&] {
        if (!m_dragging)
            return;
        abandonIfGone();
        const double ext = extent();
        if (m_borderSize < Pos && Pos < ext - m_borderSize) {
            setScreenPointer(m_orientation == Horizontal ? PointerSizeNS : PointerSizeWE);
            placeBar(Pos);
            m_lastPos = Pos;
        } else {
            setScreenPointer(PointerNoDrop);
        }
    });
}

bool cSplitter::MouseUp(float& Pos)
{
    return componentCall("cSplitter", "MouseUp", [&] {
        if (!m_dragging)
            return false;
        abandonIfGone();
        stopWatching();
        releaseGrab();
        restoreLook();
        if (Pos < m_borderSize)
            Pos = static_cast<float>(m_borderSize);
        const double ext = extent();
        if (Pos > ext - m_borderSize)
            Pos = static_cast<float>(ext - m_borderSize);
        Pos = Pos - static_cast<float>(m_grabOffset);
        placeBar(Pos);
        bar()->lower();
        m_dragging = false;
        setScreenPointer(PointerDefault);
        emit SplitComplete();
        return true;
    });
}

void cSplitter::restoreLook()
{
    if (QWidget* b = m_bar.data()) {
        b->setBackgroundRole(QPalette::Button);
        if (auto* frame = qobject_cast<QFrame*>(b))
            frame->setFrameStyle(QFrame::NoFrame);
    }
}

void cSplitter::releaseGrab()
{
    if (m_grabbed) {
        m_grabbed = false;
        if (QWidget* o = m_owner.data(); o != nullptr && QWidget::mouseGrabber() == o)
            o->releaseMouse();
    }
}

void cSplitter::startWatching()
{
    // Every event passes the application's filter, also the mouse moves that
    // a widget without mouse tracking never sees.
    QCoreApplication::instance()->installEventFilter(this);
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        m_focusConnection = connect(app, &QApplication::focusChanged, this,
                                    [this](QWidget*, QWidget*) { lostGrab("focus change"); });
    }
    m_watch.start();
}

void cSplitter::stopWatching()
{
    m_watch.stop();
    disconnect(m_focusConnection);
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void cSplitter::lostGrab(const char* why)
{
    shielded("cSplitter.lostGrab", [&] {
        if (!m_dragging)
            return;
        errorHandler().WriteTrace(QStringLiteral("Splitter drag ended: %1").arg(QLatin1String(why)));
        // Ends as a release at the last accepted position.
        auto pos = static_cast<float>(m_lastPos);
        MouseUp(pos);
    });
}

void cSplitter::checkGrab()
{
    if (!m_dragging)
        return;
    if (m_grabbed && QWidget::mouseGrabber() != m_owner.data()) {
        lostGrab("grab taken");
        return;
    }
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
        lostGrab("button released unseen");
}

bool cSplitter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_bar.data()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* me = static_cast<QMouseEvent*>(event);
            // Only the left button drags; any press on the bar is its own.
            if (me->button() == Qt::LeftButton && !m_dragging) {
                const double pos = twipsFromPixels(m_orientation == Horizontal ? me->position().y()
                                                                               : me->position().x());
                shielded("cSplitter.BarMouseDown", [&] { MouseDown(static_cast<float>(pos)); });
            }
            return true;
        }
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            // Where the owner could not take the grab (a platform that allows
            // none), the bar holds the press's own grab: its moves and the
            // release are passed on to the owner in the owner's coordinates.
            QWidget* o = m_owner.data();
            if (!m_dragging || m_grabbed || o == nullptr)
                return false;
            const auto* me = static_cast<QMouseEvent*>(event);
            const QPointF local = o->mapFromGlobal(me->globalPosition());
            QMouseEvent forwarded(me->type(), local, local, me->globalPosition(), me->button(), me->buttons(),
                                  me->modifiers(), me->pointingDevice());
            QCoreApplication::sendEvent(o, &forwarded);
            return true;
        }
        default:
            return false;
        }
    }
    if (!m_dragging)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        // A move without the left button: its release was never seen.
        if (!(static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton))
            lostGrab("moved without the button");
        break;
    case QEvent::MouseButtonRelease:
        // The owner ends the drag from its release; should it not, the drag
        // ends once the release has been handled.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            QTimer::singleShot(0, this, [this] { checkGrab(); });
        break;
    case QEvent::Hide:
    case QEvent::Close:
    case QEvent::WindowDeactivate:
    case QEvent::WindowBlocked: {
        QWidget* o = m_owner.data();
        if (o != nullptr && (watched == o || watched == o->window()))
            lostGrab("window change");
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace tw
