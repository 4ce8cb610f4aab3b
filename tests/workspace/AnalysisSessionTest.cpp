// The main window's session without any widget: the pricing stock price, the
// refresh road with its announcements, the selection and the legs' edits.

#include "WorkspaceData.h"

#include "marketdata/QuoteTable.h"
#include "model/OptionsCollection.h"
#include "model/stock.h"
#include "workspace/AnalysisSession.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tw {
namespace {

const QString kCboe = QStringLiteral("CBOE (Chicago Board Options Exchange)");

std::shared_ptr<stock> quotedStock(double price, double bid, double ask)
{
    auto s = std::make_shared<stock>();
    s->setPrice(Currency::fromDouble(price));
    s->setBid(Currency::fromDouble(bid));
    s->setAsk(Currency::fromDouble(ask));
    return s;
}

// A session with the sample chain and library, "Bull spread" (T1S2)
// selected, priced by the model at the last sale.
struct Loaded {
    AnalysisSession session;
    Loaded()
    {
        session.setObjStock(marketdata::ParseQuoteTable(test::chainLines()).objStock);
        session.setLibrary(test::library());
        session.setExchange(kCboe);
        session.setModel(0);
        session.setCalculationMode(0);
        session.setPriceSource(PriceSource::Theoretical);
        session.setVolatility(40);
        session.setInterestRate(5);
        select(1, 2);
        session.SelectCalcStockPrice();
    }
    void select(int group, int strategy)
    {
        const auto g = session.library()->Item(group);
        if (strategy == 0)
            session.setSelection(QStringLiteral("T%1").arg(group), g, nullptr);
        else
            session.setSelection(QStringLiteral("T%1S%2").arg(group).arg(strategy), nullptr,
                                 g->Strategies()->Item(strategy));
    }
};

TEST(AnalysisSession, PricingStockPriceFollowsThePriceSourceAndIsNeverZero)
{
    AnalysisSession s;
    s.SelectCalcStockPrice();
    EXPECT_EQ(s.calcStockPrice(), 1e-06); // no chain

    s.setObjStock(quotedStock(20.25, 20.10, 20.30));
    s.setPriceSource(PriceSource::BidAsk);
    s.SelectCalcStockPrice();
    EXPECT_DOUBLE_EQ(s.calcStockPrice(), 20.2);
    s.setObjStock(quotedStock(3, 0, 10));
    s.SelectCalcStockPrice();
    EXPECT_DOUBLE_EQ(s.calcStockPrice(), 5); // a zero side is no special case
    s.setObjStock(quotedStock(3, 0, 0));
    s.SelectCalcStockPrice();
    EXPECT_EQ(s.calcStockPrice(), 1e-06);

    for (const PriceSource source : {PriceSource::LastSale, PriceSource::Theoretical, PriceSource::None}) {
        s.setPriceSource(source);
        s.setObjStock(quotedStock(0, 20.10, 20.30));
        s.SelectCalcStockPrice();
        EXPECT_EQ(s.calcStockPrice(), 1e-06);
        s.setObjStock(quotedStock(20.25, 20.10, 20.30));
        s.SelectCalcStockPrice();
        EXPECT_DOUBLE_EQ(s.calcStockPrice(), 20.25);
    }
}

TEST(AnalysisSession, NewStockTellsTheChartsThenEvaluatesTheFilteredChain)
{
    Loaded l;
    QStringList order;
    QObject::connect(&l.session, &AnalysisSession::calcStockPriceChanged, [&] { order << "price"; });
    QObject::connect(&l.session, &AnalysisSession::stockLoaded, [&] { order << "charts"; });
    Evaluation last;
    QObject::connect(&l.session, &AnalysisSession::evaluated, [&](const Evaluation& ev) {
        order << "evaluated";
        last = ev;
    });
    l.session.NewStockLoaded();
    EXPECT_EQ(order, (QStringList{"price", "charts", "evaluated"}));
    EXPECT_DOUBLE_EQ(l.session.calcStockPrice(), 100);
    // Only the CBOE's options pass the filter; both legs resolve.
    EXPECT_EQ(l.session.calls()->Count(), 10);
    EXPECT_EQ(l.session.puts()->Count(), 10);
    ASSERT_TRUE(last.legs.has_value());
    EXPECT_EQ(last.legs->size(), 2u);
    ASSERT_TRUE(l.session.chartLegs().has_value());
    EXPECT_EQ(l.session.chartLegs()->size(), last.legs->size());
    EXPECT_EQ(l.session.chartLegs()->front().code, last.legs->front().code);
    EXPECT_DOUBLE_EQ(l.session.startStrategyPrice(), last.total);
    EXPECT_LT(last.total, 0); // a call spread bought for a debit

    // An exchange no option carries empties both sides; the legs are still
    // evaluated (and reported as missing).
    l.session.setExchange(QStringLiteral("Other exchange"));
    l.session.UpdateLists();
    EXPECT_EQ(l.session.calls()->Count(), 0);
    EXPECT_EQ(l.session.puts()->Count(), 0);
    EXPECT_EQ(last.total, 0);
}

TEST(AnalysisSession, NothingToEvaluateClearsTheChartsInsteadOfEvaluating)
{
    Loaded l;
    QSignalSpy cleared(&l.session, &AnalysisSession::evaluationCleared);
    QSignalSpy evaluated(&l.session, &AnalysisSession::evaluated);
    l.select(2, 0); // the empty group
    l.session.UpdateLists();
    EXPECT_EQ(cleared.count(), 1);
    l.session.setSelection(QString(), nullptr, nullptr);
    l.session.UpdateLists();
    EXPECT_EQ(cleared.count(), 2);
    l.select(1, 1);
    l.session.setObjStock(nullptr);
    l.session.UpdateLists();
    EXPECT_EQ(cleared.count(), 3);
    EXPECT_EQ(evaluated.count(), 0);
}

TEST(AnalysisSession, SelectionReachesTheNodesLegsAndDescription)
{
    Loaded l;
    EXPECT_EQ(l.session.selectedKey(), QStringLiteral("T1S2"));
    EXPECT_EQ(l.session.selectedCaption(), QStringLiteral("Bull spread"));
    ASSERT_NE(l.session.selectedParams(), nullptr);
    EXPECT_EQ(l.session.selectedParams()->Count(), 2);

    l.select(1, 0);
    EXPECT_TRUE(l.session.groupSelected());
    EXPECT_EQ(l.session.selectedParams(), nullptr);
    QSignalSpy described(&l.session, &AnalysisSession::descriptionChanged);
    l.session.setSelectedDescription(QStringLiteral("{\\rtf1 Up.}"));
    EXPECT_EQ(l.session.library()->Item(1)->Description(), QStringLiteral("{\\rtf1 Up.}"));
    EXPECT_EQ(described.count(), 1);

    l.session.setSelection(QString(), nullptr, nullptr);
    l.session.setSelectedDescription(QStringLiteral("lost"));
    EXPECT_EQ(described.count(), 1); // nothing selected: nothing written
    EXPECT_FALSE(l.session.hasSelection());
}

TEST(AnalysisSession, LegEditsAreAnnouncedAndMarkTheLibraryUnsavedOnlyWhenAsked)
{
    Loaded l;
    QSignalSpy legs(&l.session, &AnalysisSession::legsChanged);
    l.session.legsEdited(false);
    EXPECT_EQ(legs.count(), 1);
    EXPECT_FALSE(l.session.strategiesChanged());
    l.session.legsEdited(true);
    EXPECT_TRUE(l.session.strategiesChanged());

    l.select(2, 0); // a group has no legs to edit
    l.session.setStrategiesChanged(false);
    l.session.legsEdited(true);
    EXPECT_EQ(legs.count(), 2);
    EXPECT_FALSE(l.session.strategiesChanged());
}

TEST(AnalysisSession, TickerSettingsComeBackWithoutTellingTheCharts)
{
    AnalysisSession s;
    QSignalSpy dividends(&s, &AnalysisSession::dividendsChanged);
    QSignalSpy restored(&s, &AnalysisSession::tickerSettingsRestored);
    s.restoreTickerSettings(35, 2.5);
    EXPECT_EQ(s.volatility(), 35);
    EXPECT_DOUBLE_EQ(s.dividends(), 0.025);
    EXPECT_EQ(restored.count(), 1);
    EXPECT_EQ(dividends.count(), 0);
    // Set through the box, the same value is announced again.
    s.setDividends(0.025);
    s.setDividends(0.025);
    EXPECT_EQ(dividends.count(), 2);
    EXPECT_EQ(s.pricingContext().dividends, 0.025);
}

TEST(AnalysisSession, CalculationModeCaptions)
{
    AnalysisSession s;
    EXPECT_EQ(s.calculationModeCaption(), QStringLiteral("Invalid mode"));
    s.setCalculationMode(0);
    EXPECT_EQ(s.calculationModeCaption(), QStringLiteral("Profit/Loss"));
    s.setCalculationMode(1);
    EXPECT_EQ(s.calculationModeCaption(), QStringLiteral("Position worth"));
    EXPECT_EQ(s.evaluationInputs().mode, 1);
}

} // namespace
} // namespace tw
