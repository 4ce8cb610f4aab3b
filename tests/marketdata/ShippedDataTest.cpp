// The files shipped in data/: the strategy library and the sample chain load
// without a complaint, the chain looks like a real quote table (seven
// expirations, about twenty strikes each, several exchanges, a market
// around a Black-Scholes price), and every option leg of every shipped
// strategy finds its option in the chain as the program filters it.
#include "app/Convert.h"
#include "marketdata/QuoteTable.h"
#include "model/Evaluation.h"
#include "model/OptionsCollection.h"
#include "model/StrategiesFile.h"
#include "model/statmath.h"
#include "model/stock.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace tw;

namespace {

QString shipped(const char* name)
{
    return QDir(QStringLiteral(TW_DATA_DIR)).filePath(QLatin1String(name));
}

// The exchange box starts on its first entry (setting "Exchange" 0), the
// CBOE, and the evaluation sees the chain filtered by its text.
const QString kDefaultExchange = QStringLiteral("CBOE (Chicago Board Options Exchange)");

// The interest rate the program starts with (setting "Interest", 5 percent).
constexpr double kRate = 0.05;

class ShippedData : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        library = readStrategiesFile(shipped("DEFAULT.STG"));
        const auto parsed = marketdata::ParseQuoteTable(marketdata::readOptionChainFile(shipped("SAMPLE.opt")));
        warnings = parsed.warnings;
        chain = parsed.objStock;
    }
    static void TearDownTestSuite()
    {
        library.reset();
        chain.reset();
    }

    static inline std::shared_ptr<StrategyTypeCollection> library;
    static inline std::shared_ptr<stock> chain;
    static inline QStringList warnings;
};

double years(const stock& s, const OptionItem& o)
{
    return DaysBetween(s.StockDate(), o.ExpirationDate()) / 365.0;
}

double mid(const OptionItem& o)
{
    return (o.Bid() + o.Ask()).toDouble() / 2.0;
}

// The volatility at which Black-Scholes gives `price` (bisection).
double impliedVolatility(bool call, double S, double K, double T, double price)
{
    double low = 0.01;
    double high = 3.0;
    for (int i = 0; i < 100; ++i) {
        const double m = (low + high) / 2.0;
        const double p = call ? BlackScholesCall(S, K, T, kRate, m) : BlackScholesPut(S, K, T, kRate, m);
        (p < price ? low : high) = m;
    }
    return (low + high) / 2.0;
}

} // namespace

TEST_F(ShippedData, LoadWithoutWarnings)
{
    ASSERT_NE(library, nullptr);
    ASSERT_NE(chain, nullptr);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(chain->Code(), QStringLiteral("ZYX (ZYXON SYSTEMS INC)"));
    EXPECT_EQ(dateFromSerial(chain->StockDate()), QDate(2007, 3, 19));
    EXPECT_GT(chain->Bid().raw(), 0);
    EXPECT_LE(chain->Bid(), chain->Price());
    EXPECT_GE(chain->Ask(), chain->Price());
}

