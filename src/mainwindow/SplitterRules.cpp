#include "mainwindow/SplitterRules.h"

#include "app/Convert.h"
#include "mainwindow/MainWindowLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tw::layout {

QString barControlName(SplitterBar bar)
{
    switch (bar) {
    case SplitterBar::StgDesc:
        return QStringLiteral("picStgDesc");
    case SplitterBar::ChartParams:
        return QStringLiteral("picChartParams");
    case SplitterBar::DescParam:
        return QStringLiteral("picDescParam");
    case SplitterBar::ParamsOptions:
        return QStringLiteral("picParamsOptions");
    case SplitterBar::OptionsStock:
        return QStringLiteral("picOptionsStock");
    }
    return {};
}

QString barSettingKey(SplitterBar bar)
{
    switch (bar) {
    case SplitterBar::StgDesc:
        return QStringLiteral("SSD");
    case SplitterBar::ChartParams:
        return QStringLiteral("SCP");
    case SplitterBar::DescParam:
        return QStringLiteral("SDP");
    case SplitterBar::ParamsOptions:
        return QStringLiteral("SPO");
    case SplitterBar::OptionsStock:
        return QStringLiteral("SOS");
    }
    return {};
}

bool isVerticalBar(SplitterBar bar)
{
    return bar == SplitterBar::StgDesc || bar == SplitterBar::ChartParams;
}

float BarPositions::get(SplitterBar bar) const
{
    switch (bar) {
    case SplitterBar::StgDesc:
        return stgDescLeft;
    case SplitterBar::ChartParams:
        return chartParamsLeft;
    case SplitterBar::DescParam:
        return descParamTop;
    case SplitterBar::ParamsOptions:
        return paramsOptionsTop;
    case SplitterBar::OptionsStock:
        return optionsStockTop;
    }
    return 0;
}

void BarPositions::set(SplitterBar bar, float position)
{
    switch (bar) {
    case SplitterBar::StgDesc:
        stgDescLeft = position;
        break;
    case SplitterBar::ChartParams:
        chartParamsLeft = position;
        break;
    case SplitterBar::DescParam:
        descParamTop = position;
        break;
    case SplitterBar::ParamsOptions:
        paramsOptionsTop = position;
        break;
    case SplitterBar::OptionsStock:
        optionsStockTop = position;
        break;
    }
}

BarGeometry barGeometry(const LayoutGeometry& geometry)
{
    BarGeometry g;
    const ControlRect& descParam = geometry.at(QStringLiteral("picDescParam"));
    const ControlRect& paramsOptions = geometry.at(QStringLiteral("picParamsOptions"));
    const ControlRect& optionsStock = geometry.at(QStringLiteral("picOptionsStock"));
    g.pos.stgDescLeft = geometry.at(QStringLiteral("picStgDesc")).left;
    g.pos.chartParamsLeft = geometry.at(QStringLiteral("picChartParams")).left;
    g.pos.descParamTop = descParam.top;
    g.pos.paramsOptionsTop = paramsOptions.top;
    g.pos.optionsStockTop = optionsStock.top;
    g.descParamHeight = descParam.height;
    g.paramsOptionsHeight = paramsOptions.height;
    g.optionsStockHeight = optionsStock.height;
    return g;
}

void setBarPositions(LayoutGeometry& geometry, const BarPositions& positions)
{
    geometry.at(QStringLiteral("picStgDesc")).left = positions.stgDescLeft;
    geometry.at(QStringLiteral("picChartParams")).left = positions.chartParamsLeft;
    geometry.at(QStringLiteral("picDescParam")).top = positions.descParamTop;
    geometry.at(QStringLiteral("picParamsOptions")).top = positions.paramsOptionsTop;
    geometry.at(QStringLiteral("picOptionsStock")).top = positions.optionsStockTop;
}

BarPositions defaultBarPositions(float scaleWidth, float scaleHeight, float bottomBandHeight, float barThickness)
{
    BarPositions p;
    p.stgDescLeft = scaleWidth / 3;
    p.chartParamsLeft = scaleWidth / 3;
    p.descParamTop = scaleHeight / 4;
    p.paramsOptionsTop = scaleHeight / 2;
    p.optionsStockTop = 3 * scaleHeight / 4;
    if (scaleHeight - p.optionsStockTop - barThickness < bottomBandHeight) {
        p.optionsStockTop = std::max(scaleHeight - bottomBandHeight - barThickness, scaleHeight / 2);
        p.descParamTop = p.optionsStockTop / 3;
        p.paramsOptionsTop = 2 * p.optionsStockTop / 3;
    }
    return p;
}

BarPositions keepHorizontalBarsInOrder(BarPositions bars, float clientHeight)
{
    const float H = clientHeight;
    if (bars.optionsStockTop + MinimumBarGap > H)
        bars.optionsStockTop = H - (MinimumBarGap + 1);
    if (bars.paramsOptionsTop + MinimumBarGap > bars.optionsStockTop)
        bars.paramsOptionsTop = bars.optionsStockTop - (MinimumBarGap + 1);
    if (bars.descParamTop + MinimumBarGap > bars.paramsOptionsTop)
        bars.descParamTop = bars.paramsOptionsTop - (MinimumBarGap + 1);
    return bars;
}

BarPositions fitHorizontalBars(BarPositions bars, float clientHeight, float bottomBandHeight, float barThickness)
{
    bars = keepHorizontalBarsInOrder(bars, clientHeight);
    const float lowest = std::max(clientHeight - bottomBandHeight - barThickness, clientHeight / 2);
    if (clientHeight > 0 && bars.optionsStockTop > lowest) {
        const float share = lowest / bars.optionsStockTop;
        bars.descParamTop = bars.descParamTop * share;
        bars.paramsOptionsTop = bars.paramsOptionsTop * share;
        bars.optionsStockTop = lowest;
    }
    return keepHorizontalBarsInOrder(bars, clientHeight);
}

