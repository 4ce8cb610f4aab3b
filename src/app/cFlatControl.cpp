#include "app/cFlatControl.h"

#include "app/TwError.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QTimerEvent>
#include <QWidget>

namespace tw {

namespace {
constexpr int HoverPeriodMs = 10;

// The system colours of the look, from the control's palette.
QColor buttonFace(const QWidget* w) { return w->palette().color(QPalette::Button); }
QColor buttonShadow(const QWidget* w) { return w->palette().color(QPalette::Dark); }
QColor buttonHighlight(const QWidget* w) { return w->palette().color(QPalette::Light); }
QColor windowColour(const QWidget* w) { return w->palette().color(QPalette::Base); }

// A rectangle the classic way: right and bottom exclusive.
struct Edges {
    int left, top, right, bottom;
    QRect rect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
    void shrink(int by)
    {
        left += by;
        top += by;
        right -= by;
        bottom -= by;
    }
};

Edges edgesOf(const QRect& r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void outline(QPainter& p, const Edges& e, const QColor& topLeft, const QColor& bottomRight)
{
    const QPoint a(e.left, e.bottom - 1), b(e.left, e.top), c(e.right - 1, e.top), d(e.right - 1, e.bottom - 1);
    p.setPen(QPen(topLeft, 0));
    p.drawLine(a, b);
    p.drawLine(b, c);
    if (e.left != e.right) {
        p.setPen(QPen(bottomRight, 0));
        p.drawLine(c, d);
        p.drawLine(d, a);
    }
}
} // namespace

cFlatControl::cFlatControl(QObject* parent) : QObject(parent) {}

cFlatControl::~cFlatControl()
{
    try {
        pRelease();
    } catch (...) {
    }
}

void cFlatControl::Attach(QWidget* Control)
{
    componentCall("cFlatControl", "Attach", [&] { pRelease(); });
    if (Control == nullptr)
        throw TwError(ErrIncorrectControl, serviceSource(QStringLiteral("cFlatControl")),
                      QStringLiteral("Incorrect control type passed to 'Attach' parameter - must be a control with "
                                     "a hWnd property."));
    componentCall("cFlatControl", "Attach", [&] {
        if (auto* combo = qobject_cast<QComboBox*>(Control)) {
            m_combo = true;
            m_notify = combo->view() != nullptr ? combo->view()->window() : nullptr;
        } else {
            // A text-like control leaves room for its frame.
            m_combo = false;
            Control->setGeometry(Control->geometry().adjusted(2, 2, -2, -2));
            m_parent = Control->parentWidget();
        }
        pAttach(Control);
    });
}

bool cFlatControl::DroppedDown() const
{
    return componentCall("cFlatControl", "DroppedDown", [&] {
        const auto* combo = qobject_cast<const QComboBox*>(m_control.data());
        return m_combo && combo != nullptr && combo->view() != nullptr && combo->view()->isVisible();
    });
}

void cFlatControl::pAttach(QWidget* window)
{
    m_control = window;
    if (window == nullptr)
        return;
    if (auto* combo = qobject_cast<QComboBox*>(window))
        m_edit = combo->lineEdit();
    // The control hears the mouse also when no button is down.
    m_controlTracking = window->hasMouseTracking();
    window->setMouseTracking(true);
    window->installEventFilter(this);
    if (m_edit) {
        m_editTracking = m_edit->hasMouseTracking();
        m_edit->setMouseTracking(true);
        m_edit->installEventFilter(this);
    }
    if (m_combo && m_notify)
        m_notify->installEventFilter(this);
    if (m_parent)
        m_parent->installEventFilter(this);
    m_subclassed = true;
    m_state = hasFocus() ? StateHot : StateNormal;
    repaint();
}

void cFlatControl::pRelease()
{
    if (m_subclassed) {
        m_timer.stop();
        if (m_control) {
            m_control->removeEventFilter(this);
            m_control->setMouseTracking(m_controlTracking);
        }
        if (m_edit) {
            m_edit->removeEventFilter(this);
            m_edit->setMouseTracking(m_editTracking);
        }
        if (m_notify)
            m_notify->removeEventFilter(this);
        if (m_parent)
            m_parent->removeEventFilter(this);
        // The control shows its own look again.
        repaint();
    }
    m_subclassed = false;
    m_mouseOver = false;
    m_control = nullptr;
    m_edit = nullptr;
    m_notify = nullptr;
    m_parent = nullptr;
}

bool cFlatControl::hasFocus() const
{
    return (m_control && m_control->hasFocus()) || (m_edit && m_edit->hasFocus());
}

void cFlatControl::repaint()
{
    if (!m_control)
        return;
    m_control->update();
    if (m_parent)
        m_parent->update(m_control->geometry().adjusted(-2, -2, 2, 2));
}

bool cFlatControl::eventFilter(QObject* watched, QEvent* event)
{
    try {
        const QEvent::Type type = event->type();
        if (watched == m_notify && m_notify) {
            // The combo box's list closed.
            if (type == QEvent::Hide) {
                OnPaint(hasFocus(), false);
                OnTimer(false);
            }
            return false;
        }
        const bool own = (watched == m_control && m_control) || (watched == m_edit && m_edit);
        if (type == QEvent::Paint && ((watched == m_control && m_control) || (watched == m_parent && m_parent)))
            return paintOver(static_cast<QWidget*>(watched), event);
        if (!own)
            return false;
        switch (type) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            if (!m_mouseOver && !hasFocus() && !DroppedDown()) {
                OnPaint(true, false);
                m_mouseOver = true;
                m_timer.start(HoverPeriodMs, this);
            }
            break;
        case QEvent::FocusIn:
            OnPaint(true, false);
            OnTimer(false);
            break;
        case QEvent::FocusOut:
            OnPaint(false, false);
            break;
        default:
            break;
        }
    } catch (...) {
        // A look that cannot be drawn leaves the control as it is.
    }
    return false;
}

bool cFlatControl::paintOver(QWidget* widget, QEvent* event)
{
    if (m_inPaint)
        return false; // the widget's own painting
    m_inPaint = true;
    QCoreApplication::sendEvent(widget, event);
    m_inPaint = false;
    const bool dropped = DroppedDown();
    const bool focus = hasFocus() || dropped;
    if (focus)
        OnTimer(false);
    // Hot also while the mouse is over the control.
    const bool hot = focus || m_mouseOver;
    m_state = hot ? (dropped ? StatePressed : StateHot) : StateNormal;
    QPainter painter(widget);
    if (widget == m_parent) {
        DrawEdit(painter, true, m_state, hot ? buttonShadow(m_control) : buttonFace(m_control),
                 hot ? buttonHighlight(m_control) : buttonFace(m_control));
    } else {
        Draw(painter, m_state, hot ? buttonShadow(m_control) : buttonFace(m_control),
             hot ? buttonHighlight(m_control) : buttonFace(m_control));
    }
    m_drawnState = m_state;
    return true;
}

void cFlatControl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    try {
        OnTimer(true);
        if (!m_mouseOver)
            OnPaint(false, false);
    } catch (...) {
    }
}

