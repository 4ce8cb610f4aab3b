#include "app/QtDialogs.h"
#include "app/SessionEnd.h"
#include "app/Tools.h"
#include "app/TwApplication.h"
#include "mainwindow/frmStrategies.h"
#include "platform/FileWrite.h"

int main(int argc, char** argv)
{
    // First, before Qt and the OpenGL driver write anything (its shader
    // cache): under a file size limit a write fails and is told.
    tw::platform::ignoreFileSizeSignal();
    tw::TwApplication app(argc, argv);
    tw::setProcessArguments(QCoreApplication::arguments().mid(1));
    tw::QtDialogs dialogs;
    tw::setDialogs(&dialogs);
    tw::Main();
    tw::frmStrategies* window = tw::frmStrategies::instance();
    if (window == nullptr)
        return 1;
    const int rc = tw::execProgram(window);
    tw::setDialogs(nullptr);
    return rc;
}
