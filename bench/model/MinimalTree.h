#pragma once
// The yardstick of the American tree's backward induction: the least work a
// backward induction can do and still give the tree's value and greeks bit
// for bit. Every node's exercise value is worked out once per tree (by the
// same chain of multiplications the tree uses for its node prices), so a
// level only discounts, compares and stores V: no node price is updated or
// stored while the induction runs.
#include "model/TreeKernel.h"

#include <cstdint>
#include <vector>

namespace tw::bench {

struct MinimalTree {
    int32_t n = 0;
    double p = 0, pm = 0, disc = 0, dt = 0;
    std::vector<double> terminal; // V at expiry, levels n
    std::vector<double> exercise; // levels n - 1 down to 0, each row j = 0..i, in the order they are used
    double p2[3] = {};            // the node prices of level 2, for gamma
    double p1[2] = {};            // and of level 1, for delta
};

struct MinimalGreeks {
    double value, delta, gamma, theta;
};

// The same inputs as BinomialAmerican (z 1 call, -1 put; UseDiv 1; n >= 3).
MinimalTree prepareMinimalTree(int32_t z, double S, double K, double T, double r, double sigma, double D, int32_t n);

// The backward induction and the greeks, with the instruction set's version;
// V is the working row (n + 1 values), filled from the terminal values.
MinimalGreeks runMinimalTree(const MinimalTree& tree, TreeKernel kernel, std::vector<double>& V);

} // namespace tw::bench
