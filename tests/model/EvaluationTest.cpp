// The strategy evaluation: every leg resolved against the chain, priced by
// the price source and the model, listed as a row with its credit or debit,
// the position total, and the legs handed to the charts.
#include "app/Convert.h"
#include "model/Evaluation.h"
#include "model/OptionsCollection.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace tw;

namespace {

const QString kCboe = QStringLiteral("CBOE (Chicago Board Options Exchange)");

Currency money(double v)
{
    return Currency::fromDouble(v);
}

// Date serials (literal: the date conversions are not ready before main).
constexpr double kStockDate = 45301; // Jan 10 2024
constexpr double kExp1 = 45339;      // Feb 17 2024
constexpr double kExp2 = 45367;      // Mar 16 2024

struct Quote {
    double last = 0;
    double bid = 0;
    double ask = 0;
};

// A chain of two expirations with strikes 90..110; every option is quoted
// `q`, except where the test changes it. Stock at 100.
struct Market {
    std::shared_ptr<stock> objStock = std::make_shared<stock>();

    explicit Market(Quote q = {1.25, 1.20, 1.30})
    {
        objStock->setCode(QStringLiteral("XYZ"));
        objStock->setPrice(money(100));
        objStock->setBid(money(99.9));
        objStock->setAsk(money(100.1));
        objStock->setStockDate(kStockDate);
        for (double exp : {kExp1, kExp2}) {
            for (double k : {90.0, 95.0, 100.0, 105.0, 110.0}) {
                const QString suffix = QStringLiteral("%1-%2").arg(exp == kExp1 ? "B" : "C").arg(k);
                objStock->Calls()->Add(QStringLiteral("XYZ C") + suffix, money(k), exp, "+0.10", money(q.bid),
                                       money(q.ask), 10, 100, kCboe, money(q.last));
                objStock->Puts()->Add(QStringLiteral("XYZ P") + suffix, money(k), exp, "-0.10", money(q.bid),
                                      money(q.ask), 10, 100, kCboe, money(q.last));
            }
        }
    }

    OptionItem& call(double exp, double k) const { return item(*objStock->Calls(), exp, k); }
    OptionItem& put(double exp, double k) const { return item(*objStock->Puts(), exp, k); }

    static OptionItem& item(const OptionsCollection& side, double exp, double k)
    {
        const int32_t i = side.ItemIndex(money(k), exp);
        EXPECT_GT(i, 0);
        return *side.Item(i);
    }

    EvaluationInputs inputs(PriceSource source, int32_t mode) const
    {
        EvaluationInputs in;
        in.objStock = objStock.get();
        in.calls = objStock->Calls().get();
        in.puts = objStock->Puts().get();
        in.calcStockPrice = 100;
        in.source = source;
        in.mode = mode;
        in.volatilityPercent = 30;
        in.interestPercent = 5;
        in.exchange = kCboe;
        in.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        return in;
    }
};

enum Cell { Position = 0, Ticker, Strike, Expiration, Quantity, Price, Total };

const EvalCell& cellOf(const EvalRow& row, Cell c)
{
    return row.cells[c];
}

double modelCall(const EvaluationInputs& in, double k, double exp)
{
    return CallPrice(in.pricing, in.calcStockPrice, k, in.interestPercent / 100, in.volatilityPercent / 100,
                     DaysBetween(kStockDate, exp) / 365.0);
}

double modelPut(const EvaluationInputs& in, double k, double exp)
{
    return PutPrice(in.pricing, in.calcStockPrice, k, in.interestPercent / 100, in.volatilityPercent / 100,
                    DaysBetween(kStockDate, exp) / 365.0);
}

// ---------------------------------------------------------------------------
// The credit/debit table: every kind and position in both calculation modes.

struct TableCase {
    int32_t kind;
    int32_t position;
    int32_t mode;
    const char* positionText;
    const char* valueText;
    uint32_t valueColor;
    double total;
    const char* totalText;
    uint32_t totalColor;
    uint32_t swatch;
};

void PrintTo(const TableCase& c, std::ostream* os)
{
    *os << c.positionText << " mode " << c.mode;
}

class CreditDebitTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(CreditDebitTable, RowTotalAndTotalRowFollowPositionAndMode)
{
    const TableCase& c = GetParam();
    Market m; // options last sale 1.25; stock priced at 100
    ParamsCollection legs;
    legs.Add(c.kind, c.position, 0, 1, 2);
    const EvaluationInputs in = m.inputs(PriceSource::LastSale, c.mode);
    const Evaluation ev = EvaluateStrategy(legs, in);

