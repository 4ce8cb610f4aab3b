// The quote-table parser and the option-chain files: the description of an
// option, the expiration dates, the exchanges, tables the parser must refuse
// or read around, locale independence, and files that load back identical.
#include "app/Convert.h"
#include "app/TwError.h"
#include "marketdata/QuoteTable.h"
#include "model/OptionsCollection.h"
#include "model/stock.h"
#include "support/ErrorOf.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>
#include <iostream>
#include <locale>

using namespace tw;
using namespace tw::marketdata;

namespace {

const QString kStockLine = QStringLiteral("ABC (ABC CORPORATION),91.03,+0.56,");
const QString kQuoteLine = QStringLiteral("Jan 27 2004 @ 14:09 ET,Bid,91.02,Ask,91.04,Size,5x10,Vol,1234567,");
const QString kHeading =
    QStringLiteral("Calls,Last Sale,Net,Bid,Ask,Vol,Open Int,Puts,Last Sale,Net,Bid,Ask,Vol,Open Int,");

QStringList table(const QStringList& optionLines)
{
    return QStringList{kStockLine, kQuoteLine, kHeading} + optionLines;
}

// An option line; the exchange letter is appended to both codes.
QString optionLine(const QString& month, const QString& strike, QChar callExchange, QChar putExchange)
{
    return QStringLiteral("%1 %2 (ABC AL-%3),1.25,+0.05,1.20,1.30,10,200,%1 %2 (ABC ML-%4),2.50,-0.10,2.45,2.55,7,300,")
        .arg(month, strike)
        .arg(callExchange)
        .arg(putExchange);
}

QString describe(const OptionItem& o)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10")
        .arg(o.Code(), o.StrikePrice().toString(), dateFromSerial(o.ExpirationDate()).toString(Qt::ISODate), o.Net(),
             o.Bid().toString(), o.Ask().toString())
        .arg(o.Volume())
        .arg(o.OpenInt())
        .arg(o.StockExchange(), o.LastSale().toString());
}

QStringList describe(const OptionsCollection& side)
{
    QStringList out;
    for (const auto& o : side)
        out << describe(*o);
    return out;
}

QStringList describe(const stock& s)
{
    QStringList out{QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                        .arg(s.Code(), s.Price().toString(), s.Net(),
                             dateFromSerial(s.StockDate()).toString(Qt::ISODate), s.Bid().toString(),
                             s.Ask().toString(), s.Size())
                        .arg(s.Volume())};
    out << QStringLiteral("calls") << describe(*s.Calls()) << QStringLiteral("puts") << describe(*s.Puts());
    return out;
}

// The third Friday of a month plus one day, counted on the calendar.
QDate saturdayAfterThirdFriday(int year, int month)
{
    QDate d(year, month, 1);
    while (d.dayOfWeek() != Qt::Friday)
        d = d.addDays(1);
    return d.addDays(14 + 1);
}

TwError refusalOf(const QuoteLines& lines)
{
    try {
        ParseQuoteTable(lines);
    } catch (const TwError& e) {
        return e;
    }
    ADD_FAILURE() << "the table was not refused";
    return TwError(0, QString(), QString());
}

} // namespace

TEST(QuoteTable, DescriptionExampleGivesCodeStrikeExpirationAndExchange)
{
    const auto r = ParseQuoteTable(
        table({QStringLiteral("04 Feb 60.00 (ABC BL-E),31.10,+0.60,30.90,31.30,12,340,,,,,,,")}));
    EXPECT_TRUE(r.warnings.isEmpty());
    ASSERT_EQ(r.objStock->Calls()->Count(), 1);
    EXPECT_EQ(r.objStock->Puts()->Count(), 0);
    const OptionItem& o = *r.objStock->Calls()->Item(1);
    EXPECT_EQ(o.Code(), QStringLiteral("ABC BL-E"));
    EXPECT_EQ(o.StrikePrice(), Currency::fromRaw(600000));
    EXPECT_EQ(dateFromSerial(o.ExpirationDate()), QDate(2004, 2, 21));
    EXPECT_EQ(dateFromSerial(o.ExpirationDate()).dayOfWeek(), Qt::Saturday);
    EXPECT_EQ(o.StockExchange(), QStringLiteral("CBOE (Chicago Board Options Exchange)"));
    EXPECT_EQ(o.LastSale(), Currency::fromRaw(311000));
    EXPECT_EQ(o.Net(), QStringLiteral("+0.60"));
    EXPECT_EQ(o.Bid(), Currency::fromRaw(309000));
    EXPECT_EQ(o.Ask(), Currency::fromRaw(313000));
    EXPECT_EQ(o.Volume(), 12);
    EXPECT_EQ(o.OpenInt(), 340);
    EXPECT_EQ(o.Price(), Currency());
}

