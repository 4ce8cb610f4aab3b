#pragma once
// The chain pane: the quote line of the loaded stock, the tabs "Stock",
// "Calls" and "Puts" with the stock page (ticker, Download, Lookup, "Load
// from file", "Save to file", bid, ask, change, volume, size and the ticker
// status line) and the two chain grids with their popup, which adds the
// picked option as a leg of the selected strategy.
//
// It loads chains - from ".opt" files or downloaded from the quote server -
// into the session (AnalysisSession::setObjStock, then NewStockLoaded), and
// saves the session's quote lines again.

#include "app/TwError.h"
#include "workspace/WorkspacePane.h"

#include <QPointer>
#include <cstdint>
#include <memory>
#include <optional>

class QFont;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tw {

class OptionsCollection;
class WinInet;
struct CellFonts;
class frmDonwloadProgress;
class frmSymbolLookup;

namespace marketdata {
struct ParseResult;
class QuoteLines;
}

namespace platform {
class Grid;
class PopupMenu;
class TabStrip;
class WrappedLabel;
} // namespace platform

class ChainPane : public WorkspacePane {
    Q_OBJECT
public:
    ChainPane(AnalysisSession& session, QWidget* host);
    ~ChainPane() override;

    // The chain-grid popup, made with the window's menus; its commands run
    // here.
    void setPopupMenu(platform::PopupMenu* menu);

    // ---- Pages ---------------------------------------------------------------
    // The selected tab: 1 "Stock", 2 "Calls", 3 "Puts".
    int selectedTab() const;
    void selectTab(int tab);
    // The tab strip's rectangle and its client area (in pixels of the strip).
    QRect tabStripRect() const;
    QRect tabClientRect() const;
    void tabOptionsNew_TabClick(int tab);
    // The window's one status line, lblTickerStatus, along the bottom under
    // the tab strip: the chain's own texts (loading, where it came from,
    // downloaded, saved) and those of every other pane (statusMessage). It
    // shows its text whole, on as many lines as the window's width needs,
    // and asks for a layout when a text needs another height.
    void showTickerStatus(const QString& text);
    // A text no longer true (a refusal whose editor closed): the status line,
    // if it still shows it, shows again what it showed before, the latest
    // text not withdrawn; if a newer text replaced it, that stays.
    void withdrawTickerStatus(const QString& text);
    // The height (pixels) the status line needs for its text at `width`.
    int tickerStatusHeight(int width) const;

    // ---- The loaded chain ------------------------------------------------------
    void UpdateControls();
    void SelectInDownloader(int32_t ItemType, const QString& Code);
    void m_cOptionsMenu_Click(int itemNumber);
    void AddOption(int32_t Position);

    // ---- Option-chain files ------------------------------------------------------
    void LoadOptionDialog();
    void SaveOptionDialog();
    void LoadOption();
    void SaveOption();
    void cmdLoad_Click();
    void cmdSave_Click();
    void ParseCBOEData();
    // The session's data file, parsed and shown.
    void LoadOptionFromFile();
    // Why the last LoadOptionFromFile could not read its file ("" when it
    // could).
    const QString& loadFailure() const { return m_loadFailure; }
    // Parses quote-table lines (progress in the ticker status line); false,
    // after telling the user why, when the table is refused (with
    // `refusal`, the parser's error goes there instead).
    bool parseQuoteLines(const marketdata::QuoteLines& lines, marketdata::ParseResult& parsed,
                         std::optional<TwError>* refusal = nullptr);
    // Makes a parsed chain the loaded one and shows it.
    void applyParsedChain(const marketdata::ParseResult& parsed);

    // ---- Download and lookup ---------------------------------------------------
    void cmdDownload_Click();
    void CancelDownload();
    void cmdLookup_Click();
    void mWinInet_OnProgress(int32_t BytesDownloaded, int32_t BytesTotal);
    void mWinInet_OnStateChanged(int32_t State);
    bool downloadRunning() const;
    // The window closes: the running download is dropped without a message.
    void cancelDownloadForClose();
    // The client of the running download (null when none runs), its
    // progress window, and the lookup window (kept between uses).
    QPointer<WinInet> mWinInet;
    QPointer<frmDonwloadProgress> m_DownloadProgress;
    QPointer<frmSymbolLookup> m_SymbolLookup;
    bool m_RestoringGrid = false;

signals:
    // A tab was shown (its page made visible): 1 "Stock", 2 "Calls", 3 "Puts".
    void pageShown(int tab);
    // A download has ended, whichever way.
    void downloadEnded();

private:
    void createControls();
    void connectControls();
    // Shows a side of the chain in a chain grid, every option a row.
    void fillChainGrid(platform::Grid* grid, std::shared_ptr<const OptionsCollection> side, uint32_t oddBgr,
                       uint32_t evenBgr, const CellFonts& fonts);
    void RestoreGridHeader(platform::Grid* grid);
    QString generalDateText(double serial) const;
    void chainGridMouseUp(platform::Grid* grid, int button, double x, double y);
    void takeDownloadedAnswer();
    // Shows why a download failed, until the next one starts.
    void showDownloadFailure(const QString& text);
    void endDownload();
    // Puts a text on the status line.
    void pShowStatus(const QString& text);

    QLabel* lblStockValue = nullptr;
    QLabel* lblPriceValue = nullptr;
    QLabel* lblDateValue = nullptr;
    platform::TabStrip* tabOptionsNew = nullptr;
    QFrame* fraStock = nullptr;
    platform::Grid* gdCalls = nullptr;
    platform::Grid* gdPuts = nullptr;
    QLabel* lblTicker = nullptr;
    QLineEdit* txtTicker = nullptr;
    QPushButton* cmdDownload = nullptr;
    QPushButton* cmdLookup = nullptr;
    QPushButton* cmdLoad = nullptr;
    QPushButton* cmdSave = nullptr;
    QLabel* lblBid = nullptr;
    QLabel* lblBidValue = nullptr;
    QLabel* lblAsk = nullptr;
    QLabel* lblAskValue = nullptr;
    QLabel* lblNet = nullptr;
    QLabel* lblNetValue = nullptr;
    QLabel* lblVolume = nullptr;
    QLabel* lblVolumeValue = nullptr;
    QLabel* lblSize = nullptr;
    QLabel* lblSizeValue = nullptr;
    platform::WrappedLabel* lblTickerStatus = nullptr;
    platform::PopupMenu* m_cOptionsMenu = nullptr;
    // The last texts the status line showed, the latest last, each once,
    // less those withdrawn.
    QStringList m_statusShown;

    QString strOptionsDirectory;
    QString m_loadFailure;
    // The status text of the last download that failed, until the next
    // download starts.
    QString m_downloadFailure;
    // Set while both chain grids are filled: user commands wait.
    bool m_filling = false;
    // The window closes after the running download: no messages.
    bool m_quietDownload = false;
};

} // namespace tw
