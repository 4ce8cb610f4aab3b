#pragma once
// What the benchmarks that run on a real X display share (tw_add_benchmark_x11
// in bench/CMakeLists.txt): their main, and a wait for the X server.
#include "app/TwApplication.h"
#include "charts/frm3dChart.h"
#include "platform/Chart3D.h"
#include "support/TestEnvironment.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace tw::bench {

// Waits until the X server has handled everything sent to it so far (the
// images of the windows' paints and frames included).
inline void syncWithServer()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr)
        return;
    xcb_connection_t* c = x11->connection();
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// The body of such a benchmark's main: the application lives on the X
// display for the whole run (with a private settings folder), and the 3-D
// window goes before it. Refuses to run without a display that offers OpenGL.
inline int runX11Benchmarks(int argc, char** argv, const char* program)
{
    benchmark::Initialize(&argc, argv);
    const auto refuse = [program] {
        fprintf(stderr, "%s needs an X display with OpenGL: run it through tests/support/run-x11.sh\n", program);
        return 1;
    };
    if (!qEnvironmentVariableIsSet("DISPLAY"))
        return refuse();
    qputenv("QT_QPA_PLATFORM", "xcb");
    test::installEnvironment();
    TwApplication app(argc, argv);
    if (!platform::Chart3D::openGLAvailable())
        return refuse();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (frm3dChart* c = frm3dChart::loaded())
        c->unload();
    return 0;
}

} // namespace tw::bench