TEST(QuoteTable, EachLineKeepsItsOwnExpirationNetAndWholeNumbers)
{
    // Lines of one expiration usually follow each other; any order must
    // give every option its own date and net change.
    const auto r = ParseQuoteTable(table({
        QStringLiteral("04 Feb 60.00 (ABC BL-E),1,+0.60,1,1,999999999,0012,04 Feb 60.00 (ABC NL-E),1,-0.10,1,1, 7 ,0,"),
        QStringLiteral("04 Mar 60.00 (ABC CL-E),1,+0.60,1,1,2147483647,1,"),
        QStringLiteral("05 Feb 60.00 (ABC DL-E),1,+0.70,1,1,2147483648,1,"),
        QStringLiteral("05 Feb 60.00 (ABC EL-E),1,+0.70,1,1,-5,1,"),
        QStringLiteral("04 Xyz 60.00 (ABC FL-E),1,0,1,1,0,0,"),
        QStringLiteral("04 Feb 62.50 (ABC GL-E),1,0,1,1,1e3,1,"),
    }));
    ASSERT_EQ(r.warnings.size(), 2) << r.warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(r.warnings[0].contains(QStringLiteral("volume \"2147483648\""))) << r.warnings[0].toStdString();
    EXPECT_TRUE(r.warnings[1].contains(QStringLiteral("expiration \"04 Xyz\""))) << r.warnings[1].toStdString();
    QStringList calls;
    for (const auto& o : *r.objStock->Calls())
        calls << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(o->Code(), dateFromSerial(o->ExpirationDate()).toString(Qt::ISODate), o->Net())
                     .arg(o->Volume())
                     .arg(o->OpenInt());
    EXPECT_EQ(calls, (QStringList{QStringLiteral("ABC BL-E 2004-02-21 +0.60 999999999 12"),
                                  QStringLiteral("ABC CL-E 2004-03-20 +0.60 2147483647 1"),
                                  QStringLiteral("ABC EL-E 2005-02-19 +0.70 -5 1"),
                                  QStringLiteral("ABC GL-E 2004-02-21 0 1000 1")}));
    const OptionItem& put = *r.objStock->Puts()->Item(1);
    EXPECT_EQ(put.Net(), QStringLiteral("-0.10"));
    EXPECT_EQ(put.Volume(), 7);
}

TEST(QuoteTable, StockAndQuoteLines)
{
    const auto r = ParseQuoteTable(table({}));
    const stock& s = *r.objStock;
    EXPECT_EQ(s.Code(), QStringLiteral("ABC (ABC CORPORATION)"));
    EXPECT_EQ(s.Price(), Currency::fromRaw(910300));
    EXPECT_EQ(s.Net(), QStringLiteral("+0.56"));
    EXPECT_EQ(dateFromSerial(s.StockDate()), QDate(2004, 1, 27));
    EXPECT_EQ(s.StockDate(), std::floor(s.StockDate())) << "the quote date has no time of day";
    EXPECT_EQ(s.Bid(), Currency::fromRaw(910200));
    EXPECT_EQ(s.Ask(), Currency::fromRaw(910400));
    EXPECT_EQ(s.Size(), QStringLiteral("5x10"));
    EXPECT_EQ(s.Volume(), 1234567);
    // Exactly three lines: the quote and two empty sides.
    EXPECT_EQ(s.Calls()->Count(), 0);
    EXPECT_EQ(s.Puts()->Count(), 0);
    EXPECT_TRUE(r.warnings.isEmpty());

    // A quote line with three fields sets the bid only.
    const auto shortQuote = ParseQuoteTable({kStockLine, QStringLiteral("Jan 27 2004,Bid,91.02")});
    EXPECT_EQ(shortQuote.objStock->Bid(), Currency::fromRaw(910200));
    EXPECT_EQ(shortQuote.objStock->Ask(), Currency());
    EXPECT_EQ(shortQuote.objStock->Size(), QStringLiteral("N/A"));
    EXPECT_EQ(shortQuote.objStock->Volume(), 0);

    // A bid that is no number is 0, without a warning.
    const auto odd = ParseQuoteTable({QStringLiteral("ABC,1.5,+0.1"), QStringLiteral("Jan 27 2004,Bid,-,Ask,91.04")});
    EXPECT_EQ(odd.objStock->Bid(), Currency());
    EXPECT_EQ(odd.objStock->Ask(), Currency::fromRaw(910400));
    EXPECT_TRUE(odd.warnings.isEmpty());
}

TEST(QuoteTable, ExpirationSaturdayMatchesTheCalendarFrom2000To2031)
{
    for (int year = 2000; year <= 2031; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const QDate expected = saturdayAfterThirdFriday(year, month);
            // Any day of the month gives the month's expiration.
            for (int day : {1, 15, 28}) {
                const QDate got = ExpirationSaturday(QDate(year, month, day));
                EXPECT_EQ(got, expected) << year << "-" << month << "-" << day;
            }
            EXPECT_EQ(ExpirationSaturday(QDate(year, month, 1)).dayOfWeek(), Qt::Saturday);
        }
    }
    // The 15th a Saturday: the 22nd; the 15th a Friday: the 16th.
    ASSERT_EQ(QDate(2007, 9, 15).dayOfWeek(), Qt::Saturday);
    EXPECT_EQ(ExpirationSaturday(QDate(2007, 9, 1)), QDate(2007, 9, 22));
    ASSERT_EQ(QDate(2007, 6, 15).dayOfWeek(), Qt::Friday);
    EXPECT_EQ(ExpirationSaturday(QDate(2007, 6, 1)), QDate(2007, 6, 16));
}

