// The option chain: at-the-money strike, strike lists, the mapping of leg
// templates (expiration class, strike offset) onto the loaded chain and back.
#include "model/OptionsCollection.h"
#include "model/stock.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

using namespace tw;

namespace {

Currency money(double v)
{
    return Currency::fromDouble(v);
}

struct Expiry {
    double date;
    std::vector<double> strikes;
};

std::shared_ptr<OptionsCollection> chain(const std::vector<Expiry>& expiries, const QString& exchange = "CBOE")
{
    auto side = std::make_shared<OptionsCollection>();
    for (const Expiry& e : expiries) {
        for (double k : e.strikes)
            side->Add(QStringLiteral("X %1 %2").arg(e.date).arg(k), money(k), e.date, "+0.10", money(1), money(1.2),
                      10, 100, exchange, money(1.1));
    }
    return side;
}

// A chain of `n` expirations 30 days apart with strikes 80..120 in steps of 5;
// each later expiration also lists 125 so strike lists differ.
std::shared_ptr<OptionsCollection> standardChain(int n)
{
    std::vector<Expiry> expiries;
    for (int e = 1; e <= n; ++e) {
        std::vector<double> strikes;
        for (double k = 80; k <= 120; k += 5)
            strikes.push_back(k);
        for (int extra = 1; extra < e; ++extra)
            strikes.push_back(120 + 5 * extra);
        expiries.push_back({38000.0 + 30 * e, strikes});
    }
    return chain(expiries);
}

std::vector<int32_t> offsets(const std::vector<StrikeRow>& rows)
{
    std::vector<int32_t> out;
    for (const StrikeRow& r : rows)
        out.push_back(r.offset);
    return out;
}

} // namespace

TEST(OptionsCollection, AtTheMoneyTiesGoToTheHigherStrike)
{
    auto side = chain({{38100, {95, 100, 105}}});
    const auto rows = side->StrikeList(money(102.5), 1);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(offsets(rows), (std::vector<int32_t>{-2, -1, 0}));
    EXPECT_EQ(rows[1], (StrikeRow{money(100), -1, 1}));

    // Above the highest strike, below the lowest, and exactly on one.
    EXPECT_EQ(offsets(side->StrikeList(money(500), 1)), (std::vector<int32_t>{-2, -1, 0}));
    EXPECT_EQ(offsets(side->StrikeList(money(1), 1)), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(offsets(side->StrikeList(money(100), 1)), (std::vector<int32_t>{-1, 0, 1}));
    EXPECT_EQ(offsets(side->StrikeList(money(102.4999), 1)), (std::vector<int32_t>{-1, 0, 1}));
}

TEST(OptionsCollection, DuplicateStrikesCollapseToTheirFirstOption)
{
    auto side = chain({{38100, {90, 95, 95, 100, 105, 105}}, {38130, {95, 100}}});
    const auto rows = side->StrikeList(money(96), 1);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], (StrikeRow{money(95), 0, 1}));
    EXPECT_EQ(rows[3], (StrikeRow{money(105), 2, 4}));

    EXPECT_EQ(side->SelectOption(money(96), 0, 1, 0), side->Item(2));
    // Beyond the highest offset: the first option of the highest strike, not
    // a position counted from the number of distinct strikes.
    EXPECT_EQ(side->SelectOption(money(96), 0, 1, 9), side->Item(5));
    EXPECT_EQ(side->SelectOption(money(96), 0, 1, -9), side->Item(1));
    // The second expiration is a range of its own.
    EXPECT_EQ(side->SelectOption(money(96), 0, 2, 1), side->Item(8));

    // The second of two equal strikes goes back to the first.
    int16_t strike = 0, expiration = 0;
    side->ItemToParams(3, money(96), strike, expiration);
    EXPECT_EQ(strike, 0);
    EXPECT_EQ(expiration, 1);
    EXPECT_EQ(side->SelectOption(money(96), 0, expiration, strike), side->Item(2));
}

