#include "mainwindow/MainWindowLayout.h"

#include "app/Convert.h"
#include "workspace/LegEditRules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

namespace tw::layout {

// ---------------------------------------------------------------------------
// LayoutGeometry

LayoutGeometry LayoutGeometry::designTime()
{
    LayoutGeometry g;
    const QString window = QString::fromLatin1(WindowContainer);
    auto add = [&g](const QString& container, const char* name, float l, float t, float w, float h,
                    bool visible = true) {
        g.insert(ControlRect{QString::fromLatin1(name), container, l, t, w, h, visible});
    };
    auto in = [](const char* container) { return QString::fromLatin1(container); };

    // Splitter bars and frames, directly on the window.
    add(window, "picStgDesc", 2880, 0, 75, 3495);
    add(window, "picDescParam", 0, 3480, 10095, 75);
    add(window, "picChartParams", 2040, 3600, 75, 1575);
    add(window, "picParamsOptions", 120, 5160, 9615, 75);
    add(window, "picOptionsStock", 0, 6480, 10095, 75);
    add(window, "fraStrategies", 0, 0, 0, 0);
    add(window, "fraDescription", 0, 0, 0, 0);
    add(window, "fraPLC", 0, 0, 0, 0);
    add(window, "fraParams", 0, 0, 0, 0);
    add(window, "fraOptions", 0, 0, 0, 0);
    add(window, "fraExchange", 0, 0, 0, 0);
    add(window, "cmbEdit", 0, 0, 0, 0, false);
    add(window, "txtEdit", 0, 0, 0, 0, false);

    // The control filling each upper pane.
    add(in("fraStrategies"), "tvStrategies", 120, 240, 2655, 1275);
    add(in("fraDescription"), "rtfDescription", 60, 300, 7215, 2355);
    add(in("fraPLC"), "PLCStrategy", 180, 300, 1455, 1095);
    add(in("fraParams"), "gdParams", 120, 240, 6255, 1215);
    add(in("fraOptions"), "gdSelected", 120, 240, 8535, 735);

    // Bottom pane.
    const QString ex = in("fraExchange");
    add(ex, "lblStockValue", 660, 240, 75, 225);
    add(ex, "lblPriceValue", 1560, 240, 75, 225);
    add(ex, "lblDateValue", 2400, 240, 75, 225);
    add(ex, "lblStatus", 60, 540, 9045, 195);
    add(ex, "lblModel", 5280, 240, 435, 195);
    add(ex, "cmbModel", 5760, 180, 1815, 315);
    add(ex, "lblSteps", 7680, 240, 405, 195);
    add(ex, "txtSteps", 8160, 210, 435, 285);
    add(ex, "lblCalculationMode", 4320, 800, 735, 200);
    add(ex, "cbCalculationMode", 5280, 745, 1455, 315);
    add(ex, "lblInterestRate", 6960, 800, 975, 200);
    add(ex, "txtInetrestRate", 7920, 745, 615, 285);
    add(ex, "chkPLSign", 120, 540, 2295, 195);
    add(ex, "lblSetupPrice", 3030, 540, 855, 195);
    add(ex, "picHolder", 3690, 540, 2565, 195);
    add(ex, "tabOptionsNew", 120, 960, 2895, 375);
    add(ex, "fraStock", 0, 0, 0, 0);
    add(ex, "gdCalls", 0, 0, 0, 0);
    add(ex, "gdPuts", 0, 0, 0, 0);
    // The pricing boxes of the "Stock" page lie on a page of their own over
    // the same place as fraStock.
    add(ex, "picStockParams", 0, 0, 0, 0);
    // The window's status line, along the bottom under the tab strip.
    add(ex, "lblTickerStatus", 60, 1500, 9045, 195);

    // The price-source option buttons.
    const QString holder = in("picHolder");
    add(holder, "optTheoreticalPrice", 30, 0, 795, 195);
    add(holder, "optRealPrice", 900, 0, 615, 195);
    add(holder, "optBidAsk", 1560, 0, 915, 195);

    // The stock pane of the tab strip.
    const QString stock = in("fraStock");
    const QString stockParams = in("picStockParams");
    add(stockParams, "lblExchange", 4920, 210, 705, 195);
    add(stockParams, "cbExchange", 5760, 150, 3135, 315);
    add(stockParams, "lblValatility", 3930, 520, 600, 195);
    add(stockParams, "txtVolatility", 6300, 480, 735, 285);
    add(stockParams, "lblDividends", 7080, 540, 1020, 195);
    add(stockParams, "txtDividends", 8130, 480, 735, 285);
    add(stock, "lblBid", 120, 900, 270, 195);
    add(stock, "lblBidValue", 480, 900, 75, 225);
    add(stock, "lblAsk", 1620, 900, 315, 195);
    add(stock, "lblAskValue", 2040, 900, 75, 225);
    add(stock, "lblNet", 2460, 900, 600, 195);
    add(stock, "lblNetValue", 3240, 900, 75, 225);
    add(stock, "lblVolume", 3480, 900, 570, 195);
    add(stock, "lblVolumeValue", 4140, 900, 75, 225);
    add(stock, "lblSize", 4380, 900, 345, 195);
    add(stock, "lblSizeValue", 4800, 900, 75, 225);
    // The ticker's caption ends before its box (drawn wider, it lay under it).
    add(stock, "lblTicker", 60, 240, 480, 195);
    add(stock, "txtTicker", 570, 180, 855, 285);
    add(stock, "cmdDownload", 1440, 180, 885, 315);
    add(stock, "cmdLookup", 2340, 180, 825, 315);
    add(stock, "cmdLoad", 60, 525, 1545, 300);
    add(stock, "cmdSave", 1620, 525, 1545, 300);
    add(stockParams, "cbVolatility", 4560, 460, 1695, 315);
    return g;
}

const ControlRect& LayoutGeometry::at(const QString& name) const
{
    const auto it = m_index.constFind(name);
    if (it == m_index.constEnd())
        throw std::out_of_range("unknown control: " + name.toStdString());
    return m_controls.at(*it);
}

ControlRect& LayoutGeometry::at(const QString& name)
{
    const auto it = m_index.constFind(name);
    if (it == m_index.constEnd())
        throw std::out_of_range("unknown control: " + name.toStdString());
    return m_controls[*it];
}

void LayoutGeometry::insert(const ControlRect& rect)
{
    const auto it = m_index.constFind(rect.name);
    if (it != m_index.constEnd()) {
        m_controls[*it] = rect;
        return;
    }
    m_index.insert(rect.name, m_controls.size());
    m_controls.append(rect);
}

void LayoutGeometry::setRect(const QString& name, float left, float top, float width, float height)
{
    ControlRect& r = at(name);
    r.left = left;
    r.top = top;
    r.width = width;
    r.height = height;
}

void LayoutGeometry::setVisible(const QString& name, bool visible)
{
    at(name).visible = visible;
}

// ---------------------------------------------------------------------------
// Helpers

QRect pixelRect(const ControlRect& rect, double logicalDpi)
{
    const int left = pixelsFromTwips(rect.left, logicalDpi);
    const int top = pixelsFromTwips(rect.top, logicalDpi);
    const int right = pixelsFromTwips(static_cast<double>(rect.left) + rect.width, logicalDpi);
    const int bottom = pixelsFromTwips(static_cast<double>(rect.top) + rect.height, logicalDpi);
    return QRect(left, top, right - left, bottom - top);
}

float rebarHeightTwips(double rebarPixels, double twipsPerPixelY)
{
    return static_cast<float>(roundHalfEven(rebarPixels * twipsPerPixelY));
}

void applyChainTab(LayoutGeometry& geometry, int tab)
{
    const QString stock = QStringLiteral("fraStock");
    const QString calls = QStringLiteral("gdCalls");
    const QString puts = QStringLiteral("gdPuts");
    if (tab < 1 || tab > 3)
        return;
    geometry.setVisible(stock, tab == 1);
    geometry.setVisible(QStringLiteral("picStockParams"), tab == 1);
    geometry.setVisible(calls, tab == 2);
    geometry.setVisible(puts, tab == 3);
}

float stockPageRowsBottom(const LayoutGeometry& geometry)
{
    float bottom = 0;
    for (const ControlRect& r : geometry.controls()) {
        if (r.container == QLatin1String("fraStock") || r.container == QLatin1String("picStockParams"))
            bottom = std::max(bottom, r.top + r.height);
    }
    return bottom;
}

float bottomBandHeightNeeded(const LayoutGeometry& g, const TabClientInsets& tabClient, float gridHeight)
{
    // The status row as the layout places it, under the quote line.
    const ControlRect& quote = g.at(QStringLiteral("lblStockValue"));
    const float statusBottom = quote.top + quote.height + 60 + g.at(QStringLiteral("optTheoreticalPrice")).height;
    const float page = std::max(stockPageRowsBottom(g) + 60, gridHeight);
    return statusBottom + 60 + tabClient.top + page + tabClient.bottom + 30
        + g.at(QStringLiteral("lblTickerStatus")).height + 30;
}

namespace {

using Value = std::optional<float>;
constexpr std::nullopt_t unchanged = std::nullopt;

// Carries out the rows of the placement tables on the geometry. Each row sets
// the values it gives and keeps the others; a row whose width or height would
// be negative, or whose values are not numbers, is skipped as a whole.
class Placer {
public:
    explicit Placer(LayoutResult& result) : m_result(result) {}

