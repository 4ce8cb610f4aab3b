#pragma once
// The rules that keep the main window's five splitter bars sensible: their
// default positions, keeping the three horizontal bars apart at start-up and
// on every resize, scaling them with the window's size, the limits within
// which a drag follows the pointer, and the clamps applied when a drag ends.
//
// All positions are twips (1/1440 inch) in the main window's client
// coordinates, single precision, computed one operation at a time in the
// order the rules are written. A vertical bar's position is its left, a
// horizontal bar's its top. The horizontal bars lie from top to bottom in the
// order picDescParam, picParamsOptions, picOptionsStock.

#include <QString>

#include <cstdint>

namespace tw::layout {

struct ClientArea;
class LayoutGeometry;

enum class SplitterBar {
    StgDesc,       // picStgDesc: vertical, strategy tree | description (band 1)
    ChartParams,   // picChartParams: vertical, payoff sketch | template legs (band 2)
    DescParam,     // picDescParam: horizontal, band 1 / band 2
    ParamsOptions, // picParamsOptions: horizontal, band 2 / band 3
    OptionsStock,  // picOptionsStock: horizontal, band 3 / band 4
};

// The bar's control name and the settings key its position is kept under.
QString barControlName(SplitterBar bar);
QString barSettingKey(SplitterBar bar);
bool isVerticalBar(SplitterBar bar);

// The five bar positions along their moving axis.
struct BarPositions {
    float stgDescLeft = 0;
    float chartParamsLeft = 0;
    float descParamTop = 0;
    float paramsOptionsTop = 0;
    float optionsStockTop = 0;

    float get(SplitterBar bar) const;
    void set(SplitterBar bar, float position);
    friend bool operator==(const BarPositions&, const BarPositions&) = default;
};

// The bar positions plus the thickness of the three horizontal bars (75 twips
// at design, 4 pixels after their first drag), which the drag limits read.
struct BarGeometry {
    BarPositions pos;
    float descParamHeight = 75;
    float paramsOptionsHeight = 75;
    float optionsStockHeight = 75;
};

// The bars as the layout geometry holds them, and back.
BarGeometry barGeometry(const LayoutGeometry& geometry);
void setBarPositions(LayoutGeometry& geometry, const BarPositions& positions);

// Positions used when none is saved: a third of the client width for both
// vertical bars, a quarter, a half and three quarters of the client height
// for the horizontal ones. Where that leaves the bottom band (below the
// lowest bar, `barThickness` thick) lower than `bottomBandHeight`, the lowest
// bar goes up until the band has that height, but no higher than half the
// client height, and the two bars above it keep their thirds of its top.
BarPositions defaultBarPositions(float scaleWidth, float scaleHeight, float bottomBandHeight = 0,
                                 float barThickness = 75);

// The least room kept between horizontal bars, and between the lowest one and
// the bottom of the client area; a bar found nearer is put 401 twips away.
inline constexpr float MinimumBarGap = 400;

// Keeps the horizontal bars in order, bottom bar first: a bar whose top lies
// less than 400 twips above the limit below it (the client height for the
// bottom bar, the top of the next bar for the others) is put 401 twips above
// that limit. Each test reads the bars as the previous one left them, so a
// moved bar pushes the ones above it in turn. Vertical bars are untouched.
BarPositions keepHorizontalBarsInOrder(BarPositions bars, float clientHeight);

// Bars read from the settings (perhaps saved for a taller window) fitted to
// the client area, as the default positions are: the horizontal bars kept in
// order; then, where the bottom band (below the lowest bar, `barThickness`
// thick) is lower than `bottomBandHeight`, the lowest bar goes up until the
// band has that height, but no higher than half the client height, and the
// two bars above keep their shares of its place (so they move up in the same
// proportion); the bars are then kept in order once more. Bars that leave the
// band its height stay where they are; vertical bars are untouched.
BarPositions fitHorizontalBars(BarPositions bars, float clientHeight, float bottomBandHeight,
                               float barThickness = 75);

// The window's outer size in twips as last recorded; a width below 1 means
// none has been recorded yet.
struct RecordedSize {
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const RecordedSize&, const RecordedSize&) = default;
};

