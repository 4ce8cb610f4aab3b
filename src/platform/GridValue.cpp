#include "platform/GridValue.h"

#include <QDate>
#include <QHashFunctions>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <vector>

namespace tw::platform {

GridValue GridValue::integer(int64_t v)
{
    GridValue g;
    g.m_type = Type::Integer;
    g.m_int = v;
    return g;
}

GridValue GridValue::money(int64_t scaledUnits)
{
    GridValue g;
    g.m_type = Type::Money;
    g.m_int = scaledUnits;
    return g;
}

GridValue GridValue::date(double serial)
{
    GridValue g;
    g.m_type = Type::Date;
    g.m_double = serial;
    return g;
}

double GridValue::toDouble() const
{
    switch (m_type) {
    case Type::Integer:
        return static_cast<double>(m_int);
    case Type::Money:
        return static_cast<double>(m_int) / static_cast<double>(MoneyScale);
    case Type::Number:
    case Type::Date:
        return m_double;
    case Type::Text:
    case Type::Empty:
        break;
    }
    return 0.0;
}

bool GridValue::operator==(const GridValue& other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case Type::Empty:
        return true;
    case Type::Text:
        return m_text == other.m_text;
    case Type::Integer:
    case Type::Money:
        return m_int == other.m_int;
    case Type::Number:
    case Type::Date:
        return m_double == other.m_double;
    }
    return false;
}

size_t qHash(const GridValue& value, size_t seed)
{
    switch (value.m_type) {
    case GridValue::Type::Text:
        return qHash(value.m_text, seed);
    case GridValue::Type::Integer:
    case GridValue::Type::Money:
        return qHashMulti(seed, static_cast<int>(value.m_type), value.m_int);
    case GridValue::Type::Number:
    case GridValue::Type::Date:
        return qHashMulti(seed, static_cast<int>(value.m_type), value.m_double);
    case GridValue::Type::Empty:
        break;
    }
    return seed;
}

