// The system's end requests by signal: each arrives as one announcement on
// the thread's event loop, also inside a nested loop; requests that come
// before it is announced are announced with it, once; the earlier handling
// comes back when the object goes.
#include "platform/EndSignals.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <vector>

using tw::platform::EndSignals;

namespace {

// Runs a nested event loop until `requests` has announced something (or ten
// seconds went by); what it announced.
std::vector<int> announcementsOf(EndSignals& requests)
{
    std::vector<int> seen;
    QEventLoop loop;
    QObject::connect(&requests, &EndSignals::endRequested, &loop, [&](int number) {
        seen.push_back(number);
        // Whatever else is queued comes in the same turn.
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return seen;
}

TEST(EndSignals, EachSignalIsAnnouncedOnTheEventLoopAndOnlyOnceWhenSeveralCome)
{
    EndSignals requests;
    ASSERT_TRUE(requests.installed());
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_EQ(announcementsOf(requests), std::vector<int>{SIGTERM});

    // Three before anyone reads: one announcement, of the first.
    ASSERT_EQ(::raise(SIGHUP), 0);
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_EQ(::raise(SIGHUP), 0);
    EXPECT_EQ(announcementsOf(requests), std::vector<int>{SIGHUP});

    // One object at a time.
    EndSignals second;
    EXPECT_FALSE(second.installed());
}

TEST(EndSignals, TheEarlierHandlingComesBackWhenTheObjectGoes)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before {};
    ASSERT_EQ(::sigaction(SIGHUP, &ignore, &before), 0);
    {
        EndSignals requests;
        ASSERT_TRUE(requests.installed());
        struct sigaction during {};
        ::sigaction(SIGHUP, nullptr, &during);
        EXPECT_NE(during.sa_handler, SIG_IGN);
    }
    struct sigaction after {};
    ::sigaction(SIGHUP, &before, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
    // A new object can take the requests again.
    EndSignals again;
    EXPECT_TRUE(again.installed());
}

} // namespace