TEST(QuoteTable, ExpiryMonthYearPivotAndMonthNames)
{
    EXPECT_EQ(ParseExpiryMonth(QStringLiteral("31 Jan")), QDate(2031, 1, 1));
    EXPECT_EQ(ParseExpiryMonth(QStringLiteral("32 Jan")), QDate(1932, 1, 1));
    EXPECT_EQ(ParseExpiryMonth(QStringLiteral("00 Dec")), QDate(2000, 12, 1));
    EXPECT_EQ(ParseExpiryMonth(QStringLiteral("99 Mar")), QDate(1999, 3, 1));
    EXPECT_EQ(ParseExpiryMonth(QStringLiteral("04 Feb")), QDate(2004, 2, 1));
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(ParseExpiryMonth(QStringLiteral("05 ") + QLatin1String(months[m - 1])), QDate(2005, m, 1));
    // Unknown or differently written months are no month at all (never December).
    EXPECT_FALSE(ParseExpiryMonth(QStringLiteral("04 feb")));
    EXPECT_FALSE(ParseExpiryMonth(QStringLiteral("04 FEB")));
    EXPECT_FALSE(ParseExpiryMonth(QStringLiteral("04 Foo")));
    EXPECT_FALSE(ParseExpiryMonth(QStringLiteral("xx Feb")));
    EXPECT_FALSE(ParseExpiryMonth(QStringLiteral("04")));

    // In a table an option of an unknown month is left out with a warning.
    const auto r = ParseQuoteTable(table({optionLine(QStringLiteral("04 Fex"), QStringLiteral("60.00"), 'E', 'E'),
                                          optionLine(QStringLiteral("32 Jan"), QStringLiteral("60.00"), 'E', 'E')}));
    EXPECT_EQ(r.warnings.size(), 2);
    ASSERT_EQ(r.objStock->Calls()->Count(), 1);
    EXPECT_EQ(dateFromSerial(r.objStock->Calls()->Item(1)->ExpirationDate()), QDate(1932, 1, 16));
}

TEST(QuoteTable, QuoteDateText)
{
    EXPECT_EQ(ParseQuoteDate(QStringLiteral("Jan 27 2004")), QDate(2004, 1, 27));
    EXPECT_EQ(ParseQuoteDate(QStringLiteral("Dec 05 2007 @ 16:02 ET")), QDate(2007, 12, 5));
    EXPECT_EQ(ParseQuoteDate(QStringLiteral("Mar  5 2007")), QDate(2007, 3, 5));
    EXPECT_FALSE(ParseQuoteDate(QStringLiteral("Foo 27 2004")));
    EXPECT_FALSE(ParseQuoteDate(QStringLiteral("jan 27 2004")));
    EXPECT_FALSE(ParseQuoteDate(QStringLiteral("Feb 30 2004")));
    EXPECT_FALSE(ParseQuoteDate(QStringLiteral("Jan 27 04")));
    EXPECT_FALSE(ParseQuoteDate(QStringLiteral("")));
}

TEST(QuoteTable, TablesThatAreNoQuoteTableAreRefusedWithAClearMessage)
{
    const TwError unknownMonth = refusalOf({kStockLine, QStringLiteral("Foo 27 2004 @ 14:09 ET,Bid,1,Ask,2")});
    EXPECT_NE(unknownMonth.number(), 0);
    EXPECT_TRUE(unknownMonth.description().contains(QStringLiteral("\"Foo 27 2004 @ 14:09 ET\" is not a quote date")))
        << unknownMonth.description().toStdString();

    const TwError badDay = refusalOf({kStockLine, QStringLiteral("Jan xx 2004,Bid,1")});
    EXPECT_TRUE(badDay.description().contains(QStringLiteral("not a quote date")));

    const TwError oneLine = refusalOf({kStockLine});
    EXPECT_TRUE(oneLine.description().contains(QStringLiteral("1 line")));
    EXPECT_TRUE(refusalOf({}).description().contains(QStringLiteral("0 line")));

    const TwError noStock = refusalOf({QStringLiteral(",91.03"), kQuoteLine});
    EXPECT_TRUE(noStock.description().contains(QStringLiteral("names no stock")));

    // An HTML error page is no quote table either.
    EXPECT_NE(refusalOf({QStringLiteral("<html>"), QStringLiteral("<body>Not found</body>")}).number(), 0);

    // What the message quotes of the data is one short line of plain text.
    const TwError garbage =
        refusalOf({kStockLine, QStringLiteral("\x01\x1b[2J\x7f\u0085") + QString(5000, QLatin1Char('y'))});
    const QString text = garbage.description();
    EXPECT_LT(text.size(), 120) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\"??[2J??yyy"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("...\" is not a quote date"))) << text.toStdString();
}