namespace {

// ---------------------------------------------------------------------------
// Decimal digits of a value, so that rounding works on the decimal form the
// user sees rather than on the binary fraction (2.675 rounds to 2.68).

struct Decimal {
    bool negative = false;
    QString intDigits;  // no leading zeros; empty for 0
    QString fracDigits; // no trailing zeros
    bool isZero() const { return intDigits.isEmpty() && fracDigits.isEmpty(); }
};

void normalise(Decimal& d)
{
    int lead = 0;
    while (lead < d.intDigits.size() && d.intDigits.at(lead) == QLatin1Char('0'))
        ++lead;
    d.intDigits.remove(0, lead);
    while (!d.fracDigits.isEmpty() && d.fracDigits.endsWith(QLatin1Char('0')))
        d.fracDigits.chop(1);
}

Decimal decimalFromDouble(double v)
{
    Decimal d;
    d.negative = std::signbit(v) && v != 0.0;
    // 15 significant digits, the precision a double reliably holds.
    const QString s = QString::number(std::fabs(v), 'e', 14);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    QString digits = s.left(1) + s.mid(2, e - 2);
    const int exponent = s.mid(e + 1).toInt();
    const int point = exponent + 1; // digits before the decimal point
    if (point <= 0) {
        d.fracDigits = QString(-point, QLatin1Char('0')) + digits;
    } else if (point >= digits.size()) {
        d.intDigits = digits + QString(point - digits.size(), QLatin1Char('0'));
    } else {
        d.intDigits = digits.left(point);
        d.fracDigits = digits.mid(point);
    }
    normalise(d);
    return d;
}

Decimal decimalFromMoney(int64_t units)
{
    Decimal d;
    d.negative = units < 0;
    const uint64_t a = d.negative ? (~static_cast<uint64_t>(units) + 1u) : static_cast<uint64_t>(units);
    d.intDigits = QString::number(a / static_cast<uint64_t>(GridValue::MoneyScale));
    d.fracDigits = QStringLiteral("%1").arg(a % static_cast<uint64_t>(GridValue::MoneyScale), 4, 10, QLatin1Char('0'));
    normalise(d);
    return d;
}

Decimal decimalOf(const GridValue& v)
{
    switch (v.type()) {
    case GridValue::Type::Money:
        return decimalFromMoney(v.moneyUnits());
    case GridValue::Type::Integer: {
        Decimal d;
        d.negative = v.integerValue() < 0;
        const int64_t i = v.integerValue();
        const uint64_t a = d.negative ? (~static_cast<uint64_t>(i) + 1u) : static_cast<uint64_t>(i);
        d.intDigits = QString::number(a);
        normalise(d);
        return d;
    }
    default:
        return decimalFromDouble(v.toDouble());
    }
}

// Rounds to `decimals` fraction digits, halves away from zero; the result's
// fraction has exactly `decimals` digits.
Decimal roundDecimal(Decimal d, int decimals)
{
    if (d.fracDigits.size() <= decimals) {
        d.fracDigits += QString(decimals - d.fracDigits.size(), QLatin1Char('0'));
        return d;
    }
    const bool up = d.fracDigits.at(decimals) >= QLatin1Char('5');
    QString all = d.intDigits + d.fracDigits.left(decimals);
    if (up) {
        qsizetype i = all.size() - 1;
        while (i >= 0 && all.at(i) == QLatin1Char('9')) {
            all[i] = QLatin1Char('0');
            --i;
        }
        if (i >= 0)
            all[i] = QChar(all.at(i).unicode() + 1);
        else
            all.prepend(QLatin1Char('1'));
    }
    Decimal r;
    r.negative = d.negative;
    r.intDigits = all.left(all.size() - decimals);
    r.fracDigits = all.right(decimals);
    int lead = 0;
    while (lead < r.intDigits.size() && r.intDigits.at(lead) == QLatin1Char('0'))
        ++lead;
    r.intDigits.remove(0, lead);
    return r;
}

Decimal timesHundred(Decimal d)
{
    for (int i = 0; i < 2; ++i) {
        if (d.fracDigits.isEmpty()) {
            d.intDigits += QLatin1Char('0');
        } else {
            d.intDigits += d.fracDigits.at(0);
            d.fracDigits.remove(0, 1);
        }
    }
    normalise(d);
    return d;
}

QString groupDigits(const QString& digits, const QLocale& locale)
{
    const QString sep = locale.groupSeparator();
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += sep;
        out += digits.at(i);
    }
    return out;
}

// ---------------------------------------------------------------------------
// Pattern scanning shared by numeric and date patterns.

// Splits at ';' outside quotes and escapes.
QStringList splitSections(const QString& format)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char('\\') && i + 1 < format.size()) {
            current += c;
            current += format.at(++i);
            continue;
        } else if (!quoted && c == QLatin1Char(';')) {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

bool isDatePattern(const QString& format)
{
    bool quoted = false;
    bool dateLetter = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('0') || c == QLatin1Char('#'))
            return false;
        if (QStringLiteral("dmyhnsDMYHNS").contains(c))
            dateLetter = true;
    }
    return dateLetter;
}

// ---------------------------------------------------------------------------
// Numeric patterns.

struct NumToken {
    enum Kind { Zero, Hash, Point, Literal } kind;
    QString text; // literal text
};

struct NumPattern {
    std::vector<NumToken> tokens;
    bool percent = false;
    bool grouping = false;
};

