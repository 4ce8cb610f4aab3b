#pragma once
// The application of a benchmark that makes windows: offscreen unless a
// platform is named, with settings and state in a private folder, never the
// user's own. Made once, on first use.

#include "app/TwApplication.h"
#include "support/TestEnvironment.h"

namespace tw::bench {

inline QApplication& application()
{
    static int argc = 1;
    static char name[] = "tarnwell_bench";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    test::installEnvironment();
    // Never destroyed: the window system's objects must not go at exit
    // after the libraries they belong to.
    static auto* app = new TwApplication(argc, argv);
    return *app;
}

} // namespace tw::bench
