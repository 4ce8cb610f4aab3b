#include "mainwindow/MainWindowLayout.h"
#include "mainwindow/SplitterRules.h"
#include "app/Convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

using namespace tw::layout;

namespace {

const ControlRect& R(const LayoutGeometry& g, const char* name)
{
    return g.at(QString::fromLatin1(name));
}

float bottom(const ControlRect& r) { return r.top + r.height; }
float right(const ControlRect& r) { return r.left + r.width; }

LayoutInput inputFor(float width, float height, float rebar)
{
    LayoutInput in;
    in.client = ClientArea{0, 0, width, height};
    in.rebarHeight = rebar;
    in.tabClient = TabClientInsets{45, 360, 45, 45};
    return in;
}

LayoutGeometry geometryWithBars(const BarPositions& bars, float barThickness = 75)
{
    LayoutGeometry g = LayoutGeometry::designTime();
    setBarPositions(g, bars);
    g.at(QStringLiteral("picStgDesc")).width = barThickness;
    g.at(QStringLiteral("picChartParams")).width = barThickness;
    g.at(QStringLiteral("picDescParam")).height = barThickness;
    g.at(QStringLiteral("picParamsOptions")).height = barThickness;
    g.at(QStringLiteral("picOptionsStock")).height = barThickness;
    return g;
}

// Two passes, as a running window does them: the second one is the settled
// layout (the first one still uses some design-time tops and lefts).
LayoutGeometry settled(LayoutGeometry g, const LayoutInput& in)
{
    g = ArrangeControls(g, in).geometry;
    return ArrangeControls(g, in).geometry;
}

} // namespace

