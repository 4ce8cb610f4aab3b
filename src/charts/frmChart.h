#pragma once
// A 2-D chart window: one line per leg and a "Sum" line over 100 points of a
// chosen X parameter (stock price, volatility, time, interest rate) for a
// chosen quantity (value, delta, gamma, theta). Any number may be open; the
// main window keeps them by key in their Tag and pushes every change of the
// pricing context into them.
//
// Below the plot the user picks one of the three parameters that are not on
// the X axis and moves its fixed value with a scroll bar; two boxes over the
// plot's lower edge show the values under the mouse and the fixed values the
// chart was drawn with. Two toolbars choose the axes and switch the chart
// modes; placement and choices are kept in "Settings\CC" followed by the
// chart's number.
//
// The sweep itself is ChartSweep (UI-free); this window feeds its table to
// the chart control.
//
// Every change (a push of the main window, a command of the window's own)
// only asks for a drawing: the window makes one for all the changes of a
// turn of the event loop, from a request it posts to itself. A caller that
// reads what the chart shows right after a change still sees it drawn: the
// chart control's readers, and drawCount, make the drawing asked for first,
// as drawNow does. After every drawing the crosshair read-out is made anew
// where the pointer stands on the chart, or goes when it is elsewhere.
//
// frmChartReadout.cpp holds the read-out and the summary, frmChartSettings.cpp
// the saved place and choices.

#include "charts/ChartSweep.h"
#include "model/LegsArray.h"

#include <QColor>
#include <QRectF>
#include <QWidget>
#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace tw {

class ChartHost;

namespace platform {
class Chart2D;
class PopupMenu;
class ReBar;
class Toolbar;
} // namespace platform

class frmChart : public QWidget {
    Q_OBJECT
public:
    explicit frmChart(ChartHost* host);
    ~frmChart() override;

    // The chart key the main window keeps it under.
    const QString& Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // ---- What the main window hands in ------------------------------------
    // The evaluated legs, or no value when nothing is evaluated: stores them,
    // recomputes the time range, re-captions the value command, redraws.
    void setOptions(const LegsArray& NewOptions);
    // Re-captions the window when the ticker changed (no redraw).
    void setStockTicker(const QString& NewTicker);
    // A changed price centres the price range on it (half to one and a half
    // times) with the fixed price at it, reloads the selector and redraws.
    void setStockPrice(double NewPrice);
    // The analysis date (day 0 of the time axis); a change redraws.
    void setStockDate(double NewDate);
    // The pricing model; delta, gamma and theta are offered only for the
    // binomial American model (2), any other model sets Y back to the value.
    void setUseOptionsModel(int32_t NewModel);
    void setBinominalSteps(int32_t NewSteps);
    void setDividends(double NewDividends); // a fraction
    // Stores the twelve ranges and fixed values, reloads the selector and
    // redraws.
    void SetStockParamValues(double MinStockPrice, double MaxStockPrice, double StockPriceValue,
                             int32_t MinExpiration, int32_t MaxExpiration, int32_t ExpirationValue,
                             int32_t MinVolatility, int32_t MaxVolatility, int32_t VolatilityValue, int32_t MinRisk,
                             int32_t MaxRisk, int32_t RiskValue);
    // Asks for a drawing: made once for all the changes of this turn of the
    // event loop (or at once by drawNow, or by a read of the chart).
    void UpdateChart();
    // Makes the drawing asked for, if one is outstanding.
    void drawNow();
    // Placement and choices in section "Settings\CC" followed by the number;
    // number 0 is never saved, so it gives the defaults.
    void SaveParams(int32_t& AsNumber);
    void RestoreParams(int32_t AsNumber);
    // Whether RestoreParams found a place of the window's own in its section
    // (false: it got the default place of its number).
    bool placeRestored() const { return m_placeRestored; }
    // Whether the place saved for it could not be kept as it was (saved on
    // a larger screen, say) and the window was brought whole onto a screen.
    bool placeMoved() const { return m_placeMoved; }
    // The value command (and the Y button while Y is the value) take the
    // program's calculation-mode caption.
    void SetCalculationModeCaption();
    // Closes the window without telling the main window (its exit does this).
    void unload();

