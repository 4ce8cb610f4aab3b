#include "charts/frmChart.h"

#include "app/AppIcons.h"
#include "app/CAppSettings.h"
#include "app/Convert.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "charts/ChartHost.h"
#include "charts/LegsSummary.h"
#include "model/statmath.h"
#include "platform/WindowGeometry.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tw {

frmChart::frmChart(ChartHost* host) : QWidget(nullptr, Qt::Window), m_host(host)
{
    setObjectName(QStringLiteral("frmChart"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(AppIcons::icon(AppIcons::NewChart));
    auto* layout = new QVBoxLayout(this);
    m_summary = new QPlainTextEdit(this);
    m_summary->setReadOnly(true);
    layout->addWidget(m_summary);
    resize(480, 320);
}

frmChart::~frmChart() = default;

void frmChart::setOptions(const LegsArray& legs)
{
    m_legs = legs;
    m_timeRange = 0;
    if (m_legs) {
        int32_t longest = 0;
        for (const LegRow& leg : *m_legs) {
            if (leg.isOption() && leg.resolved)
                longest = std::max(longest, DaysBetween(m_stockDate, leg.expiration));
        }
        m_timeRange = longest + 14;
    }
    pSetCaption();
    DrawChart();
}

void frmChart::setStockTicker(const QString& ticker)
{
    if (ticker == m_StockTicker)
        return;
    m_StockTicker = ticker;
    pSetCaption();
}

void frmChart::setStockPrice(double price)
{
    if (price == m_stockPrice)
        return;
    m_stockPrice = price;
    DrawChart();
}

void frmChart::setStockDate(double date)
{
    if (date == m_stockDate)
        return;
    m_stockDate = date;
    setOptions(m_legs);
}

void frmChart::setUseOptionsModel(int32_t model)
{
    if (model == m_model)
        return;
    m_model = model;
    if (m_model != 2)
        m_AxisY = 5; // delta, gamma and theta come only from the American tree
    pSetCaption();
    DrawChart();
}

void frmChart::setBinominalSteps(int32_t steps)
{
    if (steps == m_steps)
        return;
    m_steps = steps;
    DrawChart();
}

void frmChart::setDividends(double dividends)
{
    m_dividends = dividends;
    DrawChart();
}

void frmChart::pSetCaption()
{
    QString caption = m_StockTicker + QStringLiteral(" - 2D Chart: ");
    switch (m_AxisY) {
    case 5:
        caption += ChartHost::CalculationModeCaption;
        break;
    case 6:
        caption += QStringLiteral("Delta");
        break;
    case 7:
        caption += QStringLiteral("Gamma");
        break;
    case 8:
        caption += QStringLiteral("Theta");
        break;
    default:
        caption += QStringLiteral("Unknown");
        break;
    }
    caption += QStringLiteral(" by ");
    static const char* const xNames[] = {"unknown", "stock price", "volatility", "time", "interest rate"};
    caption += QLatin1String(m_AxisX >= 1 && m_AxisX <= 4 ? xNames[m_AxisX] : xNames[0]);
    setWindowTitle(caption);
    if (m_host != nullptr)
        m_host->CustomChartCaptionChanged(m_tag, caption);
}

void frmChart::DrawChart()
{
    QString text = windowTitle() + QStringLiteral("\n");
    text += QStringLiteral("Stock price %1, model %2, %3 steps, time range %4 days\n\n")
                .arg(m_stockPrice, 0, 'f', 2)
                .arg(m_model)
                .arg(m_steps)
                .arg(m_timeRange);
    text += m_legs ? legsSummary(*m_legs) : QStringLiteral("Nothing evaluated.");
    m_summary->setPlainText(text);
}

void frmChart::RestoreParams(int32_t AsNumber)
{
    Procedure proc("frmChart", "RestoreParams");
    const QString section = QStringLiteral("Settings\\CC%1").arg(AsNumber);
    CAppSettings& s = appSettings();
    QRectF def;
    TW_STEP(proc, {
        const QRect area = platform::workArea(this);
        const double tpp = 1440.0 / (logicalDpiX() > 0 ? logicalDpiX() : 96);
        const double w = area.right() * tpp - area.left() * tpp;
        const double h = area.bottom() * tpp - area.top() * tpp;
        QWidget* main = m_host != nullptr ? m_host->hostWindow() : nullptr;
        if (AsNumber == 1 && main != nullptr) {
            const QRectF m = platform::outerTwips(main);
            def = QRectF(roundHalfEven(m.left() + m.width()), roundHalfEven(m.top()),
                         roundHalfEven(w - (m.left() + m.width())), roundHalfEven(h / 2 - m.top()));
        }
        // The default beside the main window needs room; without it the
        // window gets the general default.
        if (def.width() < 1500 || def.height() < 1500)
            def = QRectF(roundHalfEven(w / 4), roundHalfEven(h / 4), roundHalfEven(w / 2), roundHalfEven(h / 2));
    });
    TW_STEP(proc, {
        const QRectF r(settingDouble(s, section, QStringLiteral("Left"), def.left()),
                       settingDouble(s, section, QStringLiteral("Top"), def.top()),
                       settingDouble(s, section, QStringLiteral("Width"), def.width()),
                       settingDouble(s, section, QStringLiteral("Height"), def.height()));
        // A stored place that lies off every screen comes back onto one.
        const double tpp = 1440.0 / (logicalDpiX() > 0 ? logicalDpiX() : 96);
        const QRect px = platform::keepOnScreen(QRect(qRound(r.left() / tpp), qRound(r.top() / tpp),
                                                      qRound(r.width() / tpp), qRound(r.height() / tpp)));
        platform::setOuterTwips(this, QRectF(px.x() * tpp, px.y() * tpp, px.width() * tpp, px.height() * tpp));
        platform::setWindowStateCode(this, platform::StateNormal);
    });
    TW_STEP(proc, {
        m_Percent = settingBool(s, section, QStringLiteral("Percent"), true);
        m_TimeValue = settingBool(s, section, QStringLiteral("TimeValue"), false);
        m_Total = settingBool(s, section, QStringLiteral("Total"), true);
        const int x = settingInt(s, section, QStringLiteral("AxisX"), 3);
        m_AxisX = (x >= 1 && x <= 4) ? x : 1;
        const int y = settingInt(s, section, QStringLiteral("AxisY"), 5);
        m_AxisY = (y >= 6 && y <= 8) ? y : 5;
        m_Params = qBound(0, settingInt(s, section, QStringLiteral("Params"), 0), 2);
        m_OnTop = settingBool(s, section, QStringLiteral("OnTop"), false);
        setWindowFlag(Qt::WindowStaysOnTopHint, m_OnTop);
    });
    TW_STEP(proc, pSetCaption());
}

void frmChart::SaveParams(int32_t& AsNumber)
{
    // Every failing write is skipped.
    const QString section = QStringLiteral("Settings\\CC%1").arg(AsNumber);
    CAppSettings& s = appSettings();
    const auto save = [&](const char* key, const QVariant& value) {
        try {
            s.SaveSetting(section, QLatin1String(key), value);
        } catch (...) {
        }
    };
    const int state = platform::windowStateCode(this);
    save("WindowState", state);
    if (state == platform::StateNormal) {
        const QRectF outer = platform::outerTwips(this);
        save("Left", outer.left());
        save("Top", outer.top());
        save("Width", outer.width());
        save("Height", outer.height());
    }
    save("Percent", m_Percent);
    save("TimeValue", m_TimeValue);
    save("Total", m_Total);
    save("AxisX", m_AxisX);
    save("AxisY", m_AxisY);
    save("Params", m_Params);
    save("OnTop", m_OnTop);
}

void frmChart::unload()
{
    m_unloading = true;
    close();
}

void frmChart::closeEvent(QCloseEvent* event)
{
    if (!m_unloading && m_host != nullptr)
        m_host->RemoveChart(m_tag);
    event->accept();
}

} // namespace tw
