#include "charts/frm3dChart.h"

#include "app/AppIcons.h"
#include "app/AppInfo.h"
#include "app/CAppSettings.h"
#include "app/CFormRestore.h"
#include "app/Convert.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "charts/ChartHost.h"
#include "charts/SurfaceGrid.h"
#include "model/stock.h"
#include "platform/WindowGeometry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

#include <cmath>

namespace tw {

namespace {
frm3dChart* g_chart3d = nullptr;
const QString kSettings = QStringLiteral("Settings");

// The views of the two preset buttons and of the window as it opens.
constexpr platform::Chart3DView kDesignView{2.5, 20, 0, 45};
constexpr platform::Chart3DView kResetView{2.5, 45, 0, 45};
constexpr platform::Chart3DView kZoneView{2.5, 90, 360, 0};

// Designed places of the controls over the chart, twips: left, width, height.
struct Design {
    double left, width, height;
};
constexpr Design kBox{120, 1200, 225};
constexpr Design kReset{120, 915, 315};
constexpr Design kZone{1080, 1095, 315};
constexpr Design kPercent{2280, 915, 255};
// The buttons' row stands this far above the window's bottom edge, and the
// read-out boxes this far above the buttons, twips.
constexpr double kButtonsMargin = 90;
constexpr double kBoxesGap = 30;

// Where the window keeps its place: what RestorePlace reads and unloading
// writes.
QStringList placeKeys()
{
    return {QStringLiteral("3dChartLeft"), QStringLiteral("3dChartTop"), QStringLiteral("3dChartWidth"),
            QStringLiteral("3dChartHeight")};
}

QLineEdit* readOutBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setFont(tahomaFont(8.25, true));
    box->setFrame(false);
    box->setTextMargins(0, 0, 0, 0);
    return box;
}

} // namespace

frm3dChart* frm3dChart::instance()
{
    if (g_chart3d == nullptr) {
        g_chart3d = new frm3dChart;
        g_chart3d->Form_Load();
    }
    return g_chart3d;
}

frm3dChart* frm3dChart::loaded()
{
    return g_chart3d;
}

frm3dChart::frm3dChart() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frm3dChart"));
    setWindowTitle(QStringLiteral("3D chart"));
    setWindowIcon(AppIcons::icon(AppIcons::Chart3D));
    setFont(tahomaFont(8.25));

    Chart3D = new platform::Chart3D(this);
    Chart3D->setObjectName(QStringLiteral("Chart3D"));
    Chart3D->setAxisTitle(platform::Chart3D::AxisX, QStringLiteral("stock price"));
    Chart3D->setAxisTitle(platform::Chart3D::AxisY, QStringLiteral("days"));
    Chart3D->setView(kDesignView);

    txtPrice = readOutBox(this, "txtPrice");
    txtDays = readOutBox(this, "txtDays");
    txtValue = readOutBox(this, "txtValue");
    cmdReset = new QPushButton(QStringLiteral("Reset"), this);
    cmdReset->setObjectName(QStringLiteral("cmdReset"));
    cmdZone = new QPushButton(QStringLiteral("Zone view"), this);
    cmdZone->setObjectName(QStringLiteral("cmdZone"));
    chkPercent = new QCheckBox(QStringLiteral("Percent"), this);
    chkPercent->setObjectName(QStringLiteral("chkPercent"));
    chkPercent->setAutoFillBackground(true);
    // The chart's drawing surface is a window of its own: controls over it
    // must be windows too, or it covers them.
    if (Chart3D->drawing()) {
        for (QWidget* w : overlays())
            w->setAttribute(Qt::WA_NativeWindow);
    } else {
        // Nothing to read out or to turn without a drawn surface.
        for (QWidget* w : {txtPrice, txtDays, txtValue})
            w->setVisible(false);
        cmdReset->setEnabled(false);
        cmdZone->setEnabled(false);
    }
    // The surface and its labels stay above the buttons.
    Chart3D->setReservedBottom(pixelsFromTwips(kReset.height + kButtonsMargin + kBoxesGap));
    resize(480, 360);

    connect(chkPercent, &QCheckBox::toggled, this, [this] { chkPercent_Click(); });
    connect(cmdReset, &QPushButton::clicked, this, [this] { cmdReset_Click(); });
    connect(cmdZone, &QPushButton::clicked, this, [this] { cmdZone_Click(); });
    connect(Chart3D, &platform::Chart3D::mouseMoved, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pixel) {
                Chart3D_MouseMove(buttons, modifiers, pixel.x(), pixel.y());
            });
    connect(Chart3D, &platform::Chart3D::pointAnswered, this,
            [this](const platform::Chart3DPoint& point) { pShowReadOut(point); });
}

