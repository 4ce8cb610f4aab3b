#pragma once
// The binomial American tree runs its backward induction with the widest
// vector instructions of the machine it runs on. Every version gives the
// same bits; choosing one by hand is for tests and benchmarks that compare
// them.

namespace tw {

enum class TreeKernel { Baseline, Avx2, Avx512 };

// Whether this machine (and this build) can run the version.
bool treeKernelSupported(TreeKernel kernel);
// The version in use: at start the widest one supported.
TreeKernel treeKernel();
// Picks a version; one the machine cannot run picks the widest one it can.
void setTreeKernel(TreeKernel kernel);

} // namespace tw
