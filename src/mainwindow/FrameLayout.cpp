// The main window's controls and panes, its layout, its resizing and the
// dragging of its five splitter bars. The geometry is computed in twips by
// the layout functions and then applied to the widgets: the frame's own, and
// the panes' by name.

#include "mainwindow/frmStrategies.h"

#include "app/Convert.h"
#include "app/Procedure.h"
#include "app/cSplitter.h"
#include "charts/frm3dChart.h"
#include "platform/Grid.h"
#include "platform/InputCodes.h"
#include "platform/PopupMenu.h"
#include "platform/ReBar.h"
#include "platform/Toolbar.h"
#include "platform/WindowGeometry.h"
#include "workspace/AnalysisSession.h"
#include "workspace/ChainPane.h"
#include "workspace/DescriptionPane.h"
#include "workspace/LegsPane.h"
#include "workspace/PricingPane.h"
#include "workspace/StrategyLibraryPane.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyle>

namespace tw {

namespace {
// The captions that size themselves to their text.
const char* const kAutoSizeCaptions[] = {"lblStockValue", "lblPriceValue", "lblDateValue",  "lblBidValue",
                                         "lblAskValue",   "lblNetValue",   "lblVolumeValue", "lblSizeValue"};
} // namespace

// ---------------------------------------------------------------------------
// Controls and panes

void frmStrategies::createControls()
{
    const auto name = [this](QWidget* w, const char* n) {
        w->setObjectName(QLatin1String(n));
        m_controls.insert(QLatin1String(n), w);
    };
    // Rebar with the menu bar and the toolbar.
    rbrMain = new platform::ReBar(this);
    tbrMenu = new QMenuBar;
    tbrMenu->setObjectName(QStringLiteral("tbrMenu"));
    tbrMenu->setNativeMenuBar(false);
    tbrTools = new platform::Toolbar;
    tbrTools->setObjectName(QStringLiteral("tbrTools"));

    // The panes of the three upper bands lie over the whole window; the
    // chain and pricing panes over the bottom frame, the pricing boxes on
    // top (the stock page's boxes over the chain's stock page).
    m_library = new StrategyLibraryPane(*m_session, this);
    m_description = new DescriptionPane(*m_session, this);
    m_legs = new LegsPane(*m_session, this);
    fraExchange = new QGroupBox(QStringLiteral(" Stock parameters"), this);
    name(fraExchange, "fraExchange");
    // The general status label of the status row holds no text: every status
    // text goes to the window's one status line, the chain pane's
    // lblTickerStatus along the bottom of this frame.
    lblStatus = new QLabel(fraExchange);
    name(lblStatus, "lblStatus");
    // The Tab key goes from the pricing row to the chain, then to the stock
    // page's pricing boxes; the pricing boxes lie on top.
    m_pricing = new PricingPane(*m_session, fraExchange);
    m_chain = new ChainPane(*m_session, fraExchange);
    m_pricing->raise();
    m_pricing->followInTabOrder(m_chain->lastInFocusChain());
    m_legs->editorsFollowInTabOrder(m_pricing->lastInFocusChain());
    m_panes = {m_library, m_description, m_legs, m_chain, m_pricing};

    // Splitter bars, on top of the panes.
    for (auto [member, barName] : {std::pair{&picStgDesc, "picStgDesc"}, std::pair{&picDescParam, "picDescParam"},
                                   std::pair{&picChartParams, "picChartParams"},
                                   std::pair{&picParamsOptions, "picParamsOptions"},
                                   std::pair{&picOptionsStock, "picOptionsStock"}}) {
        auto* bar = new QWidget(this);
        name(bar, barName);
        *member = bar;
    }
    for (QWidget* bar : {picStgDesc, picChartParams})
        bar->setCursor(Qt::SizeHorCursor);
    for (QWidget* bar : {picDescParam, picParamsOptions, picOptionsStock})
        bar->setCursor(Qt::SizeVerCursor);

    // Fixed captions keep their places but widen to their text where the
    // font at hand is wider than the one the layout was drawn for; the
    // layout anchors them by their right edges to the box they name.
    for (const char* n : {"lblModel", "lblSteps", "lblCalculationMode", "lblInterestRate", "lblSetupPrice",
                          "lblExchange", "lblValatility", "chkPLSign"}) {
        layout::ControlRect& r = m_geometry.at(QLatin1String(n));
        const float need = static_cast<float>((m_pricing->preferredWidth(QLatin1String(n)) + 2) * twipsPerPixel());
        if (need > r.width)
            r.width = need;
    }
    syncCaptionWidths();

    // Everything at its design-time place.
    QStringList all;
    for (const layout::ControlRect& r : m_geometry.controls())
        all.append(r.name);
    applyGeometry(all);
    for (QWidget* w : {picStgDesc, picDescParam, picChartParams, picParamsOptions, picOptionsStock})
        w->raise();
    rbrMain->raise();
}

void frmStrategies::connectControls()
{
    for (WorkspacePane* pane : std::as_const(m_panes)) {
        connect(pane, &WorkspacePane::layoutRequested, this, [this] { ArrangeControls(); });
        connect(pane, &WorkspacePane::statusMessage, m_chain, &ChainPane::showTickerStatus);
        connect(pane, &WorkspacePane::statusWithdrawn, m_chain, &ChainPane::withdrawTickerStatus);
    }
    connect(m_chain, &ChainPane::pageShown, this, [this](int tab) { chainPageShown(tab); });
    connect(m_chain, &ChainPane::downloadEnded, this, [this] {
        if (m_closeAfterDownload) {
            m_closeAfterDownload = false;
            QTimer::singleShot(0, this, [this] { close(); });
        }
    });
    connect(m_legs, &LegsPane::optionShowRequested, m_chain,
            [this](int32_t kind, const QString& code) { m_chain->SelectInDownloader(kind, code); });
    connect(m_pricing, &PricingPane::surfaceRedrawRequested, this, [] { frm3dChart::instance()->UpdateChart(); });
    connect(m_description, &DescriptionPane::editMenuRequested, this, [this](int x, int y) {
        setEditMenuStates();
        m_cMenu->ShowSubmenuAt(x, y, m_cMenu->IndexOfKey(QStringLiteral("mnuEditCopy")));
    });
    connect(rbrMain, &platform::ReBar::HeightChanged, this, [this] { rbrMain_HeightChanged(); });
}

QWidget* frmStrategies::control(const QString& name) const
{
    return m_controls.value(name, nullptr);
}

double frmStrategies::twipsPerPixel() const
{
    return tw::twipsPerPixel(logicalDpiY());
}

float frmStrategies::ScaleWidth() const
{
    return static_cast<float>(width() * twipsPerPixel());
}

float frmStrategies::ScaleHeight() const
{
    return static_cast<float>(height() * twipsPerPixel());
}

layout::ClientArea frmStrategies::clientArea() const
{
    return layout::ClientArea{0.0f, 0.0f, ScaleWidth(), ScaleHeight()};
}

void frmStrategies::applyGeometry(const QString& name)
{
    if (!m_geometry.contains(name))
        return;
    const QRect rect = layout::pixelRect(m_geometry.at(name), 1440.0 / twipsPerPixel());
    if (QWidget* w = control(name)) {
        w->setGeometry(rect);
        return;
    }
    for (WorkspacePane* pane : std::as_const(m_panes)) {
        if (pane->hasControl(name)) {
            pane->placeControl(name, rect);
            return;
        }
    }
}

void frmStrategies::applyGeometry(const QStringList& names)
{
    for (const QString& n : names)
        applyGeometry(n);
}

void frmStrategies::syncCaptionWidths()
{
    for (const char* n : kAutoSizeCaptions) {
        const QString caption = QLatin1String(n);
        m_geometry.at(caption).width = static_cast<float>(m_chain->captionWidth(caption) * twipsPerPixel());
    }
}

void frmStrategies::chainPageShown(int tab)
{
    layout::applyChainTab(m_geometry, tab);
    m_pricing->showControl(QStringLiteral("picStockParams"), m_geometry.at(QStringLiteral("picStockParams")).visible);
}

// ---------------------------------------------------------------------------
// Layout

void frmStrategies::createSplitters()
{
    const auto make = [this](std::unique_ptr<cSplitter>& member, QWidget* bar, layout::SplitterBar which,
                             bool horizontal) {
        member = std::make_unique<cSplitter>();
        member->Initialise(bar, this);
        if (horizontal)
            member->setOrientation(cSplitter::Horizontal);
        connect(member.get(), &cSplitter::SplitComplete, this, [this, which] { splitComplete(which); });
    };
    make(m_cSplitStgDesc, picStgDesc, layout::SplitterBar::StgDesc, false);
    make(m_cSplitChartParams, picChartParams, layout::SplitterBar::ChartParams, false);
    make(m_cSplitDescParams, picDescParam, layout::SplitterBar::DescParam, true);
    make(m_cSplitParamsOptions, picParamsOptions, layout::SplitterBar::ParamsOptions, true);
    make(m_cSplitOptionsStock, picOptionsStock, layout::SplitterBar::OptionsStock, true);
}

void frmStrategies::ArrangeControls()
{
    shielded("frmStrategies.ArrangeControls", [this] {
        setUpdatesEnabled(false);
        const auto unlock = qScopeGuard([this] {
            setUpdatesEnabled(true);
            update();
        });
        rbrMain->setGeometry(0, 0, width(), rbrMain->RebarHeight());
        rbrMain->RebarSize();
        rbrMain->setGeometry(0, 0, width(), rbrMain->RebarHeight());

        layout::LayoutInput in;
        in.client = clientArea();
        const double tpp = twipsPerPixel();
        in.rebarHeight = layout::rebarHeightTwips(rbrMain->RebarHeight(), tpp);
        in.selectedTab = m_chain->selectedTab();
        in.tabClient = tabClientInsets();
        for (const char* box : {"cmbModel", "cbCalculationMode", "cbExchange"})
            in.textWidths.insert(QLatin1String(box), static_cast<float>(m_pricing->preferredWidth(QLatin1String(box)) * tpp));
        // A shown in-cell editor stays over the selected cell of its grid.
        const LegEditorPlaces editors = m_legs->editorPlaces();
        in.comboEditorTag = editors.comboTag;
        in.textEditorTag = editors.textTag;
        const auto editorRect = [&](const char* name, bool shown, const QSize& size) {
            layout::ControlRect& r = m_geometry.at(QLatin1String(name));
            r.visible = shown;
            r.width = static_cast<float>(size.width() * tpp);
            r.height = static_cast<float>(size.height() * tpp);
        };
        editorRect("cmbEdit", editors.comboShown, editors.comboSize);
        editorRect("txtEdit", editors.textShown, editors.textSize);
        const auto cellOrigin = [tpp](const std::optional<QPoint>& cell) -> std::optional<layout::CellOrigin> {
            if (!cell)
                return std::nullopt;
            return layout::CellOrigin{static_cast<float>(cell->x() * tpp), static_cast<float>(cell->y() * tpp)};
        };
        in.paramsCell = cellOrigin(editors.paramsCell);
        in.selectedCell = cellOrigin(editors.selectedCell);
        in.statusLineHeight = [this, tpp](float width) {
            return static_cast<float>(m_chain->tickerStatusHeight(static_cast<int>(width / tpp)) * tpp);
        };

        syncCaptionWidths();

        const layout::LayoutResult result = layout::ArrangeControls(m_geometry, in);
        m_geometry = result.geometry;
        applyGeometry(result.placed);
        for (const char* name : {"tabOptionsNew", "fraStock", "gdCalls", "gdPuts"})
            m_chain->showControl(QLatin1String(name), m_geometry.at(QLatin1String(name)).visible);
        m_pricing->showControl(QStringLiteral("picStockParams"), m_geometry.at(QStringLiteral("picStockParams")).visible);
    });
}

layout::TabClientInsets frmStrategies::tabClientInsets() const
{
    const double tpp = twipsPerPixel();
    const QRect tabRect = m_chain->tabStripRect();
    const QRect client = m_chain->tabClientRect();
    return layout::TabClientInsets{static_cast<float>(client.left() * tpp), static_cast<float>(client.top() * tpp),
                                   static_cast<float>((tabRect.right() - client.right()) * tpp),
                                   static_cast<float>((tabRect.bottom() - client.bottom()) * tpp)};
}

float frmStrategies::bottomBandNeed() const
{
    // A chain grid: its header, the rows, a horizontal scroll bar and the
    // view's border.
    const auto* grid = findChild<const platform::Grid*>(QStringLiteral("gdCalls"));
    if (grid == nullptr)
        return 0;
    const QStyle* style = grid->style();
    const int pixels = grid->HeaderHeight() + layout::DefaultChainGridRows * grid->DefaultRowHeight()
                       + style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid)
                       + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, grid);
    return layout::bottomBandHeightNeeded(m_geometry, tabClientInsets(),
                                          static_cast<float>(pixels * twipsPerPixel()));
}