    ASSERT_EQ(ev.rows.size(), 3u); // the leg, the total row, the hint row
    const EvalRow& row = ev.rows[0];
    EXPECT_EQ(row.kind, EvalRow::Leg);
    EXPECT_EQ(row.backColor, 0xFEFEFEu);
    EXPECT_EQ(row.swatchColor, c.swatch);
    EXPECT_EQ(cellOf(row, Position).text, QLatin1String(c.positionText));
    EXPECT_EQ(cellOf(row, Position).align, CellAlign::Center);
    EXPECT_FALSE(cellOf(row, Position).bold);
    EXPECT_EQ(cellOf(row, Total).text, QLatin1String(c.valueText));
    EXPECT_EQ(cellOf(row, Total).align, CellAlign::Right);
    EXPECT_TRUE(cellOf(row, Total).hasTextColor);
    EXPECT_EQ(cellOf(row, Total).textColor, c.valueColor);
    EXPECT_EQ(cellOf(row, Quantity).text, QStringLiteral("2"));
    EXPECT_EQ(cellOf(row, Quantity).align, CellAlign::Right);
    EXPECT_TRUE(cellOf(row, Ticker).bold);
    EXPECT_EQ(cellOf(row, Ticker).align, CellAlign::Center);
    EXPECT_DOUBLE_EQ(ev.total, c.total);

    const EvalRow& totalRow = ev.rows[1];
    EXPECT_EQ(totalRow.kind, EvalRow::Total);
    EXPECT_EQ(totalRow.height, 16);
    EXPECT_EQ(totalRow.backColor, 0x78BCE1u); // (120, 188, 225)
    EXPECT_EQ(totalRow.group.text, QLatin1String(c.totalText));
    EXPECT_EQ(totalRow.group.align, CellAlign::Right);
    EXPECT_TRUE(totalRow.group.bold);
    EXPECT_EQ(totalRow.group.textColor, c.totalColor);

    const EvalRow& hint = ev.rows[2];
    EXPECT_EQ(hint.kind, EvalRow::Hint);
    EXPECT_EQ(hint.height, 16);
    EXPECT_EQ(hint.group.text, QStringLiteral("right click to popup context menu"));
    EXPECT_EQ(hint.group.align, CellAlign::Center);

