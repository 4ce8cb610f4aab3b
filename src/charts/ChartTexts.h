#pragma once
// The texts of a 2-D chart window: its caption, axis titles and button
// captions, the fixed-parameter selector's scroll range and value texts, the
// crosshair read-out and the parameter summary. UI-free, so the exact texts
// are tested directly; numbers follow the given locale (its decimal
// separator, digit grouping and negative form).

#include "charts/ChartSweep.h"

#include <QLocale>
#include <QString>
#include <span>

namespace tw {

// "<ticker> - 2D Chart: <Y> by <X>": Y the calculation-mode caption (value),
// "Delta", "Gamma", "Theta" or "Unknown"; X "stock price", "volatility",
// "time", "interest rate" or "unknown".
QString chartCaption(const QString& ticker, int32_t axisY, int32_t axisX, const QString& modeCaption);
// The read-out's label of an X value ("Price: ", "Volatility: ",
// "Elapsed time: ", "Interest rate: "); nullptr for an X outside 1..4.
const char* xLabelOf(int32_t axisX);
// The Y axis title: the mode caption, a blank and "(%)" with percent (value),
// "Delta", "Gamma", "Theta"; empty for anything else.
QString axisYTitle(int32_t axisY, const QString& modeCaption, bool percent);
// The captions of the axis buttons: "X: Stock Price", "X: Volatility",
// "X: Time", "X: Interest rate"; "Y: " and the mode caption, "Y: Delta"...
QString axisXButtonCaption(int32_t axisX);
QString axisYButtonCaption(int32_t axisY, const QString& modeCaption);

// The commands of the axis menus, in menu order: the item's key and caption,
// and the X parameter or the Y quantity it sets (the numbers the settings
// keep; 0 for the other axis).
struct AxisCommand {
    const char* key;
    const char* caption;
    int32_t x;
    int32_t y;
};
std::span<const AxisCommand> axisCommands();
// The key of the command that sets X (Y) to a stored number: "price"
// ("value") for a number no command sets.
const char* axisXCommandKey(int32_t number);
const char* axisYCommandKey(int32_t number);

// The scroll bar of a fixed parameter: its bounds and value, in the bar's
// unit (hundredths of a money unit for the stock price, 1/10000 for
// volatility and rate, days for time). All zero for a parameter outside 1..4.
struct ScrollLoad {
    int minimum = 0;
    int value = 0;
    int maximum = 0;
};
ScrollLoad scrollLoadOf(int32_t param, const ChartRanges& ranges);
// The text of a scroll value: "#0.00" of the price, "#0.00 %" of volatility
// and rate, "#0 days" of time; empty for a parameter outside 1..4.
QString formatParamValue(int32_t param, int value, const QLocale& locale);
// Stores a scroll value back as the parameter's fixed value (the ranges stay).
void storeParamValue(int32_t param, int value, ChartRanges& ranges);

// An X value as the read-out shows it: the price with two decimals, the
// volatility in whole percent ("40 %"), the time in whole days ("3 day(s)"),
// the rate in whole percent. A negative volatility, time or rate is first set
// to 0 in `x` itself, where the crosshair then stands.
QString formatXValue(int32_t axisX, double& x, const QLocale& locale);
// The read-out: label, X text, five blanks, Y title, ": ", y with two
// decimals, ten blanks.
QString readoutText(const QString& xLabel, const QString& xText, const QString& yTitle, double y,
                    const QLocale& locale);
// The summary of the four fixed values under the chart, with the date of the
// fixed time: "Stock Price: 50.00    Volatility: 40%    Interest rate: 5%    "
// "Time: 0 days (<short date>)"; without a date (`stockDate` not finite: no
// chain loaded) it ends at "days".
QString paramsSummary(const ChartRanges& ranges, double stockDate, const QLocale& locale);

} // namespace tw