NumPattern parseNumPattern(const QString& section)
{
    NumPattern p;
    bool seenPoint = false;
    bool seenIntDigit = false;
    bool pendingComma = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (c == QLatin1Char('"')) {
            const qsizetype end = section.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype stop = end < 0 ? section.size() : end;
            p.tokens.push_back({NumToken::Literal, section.mid(i + 1, stop - i - 1)});
            i = stop;
        } else if (c == QLatin1Char('\\')) {
            if (i + 1 < section.size())
                p.tokens.push_back({NumToken::Literal, QString(section.at(++i))});
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (!seenPoint) {
                if (pendingComma && seenIntDigit)
                    p.grouping = true;
                seenIntDigit = true;
            }
            pendingComma = false;
            p.tokens.push_back({c == QLatin1Char('0') ? NumToken::Zero : NumToken::Hash, {}});
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
            pendingComma = false;
            p.tokens.push_back({NumToken::Point, {}});
        } else if (c == QLatin1Char(',') && !seenPoint) {
            pendingComma = true; // grouping when a digit placeholder follows
        } else if (c == QLatin1Char('%')) {
            p.percent = true;
            p.tokens.push_back({NumToken::Literal, QStringLiteral("%")});
        } else {
            p.tokens.push_back({NumToken::Literal, QString(c)});
        }
    }
    // Digits need a place even when the pattern has no integer placeholder.
    bool intPlaceholder = false;
    std::size_t pointAt = p.tokens.size();
    for (std::size_t i = 0; i < p.tokens.size(); ++i) {
        if (p.tokens[i].kind == NumToken::Point) {
            pointAt = i;
            break;
        }
        if (p.tokens[i].kind == NumToken::Zero || p.tokens[i].kind == NumToken::Hash)
            intPlaceholder = true;
    }
    if (!intPlaceholder) {
        std::size_t at = pointAt;
        if (pointAt == p.tokens.size()) {
            // No point either: digits go before any trailing literal.
            at = 0;
            while (at < p.tokens.size() && p.tokens[at].kind == NumToken::Literal && p.tokens[at].text != QLatin1String("%"))
                ++at;
        }
        p.tokens.insert(p.tokens.begin() + static_cast<std::ptrdiff_t>(at), NumToken{NumToken::Hash, {}});
    }
    return p;
}

QString applyNumPattern(const NumPattern& p, Decimal value, bool withSign, const QLocale& locale)
{
    if (p.percent)
        value = timesHundred(value);

    std::size_t pointAt = p.tokens.size();
    for (std::size_t i = 0; i < p.tokens.size(); ++i)
        if (p.tokens[i].kind == NumToken::Point) {
            pointAt = i;
            break;
        }
    int decimals = 0;
    int lastZero = 0; // fraction digits that must show
    for (std::size_t i = pointAt; i < p.tokens.size(); ++i) {
        if (p.tokens[i].kind == NumToken::Zero || p.tokens[i].kind == NumToken::Hash) {
            ++decimals;
            if (p.tokens[i].kind == NumToken::Zero)
                lastZero = decimals;
        }
    }
    const Decimal r = roundDecimal(value, decimals);
    QString frac = r.fracDigits;
    while (frac.size() > lastZero && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);

    // Integer part: fill the placeholders from the right; the leftmost one
    // takes every digit that is left over.
    std::vector<std::size_t> intPlaces;
    for (std::size_t i = 0; i < pointAt; ++i)
        if (p.tokens[i].kind == NumToken::Zero || p.tokens[i].kind == NumToken::Hash)
            intPlaces.push_back(i);

    std::vector<QString> out(p.tokens.size());
    for (std::size_t i = 0; i < p.tokens.size(); ++i)
        if (p.tokens[i].kind == NumToken::Literal)
            out[i] = p.tokens[i].text;

    const QString digits = r.intDigits;
    if (p.grouping) {
        int minDigits = 0;
        for (std::size_t i : intPlaces)
            if (p.tokens[i].kind == NumToken::Zero)
                ++minDigits;
        QString padded = digits;
        if (padded.size() < minDigits)
            padded.prepend(QString(minDigits - padded.size(), QLatin1Char('0')));
        for (std::size_t k = intPlaces.front(); k <= intPlaces.back(); ++k)
            out[k].clear();
        out[intPlaces.front()] = groupDigits(padded, locale);
    } else {
        qsizetype remaining = digits.size();
        for (std::size_t n = intPlaces.size(); n-- > 0;) {
            const std::size_t at = intPlaces[n];
            if (n == 0) {
                if (remaining > 0)
                    out[at] = digits.left(remaining);
                else if (p.tokens[at].kind == NumToken::Zero)
                    out[at] = QStringLiteral("0");
            } else if (remaining > 0) {
                out[at] = digits.at(remaining - 1);
                --remaining;
            } else if (p.tokens[at].kind == NumToken::Zero) {
                out[at] = QStringLiteral("0");
            }
        }
    }

    qsizetype fracIndex = 0;
    for (std::size_t i = pointAt; i < p.tokens.size(); ++i) {
        const NumToken& t = p.tokens[i];
        if (t.kind == NumToken::Point) {
            out[i] = locale.decimalPoint();
        } else if (t.kind == NumToken::Zero || t.kind == NumToken::Hash) {
            if (fracIndex < frac.size())
                out[i] = frac.at(fracIndex);
            else if (t.kind == NumToken::Zero)
                out[i] = QStringLiteral("0");
            ++fracIndex;
        }
    }

    QString text;
    for (const QString& s : out)
        text += s;
    bool roundedZero = r.intDigits.isEmpty();
    for (const QChar ch : r.fracDigits)
        if (ch != QLatin1Char('0'))
            roundedZero = false;
    if (withSign && value.negative && !roundedZero)
        text.prepend(locale.negativeSign());
    return text;
}

