#include "charts/ChartModeIcons.h"

#include "app/AppIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace tw {

namespace {

const QColor kInk(58, 66, 78);
const QColor kTick(46, 158, 72);

void box(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 1.5, 1.5);
}

} // namespace

QList<QIcon> chartModeIcons()
{
    QList<QIcon> icons;
    icons << AppIcons::drawnIcon([](QPainter& p) { box(p); });
    icons << AppIcons::drawnIcon([](QPainter& p) {
        box(p);
        QPen tick(kTick, 2);
        tick.setCapStyle(Qt::RoundCap);
        tick.setJoinStyle(Qt::RoundJoin);
        p.setPen(tick);
        p.setBrush(Qt::NoBrush);
        QPainterPath path;
        path.moveTo(4.5, 8);
        path.lineTo(7, 10.5);
        path.lineTo(11.5, 5);
        p.drawPath(path);
    });
    icons << AppIcons::icon(AppIcons::Help) << AppIcons::icon(AppIcons::NewChart)
          << AppIcons::icon(AppIcons::Chart3D) << AppIcons::icon(AppIcons::ChartWindows);
    // A pin: the window stays above the others.
    icons << AppIcons::drawnIcon([](QPainter& p) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(214, 58, 58));
        p.drawEllipse(QRectF(5, 1.5, 6, 6));
        p.setBrush(QColor(150, 30, 30));
        p.drawRect(QRectF(6.5, 7, 3, 3));
        p.setPen(QPen(kInk, 1.2));
        p.drawLine(QPointF(8, 10), QPointF(8, 15));
    });
    return icons;
}

} // namespace tw
