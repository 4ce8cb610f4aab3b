// The sample chain's generator as a library (see SampleChain.h).

#include "SampleChain.h"

#include "ListFile.h"
#include "app/Convert.h"
#include "marketdata/QuoteTable.h"
#include "model/statmath.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tw::tools {

namespace {

int64_t centsOf(const QString& text, int line)
{
    const auto v = parseNumber(text);
    if (!v || *v < 0 || *v > 100000)
        throw ListError{line, QStringLiteral("\"%1\" is not a price").arg(text)};
    return static_cast<int64_t>(std::llround(*v * 100.0));
}

// A small generator with a fixed sequence for a given seed (SplitMix64), so
// the output does not depend on the standard library's distributions.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double between(double low, double high) { return low + (high - low) * uniform(); }
    bool chance(double p) { return uniform() < p; }

private:
    uint64_t m_state;
};

QString price(int64_t cents)
{
    const char* sign = cents < 0 ? "-" : "";
    const int64_t a = std::llabs(cents);
    return QString::asprintf("%s%lld.%02lld", sign, static_cast<long long>(a / 100), static_cast<long long>(a % 100));
}

QString netChange(int64_t cents)
{
    return cents == 0 ? QStringLiteral("0") : (cents > 0 ? QStringLiteral("+") : QString()) + price(cents);
}

// Option prices trade in nickels below 3 and in dimes above.
int64_t tickOf(double value)
{
    return value < 3.0 ? 5 : 10;
}

int64_t floorToTick(double value, int64_t tick)
{
    return static_cast<int64_t>(std::floor(value * 100.0 / static_cast<double>(tick) + 1e-9)) * tick;
}

int64_t ceilToTick(double value, int64_t tick)
{
    return static_cast<int64_t>(std::ceil(value * 100.0 / static_cast<double>(tick) - 1e-9)) * tick;
}

int64_t roundToTick(double value, int64_t tick)
{
    return static_cast<int64_t>(std::llround(value * 100.0 / static_cast<double>(tick))) * tick;
}

struct Quote {
    int64_t last = 0;
    QString net;
    int64_t bid = 0;
    int64_t ask = 0;
    int32_t volume = 0;
    int32_t openInt = 0;
};

// The market of one option around its model price `theo`: the spread
// widens with the price, the bid never exceeds the model price and the ask
// never falls below it.
void market(double theo, Quote& q)
{
    const double half = theo < 2.0 ? 0.05 : theo < 5.0 ? 0.10 : theo < 10.0 ? 0.15 : theo < 20.0 ? 0.20 : 0.25;
    if (theo < 0.025) {
        q.bid = 0;
        q.ask = 5;
        return;
    }
    q.bid = std::max<int64_t>(0, floorToTick(theo - half, tickOf(theo - half)));
    q.ask = std::max<int64_t>(q.bid + 5, ceilToTick(theo + half, tickOf(theo + half)));
}

// Made-up trading figures: busier near the money and in the near months.
void trading(Random& rnd, double theo, double delta, double moneyness, int expiryIndex, double share,
             double stockNet, Quote& q)
{
    const double activity = std::exp(-std::fabs(moneyness) * 9.0) / (1.0 + 0.7 * expiryIndex) * share;
    q.openInt = static_cast<int32_t>(std::lround((150.0 + 6000.0 * activity) * rnd.between(0.4, 1.6)));
    q.volume = rnd.chance(0.15 + 0.8 * std::min(1.0, activity * 3.0))
                   ? static_cast<int32_t>(std::lround(1.0 + 900.0 * activity * rnd.between(0.1, 1.5)))
                   : 0;
    if (q.volume == 0) {
        // Last traded on an earlier day.
        q.last = q.openInt > 0 && theo >= 0.05 ? std::max<int64_t>(5, roundToTick(theo * rnd.between(0.93, 1.07), 5))
                                               : 0;
        q.net = QStringLiteral("0");
        return;
    }
    const double last = rnd.between(q.bid, q.ask) / 100.0;
    q.last = std::max<int64_t>(5, roundToTick(last, tickOf(last)));
    q.net = netChange(roundToTick(delta * stockNet + rnd.between(-0.06, 0.06), 5));
}

