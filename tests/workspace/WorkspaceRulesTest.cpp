// The workspace's rules that need no window: what the pricing boxes accept,
// the texts of the template-leg grid, tree keys, the payoff sketch's shape
// and the plain text of a description.
#include "workspace/LegTexts.h"
#include "workspace/ParameterRules.h"
#include "workspace/PayoffSketch.h"
#include "workspace/TreeKeys.h"

#include <gtest/gtest.h>

using namespace tw;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(ParameterRules, NumbersAreReadByTheUsersLocale)
{
    EXPECT_EQ(boxNumber(QStringLiteral("45.5"), kEnglish), 45.5);
    EXPECT_EQ(boxNumber(QStringLiteral(" 12 "), kEnglish), 12.0);
    EXPECT_EQ(boxNumber(QStringLiteral("-3"), kEnglish), -3.0);
    EXPECT_EQ(boxNumber(QStringLiteral("45,5"), kGerman), 45.5);
    // The other locale's separator is not a number here (and never a
    // silently grouped 455).
    EXPECT_FALSE(boxNumber(QStringLiteral("45.5"), kGerman).has_value());
    EXPECT_FALSE(boxNumber(QStringLiteral("45,5"), kEnglish).has_value());
    for (const char* bad : {"", " ", "abc", "12abc", "inf", "nan", "1e400", "--1"}) {
        EXPECT_FALSE(boxNumber(QLatin1String(bad), kEnglish).has_value()) << bad;
        EXPECT_FALSE(boxNumber(QLatin1String(bad), kGerman).has_value()) << bad;
    }
}

TEST(ParameterRules, VolatilityAndRateRanges)
{
    EXPECT_TRUE(volatilityAccepted(0.1));
    EXPECT_TRUE(volatilityAccepted(199.9));
    EXPECT_FALSE(volatilityAccepted(0));
    EXPECT_FALSE(volatilityAccepted(-5));
    EXPECT_FALSE(volatilityAccepted(200));
    EXPECT_TRUE(rateAccepted(-3));
    EXPECT_TRUE(rateAccepted(0));
    EXPECT_TRUE(rateAccepted(25));
}

TEST(ParameterRules, StepsAreWholeNumbersHalvesToEven)
{
    struct Case {
        const char* text;
        StepsDecision::Kind kind;
        int steps;
    };
    const Case cases[] = {{"1", StepsDecision::Accept, 1},      {"50", StepsDecision::Accept, 50},
                          {"51", StepsDecision::Confirm, 51},    {"200", StepsDecision::Confirm, 200},
                          {"2.5", StepsDecision::Accept, 2},     {"3.5", StepsDecision::Accept, 4},
                          {"50.5", StepsDecision::Accept, 50},   {"0", StepsDecision::Refuse, 0},
                          {"0.4", StepsDecision::Refuse, 0},     {"201", StepsDecision::Refuse, 201},
                          {"-7", StepsDecision::Refuse, -7},     {"200.5", StepsDecision::Confirm, 200}};
    for (const Case& c : cases) {
        const StepsDecision d = decideSteps(QLatin1String(c.text), kEnglish);
        EXPECT_EQ(d.kind, c.kind) << c.text;
        EXPECT_EQ(d.steps, c.steps) << c.text;
    }
    EXPECT_EQ(decideSteps(QStringLiteral("abc"), kEnglish).kind, StepsDecision::Refuse);
    EXPECT_EQ(decideSteps(QStringLiteral("1e12"), kEnglish).kind, StepsDecision::Refuse);
    const StepsDecision german = decideSteps(QStringLiteral("3,5"), kGerman);
    EXPECT_EQ(german.kind, StepsDecision::Accept);
    EXPECT_EQ(german.steps, 4);
}

TEST(ParameterRules, EscapeTextIsTheAppliedValueWithoutNoise)
{
    EXPECT_EQ(escapeText(45, kEnglish), QStringLiteral("45"));
    EXPECT_EQ(escapeText(0, kEnglish), QStringLiteral("0"));
    EXPECT_EQ(escapeText(0.025 * 100, kEnglish), QStringLiteral("2.5"));
    EXPECT_EQ(escapeText(7.0 / 100 * 100, kEnglish), QStringLiteral("7"));
    EXPECT_EQ(escapeText(1234.5, kEnglish), QStringLiteral("1234.5")); // no grouping: it must read back
    EXPECT_EQ(escapeText(0.025 * 100, kGerman), QStringLiteral("2,5"));
    EXPECT_EQ(escapeText(1234.5, kGerman), QStringLiteral("1234,5"));
    // What Escape puts back is accepted again as the same value.
    for (double v : {45.0, 2.5, 1234.5, 0.1, 199.9}) {
        EXPECT_EQ(boxNumber(escapeText(v, kGerman), kGerman), v);
        EXPECT_EQ(boxNumber(escapeText(v, kEnglish), kEnglish), v);
    }
}

TEST(ParameterRules, TickerIsTheCodeUpToItsFirstBlank)
{
    EXPECT_EQ(tickerOfCode(QStringLiteral("MSFT (MICROSOFT CP)")), QStringLiteral("MSFT"));
    EXPECT_EQ(tickerOfCode(QStringLiteral("QQQ")), QStringLiteral("QQQ"));
    EXPECT_EQ(tickerOfCode(QString()), QString());
}

