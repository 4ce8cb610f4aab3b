#pragma once
// The quote-table download and the symbol lookup without their windows: the
// server they ask, the requests they post, the rules by which an answer is
// taken, and the texts their windows show for the client's states.

#include "marketdata/QuoteTable.h"
#include "marketdata/WinInet.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace tw::marketdata {

// The delayed-quote server, from section "Settings": "QuoteServerHost"
// (default "localhost") and "QuoteServerPort" (default 80; a value that is
// no port gives the default).
struct QuoteServerAddress {
    QString host;
    uint16_t port = 80;
};
QuoteServerAddress quoteServerFromSettings();

// Sets the client up for a form post of `body` to `resource` on the server
// of the settings, as the program's requests go (HTTP/1.0 POST, its user
// agent, the referer given).
void prepareFormPost(WinInet& client, const QString& resource, const QString& body, const QString& referer);

inline constexpr const char* kQuoteTableResource = "/DelayedQuote/QuoteTableDownload.aspx";
inline constexpr const char* kSymbolLookupResource = "/DelayedQuote/Symbol.aspx";
inline constexpr const char* kUserAgent = "Mozilla/4.0";
inline constexpr const char* kQuoteTableContentType = "application/x-unknown";

// The quote-table form with the ticker, form-encoded.
QString quoteTableFormBody(const QString& ticker);

enum class QuoteAnswer {
    Accepted, // the transfer succeeded and the answer is a quote table
    Refused,  // the transfer succeeded, but the answer is something else
    Failed,   // the transfer did not succeed
};
// An answer is taken when the transfer succeeded, its content type starts
// with "application/x-unknown" (in any case) and its length is the one the
// server announced (an answer without an announced length is refused).
QuoteAnswer judgeQuoteAnswer(bool successDone, const QString& contentType, int64_t responseLength,
                             int64_t announcedLength);

// The quote-table lines of an answer's bytes: every piece ended by CR LF, in
// order, empty ones included; a last piece without CR LF is dropped.
QuoteLines splitQuoteLines(const QByteArray& response);

// The progress bar's percentage: 0 without an announced length, else the
// received share, rounded, at most 100.
int progressPercent(int64_t downloaded, int64_t total);

// Texts of the client's states 1..12; an empty text for any other state.
QString downloadStateText(int32_t state); // the download's progress window
QString lookupStateText(int32_t state);   // the lookup window's status line

// " Downloading: 3 of 12 KB" (" Downloading: 3 KB" without a total).
QString downloadProgressText(int64_t downloaded, int64_t total);

// The symbol-lookup form: "company=", the search text form-encoded with its
// blanks as "+", and "&btnSubmit=Get+Symbol".
QString symbolLookupFormBody(const QString& searchText);

struct LookupRow {
    QString ticker;
    QString company;
    QString exchange;
};

struct LookupPage {
    QString summary; // " " + the summary's two cells joined by ". "
    QList<LookupRow> rows;
};

// The largest answer the lookup takes: a page of results is tens of
// kilobytes, and a larger answer fails the search.
inline constexpr int64_t kMaxLookupPageBytes = 256 * 1024;

// What the lookup window says of a search whose transfer failed: its status
// line and the text of its switchable message "SRCHFAIL". A failed
// connection or an answer that broke off is blamed on the connection; an
// answer larger than kMaxLookupPageBytes is called so (the connection was
// fine); a search the user cancelled gets neither (empty texts: the state
// text " Canceled." has said it).
struct SearchFailureTexts {
    QString status;
    QString message;
};
SearchFailureTexts searchFailureTexts(WinInet::Failure failure);

// Reads the lookup server's answer page: the summary from its 14th table,
// the rows from its 15th (cells 3, 7, 11...: ticker, company, exchange).
// Raises TwError with a message for the user when the page holds no result
// table or is larger than kMaxLookupPageBytes.
LookupPage readLookupPage(const QByteArray& page, const QString& contentType);

// The rows whose company name or ticker begins with the search text (without
// regard to case or repeated blanks); with `beginsWith` false, every row
// (the server finds names that contain the text).
QList<LookupRow> filterLookupRows(const QList<LookupRow>& rows, const QString& searchText, bool beginsWith);

// The lookup's status line for the rows shown: the page's summary, which
// counts every company found, followed with "Begins with" by how many of
// them are shown, as in
//   " Symbol lookup for "zyx". 3 companies found; 2 of them begin with "zyx"".
QString lookupStatusText(const QString& summary, qsizetype shown, const QString& searchText, bool beginsWith);

} // namespace tw::marketdata