frm3dChart::~frm3dChart()
{
    if (g_chart3d == this)
        g_chart3d = nullptr;
}

void frm3dChart::Form_Load()
{
    Procedure proc("frm3dChart", "Form_Load");
    // Never smaller than 300 x 200 pixels.
    TW_STEP(proc, setMinimumSize(300, 200));
    TW_STEP(proc, chkPercent->setChecked(settingInt(appSettings(), kSettings, QStringLiteral("3DP"), 1) != 0));
}

std::array<QWidget*, 6> frm3dChart::overlays() const
{
    return {txtPrice, txtDays, txtValue, cmdReset, cmdZone, chkPercent};
}

void frm3dChart::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The drawing surface gets its window when it is first shown, on top of
    // the controls; they go back over it.
    QTimer::singleShot(0, this, [this] {
        for (QWidget* w : overlays())
            w->raise();
    });
}

void frm3dChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frm3dChart::Form_Resize()
{
    if (isMinimized())
        return;
    shielded("frm3dChart.Form_Resize", [this] {
        Chart3D->setGeometry(0, 0, width(), height());
        const double clientHeight = twipsFromPixels(height());
        const double resetTop = clientHeight - kReset.height - kButtonsMargin;
        const double valueTop = resetTop - kBox.height - kBoxesGap;
        const double daysTop = valueTop - kBox.height;
        const double priceTop = daysTop - kBox.height;
        const auto place = [](QWidget* w, const Design& d, double top) {
            w->setGeometry(pixelsFromTwips(d.left), pixelsFromTwips(top), pixelsFromTwips(d.width),
                           pixelsFromTwips(d.height));
        };
        place(cmdReset, kReset, resetTop);
        place(cmdZone, kZone, resetTop);
        place(chkPercent, kPercent, resetTop);
        place(txtValue, kBox, valueTop);
        place(txtDays, kBox, daysTop);
        place(txtPrice, kBox, priceTop);
    });
}

void frm3dChart::UpdateChart()
{
    Procedure proc("frm3dChart", "UpdateChart");
    if (isMinimized())
        return;
    if (!mLines) {
        // No legs: an empty chart that keeps nothing of the surface before,
        // neither its grid nor the prices and days of its axes (the value
        // axis keeps its title: the calculation mode's). Its axes then run
        // over the control's ranges for no data.
        TW_STEP(proc, {
            Chart3D->setIsBatched(true);
            const auto drawn = qScopeGuard([this] { Chart3D->setIsBatched(false); });
            Chart3D->setGridSize(0, 0);
            Chart3D->clearLabels(platform::Chart3D::AxisX);
            Chart3D->clearLabels(platform::Chart3D::AxisY);
        });
        TW_STEP(proc, {
            m_PriceValues.clear();
            m_DayValues.clear();
        });
        TW_STEP(proc, pClearReadOut());
        return;
    }
    SurfaceInputs in;
    TW_STEP(proc, {
        in.volatility = mVolatility;
        in.interestRate = mInterestRate;
        in.maxDate = mMaxDate;
        in.percent = chkPercent->isChecked();
        in.modeCaption = ChartHost::CalculationModeCaption;
        in.locale = QLocale();
        if (ChartHost* host = chartHost()) {
            in.stockPrice = host->hostCalcStockPrice();
            if (const auto objStock = host->hostStock())
                in.stockDate = objStock->StockDate();
            in.startStrategyPrice = host->hostStartStrategyPrice();
            in.trueSignedPercent = host->hostPLSign();
            in.pricing = {host->hostModel(), host->hostSteps(), host->hostDividends()};
        }
    });
    // However this is left, the chart's batch comes back off. Nothing of the
    // window is painted before this returns; drawing held off for the while
    // would only paint the whole window once more when it is let go.
    const auto unlock = qScopeGuard([this] { Chart3D->setIsBatched(false); });
    SurfaceGrid grid;
    TW_STEP(proc, grid = ComputeSurface(*mLines, in));
    TW_STEP(proc, Chart3D->setIsBatched(true));
    TW_STEP(proc, Chart3D->setGridSize(kSurfaceRows, kSurfaceColumns));
    TW_STEP(proc, {
        Chart3D->clearLabels(platform::Chart3D::AxisX);
        for (const QString& label : std::as_const(grid.priceLabels))
            Chart3D->addLabel(platform::Chart3D::AxisX, label);
        m_PriceValues = grid.priceValues;
    });
    TW_STEP(proc, {
        Chart3D->clearLabels(platform::Chart3D::AxisY);
        for (const QString& label : std::as_const(grid.dateLabels))
            Chart3D->addLabel(platform::Chart3D::AxisY, label);
        m_DayValues = grid.dayValues;
    });
    TW_STEP(proc, Chart3D->setAxisTitle(platform::Chart3D::AxisZ, grid.valueTitle));
    TW_STEP(proc, Chart3D->setValues(grid.z));
    TW_STEP(proc, Chart3D->setIsBatched(false));
    // What was read out belonged to the surface before.
    TW_STEP(proc, pClearReadOut());
    TW_STEP(proc, pSetCaption());
}

