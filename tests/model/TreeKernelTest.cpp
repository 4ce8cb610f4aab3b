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

uint64_t bits(double v)
{
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
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
