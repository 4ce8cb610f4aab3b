// The edits of the strategy library the tree offers, on the model: where a
// dropped strategy lands, which node is selected after a delete, moves and
// copies, the tree popup's states, the auto-scroll zones and the names and
// messages of the strategies-file commands.
#include "app/TwError.h"
#include "model/StgStream.h"
#include "workspace/LibraryEdits.h"
#include "workspace/TreeKeys.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tw;

namespace {

// A library from a picture of it: {"G1", {"A", "B"}}, {"G2", {}}...
using Picture = std::vector<std::pair<QString, std::vector<QString>>>;

std::shared_ptr<StrategyTypeCollection> library(const Picture& picture)
{
    auto types = std::make_shared<StrategyTypeCollection>();
    for (const auto& [group, strategies] : picture) {
        auto g = types->Add(group, QStringLiteral("{\\rtf1 ") + group + QLatin1Char('}'));
        for (const QString& s : strategies) {
            auto st = g->Strategies()->Add(s, QStringLiteral("{\\rtf1 ") + s + QLatin1Char('}'));
            st->Params()->Add(LegKind::Call, LegPosition::Long, static_cast<int16_t>(s.size()), 1, 1);
        }
    }
    return types;
}

Picture picture(const StrategyTypeCollection& types)
{
    Picture out;
    for (const auto& g : types) {
        std::vector<QString> names;
        for (const auto& s : *g->Strategies())
            names.push_back(s->Caption());
        out.emplace_back(g->Caption(), names);
    }
    return out;
}

} // namespace

TEST(LibraryEdits, DropArithmetic)
{
    struct Case {
        const char* drag;
        const char* target;
        Picture after;
        const char* select;
        bool moved;
    };
    const Picture start{{"G1", {"A", "B", "C", "D"}}, {"G2", {"E"}}};
    const Case cases[] = {
        {"T1S1", "T1S3", {{"G1", {"B", "A", "C", "D"}}, {"G2", {"E"}}}, "T1S2", true},  // A onto C
        {"T1S4", "T1S2", {{"G1", {"A", "D", "B", "C"}}, {"G2", {"E"}}}, "T1S2", true},  // D onto B
        {"T1S1", "T1S2", {{"G1", {"A", "B", "C", "D"}}, {"G2", {"E"}}}, "T1S1", true},  // A onto B: same order
        {"T1S2", "T1S2", start, "T1S2", false},                                         // onto itself
        {"T1S2", "T2", {{"G1", {"A", "C", "D"}}, {"G2", {"E", "B"}}}, "T2S2", true},    // onto another group
        {"T1S1", "T1", {{"G1", {"B", "C", "D", "A"}}, {"G2", {"E"}}}, "T1S4", true},    // onto its own group
        {"T2S1", "T1S3", {{"G1", {"A", "B", "E", "C", "D"}}, {"G2", {}}}, "T1S3", true}, // the only one leaves
        {"T1S3", "T2S1", {{"G1", {"A", "B", "D"}}, {"G2", {"C", "E"}}}, "T2S1", true},
        {"T1", "T2", start, "T1", false},      // a group is not dragged
        {"T1S2", "T9S1", start, "T1S2", false}, // no such target: nothing moves
    };
    for (const Case& c : cases) {
        auto types = library(start);
        const QString drag = QLatin1String(c.drag);
        const auto dragged = GetItemIndex(drag) > 0 ? types->Item(GetTypeIndex(drag))->Strategies()->Item(GetItemIndex(drag))
                                                    : nullptr;
        const DropOutcome out = dropStrategy(*types, drag, QLatin1String(c.target));
        EXPECT_EQ(picture(*types), c.after) << c.drag << " onto " << c.target;
        EXPECT_EQ(out.selectKey, QLatin1String(c.select)) << c.drag << " onto " << c.target;
        EXPECT_EQ(out.moved, c.moved) << c.drag << " onto " << c.target;
        // The strategy itself moves, description and legs with it.
        if (dragged != nullptr) {
            const QString at = out.selectKey;
            EXPECT_EQ(types->Item(GetTypeIndex(at))->Strategies()->Item(GetItemIndex(at)), dragged) << c.drag;
        }
    }
}

