#include "mainwindow/MainWindowLayout.h"
#include "mainwindow/SplitterRules.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tw::layout;

namespace {

const SplitterBar allBars[] = {SplitterBar::StgDesc, SplitterBar::ChartParams, SplitterBar::DescParam,
                               SplitterBar::ParamsOptions, SplitterBar::OptionsStock};

// Horizontal bars at 2000, 4000 and 6000, 75 twips thick, vertical ones at 3000.
BarGeometry standardBars()
{
    BarGeometry g;
    g.pos = {3000, 3000, 2000, 4000, 6000};
    return g;
}

} // namespace

TEST(SplitterRules, DefaultPositionsDivideTheClientArea)
{
    const BarPositions p = defaultBarPositions(12000, 9000);
    EXPECT_EQ(p, (BarPositions{4000, 4000, 2250, 4500, 6750}));
    const BarPositions q = defaultBarPositions(10000, 7001);
    EXPECT_EQ(q.stgDescLeft, 10000.0f / 3.0f);
    EXPECT_EQ(q.optionsStockTop, 5250.75f);

    // A bottom band the lowest quarter holds keeps the quarters.
    EXPECT_EQ(defaultBarPositions(12000, 9000, 2175), p);
    // One that needs more: the lowest bar goes up by the difference, the two
    // above keep their thirds of its place, the vertical bars theirs.
    EXPECT_EQ(defaultBarPositions(12000, 9000, 2176), (BarPositions{4000, 4000, 6749.0f / 3, 2 * 6749.0f / 3, 6749}));
    EXPECT_EQ(defaultBarPositions(12000, 9000, 3600, 60), (BarPositions{4000, 4000, 1780, 3560, 5340}));
    // Never above half the client height.
    EXPECT_EQ(defaultBarPositions(12000, 9000, 8000), (BarPositions{4000, 4000, 1500, 3000, 4500}));

    EXPECT_EQ(barSettingKey(SplitterBar::ParamsOptions), QStringLiteral("SPO"));
    EXPECT_EQ(barControlName(SplitterBar::DescParam), QStringLiteral("picDescParam"));
    EXPECT_TRUE(isVerticalBar(SplitterBar::ChartParams));
    EXPECT_FALSE(isVerticalBar(SplitterBar::OptionsStock));
}

TEST(SplitterRules, BarGeometryRoundTripsThroughTheLayoutGeometry)
{
    LayoutGeometry g = LayoutGeometry::designTime();
    const BarPositions p{111, 222, 1333, 2444, 3555};
    setBarPositions(g, p);
    g.at(QStringLiteral("picParamsOptions")).height = 60;
    const BarGeometry b = barGeometry(g);
    EXPECT_EQ(b.pos, p);
    EXPECT_EQ(b.descParamHeight, 75);
    EXPECT_EQ(b.paramsOptionsHeight, 60);
    for (SplitterBar bar : allBars) {
        const ControlRect& r = g.at(barControlName(bar));
        EXPECT_EQ(isVerticalBar(bar) ? r.left : r.top, p.get(bar));
    }
}

