#include "app/QtDialogs.h"
#include "app/Tools.h"
#include "app/TwApplication.h"

int main(int argc, char** argv)
{
    tw::TwApplication app(argc, argv);
    tw::setProcessArguments(QCoreApplication::arguments().mid(1));
    tw::QtDialogs dialogs;
    tw::setDialogs(&dialogs);
    tw::Main();
    const int rc = QApplication::exec();
    tw::setDialogs(nullptr);
    return rc;
}