TEST(LibraryEdits, NextSelectionAfterADelete)
{
    const Picture start{{"G1", {"A", "B", "C"}}, {"G2", {"D"}}, {"G3", {}}};
    // Nodes: G1=1 A=2 B=3 C=4 G2=5 D=6 G3=7.
    EXPECT_EQ(nodeCount(*library(start)), 7);
    EXPECT_EQ(nodeNumber(*library(start), QStringLiteral("T2S1")), 6);
    EXPECT_EQ(keyOfNodeNumber(*library(start), 5), QStringLiteral("T2"));
    EXPECT_EQ(keyOfNodeNumber(*library(start), 8), QString());
    EXPECT_EQ(nodeNumber(*library(start), QStringLiteral("T1S9")), 0);

    const struct {
        const char* key;
        Picture after;
        const char* select;
    } strategies[] = {
        {"T1S1", {{"G1", {"B", "C"}}, {"G2", {"D"}}, {"G3", {}}}, "T1S1"}, // the one that followed
        {"T1S2", {{"G1", {"A", "C"}}, {"G2", {"D"}}, {"G3", {}}}, "T1S2"},
        {"T1S3", {{"G1", {"A", "B"}}, {"G2", {"D"}}, {"G3", {}}}, "T1S2"}, // the last: the one before it
        {"T2S1", {{"G1", {"A", "B", "C"}}, {"G2", {}}, {"G3", {}}}, "T2"},  // the only one: its group
    };
    for (const auto& c : strategies) {
        auto types = library(start);
        EXPECT_EQ(deleteStrategy(*types, QLatin1String(c.key)), QLatin1String(c.select)) << c.key;
        EXPECT_EQ(picture(*types), c.after) << c.key;
    }

    const struct {
        const char* key;
        int groupsLeft;
        const char* select;
    } groups[] = {
        {"T1", 2, "T1"},     // the group that followed, now first
        {"T2", 2, "T2"},
        {"T3", 2, "T2S1"},   // the last group: the last node of the tree
        {"T1S2", 2, "T2"},   // a strategy node stands for its group; its number picks the node
    };
    for (const auto& c : groups) {
        auto types = library(start);
        EXPECT_EQ(groupHasStrategies(*types, QLatin1String(c.key)), QLatin1String(c.key) != QLatin1String("T3")) << c.key;
        EXPECT_EQ(deleteGroup(*types, QLatin1String(c.key)), QLatin1String(c.select)) << c.key;
        EXPECT_EQ(types->Count(), c.groupsLeft) << c.key;
    }
    auto only = library({{"Solo", {"A"}}});
    EXPECT_EQ(deleteGroup(*only, QStringLiteral("T1")), QString());
    EXPECT_EQ(only->Count(), 0);
}