TEST_F(ShippedData, ChainFileEndsEveryLineWithCrLf)
{
    QFile f(shipped("SAMPLE.opt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
}

TEST_F(ShippedData, LibraryHasTheUsualGroupsEachWithDescribedStrategies)
{
    QStringList groups;
    for (const auto& g : *library)
        groups << g->Caption();
    for (const char* expected : {"Single options", "Vertical spreads", "Straddles and strangles",
                                 "Butterflies and condors", "Calendar spreads", "Covered and protective positions",
                                 "Ratio spreads"})
        EXPECT_TRUE(groups.contains(QLatin1String(expected))) << expected;

    std::set<int> classes;
    bool stockLeg = false;
    for (const auto& g : *library) {
        EXPECT_TRUE(g->Description().startsWith(QLatin1String("{\\rtf1\\ansi"))) << g->Caption().toStdString();
        EXPECT_GE(g->Strategies()->Count(), 4) << g->Caption().toStdString();
        for (const auto& s : *g->Strategies()) {
            EXPECT_TRUE(s->Description().startsWith(QLatin1String("{\\rtf1\\ansi")) && s->Description().endsWith('}'))
                << s->Caption().toStdString();
            EXPECT_EQ(s->Description().count(QLatin1Char('{')), s->Description().count(QLatin1Char('}')));
            ASSERT_GT(s->Params()->Count(), 0) << s->Caption().toStdString();
            for (const auto& leg : *s->Params()) {
                EXPECT_TRUE(leg->ItemType() >= LegKind::Put && leg->ItemType() <= LegKind::Stock);
                EXPECT_TRUE(leg->Position() == LegPosition::Short || leg->Position() == LegPosition::Long);
                EXPECT_GT(leg->Quantity(), 0);
                if (leg->ItemType() == LegKind::Stock) {
                    stockLeg = true;
                    EXPECT_EQ(leg->Quantity() % 100, 0) << "stock legs are whole lots";
                } else {
                    EXPECT_LE(std::abs(leg->StrikePrice()), 10);
                    classes.insert(leg->ExpireDate());
                }
            }
        }
    }
    EXPECT_TRUE(stockLeg);
    // Every expiration class is used by some strategy.
    EXPECT_EQ(classes, (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(ShippedData, ChainHasSevenExpirationsOfAboutTwentyStrikesOnSeveralExchanges)
{
    for (const auto& side : {chain->Calls(), chain->Puts()}) {
        const auto cboe = side->ExchangeFilter(kDefaultExchange);
        std::map<double, QSet<int64_t>> strikes;
        QSet<QString> exchanges;
        for (const auto& o : *side) {
            exchanges.insert(o->StockExchange());
            EXPECT_GT(o->ExpirationDate(), chain->StockDate());
        }
        for (const auto& o : *cboe)
            strikes[o->ExpirationDate()].insert(o->StrikePrice().raw());
        EXPECT_GE(strikes.size(), 7u);
        for (const auto& [date, set] : strikes) {
            EXPECT_GE(set.size(), 18) << dateFromSerial(date).toString().toStdString();
            EXPECT_LE(set.size(), 25);
            const QDate d = dateFromSerial(date);
            EXPECT_EQ(d.dayOfWeek(), 6);
            EXPECT_GE(d.day(), 16);
            EXPECT_LE(d.day(), 22);
        }
        for (const QChar letter : {'E', 'A', 'X', 'P', '8'})
            EXPECT_TRUE(exchanges.contains(marketdata::exchangeName(letter, true))) << letter.toLatin1();
        EXPECT_EQ(exchanges.size(), 5);
    }
}

TEST_F(ShippedData, MarketsSurroundBlackScholesPrices)
{
    const double S = chain->Price().toDouble();
    // Calls and puts of one line share strike and expiration: pair them up.
    std::map<std::pair<double, int64_t>, std::pair<const OptionItem*, const OptionItem*>> pairs;
    const auto cboeCalls = chain->Calls()->ExchangeFilter(kDefaultExchange);
    const auto cboePuts = chain->Puts()->ExchangeFilter(kDefaultExchange);
    for (const auto& o : *cboeCalls)
        pairs[{o->ExpirationDate(), o->StrikePrice().raw()}].first = o.get();
    for (const auto& o : *cboePuts)
        pairs[{o->ExpirationDate(), o->StrikePrice().raw()}].second = o.get();

    int checkedVolatilities = 0;
    std::map<double, std::pair<double, double>> previous; // per expiration: last call mid, last put mid
    for (const auto& [key, pair] : pairs) {
        ASSERT_NE(pair.first, nullptr);
        ASSERT_NE(pair.second, nullptr);
        const double K = key.second / 10000.0;
        const double T = years(*chain, *pair.first);
        for (const OptionItem* o : {pair.first, pair.second}) {
            const bool call = o == pair.first;
            EXPECT_GE(o->Bid().raw(), 0);
            EXPECT_GT(o->Ask(), o->Bid()) << o->Code().toStdString();
            // At least the value of exercising now, at most the stock or strike.
            const double intrinsic = call ? S - K * std::exp(-kRate * T) : K * std::exp(-kRate * T) - S;
            EXPECT_GE(o->Ask().toDouble(), intrinsic - 0.01) << o->Code().toStdString();
            EXPECT_LE(o->Bid().toDouble(), call ? S : K) << o->Code().toStdString();
            if (o->Bid().toDouble() >= 0.5 && mid(*o) - std::max(0.0, intrinsic) >= 0.25) {
                const double iv = impliedVolatility(call, S, K, T, mid(*o));
                EXPECT_GT(iv, 0.25) << o->Code().toStdString();
                EXPECT_LT(iv, 0.90) << o->Code().toStdString();
                ++checkedVolatilities;
            }
        }
        // Put-call parity within the two spreads.
        const double parity = S - K * std::exp(-kRate * T);
        const double slack = ((pair.first->Ask() - pair.first->Bid()).toDouble()
                              + (pair.second->Ask() - pair.second->Bid()).toDouble()) / 2.0 + 0.05;
        EXPECT_NEAR(mid(*pair.first) - mid(*pair.second), parity, slack) << pair.first->Code().toStdString();
        // Calls get cheaper and puts dearer as the strike rises.
        const auto it = previous.find(key.first);
        if (it != previous.end()) {
            EXPECT_LE(mid(*pair.first), it->second.first) << pair.first->Code().toStdString();
            EXPECT_GE(mid(*pair.second), it->second.second) << pair.second->Code().toStdString();
        }
        previous[key.first] = {mid(*pair.first), mid(*pair.second)};
    }
    EXPECT_GT(checkedVolatilities, 100);
}

TEST_F(ShippedData, EveryOptionLegResolvesAgainstTheDefaultFilteredChain)
{
    const auto calls = chain->Calls()->ExchangeFilter(kDefaultExchange);
    const auto puts = chain->Puts()->ExchangeFilter(kDefaultExchange);
    const std::vector<double> expirations = calls->ExpirationList();
    ASSERT_EQ(expirations.size(), 7u);
    ASSERT_EQ(puts->ExpirationList(), expirations);
    int legs = 0;
    for (const auto& g : *library) {
        for (const auto& s : *g->Strategies()) {
            for (const auto& leg : *s->Params()) {
                if (leg->ItemType() == LegKind::Stock)
                    continue;
                const auto& side = leg->ItemType() == LegKind::Call ? calls : puts;
                const auto option =
                    side->SelectOption(chain->Price(), chain->StockDate(), leg->ExpireDate(), leg->StrikePrice());
                ASSERT_NE(option, nullptr) << s->Caption().toStdString();
                ++legs;
                // The leg gets the expiration its class names and the strike
                // its offset names, not the nearest one at the edge of the chain.
                EXPECT_EQ(option->ExpirationDate(), expirations.at(leg->ExpireDate() - 1)) << s->Caption().toStdString();
                int16_t offset = 99;
                int16_t cls = 0;
                side->ItemToParams(side->ItemIndex(option->StrikePrice(), option->ExpirationDate()), chain->Price(),
                                   offset, cls);
                EXPECT_EQ(offset, leg->StrikePrice()) << s->Caption().toStdString();
                EXPECT_EQ(cls, leg->ExpireDate()) << s->Caption().toStdString();
            }
        }
    }
    EXPECT_GT(legs, 80);
}

TEST_F(ShippedData, EveryStrategyEvaluatesOnEveryExchangeWithoutMissingData)
{
    for (const QChar letter : {'E', 'A', 'X', 'P', '8'}) {
        const QString exchange = marketdata::exchangeName(letter, true);
        const auto calls = chain->Calls()->ExchangeFilter(exchange);
        const auto puts = chain->Puts()->ExchangeFilter(exchange);
        for (const PriceSource source : {PriceSource::Theoretical, PriceSource::LastSale, PriceSource::BidAsk}) {
            EvaluationInputs in;
            in.objStock = chain.get();
            in.calls = calls.get();
            in.puts = puts.get();
            in.calcStockPrice = chain->Price().toDouble();
            in.source = source;
            in.volatilityPercent = 45;
            in.interestPercent = kRate * 100;
            in.exchange = exchange;
            for (const auto& g : *library) {
                for (const auto& s : *g->Strategies()) {
                    const Evaluation ev = EvaluateStrategy(*s->Params(), in);
                    for (const EvalRow& row : ev.rows)
                        EXPECT_NE(row.kind, EvalRow::Missing) << s->Caption().toStdString() << " on "
                                                              << exchange.toStdString();
                    EXPECT_TRUE(std::isfinite(ev.total));
                    ASSERT_TRUE(ev.legs.has_value());
                    ASSERT_EQ(ev.legs->size(), static_cast<size_t>(s->Params()->Count()));
                    for (const auto& leg : *ev.legs)
                        EXPECT_TRUE(leg.resolved) << s->Caption().toStdString();
                }
            }
        }
    }
}
