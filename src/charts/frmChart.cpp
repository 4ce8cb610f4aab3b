#include "charts/frmChart.h"

#include "app/AppIcons.h"
#include "app/Convert.h"
#include "app/HelpFile.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "charts/ChartHost.h"
#include "charts/ChartModeIcons.h"
#include "charts/ChartTexts.h"
#include "model/StrategyTemplates.h"
#include "platform/Chart2D.h"
#include "platform/PopupMenu.h"
#include "platform/ReBar.h"
#include "platform/Toolbar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>

namespace tw {

namespace {

// The height (pixels) of the chart control, read-out included, in a window
// made as small as it may be: room for its axes' labels and titles whole
// and a plot between them.
constexpr int kLeastChartHeight = 170;

// The request that a window posts to itself for its next drawing.
QEvent::Type drawRequestEvent()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// Runs one statement of the drawing: a failure is logged and skipped.
template <class F>
void drawStep(F&& body)
{
    shielded("frmChart.DrawChart", std::forward<F>(body));
}

} // namespace

// ---------------------------------------------------------------------------
// Construction

frmChart::frmChart(ChartHost* host) : QWidget(nullptr, Qt::Window), m_host(host)
{
    setObjectName(QStringLiteral("frmChart"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(AppIcons::icon(AppIcons::NewChart));
    resize(640, 440);

    Chart = new platform::Chart2D(this);
    Chart->setObjectName(QStringLiteral("Chart"));
    cbParam = new QComboBox(this);
    cbParam->setObjectName(QStringLiteral("cbParam"));
    cbParam->setFixedWidth(cbParam->fontMetrics().horizontalAdvance(QStringLiteral("Interest rate")) + 40);
    lblValue = new QLabel(this);
    lblValue->setObjectName(QStringLiteral("lblValue"));
    lblValue->setFixedWidth(lblValue->fontMetrics().horizontalAdvance(QStringLiteral("00000.00 days ")));
    lblValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sbValue = new QScrollBar(Qt::Horizontal, this);
    sbValue->setObjectName(QStringLiteral("sbValue"));
    sbValue->setRange(0, 0);
    sbValue->setFixedHeight(20);
    txtValue = new QLineEdit(this);
    txtValue->setObjectName(QStringLiteral("txtValue"));
    txtParams = new QLineEdit(this);
    txtParams->setObjectName(QStringLiteral("txtParams"));
    for (QLineEdit* box : {txtValue, txtParams}) {
        box->setReadOnly(true);
        box->setFrame(false);
        box->setFocusPolicy(Qt::NoFocus);
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    }

    connect(cbParam, &QComboBox::currentIndexChanged, this, [this] { cbParam_Click(); });
    connect(sbValue, &QScrollBar::valueChanged, this, [this] { sbValue_Change(); });
    // What the chart shows is read only after the drawing asked for is made.
    Chart->setDeferredDrawing([this] { drawNow(); });
    connect(Chart, &platform::Chart2D::MouseMove, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers m, const QPoint& p) { Chart_MouseMove(b, m, p); });

    Procedure proc("frmChart", "Form_Initialize");
    TW_STEP(proc, pCreateMenu());
    TW_STEP(proc, pCreateChartModeToolbar());
    TW_STEP(proc, pCreateAxisToolbar());
    TW_STEP(proc, pCreateRebar());
    TW_STEP(proc, Chart->setBackgroundColor(QApplication::palette().color(QPalette::Button)));
    TW_STEP(proc, InitMaxMinValues());
    TW_STEP(proc, pInitColors());
    TW_STEP(proc, UpdateChart());
}

frmChart::~frmChart() = default;

void frmChart::pCreateMenu()
{
    Procedure proc("frmChart", "pCreateMenu");
    TW_STEP(proc, {
        mMenu = new platform::PopupMenu(this);
        mMenu->setOwnerWindow(this);
        const auto addAxis = [this](const char* caption, const char* key, int32_t AxisCommand::*axis) {
            const int parent =
                mMenu->AddItem(QLatin1String(caption), {}, 0, 0, -1, false, true, QLatin1String(key));
            for (const AxisCommand& c : axisCommands()) {
                if (c.*axis != 0)
                    mMenu->AddItem(QLatin1String(c.caption), {}, 0, parent, -1, false, true, QLatin1String(c.key));
            }
            return parent;
        };
        addAxis("AxisX", "axisx", &AxisCommand::x);
        const int y = addAxis("AxisY", "axisy", &AxisCommand::y);
        mMenu->AddItem(QStringLiteral("For \"greeks\" select Binominal American model"), {}, 0, y, -1, false, false,
                       QStringLiteral("greekstip"));
        connect(mMenu, &platform::PopupMenu::Click, this, [this](int item) { mMenu_Click(item); });
    });
}

void frmChart::pCreateChartModeToolbar()
{
    Procedure proc("frmChart", "pCreateChartModeToolbar");
    TW_STEP(proc, {
        tbrChartMode = new platform::Toolbar(this);
        tbrChartMode->setObjectName(QStringLiteral("tbrChartMode"));
        tbrChartMode->setIconSize(16);
        tbrChartMode->setImageList(chartModeIcons());
        using platform::Toolbar;
        constexpr int checkAuto = Toolbar::StyleCheck | Toolbar::StyleAutoSize;
        tbrChartMode->AddButton(QStringLiteral("Percent"), 0, QStringLiteral("percent"), checkAuto,
                                QStringLiteral("Percent"));
        tbrChartMode->AddButton(QStringLiteral("Time value only"), 0, QStringLiteral("timevalue"), checkAuto,
                                QStringLiteral("Time value only"));
        tbrChartMode->AddButton(QStringLiteral("Total"), 0, QStringLiteral("total"), checkAuto,
                                QStringLiteral("Total"));
        tbrChartMode->AddButton(QString(), -1, QString(), Toolbar::StyleSeparator);
        tbrChartMode->AddButton(QStringLiteral("Always on top"), ChartModeImage::OnTop, QStringLiteral("ontop"),
                                checkAuto);
        tbrChartMode->AddButton(QStringLiteral("New chart window"), ChartModeImage::NewChart,
                                QStringLiteral("newchart"), Toolbar::StyleAutoSize);
        tbrChartMode->AddButton(QStringLiteral("3D chart"), ChartModeImage::Chart3D, QStringLiteral("3DChart"),
                                Toolbar::StyleAutoSize);
        tbrChartMode->AddButton(QStringLiteral("Chart windows"), ChartModeImage::ChartWindows,
                                QStringLiteral("charts"), Toolbar::StyleWholeDropDown);
        tbrChartMode->AddButton(QStringLiteral("Help"), ChartModeImage::Help, QStringLiteral("help"),
                                Toolbar::StyleAutoSize);
        for (const char* key : {"percent", "total"}) {
            const int b = tbrChartMode->ButtonIndex(QLatin1String(key));
            tbrChartMode->setButtonChecked(b, true);
            tbrChartMode->setButtonImage(b, ChartModeImage::SwitchOn);
        }
        m_sweep.Percent = true;
        m_sweep.Total = true;
        connect(tbrChartMode, &platform::Toolbar::ButtonClick, this, [this](int b) { tbrChartMode_ButtonClick(b); });
        connect(tbrChartMode, &platform::Toolbar::DropDownPress, this,
                [this](int b) { tbrChartMode_DropDownPress(b); });
    });
}

void frmChart::pCreateAxisToolbar()
{
    Procedure proc("frmChart", "pCreateAxisToolbar");
    TW_STEP(proc, {
        tbrAxis = new platform::Toolbar(this);
        tbrAxis->setObjectName(QStringLiteral("tbrAxis"));
        tbrAxis->setIconSize(16);
        tbrAxis->AddButton(QStringLiteral("Set Axis X"), -1, QStringLiteral("axisx"),
                           platform::Toolbar::StyleWholeDropDown, QStringLiteral("Axis X"));
        tbrAxis->AddButton(QStringLiteral("Set Axis Y"), -1, QStringLiteral("axisy"),
                           platform::Toolbar::StyleWholeDropDown, QStringLiteral("Axis Y"));
        connect(tbrAxis, &platform::Toolbar::DropDownPress, this, [this](int b) { tbrAxis_DropDownPress(b); });
    });
    TW_STEP(proc, pRunMenuCommand("price"));
    TW_STEP(proc, pRunMenuCommand("value"));
}

void frmChart::pCreateRebar()
{
    Procedure proc("frmChart", "pCreateRebar");
    TW_STEP(proc, {
        rbrMain = new platform::ReBar(this);
        rbrMain->AddBandByHwnd(tbrAxis, QString(), false, false, QStringLiteral("bandAxis"));
        rbrMain->AddBandByHwnd(tbrChartMode, QString(), false, false, QStringLiteral("bandChartMode"));
        connect(rbrMain, &platform::ReBar::HeightChanged, this, [this] { rbrMain_HeightChanged(); });
    });
    TW_STEP(proc, pFitMinimumSize());
}

void frmChart::pInitColors()
{
    Procedure proc("frmChart", "pInitColors");
    m_ShortCallColor = 0xFFAA33;
    m_LongCallColor = 0x33FFAA;
    m_ShortPutColor = 0x33AAAA;
    m_LongPutColor = 0x33AAFF;
    m_ShortStockColor = 0xAAAA33;
    m_LongStockColor = 0xAAFF33;
    m_SumColor = 0xFF0000;
}

void frmChart::InitMaxMinValues()
{
    Procedure proc("frmChart", "InitMaxMinValues");
    TW_STEP(proc, m_sweep.ranges = ChartRanges());
    TW_STEP(proc, cbParam_Click());
}

// ---------------------------------------------------------------------------
// Data interface

void frmChart::setOptions(const LegsArray& NewOptions)
{
    Procedure proc("frmChart", "Options");
    TW_STEP(proc, m_Options = NewOptions);
    TW_STEP(proc, pTimeRangeFromLegs());
    TW_STEP(proc, SetCalculationModeCaption());
    TW_STEP(proc, UpdateChart());
}

void frmChart::pTimeRangeFromLegs()
{
    m_sweep.ranges.MinExpiration = 0;
    m_sweep.ranges.MaxExpiration = maxExpirationOf(m_Options, m_sweep.StockDate);
    if (!m_Options)
        m_sweep.ranges.ExpirationValue = 0;
}

void frmChart::setStockTicker(const QString& NewTicker)
{
    Procedure proc("frmChart", "StockTicker");
    if (NewTicker == m_StockTicker)
        return;
    TW_STEP(proc, m_StockTicker = NewTicker);
    TW_STEP(proc, pSetCaption());
}

void frmChart::setStockPrice(double NewPrice)
{
    Procedure proc("frmChart", "StockPrice");
    if (NewPrice == m_StockPrice)
        return;
    TW_STEP(proc, {
        m_StockPrice = NewPrice;
        m_sweep.ranges.MaxStockPrice = NewPrice * 1.5;
        m_sweep.ranges.MinStockPrice = NewPrice / 2;
        m_sweep.ranges.StockPriceValue = NewPrice;
    });
    TW_STEP(proc, cbParam_Click());
    TW_STEP(proc, UpdateChart());
}

void frmChart::setStockDate(double NewDate)
{
    Procedure proc("frmChart", "StockDate");
    if (NewDate == m_sweep.StockDate && m_stockDateGiven)
        return;
    m_stockDateGiven = true;
    TW_STEP(proc, m_sweep.StockDate = NewDate);
    TW_STEP(proc, pTimeRangeFromLegs());
    TW_STEP(proc, UpdateChart());
}

void frmChart::setUseOptionsModel(int32_t NewModel)
{
    Procedure proc("frmChart", "UseOptionsModel");
    if (NewModel != m_sweep.Model) {
        TW_STEP(proc, m_sweep.Model = NewModel);
        TW_STEP(proc, UpdateChart());
    }
    // The greeks exist only in the binomial American model; any other model
    // sets Y back to the value (drawn once with the change above).
    const bool american = m_sweep.Model == 2;
    if (!american)
        TW_STEP(proc, pRunMenuCommand("value"));
    TW_STEP(proc, {
        for (const char* key : {"delta", "gamma", "theta"})
            mMenu->setItemEnabled(mMenu->IndexOfKey(QLatin1String(key)), american);
        mMenu->setItemVisible(mMenu->IndexOfKey(QStringLiteral("greekstip")), !american);
    });
}

void frmChart::setBinominalSteps(int32_t NewSteps)
{
    Procedure proc("frmChart", "BinominalSteps");
    if (NewSteps == m_sweep.Steps)
        return;
    TW_STEP(proc, m_sweep.Steps = NewSteps);
    TW_STEP(proc, UpdateChart());
}

void frmChart::setDividends(double NewDividends)
{
    Procedure proc("frmChart", "Dividends");
    if (NewDividends == m_sweep.Dividends)
        return;
    TW_STEP(proc, m_sweep.Dividends = NewDividends);
    TW_STEP(proc, UpdateChart());
}

void frmChart::SetStockParamValues(double MinStockPrice, double MaxStockPrice, double StockPriceValue,
                                   int32_t MinExpiration, int32_t MaxExpiration, int32_t ExpirationValue,
                                   int32_t MinVolatility, int32_t MaxVolatility, int32_t VolatilityValue,
                                   int32_t MinRisk, int32_t MaxRisk, int32_t RiskValue)
{
    Procedure proc("frmChart", "SetStockParamValues");
    TW_STEP(proc, {
        m_sweep.ranges.MinStockPrice = MinStockPrice;
        m_sweep.ranges.MaxStockPrice = MaxStockPrice;
        m_sweep.ranges.StockPriceValue = StockPriceValue;
        m_sweep.ranges.MinExpiration = MinExpiration;
        m_sweep.ranges.MaxExpiration = MaxExpiration;
        m_sweep.ranges.ExpirationValue = ExpirationValue;
        m_sweep.ranges.MinVolatility = MinVolatility;
        m_sweep.ranges.MaxVolatility = MaxVolatility;
        m_sweep.ranges.VolatilityValue = VolatilityValue;
        m_sweep.ranges.MinRisk = MinRisk;
        m_sweep.ranges.MaxRisk = MaxRisk;
        m_sweep.ranges.RiskValue = RiskValue;
    });
    TW_STEP(proc, cbParam_Click());
    TW_STEP(proc, UpdateChart());
}

// Every change asks for a drawing; the window makes one for all the changes
// of a turn of the event loop when the request it posted arrives, or earlier
// when something reads what the chart shows (drawNow).
void frmChart::UpdateChart()
{
    Procedure proc("frmChart", "UpdateChart");
    m_drawPending = true;
    if (m_drawPosted)
        return;
    m_drawPosted = true;
    TW_STEP(proc, QCoreApplication::postEvent(this, new QEvent(drawRequestEvent())));
}

void frmChart::drawNow()
{
    if (!m_drawPending)
        return;
    m_drawPending = false;
    DrawChart();
}

bool frmChart::event(QEvent* event)
{
    if (event->type() == drawRequestEvent()) {
        m_drawPosted = false;
        drawNow();
        return true;
    }
    return QWidget::event(event);
}

void frmChart::SetCalculationModeCaption()
{
    Procedure proc("frmChart", "SetCalculationModeCaption");
    TW_STEP(proc, mMenu->setItemCaption(mMenu->IndexOfKey(QStringLiteral("value")), ChartHost::CalculationModeCaption));
    if (m_sweep.AxisY == 5)
        TW_STEP(proc, pSetAxisCaption("axisy", axisYButtonCaption(5, ChartHost::CalculationModeCaption)));
}

// ---------------------------------------------------------------------------
// Drawing

void frmChart::DrawChart()
{
    Procedure proc("frmChart", "DrawChart");
    ++m_drawCount;
    // The drawing is one handler of the event loop, so nothing paints before
    // it has ended; the chart control shows all it is given at once when the
    // batch ends, in every case.
    Chart->setBatched(true);
    bool legs = false;
    drawStep([&] { legs = CheckOptionsArray(); });
    if (legs) {
        drawStep([&] { sweepChart(m_table, *m_Options, m_sweep); });
        drawStep([&] {
            Chart->setNumSeries(m_table.series);
            Chart->setNumPoints(SweepPoints);
            Chart->setXValues(m_table.x);
            Chart->setValues(m_table.values, m_table.series);
        });
        drawStep([&] {
            if (*m_table.xTitle != '\0')
                Chart->setAxisTitle('X', QString::fromLatin1(m_table.xTitle));
        });
        drawStep([&] { pSetCaption(); });
        drawStep([&] { pSetAxisYTitle(); });
        drawStep([&] { SetLabelsAndNumSeries(); });
        drawStep([&] { SetStylesAndColors(); });
        drawStep([&] { AjustChartArea(); });
        drawStep([&] { pPrintParams(); });
    } else {
        // No legs: an empty chart that keeps nothing of the legs drawn
        // before. Without points both axes run over the control's range for
        // no data; the titles are those of the window's own axes, and the
        // summary gives the fixed values now in force (the time is back at
        // 0 without legs).
        drawStep([&] {
            Chart->setNumPoints(0);
            Chart->setXValues({});
            Chart->setValues({}, 0);
        });
        drawStep([&] {
            if (*sweepXTitle(m_sweep.AxisX) != '\0')
                Chart->setAxisTitle('X', QString::fromLatin1(sweepXTitle(m_sweep.AxisX)));
        });
        drawStep([&] { pSetAxisYTitle(); });
        drawStep([&] { pPrintParams(); });
    }
    drawStep([&] { Chart->setBatched(false); });
    drawStep([&] { pRefreshReadout(); });
}

bool frmChart::CheckOptionsArray()
{
    Procedure proc("frmChart", "CheckOptionsArray");
    const bool present = m_Options.has_value();
    if (!present) {
        TW_STEP_OR(proc, false, {
            Chart->removeAllSeriesLabels();
            Chart->setNumSeries(0);
        });
    }
    TW_STEP_OR(proc, present, {
        for (int b = 1; b <= tbrAxis->ButtonCount(); ++b)
            tbrAxis->setButtonEnabled(b, present);
    });
    TW_STEP_OR(proc, present, pEnableChartModeButtons(present && m_sweep.AxisY == 5));
    TW_STEP_OR(proc, present, {
        cbParam->setEnabled(present);
        lblValue->setEnabled(present);
        sbValue->setEnabled(present);
    });
    return present;
}

void frmChart::SetLabelsAndNumSeries()
{
    Procedure proc("frmChart", "SetLabelsAndNumSeries");
    TW_STEP(proc, Chart->removeAllSeriesLabels());
    TW_STEP(proc, {
        if (m_Options) {
            for (const LegRow& leg : *m_Options)
                Chart->addSeriesLabel(leg.code);
        }
        if (m_sweep.Total)
            Chart->addSeriesLabel(QStringLiteral("Sum"));
    });
}

void frmChart::SetStylesAndColors()
{
    Procedure proc("frmChart", "SetStylesAndColors");
    TW_STEP(proc, {
        int style = 0;
        if (m_Options) {
            for (const LegRow& leg : *m_Options) {
                ++style;
                uint32_t color = 0;
                const bool isShort = leg.isShort();
                switch (leg.kind) {
                case LegKind::Call:
                    color = isShort ? m_ShortCallColor : m_LongCallColor;
                    break;
                case LegKind::Put:
                    color = isShort ? m_ShortPutColor : m_LongPutColor;
                    break;
                case LegKind::Stock:
                    color = isShort ? m_ShortStockColor : m_LongStockColor;
                    break;
                default:
                    color = 0x808080;
                    break;
                }
                Chart->setLineColor(style, colorFromBgr(color));
                Chart->setLineWidth(style, 1);
            }
        }
        if (m_sweep.Total) {
            Chart->setLineColor(style + 1, colorFromBgr(m_SumColor));
            Chart->setLineWidth(style + 1, 3);
        }
    });
    TW_STEP(proc, {
        for (int s = 1; s <= Chart->numStyles(); ++s)
            Chart->setPointShape(s, 0);
    });
}

void frmChart::pSetAxisYTitle()
{
    Procedure proc("frmChart", "pSetAxisYTitle");
    TW_STEP(proc, Chart->setAxisTitle('Y', axisYTitle(m_sweep.AxisY, ChartHost::CalculationModeCaption,
                                                      m_sweep.Percent)));
}

void frmChart::pSetCaption()
{
    Procedure proc("frmChart", "pSetCaption");
    QString caption;
    TW_STEP(proc,
            caption = chartCaption(m_StockTicker, m_sweep.AxisY, m_sweep.AxisX, ChartHost::CalculationModeCaption));
    TW_STEP(proc, setWindowTitle(caption));
    TW_STEP(proc, {
        if (m_host != nullptr)
            m_host->CustomChartCaptionChanged(m_tag, caption);
    });
}

void frmChart::AjustChartArea()
{
    Procedure proc("frmChart", "AjustChartArea");
    TW_STEP(proc, Chart->setChartAreaLocation(QRect(0, 0, std::max(1, Chart->width() - 3),
                                                    std::max(1, Chart->height() - txtValue->height() - 3))));
}

void frmChart::pEnableChartModeButtons(bool enable)
{
    Procedure proc("frmChart", "pEnableChartModeButtons");
    TW_STEP(proc, {
        tbrChartMode->setButtonEnabled(tbrChartMode->ButtonIndex(QStringLiteral("percent")), enable);
        tbrChartMode->setButtonEnabled(tbrChartMode->ButtonIndex(QStringLiteral("timevalue")), enable);
    });
}

// ---------------------------------------------------------------------------
// Fixed-parameter selector

void frmChart::BuildAddParamList()
{
    Procedure proc("frmChart", "BuildAddParamList");
    TW_STEP(proc, {
        const QSignalBlocker quiet(cbParam);
        cbParam->clear();
        static const char* const names[] = {"Stock price", "Volatility", "Time", "Interest rate"};
        for (int param = 1; param <= 4; ++param) {
            if (param != m_sweep.AxisX)
                cbParam->addItem(QLatin1String(names[param - 1]), param);
        }
        cbParam->setCurrentIndex(-1);
    });
    TW_STEP(proc, pSelectParam(0));
}

// Selecting an entry from code runs the box's click, as a pick by the user.
void frmChart::pSelectParam(int listIndex)
{
    if (cbParam->currentIndex() == listIndex)
        cbParam_Click();
    else
        cbParam->setCurrentIndex(listIndex);
}

int32_t frmChart::pSelectedParam() const
{
    const QVariant data = cbParam->currentData();
    return data.isValid() ? data.toInt() : 0;
}

void frmChart::cbParam_Click()
{
    Procedure proc("frmChart", "cbParam_Click");
    m_Busy = true;
    // Nothing paints while this runs: the bar's passing values are never shown.
    proc.step([&] {
        sbValue->setMinimum(0);
        sbValue->setValue(0);
        sbValue->setMaximum(0);
        const ScrollLoad load = scrollLoadOf(pSelectedParam(), m_sweep.ranges);
        sbValue->setMaximum(load.maximum);
        sbValue->setValue(load.value);
        sbValue->setMinimum(load.minimum);
    });
    // The bar's change events above only showed each value: loading the bar
    // stores nothing, so the chart stays as it is drawn.
    m_Busy = false;
}

QString frmChart::FormatParamValue() const
{
    return formatParamValue(pSelectedParam(), sbValue->value(), QLocale());
}

void frmChart::SetParamValue()
{
    Procedure proc("frmChart", "SetParamValue");
    TW_STEP(proc, storeParamValue(pSelectedParam(), sbValue->value(), m_sweep.ranges));
}

void frmChart::sbValue_Change()
{
    shielded("frmChart.sbValue_Change", [&] {
        lblValue->setText(FormatParamValue() + QStringLiteral(" "));
        if (m_Busy)
            return;
        SetParamValue();
        UpdateChart();
    });
}

// ---------------------------------------------------------------------------
// Commands

void frmChart::pRunMenuCommand(const char* key)
{
    mMenu_Click(mMenu->IndexOfKey(QLatin1String(key)));
}

void frmChart::mMenu_Click(int ItemNumber)
{
    Procedure proc("frmChart", "mMenu_Click");
    QString key;
    TW_STEP(proc, key = ItemNumber > 0 ? mMenu->KeyOfItem(ItemNumber) : QString());
    int32_t x = 0;
    int32_t y = 0;
    for (const AxisCommand& c : axisCommands()) {
        if (key == QLatin1String(c.key)) {
            x = c.x;
            y = c.y;
        }
    }
    if (x != 0) {
        TW_STEP(proc, m_sweep.AxisX = x);
        TW_STEP(proc, pSetAxisCaption("axisx", axisXButtonCaption(x)));
        TW_STEP(proc, BuildAddParamList());
        TW_STEP(proc, pSetCaption());
        TW_STEP(proc, UpdateChart());
    } else if (y != 0) {
        if (y == 5)
            TW_STEP(proc, SetCalculationModeCaption());
        TW_STEP(proc, pSetAxisCaption("axisy", axisYButtonCaption(y, ChartHost::CalculationModeCaption)));
        TW_STEP(proc, m_sweep.AxisY = y);
        TW_STEP(proc, pSetCaption());
        TW_STEP(proc, UpdateChart());
    }
}

// A caption of another length moves the bands at once: a click that comes
// next finds every button where it is seen.
void frmChart::pSetAxisCaption(const char* key, const QString& caption)
{
    tbrAxis->setButtonCaption(tbrAxis->ButtonIndex(QLatin1String(key)), caption);
    if (rbrMain != nullptr)
        rbrMain->RebarSize();
}

void frmChart::tbrAxis_DropDownPress(int Button)
{
    Procedure proc("frmChart", "tbrAxis_DropDownPress");
    TW_STEP(proc, {
        const QString key = tbrAxis->ButtonKey(Button);
        const QPoint at = twipsOf(tbrAxis->ButtonDropDownPoint(Button, this));
        if (key == QLatin1String("axisx"))
            mMenu->ShowSubmenuAt(at.x(), at.y(), mMenu->IndexOfKey(QStringLiteral("price")));
        else if (key == QLatin1String("axisy"))
            mMenu->ShowSubmenuAt(at.x(), at.y(), mMenu->IndexOfKey(QStringLiteral("value")));
    });
}

void frmChart::tbrChartMode_ButtonClick(int Button)
{
    Procedure proc("frmChart", "tbrChartMode_ButtonClick");
    QString key;
    TW_STEP(proc, key = tbrChartMode->ButtonKey(Button));
    if (key == QLatin1String("percent") || key == QLatin1String("timevalue") || key == QLatin1String("total")) {
        TW_STEP(proc, {
            const bool on = tbrChartMode->ButtonChecked(Button);
            tbrChartMode->setButtonImage(Button, on ? ChartModeImage::SwitchOn : ChartModeImage::SwitchOff);
            if (key == QLatin1String("percent"))
                m_sweep.Percent = on;
            else if (key == QLatin1String("timevalue"))
                m_sweep.TimeValue = on;
            else
                m_sweep.Total = on;
        });
    } else if (key == QLatin1String("ontop")) {
        TW_STEP(proc, SetTopmost(tbrChartMode->ButtonChecked(Button)));
    } else if (key == QLatin1String("newchart")) {
        TW_STEP(proc, {
            if (m_host != nullptr)
                m_host->AddNewCustomChart(0);
        });
    } else if (key == QLatin1String("3DChart")) {
        TW_STEP(proc, {
            if (m_host != nullptr)
                m_host->Select3DChart();
        });
    } else if (key == QLatin1String("help")) {
        TW_STEP(proc, ShowHelpTopic(QLatin1String(HelpTopic::ChartWindow), HelpCommand::Contents));
    }
    TW_STEP(proc, UpdateChart());
}

void frmChart::tbrChartMode_DropDownPress(int Button)
{
    Procedure proc("frmChart", "tbrChartMode_DropDownPress");
    TW_STEP(proc, {
        if (tbrChartMode->ButtonKey(Button) == QLatin1String("charts") && m_host != nullptr) {
            const QPoint at = twipsOf(tbrChartMode->ButtonDropDownPoint(Button, this));
            m_host->ShowWindowListMenu(at.x(), at.y(), this);
        }
    });
}

bool frmChart::onTop() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// Qt puts a window into or out of the topmost band by creating its native
// window anew, which hides it; it comes back at the same place and size,
// in the same state, with its contents.
void frmChart::SetTopmost(bool on)
{
    Procedure proc("frmChart", "SetTopmost");
    if (onTop() == on)
        return;
    TW_STEP(proc, {
        const bool visible = isVisible();
        const QRect place = geometry();
        const Qt::WindowStates state = windowState();
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
        setGeometry(place);
        if (visible) {
            setWindowState(state);
            show();
            setGeometry(place);
        }
    });
}

// ---------------------------------------------------------------------------
// Layout

void frmChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmChart::Form_Resize()
{
    shielded("frmChart.Form_Resize", [&] {
        if (rbrMain == nullptr)
            return;
        rbrMain->setGeometry(0, 0, width(), std::max(1, rbrMain->RebarHeight()));
        rbrMain->RebarSize();
        rbrMain->setGeometry(0, 0, width(), std::max(1, rbrMain->RebarHeight()));
        pResize();
    });
}

// The bands took more or fewer rows (a longer caption, another width): the
// bar gets the height of its rows and the controls go below it.
void frmChart::rbrMain_HeightChanged()
{
    Procedure proc("frmChart", "rbrMain_HeightChanged");
    TW_STEP(proc, rbrMain->setGeometry(0, 0, width(), std::max(1, rbrMain->RebarHeight())));
    TW_STEP(proc, pFitMinimumSize());
    TW_STEP(proc, pResize());
}

// No narrower than the widest band, so that every band has a row of its own
// and every button is seen; no lower than the rows the bands take then, the
// selector and a chart that shows its axes whole.
void frmChart::pFitMinimumSize()
{
    const QSize bands = rbrMain->minimumSizeHint();
    setMinimumSize(bands.width(), bands.height() + cbParam->height() + 4 + kLeastChartHeight);
}

// The layout in twips, as the window's design gives it; each control is
// placed from the ones placed before it. Sizes that come out negative (a
// window made very small) are skipped.
void frmChart::pResize()
{
    Procedure proc("frmChart", "pResize");
    if (rbrMain == nullptr)
        return;
    const double tpp = twipsPerPixel();
    const auto tw = [tpp](int pixels) { return pixels * tpp; };
    const auto px = [tpp](double twips) { return static_cast<int>(roundHalfEven(twips / tpp)); };
    const bool wasEnabled = updatesEnabled();
    setUpdatesEnabled(false);
    const auto place = [&](QWidget* w, double left, double top, double width, double height) {
        shielded("frmChart.pResize", [&] {
            if (width < 0 || height < 0)
                return;
            w->setGeometry(px(left), px(top), px(width), px(height));
        });
    };
    const double scaleWidth = tw(width());
    const double scaleHeight = tw(height());
    const double R = rbrMain->RebarHeight() * tpp;
    const auto left = [&](QWidget* w) { return tw(w->x()); };
    const auto top = [&](QWidget* w) { return tw(w->y()); };
    const auto wid = [&](QWidget* w) { return tw(w->width()); };
    const auto hgt = [&](QWidget* w) { return tw(w->height()); };

    place(Chart, 0, R + 30, scaleWidth, scaleHeight - R - hgt(cbParam) - 60);
    place(cbParam, 30, top(Chart) + hgt(Chart) + 15, wid(cbParam), hgt(cbParam));
    place(lblValue, left(cbParam) + wid(cbParam) + 30, top(cbParam) + (hgt(cbParam) - hgt(lblValue)) / 2,
          wid(lblValue), hgt(lblValue));
    place(sbValue, left(lblValue) + wid(lblValue) + 60, top(cbParam) + (hgt(cbParam) - hgt(sbValue)) / 2 - 30,
          scaleWidth - left(lblValue) - wid(lblValue) - 120, 300);
    place(txtValue, left(Chart) + 30, top(Chart) + hgt(Chart) - hgt(txtValue) - hgt(txtParams) - 45,
          wid(Chart) - 75, hgt(txtValue));
    place(txtParams, left(Chart) + 30, top(Chart) + hgt(Chart) - hgt(txtParams) - 45, wid(Chart) - 75,
          hgt(txtParams));
    txtValue->raise();
    txtParams->raise();
    proc.step([&] { AjustChartArea(); });
    setUpdatesEnabled(wasEnabled);
}

double frmChart::twipsPerPixel() const
{
    return tw::twipsPerPixel(logicalDpiX());
}

QPoint frmChart::twipsOf(const QPoint& pixels) const
{
    const double tpp = twipsPerPixel();
    return QPoint(static_cast<int>(roundHalfEven(pixels.x() * tpp)), static_cast<int>(roundHalfEven(pixels.y() * tpp)));
}

// ---------------------------------------------------------------------------
// Closing

void frmChart::unload()
{
    m_unloading = true;
    close();
}

void frmChart::closeEvent(QCloseEvent* event)
{
    Procedure proc("frmChart", "Form_QueryUnload");
    if (!m_unloading && m_host != nullptr)
        proc.step([&] { m_host->RemoveChart(m_tag); });
    event->accept();
}

} // namespace tw
