// The main road on the shipped files: the program starts on the shipped
// strategy library and sample chain, a click on a strategy lists its legs
// and the position's price, and the price source and calculation mode
// change that price as a trader expects. The expected totals are worked out
// here from the raw quote lines of the sample chain, not by the program.
#include "support/MainWindowControls.h"
#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "mainwindow/frmStrategies.h"
#include "model/StrategyTemplates.h"
#include "platform/Grid.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"

#include <QComboBox>
#include <QFile>
#include <QLocale>
#include <QRadioButton>
#include <QTreeWidget>
#include <cmath>
#include <map>

using namespace tw;

namespace {

// One quote of the sample chain as the raw file gives it.
struct RawQuote {
    double last = 0;
    double bid = 0;
    double ask = 0;
};

// The CBOE ("-E") quotes of one expiration text ("07 Apr") by strike and
// side, read straight from the comma-separated lines.
std::map<std::pair<double, bool>, RawQuote> rawQuotes(const QString& expiry)
{
    std::map<std::pair<double, bool>, RawQuote> out;
    QFile f(test::shippedFile(QStringLiteral("SAMPLE.opt")));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (int i = 3; i < lines.size(); ++i) {
        const QStringList fields = QString::fromLatin1(lines[i].trimmed()).split(QLatin1Char(','));
        if (fields.size() < 14 || !fields[0].startsWith(expiry + QLatin1Char(' ')) || !fields[0].contains(QLatin1String("-E)")))
            continue;
        const double strike = fields[0].mid(expiry.size() + 1).section(QLatin1Char(' '), 0, 0).toDouble();
        out[{strike, true}] = {fields[1].toDouble(), fields[3].toDouble(), fields[4].toDouble()};
        out[{strike, false}] = {fields[8].toDouble(), fields[10].toDouble(), fields[11].toDouble()};
    }
    return out;
}

double stockLast()
{
    QFile f(test::shippedFile(QStringLiteral("SAMPLE.opt")));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return QString::fromLatin1(f.readLine()).section(QLatin1Char(','), 1, 1).toDouble();
}

double bidAsk(const RawQuote& q)
{
    if (q.bid == 0)
        return q.ask;
    if (q.ask == 0)
        return q.bid;
    return (q.bid + q.ask) / 2;
}

// "Initial position price: 185.00 debit " for a negative total, "... credit "
// for a positive one.
QString profitLossText(double total)
{
    const QString amount = QLocale().toString(std::fabs(total), 'f', 2);
    return QStringLiteral("Initial position price: ") + amount
        + (total < 0 ? QStringLiteral(" debit ") : QStringLiteral(" credit "));
}

} // namespace

class ShippedStrategiesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("CCCount"), 0);
        appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("3dChartVisible"), QStringLiteral("False"));
        m_apr = rawQuotes(QStringLiteral("07 Apr"));
        QVERIFY(m_apr.size() > 30);
        m_last = stockLast();
        QVERIFY(m_last > 0);
    }

    void strategiesGiveTheTotalsOfTheirQuotes()
    {
        test::ScriptedDialogs dialogs;
        test::MainWindowRun run({QStringLiteral("-S"), test::shippedFile(QStringLiteral("DEFAULT.STG")),
                                 QStringLiteral("-O"), test::shippedFile(QStringLiteral("SAMPLE.opt"))});
        frmStrategies* w = run.window();
        QVERIFY(w != nullptr);
        QVERIFY(dialogs.messages.isEmpty());

        // The strike nearest to the last price is the at-the-money strike;
        // the sample's strikes are 2.50 apart around it.
        double atm = 0;
        for (const auto& [key, q] : m_apr) {
            if (atm == 0 || std::fabs(key.first - m_last) < std::fabs(atm - m_last))
                atm = key.first;
        }
        const auto call = [&](double strike) { return m_apr.at({strike, true}); };

        // Last sale prices (the start-up price source), profit/loss mode.
        QVERIFY(ui::optRealPrice(w)->isChecked());
        QCOMPARE(ui::cbCalculationMode(w)->currentIndex(), 0);
        select(w, QStringLiteral("Long call"));
        QCOMPARE(totalText(w), profitLossText(-100 * call(atm).last));
        select(w, QStringLiteral("Bull call spread"));
        QCOMPARE(totalText(w), profitLossText(-100 * call(atm).last + 100 * call(atm + 5).last));
        select(w, QStringLiteral("Long call butterfly"));
        QCOMPARE(totalText(w),
                 profitLossText(-100 * call(atm - 5).last + 200 * call(atm).last - 100 * call(atm + 5).last));
        select(w, QStringLiteral("Covered call"));
        QCOMPARE(totalText(w), profitLossText(-100 * m_last + 100 * call(atm + 2.5).last));

        // Bid/ask prices re-evaluate the selected strategy at once.
        select(w, QStringLiteral("Bull call spread"));
        ui::optBidAsk(w)->click();
        QCOMPARE(totalText(w), profitLossText(-100 * bidAsk(call(atm)) + 100 * bidAsk(call(atm + 5))));

        // "Position worth" gives the signed worth instead of credit or debit.
        ui::cbCalculationMode(w)->setCurrentIndex(1);
        ui::pricing(w)->cbCalculationMode_Click();
        const double worth = 100 * bidAsk(call(atm)) - 100 * bidAsk(call(atm + 5));
        QCOMPARE(totalText(w),
                 QStringLiteral("Current position price: ") + QLocale().toString(worth, 'f', 2) + QLatin1Char(' '));
        QVERIFY(dialogs.errorReports.isEmpty());
    }

private:
    static QString totalText(const frmStrategies* w)
    {
        return ui::gdSelected(w)->CellText(ui::gdSelected(w)->Rows() - 1, 9);
    }

    // Clicks the strategy node of the given caption.
    static void select(frmStrategies* w, const QString& caption)
    {
        const QList<QTreeWidgetItem*> found =
            ui::tvStrategies(w)->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        QVERIFY2(found.size() == 1, qPrintable(caption));
        ui::library(w)->tvStrategies_NodeClick(found.first());
    }

    std::map<std::pair<double, bool>, RawQuote> m_apr;
    double m_last = 0;
};

TW_QTEST_MAIN(ShippedStrategiesTest)
#include "ShippedStrategiesTest.moc"
