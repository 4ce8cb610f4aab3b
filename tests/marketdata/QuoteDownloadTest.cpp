// The rules of the download and the lookup without any window: the form
// bodies (with their encoding), which answers are taken, how an answer is cut
// into quote lines, the progress figures, and reading the lookup server's
// page (no, one, many results; begins with and contains; pages that are no
// result page).
#include "QuoteServer.h"
#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "app/TwError.h"
#include "marketdata/QuoteDownload.h"

#include <gtest/gtest.h>

using namespace tw;
using namespace tw::marketdata;
using tw::tools::Company;
using tw::tools::QuoteServer;

namespace {

TEST(FormEncoding, SearchTextsAndTickersAreFormEncoded)
{
    EXPECT_EQ(symbolLookupFormBody(QStringLiteral("AT&T Corp")),
              QStringLiteral("company=AT%26T+Corp&btnSubmit=Get+Symbol"));
    // A "+" typed by the user reaches the server as a blank.
    EXPECT_EQ(symbolLookupFormBody(QStringLiteral("A+B")), QStringLiteral("company=A+B&btnSubmit=Get+Symbol"));
    EXPECT_EQ(symbolLookupFormBody(QStringLiteral("a\tb")), QStringLiteral("company=a%09b&btnSubmit=Get+Symbol"));
    EXPECT_EQ(URLEncode(QStringLiteral("Caf\u00e9 \U0001F600=")), QStringLiteral("Caf%C3%A9+%F0%9F%98%80%3D"));
    EXPECT_EQ(HexString(0), QStringLiteral("0"));
    EXPECT_EQ(HexString(9), QStringLiteral("9"));
    EXPECT_EQ(HexString(255), QStringLiteral("FF"));
    EXPECT_EQ(HexString(4096), QStringLiteral("1000"));

    // The ticker can no longer add fields of its own to the form.
    const QString body = quoteTableFormBody(QStringLiteral("AB C&x=1"));
    EXPECT_TRUE(body.startsWith(QStringLiteral("__EVENTTARGET=&__EVENTARGUMENT=&__VIEWSTATE=")));
    EXPECT_TRUE(body.contains(QStringLiteral("&ucQuoteTableDownloadCtl%3AtxtTicker=AB+C%26x%3D1&")));
    EXPECT_TRUE(body.endsWith(QStringLiteral("&ucQuoteTableDownloadCtl%3AcmdSubmit=Download")));
    const QString viewState = body.section(QLatin1Char('&'), 2, 2).section(QLatin1Char('='), 1);
    EXPECT_EQ(viewState.size(), 56);
    const auto fields = tools::formFields(body.toUtf8());
    ASSERT_EQ(fields.size(), 6);
    EXPECT_EQ(fields.at(4).first, QStringLiteral("ucQuoteTableDownloadCtl:txtTicker"));
    EXPECT_EQ(fields.at(4).second, QStringLiteral("AB C&x=1"));
}

TEST(QuoteAnswerRules, ContentTypeLengthAndSuccessDecide)
{
    const QString type = QStringLiteral("application/x-unknown");
    EXPECT_EQ(judgeQuoteAnswer(true, type, 100, 100), QuoteAnswer::Accepted);
    EXPECT_EQ(judgeQuoteAnswer(true, QStringLiteral("Application/X-Unknown"), 100, 100), QuoteAnswer::Accepted);
    EXPECT_EQ(judgeQuoteAnswer(true, QStringLiteral("application/x-unknownish; charset=x"), 7, 7),
              QuoteAnswer::Accepted);
    EXPECT_EQ(judgeQuoteAnswer(true, QStringLiteral("text/html"), 100, 100), QuoteAnswer::Refused);
    EXPECT_EQ(judgeQuoteAnswer(true, QStringLiteral("application/x-unknow"), 100, 100), QuoteAnswer::Refused);
    EXPECT_EQ(judgeQuoteAnswer(true, type, 100, 0), QuoteAnswer::Refused); // no announced length
    EXPECT_EQ(judgeQuoteAnswer(true, type, 99, 100), QuoteAnswer::Refused);
    EXPECT_EQ(judgeQuoteAnswer(false, type, 100, 100), QuoteAnswer::Failed);
}

TEST(QuoteAnswerRules, AnswerIsCutAtCrLfAndItsUnendedTailDropped)
{
    EXPECT_EQ(splitQuoteLines("a\r\n\r\nb\r\n").toStringList(), (QStringList{"a", "", "b"}));
    EXPECT_EQ(splitQuoteLines("a\r\nb\r\nlast").toStringList(), (QStringList{"a", "b"}));
    EXPECT_EQ(splitQuoteLines("a\nb\n").toStringList(), QStringList());
    EXPECT_EQ(splitQuoteLines(QByteArray()).toStringList(), QStringList());
}

TEST(QuoteAnswerRules, ProgressFiguresAndStateTexts)
{
    EXPECT_EQ(progressPercent(500, 2000), 25);
    EXPECT_EQ(progressPercent(1, 3), 33);
    EXPECT_EQ(progressPercent(2, 3), 67);
    EXPECT_EQ(progressPercent(500, 0), 0);
    EXPECT_EQ(progressPercent(5000, 2000), 100);
    EXPECT_EQ(downloadStateText(9), QStringLiteral(" Quering done"));
    EXPECT_EQ(downloadStateText(12), QStringLiteral(" Canceled"));
    EXPECT_EQ(downloadStateText(13), QString());
    EXPECT_EQ(lookupStateText(10), QStringLiteral(" Query information error."));
    EXPECT_EQ(lookupStateText(0), QString());
    EXPECT_EQ(downloadProgressText(3072, 12288), QStringLiteral(" Downloading: 3 of 12 KB"));
    EXPECT_EQ(downloadProgressText(3072, 0), QStringLiteral(" Downloading: 3 KB"));
}

TEST(QuoteServerSettings, HostAndPortComeFromTheSettingsWithSafeDefaults)
{
    CAppSettings& s = appSettings();
    EXPECT_EQ(quoteServerFromSettings().host, QStringLiteral("localhost"));
    EXPECT_EQ(quoteServerFromSettings().port, 80);
    s.SaveSetting(QStringLiteral("Settings"), QStringLiteral("QuoteServerHost"), QStringLiteral(" quotes.example "));
    s.SaveSetting(QStringLiteral("Settings"), QStringLiteral("QuoteServerPort"), 8080);
    EXPECT_EQ(quoteServerFromSettings().host, QStringLiteral("quotes.example"));
    EXPECT_EQ(quoteServerFromSettings().port, 8080);
    for (const QVariant& bad : {QVariant(0), QVariant(70000), QVariant(-5), QVariant(QStringLiteral("eighty"))}) {
        s.SaveSetting(QStringLiteral("Settings"), QStringLiteral("QuoteServerPort"), bad);
        EXPECT_EQ(quoteServerFromSettings().port, 80) << bad.toString().toStdString();
    }
    s.DeleteSetting(QStringLiteral("Settings"), QStringLiteral("QuoteServerHost"));
    s.DeleteSetting(QStringLiteral("Settings"), QStringLiteral("QuoteServerPort"));
}

QList<Company> someCompanies(int n)
{
    QList<Company> list;
    for (int i = 1; i <= n; ++i)
        list.append({QStringLiteral("T%1").arg(i), QStringLiteral("Company <%1> & Sons").arg(i),
                     QStringLiteral("NYSE")});
    return list;
}

TEST(LookupPage, NoneOneAndManyResults)
{
    for (const int n : {0, 1, 40}) {
        const LookupPage page = readLookupPage(QuoteServer::lookupPage(QStringLiteral("sons"), someCompanies(n)),
                                               QStringLiteral("text/html; charset=utf-8"));
        EXPECT_EQ(page.summary, QStringLiteral(" Symbol lookup for \"sons\". %1 companies found").arg(n));
        ASSERT_EQ(page.rows.size(), n);
        if (n > 0) {
            EXPECT_EQ(page.rows.last().ticker, QStringLiteral("T%1").arg(n));
            EXPECT_EQ(page.rows.last().company, QStringLiteral("Company <%1> & Sons").arg(n));
            EXPECT_EQ(page.rows.last().exchange, QStringLiteral("NYSE"));
        }
    }
}

TEST(LookupPage, RowsStartAtTheFourthCellInStepsOfFour)
{
    QByteArray frame;
    for (int i = 0; i < 14; ++i)
        frame += "<table><tr><td>a</td><td>b</td></tr></table>";
    const auto withCells = [&](int cells) {
        QByteArray t = "<table><tr>";
        for (int c = 0; c < cells; ++c)
            t += "<td>c" + QByteArray::number(c) + "</td>";
        return frame + t + "</tr></table>";
    };
    EXPECT_TRUE(readLookupPage(withCells(6), {}).rows.isEmpty());
    const LookupPage one = readLookupPage(withCells(7), {});
    ASSERT_EQ(one.rows.size(), 1);
    EXPECT_EQ(one.rows.first().ticker, QStringLiteral("c3"));
    EXPECT_EQ(one.rows.first().exchange, QStringLiteral("c5"));
    EXPECT_EQ(readLookupPage(withCells(10), {}).rows.size(), 1);
    EXPECT_EQ(readLookupPage(withCells(11), {}).rows.size(), 2);
    EXPECT_EQ(one.summary, QStringLiteral(" a. b"));
}

TEST(LookupPage, PageWithoutResultTableIsRefusedWithAMessage)
{
    // A page of results made larger than any page of results.
    QList<Company> many;
    for (int i = 0; i < 3000; ++i)
        many.append({QStringLiteral("T%1").arg(i), QStringLiteral("Company number %1").arg(i), QStringLiteral("NYSE")});
    const QByteArray large = QuoteServer::lookupPage(QStringLiteral("company"), many);
    ASSERT_GT(large.size(), kMaxLookupPageBytes);
    for (const QByteArray& page : {QuoteServer::brokenLookupPage(), QByteArray(), QByteArray("\xff\xfe\x00<table", 9),
                                   QByteArray("<html><body>Service unavailable</body></html>"), large}) {
        try {
            readLookupPage(page, QStringLiteral("text/html"));
            ADD_FAILURE() << "taken: " << page.constData();
        } catch (const TwError& e) {
            EXPECT_TRUE(e.description().contains(QStringLiteral("not a page of search results")));
        }
    }
}

TEST(LookupPage, BeginsWithNarrowsContainsKeepsAll)
{
    const QList<LookupRow> rows = {{QStringLiteral("ZYX"), QStringLiteral("ZYXON SYSTEMS INC"), QStringLiteral("N")},
                                   {QStringLiteral("BZYX"), QStringLiteral("BRAND ZYXON HOLDINGS"), QStringLiteral("A")},
                                   {QStringLiteral("QQQ"), QStringLiteral("Zyxon  Quarry"), QStringLiteral("N")}};
    EXPECT_EQ(filterLookupRows(rows, QStringLiteral("zyx"), false).size(), 3);
    const QList<LookupRow> begins = filterLookupRows(rows, QStringLiteral(" zyxon  "), true);
    ASSERT_EQ(begins.size(), 2);
    EXPECT_EQ(begins.at(0).ticker, QStringLiteral("ZYX"));
    EXPECT_EQ(begins.at(1).ticker, QStringLiteral("QQQ"));
    EXPECT_EQ(filterLookupRows(rows, QStringLiteral("bz"), true).size(), 1); // by ticker
    EXPECT_TRUE(filterLookupRows(rows, QStringLiteral("holdings"), true).isEmpty());
}

} // namespace
