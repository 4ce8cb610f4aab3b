// The American tree's vector versions: every one the machine runs gives the
// same bits as the baseline, and the baseline gives the prices it always gave.
#include "model/TreeKernel.h"
#include "model/statmath.h"

#include <gtest/gtest.h>
#include <cstring>
#include <vector>

using namespace tw;

namespace {

struct KernelScope {
    TreeKernel before = treeKernel();
    explicit KernelScope(TreeKernel k) { setTreeKernel(k); }
    ~KernelScope() { setTreeKernel(before); }
};

// Value, delta, gamma and theta of calls and puts in and out of the money,
// with and without dividends (early exercise on both sides), over step counts
// that leave every remainder of a 4- and an 8-wide loop.
std::vector<double> sweep()
{
    std::vector<double> out;
    for (int z : {1, -1})
        for (double S : {60.0, 99.5, 100.0, 140.0})
            for (double T : {3.0 / 365, 0.5, 2.0})
                for (double D : {0.0, 0.08})
                    for (int n : {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 64, 199, 200})
                        for (int output = PricingOutput::Value; output <= PricingOutput::Theta; ++output)
                            out.push_back(BinomialAmerican(z, S, 100, T, 0.06, 0.35, D, 1, n, output));
    return out;
}

// Wider than the sweep: rates and dividends that push p out of [0, 1] on
// either side, negative rates, prices far from the strike on both sides,
// volatilities from tiny to large.
std::vector<double> wideGrid()
{
    std::vector<double> out;
    for (int z : {1, -1})
        for (double S : {30.0, 95.0, 100.0, 105.0, 400.0})
            for (double T : {10.0 / 365, 1.5})
                for (double r : {-0.03, 0.04, 0.9})
                    for (double sigma : {0.02, 0.25, 1.2})
                        for (double D : {0.0, 0.06, 0.5})
                            for (int n : {3, 10, 41, 120})
                                for (int output = PricingOutput::Value; output <= PricingOutput::Theta; ++output)
                                    out.push_back(BinomialAmerican(z, S, 100, T, r, sigma, D, 1, n, output));
    return out;
}

// Calls struck from below the lowest price at expiry to above the highest, so
// that the first node at expiry with a payoff falls on every place within a
// run of eight nodes, on the lowest node and on none: the nodes worth nothing
// below it take every shape, on trees short and long, with and without early
// exercise.
std::vector<double> callStrikeLadder()
{
    std::vector<double> out;
    for (int n : {3, 9, 41, 200})
        for (double D : {0.0, 0.08})
            for (int k = -2; k <= 40; ++k) {
                const double K = k == -2 ? 20.0 : (k == -1 ? 400.0 : 60.0 + 2.5 * k);
                for (int output = PricingOutput::Value; output <= PricingOutput::Theta; ++output)
                    out.push_back(BinomialAmerican(1, 100, K, 0.5, 0.05, 0.3, D, 1, n, output));
            }
    return out;
}

uint64_t bits(double v)
{
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// FNV-1a over the bytes of every result: one flipped bit anywhere changes it.
uint64_t digest(const std::vector<double>& values)
{
    uint64_t h = 0xcbf29ce484222325u;
    for (const double v : values) {
        const uint64_t b = bits(v);
        for (int byte = 0; byte < 8; ++byte) {
            h ^= (b >> (8 * byte)) & 0xff;
            h *= 0x100000001b3u;
        }
    }
    return h;
}

} // namespace

TEST(TreeKernel, EveryVersionGivesTheBaselineBits)
{
    std::vector<double> baseline;
    {
        KernelScope scope(TreeKernel::Baseline);
        ASSERT_EQ(treeKernel(), TreeKernel::Baseline);
        baseline = sweep();
    }
    int compared = 0;
    for (const TreeKernel k : {TreeKernel::Avx2, TreeKernel::Avx512}) {
        if (!treeKernelSupported(k))
            continue;
        KernelScope scope(k);
        ASSERT_EQ(treeKernel(), k);
        const std::vector<double> wide = sweep();
        ASSERT_EQ(wide.size(), baseline.size());
        for (size_t i = 0; i < wide.size(); ++i)
            ASSERT_EQ(bits(wide[i]), bits(baseline[i])) << "kernel " << int(k) << " case " << i;
        ++compared;
    }
    if (compared == 0)
        GTEST_SKIP() << "this machine runs only the baseline version";
}

TEST(TreeKernel, PricesStayWhatTheScalarTreeGave)
{
    for (const TreeKernel k : {TreeKernel::Baseline, TreeKernel::Avx2, TreeKernel::Avx512}) {
        if (!treeKernelSupported(k))
            continue;
        KernelScope scope(k);
        EXPECT_EQ(BinomialAmerican(-1, 100, 100, 0.5, 0.05, 0.3, 0.01, 1, 200, 5), 0x1.e3660257d2d9ap+2);
        EXPECT_EQ(BinomialAmerican(-1, 100, 100, 0.5, 0.05, 0.3, 0.01, 1, 200, 6), -0x1.bc24a761f36dap-2);
        EXPECT_EQ(BinomialAmerican(-1, 100, 100, 0.5, 0.05, 0.3, 0.01, 1, 200, 7), 0x1.406703adafb26p-6);
        EXPECT_EQ(BinomialAmerican(-1, 100, 100, 0.5, 0.05, 0.3, 0.01, 1, 200, 8), -0x1.2c35ba6ee1a85p-6);
        EXPECT_EQ(BinomialAmerican(1, 80, 70, 1.0, 0.03, 0.45, 0.06, 1, 37, 5), 0x1.16b7afb5ae14cp+4);
    }
}

// The results of the sweep, of the wide grid and of a few trees of every
// shape (a call exercised early for its dividend, the shortest tree with
// greeks, an odd step count), pinned bit for bit as the tree gave them before
// its induction was rearranged: any change of the order of operations, or a
// node wrongly left out of the exercise test, shows here.
TEST(TreeKernel, ResultsKeepTheirPinnedBits)
{
    struct Pinned {
        int z;
        double S, K, T, r, sigma, D;
        int n;
        double value, delta, gamma, theta;
    };
    const Pinned pinned[] = {
        {1, 100, 95, 0.75, 0.04, 0.25, 0.07, 200, 0x1.3cc2b810e3a61p+3, 0x1.339018ca26441p-1, 0x1.3c6fe0ec7ad6bp-6,
         -0x1.5886bd12e1efbp-7},
        {-1, 40, 45, 1.0 / 12, 0.08, 0.6, 0.0, 3, 0x1.76b13fd0a2a81p+2, -0x1.8245d31ee9435p-1, 0x1.e99eda5a0df38p-5,
         -0x1.593c7d14246b6p-5},
        {-1, 100, 100, 1.5, 0.05, 0.2, 0.0, 199, 0x1.c2551fe928df2p+2, -0x1.96811d2ba6bb6p-2, 0x1.41de16572146ep-6,
         -0x1.1d8a0ec73a508p-8},
    };
    for (const TreeKernel k : {TreeKernel::Baseline, TreeKernel::Avx2, TreeKernel::Avx512}) {
        if (!treeKernelSupported(k))
            continue;
        KernelScope scope(k);
        EXPECT_EQ(digest(sweep()), 0x97c7358500164a82u) << "kernel " << int(k);
        EXPECT_EQ(digest(wideGrid()), 0x3aa55ecc1e74eb6fu) << "kernel " << int(k);
        EXPECT_EQ(digest(callStrikeLadder()), 0x52c96423828db571u) << "kernel " << int(k);
        for (const Pinned& c : pinned) {
            const auto tree = [&](int output) {
                return bits(BinomialAmerican(c.z, c.S, c.K, c.T, c.r, c.sigma, c.D, 1, c.n, output));
            };
            EXPECT_EQ(tree(PricingOutput::Value), bits(c.value)) << "kernel " << int(k) << " n " << c.n;
            EXPECT_EQ(tree(PricingOutput::Delta), bits(c.delta)) << "kernel " << int(k) << " n " << c.n;
            EXPECT_EQ(tree(PricingOutput::Gamma), bits(c.gamma)) << "kernel " << int(k) << " n " << c.n;
            EXPECT_EQ(tree(PricingOutput::Theta), bits(c.theta)) << "kernel " << int(k) << " n " << c.n;
        }
    }
}
