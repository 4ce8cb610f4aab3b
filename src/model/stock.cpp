#include "model/stock.h"

#include "app/TwError.h"

namespace tw {

namespace {
void requireObject(const std::shared_ptr<OptionsCollection>& value)
{
    if (!value)
        raiseRunTime(RunTime::ObjectRequired, QStringLiteral("Object required"));
}
} // namespace

stock::stock()
    : m_calls(std::make_shared<OptionsCollection>())
    , m_puts(std::make_shared<OptionsCollection>())
{
}

void stock::setCalls(std::shared_ptr<OptionsCollection> value)
{
    componentCall("Stock", "Calls", [&] {
        requireObject(value);
        m_calls = std::move(value);
    });
}

void stock::setPuts(std::shared_ptr<OptionsCollection> value)
{
    componentCall("Stock", "Puts", [&] {
        requireObject(value);
        m_puts = std::move(value);
    });
}

} // namespace tw