TEST(LibraryEdits, AddCopyMoveAndRename)
{
    auto types = library({{"G1", {"A", "B", "C", "D", "E"}}, {"G2", {}}, {"G3", {"F"}}});

    // New strategies go to the end of the node's group, also twice.
    EXPECT_EQ(addStrategy(*types, QStringLiteral("T1S2")), QStringLiteral("T1S6"));
    EXPECT_EQ(addStrategy(*types, QStringLiteral("T1")), QStringLiteral("T1S7"));
    EXPECT_EQ(types->Item(1)->Strategies()->Item(7)->Caption(), QStringLiteral("New strategy"));
    EXPECT_EQ(types->Item(1)->Strategies()->Item(6)->Params()->Count(), 0);
    EXPECT_EQ(addGroup(*types), QStringLiteral("T4"));
    EXPECT_EQ(types->Item(4)->Caption(), QStringLiteral("New strategy group"));

    // A copy: caption + " copy", same description, legs of its own.
    const auto third = types->Item(1)->Strategies()->Item(3);
    EXPECT_EQ(copyStrategy(*types, QStringLiteral("T1S3")), QStringLiteral("T1S8"));
    const auto copy = types->Item(1)->Strategies()->Item(8);
    EXPECT_EQ(copy->Caption(), QStringLiteral("C copy"));
    EXPECT_EQ(copy->Description(), third->Description());
    ASSERT_EQ(copy->Params()->Count(), 1);
    EXPECT_NE(copy->Params()->Item(1), third->Params()->Item(1));
    copy->Params()->Item(1)->setQuantity(9);
    EXPECT_EQ(third->Params()->Item(1)->Quantity(), 1);
    EXPECT_EQ(copyStrategy(*types, QStringLiteral("T1")), QString()); // a group is not copied
    EXPECT_EQ(types->Item(1)->Strategies()->Count(), 8);

    // Move to group 3: last there, and group 1 closes up.
    const auto first = types->Item(1)->Strategies()->Item(1);
    EXPECT_EQ(moveStrategyToGroup(*types, QStringLiteral("T1S1"), 3), QStringLiteral("T3S2"));
    EXPECT_EQ(types->Item(3)->Strategies()->Item(2), first);
    EXPECT_EQ(types->Item(1)->Strategies()->Item(1)->Caption(), QStringLiteral("B"));
    EXPECT_EQ(moveStrategyToGroup(*types, QStringLiteral("T3S1"), 2), QStringLiteral("T2S1"));

    // Renaming: an empty text is refused, blanks are kept.
    EXPECT_FALSE(renameNode(*types, QStringLiteral("T1S1"), QString()));
    EXPECT_EQ(types->Item(1)->Strategies()->Item(1)->Caption(), QStringLiteral("B"));
    EXPECT_TRUE(renameNode(*types, QStringLiteral("T1S1"), QStringLiteral("  Bull  ")));
    EXPECT_EQ(types->Item(1)->Strategies()->Item(1)->Caption(), QStringLiteral("  Bull  "));
    EXPECT_TRUE(renameNode(*types, QStringLiteral("T2"), QStringLiteral("Mine")));
    EXPECT_EQ(types->Item(2)->Caption(), QStringLiteral("Mine"));
}

TEST(LibraryEdits, TreePopupStatesAndMoveTargets)
{
    auto one = library({{"Only", {"A"}}});
    auto three = library({{"G1", {"A"}}, {"G2", {}}, {"G3", {"B"}}});
    const auto states = [](const StrategyTypeCollection& t, const char* key) {
        const TreePopupStates s = treePopupStates(t, QLatin1String(key));
        return QString::fromLatin1("%1%2%3%4%5%6%7")
            .arg(s.rename).arg(s.addStrategy).arg(s.deleteStrategy).arg(s.copyStrategy).arg(s.moveTo)
            .arg(s.deleteGroup).arg(s.exportNode);
    };
    // rename, add, delete, copy, move to, delete group, export
    EXPECT_EQ(states(*three, "T7S1"), QStringLiteral("0000000"));  // a key of nothing
    EXPECT_EQ(states(*one, "T1S1"), QStringLiteral("1111001"));    // a strategy, one group
    EXPECT_EQ(states(*three, "T3S1"), QStringLiteral("1111101"));  // a strategy, more groups

    const QList<MoveTarget> targets = moveTargets(*three, QStringLiteral("T3S1"));
    ASSERT_EQ(targets.size(), 2);
    EXPECT_EQ(targets.at(0).caption, QStringLiteral("G1"));
    EXPECT_EQ(targets.at(0).group, 1);
    EXPECT_EQ(targets.at(1).caption, QStringLiteral("G2"));
    EXPECT_EQ(targets.at(1).group, 2);
}

TEST(LibraryEdits, AutoScrollZones)
{
    const double h = 3000;
    const std::pair<double, AutoScroll> cases[] = {
        {0, AutoScroll::None},    {1, AutoScroll::Up},       {50, AutoScroll::Up},
        {99.9, AutoScroll::Up},   {100, AutoScroll::None},   {1500, AutoScroll::None},
        {2800, AutoScroll::None}, {2850, AutoScroll::Down},  {2999, AutoScroll::Down},
        {3000, AutoScroll::None}, {-20, AutoScroll::None},   {3100, AutoScroll::None},
    };
    for (const auto& [y, zone] : cases)
        EXPECT_EQ(autoScrollZone(y, h), zone) << y;
}

