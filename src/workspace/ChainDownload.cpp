// The chain pane's quote download (the ticker's quote table posted for
// over HTTP, with a progress window and Cancel) and the symbol lookup.

#include "workspace/ChainPane.h"

#include "app/CErrorHandler.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "marketdata/QuoteDownload.h"
#include "marketdata/QuoteTable.h"
#include "marketdata/WinInet.h"
#include "marketdata/frmDonwloadProgress.h"
#include "marketdata/frmSymbolLookup.h"
#include "workspace/AnalysisSession.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <utility>

namespace tw {

namespace {
const QString kCancelCaption = QStringLiteral("Cancel");

QString stars()
{
    return QString(70, QLatin1Char('*'));
}
} // namespace

void ChainPane::cmdDownload_Click()
{
    Procedure proc("frmStrategies", "cmdDownload_Click");
    if (cmdDownload->text() == kCancelCaption) {
        // Runs while the first click still waits for its answer.
        TW_STEP(proc, CancelDownload());
        TW_STEP(proc, errorHandler().WriteTrace(QStringLiteral("Download canceled")));
        return;
    }
    if (mWinInet != nullptr)
        return; // one download at a time
    const QString ticker = txtTicker->text().trimmed();
    if (ticker.isEmpty()) {
        TW_STEP(proc, dialogs().beep());
        TW_STEP(proc, txtTicker->setFocus());
        return;
    }
    // Why the last download failed is no longer the news.
    TW_STEP(proc, withdrawTickerStatus(std::exchange(m_downloadFailure, QString())));
    // Every way out, errors and aborts included, ends the download.
    const auto end = qScopeGuard([this] { endDownload(); });
    TW_STEP(proc, {
        mWinInet = new WinInet(this);
        // No larger a chain than a file may hold.
        mWinInet->setMaxResponseBytes(marketdata::kLargestChainBytes);
        connect(mWinInet, &WinInet::OnProgress, this,
                [this](int32_t done, int32_t total) { mWinInet_OnProgress(done, total); });
        connect(mWinInet, &WinInet::OnStateChanged, this, [this](int32_t state) { mWinInet_OnStateChanged(state); });
        cmdDownload->setText(kCancelCaption);
    });
    TW_STEP(proc, {
        m_DownloadProgress = new frmDonwloadProgress(window());
        connect(m_DownloadProgress, &frmDonwloadProgress::CancelRequested, this, [this] { CancelDownload(); });
        const QRect frame = window()->frameGeometry();
        m_DownloadProgress->move(frame.center() - m_DownloadProgress->rect().center());
        m_DownloadProgress->show();
        m_DownloadProgress->SetTomost();
    });
    TW_STEP(proc, marketdata::prepareFormPost(*mWinInet, QLatin1String(marketdata::kQuoteTableResource),
                                              marketdata::quoteTableFormBody(ticker),
                                              QLatin1String(marketdata::kQuoteTableResource)));
    TW_STEP(proc, {
        errorHandler().WriteTrace(QStringLiteral("WinInet.PostQuery: ") + mWinInet->PostQuery());
        errorHandler().WriteTrace(QStringLiteral("WinInet.Execute"));
    });
    TW_STEP(proc, mWinInet->Execute());
    TW_STEP(proc, {
        if (m_DownloadProgress != nullptr)
            m_DownloadProgress->hide();
    });
    TW_STEP(proc, {
        errorHandler().WriteTrace(QStringLiteral("WinInet.Executed"));
        errorHandler().WriteTrace(QStringLiteral("WinInet.SuccessDone = ")
                                  + (mWinInet->SuccessDone() ? QStringLiteral("True") : QStringLiteral("False")));
        if (!mWinInet->SuccessDone() && !mWinInet->FailureText().isEmpty())
            errorHandler().WriteTrace(QStringLiteral("WinInet failure: ") + mWinInet->FailureText());
    });
    TW_STEP(proc, takeDownloadedAnswer());
}

void ChainPane::takeDownloadedAnswer()
{
    Procedure proc("frmStrategies", "takeDownloadedAnswer");
    // The answer's bytes as they came: the lines are cut from them without
    // a text copy of the whole answer.
    const QByteArray response = mWinInet->ResponseBytes();
    if (mWinInet->SuccessDone()) {
        TW_STEP(proc, {
            errorHandler().WriteTrace(QStringLiteral("WinInet.ContentType = ") + mWinInet->ContentType());
            errorHandler().WriteTrace(QStringLiteral("Len(WinInet.Response) = ") + QString::number(response.size()));
            errorHandler().WriteTrace(QStringLiteral("BytesTotal = ") + QString::number(mWinInet->BytesTotal()));
            if (errorHandler().TracingEnabled())
                errorHandler().WriteTrace(QStringLiteral("WinInet.Response >> \r\n") + stars() + QStringLiteral("\r\n")
                                          + QString::fromLatin1(response) + QStringLiteral("\r\n") + stars());
        });
    }
    marketdata::QuoteAnswer verdict = marketdata::QuoteAnswer::Failed;
    std::optional<TwError> refusal;
    TW_STEP(proc, verdict = marketdata::judgeQuoteAnswer(mWinInet->SuccessDone(), mWinInet->ContentType(),
                                                         response.size(), mWinInet->BytesTotal()));
    // A user who closes the window meanwhile is not kept by messages.
    const bool quiet = m_quietDownload;
    if (verdict == marketdata::QuoteAnswer::Accepted) {
        const marketdata::QuoteLines lines = marketdata::splitQuoteLines(response);
        marketdata::ParseResult parsed;
        if (parseQuoteLines(lines, parsed, &refusal)) {
            TW_STEP(proc, session().setQuoteLines(lines));
            TW_STEP(proc, applyParsedChain(parsed));
            TW_STEP(proc, session().UpdateLists());
            TW_STEP(proc, cmdSave->setEnabled(true));
            TW_STEP(proc, showTickerStatus(QStringLiteral(" Data downloaded and parsed successfully")));
            TW_STEP(proc, session().setDataNotSaved(true));
            return;
        }
        // Taken by its form, but no quote table: as refused.
        TW_STEP(proc, errorHandler().WriteTrace(QStringLiteral("Quote table refused: ") + refusal->description()));
        verdict = marketdata::QuoteAnswer::Refused;
    }
    if (verdict == marketdata::QuoteAnswer::Refused) {
        // The loaded chain and its lines stay as they were; the button that
        // would save them is disabled. A quote table whose stock price no
        // chart can show, or whose quote date is no real one, is no matter of
        // the ticker: the user is told the value, as for a file.
        const bool badValue = refusal && refusal->number() == RunTime::InvalidPropertyValue;
        TW_STEP(proc, showDownloadFailure(badValue ? QLatin1Char(' ') + refusal->description()
                                                   : QStringLiteral(" Invalid data format. Check ticker name, please.")));
        TW_STEP(proc, cmdSave->setEnabled(false));
        if (!quiet && badValue)
            TW_STEP(proc, dialogs().messageBox(refusal->description(), Msg::OkOnly | Msg::Exclamation, appTitle()));
        else if (!quiet)
            TW_STEP(proc, ShowMessageOnce(QStringLiteral("Invalid data format.\r\nCheck the ticker, please."),
                                          QStringLiteral("INVDATA")));
        return;
    }
    if (mWinInet->LastFailure() == WinInet::Failure::TooLarge) {
        // Stopped at the size no chain reaches: no matter of the connection.
        const QString text = QStringLiteral("The answer of the quote server is larger than %1 MB: too large to be an "
                                            "option chain.")
                                 .arg(marketdata::kLargestChainBytes / (1024 * 1024));
        TW_STEP(proc, showDownloadFailure(QLatin1Char(' ') + text));
        if (!quiet)
            TW_STEP(proc, dialogs().messageBox(text, Msg::OkOnly | Msg::Exclamation, appTitle()));
        return;
    }
    TW_STEP(proc, showDownloadFailure(QStringLiteral(" Can't download data. Check the Internet connection, please")));
    if (!quiet)
        TW_STEP(proc, ShowMessageOnce(QStringLiteral("Can't download data.\r\nCheck the Internet connection, please"),
                                      QStringLiteral("INETFAIL")));
}

void ChainPane::showDownloadFailure(const QString& text)
{
    m_downloadFailure = text;
    showTickerStatus(text);
}

void ChainPane::endDownload()
{
    shielded("frmStrategies.endDownload", [this] {
        if (mWinInet != nullptr) {
            mWinInet->Cancel();
            delete mWinInet.data();
        }
        cmdDownload->setText(QStringLiteral("Download"));
        if (m_DownloadProgress != nullptr) {
            m_DownloadProgress->hide();
            m_DownloadProgress->deleteLater();
            m_DownloadProgress = nullptr;
        }
        m_quietDownload = false;
        emit downloadEnded();
    });
}

bool ChainPane::downloadRunning() const
{
    return mWinInet != nullptr;
}

void ChainPane::cancelDownloadForClose()
{
    if (mWinInet == nullptr)
        return;
    m_quietDownload = true;
    mWinInet->Cancel();
}

void ChainPane::CancelDownload()
{
    Procedure proc("frmStrategies", "CancelDownload");
    if (mWinInet == nullptr)
        return;
    TW_STEP(proc, mWinInet->Cancel());
    TW_STEP(proc, dialogs().messageBox(QStringLiteral("Downloading canceled!"), Msg::OkOnly | Msg::Information,
                                       QStringLiteral("Download")));
}

void ChainPane::mWinInet_OnProgress(int32_t BytesDownloaded, int32_t BytesTotal)
{
    shielded("frmStrategies.mWinInet_OnProgress", [&] {
        if (m_DownloadProgress == nullptr)
            return;
        m_DownloadProgress->elaProgress->setValue(marketdata::progressPercent(BytesDownloaded, BytesTotal));
        m_DownloadProgress->elaStatus->setText(marketdata::downloadProgressText(BytesDownloaded, BytesTotal));
    });
}

void ChainPane::mWinInet_OnStateChanged(int32_t State)
{
    shielded("frmStrategies.mWinInet_OnStateChanged", [&] {
        const QString text = marketdata::downloadStateText(State);
        if (!text.isEmpty() && m_DownloadProgress != nullptr)
            m_DownloadProgress->elaStatus->setText(text);
    });
}

void ChainPane::cmdLookup_Click()
{
    Procedure proc("frmStrategies", "cmdLookup_Click");
    TW_STEP(proc, {
        if (m_SymbolLookup == nullptr)
            m_SymbolLookup = new frmSymbolLookup(window());
    });
    TW_STEP(proc, m_SymbolLookup->exec());
    TW_STEP(proc, {
        if (m_SymbolLookup != nullptr && m_SymbolLookup->Tag().toInt() == 1)
            txtTicker->setText(m_SymbolLookup->SelectedSymbol());
    });
    TW_STEP(proc, {
        // Closed from its title bar: the next lookup loads it afresh.
        if (m_SymbolLookup != nullptr && m_SymbolLookup->unloadRequested()) {
            m_SymbolLookup->deleteLater();
            m_SymbolLookup = nullptr;
        }
    });
}

} // namespace tw
