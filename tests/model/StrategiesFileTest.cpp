// Strategy templates and the strategies file: exact bytes, reserved leg
// bytes, single-byte text, and the rejection of damaged files.
#include "model/StrategiesFile.h"
#include "support/ErrorOf.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tw;

namespace {

// One group "Spreads" (description "é"), one strategy "Bull" without a
// description, two call legs: long at offset -1 and short at +2, class 3.
const QByteArray kGolden = QByteArray::fromHex(
    "01000000"
    "07000000" "53707265616473"
    "01000000" "e9"
    "01000000"
    "04000000" "42756c6c"
    "00000000"
    "02000000"
    "02000000" "02000000" "0000000000000000" "ffff" "0300" "0100"
    "02000000" "01000000" "0000000000000000" "0200" "0300" "0100");

StrategyTypeCollection goldenLibrary()
{
    StrategyTypeCollection types;
    auto group = types.Add("Spreads", QStringLiteral("é"));
    auto bull = group->Strategies()->Add("Bull", "");
    bull->Params()->Add(LegKind::Call, LegPosition::Long, -1, 3, 1);
    bull->Params()->Add(LegKind::Call, LegPosition::Short, 2, 3, 1);
    return types;
}

StrategyTypeCollection fromBytes(const QByteArray& bytes)
{
    StrategyTypeCollection types;
    appendStrategiesFromBytes(types, bytes, "test.stg");
    return types;
}

QByteArray patched(QByteArray bytes, int offset, const char* hex)
{
    const QByteArray with = QByteArray::fromHex(hex);
    bytes.replace(offset, with.size(), with);
    return bytes;
}

} // namespace

TEST(StrategiesFile, WritesAndReadsTheExactBytes)
{
    EXPECT_EQ(strategiesToBytes(goldenLibrary()), kGolden);

    const StrategyTypeCollection types = fromBytes(kGolden);
    ASSERT_EQ(types.Count(), 1);
    EXPECT_EQ(types.Item(1)->Caption(), QStringLiteral("Spreads"));
    EXPECT_EQ(types.Item(1)->Description(), QStringLiteral("é"));
    const auto& strategy = types.Item(1)->Strategies()->Item(1);
    EXPECT_EQ(strategy->Caption(), QStringLiteral("Bull"));
    ASSERT_EQ(strategy->Params()->Count(), 2);
    const auto& leg = strategy->Params()->Item(1);
    EXPECT_EQ(leg->ItemType(), LegKind::Call);
    EXPECT_EQ(leg->Position(), LegPosition::Long);
    EXPECT_EQ(leg->StrikePrice(), -1);
    EXPECT_EQ(leg->ExpireDate(), 3);
    EXPECT_EQ(leg->Quantity(), 1);
    EXPECT_EQ(strategiesToBytes(types), kGolden);
}

TEST(StrategiesFile, EmptyLibrariesAndStrategiesWithoutLegs)
{
    EXPECT_EQ(strategiesToBytes(StrategyTypeCollection()), QByteArray(4, '\0'));
    EXPECT_EQ(fromBytes(QByteArray(4, '\0')).Count(), 0);

    StrategyTypeCollection types;
    types.Add("G", "")->Strategies()->Add("S", "d");
    EXPECT_EQ(strategiesToBytes(types), QByteArray::fromHex("01000000 01000000 47 00000000 01000000"
                                                             "01000000 53 01000000 64 00000000"));
}

TEST(StrategiesFile, ReservedLegBytesAreKeptAsRead)
{
    const QByteArray withReserved = patched(kGolden, 48, "1122334455667788");
    const StrategyTypeCollection types = fromBytes(withReserved);
    const auto& leg = types.Item(1)->Strategies()->Item(1)->Params()->Item(1);
    EXPECT_EQ(leg->reservedBytes(), (StrategyItem::Reserved{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}));
    EXPECT_EQ(strategiesToBytes(types), withReserved);
}

TEST(StrategiesFile, LoadingAppendsAfterTheGroupsHeld)
{
    StrategyTypeCollection types;
    types.Add("Mine", "");
    appendStrategiesFromBytes(types, kGolden, "more.stg");
    ASSERT_EQ(types.Count(), 2);
    EXPECT_EQ(types.Item(1)->Caption(), QStringLiteral("Mine"));
    EXPECT_EQ(types.Item(2)->Caption(), QStringLiteral("Spreads"));
}

TEST(StrategiesFile, DamagedContentIsRejectedAndChangesNothing)
{
    const std::pair<const char*, QByteArray> damaged[] = {
        {"negative group count", patched(kGolden, 0, "ffffffff")},
        {"huge group count", patched(kGolden, 0, "ffffff7f")},
        {"one group too many", patched(kGolden, 0, "02000000")},
        {"caption past the end", patched(kGolden, 4, "ffffff7f")},
        {"negative caption length", patched(kGolden, 4, "fbffffff")},
        {"negative strategy count", patched(kGolden, 20, "ffffffff")},
        {"huge leg count", patched(kGolden, 36, "e8030000")},
    };
    for (const auto& [what, bytes] : damaged) {
        StrategyTypeCollection types;
        types.Add("Mine", "");
        try {
            appendStrategiesFromBytes(types, bytes, "bad.stg");
            ADD_FAILURE() << what << ": accepted";
        } catch (const TwError& e) {
            EXPECT_EQ(e.number(), InvalidFileFormat) << what;
            EXPECT_TRUE(e.description().startsWith(QStringLiteral("The strategies file \"bad.stg\" is damaged")))
                << what << ": " << e.description().toStdString();
        }
        EXPECT_EQ(types.Count(), 1) << what;
    }
}

