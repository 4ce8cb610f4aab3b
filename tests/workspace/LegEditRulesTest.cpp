// The in-cell editors' rules without a window: the lists, the entry an
// editor opens on, what a choice writes into a leg, the quantities the text
// editor takes and the one-step strike shift.
#include "model/Currency.h"
#include "model/StrategyTemplates.h"
#include "workspace/LegEditRules.h"

#include <gtest/gtest.h>

using namespace tw;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

StrategyItem leg(int32_t kind, int32_t position, int16_t offset, int16_t cls, int16_t quantity)
{
    StrategyItem item;
    item.setItemType(kind);
    item.setPosition(position);
    item.setStrikePrice(offset);
    item.setExpireDate(cls);
    item.setQuantity(quantity);
    return item;
}

ComboChoice pick(const QStringList& entries, int index, std::optional<int32_t> data = std::nullopt)
{
    ComboChoice c;
    c.index = index;
    c.count = static_cast<int>(entries.size());
    c.text = index >= 0 && index < entries.size() ? entries.at(index) : QString();
    c.itemData = data;
    return c;
}

TEST(LegEditRules, StrikeListsRunFromPlusTenToMinusTenWordedForTheSide)
{
    const QStringList calls = strikeOffsetEntries(LegKind::Call);
    const QStringList puts = strikeOffsetEntries(LegKind::Put);
    ASSERT_EQ(calls.size(), 21);
    ASSERT_EQ(puts.size(), 21);
    const struct {
        int entry;
        const char* call;
        const char* put;
    } rows[] = {
        {0, "OTM (+10)", "ITM (+10)"}, {8, "OTM (+2)", "ITM (+2)"}, {9, "OTM (+1)", "ITM (+1)"},
        {10, "ATM (0)", "ATM (0)"},    {11, "ITM (-1)", "OTM (-1)"}, {20, "ITM (-10)", "OTM (-10)"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(calls.at(r.entry), QLatin1String(r.call)) << r.entry;
        EXPECT_EQ(puts.at(r.entry), QLatin1String(r.put)) << r.entry;
    }
    // Entry i opens for and writes the offset 10 - i, whatever the side.
    const std::pair<int, int> opens[] = {{2, 8}, {0, 10}, {-3, 13}, {10, 0}, {-10, 20}, {11, 0}, {40, 0}, {-11, 20}};
    for (const auto& [offset, entry] : opens)
        EXPECT_EQ(strikeEntryIndex(offset), entry) << offset;
    for (const int32_t kind : {LegKind::Call, LegKind::Put}) {
        StrategyItem l = leg(kind, LegPosition::Long, 2, 1, 1);
        bool newLeg = false;
        ASSERT_TRUE(applyComboChoice(EditField::StrikeOffset, pick(strikeOffsetEntries(kind), 20), l, newLeg));
        EXPECT_EQ(l.StrikePrice(), -10);
        ASSERT_TRUE(applyComboChoice(EditField::StrikeOffset, pick(strikeOffsetEntries(kind), 8), l, newLeg));
        EXPECT_EQ(l.StrikePrice(), 2);
    }
}

TEST(LegEditRules, ListsOpenOnTheLegsOwnEntry)
{
    EXPECT_EQ(legKindEntries(),
              (QStringList{"Long call", "Short call", "Long put", "Short put", "Long stock", "Short stock"}));
    EXPECT_EQ(positionEntryIndex(LegPosition::Short, false), 0);
    EXPECT_EQ(positionEntryIndex(LegPosition::Short, true), 1); // a leg just added opens on "Long"
    EXPECT_EQ(positionEntryIndex(7, false), -1);
    EXPECT_EQ(kindEntryIndex(LegKind::Stock), 2);
    EXPECT_EQ(expirationEntryIndex(7), 6);
    EXPECT_EQ(expirationEntryIndex(0), -1);
    EXPECT_EQ(legKindEntryIndex(LegKind::Put, LegPosition::Short), 3);
    EXPECT_EQ(legKindEntryIndex(LegKind::Stock, LegPosition::Short), 5);
    EXPECT_EQ(legKindEntryIndex(4, LegPosition::Long), -1);
}

TEST(LegEditRules, ChainExpirationEntriesNameTheirClass)
{
    // Six expirations: the 5th and 6th are the two LEAPS; seven map one to
    // one; four keep their numbers.
    const struct {
        int count;
        int classes[7];
    } chains[] = {
        {6, {1, 2, 3, 4, 6, 7, 0}},
        {7, {1, 2, 3, 4, 5, 6, 7}},
        {4, {1, 2, 3, 4, 0, 0, 0}},
    };
    for (const auto& c : chains) {
        for (int entry = 0; entry < c.count; ++entry) {
            EXPECT_EQ(classOfChainExpirationEntry(entry, c.count), c.classes[entry]) << c.count << ":" << entry;
            StrategyItem l = leg(LegKind::Put, LegPosition::Long, 0, 1, 1);
            bool newLeg = false;
            ComboChoice choice;
            choice.index = entry;
            choice.count = c.count;
            ASSERT_TRUE(applyComboChoice(EditField::ChainExpiration, choice, l, newLeg));
            EXPECT_EQ(l.ExpireDate(), c.classes[entry]);
        }
    }
}

TEST(LegEditRules, NoChoiceWritesNothing)
{
    bool newLeg = false;
    StrategyItem l = leg(LegKind::Call, LegPosition::Long, 3, 2, 5);
    for (const EditField f : {EditField::StrikeOffset, EditField::ExpirationClass, EditField::ChainExpiration,
                              EditField::ChainStrike, EditField::LegKind, EditField::Position, EditField::Kind})
        EXPECT_FALSE(applyComboChoice(f, pick(legKindEntries(), -1), l, newLeg)) << static_cast<int>(f);
    EXPECT_FALSE(applyComboChoice(EditField::ChainStrike, pick({"45.00"}, 0), l, newLeg)); // no offset carried
    EXPECT_FALSE(applyComboChoice(EditField::Quantity, pick({"7"}, 0), l, newLeg));
    EXPECT_EQ(l.StrikePrice(), 3);
    EXPECT_EQ(l.ExpireDate(), 2);
    EXPECT_EQ(l.ItemType(), LegKind::Call);
    EXPECT_EQ(l.Position(), LegPosition::Long);
}

TEST(LegEditRules, StockForANewLegTakesAHundredOnce)
{
    StrategyItem l = leg(LegKind::Call, LegPosition::Long, 0, 3, 1);
    bool newLeg = true;
    ASSERT_TRUE(applyComboChoice(EditField::Kind, pick(kindEntries(), 2), l, newLeg));
    EXPECT_EQ(l.ItemType(), LegKind::Stock);
    EXPECT_EQ(l.Quantity(), 100);
    EXPECT_FALSE(newLeg);
    l.setQuantity(7);
    ASSERT_TRUE(applyComboChoice(EditField::Kind, pick(kindEntries(), 2), l, newLeg));
    EXPECT_EQ(l.Quantity(), 7);
    // Put or call keeps the flag for a later "Stock".
    newLeg = true;
    ASSERT_TRUE(applyComboChoice(EditField::Kind, pick(kindEntries(), 0), l, newLeg));
    EXPECT_TRUE(newLeg);
}

TEST(LegEditRules, LegKindSetsPositionAndKindAndRepairsTheClass)
{
    const struct {
        int entry;
        int32_t position, kind;
        int16_t classBefore, classAfter;
    } rows[] = {
        {3, LegPosition::Short, LegKind::Put, 2, 2},  {4, LegPosition::Long, LegKind::Stock, 5, 5},
        {1, LegPosition::Short, LegKind::Call, 0, 3}, {0, LegPosition::Long, LegKind::Call, 8, 3},
        {5, LegPosition::Short, LegKind::Stock, 7, 7},
    };
    for (const auto& r : rows) {
        StrategyItem l = leg(LegKind::Call, LegPosition::Long, 1, r.classBefore, 2);
        bool newLeg = false;
        ASSERT_TRUE(applyComboChoice(EditField::LegKind, pick(legKindEntries(), r.entry), l, newLeg));
        EXPECT_EQ(l.Position(), r.position) << r.entry;
        EXPECT_EQ(l.ItemType(), r.kind) << r.entry;
        EXPECT_EQ(l.ExpireDate(), r.classAfter) << r.entry;
        EXPECT_EQ(l.StrikePrice(), 1);
    }
}

TEST(LegEditRules, QuantitiesAreWholeNumbersFromOneTo32767)
{
    const std::pair<const char*, int> good[] = {{"1", 1},     {" 12 ", 12}, {"2.5", 2},        {"3.5", 4},
                                                {"0.6", 1},   {"32767", 32767}, {"1,000", 1000}};
    for (const auto& [text, q] : good)
        EXPECT_EQ(quantityFromText(QLatin1String(text), kEnglish), std::optional<int16_t>(q)) << text;
    for (const char* bad : {"0", "-3", "0.4", "abc", "", "32768", "40000", "1e10", "inf", "nan", "2,5"})
        EXPECT_FALSE(quantityFromText(QLatin1String(bad), kEnglish).has_value()) << bad;
    EXPECT_EQ(quantityFromText(QStringLiteral("2,5"), kGerman), std::optional<int16_t>(2));
    EXPECT_EQ(quantityFromText(QStringLiteral("3,5"), kGerman), std::optional<int16_t>(4));
}

TEST(LegEditRules, ShiftStopsAtTheEndsOfTheRange)
{
    const struct {
        int16_t offset;
        int16_t up, down;
    } rows[] = {{10, 10, 9}, {3, 4, 2}, {0, 1, -1}, {-10, -9, -10}, {11, 11, 10}, {-12, -11, -12}};
    for (const auto& r : rows) {
        EXPECT_EQ(shiftedOffset(r.offset, 1), r.up) << r.offset;
        EXPECT_EQ(shiftedOffset(r.offset, -1), r.down) << r.offset;
    }
}

TEST(LegEditRules, StrikeEntriesAndEditorTags)
{
    EXPECT_EQ(strikeEntryText(Currency::fromDouble(45), kEnglish), QStringLiteral("45.00"));
    EXPECT_EQ(strikeEntryText(Currency::fromDouble(7.5), kEnglish), QStringLiteral("7.50"));
    EXPECT_EQ(strikeEntryText(Currency::fromDouble(0.5), kEnglish), QStringLiteral(".50"));
    EXPECT_EQ(strikeEntryText(Currency::fromDouble(1250), kEnglish), QStringLiteral("1250.00"));
    EXPECT_EQ(strikeEntryText(Currency::fromDouble(7.5), kGerman), QStringLiteral("7,50"));

    const std::pair<const char*, LegGrid> tags[] = {
        {"1", LegGrid::Params}, {"5", LegGrid::Params}, {"6", LegGrid::Selected}, {"13", LegGrid::Selected},
        {"7", LegGrid::None},   {"", LegGrid::None},    {"01", LegGrid::None},
    };
    for (const auto& [tag, grid] : tags)
        EXPECT_EQ(legGridOfField(editFieldOfTag(QLatin1String(tag))), grid) << tag;
}

} // namespace
