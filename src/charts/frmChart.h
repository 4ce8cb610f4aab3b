#pragma once
// A 2-D chart window: one line per leg and a "Sum" line over 100 points of a
// chosen X parameter (stock price, volatility, time, interest rate) for a
// chosen quantity (value, delta, gamma, theta). Any number may be open; the
// main window keeps them by key in its Tag.
//
// The plot itself is not drawn yet: the window shows what it was handed and
// keeps its place and choices across runs.

#include "model/LegsArray.h"

#include <QWidget>
#include <cstdint>

class QPlainTextEdit;

namespace tw {

class ChartHost;

class frmChart : public QWidget {
    Q_OBJECT
public:
    explicit frmChart(ChartHost* host);
    ~frmChart() override;

    // The chart key the main window keeps it under.
    const QString& Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // The evaluated legs, or no value when nothing is evaluated.
    void setOptions(const LegsArray& legs);
    const LegsArray& Options() const { return m_legs; }
    void setStockTicker(const QString& ticker);
    void setStockPrice(double price);
    void setStockDate(double date);
    void setUseOptionsModel(int32_t model);
    void setBinominalSteps(int32_t steps);
    void setDividends(double dividends);

    // Placement and choices in section "Settings\CC" followed by the number;
    // number 0 is never saved, so it gives the defaults.
    void RestoreParams(int32_t AsNumber);
    void SaveParams(int32_t& AsNumber);

    void DrawChart();
    // Closes the window without telling the main window (its exit does this).
    void unload();

    int32_t AxisX() const { return m_AxisX; }
    int32_t AxisY() const { return m_AxisY; }
    // The time range in days: the latest expiration of the option legs from
    // the stock's date, plus 14.
    int32_t timeRangeDays() const { return m_timeRange; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void pSetCaption();

    ChartHost* m_host = nullptr;
    QString m_tag;
    LegsArray m_legs;
    QString m_StockTicker;
    double m_stockPrice = 0;
    double m_stockDate = 0;
    int32_t m_model = 0;
    int32_t m_steps = 10;
    double m_dividends = 0;
    int32_t m_timeRange = 0;
    bool m_Percent = true;
    bool m_TimeValue = false;
    bool m_Total = true;
    int32_t m_AxisX = 3;
    int32_t m_AxisY = 5;
    int32_t m_Params = 0;
    bool m_OnTop = false;
    bool m_unloading = false;
    QPlainTextEdit* m_summary = nullptr;
};

} // namespace tw
