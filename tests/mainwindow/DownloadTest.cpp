// Quote download and symbol lookup in the main window as the user meets
// them, against the quote server of tools/ on 127.0.0.1: a download typed
// and clicked, watched in its progress window and saved as received; a
// download cancelled from the button or the progress window; answers that
// are refused and servers that fail, each leaving the loaded chain as it
// was; the window closed while a download runs; the lookup window with its
// results, options, OK, double click, Cancel and Escape, and a search
// cancelled from its button; and the real server program started as a user
// starts it.
#include "support/MainWindowControls.h"
#include "support/TestEnvironment.h"
#include "MainWindowFixtures.h"

#include "QuoteServer.h"
#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "app/Convert.h"
#include "mainwindow/frmStrategies.h"
#include "marketdata/QuoteTable.h"
#include "marketdata/WinInet.h"
#include "marketdata/frmDonwloadProgress.h"
#include "marketdata/frmSymbolLookup.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "support/MainWindowRun.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::tools::QuoteServer;

namespace {

using test::bytesOf;

void pointAt(uint16_t port)
{
    test::storeSetting(QStringLiteral("QuoteServerHost"), QStringLiteral("127.0.0.1"));
    test::storeSetting(QStringLiteral("QuoteServerPort"), static_cast<int>(port));
}

uint16_t closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// Runs `body` once the click that follows has started its work (the first
// turn of the event loop inside it).
void whileRunning(QObject* context, std::function<void()> body)
{
    QTimer::singleShot(0, context, std::move(body));
}

// Runs `body` on the lookup window once the click that follows has shown
// it; the window is taken down at the end whatever the body did, so a
// failing check cannot leave the modal window waiting.
void inLookup(QObject* context, std::function<void(frmSymbolLookup*)> body)
{
    QTimer::singleShot(0, context, [body = std::move(body)] {
        auto* lookup = qobject_cast<frmSymbolLookup*>(QApplication::activeModalWidget());
        QVERIFY(lookup != nullptr);
        const auto down = qScopeGuard([lookup] {
            if (lookup->isVisible())
                lookup->hide();
        });
        body(lookup);
    });
}

void typeTicker(frmStrategies* w, const QString& ticker)
{
    ui::txtTicker(w)->selectAll();
    QTest::keyClick(ui::txtTicker(w), Qt::Key_Delete);
    QTest::keyClicks(ui::txtTicker(w), ticker);
}

} // namespace

class DownloadTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QFile::copy(test::shippedFile(QStringLiteral("SAMPLE.opt")), m_dir.filePath(QStringLiteral("ZYX.opt"))));
        // Taken by its form, but no quote table at all.
        QFile junk(m_dir.filePath(QStringLiteral("JUNK.opt")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("<html>\r\n<body>Service unavailable</body>\r\n</html>\r\n");
        // A quote table whose stock price no chart can show.
        QStringList lines = marketdata::readOptionChainFile(test::shippedFile(QStringLiteral("SAMPLE.opt"))).toStringList();
        lines[0] = QStringLiteral("ZERO (ZERO PRICE INC),0,+0.45,");
        marketdata::writeOptionChainFile(m_dir.filePath(QStringLiteral("ZERO.opt")), lines);
        // One quoted on a date no quote was made on.
        lines[0] = QStringLiteral("FAR (FAR FUTURE INC),52.37,+0.45,");
        lines[1] = QStringLiteral("Mar 19 9999,Bid,52.36,Ask,52.38,Size,5x10,Vol,1234567,");
        marketdata::writeOptionChainFile(m_dir.filePath(QStringLiteral("FAR.opt")), lines);
        // An answer of exactly the largest size taken: the sample chain, and
        // after its last line end a piece without one, which is no line.
        QFile exact(m_dir.filePath(QStringLiteral("EXACT.opt")));
        const QByteArray table = bytesOf(test::shippedFile(QStringLiteral("SAMPLE.opt")));
        QVERIFY(table.endsWith("\r\n") && exact.open(QIODevice::WriteOnly));
        QCOMPARE(exact.write(table + QByteArray(marketdata::kLargestChainBytes - table.size(), 'x')),
                 marketdata::kLargestChainBytes);
        exact.close();
        // An answer a byte larger than any chain taken (holding nothing).
        QFile big(m_dir.filePath(QStringLiteral("BIG.opt")));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(marketdata::kLargestChainBytes + 1));
    }

    void init()
    {
        test::storeQuietStart();
        // Every message starts shown, whatever a failed test left behind.
        for (const char* id : {"INVDATA", "INETFAIL", "SRCHFAIL"})
            appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("ShowErrorMesssage") + QLatin1String(id), 1);
        m_dialogs = std::make_unique<ScriptedDialogs>();
        tools::QuoteServerOptions options;
        options.folder = m_dir.path();
        m_server = std::make_unique<QuoteServer>(options);
        QVERIFY(m_server->listen());
        pointAt(m_server->port());
        const QString chain = test::writeSampleChain(m_dir.path());
        const QString strategies = test::writeSampleStrategies(m_dir.path());
        m_run = std::make_unique<test::MainWindowRun>(QStringList{"-S", strategies, "-O", chain});
        QVERIFY(m_run->window() != nullptr);
        QCOMPARE(m_run->window()->session().ObjStock()->Code(), QStringLiteral("MSFT (MICROSOFT CP)"));
    }

    void cleanup()
    {
        m_run.reset();
        m_server.reset();
        m_dialogs.reset();
    }

    void downloadTakesTheChainAndSavesItAsReceived()
    {
        frmStrategies* w = m_run->window();
        m_server->options().blockDelayMs = 1;
        QVERIFY(ui::cmdDownload(w)->isEnabled());
        QVERIFY(!ui::txtTicker(w)->isReadOnly());
        typeTicker(w, QStringLiteral("zyx"));

        QList<int32_t> states;
        QStringList stateTexts;
        bool sawRunning = false;
        whileRunning(w, [&] {
            QVERIFY(ui::chain(w)->mWinInet != nullptr);
            QCOMPARE(ui::cmdDownload(w)->text(), QStringLiteral("Cancel"));
            QVERIFY(ui::chain(w)->m_DownloadProgress != nullptr);
            QVERIFY(ui::chain(w)->m_DownloadProgress->isVisible());
            QVERIFY(ui::chain(w)->m_DownloadProgress->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            QCOMPARE(ui::chain(w)->m_DownloadProgress->elaStatus->text(), QStringLiteral(" Opening connection"));
            connect(ui::chain(w)->mWinInet, &WinInet::OnStateChanged, w, [&, w](int32_t s) {
                states.append(s);
                if (ui::chain(w)->m_DownloadProgress != nullptr)
                    stateTexts.append(ui::chain(w)->m_DownloadProgress->elaStatus->text());
            });
            sawRunning = true;
        });
        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);
        QVERIFY(sawRunning);
        QCOMPARE(states, (QList<int32_t>{3, 6, 7, 9, 11}));
        QCOMPARE(stateTexts, (QStringList{" Connect to server", " Sending request", " Request sent", " Quering done",
                                          " Done"}));

        // The downloaded chain is the loaded one, shown and evaluated.
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.value(0).text));
        QVERIFY(m_dialogs->switchableMessages.isEmpty());
        QCOMPARE(w->session().ObjStock()->Code(), QStringLiteral("ZYX (ZYXON SYSTEMS INC)"));
        const QString served = m_dir.filePath(QStringLiteral("ZYX.opt"));
        QCOMPARE(w->session().quoteLines(), marketdata::readOptionChainFile(served));
        QVERIFY(ui::gdCalls(w)->Rows() > 0);
        QVERIFY(ui::cmdSave(w)->isEnabled());
        QVERIFY(w->session().dataNotSaved());
        QCOMPARE(ui::lblTickerStatus(w)->text(), QStringLiteral(" Data downloaded and parsed successfully"));
        QCOMPARE(ui::cmdDownload(w)->text(), QStringLiteral("Download"));
        QVERIFY(ui::chain(w)->mWinInet == nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(ui::chain(w)->m_DownloadProgress == nullptr);
        QCOMPARE(m_server->requests().size(), 1);
        QVERIFY(m_server->requests().first().contains("&ucQuoteTableDownloadCtl%3AtxtTicker=zyx&"));

        // Saved, the file is what the server sent, byte for byte.
        const QString saved = m_dir.filePath(QStringLiteral("saved.opt"));
        m_dialogs->fileAnswers.push_back(ScriptedDialogs::chosen({saved}));
        QTest::mouseClick(ui::cmdSave(w), Qt::LeftButton);
        QCOMPARE(bytesOf(saved), bytesOf(served));
        QVERIFY(!w->session().dataNotSaved());
    }

    void cancelFromTheButtonOrTheProgressWindowKeepsTheChain()
    {
        frmStrategies* w = m_run->window();
        m_server->options().stall = true;
        const auto stockBefore = w->session().ObjStock();
        const auto linesBefore = w->session().quoteLines();
        w->session().setDataNotSaved(true);
        typeTicker(w, QStringLiteral("ZYX"));

        // The button (now "Cancel"), the progress window's Cancel, and its
        // close box.
        enum Way { DownloadButton, ProgressCancel, ProgressCloseBox };
        for (const Way way : {DownloadButton, ProgressCancel, ProgressCloseBox}) {
            m_dialogs->messages.clear();
            m_dialogs->switchableMessages.clear();
            QElapsedTimer clock;
            whileRunning(w, [&] {
                QVERIFY(ui::chain(w)->m_DownloadProgress != nullptr);
                // Pressed while the request waits for an answer that does
                // not come: the button now cancels.
                connect(ui::chain(w)->mWinInet, &WinInet::OnStateChanged, w, [&, w](int32_t state) {
                    if (state != 6)
                        return;
                    QTimer::singleShot(100, w, [&, w] {
                        QCOMPARE(ui::chain(w)->m_DownloadProgress->elaStatus->text(), QStringLiteral(" Sending request"));
                        clock.start();
                        switch (way) {
                        case DownloadButton:
                            QCOMPARE(ui::cmdDownload(w)->text(), QStringLiteral("Cancel"));
                            QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);
                            break;
                        case ProgressCancel:
                            QTest::mouseClick(ui::chain(w)->m_DownloadProgress->cmdCancel, Qt::LeftButton);
                            break;
                        case ProgressCloseBox:
                            // The window stays until the download has ended.
                            QVERIFY(!ui::chain(w)->m_DownloadProgress->close());
                            break;
                        }
                    });
                });
            });
            QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);
            QVERIFY(clock.isValid());
            // The silent server would hold it for half a minute (the
            // sanitizer build may take three times as long to get there).
            QVERIFY2(clock.elapsed() < 5000 * TW_TEST_TIME_SCALE, qPrintable(QString::number(clock.elapsed())));

            QCOMPARE(m_dialogs->messages.size(), 1);
            QCOMPARE(m_dialogs->messages.first().text, QStringLiteral("Downloading canceled!"));
            QCOMPARE(m_dialogs->messages.first().style, Msg::OkOnly | Msg::Information);
            QCOMPARE(m_dialogs->messages.first().title, QStringLiteral("Download"));
            QCOMPARE(m_dialogs->switchableMessages.size(), 1);
            QCOMPARE(m_dialogs->switchableMessages.first().id, QStringLiteral("INETFAIL"));
            QCOMPARE(ui::lblTickerStatus(w)->text(),
                     QStringLiteral(" Can't download data. Check the Internet connection, please"));
            QVERIFY(w->session().ObjStock() == stockBefore);
            QCOMPARE(w->session().quoteLines(), linesBefore);
            QVERIFY(w->session().dataNotSaved());
            QVERIFY(ui::cmdSave(w)->isEnabled());
            QCOMPARE(ui::cmdDownload(w)->text(), QStringLiteral("Download"));
            QVERIFY(ui::chain(w)->mWinInet == nullptr);
        }
        // Each click made one request: no second download while one ran.
        QCOMPARE(m_server->requests().size(), 3);
        // Cancel in a progress window when nothing runs does nothing.
        m_dialogs->messages.clear();
        ui::chain(w)->CancelDownload();
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void refusedAnswersAndFailedTransfersKeepTheChain_data()
    {
        QTest::addColumn<QString>("ticker");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<bool>("serverUp");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("status");
        const QString invalid = QStringLiteral(" Invalid data format. Check ticker name, please.");
        const QString failed = QStringLiteral(" Can't download data. Check the Internet connection, please");
        QTest::newRow("content type") << "ZYX" << QByteArray("text/html") << true << "INVDATA" << invalid;
        QTest::newRow("no such ticker") << "NOPE" << QByteArray("application/x-unknown") << true << "INVDATA" << invalid;
        QTest::newRow("no quote table") << "JUNK" << QByteArray("application/x-unknown") << true << "INVDATA" << invalid;
        QTest::newRow("server stopped") << "ZYX" << QByteArray("application/x-unknown") << false << "INETFAIL" << failed;
    }

    void refusedAnswersAndFailedTransfersKeepTheChain()
    {
        QFETCH(QString, ticker);
        QFETCH(QByteArray, contentType);
        QFETCH(bool, serverUp);
        QFETCH(QString, id);
        QFETCH(QString, status);
        frmStrategies* w = m_run->window();
        m_server->options().quoteContentType = contentType;
        if (!serverUp)
            pointAt(closedPort());
        const auto stockBefore = w->session().ObjStock();
        const auto linesBefore = w->session().quoteLines();
        typeTicker(w, ticker);

        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(m_dialogs->switchableMessages.size(), 1);
        QCOMPARE(m_dialogs->switchableMessages.first().id, id);
        QCOMPARE(m_dialogs->switchableMessages.first().text,
                 id == QLatin1String("INVDATA") ? QStringLiteral("Invalid data format.\r\nCheck the ticker, please.")
                                                : QStringLiteral("Can't download data.\r\nCheck the Internet connection, please"));
        QCOMPARE(ui::lblTickerStatus(w)->text(), status);
        QVERIFY(w->session().ObjStock() == stockBefore);
        QCOMPARE(w->session().quoteLines(), linesBefore);
        QVERIFY(!w->session().dataNotSaved());
        // After a refused answer "Save to file" is disabled; after a failed
        // transfer it keeps its state.
        QCOMPARE(ui::cmdSave(w)->isEnabled(), id != QLatin1String("INVDATA"));
        QCOMPARE(ui::cmdDownload(w)->text(), QStringLiteral("Download"));

        // The failure is no longer shown while the next download runs (the
        // line shows where the loaded chain came from); it ends as the first
        // did. Switched off, the message is only a beep the next time.
        QString statusWhileRunning = status;
        QString buttonWhileRunning;
        whileRunning(w, [&] {
            statusWhileRunning = ui::lblTickerStatus(w)->text();
            buttonWhileRunning = ui::cmdDownload(w)->text();
        });
        m_dialogs->switchableAnswers.push_back(false);
        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);
        QCOMPARE(buttonWhileRunning, QStringLiteral("Cancel"));
        QCOMPARE(statusWhileRunning, QStringLiteral(" Loaded from ") + w->session().dataFile());
        QCOMPARE(ui::lblTickerStatus(w)->text(), status);
        const int beeps = m_dialogs->beeps;
        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);
        QCOMPARE(m_dialogs->switchableMessages.size(), 2);
        QCOMPARE(m_dialogs->beeps, beeps + 1);
        appSettings().SaveSetting(QStringLiteral("Settings"), QStringLiteral("ShowErrorMesssage") + id, 1);
    }

    void aQuoteTableWithAStockPriceNoChartCanShowIsRefusedNamingIt()
    {
        frmStrategies* w = m_run->window();
        const auto stockBefore = w->session().ObjStock();
        const auto linesBefore = w->session().quoteLines();
        const int rowsBefore = ui::gdCalls(w)->Rows();
        typeTicker(w, QStringLiteral("ZERO"));
        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);

        // Not the wrong-ticker message: the price, as the server sent it.
        QVERIFY(m_dialogs->switchableMessages.isEmpty());
        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString text = m_dialogs->messages.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("The quote table gives \"0\" as the stock price of \"ZERO (ZERO PRICE INC)\"")),
                 qPrintable(text));
        QCOMPARE(ui::lblTickerStatus(w)->text(), QLatin1Char(' ') + text);
        QVERIFY(w->session().ObjStock() == stockBefore);
        QCOMPARE(w->session().quoteLines(), linesBefore);
        QCOMPARE(ui::gdCalls(w)->Rows(), rowsBefore);
        QVERIFY(!w->session().dataNotSaved());
        QCOMPARE(ui::cmdDownload(w)->text(), QStringLiteral("Download"));
    }

    void aQuoteTableOfAnAbsurdQuoteDateIsRefusedNamingIt()
    {
        frmStrategies* w = m_run->window();
        const auto stockBefore = w->session().ObjStock();
        typeTicker(w, QStringLiteral("FAR"));
        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);

        QVERIFY(m_dialogs->switchableMessages.isEmpty());
        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString text = m_dialogs->messages.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("The quote table gives \"Mar 19 9999\" as the quote date of \"FAR (FAR "
                                                "FUTURE INC)\": a quote date must lie between 1 January 1970 and ")),
                 qPrintable(text));
        QCOMPARE(ui::lblTickerStatus(w)->text(), QLatin1Char(' ') + text);
        QVERIFY(w->session().ObjStock() == stockBefore);
        QVERIFY(!w->session().dataNotSaved());
    }

    void anAnswerLargerThanAnyChainIsStoppedAndSaysSo()
    {
        frmStrategies* w = m_run->window();
        const auto stockBefore = w->session().ObjStock();
        typeTicker(w, QStringLiteral("BIG"));
        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);

        // Neither the ticker nor the connection is to blame.
        const QString text =
            QStringLiteral("The answer of the quote server is larger than 64 MB: too large to be an option chain.");
        QVERIFY(m_dialogs->switchableMessages.isEmpty());
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.first().text, text);
        QCOMPARE(ui::lblTickerStatus(w)->text(), QLatin1Char(' ') + text);
        QVERIFY(w->session().ObjStock() == stockBefore);
        QCOMPARE(ui::cmdDownload(w)->text(), QStringLiteral("Download"));
    }

    void anAnswerOfTheLargestSizeTakenIsTaken()
    {
        frmStrategies* w = m_run->window();
        const auto stockBefore = w->session().ObjStock();
        typeTicker(w, QStringLiteral("EXACT"));
        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);

        QVERIFY(m_dialogs->switchableMessages.isEmpty());
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(ui::lblTickerStatus(w)->text(), QStringLiteral(" Data downloaded and parsed successfully"));
        QVERIFY(w->session().ObjStock() != stockBefore);
        QCOMPARE(w->session().quoteLines(), marketdata::readOptionChainFile(test::shippedFile(QStringLiteral("SAMPLE.opt"))));
        QVERIFY(w->session().dataNotSaved());
    }

    void emptyTickerAsksNothingOfTheServer()
    {
        frmStrategies* w = m_run->window();
        typeTicker(w, QStringLiteral("   "));
        QVERIFY(test::focusOn(ui::cmdDownload(w)));
        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);
        QCOMPARE(m_dialogs->beeps, 1);
        QVERIFY(m_server->requests().isEmpty());
        QCOMPARE(QApplication::focusWidget(), ui::txtTicker(w));
    }

    void closingTheWindowDuringADownloadCancelsItFirst()
    {
        frmStrategies* w = m_run->window();
        m_server->options().stall = true;
        QPointer<frmStrategies> window(w);
        typeTicker(w, QStringLiteral("ZYX"));
        bool closedAtOnce = true;
        whileRunning(w, [&] { closedAtOnce = w->close(); });
        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);
        QVERIFY(!closedAtOnce);
        // No failure message for a user who is leaving; then the window goes.
        QVERIFY(m_dialogs->switchableMessages.isEmpty());
        QTRY_VERIFY(window == nullptr || !window->isVisible());
    }

    void lookupFindsATickerByName()
    {
        frmStrategies* w = m_run->window();
        QVERIFY(ui::cmdLookup(w)->isEnabled());
        typeTicker(w, QStringLiteral("MSFT"));
        bool searched = false;
        inLookup(w, [&](frmSymbolLookup* lookup) {
            QCOMPARE(lookup->Tag(), QStringLiteral("2"));
            QVERIFY(!lookup->cmdOK->isEnabled());
            QVERIFY(lookup->optContains->isChecked());
            QTest::keyClicks(lookup->txtSearchString, QStringLiteral("zyx"));
            QTest::mouseClick(lookup->cmdSearch, Qt::LeftButton);
            QCOMPARE(m_server->requests().size(), 1);
            QVERIFY(m_server->requests().first().endsWith("\r\n\r\ncompany=zyx&btnSubmit=Get+Symbol"));
            QCOMPARE(lookup->cmdSearch->text(), QStringLiteral("Search"));
            QCOMPARE(lookup->lblStatus->text(), QStringLiteral(" Symbol lookup for \"zyx\". 3 companies found"));
            platform::Grid* grid = lookup->gdResult;
            QCOMPARE(grid->Rows(), 3);
            QCOMPARE(grid->CellText(1, 1), QStringLiteral("ZYX"));
            QCOMPARE(grid->CellText(1, 2), QStringLiteral("ZYXON SYSTEMS INC"));
            QCOMPARE(grid->CellText(3, 1), QStringLiteral("BZYX"));
            QCOMPARE(bgrFromColor(grid->CellBackColor(1, 1)), 0xE0F0F0u);
            QCOMPARE(bgrFromColor(grid->CellBackColor(2, 3)), 0xE9F9F9u);
            QCOMPARE(bgrFromColor(grid->CellBackColor(3, 2)), 0xE0F0F0u);
            QCOMPARE(bgrFromColor(grid->CellForeColor(2, 2)), 0x654611u);
            QCOMPARE(grid->SelectedRow(), 1);
            QVERIFY(lookup->cmdOK->isEnabled());
            // Begins with: the names that begin with the text; Contains:
            // everything the server found, again.
            QTest::mouseClick(lookup->optBeginsWith, Qt::LeftButton);
            QCOMPARE(grid->Rows(), 2);
            QCOMPARE(grid->CellText(2, 1), QStringLiteral("ZYXA"));
            QTest::mouseClick(lookup->optContains, Qt::LeftButton);
            QVERIFY(lookup->optContains->isChecked());
            QCOMPARE(grid->Rows(), 3);
            QCOMPARE(grid->CellText(3, 1), QStringLiteral("BZYX"));
            QCOMPARE(grid->SelectedRow(), 1);
            QTest::mouseClick(lookup->optBeginsWith, Qt::LeftButton);
            QCOMPARE(grid->Rows(), 2);
            // A double click on a row takes its ticker.
            QTableView* view = grid->view();
            const QRect cell = view->visualRect(view->model()->index(1, 1));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
            searched = true;
        });
        QTest::mouseClick(ui::cmdLookup(w), Qt::LeftButton);
        QVERIFY(searched);
        QCOMPARE(ui::txtTicker(w)->text(), QStringLiteral("ZYXA"));
        QVERIFY(ui::chain(w)->m_SymbolLookup != nullptr);
        QCOMPARE(ui::chain(w)->m_SymbolLookup->Tag(), QStringLiteral("1"));

        // Shown again it keeps the last search; Cancel leaves the ticker.
        bool cancelled = false;
        inLookup(w, [&](frmSymbolLookup* lookup) {
            QCOMPARE(lookup->txtSearchString->text(), QStringLiteral("zyx"));
            QCOMPARE(lookup->gdResult->Rows(), 2);
            QTest::mouseClick(lookup->cmdCancel, Qt::LeftButton);
            cancelled = true;
        });
        QTest::mouseClick(ui::cmdLookup(w), Qt::LeftButton);
        QVERIFY(cancelled);
        QCOMPARE(ui::txtTicker(w)->text(), QStringLiteral("ZYXA"));
        QCOMPARE(ui::chain(w)->m_SymbolLookup->Tag(), QStringLiteral("2"));
    }

    void lookupThatFindsNothingOrFails()
    {
        frmStrategies* w = m_run->window();
        typeTicker(w, QStringLiteral("MSFT"));
        inLookup(w, [&](frmSymbolLookup* lookup) {
            // Nothing typed: a beep and no request.
            QTest::mouseClick(lookup->cmdSearch, Qt::LeftButton);
            QCOMPARE(m_dialogs->beeps, 1);
            QVERIFY(m_server->requests().isEmpty());
            // Found: one company, then a name nobody has.
            QTest::keyClicks(lookup->txtSearchString, QStringLiteral("quillpoint soft"));
            QTest::keyClick(lookup->txtSearchString, Qt::Key_Return);
            QVERIFY(m_server->requests().last().endsWith("company=quillpoint+soft&btnSubmit=Get+Symbol"));
            QCOMPARE(lookup->gdResult->Rows(), 1);
            QCOMPARE(lookup->gdResult->CellText(1, 1), QStringLiteral("QLPS"));
            lookup->txtSearchString->setText(QStringLiteral("no such company"));
            QTest::mouseClick(lookup->cmdSearch, Qt::LeftButton);
            QCOMPARE(lookup->gdResult->Rows(), 0);
            QVERIFY(lookup->cmdOK->isEnabled());
            // A broken page: reported to the error handler; the grid stays as
            // it was.
            m_server->options().brokenPage = true;
            lookup->txtSearchString->setText(QStringLiteral("quillpoint"));
            QTest::mouseClick(lookup->cmdSearch, Qt::LeftButton);
            QCOMPARE(m_dialogs->errorReports.size(), 1);
            QVERIFY(m_dialogs->errorReports.first().contains(QStringLiteral("not a page of search results")));
            QCOMPARE(lookup->gdResult->Rows(), 0);
            // No server: the switchable message.
            pointAt(closedPort());
            QTest::mouseClick(lookup->cmdSearch, Qt::LeftButton);
            QCOMPARE(m_dialogs->switchableMessages.size(), 1);
            QCOMPARE(m_dialogs->switchableMessages.first().id, QStringLiteral("SRCHFAIL"));
            QCOMPARE(lookup->lblStatus->text(), QStringLiteral(" Search failed. Check the Internet connection please."));
            QVERIFY(!lookup->cmdOK->isEnabled());
            // OK with an empty grid gives an empty ticker.
            lookup->cmdOK->setEnabled(true);
            QTest::mouseClick(lookup->cmdOK, Qt::LeftButton);
        });
        QTest::mouseClick(ui::cmdLookup(w), Qt::LeftButton);
        QCOMPARE(ui::txtTicker(w)->text(), QString());

        // Closed from its title bar while it searches: cancelled, unloaded,
        // nothing more said, and the ticker stays.
        typeTicker(w, QStringLiteral("MSFT"));
        pointAt(m_server->port());
        m_server->options().brokenPage = false;
        m_server->options().stall = true;
        inLookup(w, [&](frmSymbolLookup* lookup) {
            QTimer::singleShot(50, lookup, [lookup] {
                QVERIFY(lookup->searching());
                lookup->close();
            });
            QTest::mouseClick(lookup->cmdSearch, Qt::LeftButton);
            QVERIFY(!lookup->searching());
        });
        const int beeps = m_dialogs->beeps;
        QTest::mouseClick(ui::cmdLookup(w), Qt::LeftButton);
        QCOMPARE(ui::txtTicker(w)->text(), QStringLiteral("MSFT"));
        QVERIFY(ui::chain(w)->m_SymbolLookup == nullptr);
        QCOMPARE(m_dialogs->switchableMessages.size(), 1);
        QCOMPARE(m_dialogs->beeps, beeps);
    }

    void lookupOkTakesTheSelectedRowAndASearchCanBeCancelled()
    {
        frmStrategies* w = m_run->window();
        typeTicker(w, QStringLiteral("MSFT"));
        // OK takes the ticker of the row clicked.
        inLookup(w, [&](frmSymbolLookup* lookup) {
            QTest::keyClicks(lookup->txtSearchString, QStringLiteral("zyx"));
            QTest::mouseClick(lookup->cmdSearch, Qt::LeftButton);
            QCOMPARE(lookup->gdResult->Rows(), 3);
            QTableView* view = lookup->gdResult->view();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(2, 1)).center());
            QCOMPARE(lookup->gdResult->SelectedRow(), 3);
            QTest::mouseClick(lookup->cmdOK, Qt::LeftButton);
            QVERIFY(!lookup->isVisible());
        });
        QTest::mouseClick(ui::cmdLookup(w), Qt::LeftButton);
        QCOMPARE(ui::txtTicker(w)->text(), QStringLiteral("BZYX"));
        QCOMPARE(ui::chain(w)->m_SymbolLookup->Tag(), QStringLiteral("1"));

        // While a search waits for a silent server, its button reads
        // "Cancel" and ends the search at once, which the status says (no
        // failure is reported); Escape then cancels the window as its
        // Cancel does.
        m_server->options().stall = true;
        QElapsedTimer clock;
        inLookup(w, [&](frmSymbolLookup* lookup) {
            QTimer::singleShot(100, lookup, [&, lookup] {
                QVERIFY(lookup->searching());
                QCOMPARE(lookup->cmdSearch->text(), QStringLiteral("Cancel"));
                clock.start();
                QTest::mouseClick(lookup->cmdSearch, Qt::LeftButton);
            });
            QTest::mouseClick(lookup->cmdSearch, Qt::LeftButton);
            QVERIFY(clock.isValid());
            QVERIFY2(clock.elapsed() < 5000 * TW_TEST_TIME_SCALE, qPrintable(QString::number(clock.elapsed())));
            QVERIFY(!lookup->searching());
            QCOMPARE(lookup->cmdSearch->text(), QStringLiteral("Search"));
            QCOMPARE(m_server->requests().size(), 2);
            QVERIFY(m_dialogs->switchableMessages.isEmpty());
            QCOMPARE(lookup->lblStatus->text(), QStringLiteral(" Canceled."));
            QVERIFY(!lookup->cmdOK->isEnabled());
            QTest::keyClick(lookup->txtSearchString, Qt::Key_Escape);
            QVERIFY(!lookup->isVisible());
        });
        QTest::mouseClick(ui::cmdLookup(w), Qt::LeftButton);
        QCOMPARE(ui::txtTicker(w)->text(), QStringLiteral("BZYX"));
        QVERIFY(ui::chain(w)->m_SymbolLookup != nullptr);
        QCOMPARE(ui::chain(w)->m_SymbolLookup->Tag(), QStringLiteral("2"));
    }

    void downloadFromTheServerProgram()
    {
        QProcess server;
        server.start(QStringLiteral(TW_QUOTE_SERVER),
                     {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--folder"), m_dir.path()});
        QVERIFY(server.waitForStarted());
        QVERIFY(server.waitForReadyRead(10000));
        const QString line = QString::fromUtf8(server.readLine()).trimmed();
        QVERIFY2(line.startsWith(QStringLiteral("Quote server listening on 127.0.0.1:")), qPrintable(line));
        pointAt(static_cast<uint16_t>(line.section(QLatin1Char(':'), -1).toUInt()));

        frmStrategies* w = m_run->window();
        typeTicker(w, QStringLiteral("ZYX"));
        QTest::mouseClick(ui::cmdDownload(w), Qt::LeftButton);
        server.kill();
        server.waitForFinished();
        QVERIFY2(m_dialogs->switchableMessages.isEmpty(), qPrintable(ui::lblTickerStatus(w)->text()));
        QCOMPARE(w->session().ObjStock()->Code(), QStringLiteral("ZYX (ZYXON SYSTEMS INC)"));
        QCOMPARE(ui::lblTickerStatus(w)->text(), QStringLiteral(" Data downloaded and parsed successfully"));
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<QuoteServer> m_server;
    std::unique_ptr<test::MainWindowRun> m_run;
};

TW_QTEST_MAIN(DownloadTest)
#include "DownloadTest.moc"