TEST(MainWindowLayout, BandsTileTheClientAreaWithoutGaps)
{
    struct Case {
        const char* what;
        float width, height, rebar;
        BarPositions bars;
        float thickness;
    };
    const Case cases[] = {
        {"defaults", 12000, 9000, 600, defaultBarPositions(12000, 9000), 75},
        {"after drags, 4-pixel bars", 15000, 10500, 690, {5000.5f, 3333.333f, 2400, 5100.25f, 8000}, 60},
        {"bars near the edges", 9600, 7200, 360, {120, 9000, 800, 1300, 6700}, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LayoutInput in = inputFor(c.width, c.height, c.rebar);
        const LayoutResult res = ArrangeControls(geometryWithBars(c.bars, c.thickness), in);
        EXPECT_TRUE(res.skipped.isEmpty()) << res.skipped.join(u',').toStdString();
        const LayoutGeometry& g = res.geometry;

        // The bars keep their position along their axis and their thickness.
        EXPECT_EQ(barGeometry(g).pos, c.bars);
        EXPECT_EQ(R(g, "picStgDesc").width, c.thickness);
        EXPECT_EQ(R(g, "picDescParam").height, c.thickness);

        // Top to bottom: rebar, band 1, bar, band 2, bar, band 3, bar, band 4.
        const ControlRect& dp = R(g, "picDescParam");
        const ControlRect& po = R(g, "picParamsOptions");
        const ControlRect& os = R(g, "picOptionsStock");
        for (const char* name : {"fraStrategies", "picStgDesc", "fraDescription"}) {
            EXPECT_EQ(R(g, name).top, c.rebar) << name;
            EXPECT_FLOAT_EQ(bottom(R(g, name)), dp.top) << name;
        }
        for (const char* name : {"fraPLC", "picChartParams", "fraParams"}) {
            EXPECT_FLOAT_EQ(R(g, name).top, bottom(dp)) << name;
            EXPECT_FLOAT_EQ(bottom(R(g, name)), po.top) << name;
        }
        EXPECT_FLOAT_EQ(R(g, "fraOptions").top, bottom(po));
        EXPECT_FLOAT_EQ(bottom(R(g, "fraOptions")), os.top);
        EXPECT_FLOAT_EQ(R(g, "fraExchange").top, bottom(os));
        EXPECT_FLOAT_EQ(bottom(R(g, "fraExchange")), c.height);

        // Left to right in the two split bands; full width below.
        const ControlRect& sd = R(g, "picStgDesc");
        const ControlRect& cp = R(g, "picChartParams");
        EXPECT_EQ(R(g, "fraStrategies").left, 0);
        EXPECT_FLOAT_EQ(right(R(g, "fraStrategies")), sd.left);
        EXPECT_FLOAT_EQ(R(g, "fraDescription").left, right(sd));
        EXPECT_FLOAT_EQ(right(R(g, "fraDescription")), c.width);
        EXPECT_EQ(R(g, "fraPLC").left, 0);
        EXPECT_FLOAT_EQ(right(R(g, "fraPLC")), cp.left);
        EXPECT_FLOAT_EQ(R(g, "fraParams").left, right(cp));
        EXPECT_FLOAT_EQ(right(R(g, "fraParams")), c.width);
        for (const char* name : {"picDescParam", "picParamsOptions", "picOptionsStock", "fraOptions", "fraExchange"}) {
            EXPECT_EQ(R(g, name).left, 0) << name;
            EXPECT_EQ(R(g, name).width, c.width) << name;
        }
    }
}

TEST(MainWindowLayout, UpperPanesAreFilledFromTheirFramesUsingTheTopBeforeTheMove)
{
    const LayoutInput in = inputFor(12000, 9000, 600);
    const LayoutGeometry design = geometryWithBars(defaultBarPositions(12000, 9000));
    const LayoutGeometry first = ArrangeControls(design, in).geometry;
    const LayoutGeometry second = ArrangeControls(first, in).geometry;

    struct Case {
        const char* control;
        const char* frame;
        float widthLess;  // frame width - control width
        float heightLess; // frame height - control height, once its top is 240
        float designTop;
    };
    const Case cases[] = {
        {"tvStrategies", "fraStrategies", 90, 300, 240},
        {"rtfDescription", "fraDescription", 90, 300, 300},
        {"PLCStrategy", "fraPLC", 90, 300, 300},
        {"gdParams", "fraParams", 60, 270, 240},
        {"gdSelected", "fraOptions", 60, 270, 240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        const ControlRect& frame = R(second, c.frame);
        for (const LayoutGeometry* g : {&first, &second}) {
            EXPECT_EQ(R(*g, c.control).left, 30);
            EXPECT_EQ(R(*g, c.control).top, 240);
            EXPECT_EQ(R(*g, c.control).width, frame.width - c.widthLess);
        }
        // The first layout still subtracts the design-time top.
        EXPECT_EQ(R(first, c.control).height, frame.height - c.heightLess - (c.designTop - 240));
        EXPECT_EQ(R(second, c.control).height, frame.height - c.heightLess);
    }
}

TEST(MainWindowLayout, BottomPaneRowsAlignToTheFrameEdges)
{
    LayoutGeometry g = geometryWithBars(defaultBarPositions(12000, 9000));
    // Quote-value labels carry the widths their texts gave them.
    g.at(QStringLiteral("lblStockValue")).width = 900;
    g.at(QStringLiteral("lblPriceValue")).width = 600;
    const LayoutGeometry out = ArrangeControls(g, inputFor(12000, 9000, 600)).geometry;

    struct Expect {
        const char* name;
        float left, top;
    };
    const Expect rows[] = {
        {"lblStockValue", 60, 240},   {"lblPriceValue", 990, 240},    {"lblDateValue", 1620, 240},
        {"txtSteps", 11475, 210},     {"lblSteps", 11010, 240},       {"cmbModel", 9135, 180},
        {"lblModel", 8640, 240},      {"txtInetrestRate", 11295, 745}, {"lblInterestRate", 10260, 800},
        {"cbCalculationMode", 8745, 745}, {"lblCalculationMode", 7950, 800}, {"picHolder", 9315, 525},
        {"lblSetupPrice", 8460, 525}, {"chkPLSign", 60, 525},
    };
    for (const Expect& e : rows) {
        EXPECT_EQ(R(out, e.name).left, e.left) << e.name;
        EXPECT_EQ(R(out, e.name).top, e.top) << e.name;
        EXPECT_EQ(R(out, e.name).width, R(g, e.name).width) << e.name;
    }
    // The status line takes the option buttons' height and the room between
    // the check box and the setup-price caption on its row, so its text never
    // covers theirs.
    const ControlRect& status = R(out, "lblStatus");
    EXPECT_EQ(status.left, 60 + R(out, "chkPLSign").width + 60);
    EXPECT_EQ(status.top, 525);
    EXPECT_EQ(status.left + status.width, 8460 - 60);
    EXPECT_EQ(status.height, 195);
}

TEST(MainWindowLayout, ChainPanesFillTheTabStripsClientArea)
{
    // fraExchange is 10000 - (5925 + 75) = 4000 twips high; the status line
    // (195 high) lies 30 twips above its bottom, the tab strip ends 30 above
    // the status line.
    const LayoutInput in = inputFor(12000, 10000, 600);
    const LayoutGeometry g = settled(geometryWithBars({4000, 4000, 2000, 4000, 5925}), in);
    ASSERT_EQ(R(g, "fraExchange").height, 4000);

    const ControlRect& tab = R(g, "tabOptionsNew");
    EXPECT_EQ(tab.left, 30);
    EXPECT_EQ(tab.top, 780);
    EXPECT_EQ(tab.width, 11940);
    EXPECT_EQ(tab.height, 2965);
    for (const char* name : {"fraStock", "picStockParams", "gdCalls", "gdPuts"}) {
        EXPECT_EQ(R(g, name).left, 75) << name;
        EXPECT_EQ(R(g, name).top, 1140) << name;
        EXPECT_EQ(R(g, name).width, 11850) << name;
        EXPECT_EQ(R(g, name).height, 2560) << name;
    }
    struct Expect {
        const char* name;
        float left;
    };
    const Expect rows[] = {
        {"cbExchange", 8625},     {"lblExchange", 7860}, {"txtDividends", 10995}, {"lblDividends", 9915},
        {"txtVolatility", 9090},  {"lblValatility", 8430}, {"lblBid", 60},        {"lblBidValue", 390},
        {"lblAsk", 585},          {"lblAskValue", 960},  {"lblNet", 1155},        {"lblNetValue", 1815},
        {"lblVolume", 2010},      {"lblVolumeValue", 2640}, {"lblSize", 2835},    {"lblSizeValue", 3240},
    };
    const LayoutGeometry design = LayoutGeometry::designTime();
    for (const Expect& e : rows) {
        EXPECT_EQ(R(g, e.name).left, e.left) << e.name;
        EXPECT_EQ(R(g, e.name).top, R(design, e.name).top) << e.name;
    }
    const ControlRect& line = R(g, "lblTickerStatus");
    EXPECT_EQ(line.container, QStringLiteral("fraExchange"));
    EXPECT_EQ(line.left, 60);
    EXPECT_EQ(line.top, 3775);
    EXPECT_EQ(line.width, 11880);
    EXPECT_EQ(line.height, 195);
    // Controls no row names stay at their design place.
    EXPECT_EQ(R(g, "cmdDownload").left, 1440);
    EXPECT_EQ(R(g, "optBidAsk").left, 1560);

    // A text that needs three lines at the line's width gets them; the tab
    // strip gives up the room.
    LayoutInput wrapped = in;
    QList<float> asked;
    wrapped.statusLineHeight = [&asked](float width) {
        asked.append(width);
        return 585.0f;
    };
    const LayoutGeometry w = settled(g, wrapped);
    EXPECT_EQ(asked.last(), 11880);
    EXPECT_EQ(R(w, "lblTickerStatus").height, 585);
    EXPECT_EQ(R(w, "lblTickerStatus").top, 4000 - 30 - 585);
    EXPECT_EQ(bottom(R(w, "tabOptionsNew")), 4000 - 30 - 585 - 30);
}

TEST(MainWindowLayout, BottomBandOfTheNeededHeightShowsTheChainPanesWhole)
{
    const LayoutInput in = inputFor(12000, 10000, 600);
    EXPECT_EQ(stockPageRowsBottom(LayoutGeometry::designTime()), 1125); // the bid/ask row
    // The stock page's rows decide for a low grid, the grid for a high one.
    for (const float grid : {600.0f, 3000.0f}) {
        SCOPED_TRACE(grid);
        const float need = bottomBandHeightNeeded(LayoutGeometry::designTime(), in.tabClient, grid);
        EXPECT_EQ(need, 780 + 360 + std::max(grid, 1125.0f + 60) + 45 + 30 + 195 + 30);
        // Exactly that high, the grid gets its height and the stock page its
        // rows, with the status line under the tab strip; one twip lower, not.
        for (const float less : {0.0f, 1.0f}) {
            const LayoutGeometry g = settled(geometryWithBars({4000, 4000, 2000, 3000, 10000 - need - 75 + less}), in);
            const ControlRect& line = R(g, "lblTickerStatus");
            EXPECT_EQ(line.top, bottom(R(g, "tabOptionsNew")) + 30);
            EXPECT_EQ(bottom(line) + 30, R(g, "fraExchange").height);
            const float spare = std::min(R(g, "gdCalls").height - grid, R(g, "fraStock").height - 60 - 1125);
            EXPECT_EQ(spare >= 0, less == 0);
        }
    }
    // A band too low for the chain panes keeps the status line along its
    // bottom, under the status row.
    const LayoutGeometry low = settled(geometryWithBars({4000, 4000, 2000, 4000, 8725}), in);
    ASSERT_EQ(R(low, "fraExchange").height, 1200);
    EXPECT_FALSE(R(low, "fraStock").visible);
    EXPECT_TRUE(R(low, "lblTickerStatus").visible);
    EXPECT_EQ(R(low, "lblTickerStatus").top, 1200 - 30 - 195);
}

TEST(MainWindowLayout, TabStripSizeUsesItsPlaceBeforeTheMove)
{
    const LayoutInput in = inputFor(12000, 10000, 600);
    const LayoutGeometry design = geometryWithBars({4000, 4000, 2000, 4000, 5925});
    const LayoutGeometry first = ArrangeControls(design, in).geometry;
    // Design left 120 and top 960 still count in the first pass.
    EXPECT_EQ(R(first, "tabOptionsNew").left, 30);
    EXPECT_EQ(R(first, "tabOptionsNew").top, 780);
    EXPECT_EQ(R(first, "tabOptionsNew").width, 12000 - 240);
    // It ends 30 twips above the status line (whose top is 4000 - 30 - 195).
    EXPECT_EQ(R(first, "tabOptionsNew").height, 3775 - 960 - 30);
    const LayoutGeometry second = ArrangeControls(first, in).geometry;
    EXPECT_EQ(R(second, "tabOptionsNew").width, 12000 - 60);
    EXPECT_EQ(R(second, "tabOptionsNew").height, 3775 - 780 - 30);
}

TEST(MainWindowLayout, ChainPanesNeedMoreThan600TwipsBetweenTheStatusRowAndTheStatusLine)
{
    // Room = the status line's top - (525 + 195 + 60)
    //      = fraExchange height - (195 + 30) - 780 = SH - (6000 + 75) - 1005.
    struct Case {
        float height;
        bool shown;
    };
    const Case cases[] = {{7679, false}, {7680, false}, {7680.5f, true}, {7681, true}, {7000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        const LayoutInput in = inputFor(12000, c.height, 600);
        const LayoutGeometry before = settled(geometryWithBars({4000, 4000, 2000, 4000, 6000}), inputFor(12000, 9000, 600));
        const LayoutResult res = ArrangeControls(before, in);
        EXPECT_EQ(res.chainPanesShown, c.shown);
        EXPECT_EQ(R(res.geometry, "tabOptionsNew").visible, c.shown);
        EXPECT_EQ(R(res.geometry, "fraStock").visible, c.shown);
        EXPECT_EQ(R(res.geometry, "picStockParams").visible, c.shown);
        EXPECT_FALSE(R(res.geometry, "gdCalls").visible);
        EXPECT_FALSE(R(res.geometry, "gdPuts").visible);
        for (const char* name : {"tabOptionsNew", "fraStock", "gdCalls", "lblBid"})
            EXPECT_EQ(res.placed.contains(QString::fromLatin1(name)), c.shown) << name;
        EXPECT_TRUE(res.placed.contains(QStringLiteral("lblTickerStatus")));
        if (!c.shown) {
            // Nothing of the chain panes moves while they are hidden.
            for (const char* name : {"tabOptionsNew", "fraStock", "cbExchange"}) {
                EXPECT_EQ(R(res.geometry, name).top, R(before, name).top) << name;
                EXPECT_EQ(R(res.geometry, name).height, R(before, name).height) << name;
            }
        }
    }
}

TEST(MainWindowLayout, SelectedTabDecidesWhichChainPaneIsVisible)
{
    struct Case {
        int tab;
        bool stock, calls, puts;
    };
    // Any other tab number leaves all three as made visible before the click.
    const Case cases[] = {{1, true, false, false}, {2, false, true, false}, {3, false, false, true},
                          {0, true, true, true},   {4, true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        LayoutInput in = inputFor(12000, 9000, 600);
        in.selectedTab = c.tab;
        const LayoutGeometry g = ArrangeControls(geometryWithBars(defaultBarPositions(12000, 9000)), in).geometry;
        EXPECT_TRUE(R(g, "tabOptionsNew").visible);
        EXPECT_EQ(R(g, "fraStock").visible, c.stock);
        EXPECT_EQ(R(g, "picStockParams").visible, c.stock);
        EXPECT_EQ(R(g, "gdCalls").visible, c.calls);
        EXPECT_EQ(R(g, "gdPuts").visible, c.puts);
    }

    // Hidden for lack of room, then shown again: only the selected pane.
    LayoutInput big = inputFor(12000, 9000, 600);
    big.selectedTab = 3;
    LayoutInput small = big;
    small.client.scaleHeight = 7000;
    LayoutGeometry g = ArrangeControls(geometryWithBars({4000, 4000, 2000, 4000, 6000}), big).geometry;
    g = ArrangeControls(g, small).geometry;
    EXPECT_FALSE(R(g, "gdPuts").visible);
    g = ArrangeControls(g, big).geometry;
    EXPECT_FALSE(R(g, "fraStock").visible);
    EXPECT_FALSE(R(g, "gdCalls").visible);
    EXPECT_TRUE(R(g, "gdPuts").visible);
}

TEST(MainWindowLayout, NegativeSizesAreSkippedAndTheRestIsLaidOut)
{
    const LayoutInput base = inputFor(12000, 9000, 600);
    const BarPositions bars{4000, 4000, 2250, 4500, 6750};
    const LayoutGeometry good = settled(geometryWithBars(bars), base);

    struct Case {
        const char* what;
        std::function<void(LayoutGeometry&, LayoutInput&)> change;
        QStringList skipped;
    };
    const Case cases[] = {
        {"tree bar left of the client area",
         [](LayoutGeometry& g, LayoutInput&) { g.at(QStringLiteral("picStgDesc")).left = -200; },
         {QStringLiteral("fraStrategies")}},
        {"sketch bar right of the client area",
         [](LayoutGeometry& g, LayoutInput&) { g.at(QStringLiteral("picChartParams")).left = 12100; },
         {QStringLiteral("fraParams")}},
        {"top bar under the rebar",
         [](LayoutGeometry& g, LayoutInput&) { g.at(QStringLiteral("picDescParam")).top = 500; },
         {QStringLiteral("picStgDesc")}},
        {"bottom bar above the middle bar",
         [](LayoutGeometry& g, LayoutInput&) { g.at(QStringLiteral("picOptionsStock")).top = 4400; },
         {QStringLiteral("fraOptions")}},
        {"bottom bar below the client area",
         [](LayoutGeometry& g, LayoutInput&) { g.at(QStringLiteral("picOptionsStock")).top = 9100; },
         {QStringLiteral("fraExchange")}},
        {"top band lower than the tree's top margin",
         [](LayoutGeometry& g, LayoutInput&) { g.at(QStringLiteral("picDescParam")).top = 800; },
         {QStringLiteral("tvStrategies"), QStringLiteral("rtfDescription")}},
        {"window narrower than the status row's margins",
         [](LayoutGeometry&, LayoutInput& in) { in.client.scaleWidth = 100; },
         {QStringLiteral("fraDescription"), QStringLiteral("fraParams"), QStringLiteral("lblStatus"),
          QStringLiteral("fraStock"), QStringLiteral("gdCalls"), QStringLiteral("gdPuts")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LayoutGeometry g = good;
        LayoutInput in = base;
        c.change(g, in);
        const LayoutResult res = ArrangeControls(g, in);
        for (const QString& name : c.skipped) {
            EXPECT_TRUE(res.skipped.contains(name)) << name.toStdString();
            EXPECT_FALSE(res.placed.contains(name)) << name.toStdString();
            const ControlRect& before = g.at(name);
            const ControlRect& after = res.geometry.at(name);
            EXPECT_EQ(after.left, before.left) << name.toStdString();
            EXPECT_EQ(after.top, before.top) << name.toStdString();
            EXPECT_EQ(after.width, before.width) << name.toStdString();
            EXPECT_EQ(after.height, before.height) << name.toStdString();
        }
        for (const ControlRect& r : res.geometry.controls()) {
            EXPECT_GE(r.width, 0) << r.name.toStdString();
            EXPECT_GE(r.height, 0) << r.name.toStdString();
        }
        // The layout goes on after a skipped placement.
        EXPECT_TRUE(res.placed.contains(QStringLiteral("chkPLSign")));
        EXPECT_TRUE(res.placed.contains(QStringLiteral("picOptionsStock")));
    }
}

TEST(MainWindowLayout, SkippedFrameLeavesItsContentsSizedFromItsOldSize)
{
    const LayoutInput in = inputFor(12000, 9000, 600);
    const LayoutGeometry good = settled(geometryWithBars({4000, 4000, 2250, 4500, 6750}), in);
    LayoutGeometry g = good;
    g.at(QStringLiteral("picStgDesc")).left = -200;
    const LayoutGeometry out = ArrangeControls(g, in).geometry;
    EXPECT_EQ(R(out, "fraStrategies").width, 4000);
    EXPECT_EQ(R(out, "tvStrategies").width, 4000 - 90);
    // Its neighbour follows the bar.
    EXPECT_EQ(R(out, "fraDescription").left, -125);
    EXPECT_EQ(R(out, "fraDescription").width, 12125);
}

TEST(MainWindowLayout, InCellEditorsFollowTheSelectedCellOfTheirGrid)
{
    const LayoutInput base = inputFor(12000, 9000, 600);
    const LayoutGeometry good = settled(geometryWithBars({4000, 3000, 2250, 4500, 6750}), base);
    // fraParams lies at (3075, 2325), fraOptions at (0, 4575); both grids at (30, 240).
    ASSERT_EQ(R(good, "fraParams").left, 3075);
    ASSERT_EQ(R(good, "fraParams").top, 2325);
    ASSERT_EQ(R(good, "fraOptions").top, 4575);
    const CellOrigin paramsCell{1000, 255};
    const CellOrigin selectedCell{2000, 510};
    const float pLeft = 3075 + 30 + 1000 + 30, pTop = 2325 + 240 + 255 + 30;
    const float sLeft = 0 + 30 + 2000 + 30, sTop = 4575 + 240 + 510 + 30;
    const float keepLeft = 111, keepTop = 222;

    struct Case {
        const char* editor;
        bool visible;
        const char* tag;
        bool hasCell;
        float left, top;
    };
    const Case cases[] = {
        {"cmbEdit", false, "1", true, keepLeft, keepTop},
        {"cmbEdit", true, "1", true, pLeft, pTop},
        {"cmbEdit", true, "3", true, pLeft, pTop},
        {"cmbEdit", true, "4", true, pLeft, pTop},
        {"cmbEdit", true, "11", true, sLeft, sTop},
        {"cmbEdit", true, "12", true, sLeft, sTop},
        {"cmbEdit", true, "13", true, sLeft, sTop},
        {"cmbEdit", true, "", true, keepLeft, keepTop},
        {"cmbEdit", true, "1", false, keepLeft, keepTop},
        {"txtEdit", false, "5", true, keepLeft, keepTop},
        {"txtEdit", true, "5", true, pLeft, pTop},
        {"txtEdit", true, "6", true, sLeft, sTop},
        {"txtEdit", true, "7", true, keepLeft, keepTop},
        {"txtEdit", true, "6", false, keepLeft, keepTop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.editor) + " tag " + c.tag + (c.visible ? " visible" : " hidden"));
        LayoutGeometry g = good;
        LayoutInput in = base;
        for (const char* editor : {"cmbEdit", "txtEdit"})
            g.setRect(QString::fromLatin1(editor), keepLeft, keepTop, 1500, 315);
        g.setVisible(QString::fromLatin1(c.editor), c.visible);
        const bool combo = std::string(c.editor) == "cmbEdit";
        (combo ? in.comboEditorTag : in.textEditorTag) = QString::fromLatin1(c.tag);
        if (c.hasCell) {
            in.paramsCell = paramsCell;
            in.selectedCell = selectedCell;
        }
        const LayoutGeometry out = ArrangeControls(g, in).geometry;
        EXPECT_EQ(R(out, c.editor).left, c.left);
        EXPECT_EQ(R(out, c.editor).top, c.top);
        EXPECT_EQ(R(out, c.editor).width, 1500);
        EXPECT_EQ(R(out, c.editor).height, 315);
        // The other editor is hidden and stays put.
        EXPECT_EQ(R(out, combo ? "txtEdit" : "cmbEdit").left, keepLeft);
    }
}

TEST(MainWindowLayout, RebarHeightRoundsHalvesToEven)
{
    struct Case {
        double pixels, twipsPerPixel;
        float twips;
    };
    const Case cases[] = {{26, 15, 390}, {25, 12.5, 312}, {27, 12.5, 338}, {25.3, 15, 380}, {0, 15, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(rebarHeightTwips(c.pixels, c.twipsPerPixel), c.twips) << c.pixels << " x " << c.twipsPerPixel;
}

TEST(MainWindowLayout, GeometryKeepsContainersAndRejectsUnknownNames)
{
    const LayoutGeometry g = LayoutGeometry::designTime();
    EXPECT_EQ(R(g, "gdParams").container, QStringLiteral("fraParams"));
    EXPECT_EQ(R(g, "fraStock").container, QStringLiteral("fraExchange"));
    EXPECT_EQ(R(g, "cbExchange").container, QStringLiteral("picStockParams"));
    EXPECT_EQ(R(g, "optTheoreticalPrice").container, QStringLiteral("picHolder"));
    EXPECT_EQ(R(g, "picDescParam").container, QString::fromLatin1(WindowContainer));
    EXPECT_FALSE(R(g, "cmbEdit").visible);
    EXPECT_THROW((void)g.at(QStringLiteral("lblNoSuchThing")), std::out_of_range);
    // Containers come before what they contain, so widgets can be created in order.
    QStringList seen{QString::fromLatin1(WindowContainer)};
    for (const ControlRect& r : g.controls()) {
        EXPECT_TRUE(seen.contains(r.container)) << r.name.toStdString();
        seen.append(r.name);
    }
}

TEST(MainWindowLayout, PixelRectanglesOfTouchingControlsTouch)
{
    // Bars at odd twips positions: converted edge by edge, the bands still
    // meet without a gap at 96 and at 120 DPI.
    const LayoutInput in = inputFor(14999, 10007, 390);
    const LayoutGeometry g = settled(geometryWithBars({4007.4f, 3001.6f, 2253.3f, 4508.8f, 6751.2f}, 60), in);
    for (double dpi : {96.0, 120.0}) {
        SCOPED_TRACE(dpi);
        const QRect tree = pixelRect(R(g, "fraStrategies"), dpi);
        const QRect bar = pixelRect(R(g, "picStgDesc"), dpi);
        const QRect desc = pixelRect(R(g, "fraDescription"), dpi);
        EXPECT_EQ(tree.right() + 1, bar.left());
        EXPECT_EQ(bar.right() + 1, desc.left());
        EXPECT_EQ(tree.bottom() + 1, pixelRect(R(g, "picDescParam"), dpi).top());
        EXPECT_EQ(pixelRect(R(g, "picDescParam"), dpi).bottom() + 1, pixelRect(R(g, "fraPLC"), dpi).top());
        EXPECT_EQ(pixelRect(R(g, "fraOptions"), dpi).bottom() + 1, pixelRect(R(g, "picOptionsStock"), dpi).top());
        EXPECT_EQ(pixelRect(R(g, "fraExchange"), dpi).bottom() + 1, tw::pixelsFromTwips(10007, dpi));
    }
    EXPECT_EQ(pixelRect(ControlRect{{}, {}, 1500, 300, 75, 22.5f, true}, 96), QRect(100, 20, 5, 2));
}
