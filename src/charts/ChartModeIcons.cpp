#include "charts/ChartModeIcons.h"

#include "app/AppIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tw {

namespace {

const QColor kInk(58, 66, 78);
const QColor kTick(46, 158, 72);

// Draws a glyph in a 16 x 16 box at 16 and 32 pixels.
template <class Draw>
QIcon drawn(Draw draw)
{
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.scale(size / 16.0, size / 16.0);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

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
    icons << drawn([](QPainter& p) { box(p); });
    icons << drawn([](QPainter& p) {
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
    icons << drawn([](QPainter& p) {
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