    // ---- Controls -----------------------------------------------------------
    platform::ReBar* rbrMain = nullptr;
    platform::Toolbar* tbrAxis = nullptr;
    platform::Toolbar* tbrChartMode = nullptr;
    platform::Chart2D* Chart = nullptr;
    QComboBox* cbParam = nullptr;
    QLabel* lblValue = nullptr;
    QScrollBar* sbValue = nullptr;
    QLineEdit* txtValue = nullptr;
    QLineEdit* txtParams = nullptr;
    platform::PopupMenu* mMenu = nullptr;

    // ---- The window's state, as it draws with it ---------------------------
    const LegsArray& Options() const { return m_Options; }
    const ChartRanges& ranges() const { return m_sweep.ranges; }
    int32_t AxisX() const { return m_sweep.AxisX; }
    int32_t AxisY() const { return m_sweep.AxisY; }
    bool Percent() const { return m_sweep.Percent; }
    bool TimeValue() const { return m_sweep.TimeValue; }
    bool Total() const { return m_sweep.Total; }
    bool onTop() const;
    // The read-out's label of the X axis ("Price: "...).
    QString XLabel() const;
    // How many drawings the window has made (an outstanding one first).
    int drawCount()
    {
        drawNow();
        return m_drawCount;
    }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Construction steps.
    void pCreateMenu();
    void pCreateChartModeToolbar();
    void pCreateAxisToolbar();
    void pCreateRebar();
    void pInitColors();
    void InitMaxMinValues();

    // Drawing.
    void DrawChart();
    bool CheckOptionsArray();
    void SetLabelsAndNumSeries();
    void SetStylesAndColors();
    void pSetAxisYTitle();
    void pSetCaption();
    void AjustChartArea();
    void pPrintParams();
    void pEnableChartModeButtons(bool enable);
    void pTimeRangeFromLegs();

    // The fixed-parameter selector.
    void BuildAddParamList();
    void pSelectParam(int listIndex);
    int32_t pSelectedParam() const;
    void cbParam_Click();
    QString FormatParamValue() const;
    void SetParamValue();
    QString FormatXValue(double& x) const;
    void sbValue_Change();

    // Commands.
    void mMenu_Click(int ItemNumber);
    void pRunMenuCommand(const char* key);
    void pSetAxisCaption(const char* key, const QString& caption);
    void tbrAxis_DropDownPress(int Button);
    void tbrChartMode_ButtonClick(int Button);
    void tbrChartMode_DropDownPress(int Button);
    void SetTopmost(bool on);
    void Chart_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, const QPoint& pixel);
    void pShowReadout(const QPoint& pixel);
    void pRefreshReadout();

    // Layout.
    void Form_Resize();
    void rbrMain_HeightChanged();
    void pResize();
    void pFitMinimumSize();

    // The saved place: the default place of a chart number, and reading it
    // (checked and put on a screen).
    QRectF pDefaultPlace(int32_t AsNumber) const;
    void pRestorePlace(const QString& section, const QRectF& defaultPlace);

    double twipsPerPixel() const;
    QPoint twipsOf(const QPoint& pixels) const;

    ChartHost* m_host = nullptr;
    QString m_tag;
    bool m_placeRestored = false;
    bool m_placeMoved = false;
    // Whether a chain's date was given (without one the summary names no date).
    bool m_stockDateGiven = false;

    LegsArray m_Options;
    double m_StockPrice = 0;
    QString m_StockTicker;
    // Everything the drawing depends on besides the legs: the ranges and
    // fixed values, the analysis date, the axes, the switches, the model.
    SweepInput m_sweep;
    bool m_Busy = false; // the scroll bar is being loaded

    uint32_t m_ShortCallColor = 0, m_LongCallColor = 0, m_ShortPutColor = 0, m_LongPutColor = 0;
    uint32_t m_ShortStockColor = 0, m_LongStockColor = 0, m_SumColor = 0;

    SweepTable m_table; // the buffers of the last drawing, kept for the next
    int m_drawCount = 0;
    bool m_drawPending = false; // a drawing is asked for
    bool m_drawPosted = false;  // the request for it is on its way
    bool m_unloading = false;
};

} // namespace tw
