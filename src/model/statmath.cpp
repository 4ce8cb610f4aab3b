// Built with -ffp-contract=off and without fast-math (see CMakeLists.txt):
// the order of every operation below is part of the result.
#include "model/statmath.h"
#include "model/TreeKernel.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace tw {

namespace {

constexpr double kDaysPerYear = 365.0;
constexpr double kInvSqrt2Pi = 0.39894228040143267794;

int32_t clampSteps(int32_t n)
{
    return std::clamp(n, 1, MaxSteps);
}

// max(S - K, 0) for a call, max(K - S, 0) for a put; 0 when S or K is not a
// finite number. A difference beyond the range of a double (a strike near the
// largest double and a price near the lowest) is the largest double.
double intrinsic(int32_t z, double S, double K)
{
    if (!std::isfinite(S) || !std::isfinite(K))
        return 0.0;
    const double v = z == 1 ? S - K : (z == -1 ? K - S : 0.0);
    if (v > std::numeric_limits<double>::max())
        return std::numeric_limits<double>::max();
    return v > 0.0 ? v : 0.0; // also 0 for not-a-number
}

// Value and greeks of an option at expiry: the intrinsic value, delta 1 (call)
// or -1 (put) in the money and 0 otherwise, no gamma, no theta. A price or
// strike that is not a finite number gives 0.
double atExpiry(int32_t z, double S, double K, int32_t output)
{
    if (!std::isfinite(S) || !std::isfinite(K))
        return 0.0;
    switch (output) {
    case PricingOutput::Value:
        return intrinsic(z, S, K);
    case PricingOutput::Delta:
        if (z == 1)
            return S > K ? 1.0 : 0.0;
        if (z == -1)
            return S < K ? -1.0 : 0.0;
        return 0.0;
    default:
        return 0.0;
    }
}

// Inputs the formulas cannot take: no time left, or a price, strike or
// volatility that is not above 0 (not-a-number included), or a rate that is
// not a number.
bool priceableInputs(double S, double K, double T, double r, double sigma)
{
    return T > 0.0 && S > 0.0 && K > 0.0 && sigma > 0.0 && std::isfinite(S) && std::isfinite(K)
        && std::isfinite(T) && std::isfinite(sigma) && std::isfinite(r);
}

// Rounds to single precision; magnitudes beyond its range become infinite
// (the conversion itself would be undefined for them).
float toSingle(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax || value < -kMax)
        return value > 0.0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

// The single-precision steps of the Black-Scholes formula.
struct BlackScholesTerms {
    float d1s;
    double d1d;
    float d2;
};

BlackScholesTerms blackScholesTerms(double S, double K, double T, double r, double sigma)
{
    const float a = toSingle(std::log(S / K));
    const float b = toSingle((sigma * sigma * 0.5 + r) * T);
    const double d1 = (static_cast<double>(b) + static_cast<double>(a)) / (std::sqrt(T) * sigma);
    const float d2 = toSingle(d1 - std::sqrt(T) * sigma);
    return {toSingle(d1), d1, d2};
}

double blackScholesCallValue(double S, double K, double T, double r, double sigma)
{
    const BlackScholesTerms t = blackScholesTerms(S, K, T, r, sigma);
    return CumNormal(t.d1s) * S - std::exp(-r * T) * K * CumNormal(t.d2);
}

// Binomial coefficients n over 0..n of the last step count asked for, so a
// price costs n + 1 terms and not (n + 1)^2 / 2 multiplications. Each entry is
// exactly Combin(n, k).
const std::vector<double>& combinRow(int32_t n)
{
    thread_local std::vector<double> row;
    thread_local int32_t rowN = -1;
    if (rowN != n) {
        row.resize(static_cast<size_t>(n) + 1);
        for (int32_t k = 0; k <= n; ++k)
            row[static_cast<size_t>(k)] = Combin(n, k);
        rowN = n;
    }
    return row;
}

double binomialEuropean(int32_t z, double S, double K, double T, double r, double sigma, int32_t steps)
{
    if (!priceableInputs(S, K, T, r, sigma))
        return intrinsic(z, S, K);
    const int32_t n = clampSteps(steps);
    const double dt = T / n;
    const float X = toSingle(std::exp(r * dt) - 1.0);
    const double spread = sigma * std::sqrt(dt);
    const float u = toSingle(std::exp(static_cast<double>(X) + spread));
    const float d = toSingle(std::exp(static_cast<double>(X) - spread));
    const float p = toSingle((static_cast<double>(X) + 1.0 - d) / (static_cast<double>(u) - d));
    const float q = toSingle(1.0 - static_cast<double>(p));
    const std::vector<double>& combin = combinRow(n);

    float sum = 0.0f;
    for (int32_t j = 0; j <= n; ++j) {
        double weight = combin[static_cast<size_t>(j)] * std::pow(static_cast<double>(p), j)
            * std::pow(static_cast<double>(q), n - j);
        if (!std::isfinite(weight) || (weight == 0.0 && std::isinf(combin[static_cast<size_t>(j)]))) {
            // Beyond the range of a double the coefficient is taken in logs.
            weight = std::exp(std::lgamma(n + 1.0) - std::lgamma(j + 1.0) - std::lgamma(n - j + 1.0)
                              + j * std::log(static_cast<double>(p)) + (n - j) * std::log(static_cast<double>(q)));
        }
        const double price = S * std::pow(static_cast<double>(u), j) * std::pow(static_cast<double>(d), n - j);
        double term = weight * (z == 1 ? price - K : K - price);
        if (term < 0.0)
            term = 0.0;
        sum = toSingle(static_cast<double>(sum) + term);
    }
    const double value = static_cast<double>(sum) / std::pow(static_cast<double>(X) + 1.0, n);
    return finiteOr(value, intrinsic(z, S, K));
}

// Working arrays of the American tree, kept per thread so that a price
// allocates nothing once the largest step count has been seen: the node values
// V and, one row further on, the node prices P, both on 64-byte boundaries so
// that the widest vectors never straddle a cache line more than they must.
class TreeScratch {
public:
    // V and P for a tree of n steps (n + 1 nodes at expiry).
    void reserve(int32_t n)
    {
        row_ = (static_cast<size_t>(n) + 1 + kAlign - 1) / kAlign * kAlign;
        if (storage_.size() < 2 * row_ + kAlign)
            storage_.resize(2 * row_ + kAlign);
        const auto address = reinterpret_cast<std::uintptr_t>(storage_.data());
        const size_t skip = (kAlign - address / sizeof(double) % kAlign) % kAlign;
        values_ = storage_.data() + skip;
    }
    double* values() const { return values_; }
    double* prices() const { return values_ + row_; }

private:
    static constexpr size_t kAlign = 64 / sizeof(double);
    std::vector<double> storage_;
    size_t row_ = 0;
    double* values_ = nullptr;
};

struct TreeResult {
    double value;
    double delta;
    double gamma;
    double theta;
};

// Most nodes of a level need less than the full step, because an exercise
// there is worth nothing: their price is on the wrong side of the strike. By
// node index j, level i falls into runs (named as in backwardInduction):
//   calls  [0, live)     worth nothing and never were (every node at expiry
//                        they can reach pays nothing): the value stays 0, only
//                        the price climbs (it reaches the money later; the
//                        baseline version climbs it ahead, see climbCorner);
//          [live, i]     the full step: held value, price, exercise;
//   puts   [0, full)     the full step;
//          [full, top)   priced at or above the strike for good (prices only
//                        grow towards the root): held value only, the prices
//                        are not kept;
//          [top, i]      worth nothing and never were: the value stays 0.
// Leaving out the exercise test gives the same bits only because no held value
// can be below zero: p and 1 - p are not negative, nor is disc or any value of
// the tree (the caller checks p and disc), so "held < exercise" is false
// wherever the exercise value is at or below zero and the node takes its held
// value either way; a held value made of zeros is +0, as the node already holds.
// Runs meet at multiples of eight nodes, rounding towards the fuller step
// (right for every node), so that the vectors of every version start on a cache
// line.
//
// The held value is (p V[j+1] + (1 - p) V[j]) disc in exactly this order and
// the price steps up by one multiplication by u per level: the tree has always
// computed them so, and every result depends on those roundings. Contiguous,
// branch-free, no aliasing: the compiler vectorises each run. Each counts from
// its own first node: GCC then spares the SSE2 loops register copies.
template <bool Call>
[[gnu::always_inline]] inline void exerciseRun(double* __restrict V, double* __restrict P, int32_t from, int32_t to,
                                               double p, double pm, double disc, double u, double K)
{
    V += from;
    P += from;
    for (int32_t j = 0; j < to - from; ++j) {
        const double held = (p * V[j + 1] + pm * V[j]) * disc;
        const double price = P[j] * u;
        P[j] = price;
        // z * (P - K) for z = +-1 is exactly P - K or K - P.
        const double exercise = Call ? price - K : K - price;
        V[j] = held < exercise ? exercise : held;
    }
}

[[gnu::always_inline]] inline void heldRun(double* __restrict V, int32_t from, int32_t to, double p, double pm,
                                           double disc)
{
    V += from;
    for (int32_t j = 0; j < to - from; ++j)
        V[j] = (p * V[j + 1] + pm * V[j]) * disc;
}

[[gnu::always_inline]] inline void priceRun(double* __restrict P, int32_t from, int32_t to, double u)
{
    P += from;
    for (int32_t j = 0; j < to - from; ++j)
        P[j] = P[j] * u;
}

struct TreeStep {
    double p;
    double pm;
    double disc;
    double u;
    double K;
    int32_t n;
    // Whether the runs short of the full step may be used (p, 1 - p and disc
    // finite and not negative); without it every node takes the full step.
    bool skipWorthless;
    // Calls: the first node at expiry with a payoff (at level i the nodes
    // below zero - (n - i) are worth nothing). Puts: the nodes from here on are
    // worth nothing at every level.
    int32_t zero;
};

// What the backward induction reads off the tree besides the value at the
// root (left in V[0]).
struct TreeLevels {
    double gamma = 0.0;
    double v21 = 0.0; // the middle node of level 2, for theta
    double delta = 0.0;
};

// The greeks read the prices of nodes 0..2 at level 2, which therefore always
// take the full step.
constexpr int32_t kGreekNodes = 3;
// Runs meet at multiples of this many nodes (the widest vector).
constexpr int32_t kRunAlign = 8;

constexpr int32_t alignDown(int32_t j)
{
    return j / kRunAlign * kRunAlign;
}

constexpr int32_t alignUp(int32_t j)
{
    return (j + kRunAlign - 1) / kRunAlign * kRunAlign;
}

// CornerPriced: the call's worthless corner already holds, node by node, the
// price it has when it comes to life (see climbCorner), so no level prices it.
template <bool Call, bool CornerPriced = false>
[[gnu::always_inline]] inline void backwardInduction(double* __restrict V, double* __restrict P, const TreeStep& t,
                                                     TreeLevels& out)
{
    int32_t high = t.n + 1; // puts
    for (int32_t i = t.n - 1; i >= 0; --i) {
        if constexpr (Call) {
            // The worthless corner loses one node a level.
            const int32_t live = alignDown(std::max(t.zero - (t.n - i), 0));
            if constexpr (!CornerPriced)
                priceRun(P, 0, live, t.u);
            exerciseRun<true>(V, P, live, i + 1, t.p, t.pm, t.disc, t.u, t.K);
        } else {
            const int32_t top = std::min(i + 1, t.zero);
            // Nodes pulled into the full step from above `high` compare an
            // exercise value at or below zero (their prices are at or above
            // the strike), so they keep their held value there too.
            const int32_t full = std::min(alignUp(std::min(high, top)), top);
            exerciseRun<false>(V, P, 0, full, t.p, t.pm, t.disc, t.u, t.K);
            heldRun(V, full, top, t.p, t.pm, t.disc);
            // A node priced at or above the strike stays there: it leaves the
            // full step for good (tested on the prices just stored).
            high = std::min(high, full);
            while (t.skipWorthless && high > kGreekNodes && P[high - 1] >= t.K)
                --high;
        }
        if (i == 2) {
            out.gamma = ((V[2] - V[1]) / (P[2] - P[1]) - (V[1] - V[0]) / (P[1] - P[0])) / (0.5 * (P[2] - P[0]));
            out.v21 = V[1];
        } else if (i == 1) {
            out.delta = (V[1] - V[0]) / (P[1] - P[0]);
        }
    }
}

// The same induction compiled for three instruction sets. Every version does
// the same operations in the same order, element by element (no fused
// multiply-add: the build turns contraction off, and the AVX targets do not
// enable FMA), and the runs are split by the same tests, so they give the same
// bits; the wider ones do 4 or 8 nodes at a time.
using InductionFn = void (*)(bool call, double* V, double* P, const TreeStep& t, TreeLevels& out);

// The baseline version expects the call's corner priced (see americanTree).
void inductionBaseline(bool call, double* V, double* P, const TreeStep& t, TreeLevels& out)
{
    call ? backwardInduction<true, true>(V, P, t, out) : backwardInduction<false>(V, P, t, out);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TW_TREE_X86 1
__attribute__((target("avx2"))) void inductionAvx2(bool call, double* V, double* P, const TreeStep& t,
                                                   TreeLevels& out)
{
    call ? backwardInduction<true>(V, P, t, out) : backwardInduction<false>(V, P, t, out);
}

__attribute__((target("avx512f"))) void inductionAvx512(bool call, double* V, double* P, const TreeStep& t,
                                                        TreeLevels& out)
{
    call ? backwardInduction<true>(V, P, t, out) : backwardInduction<false>(V, P, t, out);
}
#endif

struct Induction {
    InductionFn run;
    // Whether a call's worthless corner is to be priced along the chain of
    // prices at expiry (climbCorner) instead of one level at a time.
    bool cornerInChain;
};

// The baseline version, two nodes a vector, spends a sixth of a call's
// time pricing the corner a level at a time (a load and a store per two
// nodes); climbed along the chain of prices at expiry, whose steps wait on a
// division each and leave the multipliers idle, the corner costs next to
// nothing. The wider versions price it four or eight nodes a store, and
// gained nothing measurable from the climb (which runs as baseline code).
Induction inductionFor(TreeKernel kernel)
{
#ifdef TW_TREE_X86
    if (kernel == TreeKernel::Avx512)
        return {inductionAvx512, false};
    if (kernel == TreeKernel::Avx2)
        return {inductionAvx2, false};
#endif
    (void)kernel;
    return {inductionBaseline, true};
}

TreeKernel widestKernel()
{
    for (const TreeKernel k : {TreeKernel::Avx512, TreeKernel::Avx2}) {
        if (treeKernelSupported(k))
            return k;
    }
    return TreeKernel::Baseline;
}

std::atomic<TreeKernel>& activeKernel()
{
    static std::atomic<TreeKernel> kernel{widestKernel()};
    return kernel;
}

template <bool Call>
TreeResult inductionResult(InductionFn induction, double* V, double* P, const TreeStep& step, double dt)
{
    TreeLevels levels;
    induction(Call, V, P, step, levels);
    TreeResult result{0.0, 0.0, 0.0, 0.0};
    result.value = V[0];
    result.gamma = levels.gamma;
    result.delta = levels.delta;
    result.theta = (levels.v21 - V[0]) / ((dt + dt) * kDaysPerYear);
    return result;
}

// Multiplies the prices of nodes [0, kRunAlign * runs) by u, `times` times over:
// for each node the same products in the same order as `times` levels of
// priceRun, but held in registers in between.
[[gnu::always_inline]] inline void climbCorner(double* __restrict P, int32_t runs, int32_t times, double u)
{
    for (int32_t g = 0; g < runs; ++g) {
        double* run = P + g * kRunAlign;
        double x[kRunAlign];
        for (int32_t l = 0; l < kRunAlign; ++l)
            x[l] = run[l];
        for (int32_t k = 0; k < times; ++k) {
            for (int32_t l = 0; l < kRunAlign; ++l)
                x[l] = x[l] * u;
        }
        for (int32_t l = 0; l < kRunAlign; ++l)
            run[l] = x[l];
    }
}

// A call's prices and payoffs at expiry, by the chain of americanTree, with
// the worthless corner of the induction priced on the way; returns the first
// node with a payoff (n + 1 if none), `zero` of TreeStep. Run g (nodes 8g to
// 8g + 7) stays in the corner for zero - 8g - 8 levels (see backwardInduction),
// one for each node of the chain from 8g + 8 up to the first payoff: each time
// the chain completes a run without a payoff, the runs below it climb eight
// levels, and once it finds the first payoff they climb the rest. The chain
// keeps its own price in a register: the climbs change the row behind it,
// never its steps.
int32_t callExpiryWithCorner(double* __restrict V, double* __restrict P, double first, double u, double d, double K,
                             int32_t n)
{
    double price = first;
    int32_t j = 0;
    for (; j <= n; ++j) {
        P[j] = price;
        const double payoff = price - K;
        V[j] = payoff < 0.0 ? 0.0 : payoff;
        if (V[j] != 0.0)
            break;
        if (j % kRunAlign == kRunAlign - 1)
            climbCorner(P, j / kRunAlign, kRunAlign, u);
        price = price * u / d;
    }
    const int32_t zero = j;
    climbCorner(P, zero / kRunAlign, zero % kRunAlign, u);
    for (++j; j <= n; ++j) {
        price = price * u / d;
        P[j] = price;
        const double payoff = price - K;
        V[j] = payoff < 0.0 ? 0.0 : payoff;
    }
    return zero;
}

template <bool Call>
TreeResult americanTree(double S, double K, double T, double r, double sigma, double q, int32_t n)
{
    thread_local TreeScratch scratch;
    scratch.reserve(n);
    double* V = scratch.values();
    double* P = scratch.prices();

    const double dt = T / n;
    const double u = std::exp(sigma * std::sqrt(dt));
    const double d = 1.0 / u;
    const double growth = std::exp((r - q) * dt);
    const double disc = std::exp(-r * dt);
    const double p = (growth - d) / (u - d);
    const double pm = 1.0 - p;
    // u >= 1 >= d > 0 makes every chain of prices below grow (rounding keeps
    // x * u >= x and x / d >= x), which the runs short of the full step rely on.
    const bool skipWorthless = p >= 0.0 && pm >= 0.0 && d > 0.0 && disc < std::numeric_limits<double>::infinity();

    const Induction induction = inductionFor(activeKernel().load(std::memory_order_relaxed));
    if constexpr (Call) {
        if (skipWorthless && induction.cornerInChain) {
            const int32_t zero = callExpiryWithCorner(V, P, S * std::pow(d, n), u, d, K, n);
            return inductionResult<Call>(induction.run, V, P, TreeStep{p, pm, disc, u, K, n, skipWorthless, zero}, dt);
        }
    }

    // The prices at expiry, each from the one below: this chain, not a power
    // of u per node, fixes the bits of every price in the tree. Its steps wait
    // on each other (a division each), so a put stops it at the first node at
    // or above the strike: that node and all above it are worth nothing at
    // expiry and never reach the money again, so the induction never reads
    // their prices (nodes 0..2, which the greeks read, are always priced).
    int32_t priced = n;
    P[0] = S * std::pow(d, n);
    for (int32_t j = 1; j <= n; ++j) {
        if (!Call && skipWorthless && j > kGreekNodes && P[j - 1] >= K) {
            priced = j - 1;
            break;
        }
        P[j] = P[j - 1] * u / d;
    }
    for (int32_t j = 0; j <= priced; ++j) {
        const double payoff = Call ? P[j] - K : K - P[j];
        V[j] = payoff < 0.0 ? 0.0 : payoff;
    }
    for (int32_t j = priced + 1; j <= n; ++j)
        V[j] = 0.0; // K - P at or below zero: the payoff above gives +0 as well
    // A node is worth nothing while every node at expiry it can reach pays
    // nothing: for a call those below the first payoff (one node fewer each
    // level back), for a put all from the first node at or above the strike.
    int32_t zero = Call ? 0 : n + 1;
    if (skipWorthless) {
        if (Call) {
            while (zero <= n && V[zero] == 0.0)
                ++zero;
        } else if (priced < n) {
            zero = priced;
        }
    }

    return inductionResult<Call>(induction.run, V, P, TreeStep{p, pm, disc, u, K, n, skipWorthless, zero}, dt);
}

} // namespace

double CumNormal(float x)
{
    if (std::isnan(x))
        return 0.5; // no side is more likely than the other
    const double xd = x;
    const double sign = x < 0.0f ? -1.0 : 1.0;
    const double k = 1.0 / (1.0 + 0.2316419 * sign * xd);
    const double poly = k * (0.3193815 + k * (-0.3565638 + k * (1.7814779 + k * (-1.821256 + k * 1.3302744))));
    const double pdf = std::exp(-xd * xd / 2.0) / 2.506628;
    return sign * (0.5 - poly * pdf) + 0.5;
}

double Combin(int32_t n, int32_t k)
{
    if (k < 1)
        return 1.0;
    double result = 1.0;
    for (int32_t i = k; i >= 1; --i)
        result = result * (static_cast<double>(n) - k + i) / i;
    return result;
}

double BlackScholesCall(double S, double K, double T, double r, double sigma)
{
    if (!priceableInputs(S, K, T, r, sigma))
        return intrinsic(1, S, K);
    return finiteOr(blackScholesCallValue(S, K, T, r, sigma), intrinsic(1, S, K));
}

double BlackScholesPut(double S, double K, double T, double r, double sigma)
{
    if (!priceableInputs(S, K, T, r, sigma))
        return intrinsic(-1, S, K);
    const double value = std::exp(-r * T) * K - S + blackScholesCallValue(S, K, T, r, sigma);
    return finiteOr(value, intrinsic(-1, S, K));
}

double BinomialEuropeanCall(double S, double K, double T, double r, double sigma, int32_t n)
{
    return binomialEuropean(1, S, K, T, r, sigma, n);
}

double BinomialEuropeanPut(double S, double K, double T, double r, double sigma, int32_t n)
{
    return binomialEuropean(-1, S, K, T, r, sigma, n);
}

double BinomialAmerican(int32_t z, double S, double K, double T, double r, double sigma, double D, int32_t UseDiv,
                        int32_t n, int32_t Output)
{
    if ((z != 1 && z != -1) || Output < PricingOutput::Value || Output > PricingOutput::Theta)
        return 0.0;
    const double q = UseDiv == 1 ? D : 0.0;
    if (!priceableInputs(S, K, T, r, sigma) || !std::isfinite(q))
        return atExpiry(z, S, K, Output);
    int32_t steps = clampSteps(n);
    // The greeks are read off levels 2, 1 and 0, so they need three steps.
    if (Output != PricingOutput::Value && steps < 3)
        steps = 3;
    const TreeResult t = z == 1 ? americanTree<true>(S, K, T, r, sigma, q, steps)
                                : americanTree<false>(S, K, T, r, sigma, q, steps);
    double result = 0.0;
    switch (Output) {
    case PricingOutput::Value: result = t.value; break;
    case PricingOutput::Delta: result = t.delta; break;
    case PricingOutput::Gamma: result = t.gamma; break;
    default: result = t.theta; break;
    }
    return finiteOr(result, atExpiry(z, S, K, Output));
}

double BlackScholesGreek(int32_t z, double S, double K, double T, double r, double sigma, int32_t Output)
{
    if ((z != 1 && z != -1) || Output < PricingOutput::Value || Output > PricingOutput::Theta)
        return 0.0;
    if (Output == PricingOutput::Value)
        return z == 1 ? BlackScholesCall(S, K, T, r, sigma) : BlackScholesPut(S, K, T, r, sigma);
    if (!priceableInputs(S, K, T, r, sigma))
        return atExpiry(z, S, K, Output);
    const BlackScholesTerms t = blackScholesTerms(S, K, T, r, sigma);
    const double sqrtT = std::sqrt(T);
    const double density = std::exp(-t.d1d * t.d1d / 2.0) * kInvSqrt2Pi;
    double result = 0.0;
    switch (Output) {
    case PricingOutput::Delta:
        result = z == 1 ? CumNormal(t.d1s) : CumNormal(t.d1s) - 1.0;
        break;
    case PricingOutput::Gamma:
        result = density / (S * sigma * sqrtT);
        break;
    default: {
        const double decay = -S * density * sigma / (2.0 * sqrtT);
        const double carry = r * K * std::exp(-r * T);
        const double perYear = z == 1 ? decay - carry * CumNormal(t.d2) : decay + carry * CumNormal(-t.d2);
        result = perYear / kDaysPerYear;
        break;
    }
    }
    return finiteOr(result, atExpiry(z, S, K, Output));
}

double BinomialEuropeanGreek(int32_t z, double S, double K, double T, double r, double sigma, int32_t n,
                             int32_t Output)
{
    if ((z != 1 && z != -1) || Output < PricingOutput::Value || Output > PricingOutput::Theta)
        return 0.0;
    if (Output == PricingOutput::Value)
        return binomialEuropean(z, S, K, T, r, sigma, n);
    if (!priceableInputs(S, K, T, r, sigma))
        return atExpiry(z, S, K, Output);
    const int32_t steps = clampSteps(n);
    double result = 0.0;
    if (Output == PricingOutput::Theta) {
        const double day = 1.0 / kDaysPerYear;
        const double later = binomialEuropean(z, S, K, T - day, r, sigma, steps);
        result = later - binomialEuropean(z, S, K, T, r, sigma, steps);
    } else {
        // The binomial value is piecewise linear in S, with a kink wherever a
        // terminal node crosses the strike; differences one node spacing wide
        // average over the kinks instead of landing between two of them.
        const double spacing = std::exp(2.0 * sigma * std::sqrt(T / steps)) - 1.0;
        const double h = S * std::min(spacing, 0.5);
        const double up = binomialEuropean(z, S + h, K, T, r, sigma, steps);
        const double down = binomialEuropean(z, S - h, K, T, r, sigma, steps);
        if (Output == PricingOutput::Delta)
            result = (up - down) / (2.0 * h);
        else
            result = (up - 2.0 * binomialEuropean(z, S, K, T, r, sigma, steps) + down) / (h * h);
    }
    return finiteOr(result, atExpiry(z, S, K, Output));
}

double ModelOutput(int32_t model, int32_t z, double S, double K, double T, double r, double sigma, int32_t steps,
                   double D, int32_t Output)
{
    switch (model) {
    case PricingModel::BlackScholes:
        return BlackScholesGreek(z, S, K, T, r, sigma, Output);
    case PricingModel::BinomialEuropean:
        return BinomialEuropeanGreek(z, S, K, T, r, sigma, steps, Output);
    case PricingModel::BinomialAmerican:
        return BinomialAmerican(z, S, K, T, r, sigma, D, 1, steps, Output);
    default:
        return 0.0;
    }
}

double CallPrice(const PricingContext& context, double S, double K, double r, double sigma, double T)
{
    switch (context.model) {
    case PricingModel::BlackScholes:
        return BlackScholesCall(S, K, T, r, sigma);
    case PricingModel::BinomialEuropean:
        return BinomialEuropeanCall(S, K, T, r, sigma, context.steps);
    case PricingModel::BinomialAmerican:
        return BinomialAmerican(1, S, K, T, r, sigma, context.dividends, 1, context.steps, PricingOutput::Value);
    default:
        return 0.0;
    }
}

double PutPrice(const PricingContext& context, double S, double K, double r, double sigma, double T)
{
    switch (context.model) {
    case PricingModel::BlackScholes:
        return BlackScholesPut(S, K, T, r, sigma);
    case PricingModel::BinomialEuropean:
        return BinomialEuropeanPut(S, K, T, r, sigma, context.steps);
    case PricingModel::BinomialAmerican:
        return BinomialAmerican(-1, S, K, T, r, sigma, context.dividends, 1, context.steps, PricingOutput::Value);
    default:
        return 0.0;
    }
}

int32_t DaysBetween(double d1, double d2)
{
    const double days = std::floor(static_cast<double>(toSingle(d2)))
        - std::floor(static_cast<double>(toSingle(d1)));
    if (std::isnan(days))
        return 0;
    return static_cast<int32_t>(std::clamp(days, static_cast<double>(std::numeric_limits<int32_t>::min()),
                                           static_cast<double>(std::numeric_limits<int32_t>::max())));
}

bool treeKernelSupported(TreeKernel kernel)
{
#ifdef TW_TREE_X86
    __builtin_cpu_init();
    if (kernel == TreeKernel::Avx512)
        return __builtin_cpu_supports("avx512f");
    if (kernel == TreeKernel::Avx2)
        return __builtin_cpu_supports("avx2");
#endif
    return kernel == TreeKernel::Baseline;
}

TreeKernel treeKernel()
{
    return activeKernel().load();
}

void setTreeKernel(TreeKernel kernel)
{
    activeKernel().store(treeKernelSupported(kernel) ? kernel : widestKernel());
}

} // namespace tw
