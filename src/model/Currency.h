#pragma once
// Money: prices, strikes, bids and asks are held as a signed 64-bit count of
// ten-thousandths, so four decimal places are exact and strikes compare
// exactly (95.5 never becomes 95.4999...).

#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

namespace tw {

class Currency {
public:
    static constexpr int64_t Scale = 10000;

    constexpr Currency() = default;

    // A value from its count of ten-thousandths.
    static constexpr Currency fromRaw(int64_t raw)
    {
        Currency c;
        c.m_raw = raw;
        return c;
    }
    // A value from a double, rounded to four decimals, halves to even. A value
    // that is not a number or does not fit raises the run-time error
    // "Overflow" (6).
    static Currency fromDouble(double value);
    // Reads "-12.5", "0.0375", " 100 " ("." is the decimal separator whatever
    // the locale). More than four decimals round half to even; anything else
    // than an optional sign, digits and one point gives no value.
    static std::optional<Currency> parse(QStringView text);

    constexpr int64_t raw() const { return m_raw; }
    double toDouble() const { return static_cast<double>(m_raw) / static_cast<double>(Scale); }
    // The shortest exact text: "12.5", "-0.0001", "100" (never a locale form).
    QString toString() const;

    Currency operator-() const;
    Currency& operator+=(Currency other);
    Currency& operator-=(Currency other);
    friend Currency operator+(Currency a, Currency b) { return a += b; }
    friend Currency operator-(Currency a, Currency b) { return a -= b; }
    friend constexpr bool operator==(Currency, Currency) = default;
    friend constexpr std::strong_ordering operator<=>(Currency, Currency) = default;

private:
    int64_t m_raw = 0;
};

// The distance between two amounts (|a - b|), exact.
Currency absDifference(Currency a, Currency b);

} // namespace tw