TEST(LibraryEdits, ExportNamesPathsAndMessages)
{
    auto types = library({{"Spreads: calls/puts", {"Bull <call>", "Bear"}}});
    auto strategy = exportedLibrary(*types, QStringLiteral("T1S1"));
    ASSERT_EQ(strategy->Count(), 1);
    EXPECT_EQ(strategy->Item(1)->Caption(), QStringLiteral("Spreads: calls/puts"));
    EXPECT_EQ(strategy->Item(1)->Description(), types->Item(1)->Description());
    ASSERT_EQ(strategy->Item(1)->Strategies()->Count(), 1);
    EXPECT_EQ(strategy->Item(1)->Strategies()->Item(1)->Params(), types->Item(1)->Strategies()->Item(1)->Params());
    auto group = exportedLibrary(*types, QStringLiteral("T1"));
    EXPECT_EQ(group->Item(1)->Strategies(), types->Item(1)->Strategies());
    EXPECT_EQ(types->Count(), 1); // the open library is as it was

    EXPECT_EQ(defaultExportName(*types, QStringLiteral("T1S1")), QStringLiteral("Spreads_ calls_puts - Bull _call_.stg"));
    EXPECT_EQ(defaultExportName(*types, QStringLiteral("T1")), QStringLiteral("Spreads_ calls_puts.stg"));
    EXPECT_EQ(safeFileName(QStringLiteral(" ..a\tb\\c*d?e\"f|g. ")), QStringLiteral("a_b_c_d_e_f_g"));
    EXPECT_EQ(safeFileName(QStringLiteral("..")), QStringLiteral("strategies"));
    EXPECT_EQ(safeFileName(QString(300, QLatin1Char('x'))).size(), 200);

    EXPECT_EQ(GetPath(QStringLiteral("C:\\Data\\chain.opt")), QStringLiteral("C:\\Data"));
    EXPECT_EQ(GetPath(QStringLiteral("C:\\chain.opt")), QStringLiteral("C:"));
    EXPECT_EQ(GetPath(QStringLiteral("/home/ann/chains/chain.opt")), QStringLiteral("/home/ann/chains"));
    EXPECT_EQ(GetPath(QStringLiteral("chain.opt")), QString());

    EXPECT_EQ(strategiesReadFailure(StrategiesCommand::Load, QStringLiteral("/x/DEFAULT.STG"), RunTime::FileNotFound),
              QStringLiteral("The \"/x/DEFAULT.STG\" file is not found."));
    EXPECT_EQ(strategiesReadFailure(StrategiesCommand::Append, QStringLiteral("/x/a.stg"), RunTime::FileNotFound),
              QStringLiteral("Strategies file /x/a.stg not found."));
    for (const auto command : {StrategiesCommand::Load, StrategiesCommand::Append})
        EXPECT_EQ(strategiesReadFailure(command, QStringLiteral("/x/lib"), RunTime::PathFileAccess),
                  QStringLiteral("\"/x/lib\" is a folder, not a strategies file."));
    const QString damaged = strategiesReadFailure(StrategiesCommand::Load, QStringLiteral("/x/a.stg"), InvalidFileFormat);
    EXPECT_TRUE(damaged.contains(QLatin1String("\"/x/a.stg\" is damaged or incomplete")));
    EXPECT_TRUE(damaged.contains(QLatin1String("Nothing was changed.")));
}

// Which file a path names: the start-up's fallback and the saves compare the
// user's and the shipped file by it.
TEST(LibraryEdits, SameFileFollowsLinksAndCleansMissingPaths)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("mine.stg"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString link = dir.filePath(QStringLiteral("link.stg"));
    ASSERT_TRUE(QFile::link(file, link));

    EXPECT_TRUE(sameFile(file, dir.filePath(QStringLiteral("sub/../mine.stg"))));
    EXPECT_TRUE(sameFile(link, file));
    EXPECT_FALSE(sameFile(file, dir.filePath(QStringLiteral("MINE.stg"))));
    // Files that do not exist (yet) compare by their cleaned paths.
    EXPECT_TRUE(sameFile(dir.filePath(QStringLiteral("gone.stg")), dir.filePath(QStringLiteral("sub/../gone.stg"))));
    EXPECT_FALSE(sameFile(dir.filePath(QStringLiteral("gone.stg")), file));
    // An empty path names no file, not the current folder.
    EXPECT_FALSE(sameFile(QString(), QString()));
    EXPECT_FALSE(sameFile(QString(), file));
}