TEST(QuoteTable, StockPricesNoChartCanShowAreRefusedNamingTheValue)
{
    const QString quote = QStringLiteral("Jan 27 2004,Bid,1,Ask,2");
    const auto priceOf = [&](const QString& price) {
        return ParseQuoteTable({QStringLiteral("ZYX (ZYXON),") + price + QStringLiteral(",+0.45,"), quote})
            .objStock->Price();
    };
    EXPECT_EQ(priceOf(QStringLiteral("0.0001")), Currency::fromRaw(1));
    EXPECT_EQ(priceOf(QStringLiteral(" 9999999.9999 ")), kStockPriceLimit - Currency::fromRaw(1));

    // Each refused as the table gives it, the stock named.
    for (const char* price : {"0", "-52.37", "99999999999", "10000000", "0.00001", "n/a", "1e3",
                              "99999999999999999999999"}) {
        const TwError e = refusalOf({QStringLiteral("ZYX (ZYXON),%1,+0.45,").arg(QLatin1String(price)), quote});
        EXPECT_EQ(e.number(), RunTime::InvalidPropertyValue) << price;
        EXPECT_EQ(e.description(), QStringLiteral("The quote table gives \"%1\" as the stock price of \"ZYX (ZYXON)\": a "
                                                  "stock price must be more than 0 and less than 10,000,000.")
                                       .arg(QLatin1String(price)));
    }
    // No price at all: an empty field, or none.
    for (const QString& stockLine : {QStringLiteral("ZYX,,+0.45"), QStringLiteral("ZYX")}) {
        const TwError e = refusalOf({stockLine, quote});
        EXPECT_EQ(e.number(), RunTime::InvalidPropertyValue);
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("The quote table gives no stock price for \"ZYX\"")))
            << e.description().toStdString();
    }
}

TEST(QuoteTable, QuoteDatesNoQuoteWasMadeOnAreRefusedNamingTheDate)
{
    const auto quoteOn = [](const QString& date) {
        return QStringList{kStockLine, date + QStringLiteral(" @ 14:09 ET,Bid,91.02,Ask,91.04")};
    };
    const QDate latest = QDate::currentDate().addYears(100);
    EXPECT_EQ(latestQuoteDate(), latest);
    const auto dateOf = [&](const QDate& d) {
        const QString text = QLocale(QLocale::English).toString(d, QStringLiteral("MMM dd yyyy"));
        return dateFromSerial(ParseQuoteTable(quoteOn(text)).objStock->StockDate());
    };
    EXPECT_EQ(dateOf(QDate(1970, 1, 1)), QDate(1970, 1, 1));
    EXPECT_EQ(dateOf(latest), latest);

    const QString must = QStringLiteral("a quote date must lie between 1 January 1970 and %1.")
                             .arg(QLocale(QLocale::English).toString(latest, QStringLiteral("d MMMM yyyy")));
    const QString dayAfter = QLocale(QLocale::English).toString(latest.addDays(1), QStringLiteral("MMM dd yyyy"));
    for (const QString& date : {QStringLiteral("Mar 19 -999"), QStringLiteral("Mar 19 9999"),
                                QStringLiteral("Dec 31 1969"), dayAfter}) {
        const TwError e = refusalOf(quoteOn(date));
        EXPECT_EQ(e.number(), RunTime::InvalidPropertyValue) << date.toStdString();
        EXPECT_EQ(e.description(), QStringLiteral("The quote table gives \"%1 @ 14:09 ET\" as the quote date of \"ABC (ABC "
                                                  "CORPORATION)\": %2")
                                       .arg(date, must));
    }

    // Expirations come as a two-digit year, which the pivot keeps within
    // 1932 and 2031; a year of other digits is no expiration, and the option
    // is left out like any other that cannot be read.
    const auto r = ParseQuoteTable(table({optionLine(QStringLiteral("31 Dec"), QStringLiteral("60.00"), 'E', 'E'),
                                          optionLine(QStringLiteral("-1 Jan"), QStringLiteral("60.00"), 'E', 'E'),
                                          optionLine(QStringLiteral("999 Jan"), QStringLiteral("60.00"), 'E', 'E')}));
    ASSERT_EQ(r.objStock->Calls()->Count(), 1);
    EXPECT_EQ(dateFromSerial(r.objStock->Calls()->Item(1)->ExpirationDate()), QDate(2031, 12, 20));
    EXPECT_EQ(r.warnings.size(), 4);
}

