#include "mainwindow/StartupSettings.h"

#include <algorithm>
#include <cstdlib>

namespace tw {

int validTab(int tab)
{
    return (tab >= 1 && tab <= 3) ? tab : 1;
}

int validChartCount(int count)
{
    return qBound(0, count, MaxReopenedCharts);
}

QStringList mainWindowPlaceKeys()
{
    return {QStringLiteral("StgLeft"), QStringLiteral("StgTop"), QStringLiteral("StgWidth"), QStringLiteral("StgHeight")};
}

TiledPlaces tiledPlaces(float left, float top, float right, float bottom)
{
    TiledPlaces p;
    const float mainWidth = (right - left) / 2.0f;
    p.main = QRectF(left, top, mainWidth, bottom - top);
    const float left3d = left + mainWidth;
    const float top3d = top + (bottom - top) / 2.0f;
    p.chart3d = QRectF(left3d, top3d, right - left3d, bottom - top3d);
    return p;
}

namespace {

// Whether a window of `taken` has its top-left corner within half a step of
// `corner`, across and down.
bool cornerTaken(const QPoint& corner, int step, const QList<QRect>& taken)
{
    return std::any_of(taken.begin(), taken.end(), [&](const QRect& r) {
        return 2 * std::abs(r.left() - corner.x()) < step && 2 * std::abs(r.top() - corner.y()) < step;
    });
}

} // namespace

QRect cascadedPlace(const QSize& size, QPoint corner, int step, const QRect& workArea, const QList<QRect>& taken)
{
    step = std::max(step, 1);
    const QSize own = size.boundedTo(workArea.size());
    const auto inside = [&](const QPoint& corner) { return workArea.contains(QRect(corner, own)); };
    const auto isTaken = [&](const QPoint& corner) { return cornerTaken(corner, step, taken); };
    const auto wrapped = [&](const QPoint& corner) { return inside(corner) ? corner : workArea.topLeft(); };
    // Every corner tried is a new one until the diagonal wraps, so one more
    // try than there are windows finds a free corner where the area allows.
    const QPoint first = wrapped(corner);
    corner = first;
    for (qsizetype tries = 0; tries <= taken.size(); ++tries) {
        if (!isTaken(corner))
            return QRect(corner, own);
        corner = wrapped(corner + QPoint(step, step));
    }
    // None is free: the cascade goes on from the last window.
    return QRect(first, own);
}

QList<QRect> spreadStartPlaces(const QList<StartPlace>& windows, int step, const QList<QRect>& workAreas)
{
    step = std::max(step, 1);
    QList<QRect> places;
    QList<QRect> taken;
    for (const StartPlace& w : windows) {
        places.append(w.place);
        if (!w.moved)
            taken.append(w.place);
    }
    for (qsizetype i = windows.size() - 1; i >= 0; --i) {
        if (!windows.at(i).moved)
            continue;
        QRect place = places.at(i);
        const auto home = std::find_if(workAreas.begin(), workAreas.end(),
                                       [&place](const QRect& a) { return a.contains(place); });
        if (home != workAreas.end()) {
            const QPoint back(step, step);
            while (cornerTaken(place.topLeft(), step, taken) && home->contains(place.translated(-back)))
                place.translate(-back);
            if (cornerTaken(place.topLeft(), step, taken))
                place = cascadedPlace(place.size(), home->topLeft(), step, *home, taken);
        }
        places[i] = place;
        taken.append(place);
    }
    return places;
}

} // namespace tw