void frmStrategies::rbrMain_HeightChanged()
{
    Procedure proc("frmStrategies", "rbrMain_HeightChanged");
    TW_STEP(proc, ArrangeControls());
}

void frmStrategies::Form_Resize()
{
    // Every failing statement is skipped: resizing never stops half-way.
    shielded("frmStrategies.Form_Resize", [this] {
        const QRectF outer = platform::outerTwips(this);
        const layout::ResizeOutcome out =
            layout::resizeBars(layout::barGeometry(m_geometry).pos, layout::RecordedSize{m_FormWidth, m_FormHeight},
                               outer.width(), outer.height(), ScaleHeight(), isMinimized());
        if (!out.layoutNeeded)
            return;
        // Bars at their defaults follow the client area (which changes once
        // the window manager has framed the window) by their own rule; bars
        // of the settings or of a maximise or restore keep the bottom band
        // whole in it.
        layout::BarPositions bars = out.bars;
        if (m_barsAtDefault)
            bars = layout::keepHorizontalBarsInOrder(
                layout::defaultBarPositions(ScaleWidth(), ScaleHeight(), bottomBandNeed()), ScaleHeight());
        else if (m_keepBottomBand)
            bars = layout::fitHorizontalBars(bars, ScaleHeight(), bottomBandNeed(),
                                             layout::barGeometry(m_geometry).optionsStockHeight);
        layout::setBarPositions(m_geometry, bars);
        m_FormWidth = out.recorded.width;
        m_FormHeight = out.recorded.height;
        ArrangeControls();
    });
}

