#pragma once
// The main window. It does the program's start-up work in Form_Load, holds
// the panes of the strategy workspace (strategy tree, description, payoff
// sketch, leg grids, chain panes, pricing boxes), lays them out in twips
// around five splitter bars, carries the menu bar, the toolbar and the list
// of chart windows, and ends the program when it is closed.
//
// Controls are public members named as the program has always named them;
// each widget's object name is its member name.

#include "charts/ChartHost.h"
#include "mainwindow/MainWindowLayout.h"
#include "mainwindow/SplitterRules.h"
#include "model/LegsArray.h"
#include "workspace/AnalysisSession.h"
#include "platform/RichTextBox.h"
#include "platform/TreeView.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFont;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace tw {

class cSplitter;
class frmChart;
class frmDonwloadProgress;
class frmSymbolLookup;
class StrategyLibraryPane;
class DescriptionPane;
class LegsPane;
class PricingPane;
class WorkspacePane;
class WinInet;
class Procedure;
class PayoffSketch;
struct Evaluation;
struct EvaluationInputs;
struct PricingContext;
enum class PriceSource;
class OptionsCollection;
class ParamsCollection;
class StrategyTypeCollection;
class stock;

namespace marketdata {
struct ParseResult;
}

namespace platform {
class Grid;
class PopupMenu;
class ReBar;
class TabStrip;
class Toolbar;
} // namespace platform

class AnalysisSession;

class frmStrategies : public QWidget, public ChartHost {
    Q_OBJECT
public:
    // Creates the one main window and runs its start-up (Form_Load); a second
    // call returns the existing window.
    static frmStrategies* load();
    // The main window, or nullptr before load and after it was closed.
    static frmStrategies* instance();

    ~frmStrategies() override;

    // ---- Controls -------------------------------------------------------
    platform::ReBar* rbrMain = nullptr;
    QMenuBar* tbrMenu = nullptr;
    platform::Toolbar* tbrTools = nullptr;

    // Splitter bars.
    QWidget* picStgDesc = nullptr;
    QWidget* picDescParam = nullptr;
    QWidget* picChartParams = nullptr;
    QWidget* picParamsOptions = nullptr;
    QWidget* picOptionsStock = nullptr;

    // Frames of the panes and what fills them.
    QGroupBox* fraExchange = nullptr;
    QFrame* fraStock = nullptr;
    platform::Grid* gdCalls = nullptr;
    platform::Grid* gdPuts = nullptr;

    // Bottom pane: quote line, status row, pricing boxes, chain tabs.
    QLabel* lblStockValue = nullptr;
    QLabel* lblPriceValue = nullptr;
    QLabel* lblDateValue = nullptr;
    QLabel* lblStatus = nullptr;
    platform::TabStrip* tabOptionsNew = nullptr;

    // The "Stock" page.
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
    QLabel* lblTickerStatus = nullptr;
    QLabel* lblTicker = nullptr;
    QLineEdit* txtTicker = nullptr;
    QPushButton* cmdDownload = nullptr;
    QPushButton* cmdLookup = nullptr;
    QPushButton* cmdLoad = nullptr;
    QPushButton* cmdSave = nullptr;

    // One-shot start-up timer (5000 ms), enabled by Main once the window shows.
    QTimer* DelayTimer = nullptr;

    // ---- Menus ----------------------------------------------------------
    platform::PopupMenu* m_cMenu = nullptr;
    platform::PopupMenu* m_cStrategiesMenu = nullptr;
    platform::PopupMenu* m_cOptionsMenu = nullptr;
    platform::PopupMenu* m_cChartList = nullptr;

    // ---- Splitters ------------------------------------------------------
    std::unique_ptr<cSplitter> m_cSplitStgDesc;
    std::unique_ptr<cSplitter> m_cSplitChartParams;
    std::unique_ptr<cSplitter> m_cSplitDescParams;
    std::unique_ptr<cSplitter> m_cSplitParamsOptions;
    std::unique_ptr<cSplitter> m_cSplitOptionsStock;

    // ---- Public values --------------------------------------------------
    QString strOptionsDirectory;
    bool m_DecimalComma = false;
    QString m_DecimalSeparator;
    int32_t m_FormWidth = 0;
    int32_t m_FormHeight = 0;

    // What the window works on: chain, library, pricing inputs, evaluation.
    AnalysisSession& session() const { return *m_session; }

    // Open 2-D chart windows in the order they were opened, by chart key.
    QList<QPair<QString, QPointer<frmChart>>> m_Charts;
    int32_t m_ChartCounter = 0;

    // ---- Start and end (start-up, exit) ---------------------------------
    void Form_Load();
    void DelayTimer_Timer();
    // Close request: returns true (cancel) when the user keeps the window open.
    bool Form_QueryUnload();
    void Form_Unload();

    // ---- Layout, resize, splitters --------------------------------------
    void ArrangeControls();
    void Form_Resize();
    void Form_MouseMove(int button, int shift, float x, float y);
    void Form_MouseUp(int button, int shift, float x, float y);
    void rbrMain_HeightChanged();

    // The twips geometry of the controls the layout places (read-only).
    const layout::LayoutGeometry& layoutGeometry() const { return m_geometry; }
    // The window's client area in twips.
    float ScaleWidth() const;
    float ScaleHeight() const;
    // Sets a label's caption and, like an auto-sized label, its width.
    void setAutoSizeCaption(QLabel* label, const QString& caption);

