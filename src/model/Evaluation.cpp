#include "model/Evaluation.h"

#include "app/Convert.h"
#include "model/OptionsCollection.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"

#include <QDate>
#include <cmath>

namespace tw {

namespace {

// The locale's number with two decimals (its grouping and negative form).
QString twoDecimals(const QLocale& locale, double v)
{
    return locale.toString(v, 'f', 2);
}

// The value format: two decimals, always with a 0 before the separator of a
// value below 1 (the locale's number format does that too).
QString valueFormat(const QLocale& locale, double v)
{
    return locale.toString(v, 'f', 2);
}

EvalCell cell(const QString& text, int align, bool bold = false)
{
    EvalCell c;
    c.text = text;
    c.align = align;
    c.bold = bold;
    return c;
}

enum CellIndex { PositionCell = 0, TickerCell, StrikeCell, ExpirationCell, QuantityCell, PriceCell, TotalCell };

double modelPrice(const EvaluationInputs& in, int32_t kind, const OptionItem& option)
{
    const double K = option.StrikePrice().toDouble();
    const double r = in.interestPercent / 100.0;
    const double sigma = in.volatilityPercent / 100.0;
    const double T = DaysBetween(in.objStock->StockDate(), option.ExpirationDate()) / 365.0;
    return kind == LegKind::Call ? CallPrice(in.pricing, in.calcStockPrice, K, r, sigma, T)
                                 : PutPrice(in.pricing, in.calcStockPrice, K, r, sigma, T);
}

} // namespace

uint32_t legSwatchColor(int32_t kind, int32_t position)
{
    const bool isShort = position == LegPosition::Short;
    const bool isLong = position == LegPosition::Long;
    if (!isShort && !isLong)
        return 0;
    switch (kind) {
    case LegKind::Call:
        return isShort ? 0x33AAFF : 0xAAFF33;
    case LegKind::Put:
        return isShort ? 0xAAAA33 : 0xFFAA33;
    case LegKind::Stock:
        return isShort ? 0x33AAAA : 0x33FFAA;
    default:
        return 0;
    }
}

QString priceColumnHeader(PriceSource source)
{
    switch (source) {
    case PriceSource::Theoretical:
        return QStringLiteral("Theoretical");
    case PriceSource::LastSale:
        return QStringLiteral("Last sale");
    case PriceSource::BidAsk:
        return QStringLiteral("Bid/Ask");
    default:
        return QString();
    }
}

double bidAskPrice(Currency bid, Currency ask)
{
    if (bid == Currency())
        return ask.toDouble();
    if (ask == Currency())
        return bid.toDouble();
    return (bid + ask).toDouble() / 2.0;
}

QString monthYearText(const QLocale& locale, double serial)
{
    // The month name as it stands alone, not the form used inside a date,
    // which some locales write with a point ("Feb.", "Sept.").
    const QDate date = dateFromSerial(serial);
    return locale.standaloneMonthName(date.month(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(date, QStringLiteral("yy"));
}

Evaluation EvaluateStrategy(const ParamsCollection& params, const EvaluationInputs& in)
{
    Evaluation ev;
    ev.priceHeader = priceColumnHeader(in.source);
    std::vector<LegRow> legs;
    legs.reserve(static_cast<size_t>(params.Count()));
    const QLocale& loc = in.locale;
    uint32_t previousBack = 0;
    double total = 0;

    for (const auto& item : params) {
        const StrategyItem& leg = *item;
        EvalRow row;
        row.backColor = previousBack != EvalColor::RowLight ? EvalColor::RowLight : EvalColor::RowDark;
        previousBack = row.backColor;
        row.swatchColor = legSwatchColor(leg.ItemType(), leg.Position());

        LegRow lr;
        lr.kind = leg.ItemType();
        lr.position = leg.Position();
        lr.quantity = leg.Quantity();
        const double qty = leg.Quantity();
        const bool isShort = leg.Position() == LegPosition::Short;
        const bool isLong = leg.Position() == LegPosition::Long;

        if (leg.ItemType() == LegKind::Stock) {
            const stock& s = *in.objStock;
            row.cells[TickerCell] = cell(s.Code(), CellAlign::Center, true);
            row.cells[StrikeCell] = cell(QString(), CellAlign::Left);
            row.cells[ExpirationCell] = cell(QString(), CellAlign::Left);
            row.cells[QuantityCell] = cell(QString::number(leg.Quantity()), CellAlign::Right);
            const double p = in.source == PriceSource::BidAsk ? bidAskPrice(s.Bid(), s.Ask()) : in.calcStockPrice;
            row.cells[PriceCell] = cell(twoDecimals(loc, p), CellAlign::Right);
            const double v = p * qty;
            EvalCell& t = row.cells[TotalCell];
            t.align = CellAlign::Right;
            t.hasTextColor = true;
            if (in.mode == CalculationMode::ProfitLoss && isShort) {
                row.cells[PositionCell] = cell(QStringLiteral("Short stock"), CellAlign::Center);
                t.text = valueFormat(loc, v) + QStringLiteral(" credit");
                t.textColor = EvalColor::Black;
                total += v;
            } else if (in.mode == CalculationMode::PositionWorth && isLong) {
                row.cells[PositionCell] = cell(QStringLiteral("Long stock"), CellAlign::Center);
                t.text = valueFormat(loc, v);
                t.textColor = EvalColor::Black;
                total += v;
            } else if (in.mode == CalculationMode::ProfitLoss && isLong) {
                row.cells[PositionCell] = cell(QStringLiteral("Long stock"), CellAlign::Center);
                t.text = valueFormat(loc, v) + QStringLiteral(" debit ");
                t.textColor = EvalColor::Red;
                total -= v;
            } else if (in.mode == CalculationMode::PositionWorth && isShort) {
                row.cells[PositionCell] = cell(QStringLiteral("Short stock"), CellAlign::Center);
                t.text = QStringLiteral("-") + valueFormat(loc, v);
                t.textColor = EvalColor::Red;
                total -= v;
            } else {
                t.hasTextColor = false;
            }
            lr.resolved = true;
            lr.code = s.Code();
            lr.entryPrice = in.mode == CalculationMode::ProfitLoss ? p : 0.0;
            lr.legValue = p * qty;
        } else if (leg.ItemType() == LegKind::Call || leg.ItemType() == LegKind::Put) {
            const bool isCall = leg.ItemType() == LegKind::Call;
            const OptionsCollection* side = isCall ? in.calls : in.puts;
            std::shared_ptr<OptionItem> option;
            if (side != nullptr && side->Count() > 0)
                option = side->SelectOption(in.objStock->Price(), in.objStock->StockDate(), leg.ExpireDate(),
                                            leg.StrikePrice());
            if (option == nullptr) {
                row.kind = EvalRow::Missing;
                row.group = cell(QStringLiteral("data for ") + in.exchange + QStringLiteral(" not available now"),
                                 CellAlign::Center, true);
                row.group.hasTextColor = true;
                row.group.textColor = EvalColor::Red;
                ev.rows.push_back(row);
                legs.push_back(lr);
                continue;
            }
            double u = 0;
            switch (in.source) {
            case PriceSource::Theoretical:
                u = modelPrice(in, leg.ItemType(), *option);
                break;
            case PriceSource::LastSale:
                u = option->LastSale().toDouble();
                break;
            case PriceSource::BidAsk:
                u = bidAskPrice(option->Bid(), option->Ask());
                break;
            case PriceSource::None:
                break;
            }
            const double v = u * qty * 100.0;
            const QString name = isCall ? QStringLiteral("call") : QStringLiteral("put");
            EvalCell& t = row.cells[TotalCell];
            t.align = CellAlign::Right;
            t.hasTextColor = true;
            if (isLong) {
                row.cells[PositionCell] = cell(QStringLiteral("Long ") + name, CellAlign::Center);
                if (in.mode == CalculationMode::ProfitLoss) {
                    t.text = valueFormat(loc, v) + QStringLiteral(" debit ");
                    t.textColor = EvalColor::Red;
                    total -= v;
                } else {
                    t.text = valueFormat(loc, v);
                    t.textColor = EvalColor::Black;
                    total += v;
                }
            } else if (isShort) {
                row.cells[PositionCell] = cell(QStringLiteral("Short ") + name, CellAlign::Center);
                if (in.mode == CalculationMode::ProfitLoss) {
                    t.text = valueFormat(loc, v) + QStringLiteral(" credit");
                    t.textColor = EvalColor::Black;
                    total += v;
                } else {
                    t.text = valueFormat(loc, -v);
                    t.textColor = EvalColor::Red;
                    total -= v;
                }
            } else {
                t.hasTextColor = false;
            }
            row.cells[TickerCell] = cell(option->Code(), CellAlign::Center, true);
            row.cells[StrikeCell] = cell(twoDecimals(loc, option->StrikePrice().toDouble()), CellAlign::Right);
            row.cells[ExpirationCell] = cell(monthYearText(loc, option->ExpirationDate()), CellAlign::Center);
            row.cells[QuantityCell] = cell(QString::number(leg.Quantity()), CellAlign::Right);
            row.cells[PriceCell] = cell(twoDecimals(loc, u), CellAlign::Right);
            if (in.mode == CalculationMode::PositionWorth)
                u = 0;
            lr.resolved = true;
            lr.entryPrice = u;
            lr.strike = option->StrikePrice();
            lr.expiration = option->ExpirationDate();
            lr.code = option->Code();
            if (option->ExpirationDate() > ev.maxDate)
                ev.maxDate = option->ExpirationDate();
            const double unitValue = u > 0 ? u : modelPrice(in, leg.ItemType(), *option);
            lr.legValue = unitValue * qty * 100.0;
        }
        // A leg of any other kind keeps only its swatch, kind, position and
        // quantity, and is not resolved.
        ev.rows.push_back(row);
        legs.push_back(lr);
    }

    EvalRow totalRow;
    totalRow.kind = EvalRow::Total;
    totalRow.height = 16;
    totalRow.backColor = EvalColor::TotalBack;
    const bool profitLoss = in.mode == CalculationMode::ProfitLoss;
    QString text = profitLoss ? QStringLiteral("Initial position price") : QStringLiteral("Current position price");
    text += QStringLiteral(": ");
    if (total < 0)
        text += profitLoss ? twoDecimals(loc, std::fabs(total)) + QStringLiteral(" debit ")
                           : twoDecimals(loc, total) + QStringLiteral(" ");
    else
        text += twoDecimals(loc, total) + (profitLoss ? QStringLiteral(" credit ") : QStringLiteral(" "));
    totalRow.group = cell(text, CellAlign::Right, true);
    totalRow.group.hasTextColor = true;
    totalRow.group.textColor = total < 0 ? EvalColor::TotalRed : EvalColor::Black;
    ev.rows.push_back(totalRow);

    EvalRow hint;
    hint.kind = EvalRow::Hint;
    hint.height = 16;
    hint.group = cell(QStringLiteral("right click to popup context menu"), CellAlign::Center);
    ev.rows.push_back(hint);

    ev.total = total;
    ev.legs = std::move(legs);
    return ev;
}

} // namespace tw
