#pragma once
// The pricing settings the main window restores at start-up and the number
// texts the settings keep, read and checked without any widget: every value
// that is missing, unreadable or out of its range gives its default, so a
// damaged settings file can never start the program with an impossible state.

#include <QString>

namespace tw {

class CAppSettings;

struct PricingSettings {
    double volatility = 50;   // percent, 0 < v < 200
    double interest = 5;      // percent
    int exchange = 0;         // index of the exchange box, 0..5
    int calcMode = 0;         // 0 "Profit/Loss", 1 "Position worth"
    int priceModel = 1;       // 0 none (position worth), 1 last sale, 2 model, 3 bid/ask
    int plSign = 1;           // the check box, 0 or 1
    int steps = 10;           // binomial steps, 1..200
    int model = 0;            // 0 Black-Scholes, 1 binomial European, 2 binomial American
};

// Section "Settings": "Volatility", "Interest", "Exchange", "CalcMode",
// "PriceModel", "PLSign", "Steps", "Model".
PricingSettings readPricingSettings(const CAppSettings& settings);

// Texts of numbers as the settings keep them (locale-independent); a number
// shown in a box uses the user's locale instead.
double numberFromStoredText(const QString& text, bool* ok);
QString storedTextFromNumber(double value);

constexpr int ExchangeCount = 6;

} // namespace tw