void frmStrategies::Form_MouseMove(int, int, float x, float y)
{
    if (!m_cSplitOptionsStock)
        return; // start-up ended before the splitters existed
    const layout::DragRouting route = layout::mouseMoveRouting(x, y, clientArea(), layout::barGeometry(m_geometry));
    if (route.verticalBars) {
        m_cSplitStgDesc->MouseMove(x);
        m_cSplitChartParams->MouseMove(x);
    }
    if (route.descParam)
        m_cSplitDescParams->MouseMove(y);
    if (route.paramsOptions)
        m_cSplitParamsOptions->MouseMove(y);
    if (route.optionsStock)
        m_cSplitOptionsStock->MouseMove(y);
}

void frmStrategies::Form_MouseUp(int button, int, float x, float y)
{
    Procedure proc("frmStrategies", "Form_MouseUp");
    if (button == 2 || !m_cSplitOptionsStock)
        return;
    TW_STEP(proc, m_cSplitStgDesc->MouseUp(x));
    TW_STEP(proc, m_cSplitDescParams->MouseUp(y));
    TW_STEP(proc, m_cSplitChartParams->MouseUp(x));
    TW_STEP(proc, m_cSplitParamsOptions->MouseUp(y));
    TW_STEP(proc, m_cSplitOptionsStock->MouseUp(y));
}

