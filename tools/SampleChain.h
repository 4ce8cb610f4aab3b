#pragma once
// The sample chain's generator (tw_make_sample_chain) as a library: the
// readable description of a chain (tools/sample-chain.txt) and the quote
// table made from it. Every option is priced with the program's
// Black-Scholes model, a market is put around that price, and the trading
// figures come from a seeded generator, so a description always gives the
// same table. Benchmarks and tests make large chains of the same kind with
// it at run time.

#include <QChar>
#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace tw::tools {

struct ChainExpiry {
    QString text; // "07 Apr"
    QDate date;   // the expiration Saturday
    int64_t firstCents = 0;
    int64_t lastCents = 0;
    int64_t stepCents = 0;
    QString root;
};

struct ChainExchange {
    QChar letter;
    int reach = 0; // strikes either side of the money
};

struct ChainDescription {
    QHash<QString, QString> values;
    std::vector<ChainExpiry> expiries;
    std::vector<ChainExchange> exchanges;

    // A "key: value" setting; raises ListError when it is missing or, for
    // number(), not a number.
    QString text(const char* key) const;
    double number(const char* key) const;
};

// Reads a chain description; raises ListError at the line at fault.
ChainDescription readChainDescription(const QString& path);

// Makes the chain as large as a big index's: every expiry quotes every
// strike from `firstCents` to `lastCents` in steps of `stepCents`, and every
// exchange quotes every strike.
void widenChain(ChainDescription& description, int64_t firstCents, int64_t lastCents, int64_t stepCents);

// The quote table of the chain: the stock line, the quote line, the heading
// and one line per strike, expiration and exchange.
QStringList buildChainTable(const ChainDescription& description);

} // namespace tw::tools
