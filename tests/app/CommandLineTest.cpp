#include "app/CCommandArgs.h"
#include "app/Convert.h"
#include "app/CErrorHandler.h"
#include "app/Tools.h"
#include "app/TwError.h"

#include "support/ErrorOf.h"

#include <gtest/gtest.h>

using namespace tw;
using tw::test::errorNumberOf;

namespace {

// Applies the TRACE rule of start-up to a command line, as Main does.
bool tracingAfter(const QString& line)
{
    CCommandArgs args;
    args.Init(line, CCommandArgs::NameValue, QStringLiteral("/"), QStringLiteral("="));
    bool tracing = false;
    for (int i = 1, n = args.Count(); i <= n; ++i) {
        if (args.Name(i).toUpper() == QLatin1String("TRACE")) {
            if (const auto on = parseBool(args.Value(i)))
                tracing = *on;
        }
    }
    return tracing;
}


} // namespace

TEST(CommandArgs, TraceSwitchTable)
{
    struct Case {
        const char* line;
        bool tracing;
    } cases[] = {
        {"/TRACE=1", true},        {"/trace=true", true},   {"/Trace=-1", true},     {"/TRACE=0", false},
        {"/TRACE=False", false},   {"/TRACE", false},       {"/TRACE=yes", false},   {"/TRACE = 1", false},
        {"/TRACE=1 /TRACE=0", true}, {"-O /data/a.opt", false}, {"/x=1 /TRACE=TRUE", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tracingAfter(QString::fromLatin1(c.line)), c.tracing) << c.line;
}

TEST(CommandArgs, NamesValuesAndDuplicates)
{
    CCommandArgs args;
    args.Init(QStringLiteral("/TRACE=1 /trace=0 /X= /Y /Z = a "), CCommandArgs::NameValue, QStringLiteral("/"),
              QStringLiteral("="));
    ASSERT_EQ(args.Count(), 4); // the second TRACE is dropped
    EXPECT_EQ(args.Name(1), QStringLiteral("TRACE"));
    EXPECT_EQ(args.Value(1), QStringLiteral("1"));
    EXPECT_EQ(args.Value(QStringLiteral("trace")), QStringLiteral("1"));
    EXPECT_EQ(args.Value(2), QStringLiteral("X= ")); // empty value gives the whole argument
    EXPECT_EQ(args.Name(3), QStringLiteral("Y "));
    EXPECT_EQ(args.Value(3), QStringLiteral("Y "));
    EXPECT_EQ(args.Name(4), QStringLiteral("Z "));
    EXPECT_EQ(args.Value(4), QStringLiteral("a"));

    args.setArgumentStyle(CCommandArgs::Switches);
    EXPECT_EQ(args.Name(4), QStringLiteral("Z = a "));
    EXPECT_EQ(args.Value(4), QStringLiteral("Z = a "));

    // A file-association command line: one argument whose name is all of it.
    args.Init(QStringLiteral("-O /home/u/a.opt"), CCommandArgs::NameValue, QStringLiteral("/"), QStringLiteral("="));
    ASSERT_EQ(args.Count(), 4);
    EXPECT_EQ(args.Name(1), QStringLiteral("-O "));
}

TEST(CommandArgs, ErrorsAndLazyReparse)
{
    CCommandArgs args;
    EXPECT_EQ(errorNumberOf([&] { args.Init(QStringLiteral("/a"), 3, QStringLiteral("/"), QStringLiteral("=")); }),
              CCommandArgs::ErrInvalidStyle);
    EXPECT_EQ(args.CommandLine(), QStringLiteral("/a")); // stored before the failure
    EXPECT_EQ(errorNumberOf([&] { args.Init(QStringLiteral("/a"), 2, QString(), QStringLiteral("=")); }),
              CCommandArgs::ErrInvalidCharacter);
    EXPECT_EQ(args.DelimiterChar(), QStringLiteral("/"));
    EXPECT_EQ(errorNumberOf([&] { args.setAssignmentChar(QString()); }), CCommandArgs::ErrInvalidCharacter);

    args.Init(QStringLiteral("/a=1"), 2, QStringLiteral("/"), QStringLiteral("="));
    EXPECT_EQ(errorNumberOf([&] { args.Name(0); }), CCommandArgs::ErrInvalidArgument);
    EXPECT_EQ(errorNumberOf([&] { args.Value(2); }), CCommandArgs::ErrInvalidArgument);
    EXPECT_EQ(errorNumberOf([&] { args.Value(QStringLiteral("missing")); }), CCommandArgs::ErrComponentFailure);

    args.setDelimiterChar(QStringLiteral("-"));
    args.setCommandLine(QStringLiteral("-a=1 -b=2 -c"));
    EXPECT_EQ(args.Count(), 3);
    EXPECT_EQ(args.Value(QStringLiteral("B")), QStringLiteral("2"));
}

TEST(CommandArgs, EmptyLineTakesTheProcessArguments)
{
    setProcessArguments({QStringLiteral("/home/u/my file.opt")});
    CCommandArgs args;
    args.Init(QStringLiteral("   "), 2, QStringLiteral("/"), QStringLiteral("="));
    EXPECT_EQ(args.CommandLine(), QStringLiteral("/home/u/my file.opt")); // outer quotes removed
    setProcessArguments({});
    args.Init(QString(), 2, QStringLiteral("/"), QStringLiteral("="));
    EXPECT_EQ(args.Count(), 0);
}

TEST(SplitCommandLine, QuotesLimitsAndEmptyPairs)
{
    const QString line = QStringLiteral("-O \"/home/u/my data/a.opt\" -S b.stg");
    const QStringList all = SplitCommandLine(line, 10);
    ASSERT_EQ(all.size(), 5);
    EXPECT_TRUE(all.at(0).isEmpty());
    EXPECT_EQ(all.at(1), QStringLiteral("-O"));
    EXPECT_EQ(all.at(2), QStringLiteral("/home/u/my data/a.opt"));
    EXPECT_EQ(all.at(3), QStringLiteral("-S"));
    EXPECT_EQ(all.at(4), QStringLiteral("b.stg"));

    const QStringList two = SplitCommandLine(line, 2);
    ASSERT_EQ(two.size(), 3);
    EXPECT_EQ(two.at(2), QStringLiteral("/home/u/my data/a.opt"));

    EXPECT_EQ(SplitCommandLine(QStringLiteral("ab\"\"cd"), 10), (QStringList{QString(), QStringLiteral("abcd")}));
    EXPECT_TRUE(SplitCommandLine(QStringLiteral("\"\""), 10).isEmpty());
    EXPECT_TRUE(SplitCommandLine(QString(), 10).isEmpty());
    EXPECT_EQ(SplitCommandLine(QStringLiteral("a\tb"), 10).size(), 3);

    // The process's arguments come back as they were given, blanks included.
    setProcessArguments({QStringLiteral("-s"), QStringLiteral("/tmp/x y.stg")});
    EXPECT_EQ(SplitCommandLine(4), (QStringList{QString(), QStringLiteral("-s"), QStringLiteral("/tmp/x y.stg")}));
    setProcessArguments({});
}
