#include "workspace/PayoffSketch.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace tw {

double sketchPayoff(const QList<std::pair<int, int>>& legs, double x)
{
    double total = 0;
    for (const auto& [code, offset] : legs) {
        const double k = offset;
        double v = 0;
        switch (code) {
        case 1:
        case 2:
            v = std::max(k - x, 0.0);
            break;
        case 3:
        case 4:
            v = std::max(x - k, 0.0);
            break;
        case 5:
        case 6:
            v = x - k;
            break;
        default:
            continue;
        }
        total += (code % 2 == 0) ? v : -v;
    }
    return total;
}

PayoffSketch::PayoffSketch(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void PayoffSketch::ClearLegs()
{
    m_legs.clear();
    update();
}

void PayoffSketch::AddLeg(int code, int strikeOffset)
{
    m_legs.append({code, strikeOffset});
    update();
}

void PayoffSketch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -4);
    if (area.width() < 8 || area.height() < 8)
        return;
    // The strikes of the legs, with room on both sides.
    int lo = -3;
    int hi = 3;
    for (const auto& leg : m_legs) {
        lo = std::min(lo, leg.second - 3);
        hi = std::max(hi, leg.second + 3);
    }
    const int samples = 60;
    QList<QPointF> points;
    double minY = 0;
    double maxY = 0;
    for (int i = 0; i <= samples; ++i) {
        const double x = lo + (hi - lo) * double(i) / samples;
        const double y = sketchPayoff(m_legs, x);
        points.append({x, y});
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    if (maxY - minY < 1e-9) {
        maxY += 1;
        minY -= 1;
    }
    const auto map = [&](const QPointF& p) {
        return QPointF(area.left() + (p.x() - lo) / (hi - lo) * area.width(),
                       area.bottom() - (p.y() - minY) / (maxY - minY) * area.height());
    };
    // The zero line and the at-the-money strike.
    painter.setPen(QPen(QColor(190, 190, 190), 1, Qt::DashLine));
    painter.drawLine(map({double(lo), 0}), map({double(hi), 0}));
    painter.drawLine(map({0, minY}), map({0, maxY}));
    if (m_legs.isEmpty())
        return;
    QPainterPath path;
    path.moveTo(map(points.first()));
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineTo(map(points.at(i)));
    painter.setPen(QPen(QColor(30, 90, 200), 2));
    painter.drawPath(path);
}

} // namespace tw
