#pragma once
// What the pricing-parameter boxes accept, decided without any widget.

#include <QLocale>
#include <QString>
#include <optional>

namespace tw {

// A box's text as a number by the user's locale (surrounding blanks allowed);
// no value for anything else, or for a number that is not finite.
std::optional<double> boxNumber(const QString& text, const QLocale& locale);

// Volatility in percent: above 0 and below 200.
bool volatilityAccepted(double percent);
// Interest rate and dividend yield in percent: any number the pricing can
// use (above -100 and below 1000).
bool rateAccepted(double percent);

// The text the Escape key puts back: at most 15 significant digits, no
// trailing zeros, the locale's decimal separator (45 -> "45", 0.025 x 100 ->
// "2.5").
QString escapeText(double value, const QLocale& locale);

struct StepsDecision {
    enum Kind { Refuse, Confirm, Accept };
    Kind kind = Refuse;
    int steps = 0; // the whole number, halves rounded to even
};
// Steps 1..200, asking for confirmation above 50; a text that is not a
// number is refused.
StepsDecision decideSteps(const QString& text, const QLocale& locale);

// The ticker a chain's settings are kept under: the code up to its first
// blank.
QString tickerOfCode(const QString& code);

} // namespace tw
