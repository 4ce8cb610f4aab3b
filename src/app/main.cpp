#include "app/QtDialogs.h"
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
    if (tw::frmStrategies* window = tw::frmStrategies::instance())
        QObject::connect(window, &QObject::destroyed, &app, &QCoreApplication::quit);
    else
        return 1;
    const int rc = QApplication::exec();
    tw::setDialogs(nullptr);
    return rc;
}
