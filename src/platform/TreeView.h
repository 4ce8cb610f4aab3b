#pragma once
// The tree view of the strategy library: a tree of nodes with in-place label
// editing that the owner may refuse, and an in-program drag of a node by the
// mouse (the owner starts it from a mouse move, gets DragOver while the
// pointer moves over the tree and DragDrop when the button is released over
// it) with a drop highlight on the node under the pointer.
//
// Mouse positions are in twips relative to this widget. The view itself
// selects by the left button only (the owner decides what a right press
// does), starts no drag and scrolls by no drag of its own.
//
// Before a mouse or key press acts, the owner is asked (BeforeUserInput) so
// that it can first commit what is being edited elsewhere; a press it
// refuses does nothing, and the focus stays where it was. The view therefore
// takes the focus on a click only once the owner let the press through.

#include <QPersistentModelIndex>
#include <QPixmap>
#include <QTreeWidget>

namespace tw::platform {

class TreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TreeView(QWidget* parent = nullptr);

    // The node at a point (twips relative to the widget), or nullptr.
    QTreeWidgetItem* HitTest(double x, double y) const;
    // The node shown as the target of a drag; nullptr for none.
    QTreeWidgetItem* DropHighlight() const;
    void setDropHighlight(QTreeWidgetItem* node);
    // A picture of the node (its icon and text), for the drag pointer.
    QPixmap CreateDragImage(QTreeWidgetItem* node) const;
    void setDragIcon(const QPixmap& icon) { m_dragIcon = icon; }
    // 1 begins a drag (until the mouse button is released), 0 cancels it.
    void Drag(int action);
    bool isDragging() const { return m_dragging; }
    // Opens the node's label for editing.
    void StartLabelEdit(QTreeWidgetItem* node);
    // Ends an open label edit as Return does; false when the owner refused
    // the text (AfterLabelEdit): the editor then stays open with the focus.
    // True when no label is being edited.
    bool commitLabelEdit();
    // Ends an open label edit as Escape does: the node keeps its text.
    void cancelLabelEdit();
    // The node whose label is being edited, or nullptr.
    QTreeWidgetItem* labelEditNode() const;
    // Opens the label editor again on the node edited last, if the node is
    // still there, holding `text`; false when it cannot.
    bool reopenLabelEdit(const QString& text);
    // Where a popup opened from the keyboard goes: under the selected
    // node's picture, or the tree's top-left corner without one (twips
    // relative to the widget).
    QPointF keyboardPopupPoint() const;
    // Scrolls the content one line up or down.
    void scrollLine(bool up);
    // Pixels to twips and back, by the widget's logical DPI.
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    // Called by the label editor when the user ends an edit; true keeps the
    // new text.
    bool acceptLabel(QTreeWidgetItem* node, const QString& newString);

signals:
    // An in-place edit ends with `newString`; setting `cancel` to non-zero
    // keeps the old text. Connect directly.
    void AfterLabelEdit(QTreeWidgetItem* node, const QString& newString, int& cancel);
    // A label editor closed, whichever way (kept, refused, Escape, the
    // focus gone).
    void LabelEditClosed();
    // A mouse button or a key is about to act on the tree; a non-zero
    // `cancel` drops the press (with its release). Connect directly.
    void BeforeUserInput(int& cancel);
    // A key was pressed on the tree (virtual-key code and shift bits), before
    // the view handles it.
    void KeyDown(int keyCode, int shift);
    // Button code (1 left, 2 right, 4 middle; bits of the held buttons for a
    // move), shift bits, position in twips.
    void MouseDown(int button, int shift, double x, double y);
    void MouseMove(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);
    // During a drag: the pointer moved over the tree (state 2), or the button
    // was released over it.
    void DragOver(double x, double y, int state);
    void DragDrop(double x, double y);
    // The user moved the selection to another node with the keyboard (arrow
    // keys, Home, End, Page Up/Down, a typed letter): the same as a click on
    // that node.
    void NodeClick(QTreeWidgetItem* node);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    using QTreeWidget::edit;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    QPointF twipsOf(const QMouseEvent* event) const;
    void endDrag();
    // Asks the owner whether user input may act now.
    bool inputAllowed();

    QPersistentModelIndex m_highlight;
    // The node whose label editor was opened last.
    QPersistentModelIndex m_labelIndex;
    // The owner refused the last label text it was given.
    bool m_labelRefused = false;
    // The last press was refused: its release is dropped too.
    bool m_pressRefused = false;
    QPixmap m_dragIcon;
    bool m_dragging = false;
    friend class TreeLabelDelegate;
};

} // namespace tw::platform