struct ResizeRatios {
    float x = 1;
    float y = 1;
};

// Ratios of the current outer size to the recorded one, in single precision;
// both are 1 while no size is recorded. A recorded height below 1 with a
// recorded width gives a vertical ratio of 1 rather than a division by zero.
ResizeRatios resizeRatios(RecordedSize recorded, double outerWidth, double outerHeight);

// Scales the bars in this order: picChartParams left and picDescParam,
// picOptionsStock and picParamsOptions tops by their ratio, then picStgDesc
// left.
BarPositions scaleBars(BarPositions bars, ResizeRatios ratios);

// The outer size rounded to whole twips, halves to even. A value that cannot
// be recorded (not a number, out of range) keeps the previous one.
RecordedSize recordOuterSize(double outerWidth, double outerHeight, RecordedSize previous);

struct ResizeOutcome {
    bool layoutNeeded = false; // false for a minimised window: nothing changes
    BarPositions bars;
    RecordedSize recorded;
};

// The whole resize rule: nothing for a minimised window; otherwise scale the
// bars by the ratios of the new outer size to the recorded one, keep the
// horizontal bars in order within the new client height, record the new
// outer size, and ask for a layout.
ResizeOutcome resizeBars(const BarPositions& bars, RecordedSize recorded, double outerWidth, double outerHeight,
                         float clientHeight, bool minimised);

// Which splitters a mouse move during a drag is passed on to (the window
// passes X to both vertical splitters, Y to the horizontal one). Every
// comparison is strict:
// - vertical bars: X - 100 > scale left - 100 and X + 100 < scale width;
// - picDescParam: Y - 400 > scale top, Y + 400 < picParamsOptions top, Y > 795;
// - picParamsOptions: Y - 400 > picDescParam bottom, Y + 400 < picOptionsStock top;
// - picOptionsStock: Y - 400 > picParamsOptions bottom, Y + 400 < scale height.
struct DragRouting {
    bool verticalBars = false;
    bool descParam = false;
    bool paramsOptions = false;
    bool optionsStock = false;
};
DragRouting mouseMoveRouting(float x, float y, const ClientArea& client, const BarGeometry& bars);

// Clamps applied when a drag ends; each gives the dragged bar's new position.
// The two tests of each rule run in order and the second one decides when both
// fire; only the dragged bar moves.
//
// Vertical bar: left - 100 < scale left puts it at scale left + 101; then
// left + 150 > scale width puts it at scale width - 151.
float clampVerticalBarAfterDrag(float left, float scaleLeft, float scaleWidth);
// picDescParam: top - 400 < scale top puts it at scale top + 401; then
// top + height + 400 > the next bar's top puts it at next top - height - 401.
float clampDescParamAfterDrag(float top, float height, float scaleTop, float paramsOptionsTop);
// picParamsOptions: the bar above's bottom > top - 400 puts it at that bottom
// + 401; then top + height + 400 > the next bar's top puts it at next top -
// height - 401.
float clampParamsOptionsAfterDrag(float top, float height, float descParamTop, float descParamHeight,
                                  float optionsStockTop);
// picOptionsStock: the bar above's bottom > top - 400 puts it at that bottom
// + 401; then top + height + 400 > scale height puts it at scale height -
// height - 401.
float clampOptionsStockAfterDrag(float top, float height, float paramsOptionsTop, float paramsOptionsHeight,
                                 float scaleHeight);

// The clamp of the bar whose drag ended, applied to the bars as they stand;
// returns them with only that bar moved.
BarPositions clampAfterDrag(SplitterBar bar, const BarGeometry& bars, const ClientArea& client);

} // namespace tw::layout