QString formatNumber(const GridValue& v, const QString& format, const QLocale& locale)
{
    const QStringList sections = splitSections(format);
    Decimal d = decimalOf(v);
    const bool zero = d.isZero();
    QString section = sections.at(0);
    bool withSign = true;
    if (d.negative && sections.size() >= 2 && !sections.at(1).isEmpty()) {
        section = sections.at(1);
        withSign = false; // the negative section writes its own sign
    } else if (zero && sections.size() >= 3 && !sections.at(2).isEmpty()) {
        section = sections.at(2);
    }
    return applyNumPattern(parseNumPattern(section), d, withSign, locale);
}

// ---------------------------------------------------------------------------
// Dates.

QDateTime dateTimeOfSerial(double serial)
{
    const double days = std::trunc(serial);
    const double fraction = std::fabs(serial - days);
    qint64 seconds = std::llround(fraction * 86400.0);
    QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
    if (seconds >= 86400) {
        seconds -= 86400;
        date = date.addDays(1);
    }
    return QDateTime(date, QTime(0, 0).addSecs(static_cast<int>(seconds)));
}

QString plainTime(const QTime& t) { return t.toString(QStringLiteral("HH:mm:ss")); }

QString plainDate(double serial, const QLocale& locale)
{
    const QDateTime dt = dateTimeOfSerial(serial);
    const bool midnight = dt.time() == QTime(0, 0);
    if (midnight)
        return locale.toString(dt.date(), QLocale::ShortFormat);
    if (std::trunc(serial) == 0.0)
        return plainTime(dt.time());
    return locale.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ') + plainTime(dt.time());
}

QString applyDatePattern(const QString& pattern, const QDateTime& dt, const QLocale& locale)
{
    const bool twelveHour = pattern.contains(QLatin1String("AM/PM"), Qt::CaseInsensitive) ||
                            pattern.contains(QLatin1String("A/P"), Qt::CaseInsensitive);
    QString out;
    bool lastWasHour = false;
    const QDate d = dt.date();
    const QTime t = dt.time();
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        const QChar lc = c.toLower();
        if (c == QLatin1Char('"')) {
            const qsizetype end = pattern.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end;
            out += pattern.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (c == QLatin1Char('\\')) {
            if (i + 1 < pattern.size())
                out += pattern.at(i + 1);
            i += 2;
            continue;
        }
        if (pattern.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            const bool lower = c.isLower();
            const QString s = t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            out += lower ? s.toLower() : s;
            i += 5;
            continue;
        }
        if (pattern.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            const bool lower = c.isLower();
            const QString s = t.hour() < 12 ? QStringLiteral("A") : QStringLiteral("P");
            out += lower ? s.toLower() : s;
            i += 3;
            continue;
        }
        if (!QStringLiteral("dmyhns").contains(lc)) {
            out += c;
            ++i;
            continue;
        }
        qsizetype n = 1;
        while (i + n < pattern.size() && pattern.at(i + n).toLower() == lc)
            ++n;
        i += n;
        if (lc == QLatin1Char('d')) {
            if (n == 1)
                out += QString::number(d.day());
            else if (n == 2)
                out += two(d.day());
            else if (n == 3)
                out += locale.dayName(d.dayOfWeek(), QLocale::ShortFormat);
            else if (n == 4)
                out += locale.dayName(d.dayOfWeek(), QLocale::LongFormat);
            else if (n == 5)
                out += locale.toString(d, QLocale::ShortFormat);
            else
                out += locale.toString(d, QLocale::LongFormat);
            lastWasHour = false;
        } else if (lc == QLatin1Char('m')) {
            if (lastWasHour && n <= 2) {
                out += n == 1 ? QString::number(t.minute()) : two(t.minute());
            } else if (n == 1) {
                out += QString::number(d.month());
            } else if (n == 2) {
                out += two(d.month());
            } else if (n == 3) {
                out += locale.monthName(d.month(), QLocale::ShortFormat);
            } else {
                out += locale.monthName(d.month(), QLocale::LongFormat);
            }
            lastWasHour = false;
        } else if (lc == QLatin1Char('y')) {
            if (n == 1)
                out += QString::number(d.dayOfYear());
            else if (n == 2)
                out += two(d.year() % 100);
            else
                out += QString::number(d.year());
            lastWasHour = false;
        } else if (lc == QLatin1Char('h')) {
            int h = t.hour();
            if (twelveHour) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += n == 1 ? QString::number(h) : two(h);
            lastWasHour = true;
        } else if (lc == QLatin1Char('n')) {
            out += n == 1 ? QString::number(t.minute()) : two(t.minute());
            lastWasHour = false;
        } else { // s
            out += n == 1 ? QString::number(t.second()) : two(t.second());
            lastWasHour = false;
        }
    }
    return out;
}

