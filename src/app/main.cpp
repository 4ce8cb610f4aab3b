#include "app/QtDialogs.h"
#include "app/SessionEnd.h"
#include "app/Tools.h"
#include "app/TwApplication.h"
#include "mainwindow/frmStrategies.h"

int main(int argc, char** argv)
{
    tw::TwApplication app(argc, argv);
    tw::setProcessArguments(QCoreApplication::arguments().mid(1));
    tw::QtDialogs dialogs;
    tw::setDialogs(&dialogs);
    tw::Main();
    // Closing the main window ends the program, whatever other windows are
    // still open.
    tw::frmStrategies* window = tw::frmStrategies::instance();
    if (window == nullptr)
        return 1;
    QObject::connect(window, &QObject::destroyed, &app, &QCoreApplication::quit);
    tw::SessionEnd sessionEnd(window);
    const int rc = QApplication::exec();
    sessionEnd.closeWindows();
    tw::setDialogs(nullptr);
    return rc;
}
