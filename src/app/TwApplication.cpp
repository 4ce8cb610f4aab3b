#include "app/TwApplication.h"

#include "app/Procedure.h"

#include <QFont>

namespace tw {

TwApplication::TwApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tarnwell"));
    setOrganizationName(QStringLiteral("Myrtova"));
    setApplicationVersion(QStringLiteral(TARNWELL_VERSION));
    // The windows are laid out for Tahoma's narrow letters. Where Tahoma is
    // not installed, take a face of about its width rather than the wider
    // default sans-serif face, so that captions fit their places.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("Nimbus Sans"), QStringLiteral("Arial"),
                                QStringLiteral("DejaVu Sans Condensed")});
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