QString plainNumber(const GridValue& v, const QLocale& locale)
{
    switch (v.type()) {
    case GridValue::Type::Integer:
        return QString::number(v.integerValue());
    case GridValue::Type::Money: {
        const Decimal d = decimalFromMoney(v.moneyUnits());
        QString s = d.intDigits.isEmpty() ? QStringLiteral("0") : d.intDigits;
        if (!d.fracDigits.isEmpty())
            s += locale.decimalPoint() + d.fracDigits;
        if (d.negative && !d.isZero())
            s.prepend(locale.negativeSign());
        return s;
    }
    default: {
        const double x = v.toDouble();
        if (x == 0.0)
            return QStringLiteral("0");
        QString s = QString::number(x, 'g', 15);
        s.replace(QLatin1Char('.'), locale.decimalPoint());
        s.replace(QLatin1Char('-'), locale.negativeSign());
        return s;
    }
    }
}

} // namespace

QString formatGridValue(const GridValue& value, const QString& format, const QLocale& locale)
{
    switch (value.type()) {
    case GridValue::Type::Empty:
        return {};
    case GridValue::Type::Text:
        return value.textValue();
    default:
        break;
    }

    const QString named = format.trimmed().toLower();
    if (named.isEmpty()) {
        if (value.type() == GridValue::Type::Date)
            return plainDate(value.toDouble(), locale);
        return plainNumber(value, locale);
    }
    if (named == QLatin1String("general number"))
        return plainNumber(value.type() == GridValue::Type::Date ? GridValue(value.toDouble()) : value, locale);
    if (named == QLatin1String("fixed"))
        return formatNumber(value, QStringLiteral("0.00"), locale);
    if (named == QLatin1String("standard"))
        return formatNumber(value, QStringLiteral("#,##0.00"), locale);
    if (named == QLatin1String("percent"))
        return formatNumber(value, QStringLiteral("0.00%"), locale);

    const double serial = value.toDouble();
    if (named == QLatin1String("general date"))
        return plainDate(serial, locale);
    if (named == QLatin1String("short date"))
        return locale.toString(dateTimeOfSerial(serial).date(), QLocale::ShortFormat);
    if (named == QLatin1String("long date"))
        return locale.toString(dateTimeOfSerial(serial).date(), QLocale::LongFormat);
    if (named == QLatin1String("short time"))
        return applyDatePattern(QStringLiteral("hh:nn"), dateTimeOfSerial(serial), locale);
    if (named == QLatin1String("long time"))
        return applyDatePattern(QStringLiteral("hh:nn:ss"), dateTimeOfSerial(serial), locale);

    if (isDatePattern(format))
        return applyDatePattern(format, dateTimeOfSerial(serial), locale);
    return formatNumber(value, format, locale);
}

} // namespace tw::platform
