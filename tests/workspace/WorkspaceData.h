#pragma once
// A small option chain and strategy library for the workspace's window
// tests, written to files the way the program reads them.
//
// Chain "XYZ (XYZ CORP)", quoted Jan 10 2024 at 100 (bid 99.90, ask 100.10):
// expirations Feb 17 and Mar 16 2024, strikes 90..110 in steps of 5, all on
// the CBOE (codes "XYZ B<k>-E" for the February calls, "XYZ C<k>-E" for
// March, "XYZ N<k>-E"/"XYZ O<k>-E" for the puts); February strikes 95..105
// are also quoted on the AMEX (codes ending "-A").
//
// Library: group 1 "Bullish" with "Long call", "Bull spread", "Covered";
// group 2 "Empty" without strategies; group 3 "Bearish" with "Long put" and "Empty plan" (no legs).

#include "model/StrategiesFile.h"
#include "model/StrategyTemplates.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>

namespace tw::test {

struct ChainQuote {
    const char* month; // "24 Feb"
    const char* letter;
    const char* putLetter;
    double strike;
    double callLast;
    double putLast;
    const char* exchange; // "E" CBOE, "A" AMEX
};

inline const ChainQuote kChain[] = {
    {"24 Feb", "B", "N", 90, 10.50, 0.15, "E"},  {"24 Feb", "B", "N", 95, 6.20, 0.60, "E"},
    {"24 Feb", "B", "N", 95, 6.30, 0.65, "A"},   {"24 Feb", "B", "N", 100, 2.50, 2.20, "E"},
    {"24 Feb", "B", "N", 100, 2.60, 2.25, "A"},  {"24 Feb", "B", "N", 105, 0.80, 5.40, "E"},
    {"24 Feb", "B", "N", 105, 0.85, 5.45, "A"},  {"24 Feb", "B", "N", 110, 0.20, 10.10, "E"},
    {"24 Mar", "C", "O", 90, 11.40, 0.50, "E"},  {"24 Mar", "C", "O", 95, 7.30, 1.30, "E"},
    {"24 Mar", "C", "O", 100, 3.60, 3.20, "E"},  {"24 Mar", "C", "O", 105, 1.50, 6.10, "E"},
    {"24 Mar", "C", "O", 110, 0.55, 10.60, "E"},
};
constexpr int kChainOptions = 13; // per side

inline QString optionCode(const char* letter, double strike, const char* exchange)
{
    return QStringLiteral("XYZ %1%2-%3").arg(QLatin1String(letter)).arg(strike).arg(QLatin1String(exchange));
}

inline QStringList chainLines()
{
    QStringList lines{QStringLiteral("XYZ (XYZ CORP),100.00,+0.50"),
                      QStringLiteral("Jan 10 2024 @ 10:00 ET,Bid,99.90,Ask,100.10,Size,10x5,Vol,12345"),
                      QStringLiteral("Calls,Last Sale,Net,Bid,Ask,Vol,Open Int,Puts,Last Sale,Net,Bid,Ask,Vol,"
                                     "Open Int")};
    for (const ChainQuote& q : kChain) {
        const QString k = QString::number(q.strike, 'f', 2);
        lines.append(QStringLiteral("%1 %2 (%3),%4,+0.05,%5,%6,10,100,%1 %2 (%7),%8,-0.05,%9,%10,5,50")
                         .arg(QLatin1String(q.month), k, optionCode(q.letter, q.strike, q.exchange))
                         .arg(q.callLast, 0, 'f', 2)
                         .arg(q.callLast - 0.05, 0, 'f', 2)
                         .arg(q.callLast + 0.05, 0, 'f', 2)
                         .arg(optionCode(q.putLetter, q.strike, q.exchange))
                         .arg(q.putLast, 0, 'f', 2)
                         .arg(q.putLast - 0.05, 0, 'f', 2)
                         .arg(q.putLast + 0.05, 0, 'f', 2));
    }
    return lines;
}

inline bool writeChainFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(chainLines().join(QStringLiteral("\r\n")).toLatin1());
    f.write("\r\n");
    return true;
}

inline std::shared_ptr<StrategyTypeCollection> library()
{
    auto types = std::make_shared<StrategyTypeCollection>();
    auto bullish = types->Add(QStringLiteral("Bullish"), QStringLiteral("{\\rtf1\\ansi Rising \\b markets\\b0\\par}"));
    auto s1 = bullish->Strategies()->Add(QStringLiteral("Long call"), QStringLiteral("{\\rtf1 Buy a call.\\par}"));
    s1->Params()->Add(LegKind::Call, LegPosition::Long, 0, 1, 1);
    auto s2 = bullish->Strategies()->Add(QStringLiteral("Bull spread"), QStringLiteral("{\\rtf1 Spread.}"));
    s2->Params()->Add(LegKind::Call, LegPosition::Long, 0, 1, 1);
    s2->Params()->Add(LegKind::Call, LegPosition::Short, 2, 1, 1);
    auto s3 = bullish->Strategies()->Add(QStringLiteral("Covered"), QStringLiteral("{\\rtf1 Covered.}"));
    s3->Params()->Add(LegKind::Stock, LegPosition::Long, 0, 1, 100);
    s3->Params()->Add(LegKind::Call, LegPosition::Short, 1, 2, 1);
    s3->Params()->Add(LegKind::Put, LegPosition::Long, 3, 1, 2);
    types->Add(QStringLiteral("Empty"), QStringLiteral("{\\rtf1 Nothing here yet.}"));
    auto bearish = types->Add(QStringLiteral("Bearish"), QStringLiteral("{\\rtf1 Falling.}"));
    auto p1 = bearish->Strategies()->Add(QStringLiteral("Long put"), QStringLiteral("{\\rtf1 Buy a put.}"));
    p1->Params()->Add(LegKind::Put, LegPosition::Long, -2, 1, 1);
    bearish->Strategies()->Add(QStringLiteral("Empty plan"), QString());
    return types;
}

} // namespace tw::test
