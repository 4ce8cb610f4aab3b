#pragma once
// A splitter bar: turns a thin widget lying on a window (the bar) into a
// divider the user drags with the mouse. The object moves only the bar; the
// window lays out its panes again when SplitComplete arrives.
//
// Positions are twips in the owner's client coordinates (the bar's position
// is its left edge for a vertical bar, its top edge for a horizontal one).
//
// How the owner uses it:
//  1. Create it, call Initialise(bar, owner), then set Orientation (and
//     BorderSize if wanted).
//  2. A press of the LEFT mouse button on the bar starts a drag by itself:
//     the object watches its bar, raises DoSplit (a handler may refuse) and
//     calls MouseDown with the in-bar coordinate. Other buttons start nothing.
//     The owner does not forward the bar's presses. (MouseDown stays public
//     for owners that start a drag themselves.)
//  3. During the drag the owner holds the mouse grab, so every mouse move and
//     the release arrive at the owner's own mouse events in its coordinates;
//     from them the owner calls MouseMove and MouseUp (X for a vertical bar,
//     Y for a horizontal one). Calls on an object that is not dragging do
//     nothing, so one release may be passed to several splitters.
//  4. On SplitComplete the owner lays out its panes around the bar.
// A drag whose grab is lost (another window is activated or blocks the owner,
// the owner hides, keyboard focus moves, another widget takes the mouse grab,
// or the left button is found released without a release event) ends as if
// released at the last accepted position: the grab and the pointer are given
// back, the bar is restored and placed, and SplitComplete is raised.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>

class QWidget;

namespace tw {

class cSplitter : public QObject {
    Q_OBJECT
public:
    // Orientation values: 1 a horizontal bar, dragged up and down; any other
    // value a vertical bar, dragged left and right.
    static constexpr int32_t Horizontal = 1;
    static constexpr int32_t Vertical = 2;

    explicit cSplitter(QObject* parent = nullptr);
    ~cSplitter() override;

    int32_t Orientation() const;
    void setOrientation(int32_t eOrientation);
    int32_t BorderSize() const;
    void setBorderSize(int32_t lSize);

    // `picSplitter` is the bar, a child of (or lying on) `frmParent`.
    void Initialise(QWidget* picSplitter, QWidget* frmParent);

    // `Pos`: the pointer's coordinate inside the bar, in twips.
    void MouseDown(float Pos);
    // `Pos`: the pointer's coordinate in the owner, in twips.
    void MouseMove(float Pos);
    // Ends a drag: `Pos` (owner coordinate, twips) receives the bar's final
    // position. False, with `Pos` untouched, when no drag was running.
    bool MouseUp(float& Pos);

    bool isDragging() const { return m_dragging; }
    int32_t grabOffset() const { return m_grabOffset; }

signals:
    // Raised before a drag begins with bSplit true; set it false to refuse.
    // Connect directly (the flag is passed by reference).
    void DoSplit(bool& bSplit);
    // Raised when a drag ended, after the bar was placed.
    void SplitComplete();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* bar() const;
    QWidget* owner() const;
    double extent() const; // the owner's client height or width, twips
    void placeBar(double pos);
    void setScreenPointer(int code);
    void startWatching();
    void stopWatching();
    void releaseGrab();
    void restoreLook();
    void lostGrab(const char* why);
    void checkGrab();
    void abandonIfGone();

    QPointer<QWidget> m_bar;
    QPointer<QWidget> m_owner;
    int32_t m_orientation = Vertical;
    int32_t m_borderSize = 0;
    bool m_dragging = false;
    int32_t m_grabOffset = 0;
    double m_lastPos = 0; // the last accepted pointer position, twips
    bool m_grabbed = false;
    bool m_pointerOverridden = false;
    QTimer m_watch;
    QMetaObject::Connection m_focusConnection;
};

} // namespace tw
