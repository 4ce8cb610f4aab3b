#pragma once
// Chains as large as a big index's for the benchmarks, made at run time by
// the sample chain's generator (tools/SampleChain.h) from the sample's own
// description (TW_SAMPLE_CHAIN_LIST), every expiration quoting every strike
// from 1 to 400 on every exchange.

#include "SampleChain.h"
#include "marketdata/QuoteTable.h"

#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

namespace tw::bench {

// The chain file with strikes `stepCents` apart (50: about 28,000 lines,
// 2.9 MB), made once per run in a temporary folder.
inline QString wideChainFile(int stepCents)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wide-%1.opt").arg(stepCents));
    if (!QFileInfo::exists(path)) {
        tools::ChainDescription d = tools::readChainDescription(QStringLiteral(TW_SAMPLE_CHAIN_LIST));
        tools::widenChain(d, 100, 40000, stepCents);
        marketdata::writeOptionChainFile(path, tools::buildChainTable(d));
    }
    return path;
}

} // namespace tw::bench
