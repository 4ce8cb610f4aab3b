#include "marketdata/QuoteDownload.h"

#include "app/CAppSettings.h"
#include "app/TwError.h"
#include "app/Tools.h"
#include "marketdata/WinInet.h"
#include "platform/HtmlDocument.h"

#include <QLocale>
#include <cmath>

namespace tw::marketdata {

namespace {
// The page's view-state token, sent unchanged with every download.
constexpr const char kViewState[] = "Gj7V7uEwOMiD862a3NK0FnEO0WSAYhb9DQrpIjCaeoXOJuHbvPAZ2lNh";
static_assert(sizeof(kViewState) - 1 == 56);
} // namespace

QuoteServerAddress quoteServerFromSettings()
{
    CAppSettings& s = appSettings();
    QuoteServerAddress server;
    server.host = settingText(s, QStringLiteral("Settings"), QStringLiteral("QuoteServerHost"), QString()).trimmed();
    if (server.host.isEmpty())
        server.host = QStringLiteral("localhost");
    const int32_t port = settingInt(s, QStringLiteral("Settings"), QStringLiteral("QuoteServerPort"), 80);
    server.port = port >= 1 && port <= 65535 ? static_cast<uint16_t>(port) : 80;
    return server;
}

void prepareFormPost(WinInet& client, const QString& resource, const QString& body, const QString& referer)
{
    const QuoteServerAddress server = quoteServerFromSettings();
    client.setHostName(server.host);
    client.setPort(server.port);
    client.setResource(resource);
    client.setMethod(QStringLiteral("POST"));
    client.setPostQuery(body);
    client.setReferer(referer);
    client.setAgentName(QLatin1String(kUserAgent));
}

QString quoteTableFormBody(const QString& ticker)
{
    return QStringLiteral("__EVENTTARGET=&__EVENTARGUMENT=&__VIEWSTATE=") + QLatin1String(kViewState)
        + QStringLiteral("&ucHeader%3AucCBOEHeaderLinks%3AucCBOEHeaderSearch%3Asearchtext="
                         "&ucQuoteTableDownloadCtl%3AtxtTicker=")
        + URLEncode(ticker) + QStringLiteral("&ucQuoteTableDownloadCtl%3AcmdSubmit=Download");
}

QuoteAnswer judgeQuoteAnswer(bool successDone, const QString& contentType, int64_t responseLength,
                             int64_t announcedLength)
{
    if (!successDone)
        return QuoteAnswer::Failed;
    const QString expected = QLatin1String(kQuoteTableContentType);
    if (contentType.left(expected.size()).toLower() != expected)
        return QuoteAnswer::Refused;
    return responseLength == announcedLength ? QuoteAnswer::Accepted : QuoteAnswer::Refused;
}

QuoteLines splitQuoteLines(const QByteArray& response)
{
    return QuoteLines::fromAnswerBytes(response);
}

int progressPercent(int64_t downloaded, int64_t total)
{
    if (total < 1)
        return 0;
    const double share = std::nearbyint(static_cast<double>(downloaded) * 100.0 / static_cast<double>(total));
    return static_cast<int>(std::clamp(share, 0.0, 100.0));
}

QString downloadStateText(int32_t state)
{
    switch (state) {
    case 1: return QStringLiteral(" Opening connection");
    case 2: return QStringLiteral(" Open error");
    case 3: return QStringLiteral(" Connect to server");
    case 4: return QStringLiteral(" Connect error");
    case 5: return QStringLiteral(" Error while sending request");
    case 6: return QStringLiteral(" Sending request");
    case 7: return QStringLiteral(" Request sent");
    case 8: return QStringLiteral(" Error while sending request");
    case 9: return QStringLiteral(" Quering done");
    case 10: return QStringLiteral(" Query error");
    case 11: return QStringLiteral(" Done");
    case 12: return QStringLiteral(" Canceled");
    default: return QString();
    }
}

QString lookupStateText(int32_t state)
{
    switch (state) {
    case 1: return QStringLiteral(" Opening socket...");
    case 2: return QStringLiteral(" Can not open socket.");
    case 3: return QStringLiteral(" Connecting...");
    case 4: return QStringLiteral(" Error while connecting.");
    case 5: return QStringLiteral(" Can not send request...");
    case 6: return QStringLiteral(" Sending request...");
    case 7: return QStringLiteral(" Request sent.");
    case 8: return QStringLiteral(" Can not send request...");
    case 9: return QStringLiteral(" Query information...");
    case 10: return QStringLiteral(" Query information error.");
    case 11: return QStringLiteral(" Done.");
    case 12: return QStringLiteral(" Canceled.");
    default: return QString();
    }
}

QString downloadProgressText(int64_t downloaded, int64_t total)
{
    const QLocale locale;
    const auto kb = [&](int64_t bytes) {
        return locale.toString(static_cast<double>(bytes) / 1024.0, 'f', 0);
    };
    if (total < 1)
        return QStringLiteral(" Downloading: %1 KB").arg(kb(downloaded));
    return QStringLiteral(" Downloading: %1 of %2 KB").arg(kb(downloaded), kb(total));
}

QString symbolLookupFormBody(const QString& searchText)
{
    // URLEncode writes the blanks as "+" itself.
    return QStringLiteral("company=") + URLEncode(searchText) + QStringLiteral("&btnSubmit=Get+Symbol");
}

SearchFailureTexts searchFailureTexts(WinInet::Failure failure)
{
    switch (failure) {
    case WinInet::Failure::None:
    case WinInet::Failure::Cancelled:
        return {};
    case WinInet::Failure::TooLarge: {
        const QString limit = QString::number(kMaxLookupPageBytes / 1024);
        return {QStringLiteral(" Search failed: the answer is larger than %1 KB, more than a page of search results.")
                    .arg(limit),
                QStringLiteral("Search failed.\r\nThe answer of the lookup server is larger than %1 KB, more than a "
                               "page of search results holds. Search for a longer part of the company name.")
                    .arg(limit)};
    }
    case WinInet::Failure::Connection:
    case WinInet::Failure::Answer:
        break;
    }
    return {QStringLiteral(" Search failed. Check the Internet connection please."),
            QStringLiteral("Search failed.\r\nCheck the Internet connection please.")};
}

LookupPage readLookupPage(const QByteArray& page, const QString& contentType)
{
    if (page.size() > kMaxLookupPageBytes)
        throw TwError(RunTime::SubscriptOutOfRange, QStringLiteral("Tarnwell.SymbolLookup"),
                      QStringLiteral("The answer of the lookup server is not a page of search results "
                                     "(it is %1 KB long, and a page of results is much shorter).")
                          .arg(page.size() / 1024));
    const platform::HtmlDocument doc = platform::HtmlDocument::read(page, contentType);
    const QList<QStringList>& tables = doc.tables();
    if (tables.size() < 15)
        throw TwError(RunTime::SubscriptOutOfRange, QStringLiteral("Tarnwell.SymbolLookup"),
                      QStringLiteral("The answer of the lookup server is not a page of search results "
                                     "(it holds %1 table(s), and the results are in the 15th).")
                          .arg(tables.size()));
    LookupPage result;
    const QStringList& summary = tables.at(13);
    result.summary = QLatin1Char(' ') + summary.value(0) + QStringLiteral(". ") + summary.value(1);
    const QStringList& cells = tables.at(14);
    for (qsizetype i = 3; i <= cells.size() - 4; i += 4)
        result.rows.append({cells.at(i), cells.at(i + 1), cells.at(i + 2)});
    return result;
}

QList<LookupRow> filterLookupRows(const QList<LookupRow>& rows, const QString& searchText, bool beginsWith)
{
    if (!beginsWith)
        return rows;
    const QString wanted = searchText.simplified();
    QList<LookupRow> kept;
    for (const LookupRow& r : rows) {
        if (r.company.simplified().startsWith(wanted, Qt::CaseInsensitive)
            || r.ticker.simplified().startsWith(wanted, Qt::CaseInsensitive))
            kept.append(r);
    }
    return kept;
}

QString lookupStatusText(const QString& summary, qsizetype shown, const QString& searchText, bool beginsWith)
{
    if (!beginsWith)
        return summary;
    return summary + QStringLiteral("; %1 of them begin with \"%2\"").arg(shown).arg(searchText.simplified());
}

} // namespace tw::marketdata
