#pragma once
// What a chart window needs of the main window: its public procedures and
// values. The main window implements it; the charts never include the main
// window itself.

#include <QString>
#include <cstdint>
#include <memory>

class QWidget;

namespace tw {

class stock;

class ChartHost {
public:
    virtual ~ChartHost();

    virtual void RemoveChart(const QString& Tag) = 0;
    virtual void CustomChartCaptionChanged(const QString& ChartTag, const QString& NewCaption) = 0;
    virtual void AddNewCustomChart(int32_t AsNumber) = 0;
    virtual void Select3DChart() = 0;
    // x, y: twips in the owner's client area.
    virtual void ShowWindowListMenu(int32_t x, int32_t y, QWidget* Owner) = 0;

    virtual std::shared_ptr<stock> hostStock() const = 0;
    virtual double hostCalcStockPrice() const = 0;
    virtual double hostStartStrategyPrice() const = 0;
    virtual double hostDividends() const = 0;
    virtual int32_t hostSteps() const = 0;
    virtual int32_t hostModel() const = 0;
    // The check box "True signed percent profit".
    virtual bool hostPLSign() const = 0;
    // The main window itself (for placing charts beside it).
    virtual QWidget* hostWindow() = 0;

    // The program-wide calculation-mode caption: "Profit/Loss",
    // "Position worth" or "Invalid mode".
    static QString CalculationModeCaption;
};

// The main window, once it exists (nullptr before and after).
ChartHost* chartHost();
void setChartHost(ChartHost* host);

} // namespace tw
