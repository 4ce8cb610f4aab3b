#include "charts/ChartTexts.h"

#include "app/Convert.h"
#include "platform/GridValue.h"

#include <cmath>
#include <limits>

namespace tw {

namespace {

const char* yName(int32_t axisY)
{
    switch (axisY) {
    case 6:
        return "Delta";
    case 7:
        return "Gamma";
    case 8:
        return "Theta";
    default:
        return nullptr;
    }
}

// A bound or value on the scroll bar: whole, and within what the bar holds.
int barUnits(double v)
{
    if (!std::isfinite(v))
        return 0;
    const double r = roundHalfEven(v);
    if (r >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (r <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

QString pattern(double v, const char* format, const QLocale& locale)
{
    return platform::formatGridValue(platform::GridValue::number(v), QLatin1String(format), locale);
}

} // namespace

QString chartCaption(const QString& ticker, int32_t axisY, int32_t axisX, const QString& modeCaption)
{
    QString caption = ticker + QStringLiteral(" - 2D Chart: ");
    if (axisY == 5)
        caption += modeCaption;
    else if (const char* y = yName(axisY))
        caption += QLatin1String(y);
    else
        caption += QStringLiteral("Unknown");
    caption += QStringLiteral(" by ");
    static const char* const xNames[] = {"unknown", "stock price", "volatility", "time", "interest rate"};
    caption += QLatin1String(axisX >= 1 && axisX <= 4 ? xNames[axisX] : xNames[0]);
    return caption;
}

const char* xLabelOf(int32_t axisX)
{
    static const char* const labels[] = {"Price: ", "Volatility: ", "Elapsed time: ", "Interest rate: "};
    return axisX >= 1 && axisX <= 4 ? labels[axisX - 1] : nullptr;
}

QString axisYTitle(int32_t axisY, const QString& modeCaption, bool percent)
{
    if (axisY == 5)
        return modeCaption + QStringLiteral(" ") + (percent ? QStringLiteral("(%)") : QString());
    const char* y = yName(axisY);
    return y != nullptr ? QString::fromLatin1(y) : QString();
}

namespace {

constexpr AxisCommand kAxisCommands[] = {
    {"price", "Stock price", ChartParam::StockPrice, 0},
    {"date", "Time", ChartParam::Time, 0},
    {"volatility", "Volatility", ChartParam::Volatility, 0},
    {"risk", "Interest rate", ChartParam::InterestRate, 0},
    {"value", "Profit/Loss", 0, 5},
    {"delta", "Delta", 0, 6},
    {"gamma", "Gamma", 0, 7},
    {"theta", "Theta", 0, 8},
};

const char* commandKey(int32_t AxisCommand::*axis, int32_t number, const char* fallback)
{
    for (const AxisCommand& c : kAxisCommands) {
        if (number != 0 && c.*axis == number)
            return c.key;
    }
    return fallback;
}

} // namespace

std::span<const AxisCommand> axisCommands()
{
    return kAxisCommands;
}

const char* axisXCommandKey(int32_t number)
{
    return commandKey(&AxisCommand::x, number, "price");
}

const char* axisYCommandKey(int32_t number)
{
    return commandKey(&AxisCommand::y, number, "value");
}

QString axisXButtonCaption(int32_t axisX)
{
    static const char* const captions[] = {"X: Stock Price", "X: Volatility", "X: Time", "X: Interest rate"};
    return axisX >= 1 && axisX <= 4 ? QString::fromLatin1(captions[axisX - 1]) : QStringLiteral("Axis X");
}

QString axisYButtonCaption(int32_t axisY, const QString& modeCaption)
{
    if (axisY == 5)
        return QStringLiteral("Y: ") + modeCaption;
    const char* y = yName(axisY);
    return y != nullptr ? QStringLiteral("Y: ") + QLatin1String(y) : QStringLiteral("Axis Y");
}

ScrollLoad scrollLoadOf(int32_t param, const ChartRanges& g)
{
    switch (param) {
    case ChartParam::StockPrice:
        return {barUnits(g.MinStockPrice * 100), barUnits(g.StockPriceValue * 100), barUnits(g.MaxStockPrice * 100)};
    case ChartParam::Volatility:
        return {g.MinVolatility, g.VolatilityValue, g.MaxVolatility};
    case ChartParam::Time:
        return {g.MinExpiration, g.ExpirationValue, g.MaxExpiration};
    case ChartParam::InterestRate:
        return {g.MinRisk, g.RiskValue, g.MaxRisk};
    default:
        return {};
    }
}

QString formatParamValue(int32_t param, int value, const QLocale& locale)
{
    switch (param) {
    case ChartParam::StockPrice:
        return pattern(value / 100.0, "#0.00", locale);
    case ChartParam::Volatility:
    case ChartParam::InterestRate:
        return pattern(value / 10000.0, "#0.00 %", locale);
    case ChartParam::Time:
        return pattern(value, "#0 days", locale);
    default:
        return {};
    }
}

void storeParamValue(int32_t param, int value, ChartRanges& g)
{
    switch (param) {
    case ChartParam::StockPrice:
        g.StockPriceValue = value / 100.0;
        break;
    case ChartParam::Volatility:
        g.VolatilityValue = value;
        break;
    case ChartParam::Time:
        g.ExpirationValue = value;
        break;
    case ChartParam::InterestRate:
        g.RiskValue = value;
        break;
    default:
        break;
    }
}

QString formatXValue(int32_t axisX, double& x, const QLocale& locale)
{
    switch (axisX) {
    case ChartParam::Volatility:
        x = std::max(x, 0.0);
        return locale.toString(x, 'f', 0) + QStringLiteral(" %");
    case ChartParam::Time:
        x = std::max(x, 0.0);
        return locale.toString(x, 'f', 0) + QStringLiteral(" day(s)");
    case ChartParam::InterestRate:
        x = std::max(x, 0.0);
        return locale.toString(x * 100.0, 'f', 0) + QStringLiteral(" %");
    default:
        return locale.toString(x, 'f', 2);
    }
}

QString readoutText(const QString& xLabel, const QString& xText, const QString& yTitle, double y,
                    const QLocale& locale)
{
    return xLabel + xText + QString(5, QLatin1Char(' ')) + yTitle + QStringLiteral(": ") + locale.toString(y, 'f', 2)
        + QString(10, QLatin1Char(' '));
}

QString paramsSummary(const ChartRanges& g, double stockDate, const QLocale& locale)
{
    const QString gap(4, QLatin1Char(' '));
    QString text = QStringLiteral("Stock Price: ") + locale.toString(g.StockPriceValue, 'f', 2);
    text += gap + QStringLiteral("Volatility: ") + locale.toString(g.VolatilityValue / 100.0, 'f', 0)
        + QStringLiteral("%") + gap;
    text += QStringLiteral("Interest rate: ") + locale.toString(g.RiskValue / 100.0, 'f', 0) + QStringLiteral("%") + gap;
    text += QStringLiteral("Time: ") + locale.toString(static_cast<double>(g.ExpirationValue), 'f', 0)
        + QStringLiteral(" days");
    // Without a chain there is no date.
    if (!std::isfinite(stockDate))
        return text;
    const QDate date = dateFromSerial(roundHalfEven(stockDate) + g.ExpirationValue);
    text += QStringLiteral(" (") + (date.isValid() ? locale.toString(date, QLocale::ShortFormat) : QString())
        + QStringLiteral(")");
    return text;
}

} // namespace tw
