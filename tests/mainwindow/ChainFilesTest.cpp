// The main window's option-chain files: starting on the shipped files,
// loading a chain through the open dialog (a refused or unreadable file
// keeps the loaded chain), saving the quote lines through the save dialog
// (a failure to write is reported), and the requests the file dialogs get.
#include "support/MainWindowControls.h"
#include "support/TestEnvironment.h"
#include "app/CAppSettings.h"
#include "app/Dialogs.h"
#include "app/Tools.h"
#include "charts/frmChart.h"
#include "mainwindow/frmStrategies.h"
#include "marketdata/QuoteTable.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace tw;
using tw::test::ScriptedDialogs;

namespace {

const QStringList kSmallTable = {
    QStringLiteral("ABC (ABC CORPORATION),91.03,+0.56,"),
    QStringLiteral("Jan 27 2004 @ 14:09 ET,Bid,91.02,Ask,91.04,Size,5x10,Vol,1234567,"),
    QStringLiteral("Calls,Last Sale,Net,Bid,Ask,Vol,Open Int,Puts,Last Sale,Net,Bid,Ask,Vol,Open Int,"),
    QStringLiteral("04 Feb 90.00 (ABC BR-E),2.10,+0.20,2.05,2.15,10,200,04 Feb 90.00 (ABC NR-E),1.10,-0.10,1.05,1.15,7,300,"),
    QStringLiteral("04 Feb 95.00 (ABC BS-E),0.60,+0.05,0.55,0.65,3,90,04 Feb 95.00 (ABC NS-E),4.60,-0.30,4.50,4.70,2,40,"),
};

const QStringList kChainFilters = {QStringLiteral("Options (.opt) (*.opt)"), QStringLiteral("All Files (*.*) (*)")};

void writeLines(const QString& path, const QStringList& lines)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (const QString& l : lines)
        f.write(l.toLatin1() + "\r\n");
}

using test::bytesOf;

void deleteSetting(const QString& section, const QString& key)
{
    if (!settingText(appSettings(), section, key, QString()).isEmpty())
        appSettings().DeleteSetting(section, key);
}

QStringList shippedArguments()
{
    return {QStringLiteral("-S"), test::shippedFile(QStringLiteral("DEFAULT.STG")), QStringLiteral("-O"),
            test::shippedFile(QStringLiteral("SAMPLE.opt"))};
}

} // namespace

class ChainFilesTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_dialogs = std::make_unique<ScriptedDialogs>();
        // No chart windows: they have nothing to do with the chain files.
        appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("CCCount"), 0);
        appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("3dChartVisible"), QStringLiteral("False"));
        // Every test starts without a last chain file from the one before.
        deleteSetting(QStringLiteral("Settings"), QStringLiteral("LastFile"));
    }
    void cleanup()
    {
        m_dialogs.reset();
        deleteSetting(QStringLiteral("Settings"), QStringLiteral("OptDir"));
    }

    // The README's start command: the program opens on the shipped files
    // without a single question, and every shipped strategy finds its
    // options in the chain as filtered by default.
    void startsOnTheShippedFilesAndEvaluatesEveryStrategy()
    {
        test::MainWindowRun run(shippedArguments());
        frmStrategies* w = run.window();
        QVERIFY(w != nullptr);
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.value(0).text));
        QVERIFY(w->session().ObjStock() != nullptr);
        QCOMPARE(w->session().ObjStock()->Code(), QStringLiteral("ZYX (ZYXON SYSTEMS INC)"));
        QCOMPARE(w->session().quoteLines(), marketdata::readOptionChainFile(test::shippedFile(QStringLiteral("SAMPLE.opt"))));
        QCOMPARE(ui::txtTicker(w)->text(), QStringLiteral("ZYX"));
        QVERIFY(ui::cmdSave(w)->isEnabled());
        QCOMPARE(ui::cbExchange(w)->currentText(), QStringLiteral("CBOE (Chicago Board Options Exchange)"));
        QVERIFY(w->session().library() != nullptr);

        int evaluated = 0;
        StrategyLibraryPane* library = ui::library(w);
        platform::Grid* grid = ui::gdSelected(w);
        for (int g = 1; g <= w->session().library()->Count(); ++g) {
            const auto& strategies = w->session().library()->Item(g)->Strategies();
            for (int s = 1; s <= strategies->Count(); ++s) {
                QTreeWidgetItem* node = library->nodeByKey(QStringLiteral("T%1S%2").arg(g).arg(s));
                QVERIFY(node != nullptr);
                library->tvStrategies_NodeClick(node);
                const int legs = strategies->Item(s)->Params()->Count();
                // A row per leg, then the total.
                QVERIFY(grid->Rows() >= legs + 1);
                for (int row = 1; row <= grid->Rows(); ++row) {
                    for (int col = 1; col <= grid->Columns(); ++col)
                        QVERIFY2(!grid->CellText(row, col).contains(QStringLiteral("not available")),
                                 qPrintable(strategies->Item(s)->Caption()));
                }
                ++evaluated;
            }
        }
        QVERIFY(evaluated > 30);
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(m_dialogs->errorReports.isEmpty());
    }

    void goodLoadReplacesTheChainAndLines()
    {
        test::MainWindowRun run(shippedArguments());
        frmStrategies* w = run.window();
        const QString path = m_dir.filePath(QStringLiteral("ABC.opt"));
        writeLines(path, kSmallTable);
        appSettings().SaveSetting(QStringLiteral("Volatility"), QStringLiteral("ABC"), QStringLiteral("33"));
        w->session().setDataNotSaved(true);

        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({path}));
        ui::chain(w)->cmdLoad_Click();

        QCOMPARE(m_dialogs->fileQuestions.size(), 1);
        const auto& q = m_dialogs->fileQuestions.first();
        QVERIFY(!q.save);
        QCOMPARE(q.request.title, QStringLiteral("Select option data file"));
        QCOMPARE(q.request.nameFilters, kChainFilters);
        QCOMPARE(q.request.selectedFilter, 0);
        QCOMPARE(q.request.defaultSuffix, QStringLiteral("opt"));
        QVERIFY(q.request.fileMustExist);
        QVERIFY(q.request.hideReadOnly);
        QVERIFY(!q.request.multiSelect);
        QCOMPARE(q.request.owner, static_cast<int64_t>(w->winId()));
        QCOMPARE(QDir::cleanPath(q.request.initialDir), QDir::cleanPath(programFolder() + QStringLiteral("/Options")));

        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(w->session().ObjStock() != nullptr);
        QCOMPARE(w->session().ObjStock()->Code(), QStringLiteral("ABC (ABC CORPORATION)"));
        QCOMPARE(w->session().ObjStock()->Calls()->Count(), 2);
        QCOMPARE(w->session().ObjStock()->Puts()->Count(), 2);
        QCOMPARE(w->session().quoteLines(), kSmallTable);
        QCOMPARE(w->session().dataFile(), path);
        QCOMPARE(ui::txtTicker(w)->text(), QStringLiteral("ABC"));
        QCOMPARE(w->session().volatility(), 33.0);
        QCOMPARE(ui::lblTickerStatus(w)->text(), QStringLiteral(" Loaded from ") + path);
        // A load does not touch the unsaved state of a download.
        QVERIFY(w->session().dataNotSaved());
        // The folder setting is written by saves only.
        QVERIFY(settingText(appSettings(), QStringLiteral("Settings"), QStringLiteral("OptDir"), QString()).isEmpty());
    }

    void failedLoadKeepsTheLoadedChain()
    {
        test::MainWindowRun run(shippedArguments());
        frmStrategies* w = run.window();
        const auto stockBefore = w->session().ObjStock();
        const auto linesBefore = w->session().quoteLines();
        const QString fileBefore = w->session().dataFile();
        QVERIFY(stockBefore != nullptr);

        // Not a quote table: refused with a message, nothing replaced.
        const QString page = m_dir.filePath(QStringLiteral("page.opt"));
        writeLines(page, {QStringLiteral("<html>"), QStringLiteral("<body>Service unavailable</body>")});
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({page}));
        ui::chain(w)->LoadOptionDialog();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages.first().text.contains(QStringLiteral("not a quote date")));
        QVERIFY(w->session().ObjStock() == stockBefore);
        QCOMPARE(w->session().quoteLines(), linesBefore);
        QCOMPARE(w->session().dataFile(), fileBefore);

        // A file that cannot be read: the reason in the ticker status line.
        m_dialogs->messages.clear();
        w->session().setDataFile(m_dir.filePath(QStringLiteral("gone.opt")));
        ui::chain(w)->LoadOptionFromFile();
        QVERIFY(w->session().ObjStock() == stockBefore);
        QCOMPARE(w->session().quoteLines(), linesBefore);
        QVERIFY2(ui::lblTickerStatus(w)->text().contains(QStringLiteral("cannot be read")),
                 qPrintable(ui::lblTickerStatus(w)->text()));
        QVERIFY(m_dialogs->messages.isEmpty());
        w->session().setDataFile(fileBefore);

        // A cancelled dialog changes nothing either.
        ui::chain(w)->LoadOptionDialog();
        QVERIFY(w->session().ObjStock() == stockBefore);
        QCOMPARE(w->session().dataFile(), fileBefore);
    }

    void aBinaryFileIsToldInWordsNotBytes()
    {
        const QString binary = m_dir.filePath(QStringLiteral("random.opt"));
        {
            QFile f(binary);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QByteArray bytes;
            for (int i = 0; i < 4096; ++i)
                bytes.append(static_cast<char>((i * 7919 + 13) % 256));
            f.write(bytes);
        }
        const auto plain = [](const QString& text) {
            return std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 && c != u'\r' && c != u'\n'; });
        };
        {
            // Named on the command line: one message at start.
            test::MainWindowRun run({QStringLiteral("-O"), binary});
            QVERIFY(run.window()->session().ObjStock() == nullptr);
            QCOMPARE(m_dialogs->messages.size(), 1);
            QVERIFY2(m_dialogs->messages.first().text.contains(QStringLiteral("not an option chain file")),
                     qPrintable(m_dialogs->messages.first().text));
            QVERIFY(plain(m_dialogs->messages.first().text));
        }
        m_dialogs->messages.clear();
        {
            // A folder is called a folder, not a missing file.
            test::MainWindowRun run({QStringLiteral("-O"), m_dir.path()});
            QCOMPARE(m_dialogs->messages.size(), 1);
            QVERIFY2(m_dialogs->messages.first().text.contains(QStringLiteral("is a folder")),
                     qPrintable(m_dialogs->messages.first().text));
        }
        m_dialogs->messages.clear();
        // Chosen with "Load from file": the same words, the chain kept.
        test::MainWindowRun run(shippedArguments());
        frmStrategies* w = run.window();
        const auto stockBefore = w->session().ObjStock();
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({binary}));
        QTest::mouseClick(ui::cmdLoad(w), Qt::LeftButton);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages.first().text.contains(QStringLiteral("not an option chain file")));
        QVERIFY(plain(m_dialogs->messages.first().text));
        QVERIFY(w->session().ObjStock() == stockBefore);
    }

    // A chain whose stock price no chart could show is refused with the
    // price named, named with -O at start-up or chosen with "Load from
    // file"; the chain shown before stays with its grids and charts.
    void stockPricesNoChartCanShowAreRefusedNamingThePrice()
    {
        const auto chainWithPrice = [this](const QString& price) {
            QStringList lines = kSmallTable;
            lines[0] = QStringLiteral("ABC (ABC CORPORATION),%1,+0.56,").arg(price);
            const QString path = m_dir.filePath(QStringLiteral("price %1.opt").arg(price));
            writeLines(path, lines);
            return path;
        };
        const auto expected = [](const QString& price) {
            return QStringLiteral("The quote table gives \"%1\" as the stock price of \"ABC (ABC CORPORATION)\": a stock "
                                  "price must be more than 0 and less than 10,000,000.")
                .arg(price);
        };
        {
            test::MainWindowRun run({QStringLiteral("-O"), chainWithPrice(QStringLiteral("99999999999"))});
            QVERIFY(run.window()->session().ObjStock() == nullptr);
            QCOMPARE(m_dialogs->messages.size(), 1);
            QCOMPARE(m_dialogs->messages.first().text, expected(QStringLiteral("99999999999")));
        }
        m_dialogs->messages.clear();

        // One 2-D chart window, to see it keep the chain's price.
        appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("CCCount"), 1);
        test::MainWindowRun run(shippedArguments());
        frmStrategies* w = run.window();
        QCOMPARE(w->openCharts().size(), 1);
        frmChart* chart = w->openCharts().first().second;
        const auto stockBefore = w->session().ObjStock();
        const auto linesBefore = w->session().quoteLines();
        const QString priceShown = ui::lblPriceValue(w)->text();
        const int callRows = ui::gdCalls(w)->Rows();
        const QString firstCode = ui::gdCalls(w)->CellText(1, 1);
        QCOMPARE(chart->ranges().StockPriceValue, 52.37);
        for (const QString& price : {QStringLiteral("0"), QStringLiteral("-52.37")}) {
            m_dialogs->messages.clear();
            m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({chainWithPrice(price)}));
            QTest::mouseClick(ui::cmdLoad(w), Qt::LeftButton);
            QCOMPARE(m_dialogs->messages.size(), 1);
            QCOMPARE(m_dialogs->messages.first().text, expected(price));
            QVERIFY(w->session().ObjStock() == stockBefore);
            QCOMPARE(w->session().quoteLines(), linesBefore);
            QCOMPARE(w->session().dataFile(), test::shippedFile(QStringLiteral("SAMPLE.opt")));
            QCOMPARE(ui::lblPriceValue(w)->text(), priceShown);
            QCOMPARE(ui::gdCalls(w)->Rows(), callRows);
            QCOMPARE(ui::gdCalls(w)->CellText(1, 1), firstCode);
            QCOMPARE(chart->ranges().StockPriceValue, 52.37);
        }
    }

    // A quote date no quote was made on is refused naming the date, at
    // start-up and from "Load from file"; the chain shown before stays.
    void absurdQuoteDatesAreRefusedNamingTheDate()
    {
        const auto chainOn = [this](const QString& date) {
            QStringList lines = kSmallTable;
            lines[1] = date + QStringLiteral(",Bid,91.02,Ask,91.04,Size,5x10,Vol,1234567,");
            const QString path = m_dir.filePath(QStringLiteral("date %1.opt").arg(date));
            writeLines(path, lines);
            return path;
        };
        const auto refused = [](const QString& date) {
            return QStringLiteral("The quote table gives \"%1\" as the quote date of \"ABC (ABC CORPORATION)\"").arg(date);
        };
        {
            test::MainWindowRun run({QStringLiteral("-O"), chainOn(QStringLiteral("Mar 19 9999"))});
            QVERIFY(run.window()->session().ObjStock() == nullptr);
            QCOMPARE(m_dialogs->messages.size(), 1);
            QVERIFY2(m_dialogs->messages.first().text.startsWith(refused(QStringLiteral("Mar 19 9999"))),
                     qPrintable(m_dialogs->messages.first().text));
        }
        m_dialogs->messages.clear();
        test::MainWindowRun run(shippedArguments());
        frmStrategies* w = run.window();
        const auto stockBefore = w->session().ObjStock();
        const QString dateShown = ui::lblDateValue(w)->text();
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({chainOn(QStringLiteral("Mar 19 -999"))}));
        QTest::mouseClick(ui::cmdLoad(w), Qt::LeftButton);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY2(m_dialogs->messages.first().text.startsWith(refused(QStringLiteral("Mar 19 -999"))),
                 qPrintable(m_dialogs->messages.first().text));
        QVERIFY(w->session().ObjStock() == stockBefore);
        QCOMPARE(ui::lblDateValue(w)->text(), dateShown);
        QCOMPARE(w->session().dataFile(), test::shippedFile(QStringLiteral("SAMPLE.opt")));
    }

    void malformedLinesAreSummedUpInOneMessage()
    {
        test::MainWindowRun run;
        frmStrategies* w = run.window();
        QStringList lines = kSmallTable;
        lines.insert(4, QStringLiteral("04 Feb 92.50 (ABC BZ-E),x,0,1,1,0,0,04 Feb 92.50 (ABC NZ-E),1,0,y,1,0,0,"));
        lines.append(QStringLiteral("04 Fex 97.50 (ABC BT-E),1,0,1,1,0,0,"));
        const QString path = m_dir.filePath(QStringLiteral("damaged.opt"));
        writeLines(path, lines);
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({path}));
        ui::chain(w)->LoadOptionDialog();

        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString text = m_dialogs->messages.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("3 option(s) of the quote table could not be read")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Line 5, call")));
        QVERIFY(text.contains(QStringLiteral("Line 5, put")));
        QVERIFY(text.contains(QStringLiteral("Line 7, call")));
        QVERIFY(w->session().ObjStock() != nullptr);
        QCOMPARE(w->session().ObjStock()->Calls()->Count(), 2);
        QCOMPARE(w->session().ObjStock()->Puts()->Count(), 2);
        // The raw lines are kept whole, for a later save.
        QCOMPARE(w->session().quoteLines(), lines);

        // Many: the first ten are shown, the others counted.
        m_dialogs->messages.clear();
        for (int i = 0; i < 12; ++i)
            lines.append(QStringLiteral("04 Feb 99.%1 (ABC BU-E),1,0,1,1").arg(i));
        writeLines(path, lines);
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({path}));
        QTest::mouseClick(ui::cmdLoad(w), Qt::LeftButton);
        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString many = m_dialogs->messages.first().text;
        QVERIFY2(many.startsWith(QStringLiteral("15 option(s) of the quote table could not be read")), qPrintable(many));
        QVERIFY2(many.endsWith(QStringLiteral("\r\n... and 5 more.")), qPrintable(many));
    }

    void saveWritesTheLinesAndRemembersTheFolder()
    {
        test::MainWindowRun run(shippedArguments());
        frmStrategies* w = run.window();
        const QString fileBefore = w->session().dataFile();
        w->session().setDataNotSaved(true);
        const QString path = m_dir.filePath(QStringLiteral("saved.opt"));
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({path}));
        ui::chain(w)->cmdSave_Click();

        QCOMPARE(m_dialogs->fileQuestions.size(), 1);
        const auto& q = m_dialogs->fileQuestions.first();
        QVERIFY(q.save);
        QCOMPARE(q.request.title, QStringLiteral("Save option data to..."));
        QCOMPARE(q.request.nameFilters, kChainFilters);
        QCOMPARE(q.request.defaultSuffix, QStringLiteral("opt"));
        QVERIFY(!q.request.fileMustExist);
        QVERIFY(q.request.hideReadOnly);
        QCOMPARE(QFileInfo(q.request.initialFile).fileName(), QStringLiteral("ZYX (ZYXON SYSTEMS INC) 2007.03.19.OPT"));

        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(bytesOf(path), bytesOf(test::shippedFile(QStringLiteral("SAMPLE.opt"))));
        QVERIFY(!w->session().dataNotSaved());
        QCOMPARE(ui::lblTickerStatus(w)->text(), QStringLiteral(" Saved to ") + path);
        QCOMPARE(w->session().dataFile(), fileBefore);
        QCOMPARE(QDir::cleanPath(settingText(appSettings(), QStringLiteral("Settings"), QStringLiteral("OptDir"), {})),
                 QDir::cleanPath(m_dir.path()));

        // The next dialog starts in that folder, and the saved file loads back.
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({path}));
        const auto before = w->session().quoteLines();
        ui::chain(w)->LoadOptionDialog();
        QCOMPARE(QDir::cleanPath(m_dialogs->fileQuestions.last().request.initialDir), QDir::cleanPath(m_dir.path()));
        QCOMPARE(w->session().quoteLines(), before);
        QCOMPARE(w->session().dataFile(), path);
    }

    void failedSaveIsReportedAndLeavesTheDataUnsaved()
    {
        test::MainWindowRun run(shippedArguments());
        frmStrategies* w = run.window();
        w->session().setDataNotSaved(true);
        const QString path = m_dir.filePath(QStringLiteral("no/such/folder/x.opt"));
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({path}));
        ui::chain(w)->SaveOptionDialog();

        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages.first().text.contains(QStringLiteral("cannot be saved")));
        QVERIFY(m_dialogs->messages.first().style & Msg::Critical);
        QVERIFY(!QFile::exists(path));
        QVERIFY(w->session().dataNotSaved());
        QVERIFY(settingText(appSettings(), QStringLiteral("Settings"), QStringLiteral("OptDir"), QString()).isEmpty());
        QVERIFY(!ui::lblTickerStatus(w)->text().startsWith(QStringLiteral(" Saved to")));
    }

    void saveWithoutAChainAsksNothing()
    {
        test::MainWindowRun run;
        frmStrategies* w = run.window();
        QVERIFY(w->session().ObjStock() == nullptr);
        QVERIFY(!ui::cmdSave(w)->isEnabled());
        ui::chain(w)->SaveOptionDialog();
        QVERIFY(m_dialogs->fileQuestions.isEmpty());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void strategiesFileDialogRequests()
    {
        test::MainWindowRun run(shippedArguments());
        frmStrategies* w = run.window();
        const QString chosen = m_dir.filePath(QStringLiteral("mine.stg"));
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({chosen}));
        QCOMPARE(ui::library(w)->chooseStrategiesFile(QStringLiteral("Save strategies to"), QStringLiteral("old.stg"), false, true),
                 chosen);
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({chosen}));
        QCOMPARE(ui::library(w)->chooseStrategiesFile(QStringLiteral("Select strategies file"), QString(), true, false), chosen);
        QCOMPARE(ui::library(w)->chooseStrategiesFile(QStringLiteral("Select strategies file"), QString(), true, false), QString());

        QCOMPARE(m_dialogs->fileQuestions.size(), 3);
        const auto& save = m_dialogs->fileQuestions.at(0);
        QVERIFY(save.save);
        QCOMPARE(save.request.title, QStringLiteral("Save strategies to"));
        QCOMPARE(save.request.initialFile, QStringLiteral("old.stg"));
        QCOMPARE(save.request.nameFilters,
                 (QStringList{QStringLiteral("Strategies (.stg) (*.stg)"), QStringLiteral("All Files (*.*) (*)")}));
        QCOMPARE(save.request.defaultSuffix, QStringLiteral("stg"));
        QVERIFY(!save.request.fileMustExist);
        QVERIFY(!save.request.hideReadOnly);
        QVERIFY(save.request.initialDir.isEmpty());
        const auto& open = m_dialogs->fileQuestions.at(1);
        QVERIFY(!open.save);
        QVERIFY(open.request.fileMustExist);
        QCOMPARE(open.request.owner, static_cast<int64_t>(w->winId()));
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

TW_QTEST_MAIN(ChainFilesTest)
#include "ChainFilesTest.moc"
