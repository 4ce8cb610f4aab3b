#pragma once
// What the chart-window suites share: a main window stand-in that records
// the calls a chart makes into it, legs to draw, and a chart window opened
// the way the main window opens one.

#include "ChartLegs.h"

#include "charts/ChartHost.h"
#include "charts/frmChart.h"
#include "model/LegsArray.h"

#include <QEvent>
#include <QMap>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <memory>

namespace tw::platform {
class Toolbar;
}

namespace tw::test {

class FakeHost : public ChartHost {
public:
    QStringList calls;
    QMap<QString, QString> captions;
    QWidget* listOwner = nullptr;
    QWidget main; // the main window, beside which chart 1 goes

    void RemoveChart(const QString& Tag) override;
    void CustomChartCaptionChanged(const QString& ChartTag, const QString& NewCaption) override;
    void AddNewCustomChart(int32_t AsNumber) override;
    void Select3DChart() override;
    void ShowWindowListMenu(int32_t x, int32_t y, QWidget* Owner) override;
    std::shared_ptr<stock> hostStock() const override { return nullptr; }
    double hostCalcStockPrice() const override { return 0; }
    double hostStartStrategyPrice() const override { return 0; }
    double hostDividends() const override { return 0; }
    int32_t hostSteps() const override { return 0; }
    int32_t hostModel() const override { return 0; }
    bool hostPLSign() const override { return false; }
    QWidget* hostWindow() override { return &main; }
};

// A long call 30 days out, a short put 20 days out, long and short shares.
LegsArray fourLegs();

using ChartWindow = std::unique_ptr<frmChart, void (*)(frmChart*)>;
// A chart window (tag "C5") opened as the main window opens one: its
// settings of `number` restored, price 50, the date, ticker "ZYX", 50
// steps, the model and the legs pushed, then shown.
ChartWindow openChart(FakeHost& host, int number, const LegsArray& legs, int model = 0);

int button(platform::Toolbar* bar, const char* key);
// A mouse click on the toolbar button with that key.
void clickButton(platform::Toolbar* bar, const char* key);

// Counts the events of one type an object is sent.
class EventCounter : public QObject {
public:
    EventCounter(QEvent::Type type, int& count) : m_type(type), m_count(count) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == m_type)
            ++m_count;
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type m_type;
    int& m_count;
};

// Section "Settings\CC<number>" of the settings.
void storeChart(int number, const char* key, const QVariant& value);
QString storedChart(int number, const char* key);

} // namespace tw::test
