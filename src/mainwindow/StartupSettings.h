#pragma once
// The settings the main window restores at start-up, read and checked
// without any widget: every value that is missing, unreadable or out of its
// range gives its default, so a damaged settings file can never start the
// program with an impossible state.

#include <QRectF>
#include <QString>
#include <QStringList>

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
constexpr int MaxReopenedCharts = 32;
// The chain tab to select (1..3; anything else gives 1).
int validTab(int tab);
// The number of 2-D chart windows to reopen, kept within 0..32.
int validChartCount(int count);

// The start places of the main window (left half of the work area) and the
// 3-D window (the lower right quarter), from the work area's edges in twips.
struct TiledPlaces {
    QRectF main;
    QRectF chart3d;
};
TiledPlaces tiledPlaces(float left, float top, float right, float bottom);

// The keys of the main window's place (its outer rectangle in twips) in
// section "Settings": what the start-up restores and the exit saves.
QStringList mainWindowPlaceKeys();

// A shipped data file by its bare name: next to the program, or in the
// installed data folder; the program folder's path when it is in neither.
QString locateShippedFile(const QString& bareName);

} // namespace tw