TEST(QuoteTable, ExchangeLettersInBothHalves)
{
    const struct {
        QChar letter;
        const char* call;
        const char* put;
    } cases[] = {
        {'E', "CBOE (Chicago Board Options Exchange)", "CBOE (Chicago Board Options Exchange)"},
        {'A', "AMEX (American Stock Exchange)", "AMEX (American Stock Exchange)"},
        {'X', "PHLX (Philadelphia Stock Exchange)", "PHLX (Philadelphia Stock Exchange)"},
        {'P', "PCX or PSE (Pacific Stock Exchange)", "PCX or PSE (Pacific Stock Exchange)"},
        {'8', "ISE (International Securities Exchange)", "ISE (International Securities Exchange)"},
        {'Z', "Other", "Unknown code Z"},
        {'e', "Other", "Unknown code e"},
    };
    QStringList lines;
    for (const auto& c : cases)
        lines << optionLine(QStringLiteral("04 Feb"), QStringLiteral("60.00"), c.letter, c.letter);
    // Different letters in the two halves of one line.
    lines << optionLine(QStringLiteral("04 Feb"), QStringLiteral("65.00"), 'A', '8');
    const auto r = ParseQuoteTable(table(lines));
    ASSERT_TRUE(r.warnings.isEmpty());
    ASSERT_EQ(r.objStock->Calls()->Count(), 8);
    ASSERT_EQ(r.objStock->Puts()->Count(), 8);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(r.objStock->Calls()->Item(i + 1)->StockExchange(), QLatin1String(cases[i].call));
        EXPECT_EQ(r.objStock->Puts()->Item(i + 1)->StockExchange(), QLatin1String(cases[i].put));
        EXPECT_EQ(exchangeName(cases[i].letter, true), QLatin1String(cases[i].call));
        EXPECT_EQ(exchangeName(cases[i].letter, false), QLatin1String(cases[i].put));
    }
    EXPECT_EQ(r.objStock->Calls()->Item(8)->StockExchange(), QStringLiteral("AMEX (American Stock Exchange)"));
    EXPECT_EQ(r.objStock->Puts()->Item(8)->StockExchange(), QStringLiteral("ISE (International Securities Exchange)"));

    // A code without "-" is named by its first character.
    const auto noDash =
        ParseQuoteTable(table({QStringLiteral("04 Feb 60.00 (XBC),1,0,1,1,0,0,04 Feb 60.00 (PBC),1,0,1,1,0,0")}));
    EXPECT_EQ(noDash.objStock->Calls()->Item(1)->StockExchange(), QStringLiteral("PHLX (Philadelphia Stock Exchange)"));
    EXPECT_EQ(noDash.objStock->Puts()->Item(1)->StockExchange(), QStringLiteral("PCX or PSE (Pacific Stock Exchange)"));

    // A code that ends in "-" names no exchange; no stray character is stored.
    const auto trailingDash =
        ParseQuoteTable(table({QStringLiteral("04 Feb 60.00 (ABC-),1,0,1,1,0,0,04 Feb 60.00 (ABC-),1,0,1,1,0,0")}));
    EXPECT_EQ(trailingDash.objStock->Calls()->Item(1)->StockExchange(), QStringLiteral("Other"));
    EXPECT_EQ(trailingDash.objStock->Puts()->Item(1)->StockExchange(), QStringLiteral("Unknown code "));
}

TEST(QuoteTable, EmptyHalvesAddOnlyTheOtherSide)
{
    const auto r = ParseQuoteTable(table({
        QStringLiteral("04 Feb 60.00 (ABC BL-E),1,0,1,1,0,0,,,,,,,"),
        QStringLiteral(",,,,,,,04 Feb 60.00 (ABC NL-E),2,0,2,2,0,0,"),
        QStringLiteral("04 Feb 65.00 (ABC BM-E),1,0,1,1,0,0"),
    }));
    EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.objStock->Calls()->Count(), 2);
    ASSERT_EQ(r.objStock->Puts()->Count(), 1);
    EXPECT_EQ(r.objStock->Puts()->Item(1)->Code(), QStringLiteral("ABC NL-E"));
}

TEST(QuoteTable, MalformedLinesGiveWarningsAndNoCorruptOptions)
{
    const QString good = optionLine(QStringLiteral("04 Feb"), QStringLiteral("60.00"), 'E', 'E');
    const QStringList lines = table({
        // Put bid is no number: the put is left out, the call stays.
        QStringLiteral("04 Feb 55.00 (ABC BK-E),9.10,0,9.00,9.20,1,2,04 Feb 55.00 (ABC NK-E),0.10,0,abc,0.15,3,4,"),
        QString(),                      // blank: skipped silently
        QStringLiteral("   "),          // blank too
        good,
        QStringLiteral("Total,42"),     // short: no half can be read
        // Call strike and put volume are no numbers.
        QStringLiteral("04 Feb 6o.00 (ABC BL-E),1,0,1,1,0,0,04 Feb 65.00 (ABC NM-E),1,0,1,1,1.2.3,0,"),
        // Call description without code; put half cut short.
        QStringLiteral("04 Feb 70.00 ABC BN-E,1,0,1,1,0,0,04 Feb 70.00 (ABC NN-E),1,0,1"),
        // Missing month and strike in the description.
        QStringLiteral("(ABC BO-E),1,0,1,1,0,0"),
        good,
    });
    const auto r = ParseQuoteTable(lines);
    const QStringList& w = r.warnings;
    ASSERT_EQ(w.size(), 7) << w.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(w[0].startsWith(QStringLiteral("Line 4, put:")) && w[0].contains(QStringLiteral("bid \"abc\"")))
        << w[0].toStdString();
    EXPECT_TRUE(w[1].startsWith(QStringLiteral("Line 8, call:"))) << w[1].toStdString();
    EXPECT_TRUE(w[2].contains(QStringLiteral("strike \"6o.00\""))) << w[2].toStdString();
    EXPECT_TRUE(w[3].contains(QStringLiteral("volume \"1.2.3\""))) << w[3].toStdString();
    EXPECT_TRUE(w[4].contains(QStringLiteral("no option code"))) << w[4].toStdString();
    EXPECT_TRUE(w[5].startsWith(QStringLiteral("Line 10, put:")) && w[5].contains(QStringLiteral("too few fields")))
        << w[5].toStdString();
    EXPECT_TRUE(w[6].startsWith(QStringLiteral("Line 11, call:"))) << w[6].toStdString();

    // Only whole options went in, each with its own fields.
    const QString goodCall = QStringLiteral("ABC AL-E|60|2004-02-21|+0.05|1.2|1.3|10|200|CBOE (Chicago Board Options "
                                            "Exchange)|1.25");
    const QString goodPut = QStringLiteral("ABC ML-E|60|2004-02-21|-0.10|2.45|2.55|7|300|CBOE (Chicago Board Options "
                                           "Exchange)|2.5");
    EXPECT_EQ(describe(*r.objStock->Calls()),
              (QStringList{QStringLiteral("ABC BK-E|55|2004-02-21|0|9|9.2|1|2|CBOE (Chicago Board Options "
                                          "Exchange)|9.1"),
                           goodCall, goodCall}));
    EXPECT_EQ(describe(*r.objStock->Puts()), (QStringList{goodPut, goodPut}));
}