    const ControlRect& operator()(const char* name) const
    {
        return m_result.geometry.at(QString::fromLatin1(name));
    }

    void place(const char* name, Value left, Value top, Value width, Value height)
    {
        const QString key = QString::fromLatin1(name);
        ControlRect& r = m_result.geometry.at(key);
        const bool numbers = finite(left) && finite(top) && finite(width) && finite(height);
        const bool negative = (width && *width < 0) || (height && *height < 0);
        if (!numbers || negative) {
            m_result.skipped.append(key);
            return;
        }
        if (left)
            r.left = *left;
        if (top)
            r.top = *top;
        if (width)
            r.width = *width;
        if (height)
            r.height = *height;
        m_result.placed.append(key);
    }

    void show(const char* name, bool visible) { m_result.geometry.setVisible(QString::fromLatin1(name), visible); }

private:
    static bool finite(Value v) { return !v || std::isfinite(*v); }
    LayoutResult& m_result;
};

// Keeps a visible in-cell editor over the selected cell of its grid: the
// frame's left + the grid's left + the cell's left + 30, top likewise.
void followCell(Placer& p, const char* editor, const QString& tag, const LayoutInput& in)
{
    if (!p(editor).visible)
        return;
    const char* frame = nullptr;
    const char* grid = nullptr;
    std::optional<CellOrigin> cell;
    switch (legGridOfField(editFieldOfTag(tag))) {
    case LegGrid::Params:
        frame = "fraParams";
        grid = "gdParams";
        cell = in.paramsCell;
        break;
    case LegGrid::Selected:
        frame = "fraOptions";
        grid = "gdSelected";
        cell = in.selectedCell;
        break;
    case LegGrid::None:
        return;
    }
    if (!cell)
        return;
    const float left = p(frame).left + p(grid).left + cell->left + 30;
    const float top = p(frame).top + p(grid).top + cell->top + 30;
    p.place(editor, left, top, unchanged, unchanged);
}

// The width of a box that grows to show its longest entry: from its design
// width up to that entry's width, as far as `room` allows (the room left
// between the box's right edge and the control to its left).
float grownWidth(const LayoutInput& in, const char* box, float room)
{
    static const LayoutGeometry design = LayoutGeometry::designTime();
    const QString name = QString::fromLatin1(box);
    const float own = design.at(name).width;
    const float wanted = in.textWidths.value(name, own);
    return std::max(own, std::min(wanted, room));
}

} // namespace

// ---------------------------------------------------------------------------
// ArrangeControls

LayoutResult ArrangeControls(const LayoutGeometry& current, const LayoutInput& in)
{
    LayoutResult result;
    result.geometry = current;
    Placer p(result);
    const float SL = in.client.scaleLeft;
    const float SW = in.client.scaleWidth;
    const float SH = in.client.scaleHeight;
    const float RH = in.rebarHeight;

    // Bars and frames. Each row reads what the rows before it placed; a bar
    // keeps its position along its moving axis and its thickness.
    p.place("picStgDesc", unchanged, RH, unchanged, p("picDescParam").top - RH);
    p.place("picDescParam", SL, unchanged, SW, unchanged);
    p.place("picChartParams", unchanged, p("picDescParam").top + p("picDescParam").height, unchanged,
            p("picParamsOptions").top - (p("picDescParam").top + p("picDescParam").height));
    p.place("picParamsOptions", SL, unchanged, SW, unchanged);
    p.place("picOptionsStock", SL, unchanged, SW, unchanged);
    p.place("fraStrategies", SL, RH, p("picStgDesc").left - SL, p("picStgDesc").height);
    p.place("fraDescription", p("picStgDesc").left + p("picStgDesc").width, RH,
            SW - p("picStgDesc").left - p("picStgDesc").width, p("picStgDesc").height);
    p.place("fraPLC", SL, p("picDescParam").top + p("picDescParam").height, p("picChartParams").left - SL,
            p("picChartParams").height);
    p.place("fraParams", p("picChartParams").left + p("picChartParams").width, p("picChartParams").top,
            SW - p("picChartParams").left - p("picChartParams").width, p("picChartParams").height);
    p.place("fraOptions", SL, p("picParamsOptions").top + p("picParamsOptions").height, SW - SL,
            p("picOptionsStock").top - (p("picParamsOptions").top + p("picParamsOptions").height));
    p.place("fraExchange", SL, p("picOptionsStock").top + p("picOptionsStock").height, SW - SL,
            SH - (p("picOptionsStock").top + p("picOptionsStock").height));

    // The control filling each upper pane. The height uses the control's top
    // before this move, so a control whose design top differs from 240 gets
    // its final height only on the next layout.
    {
        const float top = p("tvStrategies").top;
        p.place("tvStrategies", 30, 240, p("fraStrategies").width - 90, p("fraStrategies").height - 60 - top);
    }
    {
        const float top = p("rtfDescription").top;
        p.place("rtfDescription", 30, 240, p("fraDescription").width - 90,
                p("fraDescription").height - 60 - top);
    }
    {
        const float top = p("PLCStrategy").top;
        p.place("PLCStrategy", 30, 240, p("fraPLC").width - 90, p("fraPLC").height - top - 60);
    }
    {
        const float top = p("gdParams").top;
        p.place("gdParams", 30, 240, p("fraParams").width - 60, p("fraParams").height - top - 30);
    }
    {
        const float top = p("gdSelected").top;
        p.place("gdSelected", 30, 240, p("fraOptions").width - 60, p("fraOptions").height - top - 30);
    }

    // Bottom pane: the quote line from the left, the two rows of pricing boxes
    // right-aligned, the status row under the quote line.
    const float FW = p("fraExchange").width;
    p.place("lblStockValue", 60, unchanged, unchanged, unchanged);
    p.place("lblPriceValue", p("lblStockValue").left + p("lblStockValue").width + 30, unchanged, unchanged,
            unchanged);
    p.place("lblDateValue", p("lblPriceValue").left + p("lblPriceValue").width + 30, unchanged, unchanged,
            unchanged);
    p.place("lblStatus", unchanged, p("lblStockValue").top + p("lblStockValue").height + 60, FW - 120,
            p("optTheoreticalPrice").height);
    p.place("txtSteps", FW - p("txtSteps").width - 90, unchanged, unchanged, unchanged);
    p.place("lblSteps", p("txtSteps").left - p("lblSteps").width - 60, unchanged, unchanged, unchanged);
    {
        // The model box grows no further left than the quote line's end.
        const float right = p("lblSteps").left - 60;
        const float quoteEnd = p("lblDateValue").left + p("lblDateValue").width + 60;
        const float width = grownWidth(in, "cmbModel", right - p("lblModel").width - 60 - quoteEnd);
        p.place("cmbModel", right - width, unchanged, width, unchanged);
    }
    p.place("lblModel", p("cmbModel").left - p("lblModel").width - 60, unchanged, unchanged, unchanged);
    p.place("txtInetrestRate", FW - p("txtInetrestRate").width - 90, unchanged, unchanged, unchanged);
    p.place("lblInterestRate", p("txtInetrestRate").left - p("lblInterestRate").width - 60, unchanged, unchanged,
            unchanged);
    {
        const float width = grownWidth(in, "cbCalculationMode", std::numeric_limits<float>::max());
        p.place("cbCalculationMode", p("lblInterestRate").left - width - 60, unchanged, width, unchanged);
    }
    p.place("lblCalculationMode", p("cbCalculationMode").left - p("lblCalculationMode").width - 60, unchanged,
            unchanged, unchanged);
    p.place("picHolder", FW - p("picHolder").width - 120, p("lblStatus").top, unchanged, unchanged);
    p.place("lblSetupPrice", p("picHolder").left - p("lblSetupPrice").width, p("lblStatus").top, unchanged,
            unchanged);
    p.place("chkPLSign", 60, p("lblStatus").top, unchanged, unchanged);
    // The status line's text runs between the check box and the setup-price
    // caption that share its row, so no text is ever drawn over theirs.
    {
        const float left = p("chkPLSign").left + p("chkPLSign").width + 60;
        p.place("lblStatus", left, unchanged, p("lblSetupPrice").left - 60 - left, unchanged);
    }

    // The status line along the band's bottom, the whole width, as high as
    // its text needs (never above the status row, whatever the band's
    // height).
    {
        const float width = FW - 120;
        const float height = in.statusLineHeight ? in.statusLineHeight(width) : p("lblTickerStatus").height;
        const float rowBottom = p("lblStatus").top + p("lblStatus").height;
        p.place("lblTickerStatus", 60, std::max(p("fraExchange").height - height - 30, rowBottom + 60), width,
                height);
    }

    // Chain panes, only when there is more than 600 twips of room between
    // the status row and the status line.
    const float room = p("lblTickerStatus").top - (p("lblStatus").top + p("lblStatus").height + 60);
    result.chainPanesShown = room > ChainPaneMinimumRoom;
    if (result.chainPanesShown) {
        p.show("tabOptionsNew", true);
        p.show("fraStock", true);
        p.show("gdCalls", true);
        p.show("gdPuts", true);
        p.show("picStockParams", true);
        applyChainTab(result.geometry, in.selectedTab);

        {
            // Width and height use the strip's left and top before this move.
            const float left = p("tabOptionsNew").left;
            const float top = p("tabOptionsNew").top;
            p.place("tabOptionsNew", 30, p("lblStatus").top + p("lblStatus").height + 60, FW - 2 * left,
                    p("lblTickerStatus").top - top - 30);
        }
        // The tab strip's client area, read afresh for each row using it.
        auto placeOverClientArea = [&p, &in](const char* name) {
            const ControlRect& tab = p("tabOptionsNew");
            const TabClientInsets& inset = in.tabClient;
            p.place(name, tab.left + inset.left, tab.top + inset.top, tab.width - inset.left - inset.right,
                    tab.height - inset.top - inset.bottom);
        };
        placeOverClientArea("fraStock");
        placeOverClientArea("picStockParams");
        const float KW = p("fraStock").width;
        {
            // The exchange box grows no further left than the lookup button.
            const float right = KW - 90;
            const float buttonsEnd = p("cmdLookup").left + p("cmdLookup").width + 60;
            const float width = grownWidth(in, "cbExchange", right - p("lblExchange").width - 60 - buttonsEnd);
            p.place("cbExchange", right - width, unchanged, width, unchanged);
        }
        p.place("lblExchange", p("cbExchange").left - p("lblExchange").width - 60, unchanged, unchanged,
                unchanged);
        p.place("txtDividends", KW - p("txtDividends").width - 120, unchanged, unchanged, unchanged);
        p.place("lblDividends", p("txtDividends").left - p("lblDividends").width - 60, unchanged, unchanged,
                unchanged);
        p.place("txtVolatility", p("lblDividends").left - p("txtVolatility").width - 90, unchanged, unchanged,
                unchanged);
        p.place("lblValatility", p("txtVolatility").left - p("lblValatility").width - 60, unchanged, unchanged,
                unchanged);
        p.place("lblBid", 60, unchanged, unchanged, unchanged);
        p.place("lblBidValue", p("lblBid").left + p("lblBid").width + 60, unchanged, unchanged, unchanged);
        p.place("lblAsk", p("lblBidValue").left + p("lblBidValue").width + 120, unchanged, unchanged, unchanged);
        p.place("lblAskValue", p("lblAsk").left + p("lblAsk").width + 60, unchanged, unchanged, unchanged);
        p.place("lblNet", p("lblAskValue").left + p("lblAskValue").width + 120, unchanged, unchanged, unchanged);
        p.place("lblNetValue", p("lblNet").left + p("lblNet").width + 60, unchanged, unchanged, unchanged);
        p.place("lblVolume", p("lblNetValue").left + p("lblNetValue").width + 120, unchanged, unchanged,
                unchanged);
        p.place("lblVolumeValue", p("lblVolume").left + p("lblVolume").width + 60, unchanged, unchanged,
                unchanged);
        p.place("lblSize", p("lblVolumeValue").left + p("lblVolumeValue").width + 120, unchanged, unchanged,
                unchanged);
        p.place("lblSizeValue", p("lblSize").left + p("lblSize").width + 60, unchanged, unchanged, unchanged);
        placeOverClientArea("gdCalls");
        placeOverClientArea("gdPuts");
    } else {
        p.show("tabOptionsNew", false);
        p.show("fraStock", false);
        p.show("gdCalls", false);
        p.show("gdPuts", false);
        p.show("picStockParams", false);
    }

    // In-cell editors follow the selected cell of the grid they edit.
    followCell(p, "cmbEdit", in.comboEditorTag, in);
    followCell(p, "txtEdit", in.textEditorTag, in);
    return result;
}

} // namespace tw::layout