    ASSERT_TRUE(ev.legs.has_value());
    ASSERT_EQ(ev.legs->size(), 1u);
    const LegRow& leg = ev.legs->front();
    EXPECT_EQ(leg.kind, c.kind);
    EXPECT_EQ(leg.position, c.position);
    EXPECT_EQ(leg.quantity, 2);
    EXPECT_TRUE(leg.resolved);
    if (c.kind == LegKind::Stock) {
        EXPECT_EQ(cellOf(row, Ticker).text, QStringLiteral("XYZ"));
        EXPECT_EQ(cellOf(row, Price).text, QStringLiteral("100.00"));
        EXPECT_TRUE(cellOf(row, Strike).text.isEmpty());
        EXPECT_TRUE(cellOf(row, Expiration).text.isEmpty());
        EXPECT_EQ(leg.code, QStringLiteral("XYZ"));
        EXPECT_DOUBLE_EQ(leg.entryPrice, c.mode == 0 ? 100.0 : 0.0);
        EXPECT_DOUBLE_EQ(leg.legValue, 200.0);
        EXPECT_EQ(ev.maxDate, 0.0);
    } else {
        EXPECT_EQ(cellOf(row, Price).text, QStringLiteral("1.25"));
        EXPECT_EQ(cellOf(row, Strike).text, QStringLiteral("100.00"));
        EXPECT_EQ(cellOf(row, Strike).align, CellAlign::Right);
        EXPECT_EQ(cellOf(row, Expiration).text, QStringLiteral("Feb 24"));
        EXPECT_EQ(cellOf(row, Expiration).align, CellAlign::Center);
        EXPECT_EQ(leg.strike, money(100));
        EXPECT_EQ(leg.expiration, kExp1);
        EXPECT_EQ(ev.maxDate, kExp1);
        // "Position worth" values the arrays by the model whatever the
        // price source; "Profit/Loss" by the price source.
        const double model = c.kind == LegKind::Call ? modelCall(in, 100, kExp1) : modelPut(in, 100, kExp1);
        EXPECT_DOUBLE_EQ(leg.entryPrice, c.mode == 0 ? 1.25 : 0.0);
        EXPECT_DOUBLE_EQ(leg.legValue, c.mode == 0 ? 250.0 : model * 200);
    }
}

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kTotalRed = 0xFF1111;

INSTANTIATE_TEST_SUITE_P(
    Legs, CreditDebitTable,
    ::testing::Values(
        TableCase{2, 2, 0, "Long call", "250.00 debit ", kRed, -250, "Initial position price: 250.00 debit ",
                  kTotalRed, 0xAAFF33},
        TableCase{2, 1, 0, "Short call", "250.00 credit", kBlack, 250, "Initial position price: 250.00 credit ",
                  kBlack, 0x33AAFF},
        TableCase{2, 2, 1, "Long call", "250.00", kBlack, 250, "Current position price: 250.00 ", kBlack, 0xAAFF33},
        TableCase{2, 1, 1, "Short call", "-250.00", kRed, -250, "Current position price: -250.00 ", kTotalRed,
                  0x33AAFF},
        TableCase{1, 2, 0, "Long put", "250.00 debit ", kRed, -250, "Initial position price: 250.00 debit ",
                  kTotalRed, 0xFFAA33},
        TableCase{1, 1, 0, "Short put", "250.00 credit", kBlack, 250, "Initial position price: 250.00 credit ",
                  kBlack, 0xAAAA33},
        TableCase{1, 2, 1, "Long put", "250.00", kBlack, 250, "Current position price: 250.00 ", kBlack, 0xFFAA33},
        TableCase{1, 1, 1, "Short put", "-250.00", kRed, -250, "Current position price: -250.00 ", kTotalRed,
                  0xAAAA33},
        TableCase{3, 2, 0, "Long stock", "200.00 debit ", kRed, -200, "Initial position price: 200.00 debit ",
                  kTotalRed, 0x33FFAA},
        TableCase{3, 1, 0, "Short stock", "200.00 credit", kBlack, 200, "Initial position price: 200.00 credit ",
                  kBlack, 0x33AAAA},
        TableCase{3, 2, 1, "Long stock", "200.00", kBlack, 200, "Current position price: 200.00 ", kBlack,
                  0x33FFAA},
        TableCase{3, 1, 1, "Short stock", "-200.00", kRed, -200, "Current position price: -200.00 ", kTotalRed,
                  0x33AAAA}));

TEST(Evaluation, LegsAddUpToTheNetPremiumOrTheSignedWorth)
{
    ASSERT_EQ(dateFromSerial(kStockDate), QDate(2024, 1, 10));
    ASSERT_EQ(dateFromSerial(kExp1), QDate(2024, 2, 17));
    ASSERT_EQ(dateFromSerial(kExp2), QDate(2024, 3, 16));
    Market m;
    m.call(kExp1, 100).setLastSale(money(1.25));
    m.put(kExp1, 95).setLastSale(money(0.80));
    ParamsCollection legs;
    legs.Add(LegKind::Call, LegPosition::Long, 0, 1, 1); // 125 paid
    legs.Add(LegKind::Put, LegPosition::Short, -1, 1, 2); // 160 received
    const Evaluation pl = EvaluateStrategy(legs, m.inputs(PriceSource::LastSale, 0));
    EXPECT_DOUBLE_EQ(pl.total, 35);
    EXPECT_EQ(pl.rows[2].group.text, QStringLiteral("Initial position price: 35.00 credit "));
    EXPECT_EQ(pl.rows[2].group.textColor, kBlack);
    // The rows alternate their back colour.
    EXPECT_EQ(pl.rows[0].backColor, 0xFEFEFEu);
    EXPECT_EQ(pl.rows[1].backColor, 0xF0F0F0u);

    const Evaluation worth = EvaluateStrategy(legs, m.inputs(PriceSource::LastSale, 1));
    EXPECT_DOUBLE_EQ(worth.total, -35);
    EXPECT_EQ(worth.rows[2].group.text, QStringLiteral("Current position price: -35.00 "));
    EXPECT_EQ(worth.rows[2].group.textColor, kTotalRed);
}

TEST(Evaluation, NoLegsGiveAZeroCreditAndAnEmptyLegsList)
{
    Market m;
    const Evaluation ev = EvaluateStrategy(ParamsCollection(), m.inputs(PriceSource::LastSale, 0));
    ASSERT_EQ(ev.rows.size(), 2u);
    EXPECT_EQ(ev.rows[0].group.text, QStringLiteral("Initial position price: 0.00 credit "));
    EXPECT_EQ(ev.rows[0].group.textColor, kBlack);
    EXPECT_EQ(ev.total, 0.0);
    ASSERT_TRUE(ev.legs.has_value()); // an array without rows, not "nothing"
    EXPECT_TRUE(ev.legs->empty());
    EXPECT_EQ(ev.maxDate, 0.0);
}

TEST(Evaluation, OtherModesAndCodesLeaveTheValueCellsEmpty)
{
    Market m;
    ParamsCollection legs;
    legs.Add(LegKind::Stock, LegPosition::Long, 0, 1, 1);
    legs.Add(LegKind::Call, 0, 0, 1, 1); // no position
    legs.Add(7, LegPosition::Long, 0, 1, 1); // no kind
    const Evaluation ev = EvaluateStrategy(legs, m.inputs(PriceSource::LastSale, 2));
    ASSERT_EQ(ev.rows.size(), 5u);
    // A stock leg in an unknown mode: no position text, no value, no total.
    EXPECT_TRUE(cellOf(ev.rows[0], Position).text.isEmpty());
    EXPECT_TRUE(cellOf(ev.rows[0], Total).text.isEmpty());
    EXPECT_EQ(cellOf(ev.rows[0], Price).text, QStringLiteral("100.00"));
    // An option without a position still shows what it resolved to.
    EXPECT_TRUE(cellOf(ev.rows[1], Position).text.isEmpty());
    EXPECT_TRUE(cellOf(ev.rows[1], Total).text.isEmpty());
    EXPECT_EQ(cellOf(ev.rows[1], Ticker).text, QStringLiteral("XYZ CB-100"));
    EXPECT_EQ(ev.rows[1].swatchColor, 0u);
    // A leg of no known kind keeps only its swatch.
    for (int c = Position; c <= Total; ++c)
        EXPECT_TRUE(ev.rows[2].cells[c].text.isEmpty()) << c;
    EXPECT_FALSE((*ev.legs)[2].resolved);
    EXPECT_EQ((*ev.legs)[2].kind, 7);
    EXPECT_EQ(ev.total, 0.0);
    EXPECT_EQ(ev.rows[3].group.text, QStringLiteral("Current position price: 0.00 "));
    // Any mode other than 0 prices a long option as worth (added).
    ParamsCollection longCall;
    longCall.Add(LegKind::Call, LegPosition::Long, 0, 1, 1);
    const Evaluation worth = EvaluateStrategy(longCall, m.inputs(PriceSource::LastSale, 2));
    EXPECT_EQ(cellOf(worth.rows[0], Total).text, QStringLiteral("125.00"));
    EXPECT_DOUBLE_EQ(worth.total, 125);
}

// ---------------------------------------------------------------------------
// Price sources.

TEST(Evaluation, BidAskRuleTakesTheQuotedSideOrTheMean)
{
    EXPECT_DOUBLE_EQ(bidAskPrice(money(0), money(0.40)), 0.40);
    EXPECT_DOUBLE_EQ(bidAskPrice(money(0.30), money(0)), 0.30);
    EXPECT_DOUBLE_EQ(bidAskPrice(money(0.30), money(0.40)), 0.35);
    EXPECT_EQ(bidAskPrice(money(0), money(0)), 0.0);
    // The sum is exact before it is halved.
    EXPECT_EQ(bidAskPrice(money(0.1), money(0.2)), 0.15);

    Market m;
    m.call(kExp1, 100).setBid(money(0));
    m.call(kExp1, 100).setAsk(money(0.40));
    m.call(kExp1, 105).setBid(money(0.30));
    m.call(kExp1, 105).setAsk(money(0));
    m.call(kExp1, 110).setBid(money(0.30));
    m.call(kExp1, 110).setAsk(money(0.40));
    m.objStock->setBid(money(0));
    m.objStock->setAsk(money(10));
    ParamsCollection legs;
    legs.Add(LegKind::Call, LegPosition::Long, 0, 1, 1);
    legs.Add(LegKind::Call, LegPosition::Long, 1, 1, 1);
    legs.Add(LegKind::Call, LegPosition::Long, 2, 1, 1);
    legs.Add(LegKind::Stock, LegPosition::Long, 0, 1, 1);
    EvaluationInputs in = m.inputs(PriceSource::BidAsk, 0);
    in.calcStockPrice = 5; // what the window computes from bid 0, ask 10
    const Evaluation ev = EvaluateStrategy(legs, in);
    EXPECT_EQ(cellOf(ev.rows[0], Price).text, QStringLiteral("0.40"));
    EXPECT_EQ(cellOf(ev.rows[1], Price).text, QStringLiteral("0.30"));
    EXPECT_EQ(cellOf(ev.rows[2], Price).text, QStringLiteral("0.35"));
    // A stock leg takes the rule on the stock's own quote, not the pricing price.
    EXPECT_EQ(cellOf(ev.rows[3], Price).text, QStringLiteral("10.00"));
    EXPECT_DOUBLE_EQ((*ev.legs)[3].entryPrice, 10);
    EXPECT_DOUBLE_EQ(ev.total, -(40 + 30 + 35 + 10));
    EXPECT_EQ(ev.priceHeader, QStringLiteral("Bid/Ask"));
}

TEST(Evaluation, PriceColumnHeaderNamesTheSource)
{
    EXPECT_EQ(priceColumnHeader(PriceSource::Theoretical), QStringLiteral("Theoretical"));
    EXPECT_EQ(priceColumnHeader(PriceSource::LastSale), QStringLiteral("Last sale"));
    EXPECT_EQ(priceColumnHeader(PriceSource::BidAsk), QStringLiteral("Bid/Ask"));
    EXPECT_TRUE(priceColumnHeader(PriceSource::None).isEmpty());
}

TEST(Evaluation, ZeroLastSaleAddsNothingButChartsGetTheModelValue)
{
    Market m;
    m.call(kExp1, 100).setLastSale(money(0));
    ParamsCollection legs;
    legs.Add(LegKind::Call, LegPosition::Long, 0, 1, 3);
    const EvaluationInputs in = m.inputs(PriceSource::LastSale, 0);
    const Evaluation ev = EvaluateStrategy(legs, in);
    EXPECT_EQ(cellOf(ev.rows[0], Price).text, QStringLiteral("0.00"));
    EXPECT_EQ(cellOf(ev.rows[0], Total).text, QStringLiteral("0.00 debit "));
    EXPECT_EQ(ev.total, 0.0);
    const double model = modelCall(in, 100, kExp1);
    EXPECT_GT(model, 1.0);
    EXPECT_DOUBLE_EQ((*ev.legs)[0].legValue, model * 300);
    EXPECT_EQ((*ev.legs)[0].entryPrice, 0.0);
}

TEST(Evaluation, TheoreticalPriceUsesTheModelStepsAndDividendsPassedIn)
{
    Market m;
    ParamsCollection legs;
    legs.Add(LegKind::Put, LegPosition::Long, 2, 2, 1); // put 110, second expiration: deep in the money
    EvaluationInputs in = m.inputs(PriceSource::Theoretical, 0);
    in.interestPercent = 10;
    in.volatilityPercent = 20;
    const double T = DaysBetween(kStockDate, kExp2) / 365.0;

    in.pricing = PricingContext{PricingModel::BlackScholes, 1, 0};
    const double bs = EvaluateStrategy(legs, in).total;
    EXPECT_DOUBLE_EQ(bs, -100 * BlackScholesPut(100, 110, T, 0.10, 0.20));

    in.pricing = PricingContext{PricingModel::BinomialAmerican, 200, 0};
    const Evaluation american = EvaluateStrategy(legs, in);
    const double u = BinomialAmerican(-1, 100, 110, T, 0.10, 0.20, 0, 1, 200, PricingOutput::Value);
    EXPECT_DOUBLE_EQ(american.total, -100 * u);
    EXPECT_EQ(cellOf(american.rows[0], Price).text, QLocale(QLocale::English).toString(u, 'f', 2));
    // Early exercise is worth something here, so the models really differ.
    EXPECT_GT(u - BlackScholesPut(100, 110, T, 0.10, 0.20), 0.05);

    in.pricing = PricingContext{PricingModel::BinomialAmerican, 3, 0};
    EXPECT_DOUBLE_EQ(EvaluateStrategy(legs, in).total,
                     -100 * BinomialAmerican(-1, 100, 110, T, 0.10, 0.20, 0, 1, 3, PricingOutput::Value));
    EXPECT_NE(EvaluateStrategy(legs, in).total, american.total);

    // Dividends reach the American call.
    ParamsCollection call;
    call.Add(LegKind::Call, LegPosition::Long, 0, 2, 1);
    in.pricing = PricingContext{PricingModel::BinomialAmerican, 50, 0.06};
    EXPECT_DOUBLE_EQ(EvaluateStrategy(call, in).total,
                     -100 * BinomialAmerican(1, 100, 100, T, 0.10, 0.20, 0.06, 1, 50, PricingOutput::Value));
    in.pricing.dividends = 0;
    EXPECT_DOUBLE_EQ(EvaluateStrategy(call, in).total,
                     -100 * BinomialAmerican(1, 100, 100, T, 0.10, 0.20, 0, 1, 50, PricingOutput::Value));
}

TEST(Evaluation, ModelPriceIsTakenAtThePricingStockPrice)
{
    Market m;
    ParamsCollection legs;
    legs.Add(LegKind::Call, LegPosition::Short, 0, 1, 1);
    EvaluationInputs in = m.inputs(PriceSource::Theoretical, 0);
    in.calcStockPrice = 104; // the chain still resolves at the stock's price (100)
    const Evaluation ev = EvaluateStrategy(legs, in);
    EXPECT_EQ(cellOf(ev.rows[0], Strike).text, QStringLiteral("100.00"));
    EXPECT_DOUBLE_EQ(ev.total, 100 * modelCall(in, 100, kExp1));
    EXPECT_GT(modelCall(in, 100, kExp1), 4.0);
}

// ---------------------------------------------------------------------------
// Legs the chain does not hold.

TEST(Evaluation, MissingOptionShowsTheMessageRowAndAddsNothing)
{
    Market m;
    auto amexCalls = m.objStock->Calls()->ExchangeFilter(QStringLiteral("AMEX (American Stock Exchange)"));
    ASSERT_EQ(amexCalls->Count(), 0);
    ParamsCollection legs;
    legs.Add(LegKind::Put, LegPosition::Short, 0, 2, 1);  // resolves: 125 credit
    legs.Add(LegKind::Call, LegPosition::Long, 0, 2, 4);  // not on this exchange
    legs.Add(LegKind::Stock, LegPosition::Long, 0, 1, 1); // 100 debit
    EvaluationInputs in = m.inputs(PriceSource::LastSale, 0);
    in.calls = amexCalls.get();
    in.exchange = QStringLiteral("AMEX (American Stock Exchange)");
    const Evaluation ev = EvaluateStrategy(legs, in);

    ASSERT_EQ(ev.rows.size(), 5u);
    const EvalRow& missing = ev.rows[1];
    EXPECT_EQ(missing.kind, EvalRow::Missing);
    EXPECT_EQ(missing.group.text, QStringLiteral("data for AMEX (American Stock Exchange) not available now"));
    EXPECT_EQ(missing.group.align, CellAlign::Center);
    EXPECT_TRUE(missing.group.bold);
    EXPECT_EQ(missing.group.textColor, kRed);
    EXPECT_EQ(missing.swatchColor, 0xAAFF33u); // the long call's swatch stays
    for (int c = Position; c <= Total; ++c)
        EXPECT_TRUE(missing.cells[c].text.isEmpty()) << c;
    // Colours alternate over the message row.
    EXPECT_EQ(ev.rows[0].backColor, 0xFEFEFEu);
    EXPECT_EQ(missing.backColor, 0xF0F0F0u);
    EXPECT_EQ(ev.rows[2].backColor, 0xFEFEFEu);

    EXPECT_DOUBLE_EQ(ev.total, 125 - 100);
    EXPECT_EQ(ev.rows[3].group.text, QStringLiteral("Initial position price: 25.00 credit "));
    // No phantom leg: the row is in the arrays, unresolved and worth nothing.
    ASSERT_EQ(ev.legs->size(), 3u);
    const LegRow& leg = (*ev.legs)[1];
    EXPECT_FALSE(leg.resolved);
    EXPECT_EQ(leg.kind, LegKind::Call);
    EXPECT_EQ(leg.position, LegPosition::Long);
    EXPECT_EQ(leg.quantity, 4);
    EXPECT_EQ(leg.legValue, 0.0);
    EXPECT_EQ(leg.entryPrice, 0.0);
    EXPECT_EQ(leg.strike, Currency());
    EXPECT_EQ(leg.expiration, 0.0);
    EXPECT_TRUE(leg.code.isEmpty());
    EXPECT_EQ(ev.maxDate, kExp2);
}

TEST(Evaluation, ExpirationClassTheChainCannotMapIsMissing)
{
    // A chain of four expirations has nothing for the LEAPS classes.
    auto s = std::make_shared<stock>();
    s->setCode(QStringLiteral("ABC"));
    s->setPrice(money(50));
    s->setStockDate(kStockDate);
    for (int e = 0; e < 4; ++e)
        for (double k : {45.0, 50.0, 55.0})
            s->Calls()->Add(QStringLiteral("ABC %1 %2").arg(e).arg(k), money(k), kExp1 + 28 * e, "", money(1),
                            money(1.1), 1, 1, kCboe, money(1.05));
    ParamsCollection legs;
    legs.Add(LegKind::Call, LegPosition::Long, 0, 6, 1);
    legs.Add(LegKind::Put, LegPosition::Long, 0, 1, 1); // no puts at all
    EvaluationInputs in;
    in.objStock = s.get();
    in.calls = s->Calls().get();
    in.puts = s->Puts().get();
    in.calcStockPrice = 50;
    in.source = PriceSource::LastSale;
    in.exchange = kCboe;
    in.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    const Evaluation ev = EvaluateStrategy(legs, in);
    EXPECT_EQ(ev.rows[0].kind, EvalRow::Missing);
    EXPECT_EQ(ev.rows[1].kind, EvalRow::Missing);
    EXPECT_EQ(ev.total, 0.0);
    EXPECT_EQ(ev.maxDate, 0.0);
    EXPECT_EQ(ev.rows[2].group.text, QStringLiteral("Initial position price: 0.00 credit "));
}

TEST(Evaluation, LatestExpirationOfTheResolvedLegs)
{
    Market m;
    ParamsCollection legs;
    legs.Add(LegKind::Call, LegPosition::Long, 0, 2, 1);
    legs.Add(LegKind::Call, LegPosition::Short, 0, 1, 1);
    EXPECT_EQ(EvaluateStrategy(legs, m.inputs(PriceSource::LastSale, 0)).maxDate, kExp2);
    ParamsCollection stockOnly;
    stockOnly.Add(LegKind::Stock, LegPosition::Long, 0, 1, 100);
    EXPECT_EQ(EvaluateStrategy(stockOnly, m.inputs(PriceSource::LastSale, 0)).maxDate, 0.0);
}

// ---------------------------------------------------------------------------
// Number formats.

TEST(Evaluation, NumbersUseTheLocalesGroupingAndSeparator)
{
    Market m;
    m.call(kExp1, 100).setLastSale(money(0.35));
    ParamsCollection legs;
    legs.Add(LegKind::Stock, LegPosition::Long, 0, 1, 150);
    legs.Add(LegKind::Call, LegPosition::Long, 0, 1, 1);
    EvaluationInputs in = m.inputs(PriceSource::LastSale, 0);
    in.calcStockPrice = 100.5;
    Evaluation ev = EvaluateStrategy(legs, in);
    EXPECT_EQ(cellOf(ev.rows[0], Price).text, QStringLiteral("100.50"));
    EXPECT_EQ(cellOf(ev.rows[0], Total).text, QStringLiteral("15,075.00 debit "));
    EXPECT_EQ(cellOf(ev.rows[1], Price).text, QStringLiteral("0.35"));
    EXPECT_EQ(cellOf(ev.rows[1], Total).text, QStringLiteral("35.00 debit "));
    EXPECT_EQ(ev.rows[2].group.text, QStringLiteral("Initial position price: 15,110.00 debit "));

    in.locale = QLocale(QLocale::German, QLocale::Germany);
    ev = EvaluateStrategy(legs, in);
    EXPECT_EQ(cellOf(ev.rows[0], Price).text, QStringLiteral("100,50"));
    EXPECT_EQ(cellOf(ev.rows[0], Total).text, QStringLiteral("15.075,00 debit "));
    EXPECT_EQ(cellOf(ev.rows[1], Price).text, QStringLiteral("0,35"));
    EXPECT_EQ(cellOf(ev.rows[1], Strike).text, QStringLiteral("100,00"));
    // Expirations read "mmm yy": the three-letter month name, not the
    // abbreviation used inside a date ("Feb." or "Sept.").
    EXPECT_EQ(cellOf(ev.rows[1], Expiration).text, QStringLiteral("Feb 24"));
    ParamsCollection march;
    march.Add(LegKind::Put, LegPosition::Short, 0, 2, 1);
    EXPECT_EQ(cellOf(EvaluateStrategy(march, in).rows[0], Expiration).text, QStringLiteral("M\u00e4r 24"));
    EXPECT_EQ(ev.rows[2].group.text, QStringLiteral("Initial position price: 15.110,00 debit "));
}

TEST(Evaluation, SwatchColoursByKindAndPosition)
{
    EXPECT_EQ(legSwatchColor(LegKind::Call, LegPosition::Short), 0x33AAFFu);
    EXPECT_EQ(legSwatchColor(LegKind::Call, LegPosition::Long), 0xAAFF33u);
    EXPECT_EQ(legSwatchColor(LegKind::Put, LegPosition::Short), 0xAAAA33u);
    EXPECT_EQ(legSwatchColor(LegKind::Put, LegPosition::Long), 0xFFAA33u);
    EXPECT_EQ(legSwatchColor(LegKind::Stock, LegPosition::Short), 0x33AAAAu);
    EXPECT_EQ(legSwatchColor(LegKind::Stock, LegPosition::Long), 0x33FFAAu);
    EXPECT_EQ(legSwatchColor(4, LegPosition::Long), 0u);
    EXPECT_EQ(legSwatchColor(LegKind::Call, 3), 0u);
}

} // namespace
