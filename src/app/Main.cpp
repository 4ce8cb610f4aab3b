#include "app/CAppSettings.h"
#include "app/CCommandArgs.h"
#include "app/CErrorHandler.h"
#include "app/Convert.h"
#include "app/Tools.h"
#include "mainwindow/frmStrategies.h"

#include <QTimer>

namespace tw {

namespace {
// Start-up goes on whatever fails: a failing step is skipped.
template <class F>
void ignoringErrors(F&& step)
{
    try {
        step();
    } catch (...) {
    }
}
} // namespace

void Main()
{
    ignoringErrors([] {
        gErrorHandler = std::make_unique<CErrorHandler>();
        const QString folder = logFolder();
        gErrorHandler->Init(CErrorHandler::ActionErrorDialog, folder + QStringLiteral("/Error Log.txt"), true, false,
                            CErrorHandler::TraceFile, folder + QStringLiteral("/Tarnwell.trace.txt"));
    });
    ignoringErrors([] { errorHandler().setSupportMail(supportMailAddress()); });
    ignoringErrors([] {
        gCommandArgs = std::make_unique<CCommandArgs>();
        gCommandArgs->Init(QString(), CCommandArgs::NameValue, QStringLiteral("/"), QStringLiteral("="));
    });
    ignoringErrors([] {
        const int count = commandArgs().Count();
        for (int i = 1; i <= count; ++i) {
            if (commandArgs().Name(i).toUpper() == QLatin1String("TRACE")) {
                if (const auto on = parseBool(commandArgs().Value(i)))
                    errorHandler().setTracingEnabled(*on);
            }
        }
    });
    ignoringErrors([] {
        gAppSettings = std::make_unique<CAppSettings>();
        gAppSettings->Init(QStringLiteral("Myrtova"), QStringLiteral("Tarnwell"));
    });
    ignoringErrors([] { InitCommonControlsVB(); });
    // The splash window comes up here, before the main window loads, and is
    // unloaded once the main window has done its start-up work.
    ignoringErrors([] { frmStrategies::load(); });
    ignoringErrors([] { frmStrategies::instance()->show(); });
    ignoringErrors([] { frmStrategies::instance()->DelayTimer->start(); });
}

} // namespace tw
