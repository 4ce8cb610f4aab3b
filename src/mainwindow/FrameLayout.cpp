// The main window's layout, its resizing and the dragging of its five
// splitter bars. The geometry is computed in twips by the layout functions
// and then applied to the widgets.

#include "mainwindow/frmStrategies.h"

#include "app/Procedure.h"
#include "app/cSplitter.h"
#include "platform/Grid.h"
#include "platform/ReBar.h"
#include "platform/TabStrip.h"
#include "platform/WindowGeometry.h"
#include "workspace/LegsPane.h"
#include "workspace/PricingPane.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>

namespace tw {

namespace {
// Mouse buttons and shift state in the classic codes.
int buttonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int shiftCode(Qt::KeyboardModifiers m)
{
    return ((m & Qt::ShiftModifier) ? 1 : 0) | ((m & Qt::ControlModifier) ? 2 : 0) | ((m & Qt::AltModifier) ? 4 : 0);
}
} // namespace

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
        in.selectedTab = tabOptionsNew->SelectedTab();
        const QRect tabRect = tabOptionsNew->rect();
        const QRect client = tabOptionsNew->ClientRect();
        in.tabClient = layout::TabClientInsets{static_cast<float>(client.left() * tpp),
                                               static_cast<float>(client.top() * tpp),
                                               static_cast<float>((tabRect.right() - client.right()) * tpp),
                                               static_cast<float>((tabRect.bottom() - client.bottom()) * tpp)};
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

        const layout::LayoutResult result = layout::ArrangeControls(m_geometry, in);
        m_geometry = result.geometry;
        applyGeometry(result.placed);
        for (const char* name : {"tabOptionsNew", "fraStock", "gdCalls", "gdPuts"}) {
            if (QWidget* w = control(QLatin1String(name)))
                w->setVisible(m_geometry.at(QLatin1String(name)).visible);
        }
        m_pricing->showControl(QStringLiteral("picStockParams"), m_geometry.at(QStringLiteral("picStockParams")).visible);
    });
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
        layout::setBarPositions(m_geometry, out.bars);
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
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmStrategies::mouseMoveEvent(QMouseEvent* event)
{
    const double tpp = twipsPerPixel();
    shielded("frmStrategies.Form_MouseMove", [&] {
        Form_MouseMove(buttonCode(event->button()), shiftCode(event->modifiers()),
                       static_cast<float>(event->position().x() * tpp), static_cast<float>(event->position().y() * tpp));
    });
}

void frmStrategies::mouseReleaseEvent(QMouseEvent* event)
{
    const double tpp = twipsPerPixel();
    Form_MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()),
                 static_cast<float>(event->position().x() * tpp), static_cast<float>(event->position().y() * tpp));
}

} // namespace tw
