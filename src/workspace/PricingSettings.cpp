#include "workspace/PricingSettings.h"

#include "app/CAppSettings.h"
#include "app/Convert.h"

#include <QLocale>
#include <cmath>

namespace tw {

namespace {
const QString kSettings = QStringLiteral("Settings");

int intInRange(const CAppSettings& s, const char* key, int def, int low, int high)
{
    const int v = settingInt(s, kSettings, QLatin1String(key), def);
    return (v < low || v > high) ? def : v;
}
} // namespace

double numberFromStoredText(const QString& text, bool* ok)
{
    // Settings written by this program use "."; older ones may hold the
    // user's own decimal separator.
    if (const auto v = parseNumber(text)) {
        *ok = true;
        return *v;
    }
    bool localeOk = false;
    const double v = QLocale().toDouble(text.trimmed(), &localeOk);
    *ok = localeOk && std::isfinite(v);
    return *ok ? v : 0.0;
}

QString storedTextFromNumber(double value)
{
    return QLocale::c().toString(value, 'g', 15);
}

PricingSettings readPricingSettings(const CAppSettings& s)
{
    PricingSettings p;
    bool ok = false;
    const double vol = numberFromStoredText(settingText(s, kSettings, QStringLiteral("Volatility"), QStringLiteral("50")), &ok);
    if (ok && vol > 0 && vol < 200)
        p.volatility = vol;
    const double rate = numberFromStoredText(settingText(s, kSettings, QStringLiteral("Interest"), QStringLiteral("5")), &ok);
    if (ok && rate > -100 && rate < 1000)
        p.interest = rate;
    p.exchange = intInRange(s, "Exchange", 0, 0, ExchangeCount - 1);
    p.calcMode = intInRange(s, "CalcMode", 0, 0, 1);
    p.priceModel = intInRange(s, "PriceModel", 1, 0, 3);
    p.plSign = settingInt(s, kSettings, QStringLiteral("PLSign"), 1) != 0 ? 1 : 0;
    p.steps = intInRange(s, "Steps", 10, 1, 200);
    p.model = intInRange(s, "Model", 0, 0, 2);
    return p;
}

} // namespace tw
