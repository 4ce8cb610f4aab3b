#pragma once
// A flat look for one combo box or text-like control: while the control is
// idle its border is painted over in the button-face colour; while the mouse
// is over it or it has the focus a thin sunken frame shows; a combo box's
// drop-down button is drawn flat, raised on hover and sunken while its list
// is open.
//
// It watches the control's events (paint, focus, mouse, the list closing)
// with an event filter and paints over the control, and for a text-like
// control around it in its parent, after they have painted themselves. A
// 10 ms timer notices the mouse leaving. The program contains the class as a
// reusable component; none of its windows uses one yet.

#include <QBasicTimer>
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <cstdint>

class QPainter;
class QWidget;

namespace tw {

class cFlatControl : public QObject {
    Q_OBJECT
public:
    // Raised by Attach for a control that is not there.
    static constexpr int32_t ErrIncorrectControl = static_cast<int32_t>(0x80040419u);

    // Drawing states.
    enum State : int { StateNormal = 1, StateHot = 2, StatePressed = 4 };

    explicit cFlatControl(QObject* parent = nullptr);
    ~cFlatControl() override;

    // Gives `Control` the flat look, after releasing any control attached
    // before. A text-like control is moved 2 pixels inwards on every side to
    // leave room for the frame.
    void Attach(QWidget* Control);
    // True while the attached combo box shows its list.
    bool DroppedDown() const;

    // What the last painting drew (0 before any): for the tests.
    int drawnState() const { return m_drawnState; }
    bool isCombo() const { return m_combo; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void pAttach(QWidget* window);
    void pRelease();
    // Painting: the state and colours the next paint draws with.
    void OnPaint(bool Focus, bool Dropped);
    void OnTimer(bool Check);
    void Draw(QPainter& painter, int State, const QColor& Colour1, const QColor& Colour2);
    void DrawEdit(QPainter& painter, bool inParent, int State, const QColor& Colour1, const QColor& Colour2);
    void DrawCombo(QPainter& painter, int State, const QColor& Colour1, const QColor& Colour2);
    // A one-pixel outline of the rectangle (right and bottom exclusive).
    static void Draw3DRect(QPainter& painter, const QRect& rect, const QColor& TopLeftColour,
                           const QColor& BottomRightColour);
    int Offset() const;
    // Paints over `widget` (the control, or its parent for a text-like one)
    // after it painted itself.
    bool paintOver(QWidget* widget, QEvent* event);
    bool hasFocus() const;
    void repaint();

    QPointer<QWidget> m_control; // the control that is drawn
    QPointer<QWidget> m_edit;    // a combo box's edit field (none when not editable)
    QPointer<QWidget> m_notify;  // what tells that a combo box's list closed: its popup
    QPointer<QWidget> m_parent;  // a text-like control's parent, where its frame is drawn
    bool m_subclassed = false;
    bool m_mouseOver = false;
    bool m_combo = false;
    bool m_controlTracking = false;
    bool m_editTracking = false;
    bool m_inPaint = false;
    int m_state = StateNormal;
    int m_drawnState = 0;
    QBasicTimer m_timer;
};

} // namespace tw
