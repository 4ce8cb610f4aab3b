#include "app/Procedure.h"

#include "app/CErrorHandler.h"
#include "app/Tools.h"

#include <cstdio>

namespace tw {

Procedure::Procedure(const char* object, const char* procedure)
    : m_name(QStringLiteral("Tarnwell.%1.%2").arg(QLatin1String(object), QLatin1String(procedure)))
{
    try {
        errorHandler().CallStackPush(m_name, QString());
    } catch (...) {
        reportShieldedFailure("Procedure entry");
    }
}

Procedure::~Procedure()
{
    if (m_aborted)
        return;
    try {
        errorHandler().CallStackPop();
    } catch (...) {
        reportShieldedFailure("Procedure exit");
    }
}

int Procedure::answer() noexcept
{
    return errorHandler().HandleError(QString());
}

void Procedure::abort() noexcept
{
    m_aborted = true;
    try {
        errorHandler().CallStackClear();
    } catch (...) {
        reportShieldedFailure("Procedure abort");
    }
}

void reportShieldedFailure(const char* where) noexcept
{
    try {
        const TwError e = currentError();
        std::fprintf(stderr, "Tarnwell: error in %s: %d (%s)\n", where, e.number(), qPrintable(e.description()));
        errorHandler().WriteTrace(QStringLiteral("Error in %1: %2 (%3)")
                                      .arg(QLatin1String(where))
                                      .arg(e.number())
                                      .arg(e.description()));
    } catch (...) {
        std::fprintf(stderr, "Tarnwell: error in %s\n", where);
    }
}

} // namespace tw