    // ---- Menus and toolbar ----------------------------------------------
    void CreateMainMenu();
    void CreateToolBar();
    void m_cMenu_Click(int itemNumber);
    void m_cMenu_InitPopupMenu(int parentItemNumber);
    void tbrTools_ButtonClick(int button);
    void tbrTools_DropDownPress(int button);

    // ---- Chart windows --------------------------------------------------
    void AddNewCustomChart(int32_t AsNumber) override;
    void RemoveChart(const QString& Tag) override;
    void CustomChartCaptionChanged(const QString& ChartTag, const QString& NewCaption) override;
    void Select3DChart() override;
    void SelectStrategiesForm();
    // x, y: twips in the owner's client area.
    void ShowWindowListMenu(int32_t x, int32_t y, QWidget* Owner) override;
    void RecreateChartListMenu();
    void TileWindows();
    void m_cChartList_Click(int itemNumber);
    // The open chart window with that key, or nullptr.
    frmChart* chartByKey(const QString& key) const;
    // Brings back the chart window of a Windows-menu or window-list entry
    // (its key is the chart-window prefix and the chart's key).
    void showChartWindow(const QString& entryKey);

    // What the chart windows read of the main window.
    std::shared_ptr<stock> hostStock() const override;
    double hostCalcStockPrice() const override;
    double hostStartStrategyPrice() const override;
    double hostDividends() const override;
    int32_t hostSteps() const override;
    int32_t hostModel() const override;
    bool hostPLSign() const override;
    QWidget* hostWindow() override { return this; }

    // ---- Workspace procedures used by the frame ---------------------------
    // Option-chain files and the quote-table parser.
    void LoadOptionDialog();
    void SaveOptionDialog();
    void LoadOption();
    void SaveOption();
    void cmdLoad_Click();
    void cmdSave_Click();
    void ParseCBOEData();
    // Parses quote-table lines (progress in the ticker status line); false,
    // after telling the user why, when the table is refused (with
    // `refusal`, the reason goes there instead).
    bool parseQuoteLines(const QStringList& lines, marketdata::ParseResult& parsed, QString* refusal = nullptr);
    // Makes a parsed chain the loaded one and shows it.
    void applyParsedChain(const marketdata::ParseResult& parsed);
    // Quote download and symbol lookup.
    void cmdDownload_Click();
    void CancelDownload();
    void cmdLookup_Click();
    void mWinInet_OnProgress(int32_t BytesDownloaded, int32_t BytesTotal);
    void mWinInet_OnStateChanged(int32_t State);
    // The client of the running download (null when none runs), its
    // progress window, and the lookup window (kept between uses).
    QPointer<WinInet> mWinInet;
    QPointer<frmDonwloadProgress> m_DownloadProgress;
    QPointer<frmSymbolLookup> m_SymbolLookup;
    void UpdateControls();
    void LoadOptionFromFile();
    void tabOptionsNew_TabClick(int tab);



    // The Edit commands' states by the focused control and the clipboard.
    void setEditMenuStates();



    // Chain panes.
    void SelectInDownloader(int32_t ItemType, const QString& Code);
    void AddOption(int32_t Position);
    void m_cOptionsMenu_Click(int itemNumber);
    void RestoreGridHeader(platform::Grid* grid);
    bool m_RestoringGrid = false;


protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    explicit frmStrategies(QWidget* parent = nullptr);

    void createControls();
    void createSplitters();
    void connectControls();
    // The widget of a control by its name.
    QWidget* control(const QString& name) const;
    // Puts every widget at its rectangle of the twips geometry.
    void applyGeometry(const QStringList& names);
    void applyGeometry(const QString& name);
    // Reads a bar's place back from its widget after a drag.
    void syncBarFromWidget(layout::SplitterBar bar);
    void splitComplete(layout::SplitterBar bar);
    layout::ClientArea clientArea() const;
    double twipsPerPixel() const;
    // A point in the window's client area, in whole twips, for a popup shown
    // at (x, y) twips inside `control`, which sits in the pane `frame`.
    QPoint popupPoint(const QWidget* frame, const QWidget* control, double x, double y) const;

    // Start-up steps that have their own rules.
    void restoreGeometry();
    void restoreBarPositions();
    void saveWorkspaceSettings();
    void closeChartWindows();
    void showDescription(const QString& rtf);
    // The session's evaluation handed to the charts.
    void showEvaluation(const Evaluation& ev);
    void clearChartLegs();
    void connectSession();
    void fillChainGrid(platform::Grid* grid, const OptionsCollection& side, uint32_t oddBgr, uint32_t evenBgr,
                       const QFont& bold, const QFont& plain);
    QString generalDateText(double serial) const;
    void chainGridMouseUp(platform::Grid* grid, int button, double x, double y);
    void takeDownloadedAnswer();
    void endDownload();
    bool m_closeAfterDownload = false;

    layout::LayoutGeometry m_geometry;
    QHash<QString, QWidget*> m_controls;
    AnalysisSession* m_session = nullptr;
    StrategyLibraryPane* m_library = nullptr;
    DescriptionPane* m_description = nullptr;
    LegsPane* m_legs = nullptr;
    PricingPane* m_pricing = nullptr;
    // The panes' popups, made with the menu bar.
    platform::PopupMenu* m_cParamsMenu = nullptr;
    // Every pane, for the layout, which places their controls by name.
    QList<WorkspacePane*> m_panes;
    bool m_filling = false;
    bool m_unloaded = false;
};

} // namespace tw
