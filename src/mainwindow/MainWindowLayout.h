#pragma once
// The geometry of the main window's panes, computed without any widget.
//
// The main window keeps the geometry of its controls in twips in a
// LayoutGeometry (starting from LayoutGeometry::designTime()), hands it to
// layout::ArrangeControls together with what the layout reads of the window
// (client area, rebar height, selected chain tab, in-cell editors), and then
// applies the returned rectangles and visibility to its real widgets,
// converting twips to pixels (app/Convert.h).
//
// Coordinate conventions:
// - Every length is in twips (1/1440 inch) as a single-precision number, the
//   way the window has always kept them; arithmetic is done in single
//   precision, one operation at a time, in the order the formulas are written.
// - Each control's rectangle is relative to the top-left corner of its
//   container: the main window's client area for the splitter bars, the six
//   frames and the in-cell editors (container name "frmStrategies"), or the
//   outer top-left corner of the frame or picture box named in
//   ControlRect::container. A frame's caption lies inside its rectangle; the
//   controls in it start below the caption because of their own tops.
// - fraStock, picStockParams, gdCalls and gdPuts lie in fraExchange, over the
//   tab strip's client area; that area is given in fraExchange coordinates as
//   well. The window's status line, lblTickerStatus, lies in fraExchange too,
//   along its bottom under the tab strip, so it is seen whatever tab is open.
// - lblStatus, the general status label, holds no text (every status text
//   goes to the status line); it marks the status row of the check box and
//   the price-source buttons, which the layout aligns to it.
// - Positions may be negative; widths and heights never are. A placement whose
//   width or height would come out negative (or not a number) is skipped and
//   the control keeps its previous rectangle.

#include <QHash>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tw::layout {

// Name of the main window, used as the container of its direct children.
inline constexpr const char* WindowContainer = "frmStrategies";

struct ControlRect {
    QString name;      // the control's name (also its widget's object name)
    QString container; // WindowContainer, or the name of the frame/picture box holding it
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool visible = true;
};

// The twips geometry and visibility of every control the layout reads or
// places, plus the design-time geometry of the controls it never moves.
class LayoutGeometry {
public:
    // The controls at their design-time place and size. Controls without a
    // design-time rectangle of their own (the six frames, fraStock, gdCalls,
    // gdPuts and the in-cell editors) start empty at 0, 0; the first layout
    // places all of them but the editors. The editors start hidden.
    static LayoutGeometry designTime();

    // Every control, in a fixed order: containers before what they contain.
    const QList<ControlRect>& controls() const { return m_controls; }

    bool contains(const QString& name) const { return m_index.contains(name); }
    // The control of that name; throws std::out_of_range for an unknown name.
    const ControlRect& at(const QString& name) const;
    ControlRect& at(const QString& name);

    // Adds a control or replaces the one of the same name.
    void insert(const ControlRect& rect);
    void setRect(const QString& name, float left, float top, float width, float height);
    void setVisible(const QString& name, bool visible);

private:
    QList<ControlRect> m_controls;
    QHash<QString, qsizetype> m_index;
};

// The main window's client area in twips: its scale left, top, width, height.
struct ClientArea {
    float scaleLeft = 0;
    float scaleTop = 0;
    float scaleWidth = 0;
    float scaleHeight = 0;
};

// Where the tab strip's client area (the part below its tabs, inside its
// border) lies inside the strip, in twips: client area = (strip left + left,
// strip top + top, strip width - left - right, strip height - top - bottom).
struct TabClientInsets {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

// The left and top of a grid cell inside its grid, in twips.
struct CellOrigin {
    float left = 0;
    float top = 0;
};

// What the layout reads besides the controls' own geometry.
struct LayoutInput {
    ClientArea client;
    // The rebar's height in twips, already rounded (see rebarHeightTwips).
    float rebarHeight = 0;
    // The tab strip's selected tab: 1 "Stock", 2 "Calls", 3 "Puts".
    int selectedTab = 1;
    TabClientInsets tabClient;
    // Tags of the in-cell editors cmbEdit and txtEdit (their visibility is
    // read from the geometry). The tag tells which field, and so which grid,
    // the editor was opened on.
    QString comboEditorTag;
    QString textEditorTag;
    // The selected cell of the template-leg grid gdParams and of the
    // evaluated-leg grid gdSelected, when the grid has one.
    std::optional<CellOrigin> paramsCell;
    std::optional<CellOrigin> selectedCell;
    // The width (twips) at which a combo box of the pricing area shows its
    // longest entry at the font in use. The box is given that width, never
    // less than its design width, as far as the controls to its left leave
    // room (the model box and the exchange box); see ArrangeControls.
    QHash<QString, float> textWidths;
    // The height (twips) the status line lblTickerStatus needs to show its
    // whole text at a width (twips); unset, it keeps the height it has.
    std::function<float(float)> statusLineHeight;
};

struct LayoutResult {
    LayoutGeometry geometry;
    // Controls given a new rectangle, in the order they were placed.
    QStringList placed;
    // Controls whose placement was skipped (negative or non-numeric size).
    QStringList skipped;
    // Whether the room below the status row was enough for the chain panes.
    bool chainPanesShown = false;
};

// The control's rectangle in pixels of a screen with the given logical DPI,
// relative to its container. Edges are converted, not sizes, so controls that
// touch in twips touch in pixels too (no one-pixel gaps between the bands).
QRect pixelRect(const ControlRect& rect, double logicalDpi);

// RH: the rebar's height in pixels times the screen's twips per pixel,
// rounded to whole twips, halves to even.
float rebarHeightTwips(double rebarPixels, double twipsPerPixelY);

// Which of fraStock (with the stock page's pricing boxes, picStockParams),
// gdCalls and gdPuts a click on tab `tab` leaves visible: 1 the stock page
// only, 2 the calls grid only, 3 the puts grid only; any other number changes
// nothing.
void applyChainTab(LayoutGeometry& geometry, int tab);

// The room between the status row and the status line at which the chain
// panes are still hidden.
inline constexpr float ChainPaneMinimumRoom = 600;

// The rows of a chain grid that the bottom band shows when the bars are at
// their defaults and the client area allows.
inline constexpr int DefaultChainGridRows = 8;

// The lowest edge of the stock page's rows (fraStock and the pricing boxes
// over it).
float stockPageRowsBottom(const LayoutGeometry& geometry);

// The height of the bottom band (fraExchange) at which the chain panes are
// seen whole: the quote line, the status row, the tab strip (its client area
// inset by `tabClient`) holding the stock page with all its rows, or a chain
// grid `gridHeight` high (header, rows, scroll bar and border), and the status
// line below it at the height it has.
float bottomBandHeightNeeded(const LayoutGeometry& geometry, const TabClientInsets& tabClient, float gridHeight);

// Lays out the main window: the five splitter bars along their fixed axis and
// in length, the six frames of the four bands, the control filling each upper
// pane, the bottom pane's quote line, status row and pricing boxes, the status
// line along the bottom pane's bottom, the whole width and as high as its text
// needs, and - when the room between the status row and the status line
// exceeds 600 twips - the tab strip and the chain panes above the status line;
// otherwise the tab strip and the chain panes are hidden. The bar
// positions along their moving axis are never changed here. Visible in-cell
// editors follow the selected cell of the grid their tag belongs to.
LayoutResult ArrangeControls(const LayoutGeometry& current, const LayoutInput& input);

} // namespace tw::layout
