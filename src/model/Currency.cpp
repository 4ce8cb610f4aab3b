#include "model/Currency.h"

#include "app/Convert.h"
#include "app/TwError.h"

#include <cmath>

namespace tw {

namespace {

[[noreturn]] void overflow()
{
    raiseRunTime(RunTime::Overflow, QStringLiteral("Overflow"));
}

// The largest magnitude that a double holds exactly as a whole number; raw
// counts beyond it could not come from a rounded double anyway.
constexpr double kMaxRaw = 9.2233720368547748e18;

} // namespace

Currency Currency::fromDouble(double value)
{
    const double scaled = roundHalfEven(value * static_cast<double>(Scale));
    if (!std::isfinite(scaled) || scaled >= kMaxRaw || scaled < -kMaxRaw)
        overflow();
    return fromRaw(static_cast<int64_t>(scaled));
}

std::optional<Currency> Currency::parse(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    // Whole part and up to four decimals go into the count; a fifth decimal
    // and any later non-zero digit decide the rounding.
    int64_t raw = 0;
    int digits = 0;
    int decimals = 0;
    int roundDigit = -1;
    bool beyondNonZero = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('.')) {
            if (point)
                return std::nullopt;
            point = true;
            continue;
        }
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
        const int d = c.unicode() - '0';
        ++digits;
        if (!point || decimals < 4) {
            if (raw > (INT64_MAX - d) / 10)
                return std::nullopt;
            raw = raw * 10 + d;
            if (point)
                ++decimals;
        } else if (roundDigit < 0) {
            roundDigit = d;
        } else if (d != 0) {
            beyondNonZero = true;
        }
    }
    if (digits == 0)
        return std::nullopt;
    for (; decimals < 4; ++decimals) {
        if (raw > INT64_MAX / 10)
            return std::nullopt;
        raw *= 10;
    }
    if (roundDigit > 5 || (roundDigit == 5 && (beyondNonZero || (raw & 1) != 0))) {
        if (raw == INT64_MAX)
            return std::nullopt;
        ++raw;
    }
    return fromRaw(negative ? -raw : raw);
}

QString Currency::toString() const
{
    const bool negative = m_raw < 0;
    // Magnitude as unsigned so that the most negative count prints too.
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(m_raw) : static_cast<uint64_t>(m_raw);
    QString text = QString::number(magnitude / Scale);
    uint64_t fraction = magnitude % Scale;
    if (fraction != 0) {
        QString decimals = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (decimals.endsWith(QLatin1Char('0')))
            decimals.chop(1);
        text += QLatin1Char('.') + decimals;
    }
    return negative ? QLatin1Char('-') + text : text;
}

Currency& Currency::operator+=(Currency other)
{
    int64_t sum = 0;
    if (__builtin_add_overflow(m_raw, other.m_raw, &sum))
        overflow();
    m_raw = sum;
    return *this;
}

Currency& Currency::operator-=(Currency other)
{
    int64_t difference = 0;
    if (__builtin_sub_overflow(m_raw, other.m_raw, &difference))
        overflow();
    m_raw = difference;
    return *this;
}

Currency Currency::operator-() const
{
    if (m_raw == INT64_MIN)
        overflow();
    return fromRaw(-m_raw);
}

Currency absDifference(Currency a, Currency b)
{
    const Currency d = a - b;
    return d.raw() < 0 ? -d : d;
}

} // namespace tw
