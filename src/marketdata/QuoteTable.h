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
// one whose stock price no chart could show or whose quote date is no real
// one.

#include "model/Currency.h"

#include <QByteArray>
#include <QDate>
#include <cstdint>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

namespace tw {

class stock;

namespace marketdata {

// The lines of a quote table as they came: one block of Latin-1 text (a
// byte a character) with its line ends, not a text object per line, so that
// a table takes about its own size in memory whatever its lines hold (a
// file of millions of empty lines takes its size, not millions of texts).
// Lines are read in order with a Reader.
class QuoteLines {
public:
    QuoteLines() = default;
    // Each line as Latin-1 (what the files and downloads hold).
    QuoteLines(const QStringList& lines);
    QuoteLines(std::initializer_list<QString> lines);
    // The lines of a file's bytes: each ended by LF or CR LF (without it);
    // a last line without an end counts unless it is empty.
    static QuoteLines fromFileBytes(const QByteArray& bytes);
    // The lines of a download's answer: every piece ended by CR LF, empty
    // ones included; a last piece without CR LF is no line.
    static QuoteLines fromAnswerBytes(const QByteArray& bytes);

    qsizetype size() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    // What an option-chain file of these lines holds: every line followed by
    // CR LF.
    QByteArray fileBytes() const;
    QStringList toStringList() const;

    class Reader {
    public:
        explicit Reader(const QuoteLines& lines) : m_lines(lines) {}
        // The next line without its end; false after the last one.
        bool next(QLatin1String& line);

    private:
        const QuoteLines& m_lines;
        qsizetype m_pos = 0;
    };

    // The same lines (however their ends were written).
    friend bool operator==(const QuoteLines& a, const QuoteLines& b);
    friend bool operator!=(const QuoteLines& a, const QuoteLines& b) { return !(a == b); }

private:
    // Where the lines end: at CR LF only (a lone LF or CR is part of its
    // line), or at every LF with a CR before it dropped.
    enum class Ends { CrLf, Lf };
    QByteArray m_bytes;
    qsizetype m_end = 0; // bytes from here on are no line
    Ends m_ends = Ends::CrLf;
    qsizetype m_count = 0;
};

struct ParseResult {
    std::shared_ptr<stock> objStock;
    // One text per option (or line) that could not be read and was left
    // out, the first kKeptWarnings of them: a table of millions of bad lines
    // must not fill the memory with texts no one is shown.
    static constexpr qsizetype kKeptWarnings = 10;
    QStringList warnings;
    qsizetype warningCount = 0; // all of them
};

// The message that sums up the options a table left out: how many, the texts
// kept, and how many more there were when not all are shown. Empty when none
// was left out.
QString warningSummary(const ParseResult& result);

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
ParseResult ParseQuoteTable(const QuoteLines& lines, const ParseProgress& progress = {});

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
QuoteLines readOptionChainFile(const QString& path);
// Why the option-chain file named at `path` cannot be opened, for the user:
// it is not found, it is a folder, or the system's reason; empty when it
// can be.
QString chainFileOpenProblem(const QString& path);
// Writes the lines, each followed by CR LF, through a temporary file that
// replaces the old one only when complete. Raises TwError on failure.
void writeOptionChainFile(const QString& path, const QuoteLines& lines);

// The file name offered when a chain is saved: the code, a blank, the quote
// date as yyyy.mm.dd and ".OPT".
QString defaultChainFileName(const QString& code, double stockDate);

} // namespace marketdata
} // namespace tw
