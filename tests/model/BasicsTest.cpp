// Money, the generic collection and the Windows-1252 codec.
#include "model/Collection.h"
#include "model/Currency.h"
#include "model/Windows1252.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>
#include <limits>

using namespace tw;

TEST(Currency, ParsesExactlyAndRoundsHalfToEven)
{
    const std::pair<const char*, int64_t> good[] = {
        {"12.5", 125000},     {"-0.0375", -375},     {" 100 ", 1000000}, {"+7", 70000},
        {".5", 5000},         {"1.23455", 12346},    {"1.23445", 12344}, {"1.234451", 12345},
        {"0.00005", 0},       {"0.00015", 2},        {"95.50", 955000},  {"922337203685477.5807", INT64_MAX},
    };
    for (const auto& [text, raw] : good) {
        const auto c = Currency::parse(QString::fromLatin1(text));
        ASSERT_TRUE(c.has_value()) << text;
        EXPECT_EQ(c->raw(), raw) << text;
    }
    for (const char* bad : {"", " ", "abc", "1.2.3", "1e3", "+", "-", "12,5", "922337203685477.5808", "١٢"})
        EXPECT_FALSE(Currency::parse(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(Currency, DoublesTextAndArithmetic)
{
    EXPECT_EQ(Currency::fromDouble(95.5), *Currency::parse(QStringLiteral("95.5")));
    EXPECT_EQ(Currency::fromDouble(0.1 + 0.2).raw(), 3000);
    EXPECT_EQ(Currency::fromDouble(-2.00005).raw(), -20000); // half to even
    EXPECT_EQ(test::errorNumberOf([] { Currency::fromDouble(std::numeric_limits<double>::quiet_NaN()); }), RunTime::Overflow);
    EXPECT_EQ(test::errorNumberOf([] { Currency::fromDouble(1e16); }), RunTime::Overflow);
    EXPECT_EQ(test::errorNumberOf([] { (void)(Currency::fromRaw(INT64_MAX) + Currency::fromRaw(1)); }), RunTime::Overflow);

    EXPECT_EQ(Currency::fromRaw(125000).toString(), QStringLiteral("12.5"));
    EXPECT_EQ(Currency::fromRaw(-1).toString(), QStringLiteral("-0.0001"));
    EXPECT_EQ(Currency::fromRaw(1000000).toString(), QStringLiteral("100"));
    EXPECT_EQ(Currency().toString(), QStringLiteral("0"));
    EXPECT_EQ(Currency::fromRaw(INT64_MIN).toString(), QStringLiteral("-922337203685477.5808"));

    const Currency a = Currency::fromDouble(100), b = Currency::fromDouble(102.5);
    EXPECT_LT(a, b);
    EXPECT_EQ(absDifference(a, b), absDifference(b, a));
    EXPECT_EQ(absDifference(a, b).raw(), 25000);
    EXPECT_DOUBLE_EQ((b - a).toDouble(), 2.5);
}

namespace {
struct Thing {
    int id;
};
std::shared_ptr<Thing> thing(int id)
{
    return std::make_shared<Thing>(Thing{id});
}
std::vector<int> ids(const Collection<Thing>& c)
{
    std::vector<int> out;
    for (const auto& t : c)
        out.push_back(t->id);
    return out;
}
} // namespace

TEST(Collection, PositionsKeysAndInsertion)
{
    Collection<Thing> c;
    c.Add(thing(1), QStringLiteral("One"));
    c.Add(thing(2));
    c.AddBefore(thing(0), 1);
    c.AddAfter(thing(3), 3, QStringLiteral("three"));
    c.AddAfter(thing(9), 1);
    EXPECT_EQ(ids(c), (std::vector<int>{0, 9, 1, 2, 3}));
    EXPECT_EQ(c.Item(QStringLiteral("ONE"))->id, 1); // keys ignore case
    EXPECT_EQ(c.Item(5)->id, 3);

    c.Remove(QStringLiteral("one"));
    EXPECT_EQ(ids(c), (std::vector<int>{0, 9, 2, 3}));
    EXPECT_EQ(test::errorNumberOf([&] { c.Item(QStringLiteral("One")); }), RunTime::InvalidProcedureCall);
    c.Add(thing(4), QStringLiteral("one")); // the removed key is free again
    c.Remove(2);
    EXPECT_EQ(ids(c), (std::vector<int>{0, 2, 3, 4}));
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
}

TEST(Collection, FailuresLeaveTheCollectionAsItWas)
{
    Collection<Thing> c;
    c.Add(thing(1), QStringLiteral("k"));
    const std::pair<std::function<void()>, int32_t> cases[] = {
        {[&] { c.Item(0); }, RunTime::SubscriptOutOfRange},
        {[&] { c.Item(2); }, RunTime::SubscriptOutOfRange},
        {[&] { c.Remove(-1); }, RunTime::SubscriptOutOfRange},
        {[&] { c.AddBefore(thing(5), 2); }, RunTime::SubscriptOutOfRange},
        {[&] { c.AddAfter(thing(5), 0); }, RunTime::SubscriptOutOfRange},
        {[&] { c.Add(thing(5), QStringLiteral("K")); }, 457},
        {[&] { c.Add(nullptr); }, RunTime::ObjectRequired},
        {[&] { c.Item(QString()); }, RunTime::InvalidProcedureCall},
        {[&] { c.Remove(QStringLiteral("nope")); }, RunTime::InvalidProcedureCall},
    };
    for (const auto& [call, number] : cases)
        EXPECT_EQ(test::errorNumberOf(call), number);
    EXPECT_EQ(ids(c), std::vector<int>{1});
}

TEST(Windows1252, EveryByteSurvivesAndTextsBecomeOneBytePerCharacter)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = decodeWindows1252(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(encodeWindows1252(text), all);

    EXPECT_EQ(encodeWindows1252(QStringLiteral("é")), QByteArray("\xE9"));
    EXPECT_EQ(decodeWindows1252(QByteArray("\x80\x96\x9F")), QString::fromUtf8("€–Ÿ"));
    EXPECT_EQ(encodeWindows1252(QString::fromUtf8("€ „x“")), QByteArray("\x80 \x84x\x93"));
    EXPECT_EQ(encodeWindows1252(QString::fromUtf8("a中😀b")), QByteArray("a??b"));
}