QString optionDescription(const ChainExpiry& e, int64_t strikeCents, bool call, QChar exchange)
{
    const int month = e.date.month();
    const QChar monthLetter = QChar(static_cast<char16_t>((call ? 'A' : 'M') + month - 1));
    QChar strikeLetter;
    if (strikeCents % 500 == 0)
        strikeLetter = QChar(static_cast<char16_t>('A' + ((strikeCents / 500 - 1) % 20 + 20) % 20));
    else
        strikeLetter = QChar(static_cast<char16_t>('U' + (((strikeCents - 750) / 500) % 6 + 6) % 6));
    return QStringLiteral("%1 %2 (%3 %4%5-%6)")
        .arg(e.text, price(strikeCents), e.root)
        .arg(monthLetter)
        .arg(strikeLetter)
        .arg(exchange);
}

QString half(const QString& description, const Quote& q)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
        .arg(description, price(q.last), q.net, price(q.bid), price(q.ask))
        .arg(q.volume)
        .arg(q.openInt);
}

} // namespace

QString ChainDescription::text(const char* key) const
{
    const auto it = values.find(QLatin1String(key));
    if (it == values.end())
        throw ListError{0, QStringLiteral("the description has no \"%1:\"").arg(QLatin1String(key))};
    return *it;
}

double ChainDescription::number(const char* key) const
{
    const auto v = parseNumber(text(key));
    if (!v)
        throw ListError{0, QStringLiteral("\"%1:\" is not a number").arg(QLatin1String(key))};
    return *v;
}

ChainDescription readChainDescription(const QString& path)
{
    ChainDescription d;
    tools::readListFile(path, QStringLiteral("\"key: value\""), [&](int number, const QString& key,
                                                                     const QString& value) {
        if (key == QLatin1String("expiry")) {
            const QStringList w = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (w.size() != 6)
                throw ListError{number, QStringLiteral("an expiry is \"YY Mmm first last step root\"")};
            ChainExpiry e;
            e.text = w[0] + QLatin1Char(' ') + w[1];
            const auto month = marketdata::ParseExpiryMonth(e.text);
            if (!month)
                throw ListError{number, QStringLiteral("\"%1\" is not an expiration month").arg(e.text)};
            e.date = marketdata::ExpirationSaturday(*month);
            e.firstCents = centsOf(w[2], number);
            e.lastCents = centsOf(w[3], number);
            e.stepCents = centsOf(w[4], number);
            e.root = w[5];
            if (e.stepCents <= 0 || e.lastCents < e.firstCents || (e.lastCents - e.firstCents) % e.stepCents != 0)
                throw ListError{number, QStringLiteral("the strikes do not run from first to last in steps")};
            if (!d.expiries.empty() && e.date <= d.expiries.back().date)
                throw ListError{number, QStringLiteral("the expirations must ascend")};
            d.expiries.push_back(e);
        } else if (key == QLatin1String("exchange")) {
            const QStringList w = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            bool ok = false;
            const int reach = w.size() == 2 ? w[1].toInt(&ok) : 0;
            if (w.size() != 2 || w[0].size() != 1 || !ok || reach < 0)
                throw ListError{number, QStringLiteral("an exchange is \"letter strikes\"")};
            d.exchanges.push_back({w[0].at(0), reach});
        } else {
            d.values.insert(key, value);
        }
    });
    if (d.expiries.empty())
        throw ListError{0, QStringLiteral("the description has no expiry")};
    return d;
}

void widenChain(ChainDescription& description, int64_t firstCents, int64_t lastCents, int64_t stepCents)
{
    for (ChainExpiry& e : description.expiries) {
        e.firstCents = firstCents;
        e.lastCents = lastCents;
        e.stepCents = stepCents;
    }
    for (ChainExchange& x : description.exchanges)
        x.reach = static_cast<int>((lastCents - firstCents) / stepCents) + 1;
}