TEST(QuoteTable, NumbersReadTheSameUnderAGermanLocale)
{
    QStringList lines = table({
        optionLine(QStringLiteral("04 Feb"), QStringLiteral("57.50"), 'E', 'A'),
        QStringLiteral("04 Feb 60.00 (ABC BL-E),1234.5,+0.05,1.2,1.3,1000,2000,"),
    });
    const QStringList inC = describe(*ParseQuoteTable(lines).objStock);

    const QLocale before;
    const std::string numericBefore = std::setlocale(LC_NUMERIC, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    bool cGerman = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            cGerman = true;
            break;
        }
    }
    if (!cGerman)
        std::cout << "[   NOTE   ] no German C locale installed; only Qt's default locale is German\n";
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));

    const auto r = ParseQuoteTable(lines);
    const QStringList inGerman = describe(*r.objStock);
    QLocale::setDefault(before);
    std::setlocale(LC_NUMERIC, numericBefore.c_str());

    EXPECT_TRUE(r.warnings.isEmpty());
    EXPECT_EQ(inGerman, inC);
    EXPECT_EQ(r.objStock->Price(), Currency::fromRaw(910300)) << "91.03 stays 91.03";
    EXPECT_EQ(r.objStock->Calls()->Item(1)->StrikePrice(), Currency::fromRaw(575000));
    EXPECT_EQ(r.objStock->Calls()->Item(2)->LastSale(), Currency::fromRaw(12345000));
    EXPECT_EQ(r.objStock->Calls()->Item(2)->Volume(), 1000);
}

TEST(QuoteTable, ProgressIsReportedForEveryOptionLine)
{
    const QString line = optionLine(QStringLiteral("04 Feb"), QStringLiteral("60.00"), 'E', 'E');
    QList<QPair<int, int>> calls;
    ParseQuoteTable(table({line, QString(), line}), [&](int i, int count) { calls.append({i, count}); });
    EXPECT_EQ(calls, (QList<QPair<int, int>>{{4, 6}, {5, 6}, {6, 6}}));
}

TEST(QuoteTable, SavedChainLoadsBackIdentical)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList lines = table({
        optionLine(QStringLiteral("04 Feb"), QStringLiteral("60.00"), 'E', 'E'),
        QString(), // kept: a save writes the lines exactly as received
        QStringLiteral("04 Mar 65.00 (ABC CM-X),1,0,1,1,0,0,04 Mar 65.00 (ABC OM-X),1,0,1,1,0,0,"),
    });
    const QString path = dir.filePath(QStringLiteral("ABC 2004.01.27.OPT"));
    writeOptionChainFile(path, lines);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
    f.close();

    const QuoteLines back = readOptionChainFile(path);
    EXPECT_EQ(back.toStringList(), lines);
    EXPECT_EQ(describe(*ParseQuoteTable(back).objStock), describe(*ParseQuoteTable(lines).objStock));

    // Saving what was loaded gives the same bytes again.
    const QString again = dir.filePath(QStringLiteral("again.opt"));
    writeOptionChainFile(again, back);
    QFile g(again);
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(g.readAll(), f.readAll());

    // Saving over an existing file replaces it.
    writeOptionChainFile(again, {kStockLine, kQuoteLine});
    EXPECT_EQ(readOptionChainFile(again), (QStringList{kStockLine, kQuoteLine}));
}