TEST(OptionsCollection, ExpirationClassesMapOntoTheChain)
{
    // For each number of expirations: the chain expiration of classes 1..7
    // (0: no option).
    const std::vector<std::pair<int, std::array<int, 7>>> table = {
        {1, {1, 0, 0, 0, 0, 0, 0}}, {2, {1, 2, 0, 0, 0, 0, 0}}, {3, {1, 2, 3, 0, 0, 0, 0}},
        {4, {1, 2, 3, 4, 4, 0, 0}}, {5, {1, 2, 3, 4, 5, 0, 0}}, {6, {1, 2, 3, 4, 4, 5, 6}},
        {7, {1, 2, 3, 4, 5, 6, 7}}, {8, {1, 2, 3, 4, 5, 6, 7}}, {10, {1, 2, 3, 4, 5, 6, 7}},
    };
    for (const auto& [n, expected] : table) {
        auto side = standardChain(n);
        const auto dates = side->ExpirationList();
        ASSERT_EQ(static_cast<int>(dates.size()), std::min(n, 7)) << n;
        for (int cls = 1; cls <= 7; ++cls) {
            const auto option = side->SelectOption(money(101), 0, cls, 0);
            const int e = expected[static_cast<size_t>(cls - 1)];
            if (e == 0) {
                EXPECT_EQ(option, nullptr) << n << " expirations, class " << cls;
                continue;
            }
            ASSERT_NE(option, nullptr) << n << " expirations, class " << cls;
            EXPECT_EQ(option->ExpirationDate(), dates[static_cast<size_t>(e - 1)]) << n << "/" << cls;
            EXPECT_EQ(option->StrikePrice(), money(100));
        }
        EXPECT_EQ(side->SelectOption(money(101), 0, 0, 0), nullptr);
        EXPECT_EQ(side->SelectOption(money(101), 0, 8, 0), nullptr);
    }
}

TEST(OptionsCollection, TheSeventhClassHoldsTheSeventhExpirationOnly)
{
    auto side = standardChain(9); // expirations 8 and 9 list strikes up to 160
    const auto rows = side->StrikeList(money(100), 7);
    EXPECT_EQ(rows.back().strike, money(150));
    EXPECT_EQ(side->StrikeList(money(100), 99), rows); // at or above the count: the last indexed
    const auto highest = side->SelectOption(money(100), 0, 7, 99);
    ASSERT_NE(highest, nullptr);
    EXPECT_EQ(highest->StrikePrice(), money(150));
    EXPECT_EQ(highest->ExpirationDate(), 38000.0 + 30 * 7);
}

TEST(OptionsCollection, ItemToParamsInvertsSelectOption)
{
    for (int n : {4, 6, 7, 8}) {
        auto side = standardChain(n);
        const auto dates = side->ExpirationList();
        for (double price : {79.0, 97.5, 100.0, 112.5, 160.0}) {
            for (int32_t item = 1; item <= side->Count(); ++item) {
                int16_t strike = 99;
                int16_t expiration = 99;
                side->ItemToParams(item, money(price), strike, expiration);
                const auto& option = side->Item(item);
                if (std::find(dates.begin(), dates.end(), option->ExpirationDate()) == dates.end()) {
                    EXPECT_EQ(expiration, -1); // an eighth expiration is not indexed
                    EXPECT_EQ(strike, 99);
                    continue;
                }
                if (n == 4 || n == 6) {
                    EXPECT_NE(expiration, 5) << "class 5 is never produced with " << n;
                }
                EXPECT_EQ(side->SelectOption(money(price), 0, expiration, strike), option)
                    << n << " expirations, price " << price << ", item " << item;
            }
        }
    }
    // With six expirations the fifth becomes class 6 (and the sixth class 7).
    auto six = standardChain(6);
    int16_t strike = 0, expiration = 0;
    six->ItemToParams(4 * 9 + 1 + 2 + 3 + 1, money(100), strike, expiration); // first option of expiration 5
    EXPECT_EQ(expiration, 6);
    EXPECT_EQ(strike, -4);
}

