// Builds the shipped sample option chain (SAMPLE.opt) from its readable
// description (tools/sample-chain.txt): every option is priced with the
// program's Black-Scholes model, a market is put around that price, and the
// quote table is written the way the program saves a chain (CR LF after each
// line). The trading figures (volume, open interest, last sale, net change)
// are made up from a seeded generator, so the file comes out the same on
// every run.
//
//   tw_make_sample_chain <description> <output .opt>
//   tw_make_sample_chain --strikes <first> <last> <step> <description> <output .opt>
//
// With --strikes every expiry of the description quotes every strike from
// <first> to <last> in steps of <step>, on every exchange: a chain as large
// as a big index's, for measuring the program with.

#include "ListFile.h"
#include "SampleChain.h"
#include "app/Convert.h"
#include "app/TwError.h"
#include "marketdata/QuoteTable.h"

#include <QStringList>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

using namespace tw;
using tw::tools::ListError;

namespace {

std::optional<int64_t> cents(const char* text)
{
    const auto v = parseNumber(QString::fromLocal8Bit(text));
    if (!v || *v <= 0 || *v > 100000)
        return std::nullopt;
    return static_cast<int64_t>(std::llround(*v * 100.0));
}

} // namespace

int main(int argc, char** argv)
{
    std::optional<int64_t> first;
    std::optional<int64_t> last;
    std::optional<int64_t> step;
    const bool wide = argc == 7 && std::strcmp(argv[1], "--strikes") == 0;
    if (wide) {
        first = cents(argv[2]);
        last = cents(argv[3]);
        step = cents(argv[4]);
        argv += 4;
        argc -= 4;
    }
    if (argc != 3 || (wide && (!first || !last || !step || *last < *first || (*last - *first) % *step != 0))) {
        std::fprintf(stderr, "usage: tw_make_sample_chain [--strikes <first> <last> <step>] <chain description> "
                             "<output .opt>\n");
        return 2;
    }
    const QString list = QString::fromLocal8Bit(argv[1]);
    return tools::runListTool(list, [&] {
        tools::ChainDescription description = tools::readChainDescription(list);
        if (wide)
            tools::widenChain(description, *first, *last, *step);
        const QStringList lines = tools::buildChainTable(description);
        // The table must read back without a single complaint.
        const auto parsed = marketdata::ParseQuoteTable(lines);
        if (!parsed.warnings.isEmpty())
            throw ListError{0, QStringLiteral("the table does not read back: %1").arg(parsed.warnings.first())};
        marketdata::writeOptionChainFile(QString::fromLocal8Bit(argv[2]), lines);
    });
}