void frm3dChart::setStockTicker(const QString& NewTicker)
{
    Procedure proc("frm3dChart", "StockTicker");
    if (NewTicker == m_Ticker)
        return;
    TW_STEP(proc, m_Ticker = NewTicker);
    TW_STEP(proc, pSetCaption());
}

void frm3dChart::pSetCaption()
{
    Procedure proc("frm3dChart", "pSetCaption");
    TW_STEP(proc, setWindowTitle(m_Ticker + QStringLiteral(" - 3D Chart")));
}

void frm3dChart::chkPercent_Click()
{
    UpdateChart();
}

void frm3dChart::pApplyView(const platform::Chart3DView& view, bool zones)
{
    Chart3D->setView(view);
    Chart3D->setPlacement({1.0, 0, 0});
    Chart3D->setZoneColouring(zones);
}

void frm3dChart::cmdReset_Click()
{
    pApplyView(kResetView, false);
}

void frm3dChart::cmdZone_Click()
{
    pApplyView(kZoneView, true);
}

void frm3dChart::Chart3D_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    Q_UNUSED(Shift);
    if (!UnlockMouseMove || Button != Qt::NoButton)
        return;
    Chart3D->queryPoint(QPoint(X, Y));
}

void frm3dChart::pShowReadOut(const platform::Chart3DPoint& point)
{
    const SurfaceReadOut r =
        surfaceReadOut(point.onSurface, point.value, point.row, point.column, m_PriceValues, m_DayValues, QLocale());
    txtPrice->setText(r.price);
    txtDays->setText(r.days);
    txtValue->setText(r.value);
}

void frm3dChart::pClearReadOut()
{
    for (QLineEdit* box : {txtPrice, txtDays, txtValue})
        box->clear();
}

void frm3dChart::RestorePlace()
{
    Procedure proc("frm3dChart", "RestorePlace");
    TW_STEP(proc, m_placeMoved = CFormRestore::restorePlace(this, CFormRestore::readPlace(appSettings(), kSettings,
                                                                                            placeKeys(),
                                                                                            CFormRestore::placeToSave(this))));
}

bool frm3dChart::Form_QueryUnload(bool byUser)
{
    Procedure proc("frm3dChart", "Form_QueryUnload");
    TW_STEP_OR(proc, byUser, hide());
    return byUser;
}

void frm3dChart::Form_Unload()
{
    Procedure proc("frm3dChart", "Form_Unload");
    CAppSettings& s = appSettings();
    TW_STEP(proc, s.SaveSetting(kSettings, QStringLiteral("3DP"), chkPercent->isChecked() ? 1 : 0));
    TW_STEP(proc, s.SaveSetting(kSettings, QStringLiteral("3dChartWindowState"),
                                isMaximized() ? platform::StateMaximized : platform::StateNormal));
    // The bounds of the normal state, whatever the state is now.
    TW_STEP(proc, CFormRestore::savePlace(s, kSettings, placeKeys(), this));
}

void frm3dChart::unload(bool save)
{
    m_unloading = true;
    Form_QueryUnload(false);
    if (save)
        Form_Unload();
    close();
    delete this;
}

void frm3dChart::closeEvent(QCloseEvent* event)
{
    if (m_unloading) {
        event->accept();
        return;
    }
    if (Form_QueryUnload(true))
        event->ignore();
    else
        event->accept();
}

} // namespace tw