TEST(LegTexts, StrikeOffsetWordsMirrorBetweenCallsAndPuts)
{
    EXPECT_EQ(strikeOffsetText(2, 3), QStringLiteral("OTM (+3)"));
    EXPECT_EQ(strikeOffsetText(1, 3), QStringLiteral("ITM (+3)"));
    EXPECT_EQ(strikeOffsetText(1, -2), QStringLiteral("OTM (-2)"));
    EXPECT_EQ(strikeOffsetText(2, -1), QStringLiteral("ITM (-1)"));
    EXPECT_EQ(strikeOffsetText(2, 0), QStringLiteral("ATM (0)"));
    EXPECT_EQ(strikeOffsetText(1, 0), QStringLiteral("ATM (0)"));
    EXPECT_EQ(strikeOffsetText(2, -10), QStringLiteral("ITM (-10)"));
    EXPECT_TRUE(strikeOffsetText(3, 2).isEmpty());
    EXPECT_TRUE(strikeOffsetText(0, 2).isEmpty());
}

TEST(LegTexts, KindPositionClassAndSketchCode)
{
    EXPECT_EQ(positionText(1), QStringLiteral("Short"));
    EXPECT_EQ(positionText(2), QStringLiteral("Long"));
    EXPECT_TRUE(positionText(3).isEmpty());
    EXPECT_EQ(kindText(1), QStringLiteral("Put"));
    EXPECT_EQ(kindText(2), QStringLiteral("Call"));
    EXPECT_EQ(kindText(3), QStringLiteral("Stock"));
    EXPECT_TRUE(kindText(0).isEmpty());
    const char* names[] = {"Near term 1", "Near term 2", "Long term 1", "Long term 2",
                           "Long term 3", "LEAPS 1y",    "LEAPS 2y"};
    for (int c = 1; c <= 7; ++c)
        EXPECT_EQ(expirationClassText(c), QLatin1String(names[c - 1]));
    EXPECT_EQ(expirationClassText(0), QStringLiteral("ERR"));
    EXPECT_EQ(expirationClassText(8), QStringLiteral("ERR"));
    EXPECT_EQ(sketchCode(1, 1), 1); // short put
    EXPECT_EQ(sketchCode(1, 2), 2);
    EXPECT_EQ(sketchCode(2, 1), 3);
    EXPECT_EQ(sketchCode(2, 2), 4); // long call
    EXPECT_EQ(sketchCode(3, 1), 5);
    EXPECT_EQ(sketchCode(3, 2), 6); // long stock
    EXPECT_EQ(sketchCode(4, 1), 0);
    EXPECT_EQ(sketchCode(2, 0), 0);
}

TEST(TreeKeys, KeysAreGroupAndStrategyPositions)
{
    EXPECT_EQ(groupKey(3), QStringLiteral("T3"));
    EXPECT_EQ(strategyKey(3, 12), QStringLiteral("T3S12"));
    EXPECT_EQ(GetTypeIndex(QStringLiteral("T3S12")), 3);
    EXPECT_EQ(GetItemIndex(QStringLiteral("T3S12")), 12);
    EXPECT_EQ(GetTypeIndex(QStringLiteral("T3")), 3);
    EXPECT_EQ(GetItemIndex(QStringLiteral("T3")), -1); // a group node
    for (const char* bad : {"", "S1", "T", "TS1", "T1S", "X1S1", "T1S1x", "t1s1"}) {
        EXPECT_EQ(GetItemIndex(QLatin1String(bad)), -1) << bad;
    }
    EXPECT_EQ(GetTypeIndex(QStringLiteral("S1")), -1);
    EXPECT_EQ(GetTypeIndex(QStringLiteral("T99999999999")), -1); // does not fit
}

TEST(PayoffSketch, ShapeOfCommonStrategies)
{
    // Long call at the money: flat to the strike, then rising one to one.
    const QList<std::pair<int, int>> longCall{{4, 0}};
    EXPECT_EQ(sketchPayoff(longCall, -3), 0.0);
    EXPECT_EQ(sketchPayoff(longCall, 2), 2.0);
    // Bull call spread +0/-2: capped at 2.
    const QList<std::pair<int, int>> spread{{4, 0}, {3, 2}};
    EXPECT_EQ(sketchPayoff(spread, 5), 2.0);
    EXPECT_EQ(sketchPayoff(spread, 1), 1.0);
    // Short straddle: a tent below zero away from the strike.
    const QList<std::pair<int, int>> straddle{{1, 0}, {3, 0}};
    EXPECT_EQ(sketchPayoff(straddle, 0), 0.0);
    EXPECT_EQ(sketchPayoff(straddle, -3), -3.0);
    EXPECT_EQ(sketchPayoff(straddle, 3), -3.0);
    // Covered call: long stock, short call above.
    const QList<std::pair<int, int>> covered{{6, 0}, {3, 1}};
    EXPECT_EQ(sketchPayoff(covered, -2), -2.0);
    EXPECT_EQ(sketchPayoff(covered, 4), 1.0);
    // Unknown codes draw nothing.
    EXPECT_EQ(sketchPayoff({{9, 0}}, 4), 0.0);
}

} // namespace
