#pragma once
// The frame's own start-up values, checked without any widget: a value out
// of its range gives its default, so a damaged settings file can never start
// the program with an impossible state.

#include <QRectF>
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

// The keys of the main window's place (its outer rectangle in twips) in
// section "Settings": what the start-up restores and the exit saves.
QStringList mainWindowPlaceKeys();

} // namespace tw