TEST(QuoteTable, ChainFilesWithOtherLineEndsAndCharacters)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lf.opt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // LF only, and a last line without an end; a Latin-1 byte survives.
    f.write("ABC (CAF\xc9),1.5,0\nJan 27 2004,Bid,1\r\nCalls");
    f.close();
    EXPECT_EQ(readOptionChainFile(path),
              (QStringList{QStringLiteral("ABC (CAF\u00c9),1.5,0"), QStringLiteral("Jan 27 2004,Bid,1"),
                           QStringLiteral("Calls")}));
    const QString copy = dir.filePath(QStringLiteral("copy.opt"));
    writeOptionChainFile(copy, readOptionChainFile(path));
    QFile c(copy);
    ASSERT_TRUE(c.open(QIODevice::ReadOnly));
    EXPECT_EQ(c.readAll(), QByteArray("ABC (CAF\xc9),1.5,0\r\nJan 27 2004,Bid,1\r\nCalls\r\n"));

    // An empty file has no lines.
    const QString empty = dir.filePath(QStringLiteral("empty.opt"));
    QFile e(empty);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.close();
    EXPECT_TRUE(readOptionChainFile(empty).isEmpty());
}

TEST(QuoteTable, OddlyShapedTablesReadLikeAnyOther)
{
    QTemporaryDir dir;
    const auto fileOf = [&](const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QLatin1String(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    };
    const QByteArray head = (kStockLine + QStringLiteral("\r\n") + kQuoteLine + QStringLiteral("\r\n") + kHeading
                             + QStringLiteral("\r\n"))
                                .toLatin1();
    constexpr int kMany = 1'000'000;

    // Nothing but empty lines: no stock, told so.
    const QuoteLines empty = readOptionChainFile(fileOf("empty.opt", QByteArray(kMany, '\n')));
    EXPECT_EQ(empty.size(), kMany);
    EXPECT_EQ(refusalOf(empty).description(),
              QStringLiteral("The data is not an option quote table: its first line names no stock."));

    // A chain followed by empty lines: taken, and saved back line for line.
    const QString padded = fileOf("padded.opt", head + QByteArray(kMany, '\n'));
    const QuoteLines lines = readOptionChainFile(padded);
    EXPECT_EQ(lines.size(), 3 + kMany);
    EXPECT_EQ(ParseQuoteTable(lines).objStock->Code(), QStringLiteral("ABC (ABC CORPORATION)"));
    EXPECT_EQ(lines.fileBytes(), head + QByteArray(kMany, '\n').replace("\n", "\r\n"));

    // Lines of countless fields: those the table names are read, and the
    // count decides as for any line.
    const QString commas(kMany, QLatin1Char(','));
    const auto r = ParseQuoteTable({QStringLiteral("ABC,91.03,+0.56") + commas,
                                    QStringLiteral("Jan 27 2004,Bid,91.02,Ask,91.04,Size,5x10,Vol,77") + commas, kHeading,
                                    optionLine(QStringLiteral("04 Feb"), QStringLiteral("60.00"), 'E', 'E') + commas,
                                    QStringLiteral("04 Feb 60.00 (ABC AL-E),1,0,1,1,0,0,04 Feb 60.00 (ABC ML-E),1,0,1,1,0")});
    EXPECT_EQ(r.objStock->Price(), Currency::fromRaw(910300));
    EXPECT_EQ(r.objStock->Net(), QStringLiteral("+0.56"));
    EXPECT_EQ(r.objStock->Volume(), 77);
    EXPECT_EQ(r.objStock->Calls()->Count(), 2);
    EXPECT_EQ(r.objStock->Puts()->Count(), 1);
    EXPECT_EQ(r.warningCount, 1); // the last put has 6 fields

    // An answer's lines end at CR LF only; as a file's, the same lines.
    const QuoteLines answer = QuoteLines::fromAnswerBytes("a\rb\r\nc\nd\r\n\r\ntail");
    EXPECT_EQ(answer.toStringList(), (QStringList{"a\rb", "c\nd", ""}));
    EXPECT_EQ(answer, (QStringList{"a\rb", "c\nd", ""}));
    EXPECT_NE(answer, QuoteLines::fromFileBytes("a\rb\r\nc\nd\r\n\r\ntail"));
    EXPECT_EQ(QuoteLines::fromFileBytes("a\rb\nc\r\n\n"), (QStringList{"a\rb", "c", ""}));
}

TEST(QuoteTable, ManyUnreadableOptionsKeepTheFirstTextsAndCountAll)
{
    QStringList bad;
    for (int i = 0; i < 30; ++i)
        bad.append(QStringLiteral("x%1").arg(i));
    const auto r = ParseQuoteTable(table(bad));
    EXPECT_EQ(r.warningCount, 30);
    ASSERT_EQ(r.warnings.size(), ParseResult::kKeptWarnings);
    EXPECT_EQ(r.warnings.first(), QStringLiteral("Line 4, call: the line has too few fields"));
    EXPECT_TRUE(r.warnings.last().startsWith(QStringLiteral("Line 13, call:"))) << r.warnings.last().toStdString();
    EXPECT_TRUE(warningSummary(r).endsWith(QStringLiteral("\r\n... and 20 more."))) << warningSummary(r).toStdString();
}

// Up to ten options left out are all shown, with no word of more.
TEST(QuoteTable, TheSummaryOfFewUnreadableOptionsShowsThemAll)
{
    EXPECT_TRUE(warningSummary(ParseQuoteTable(table({}))).isEmpty());
    QStringList bad;
    for (int n = 1; n <= 11; ++n) {
        bad.append(QStringLiteral("x%1").arg(n));
        const QString summary = warningSummary(ParseQuoteTable(table(bad)));
        EXPECT_TRUE(summary.startsWith(QStringLiteral("%1 option(s) of the quote table could not be read").arg(n)))
            << summary.toStdString();
        EXPECT_EQ(summary.count(QStringLiteral("\r\nLine ")), std::min(n, 10)) << summary.toStdString();
        EXPECT_EQ(summary.contains(QStringLiteral("more")), n == 11) << summary.toStdString();
    }
}

TEST(QuoteTable, FilesThatCannotBeReadOrWrittenRaise)
{
    QTemporaryDir dir;
    EXPECT_EQ(test::errorNumberOf([&] { readOptionChainFile(dir.filePath(QStringLiteral("missing.opt"))); }),
              RunTime::FileNotFound);
    // A folder that does not exist, and a path that is a folder.
    const QString noFolder = dir.filePath(QStringLiteral("no/such/folder/x.opt"));
    EXPECT_NE(test::errorNumberOf([&] { writeOptionChainFile(noFolder, {kStockLine}); }), 0);
    EXPECT_FALSE(QFile::exists(noFolder));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.opt")));
    try {
        writeOptionChainFile(dir.filePath(QStringLiteral("folder.opt")), {kStockLine});
        ADD_FAILURE() << "writing over a folder did not raise";
    } catch (const TwError& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("cannot be saved"))) << e.description().toStdString();
    }
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("folder.opt"))).isDir());
}

