#include "app/TwApplication.h"

#include "app/Procedure.h"

namespace tw {

TwApplication::TwApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tarnwell"));
    setOrganizationName(QStringLiteral("Myrtova"));
    setApplicationVersion(QStringLiteral(TARNWELL_VERSION));
}

bool TwApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportShieldedFailure("event handler");
        return false;
    }
}

} // namespace tw