void cFlatControl::OnTimer(bool Check)
{
    componentCall("cFlatControl", "OnTimer", [&] {
        if (Check && m_control) {
            const QRect screen(m_control->mapToGlobal(QPoint(0, 0)), m_control->size());
            if (screen.contains(QCursor::pos()))
                return;
        }
        m_timer.stop();
        m_mouseOver = false;
    });
}

void cFlatControl::OnPaint(bool Focus, bool Dropped)
{
    componentCall("cFlatControl", "OnPaint", [&] {
        m_state = Focus ? (Dropped ? StatePressed : StateHot) : StateNormal;
        repaint();
    });
}

void cFlatControl::Draw(QPainter& painter, int State, const QColor& Colour1, const QColor& Colour2)
{
    componentCall("cFlatControl", "Draw", [&] {
        if (!m_control)
            return;
        if (m_combo)
            DrawCombo(painter, State, Colour1, Colour2);
        else
            DrawEdit(painter, false, State, Colour1, Colour2);
    });
}

void cFlatControl::Draw3DRect(QPainter& painter, const QRect& rect, const QColor& TopLeftColour,
                              const QColor& BottomRightColour)
{
    componentCall("cFlatControl", "Draw3DRect",
                  [&] { outline(painter, edgesOf(rect), TopLeftColour, BottomRightColour); });
}

int cFlatControl::Offset() const
{
    return componentCall("cFlatControl", "Offset", [&] {
        return m_control ? m_control->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_control) : 16;
    });
}

void cFlatControl::DrawEdit(QPainter& painter, bool inParent, int State, const QColor& Colour1,
                            const QColor& Colour2)
{
    componentCall("cFlatControl", "DrawEdit", [&] {
        const QWidget* c = m_control;
        const bool enabled = c->isEnabled();
        // The frame around the control, 2 pixels outside it, lies in the
        // parent; the hot lines inside its border lie on the control.
        Edges e = edgesOf(inParent ? c->geometry() : c->rect());
        e.shrink(-2);
        if (inParent) {
            Draw3DRect(painter, e.rect(), Colour1, Colour2);
            e.shrink(1);
            const QColor inner = enabled ? buttonFace(c) : buttonHighlight(c);
            Draw3DRect(painter, e.rect(), inner, inner);
            return;
        }
        e.shrink(1);
        if (enabled && (State == StateHot || State == StatePressed)) {
            for (int i = 0; i < 3; ++i) {
                e.shrink(1);
                Draw3DRect(painter, e.rect(), buttonHighlight(c), buttonHighlight(c));
            }
        }
    });
}

void cFlatControl::DrawCombo(QPainter& painter, int State, const QColor& Colour1, const QColor& Colour2)
{
    componentCall("cFlatControl", "DrawCombo", [&] {
        const QWidget* c = m_control;
        const bool enabled = c->isEnabled();
        const QColor face = buttonFace(c);
        const QColor light = buttonHighlight(c);
        Edges e = edgesOf(c->rect());
        outline(painter, e, Colour1, Colour2);
        e.shrink(1);
        outline(painter, e, enabled ? face : light, enabled ? face : light);
        e.shrink(1);
        // The drop-down button's area.
        e.left = e.right - Offset();
        outline(painter, e, face, face);
        e.shrink(1);
        outline(painter, e, face, face);
        if (!enabled)
            return;
        switch (State) {
        case StateNormal:
            e.top -= 1;
            e.bottom += 1;
            outline(painter, e, light, light);
            e.left -= 1;
            e.right = e.left;
            outline(painter, e, windowColour(c), windowColour(c));
            break;
        case StateHot:
            e.top -= 1;
            e.bottom += 1;
            e.right += 1;
            outline(painter, e, light, buttonShadow(c));
            break;
        case StatePressed:
            e.left -= 1;
            e.top -= 2;
            e.left += 1;
            e.right += 1;
            e.top += 1;
            e.bottom += 1;
            outline(painter, e, buttonShadow(c), light);
            break;
        default:
            break;
        }
    });
}

} // namespace tw