TEST(StrategiesFile, EveryTruncationIsRejected)
{
    for (qsizetype size = 0; size < kGolden.size(); ++size) {
        StrategyTypeCollection types;
        EXPECT_EQ(test::errorNumberOf([&] { appendStrategiesFromBytes(types, kGolden.left(size), "cut.stg"); }),
                  InvalidFileFormat)
            << size;
        EXPECT_EQ(types.Count(), 0) << size;
    }
}

TEST(StrategiesFile, FilesOnDisk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("lib.stg");
    writeStrategiesFile(goldenLibrary(), path);
    writeStrategiesFile(goldenLibrary(), path); // replaces, never appends
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), kGolden);
    file.close();

    auto types = readStrategiesFile(path);
    EXPECT_EQ(types->Count(), 1);
    appendStrategiesFile(*types, path);
    EXPECT_EQ(types->Count(), 2);

    EXPECT_EQ(test::errorNumberOf([&] { readStrategiesFile(dir.filePath("none.stg")); }), RunTime::FileNotFound);
    // A folder is told apart from a missing file.
    EXPECT_EQ(test::errorNumberOf([&] { readStrategiesFile(dir.path()); }), RunTime::PathFileAccess);
    EXPECT_EQ(test::errorNumberOf([&] { appendStrategiesFile(*types, dir.path()); }), RunTime::PathFileAccess);
    EXPECT_EQ(test::errorNumberOf([&] { writeStrategiesFile(*types, dir.filePath("no/such/folder/x.stg")); }),
              RunTime::PermissionDenied);

    QFile cut(dir.filePath("cut.stg"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(kGolden.left(30));
    cut.close();
    EXPECT_EQ(test::errorNumberOf([&] { appendStrategiesFile(*types, cut.fileName()); }), InvalidFileFormat);
    EXPECT_EQ(types->Count(), 2);
}

TEST(StrategiesFile, AnotherWritersChangeIsKnownByTheBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("lib.stg");
    const QByteArray stamp = writeStrategiesFile(goldenLibrary(), path);
    // The same bytes with a new time are no change; others of the same length are.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite)
                && f.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime));
    EXPECT_FALSE(changedSince(path, stamp));
    ASSERT_TRUE(f.write(patched(kGolden, 8, "54")) == kGolden.size() && f.flush());
    EXPECT_TRUE(changedSince(path, stamp));
    // A file that is gone is none, nor is anything when nothing was read.
    f.close();
    ASSERT_TRUE(f.remove());
    EXPECT_FALSE(changedSince(path, stamp));
    EXPECT_FALSE(changedSince(dir.path(), {}));
}

TEST(StrategyTemplates, InsertionRemovalAndFailures)
{
    StrategyCollection strategies;
    auto a = std::make_shared<Strategy>();
    auto b = std::make_shared<Strategy>();
    auto c = std::make_shared<Strategy>();
    strategies.InsertAfter(a, 7); // empty: appends whatever the position
    strategies.InsertAfter(c, strategies.Count());
    strategies.InsertBefore(b, 2);
    ASSERT_EQ(strategies.Count(), 3);
    EXPECT_EQ(strategies.Item(1), a);
    EXPECT_EQ(strategies.Item(2), b);
    EXPECT_EQ(strategies.Item(3), c);
    strategies.Remove(1);
    EXPECT_EQ(strategies.Item(1), b);
    EXPECT_EQ(test::errorNumberOf([&] { strategies.InsertBefore(a, 3); }), ComponentFailureNumber);
    strategies.Clear();
    strategies.Clear();
    EXPECT_EQ(strategies.Count(), 0);

    StrategyTypeCollection types;
    try {
        types.InsertAfter(std::make_shared<StrategyType>(), 0);
        FAIL() << "no error";
    } catch (const TwError& e) {
        EXPECT_EQ(e.source(), QStringLiteral("Tarnwell.StrategyTypeCollection.InsertAfter"));
        EXPECT_EQ(e.description(), QStringLiteral("StrategyTypeCollection component failure"));
    }
    ParamsCollection legs;
    auto leg = legs.Add(LegKind::Stock, LegPosition::Short, 0, 1, 100, "k");
    EXPECT_EQ(legs.Item("K"), leg);
    EXPECT_EQ(leg->reservedBytes(), StrategyItem::Reserved{});
    EXPECT_EQ(test::errorNumberOf([&] { legs.Item(2); }), ComponentFailureNumber);
    EXPECT_EQ(test::errorNumberOf([&] { Strategy().setParams(nullptr); }), ComponentFailureNumber);
}
