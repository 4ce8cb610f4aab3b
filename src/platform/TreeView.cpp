#include "platform/TreeView.h"

#include "platform/InputCodes.h"

#include <QApplication>
#include <QLineEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace tw::platform {

// Paints the drop highlight and hands the end of a label edit to the tree's
// owner, which may refuse the new text.
class TreeLabelDelegate : public QStyledItemDelegate {
public:
    explicit TreeLabelDelegate(TreeView* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        QTreeWidgetItem* node = m_tree->itemFromIndex(index);
        if (line == nullptr || node == nullptr)
            return;
        if (m_tree->acceptLabel(node, line->text()))
            QStyledItemDelegate::setModelData(editor, model, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (m_tree->m_highlight.isValid() && QModelIndex(m_tree->m_highlight) == index)
            option->state |= QStyle::State_Selected | QStyle::State_Active;
    }

private:
    TreeView* m_tree;
};

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent)
{
    setItemDelegate(new TreeLabelDelegate(this));
    setDragEnabled(false);
    setAcceptDrops(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    // A click gives the focus only once the owner let the press through
    // (mousePressEvent): until then an editor elsewhere keeps it.
    setFocusPolicy(Qt::TabFocus);
}

double TreeView::twipsPerPixelX() const
{
    return 1440.0 / (logicalDpiX() > 0 ? logicalDpiX() : 96.0);
}

double TreeView::twipsPerPixelY() const
{
    return 1440.0 / (logicalDpiY() > 0 ? logicalDpiY() : 96.0);
}

QTreeWidgetItem* TreeView::HitTest(double x, double y) const
{
    const QPoint widgetPx(qRound(x / twipsPerPixelX()), qRound(y / twipsPerPixelY()));
    if (!rect().contains(widgetPx))
        return nullptr;
    const QPoint viewportPx = viewport()->mapFrom(this, widgetPx);
    if (!viewport()->rect().contains(viewportPx))
        return nullptr;
    return itemAt(viewportPx);
}

QTreeWidgetItem* TreeView::DropHighlight() const
{
    return m_highlight.isValid() ? itemFromIndex(m_highlight) : nullptr;
}

void TreeView::setDropHighlight(QTreeWidgetItem* node)
{
    const QPersistentModelIndex next = node != nullptr ? QPersistentModelIndex(indexFromItem(node)) : QPersistentModelIndex();
    if (next == m_highlight)
        return;
    m_highlight = next;
    viewport()->update();
}

QPixmap TreeView::CreateDragImage(QTreeWidgetItem* node) const
{
    if (node == nullptr)
        return {};
    const QFontMetrics fm(font());
    const int iconSize = 16;
    const QString text = node->text(0);
    const int w = iconSize + 4 + fm.horizontalAdvance(text) + 4;
    const int h = std::max(iconSize, fm.height()) + 2;
    QPixmap pix(w, h);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setOpacity(0.75);
    node->icon(0).paint(&p, QRect(0, (h - iconSize) / 2, iconSize, iconSize));
    p.setPen(palette().color(QPalette::Text));
    p.setFont(font());
    p.drawText(QRect(iconSize + 4, 0, w - iconSize - 4, h), Qt::AlignVCenter | Qt::AlignLeft, text);
    return pix;
}

void TreeView::Drag(int action)
{
    if (action == 1) {
        m_dragging = true;
        if (!m_dragIcon.isNull())
            viewport()->setCursor(QCursor(m_dragIcon, 0, 0));
        else
            viewport()->setCursor(Qt::DragMoveCursor);
    } else if (action == 0 && m_dragging) {
        endDrag();
    }
}

void TreeView::endDrag()
{
    m_dragging = false;
    viewport()->unsetCursor();
    setState(QAbstractItemView::NoState);
}

void TreeView::StartLabelEdit(QTreeWidgetItem* node)
{
    if (node == nullptr)
        return;
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    scrollToItem(node);
    editItem(node, 0);
}

bool TreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool editing = QTreeWidget::edit(index, trigger, event);
    if (editing)
        m_labelIndex = index;
    return editing;
}