void frmStrategies::syncBarFromWidget(layout::SplitterBar bar)
{
    QWidget* w = control(layout::barControlName(bar));
    layout::ControlRect& r = m_geometry.at(layout::barControlName(bar));
    const double tpp = twipsPerPixel();
    const QRect g = w->geometry();
    if (layout::isVerticalBar(bar)) {
        r.left = static_cast<float>(g.left() * tpp);
        r.width = static_cast<float>(g.width() * tpp);
    } else {
        r.top = static_cast<float>(g.top() * tpp);
        r.height = static_cast<float>(g.height() * tpp);
    }
}

void frmStrategies::splitComplete(layout::SplitterBar bar)
{
    static const char* const names[] = {"m_cSplitStgDesc_SplitComplete", "m_cSplitChartParams_SplitComplete",
                                        "m_cSplitDescParams_SplitComplete", "m_cSplitParamsOptions_SplitComplete",
                                        "m_cSplitOptionsStock_SplitComplete"};
    Procedure proc("frmStrategies", names[static_cast<int>(bar)]);
    m_barsAtDefault = false;
    if (!layout::isVerticalBar(bar))
        m_keepBottomBand = false;
    TW_STEP(proc, syncBarFromWidget(bar));
    TW_STEP(proc, {
        const layout::BarPositions clamped =
            layout::clampAfterDrag(bar, layout::barGeometry(m_geometry), clientArea());
        layout::setBarPositions(m_geometry, clamped);
        applyGeometry(layout::barControlName(bar));
    });
    TW_STEP(proc, ArrangeControls());
}

void frmStrategies::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmStrategies::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        // Maximised or restored: the bars are fitted to the new size again.
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (change->oldState().testFlag(Qt::WindowMaximized) != isMaximized())
            m_keepBottomBand = true;
        Form_Resize();
    }
}

void frmStrategies::mouseMoveEvent(QMouseEvent* event)
{
    const double tpp = twipsPerPixel();
    shielded("frmStrategies.Form_MouseMove", [&] {
        Form_MouseMove(platform::mouseButtonCode(event->button()), platform::shiftState(event->modifiers()),
                       static_cast<float>(event->position().x() * tpp), static_cast<float>(event->position().y() * tpp));
    });
}

void frmStrategies::mouseReleaseEvent(QMouseEvent* event)
{
    const double tpp = twipsPerPixel();
    Form_MouseUp(platform::mouseButtonCode(event->button()), platform::shiftState(event->modifiers()),
                 static_cast<float>(event->position().x() * tpp), static_cast<float>(event->position().y() * tpp));
}

} // namespace tw