TEST(OptionsCollection, SmallAndEmptyChains)
{
    OptionsCollection empty;
    EXPECT_EQ(empty.SelectOption(money(100), 0, 1, 0), nullptr);
    EXPECT_EQ(empty.ItemIndex(money(100), 38100), -1);
    EXPECT_EQ(test::errorNumberOf([&] { empty.StrikeList(money(100), 1); }), ComponentFailureNumber);
    EXPECT_EQ(test::errorNumberOf([&] { empty.ExpirationList(); }), ComponentFailureNumber);

    auto one = chain({{38100, {100}}});
    for (int cls : {1, 5, 7})
        for (int offset : {-10, 0, 10})
            EXPECT_EQ(one->SelectOption(money(50), 0, cls, offset), one->Item(1));
}

TEST(OptionsCollection, ItemIndexAndExchangeFilter)
{
    auto side = chain({{38100, {95, 100, 100}}, {38130, {100}}});
    auto other = chain({{38100, {100}}}, "PHLX");
    side->AddItem(other->Item(1));
    EXPECT_EQ(side->ItemIndex(money(100), 38100), 2);
    EXPECT_EQ(side->ItemIndex(money(100), 38130), 4);
    EXPECT_EQ(side->ItemIndex(money(100), 38130.5), -1);
    EXPECT_EQ(side->ItemIndex(money(100.0001), 38100), -1);

    auto cboe = side->ExchangeFilter("CBOE");
    ASSERT_EQ(cboe->Count(), 4);
    for (int32_t i = 1; i <= 4; ++i)
        EXPECT_EQ(cboe->Item(i), side->Item(i)); // the same objects
    auto phlx = side->ExchangeFilter("PHLX");
    ASSERT_EQ(phlx->Count(), 1);
    EXPECT_EQ(phlx->Item(1), other->Item(1));
    EXPECT_EQ(side->ExchangeFilter("phlx")->Count(), 0);
    EXPECT_EQ(side->ExchangeFilter("")->Count(), 0);
}

TEST(OptionsCollection, AddingAfterASearchRebuildsTheIndex)
{
    auto side = chain({{38100, {95, 100}}});
    ASSERT_EQ(side->ExpirationList().size(), 1u);
    side->Add("late", money(100), 38130, "", money(0), money(0), 0, 0, "CBOE", money(0));
    EXPECT_EQ(side->ExpirationList(), (std::vector<double>{38100, 38130}));
    side->Remove(3);
    EXPECT_EQ(side->ExpirationList(), (std::vector<double>{38100}));
}

TEST(OptionsCollection, FailuresAreComponentFailures)
{
    auto side = chain({{38100, {95, 100}}});
    try {
        side->Item(3);
        FAIL() << "no error";
    } catch (const TwError& e) {
        EXPECT_EQ(e.number(), ComponentFailureNumber);
        EXPECT_EQ(e.source(), QStringLiteral("Tarnwell.OptionsCollection.Item"));
        EXPECT_EQ(e.description(), QStringLiteral("OptionsCollection component failure"));
    }
    int16_t strike = 0, expiration = 0;
    EXPECT_EQ(test::errorNumberOf([&] { side->ItemToParams(0, money(1), strike, expiration); }),
              ComponentFailureNumber);
    EXPECT_EQ(test::errorNumberOf([&] { side->StrikeList(money(1), 0); }), ComponentFailureNumber);

    stock s;
    ASSERT_NE(s.Calls(), nullptr);
    ASSERT_NE(s.Puts(), s.Calls());
    try {
        s.setCalls(nullptr);
        FAIL() << "no error";
    } catch (const TwError& e) {
        EXPECT_EQ(e.source(), QStringLiteral("Tarnwell.Stock.Calls"));
        EXPECT_EQ(e.description(), QStringLiteral("Stock component failure"));
    }
    EXPECT_NE(s.Calls(), nullptr);
}
