// The system's end requests by signal: signals that come before the event
// loop reads them are announced once, with the first; the earlier handling
// comes back when the object goes. (The program's end by signal, inside
// modal questions too, is tested in a child process by the main window's
// session-end suite.)
#include "platform/EndSignals.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <vector>

using tw::platform::EndSignals;

TEST(EndSignals, SignalsComingTogetherAreAnnouncedOnceAndTheEarlierHandlingComesBack)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before {};
    ASSERT_EQ(::sigaction(SIGHUP, &ignore, &before), 0);
    {
        EndSignals requests;
        ASSERT_TRUE(requests.installed());
        EXPECT_FALSE(EndSignals().installed()); // one object at a time
        std::vector<int> seen;
        QEventLoop loop;
        QObject::connect(&requests, &EndSignals::endRequested, &loop, [&](int number) {
            seen.push_back(number);
            QTimer::singleShot(0, &loop, &QEventLoop::quit); // whatever else is queued comes first
        });
        for (const int number : {SIGHUP, SIGTERM, SIGHUP})
            ASSERT_EQ(::raise(number), 0);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_EQ(seen, std::vector<int>{SIGHUP});
    }
    struct sigaction after {};
    ::sigaction(SIGHUP, &before, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
}
