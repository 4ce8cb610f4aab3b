#include "platform/WrappedLabel.h"

#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace tw::platform {

namespace {

// The text laid out in lines of `width` pixels, at blanks where it can and
// anywhere where it must. Returns the lines' total height.
qreal layOut(QTextLayout& layout, qreal width)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max<qreal>(width, 1));
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

} // namespace

int WrappedLabel::heightForWidth(int width) const
{
    const QMargins frame = contentsMargins();
    const int inner = width - frame.left() - frame.right() - 2 * margin();
    QTextLayout layout(text(), font());
    const qreal lines = layOut(layout, inner);
    const int text = std::max(static_cast<int>(std::ceil(lines)), fontMetrics().height());
    return text + frame.top() + frame.bottom() + 2 * margin();
}

void WrappedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect inner = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    QTextLayout layout(text(), font());
    layOut(layout, inner.width());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    painter.setClipRect(inner);
    layout.draw(&painter, inner.topLeft());
}

} // namespace tw::platform
