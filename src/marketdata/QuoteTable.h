#pragma once
// The options exchange's quote table: comma-separated lines (line 1 the
// stock, line 2 its quote, line 3 a heading, then one line per strike and
// expiration with a call half and a put half), and the option-chain files
// (".opt") that keep those lines exactly as received.
//
// Parsing is done without any window: lines in, a new stock with its calls
// and puts out, plus a warning for every option that had to be left out. A
// table that cannot be a quote table at all (too few lines, an unreadable
// quote date) is refused with a clear error and nothing is built, and so is
// one whose stock price no chart could show.

#include "model/Currency.h"

#include <QDate>
#include <cstdint>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace tw {

class stock;

namespace marketdata {

struct ParseResult {
    std::shared_ptr<stock> objStock;
    // One text per option (or line) that could not be read and was left out.
    QStringList warnings;
};

// Called after each option line with the line's number (from 4) and the
// number of lines.
using ParseProgress = std::function<void(int line, int count)>;

// The stock prices a chain may have: above 0 and below this bound. The 2-D
// chart windows sweep the stock price from half to one and a half times the
// chain's price, and their fixed-price slider counts that range in
// hundredths in 32 bits (up to 21,474,836.47), so no price of 14,316,558 or
// more can be shown; every real stock is far below the bound.
inline constexpr Currency kStockPriceLimit = Currency::fromRaw(10'000'000LL * Currency::Scale);

// The quote dates a chain may have: none before kEarliestQuoteDate and
// none more than kQuoteDateYearsAhead years after today. A quote date text
// reads any four characters as its year, and a year such as -999 or 9999
// would stretch the charts' time axes over millennia.
inline const QDate kEarliestQuoteDate{1970, 1, 1};
inline constexpr int kQuoteDateYearsAhead = 100;
QDate latestQuoteDate();
bool isRealQuoteDate(const QDate& date);

// Parses the lines of a quote table. Raises TwError (with a message for the
// user) when the table is refused; a table whose stock price is not above 0
// and below kStockPriceLimit is refused with RunTime::InvalidPropertyValue,
// the message quoting the price as the table gives it, and so is one whose
// quote date is no real one (isRealQuoteDate), the message quoting the date.
ParseResult ParseQuoteTable(const QStringList& lines, const ParseProgress& progress = {});

// The date of a quote date text "Jan 27 2004 ..." (month, day, four-digit
// year); no value when it is not one.
std::optional<QDate> ParseQuoteDate(const QString& text);
// The first day of the month named by an expiration text "04 Feb" (two-digit
// year: 32 or more is 19YY, below 32 is 20YY); no value for an unknown month.
std::optional<QDate> ParseExpiryMonth(const QString& text);
// The Saturday after the third Friday of the date's month.
QDate ExpirationSaturday(const QDate& date);
// The exchange name stored with an option quoted on the exchange of `letter`
// in the call half or the put half.
QString exchangeName(QChar letter, bool callHalf);

// The largest option chain taken, from a file or a download: a big index's
// chain is a few megabytes, and a file beyond this bound is no chain.
inline constexpr int64_t kLargestChainBytes = 64LL * 1024 * 1024;

// Reads an option-chain file: its lines, without their line ends. Raises
// TwError with a message for the user when it cannot be read, is a folder,
// is larger than kLargestChainBytes (before reading it), or holds binary
// data, which no chain file does.
QStringList readOptionChainFile(const QString& path);
// Why the option-chain file named at `path` cannot be opened, for the user:
// it is not found, it is a folder, or the system's reason; empty when it
// can be.
QString chainFileOpenProblem(const QString& path);
// Writes the lines, each followed by CR LF, through a temporary file that
// replaces the old one only when complete. Raises TwError on failure.
void writeOptionChainFile(const QString& path, const QStringList& lines);

// The file name offered when a chain is saved: the code, a blank, the quote
// date as yyyy.mm.dd and ".OPT".
QString defaultChainFileName(const QString& code, double stockDate);

} // namespace marketdata
} // namespace tw
