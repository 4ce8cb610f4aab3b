// Built with the pricing files' switches (no contraction, no fast-math, the
// same vectoriser settings) so the comparison with the tree is like for like.
#include "MinimalTree.h"

#include <cmath>

namespace tw::bench {

namespace {

// The tree's own arithmetic, operation for operation: the node prices start
// from S d^n, climb by u / d across expiry and by u per level back.
template <bool Call>
void fillExercise(MinimalTree& t, double S, double K, double u, double d)
{
    const int32_t n = t.n;
    std::vector<double> P(static_cast<size_t>(n) + 1);
    P[0] = S * std::pow(d, n);
    for (int32_t j = 1; j <= n; ++j)
        P[j] = P[j - 1] * u / d;
    t.terminal.resize(P.size());
    for (int32_t j = 0; j <= n; ++j) {
        const double payoff = Call ? P[j] - K : K - P[j];
        t.terminal[j] = payoff < 0.0 ? 0.0 : payoff;
    }
    t.exercise.clear();
    for (int32_t i = n - 1; i >= 0; --i) {
        for (int32_t j = 0; j <= i; ++j) {
            P[j] = P[j] * u;
            t.exercise.push_back(Call ? P[j] - K : K - P[j]);
        }
        if (i == 2)
            for (int j = 0; j < 3; ++j)
                t.p2[j] = P[j];
        if (i == 1)
            for (int j = 0; j < 2; ++j)
                t.p1[j] = P[j];
    }
}

[[gnu::always_inline]] inline MinimalGreeks induction(const MinimalTree& t, double* __restrict V)
{
    const double p = t.p, pm = t.pm, disc = t.disc;
    const double* __restrict E = t.exercise.data();
    double gamma = 0, v21 = 0, delta = 0;
    for (int32_t i = t.n - 1; i >= 0; --i) {
        for (int32_t j = 0; j <= i; ++j) {
            const double held = (p * V[j + 1] + pm * V[j]) * disc;
            V[j] = held < E[j] ? E[j] : held;
        }
        E += i + 1;
        if (i == 2) {
            gamma = ((V[2] - V[1]) / (t.p2[2] - t.p2[1]) - (V[1] - V[0]) / (t.p2[1] - t.p2[0]))
                / (0.5 * (t.p2[2] - t.p2[0]));
            v21 = V[1];
        } else if (i == 1) {
            delta = (V[1] - V[0]) / (t.p1[1] - t.p1[0]);
        }
    }
    return {V[0], delta, gamma, (v21 - V[0]) / ((t.dt + t.dt) * 365.0)};
}

MinimalGreeks inductionBaseline(const MinimalTree& t, double* V)
{
    return induction(t, V);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx2"))) MinimalGreeks inductionAvx2(const MinimalTree& t, double* V)
{
    return induction(t, V);
}

__attribute__((target("avx512f"))) MinimalGreeks inductionAvx512(const MinimalTree& t, double* V)
{
    return induction(t, V);
}
#endif

} // namespace

MinimalTree prepareMinimalTree(int32_t z, double S, double K, double T, double r, double sigma, double D, int32_t n)
{
    MinimalTree t;
    t.n = n;
    t.dt = T / n;
    const double u = std::exp(sigma * std::sqrt(t.dt));
    const double d = 1.0 / u;
    const double growth = std::exp((r - D) * t.dt);
    t.disc = std::exp(-r * t.dt);
    t.p = (growth - d) / (u - d);
    t.pm = 1.0 - t.p;
    z == 1 ? fillExercise<true>(t, S, K, u, d) : fillExercise<false>(t, S, K, u, d);
    return t;
}

MinimalGreeks runMinimalTree(const MinimalTree& tree, TreeKernel kernel, std::vector<double>& V)
{
    V.assign(tree.terminal.begin(), tree.terminal.end());
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (kernel == TreeKernel::Avx512)
        return inductionAvx512(tree, V.data());
    if (kernel == TreeKernel::Avx2)
        return inductionAvx2(tree, V.data());
#endif
    (void)kernel;
    return inductionBaseline(tree, V.data());
}

} // namespace tw::bench