TEST(SplitterRules, HorizontalBarsAreKeptInOrderBottomFirst)
{
    struct Case {
        const char* what;
        float height;
        BarPositions in;
        BarPositions out;
    };
    const Case cases[] = {
        {"all apart", 9000, {7, 8, 2250, 4500, 6750}, {7, 8, 2250, 4500, 6750}},
        {"bottom bar exactly 400 above the bottom", 9000, {7, 8, 2250, 4500, 8600}, {7, 8, 2250, 4500, 8600}},
        {"bottom bar 399 above the bottom", 9000, {7, 8, 2250, 4500, 8601}, {7, 8, 2250, 4500, 8599}},
        {"bottom bar pushes the middle one", 9000, {7, 8, 2000, 8300, 8700}, {7, 8, 2000, 8198, 8599}},
        {"all three pushed in turn", 9000, {7, 8, 8000, 8500, 9500}, {7, 8, 7797, 8198, 8599}},
        {"middle bar exactly 400 above the bottom one", 9000, {7, 8, 1000, 6350, 6750}, {7, 8, 1000, 6350, 6750}},
        {"middle bar alone too close", 9000, {7, 8, 1000, 6400, 6750}, {7, 8, 1000, 6349, 6750}},
        {"top bar exactly 400 above the middle one", 9000, {7, 8, 4100, 4500, 6750}, {7, 8, 4100, 4500, 6750}},
        {"top bar 399 above the middle one", 9000, {7, 8, 4101, 4500, 6750}, {7, 8, 4099, 4500, 6750}},
        {"client too low for all three", 500, {7, 8, 125, 250, 375}, {7, 8, -703, -302, 99}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(keepHorizontalBarsInOrder(c.in, c.height), c.out);
    }
}

TEST(SplitterRules, RatiosAreOneUntilASizeIsRecorded)
{
    struct Case {
        RecordedSize recorded;
        double width, height;
        float x, y;
    };
    const Case cases[] = {
        {{0, 0}, 20000, 15000, 1, 1},
        {{-5, 7000}, 20000, 15000, 1, 1},
        {{0, 7000}, 20000, 15000, 1, 1},
        {{9000, 7000}, 18000, 10500, 2, 1.5f},
        {{9000, 7000}, 10000, 7700, static_cast<float>(10000.0 / 9000.0), 1.1f},
        {{9000, 0}, 18000, 10500, 2, 1}, // no division by a zero height
    };
    for (const Case& c : cases) {
        const ResizeRatios r = resizeRatios(c.recorded, c.width, c.height);
        EXPECT_EQ(r.x, c.x) << c.recorded.width << " -> " << c.width;
        EXPECT_EQ(r.y, c.y) << c.recorded.height << " -> " << c.height;
    }
}

TEST(SplitterRules, OuterSizeIsRecordedRoundedHalvesToEven)
{
    EXPECT_EQ(recordOuterSize(12345.5, 9000.5, {}), (RecordedSize{12346, 9000}));
    EXPECT_EQ(recordOuterSize(12344.5, 9001.5, {}), (RecordedSize{12344, 9002}));
    EXPECT_EQ(recordOuterSize(NAN, 3e12, {10, 20}), (RecordedSize{10, 20}));
}

TEST(SplitterRules, ResizeBeforeTheSizeIsRecordedOnlyLimitsTheBars)
{
    const BarPositions bars{3000, 3000, 2000, 4000, 8800};
    const ResizeOutcome out = resizeBars(bars, RecordedSize{}, 19200, 14400, 9000, false);
    EXPECT_TRUE(out.layoutNeeded);
    EXPECT_EQ(out.bars, (BarPositions{3000, 3000, 2000, 4000, 8599}));
    EXPECT_EQ(out.recorded, (RecordedSize{19200, 14400}));
}

TEST(SplitterRules, MaximiseAndRestoreScaleTheBarsBackAndForth)
{
    const RecordedSize normal{9600, 7200};
    const BarPositions bars{3200, 3300, 1800, 3600, 5400};

    const ResizeOutcome maxed = resizeBars(bars, normal, 19200, 14400, 13500, false);
    EXPECT_EQ(maxed.bars, (BarPositions{6400, 6600, 3600, 7200, 10800}));
    EXPECT_EQ(maxed.recorded, (RecordedSize{19200, 14400}));
    const ResizeOutcome restored = resizeBars(maxed.bars, maxed.recorded, 9600, 7200, 6300, false);
    EXPECT_EQ(restored.bars, bars);
    EXPECT_EQ(restored.recorded, normal);

    // With ratios that are not exact in single precision the bars come back up to rounding.
    const ResizeOutcome odd = resizeBars(bars, normal, 12345, 9877, 9000, false);
    EXPECT_EQ(odd.bars.stgDescLeft, 3200 * static_cast<float>(12345.0 / 9600.0));
    const ResizeOutcome back = resizeBars(odd.bars, odd.recorded, 9600, 7200, 6300, false);
    for (SplitterBar bar : allBars)
        EXPECT_NEAR(back.bars.get(bar), bars.get(bar), 0.01) << barControlName(bar).toStdString();
}

TEST(SplitterRules, MinimisingChangesNothing)
{
    const RecordedSize normal{9600, 7200};
    const BarPositions bars{3200, 3300, 1800, 3600, 5400};
    const ResizeOutcome minimised = resizeBars(bars, normal, 2400, 450, 0, true);
    EXPECT_FALSE(minimised.layoutNeeded);
    EXPECT_EQ(minimised.bars, bars);
    EXPECT_EQ(minimised.recorded, normal);
    const ResizeOutcome restored = resizeBars(minimised.bars, minimised.recorded, 9600, 7200, 6300, false);
    EXPECT_EQ(restored.bars, bars);
}

TEST(SplitterRules, ShrinkingTheWindowPushesTheHorizontalBarsUp)
{
    const RecordedSize normal{9600, 7200};
    const BarPositions bars{3200, 3300, 1800, 3600, 5400};
    // Height ratio 0.625: 1125, 2250, 3375; the bottom bar is then too near
    // the bottom of a 3600-twip client area.
    const ResizeOutcome one = resizeBars(bars, normal, 9600, 4500, 3600, false);
    EXPECT_EQ(one.bars, (BarPositions{3200, 3300, 1125, 2250, 3199}));
    // A still lower client area pushes all three in turn.
    const ResizeOutcome all = resizeBars(bars, normal, 9600, 4500, 1600, false);
    EXPECT_EQ(all.bars, (BarPositions{3200, 3300, 397, 798, 1199}));
}

TEST(SplitterRules, BarsSavedForATallerWindowLeaveTheBottomBandWhole)
{
    // Bars that leave the band its height stay.
    const BarPositions fitting{3000, 3300, 2000, 4000, 6000};
    EXPECT_EQ(fitHorizontalBars(fitting, 9000, 2925), fitting);
    // Written by a window 15825 twips high, read into one of 11145: the band
    // gets its 4000 twips, the bars above keep their shares of the lowest
    // bar's place inside the window, the vertical bars stay.
    const BarPositions fitted = fitHorizontalBars({4790, 4790, 3956, 7912, 11869}, 11145, 4000);
    EXPECT_EQ(fitted.optionsStockTop, 11145 - 4000 - 75);
    EXPECT_NEAR(fitted.descParamTop / fitted.optionsStockTop, 3956.0 / (11145 - 401), 1e-5);
    EXPECT_NEAR(fitted.paramsOptionsTop / fitted.optionsStockTop, 7912.0 / (11145 - 401), 1e-5);
    EXPECT_EQ(fitted.stgDescLeft, 4790);
    // Never above half the client height, the bars above 401 twips apart.
    const BarPositions half = fitHorizontalBars({0, 0, 2000, 2300, 9000}, 9000, 8000);
    EXPECT_EQ(half.optionsStockTop, 4500);
    EXPECT_FLOAT_EQ(half.paramsOptionsTop - half.descParamTop, 401);
}

TEST(SplitterRules, MouseMovesReachASplitterOnlyWithinItsLimits)
{
    // Client 10000 x 8000; bars: picDescParam 2000..2075, picParamsOptions 4000..4075, picOptionsStock at 6000.
    const ClientArea a{0, 0, 10000, 8000};
    const ClientArea shifted{200, 500, 10000, 8000};
    BarGeometry thin = standardBars();
    thin.descParamHeight = 60;
    struct Case {
        const char* what;
        ClientArea client;
        BarGeometry bars;
        float x, y;
        DragRouting expect; // vertical, descParam, paramsOptions, optionsStock
    };
    const BarGeometry std_ = standardBars();
    const Case cases[] = {
        {"x at the left edge", a, std_, 0, 1000, {false, true, false, false}},
        {"x just right of the left edge", a, std_, 1, 1000, {true, true, false, false}},
        {"x 101 from the right edge", a, std_, 9899, 1000, {true, true, false, false}},
        {"x 100 from the right edge", a, std_, 9900, 1000, {false, true, false, false}},
        {"x at a shifted left edge", shifted, std_, 200, 1000, {false, true, false, false}},
        {"x past a shifted left edge", shifted, std_, 200.5f, 1000, {true, true, false, false}},
        {"y at 795", a, std_, 5000, 795, {true, false, false, false}},
        {"y at 796", a, std_, 5000, 796, {true, true, false, false}},
        {"y 400 below a shifted top", shifted, std_, 5000, 900, {true, false, false, false}},
        {"y 401 below a shifted top", shifted, std_, 5000, 901, {true, true, false, false}},
        {"y 401 above the middle bar", a, std_, 5000, 3599, {true, true, true, false}},
        {"y 400 above the middle bar", a, std_, 5000, 3600, {true, false, true, false}},
        {"y 400 below the top bar", a, std_, 5000, 2475, {true, true, false, false}},
        {"y 401 below the top bar", a, std_, 5000, 2476, {true, true, true, false}},
        {"y 401 below a thin top bar", a, thin, 5000, 2461, {true, true, true, false}},
        {"y 400 below a thin top bar", a, thin, 5000, 2460, {true, true, false, false}},
        {"y 401 above the bottom bar", a, std_, 5000, 5599, {true, false, true, true}},
        {"y 400 above the bottom bar", a, std_, 5000, 5600, {true, false, false, true}},
        {"y 400 below the middle bar", a, std_, 5000, 4475, {true, false, true, false}},
        {"y 401 below the middle bar", a, std_, 5000, 4476, {true, false, true, true}},
        {"y 401 above the client bottom", a, std_, 5000, 7599, {true, false, false, true}},
        {"y 400 above the client bottom", a, std_, 5000, 7600, {true, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DragRouting r = mouseMoveRouting(c.x, c.y, c.client, c.bars);
        EXPECT_EQ(r.verticalBars, c.expect.verticalBars);
        EXPECT_EQ(r.descParam, c.expect.descParam);
        EXPECT_EQ(r.paramsOptions, c.expect.paramsOptions);
        EXPECT_EQ(r.optionsStock, c.expect.optionsStock);
    }
}

TEST(SplitterRules, EndOfDragClampsMoveOnlyTheDraggedBar)
{
    // Client 10000 x 8000; horizontal bars at 2000, 4000, 6000, 75 thick.
    const ClientArea a{0, 0, 10000, 8000};
    struct Case {
        const char* what;
        SplitterBar bar;
        float released;
        ClientArea client;
        float neighbour; // replaces the limiting neighbour's position when not 0
        float expect;
    };
    const Case cases[] = {
        {"vertical 100 from the left", SplitterBar::StgDesc, 100, a, 0, 100},
        {"vertical 99 from the left", SplitterBar::StgDesc, 99, a, 0, 101},
        {"vertical 150 from the right", SplitterBar::ChartParams, 9850, a, 0, 9850},
        {"vertical 149 from the right", SplitterBar::ChartParams, 9851, a, 0, 9849},
        {"vertical, shifted left edge kept", SplitterBar::StgDesc, 400, {300, 0, 10000, 8000}, 0, 400},
        {"vertical, shifted left edge", SplitterBar::StgDesc, 399, {300, 0, 10000, 8000}, 0, 401},
        {"vertical, both tests fire", SplitterBar::ChartParams, 50, {0, 0, 200, 8000}, 0, 49},
        {"top bar 400 below the top", SplitterBar::DescParam, 400, a, 0, 400},
        {"top bar 399 below the top", SplitterBar::DescParam, 399, a, 0, 401},
        {"top bar, shifted top", SplitterBar::DescParam, 499, {0, 100, 10000, 8000}, 0, 501},
        {"top bar 400 above the middle", SplitterBar::DescParam, 3525, a, 0, 3525},
        {"top bar 399 above the middle", SplitterBar::DescParam, 3526, a, 0, 3524},
        {"top bar, both tests fire", SplitterBar::DescParam, 300, a, 600, 124},
        {"middle bar 400 below the top bar", SplitterBar::ParamsOptions, 2475, a, 0, 2475},
        {"middle bar 399 below the top bar", SplitterBar::ParamsOptions, 2474, a, 0, 2476},
        {"middle bar 400 above the bottom bar", SplitterBar::ParamsOptions, 5525, a, 0, 5525},
        {"middle bar 399 above the bottom bar", SplitterBar::ParamsOptions, 5526, a, 0, 5524},
        {"middle bar, both tests fire", SplitterBar::ParamsOptions, 2400, a, 2800, 2324},
        {"bottom bar 400 below the middle bar", SplitterBar::OptionsStock, 4475, a, 0, 4475},
        {"bottom bar 399 below the middle bar", SplitterBar::OptionsStock, 4474, a, 0, 4476},
        {"bottom bar 400 above the bottom", SplitterBar::OptionsStock, 7525, a, 0, 7525},
        {"bottom bar 399 above the bottom", SplitterBar::OptionsStock, 7526, a, 0, 7524},
        {"bottom bar, both tests fire", SplitterBar::OptionsStock, 4400, {0, 0, 10000, 4700}, 0, 4224},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BarGeometry g = standardBars();
        g.pos.set(c.bar, c.released);
        if (c.neighbour != 0)
            g.pos.set(c.bar == SplitterBar::DescParam ? SplitterBar::ParamsOptions : SplitterBar::OptionsStock,
                      c.neighbour);
        const BarPositions out = clampAfterDrag(c.bar, g, c.client);
        for (SplitterBar bar : allBars)
            EXPECT_EQ(out.get(bar), bar == c.bar ? c.expect : g.pos.get(bar)) << barControlName(bar).toStdString();
    }
}

TEST(SplitterRules, ClampsUseTheDraggedBarsOwnThickness)
{
    // After a drag the bar is 4 pixels (60 twips) thick.
    EXPECT_EQ(clampDescParamAfterDrag(3540, 60, 0, 4000), 3540);
    EXPECT_EQ(clampDescParamAfterDrag(3541, 60, 0, 4000), 3539);
    EXPECT_EQ(clampParamsOptionsAfterDrag(2460, 75, 2000, 60, 6000), 2460);
    EXPECT_EQ(clampParamsOptionsAfterDrag(2459, 75, 2000, 60, 6000), 2461);
    EXPECT_EQ(clampOptionsStockAfterDrag(7540, 60, 4000, 75, 8000), 7540);
    EXPECT_EQ(clampOptionsStockAfterDrag(7541, 60, 4000, 75, 8000), 7539);
}
