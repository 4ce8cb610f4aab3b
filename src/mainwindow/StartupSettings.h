#pragma once
// The frame's own start-up values, checked without any widget: a value out
// of its range gives its default, so a damaged settings file can never start
// the program with an impossible state.

#include <QList>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tw {

constexpr int MaxReopenedCharts = 32;
// The chain tab to select (1..3; anything else gives 1).
int validTab(int tab);
// The number of 2-D chart windows to reopen, kept within 0..32.
int validChartCount(int count);

// The start places of the main window (left half of the work area) and the
// 3-D window (the lower right quarter), from the work area's edges in twips.
struct TiledPlaces {
    QRectF main;
    QRectF chart3d;
};
TiledPlaces tiledPlaces(float left, float top, float right, float bottom);

// Where a new 2-D chart window goes (pixels, outer rectangles): at its own
// `size` (no larger than the work area), at `corner` - the default place of
// the first one, or `step` (a title bar's height) lower and to the right of
// the one opened before it - unless it would leave the work area there, in
// which case it starts again at the work area's top-left corner. A corner
// that an open chart window (`taken`) already has, within half a step, is
// passed by another step, so no window opens exactly over another while the
// work area has room; with no corner left free it opens at the first corner
// tried, over an older window.
QRect cascadedPlace(const QSize& size, QPoint corner, int step, const QRect& workArea, const QList<QRect>& taken);

// A window's place (pixels, outer rectangle, whole on a work area) at the
// start, and whether it is not the place saved for it (one saved on a larger
// screen, brought whole onto this one).
struct StartPlace {
    QRect place;
    bool moved = false;
};
// Windows brought from a larger screen may come to one place (each pushed
// into the same corner of the work area). Such windows spread into a
// cascade `step` (a title bar) apart, in the order given, which is the order
// they open in (a later one lies over the ones before): taken from the last
// to the first, a moved window whose corner a window placed already has
// (within half a step, as cascadedPlace counts it) goes a step up and to the
// left until its corner is free, so each lies a title bar above and to the
// left of the window opened after it, as a cascade of new windows does. One
// that the work area leaves no free corner for there takes the first free
// corner of a cascade from the work area's top-left corner. Windows not
// moved keep their places. The places, in the order given.
QList<QRect> spreadStartPlaces(const QList<StartPlace>& windows, int step, const QList<QRect>& workAreas);

// The keys of the main window's place (its outer rectangle in twips) in
// section "Settings": what the start-up restores and the exit saves.
QStringList mainWindowPlaceKeys();

} // namespace tw