ResizeRatios resizeRatios(RecordedSize recorded, double outerWidth, double outerHeight)
{
    ResizeRatios r;
    if (recorded.width < 1)
        return r;
    r.x = static_cast<float>(outerWidth / recorded.width);
    // The recorded height is never 0 for a real window; a division by it would
    // put every horizontal bar at the top.
    if (recorded.height >= 1)
        r.y = static_cast<float>(outerHeight / recorded.height);
    return r;
}

BarPositions scaleBars(BarPositions bars, ResizeRatios ratios)
{
    bars.chartParamsLeft = bars.chartParamsLeft * ratios.x;
    bars.descParamTop = bars.descParamTop * ratios.y;
    bars.optionsStockTop = bars.optionsStockTop * ratios.y;
    bars.paramsOptionsTop = bars.paramsOptionsTop * ratios.y;
    bars.stgDescLeft = bars.stgDescLeft * ratios.x;
    return bars;
}

namespace {

bool fitsInt32(double rounded)
{
    return std::isfinite(rounded) && rounded >= std::numeric_limits<int32_t>::min()
        && rounded <= std::numeric_limits<int32_t>::max();
}

} // namespace

RecordedSize recordOuterSize(double outerWidth, double outerHeight, RecordedSize previous)
{
    RecordedSize r = previous;
    const double h = roundHalfEven(outerHeight);
    if (fitsInt32(h))
        r.height = static_cast<int32_t>(h);
    const double w = roundHalfEven(outerWidth);
    if (fitsInt32(w))
        r.width = static_cast<int32_t>(w);
    return r;
}

ResizeOutcome resizeBars(const BarPositions& bars, RecordedSize recorded, double outerWidth, double outerHeight,
                         float clientHeight, bool minimised)
{
    ResizeOutcome out{false, bars, recorded};
    if (minimised)
        return out;
    const ResizeRatios ratios = resizeRatios(recorded, outerWidth, outerHeight);
    out.bars = keepHorizontalBarsInOrder(scaleBars(bars, ratios), clientHeight);
    out.recorded = recordOuterSize(outerWidth, outerHeight, recorded);
    out.layoutNeeded = true;
    return out;
}

DragRouting mouseMoveRouting(float x, float y, const ClientArea& client, const BarGeometry& bars)
{
    const BarPositions& p = bars.pos;
    DragRouting r;
    r.verticalBars = x - 100 > client.scaleLeft - 100 && x + 100 < client.scaleWidth;
    r.descParam = y - 400 > client.scaleTop && y + 400 < p.paramsOptionsTop && y > 795;
    r.paramsOptions = y - 400 > p.descParamTop + bars.descParamHeight && y + 400 < p.optionsStockTop;
    r.optionsStock = y - 400 > p.paramsOptionsTop + bars.paramsOptionsHeight && y + 400 < client.scaleHeight;
    return r;
}

float clampVerticalBarAfterDrag(float left, float scaleLeft, float scaleWidth)
{
    float p = left;
    if (p - 100 < scaleLeft)
        p = scaleLeft + 101;
    if (p + 150 > scaleWidth)
        p = scaleWidth - 151;
    return p;
}

float clampDescParamAfterDrag(float top, float height, float scaleTop, float paramsOptionsTop)
{
    float p = top;
    if (p - 400 < scaleTop)
        p = scaleTop + 401;
    if (p + height + 400 > paramsOptionsTop)
        p = paramsOptionsTop - height - 401;
    return p;
}

float clampParamsOptionsAfterDrag(float top, float height, float descParamTop, float descParamHeight,
                                  float optionsStockTop)
{
    float p = top;
    if (descParamTop + descParamHeight > p - 400)
        p = descParamTop + descParamHeight + 401;
    if (p + height + 400 > optionsStockTop)
        p = optionsStockTop - height - 401;
    return p;
}

float clampOptionsStockAfterDrag(float top, float height, float paramsOptionsTop, float paramsOptionsHeight,
                                 float scaleHeight)
{
    float p = top;
    if (paramsOptionsTop + paramsOptionsHeight > p - 400)
        p = paramsOptionsTop + paramsOptionsHeight + 401;
    if (p + height + 400 > scaleHeight)
        p = scaleHeight - height - 401;
    return p;
}

BarPositions clampAfterDrag(SplitterBar bar, const BarGeometry& bars, const ClientArea& client)
{
    BarPositions p = bars.pos;
    switch (bar) {
    case SplitterBar::StgDesc:
        p.stgDescLeft = clampVerticalBarAfterDrag(p.stgDescLeft, client.scaleLeft, client.scaleWidth);
        break;
    case SplitterBar::ChartParams:
        p.chartParamsLeft = clampVerticalBarAfterDrag(p.chartParamsLeft, client.scaleLeft, client.scaleWidth);
        break;
    case SplitterBar::DescParam:
        p.descParamTop =
            clampDescParamAfterDrag(p.descParamTop, bars.descParamHeight, client.scaleTop, p.paramsOptionsTop);
        break;
    case SplitterBar::ParamsOptions:
        p.paramsOptionsTop = clampParamsOptionsAfterDrag(p.paramsOptionsTop, bars.paramsOptionsHeight,
                                                         p.descParamTop, bars.descParamHeight, p.optionsStockTop);
        break;
    case SplitterBar::OptionsStock:
        p.optionsStockTop = clampOptionsStockAfterDrag(p.optionsStockTop, bars.optionsStockHeight,
                                                       p.paramsOptionsTop, bars.paramsOptionsHeight,
                                                       client.scaleHeight);
        break;
    }
    return p;
}

} // namespace tw::layout
