#include "app/AppIcons.h"
#include "app/CAppSettings.h"
#include "app/CCommandArgs.h"
#include "app/CErrorHandler.h"
#include "app/Convert.h"
#include "app/Tools.h"
#include "app/frmSplash.h"
#include "mainwindow/frmStrategies.h"
#include "platform/FileWrite.h"
#include "platform/RegistryStore.h"

#include <QApplication>
#include <QDir>
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
        const QDir folder(logFolder());
        gErrorHandler->Init(CErrorHandler::ActionErrorDialog, folder.filePath(QLatin1String(ErrorLogFileName)), true,
                            false, CErrorHandler::TraceFile, folder.filePath(QLatin1String(TraceFileName)));
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
    // Partial copies of the settings files that an earlier run was killed in
    // the middle of writing.
    ignoringErrors([] { platform::removeSaveLeftovers(platform::RegistryStore::folder()); });
    ignoringErrors([] { InitCommonControlsVB(); });
    ignoringErrors([] { QApplication::setWindowIcon(AppIcons::programIcon()); });
    // The splash window is up while the main window loads; painting it at
    // once puts it on screen before the long start-up work begins.
    ignoringErrors([] {
        frmSplash* splash = frmSplash::instance();
        splash->show();
        splash->raise();
        splash->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    ignoringErrors([] { frmStrategies::load(); });
    // The user may have dismissed the splash already; then this does nothing.
    ignoringErrors([] { frmSplash::unload(); });
    ignoringErrors([] { frmStrategies::instance()->show(); });
    ignoringErrors([] { frmStrategies::instance()->startDelayTimer(); });
}

} // namespace tw