TEST(QuoteTable, FoldersAndBinaryFilesAreToldApartFromChainFiles)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder.opt"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.opt")));
    try {
        readOptionChainFile(folder);
        ADD_FAILURE() << "a folder was read";
    } catch (const TwError& e) {
        EXPECT_EQ(e.number(), RunTime::PathFileAccess);
        EXPECT_EQ(e.description(), QStringLiteral("\"%1\" is a folder, not an option chain file.").arg(folder));
    }
    // Random bytes, and a file with a single NUL among text.
    QByteArray noise(4096, 0);
    uint32_t x = 12345;
    for (char& c : noise) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    QByteArray withNul = kStockLine.toLatin1() + "\r\nJan 27 2004";
    withNul.append('\0').append(",Bid,1\r\n");
    for (const QByteArray& bytes : {noise, withNul}) {
        const QString path = dir.filePath(QStringLiteral("binary.opt"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        try {
            readOptionChainFile(path);
            ADD_FAILURE() << "binary data was read as a chain";
        } catch (const TwError& e) {
            EXPECT_EQ(e.description(), QStringLiteral("The file \"%1\" is not an option chain file.").arg(path));
        }
    }
    // What start-up tells about a file named on the command line.
    EXPECT_EQ(chainFileOpenProblem(folder), QStringLiteral("\"%1\" is a folder, not an option chain file.").arg(folder));
    const QString missing = dir.filePath(QStringLiteral("missing.opt"));
    EXPECT_EQ(chainFileOpenProblem(missing), QStringLiteral("The \"%1\" file is not found.").arg(missing));
    EXPECT_EQ(chainFileOpenProblem(dir.filePath(QStringLiteral("binary.opt"))), QString());
}

TEST(QuoteTable, FilesLargerThanAnyChainAreRefusedUnread)
{
    // Files of the largest size taken and one byte more, holding nothing
    // (sparse): the first is read and found to be no chain; the second is
    // refused for its size alone.
    QTemporaryDir dir;
    for (const qint64 size : {kLargestChainBytes, kLargestChainBytes + 1}) {
        const QString path = dir.filePath(QStringLiteral("big-%1.opt").arg(size));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(size));
        f.close();
        try {
            readOptionChainFile(path);
            ADD_FAILURE() << "a file of " << size << " bytes was taken";
        } catch (const TwError& e) {
            const QString expected = size > kLargestChainBytes
                ? QStringLiteral("The file \"%1\" (64 MB) is too large to be an option chain.").arg(path)
                : QStringLiteral("The file \"%1\" is not an option chain file.").arg(path);
            EXPECT_EQ(e.description(), expected);
        }
    }
}

TEST(QuoteTable, DefaultFileNameOfASavedChain)
{
    EXPECT_EQ(defaultChainFileName(QStringLiteral("XYZ"), serialFromDate(QDate(2004, 1, 27))),
              QStringLiteral("XYZ 2004.01.27.OPT"));
    EXPECT_EQ(defaultChainFileName(QStringLiteral("ABC (ABC CORP)"), serialFromDate(QDate(2007, 12, 5)) + 0.75),
              QStringLiteral("ABC (ABC CORP) 2007.12.05.OPT"));
}
