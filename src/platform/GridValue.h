#pragma once
// A typed cell value of the grid (text, whole number, number, money, date)
// and the text form in which the grid shows it: plain, or shaped by a
// classic desktop format string ("0.00", "#,##0.00", "mmm yy", "Fixed"...).

#include <QLocale>
#include <QString>
#include <cstdint>

namespace tw::platform {

class GridValue {
public:
    enum class Type : uint8_t { Empty, Text, Integer, Number, Money, Date };

    // Money is fixed point: whole units of 1/10,000.
    static constexpr int64_t MoneyScale = 10000;

    GridValue() = default;
    GridValue(const QString& text) : m_type(Type::Text), m_text(text) {}
    GridValue(const char* text) : m_type(Type::Text), m_text(QString::fromUtf8(text)) {}
    GridValue(int value) : m_type(Type::Integer), m_int(value) {}
    GridValue(double value) : m_type(Type::Number), m_double(value) {}

    static GridValue text(const QString& t) { return GridValue(t); }
    static GridValue integer(int64_t v);
    static GridValue number(double v) { return GridValue(v); }
    // Money as a count of 1/10,000 units (the fixed-point money type's raw value).
    static GridValue money(int64_t scaledUnits);
    // A date serial: days since 30 December 1899, the fraction the time of day.
    static GridValue date(double serial);

    Type type() const { return m_type; }
    bool isEmpty() const { return m_type == Type::Empty; }
    bool isNumeric() const { return m_type == Type::Integer || m_type == Type::Number || m_type == Type::Money; }

    // The text of a text value (empty for the other types).
    const QString& textValue() const { return m_text; }
    int64_t integerValue() const { return m_int; }
    int64_t moneyUnits() const { return m_int; }
    // The value as a double: numbers and date serials as they are, money
    // divided by its scale, whole numbers converted, text and empty 0.
    double toDouble() const;

    bool operator==(const GridValue& other) const;
    bool operator!=(const GridValue& other) const { return !(*this == other); }
    // Equal values hash alike (for keeping what was worked out per value).
    friend size_t qHash(const GridValue& value, size_t seed);

private:
    Type m_type = Type::Empty;
    int64_t m_int = 0;
    double m_double = 0.0;
    QString m_text;
};

size_t qHash(const GridValue& value, size_t seed = 0);

// The text in which the grid shows a value. Without a format string: text as
// it is; whole numbers in digits; numbers with up to 15 significant digits;
// money without thousands separators, trailing zeros or more than four
// decimals; dates in the locale's short date form (with the time when it is
// not midnight). With a format string, numbers take numeric patterns
// (0 # . , % and literals, up to three sections "positive;negative;zero")
// and dates take date patterns (d dd ddd dddd m mm mmm mmmm yy yyyy h hh
// n nn s ss AM/PM); the named formats "General Number", "Fixed", "Standard",
// "Percent", "General Date", "Short Date", "Long Date", "Short Time" and
// "Long Time" are understood. Text values are never reformatted. Halves are
// rounded away from zero, as format strings always did.
QString formatGridValue(const GridValue& value, const QString& format, const QLocale& locale = QLocale());

} // namespace tw::platform