QStringList buildChainTable(const ChainDescription& d)
{
    const double S = d.number("price");
    const double r = d.number("rate") / 100.0;
    const double vol = d.number("volatility") / 100.0;
    const double skew = d.number("skew") / 100.0;
    const double smile = d.number("smile") / 100.0;
    const double stockNet = d.number("net");
    const QString quoteText = d.text("quote");
    const auto quoteDate = marketdata::ParseQuoteDate(quoteText);
    if (!quoteDate)
        throw ListError{0, QStringLiteral("\"quote:\" does not start with a quote date \"Mmm DD YYYY\"")};
    Random rnd(static_cast<uint64_t>(d.number("seed")));

    QStringList lines;
    lines << QStringLiteral("%1,%2,%3,").arg(d.text("stock"), d.text("price"), d.text("net"));
    lines << QStringLiteral("%1,Bid,%2,Ask,%3,Size,%4,Vol,%5,")
                 .arg(quoteText, d.text("bid"), d.text("ask"), d.text("size"), d.text("volume"));
    lines << QStringLiteral("Calls,Last Sale,Net,Bid,Ask,Vol,Open Int,Puts,Last Sale,Net,Bid,Ask,Vol,Open Int,");

    for (int ei = 0; ei < static_cast<int>(d.expiries.size()); ++ei) {
        const ChainExpiry& e = d.expiries[ei];
        const int days = static_cast<int>(quoteDate->daysTo(e.date));
        if (days <= 0)
            throw ListError{0, QStringLiteral("the expiration %1 is not after the quote date").arg(e.text)};
        const double T = days / 365.0;
        // The strike nearest the price (the higher of two equally near).
        int64_t atm = e.firstCents;
        for (int64_t k = e.firstCents; k <= e.lastCents; k += e.stepCents) {
            if (std::fabs(k / 100.0 - S) <= std::fabs(atm / 100.0 - S))
                atm = k;
        }
        for (int64_t k = e.firstCents; k <= e.lastCents; k += e.stepCents) {
            const double K = k / 100.0;
            const double x = std::log(K / S);
            const double sigma = std::clamp(vol + skew * x + smile * x * x, 0.15, 1.5);
            const double call = BlackScholesCall(S, K, T, r, sigma);
            const double put = BlackScholesPut(S, K, T, r, sigma);
            const double callDelta = BlackScholesGreek(1, S, K, T, r, sigma, 6);
            const double putDelta = BlackScholesGreek(-1, S, K, T, r, sigma, 6);
            const int64_t distance = std::llabs(k - atm) / e.stepCents;

            std::vector<ChainExchange> quoting{{QLatin1Char('E'), 1000}};
            for (const ChainExchange& x2 : d.exchanges) {
                if (distance <= x2.reach)
                    quoting.push_back(x2);
            }
            for (const ChainExchange& ex : quoting) {
                const bool primary = ex.letter == QLatin1Char('E');
                Quote c;
                Quote p;
                market(call, c);
                market(put, p);
                if (!primary) {
                    // Another exchange: its own, sometimes wider, market.
                    if (c.bid > 0 && rnd.chance(0.5))
                        c.bid -= tickOf(c.bid / 100.0);
                    if (rnd.chance(0.5))
                        c.ask += tickOf(c.ask / 100.0);
                    if (p.bid > 0 && rnd.chance(0.5))
                        p.bid -= tickOf(p.bid / 100.0);
                    if (rnd.chance(0.5))
                        p.ask += tickOf(p.ask / 100.0);
                }
                const double share = primary ? 1.0 : rnd.between(0.1, 0.4);
                trading(rnd, call, callDelta, x, ei, share, stockNet, c);
                trading(rnd, put, putDelta, -x, ei, share, stockNet, p);
                lines << half(optionDescription(e, k, true, ex.letter), c) + QLatin1Char(',')
                             + half(optionDescription(e, k, false, ex.letter), p) + QLatin1Char(',');
            }
        }
    }
    return lines;
}


} // namespace tw::tools