bool TreeView::commitLabelEdit()
{
    if (state() != EditingState || !m_labelIndex.isValid())
        return true;
    QWidget* editor = indexWidget(m_labelIndex);
    if (editor == nullptr)
        return true;
    m_labelRefused = false;
    commitData(editor);
    if (m_labelRefused) {
        editor->setFocus(Qt::OtherFocusReason);
        return false;
    }
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void TreeView::cancelLabelEdit()
{
    if (state() != EditingState || !m_labelIndex.isValid())
        return;
    if (QWidget* editor = indexWidget(m_labelIndex))
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

QTreeWidgetItem* TreeView::labelEditNode() const
{
    if (state() != EditingState || !m_labelIndex.isValid() || indexWidget(m_labelIndex) == nullptr)
        return nullptr;
    return itemFromIndex(m_labelIndex);
}

bool TreeView::reopenLabelEdit(const QString& text)
{
    if (!m_labelIndex.isValid())
        return false;
    const QPersistentModelIndex index = m_labelIndex;
    StartLabelEdit(itemFromIndex(index));
    auto* editor = qobject_cast<QLineEdit*>(indexWidget(index));
    if (editor == nullptr)
        return false;
    editor->setText(text);
    return true;
}

void TreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool label = m_labelIndex.isValid() && editor == indexWidget(m_labelIndex);
    QTreeWidget::closeEditor(editor, hint);
    if (label)
        emit LabelEditClosed();
}

QPointF TreeView::keyboardPopupPoint() const
{
    QRect shown;
    if (QTreeWidgetItem* node = currentItem())
        shown = visualItemRect(node).intersected(viewport()->rect());
    if (shown.isEmpty())
        return {0, 0};
    const QPoint px = viewport()->mapTo(this, QPoint(shown.left() + shown.height(), shown.bottom()));
    return {px.x() * twipsPerPixelX(), px.y() * twipsPerPixelY()};
}

void TreeView::scrollLine(bool up)
{
    verticalScrollBar()->triggerAction(up ? QAbstractSlider::SliderSingleStepSub
                                          : QAbstractSlider::SliderSingleStepAdd);
}

bool TreeView::acceptLabel(QTreeWidgetItem* node, const QString& newString)
{
    int cancel = 0;
    emit AfterLabelEdit(node, newString, cancel);
    m_labelRefused = cancel != 0;
    return cancel == 0;
}

bool TreeView::inputAllowed()
{
    int cancel = 0;
    emit BeforeUserInput(cancel);
    return cancel == 0;
}

QPointF TreeView::twipsOf(const QMouseEvent* event) const
{
    const QPointF p = viewport()->mapTo(this, event->position().toPoint());
    return {p.x() * twipsPerPixelX(), p.y() * twipsPerPixelY()};
}

void TreeView::mousePressEvent(QMouseEvent* event)
{
    m_pressRefused = !inputAllowed();
    if (m_pressRefused) {
        event->accept();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton)
        QTreeWidget::mousePressEvent(event);
    else
        event->accept();
    const QPointF t = twipsOf(event);
    emit MouseDown(mouseButtonCode(event->button()), shiftState(event->modifiers()), t.x(), t.y());
}

void TreeView::keyPressEvent(QKeyEvent* event)
{
    // While a label is edited, the keys its editor leaves (Shift pressed for
    // a capital, among others) come up here: they belong to the edit, not to
    // the owner.
    if (state() != EditingState) {
        if (!inputAllowed()) {
            event->accept();
            return;
        }
        const int code = windowsKeyCode(event->key(), event->modifiers());
        if (code != 0)
            emit KeyDown(code, shiftState(event->modifiers()));
        // The popup keys are the owner's (KeyDown).
        if (code == Vk::Apps || (code == Vk::F10 && event->modifiers() == Qt::ShiftModifier)) {
            event->accept();
            return;
        }
    }
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* after = currentItem();
    if (after != nullptr && after != before)
        emit NodeClick(after);
}

void TreeView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF t = twipsOf(event);
    if (m_dragging) {
        const QPoint px = viewport()->mapTo(this, event->position().toPoint());
        if (rect().contains(px))
            emit DragOver(t.x(), t.y(), 2);
        return;
    }
    // The view itself does nothing with a held button: no selection follows
    // the pointer, so the selected node stays the one that is shown.
    emit MouseMove(mouseButtonCode(event->buttons()), shiftState(event->modifiers()), t.x(), t.y());
    event->accept();
}

void TreeView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_pressRefused) {
        m_pressRefused = false;
        event->accept();
        return;
    }
    const QPointF t = twipsOf(event);
    if (m_dragging) {
        const QPoint px = viewport()->mapTo(this, event->position().toPoint());
        endDrag();
        if (rect().contains(px))
            emit DragDrop(t.x(), t.y());
    } else if (event->button() == Qt::LeftButton) {
        QTreeWidget::mouseReleaseEvent(event);
    }
    emit MouseUp(mouseButtonCode(event->button()), shiftState(event->modifiers()), t.x(), t.y());
}

void TreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        QTreeWidget::mouseDoubleClickEvent(event);
    else
        event->accept();
}

} // namespace tw::platform
