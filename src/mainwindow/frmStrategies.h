#pragma once
// The main window: the frame around the panes of the strategy workspace.
//
// It does the program's start-up work in Form_Load and ends the program when
// it is closed; it carries the menu bar, the toolbar and the rebar, lays the
// panes out in twips around five splitter bars, keeps the status line and
// the list of 2-D chart windows, and is the chart windows' host.
//
// What the window works on lives in its AnalysisSession; the panes
// (workspace/: library, description, legs, pricing boxes, chain) own their
// controls and talk to each other only through the session. The frame hands
// the session's announcements to the chart windows, places the panes'
// controls by name, and forwards its menu and toolbar commands to the panes.

#include "charts/ChartHost.h"
#include "mainwindow/MainWindowLayout.h"
#include "mainwindow/SplitterRules.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

class QGroupBox;
class QLabel;
class QMenuBar;
class QTimer;

namespace tw {

class AnalysisSession;
class ChainPane;
class DescriptionPane;
class LegsPane;
class PricingPane;
class StrategyLibraryPane;
class WorkspacePane;
class cSplitter;
class frmChart;
struct Evaluation;

namespace platform {
class PopupMenu;
class ReBar;
class Toolbar;
} // namespace platform

class frmStrategies : public QWidget, public ChartHost {
    Q_OBJECT
public:
    // Creates the one main window and runs its start-up (Form_Load); a second
    // call returns the existing window.
    static frmStrategies* load();
    // The main window, or nullptr before load and after it was closed.
    static frmStrategies* instance();
    ~frmStrategies() override;

    // What the window works on: chain, library, pricing inputs, evaluation.
    AnalysisSession& session() const { return *m_session; }

    // ---- Start and end --------------------------------------------------
    void Form_Load();
    // Starts the one-shot timer (5000 ms) once the window shows.
    void startDelayTimer();
    void DelayTimer_Timer();
    // Close request: returns true (cancel) when the user keeps the window open.
    bool Form_QueryUnload();
    void Form_Unload();
    // The system ends the program (a signal, the session manager): writes
    // everything a confirmed exit writes, and the strategies not saved to a
    // recovery file beside the settings, asking nothing from here on. Only
    // the first call does anything; the windows stay until the window is
    // closed, which then writes nothing more.
    void endSession();
    bool sessionEnded() const { return m_sessionEnded; }

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
    // x, y: twips in the owner's client area.
    void ShowWindowListMenu(int32_t x, int32_t y, QWidget* Owner) override;
    void SelectStrategiesForm();
    void RecreateChartListMenu();
    void TileWindows();
    void m_cChartList_Click(int itemNumber);
    // Open 2-D chart windows in the order they were opened, by chart key
    // ("C" and a running number that is never reused).
    const QList<QPair<QString, QPointer<frmChart>>>& openCharts() const { return m_Charts; }
    int32_t chartCounter() const { return m_ChartCounter; }
    // The open chart window with that key, or nullptr.
    frmChart* chartByKey(const QString& key) const;

    // ---- What the chart windows read of the main window -------------------
    std::shared_ptr<stock> hostStock() const override;
    double hostCalcStockPrice() const override;
    double hostStartStrategyPrice() const override;
    double hostDividends() const override;
    int32_t hostSteps() const override;
    int32_t hostModel() const override;
    bool hostPLSign() const override;
    QWidget* hostWindow() override { return this; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    explicit frmStrategies(QWidget* parent = nullptr);

    // ---- Controls and panes (FrameLayout.cpp places them) ------------------
    void createControls();
    void createSplitters();
    void connectControls();
    // The widget of one of the frame's own controls by its name.
    QWidget* control(const QString& name) const;
    // Puts every control (the frame's or a pane's) at its rectangle of the
    // twips geometry.
    void applyGeometry(const QStringList& names);
    void applyGeometry(const QString& name);
    // The widths of the auto-sized captions, as their texts need them.
    void syncCaptionWidths();
    // A chain page was shown: the stock page's pricing boxes go with it.
    void chainPageShown(int tab);
    // Reads a bar's place back from its widget after a drag.
    void syncBarFromWidget(layout::SplitterBar bar);
    void splitComplete(layout::SplitterBar bar);
    layout::ClientArea clientArea() const;
    // Where the tab strip's client area lies inside the strip (twips), and
    // the height the bottom band needs to show the chain panes whole.
    layout::TabClientInsets tabClientInsets() const;
    float bottomBandNeed() const;
    double twipsPerPixel() const;
    // The Edit commands' states by the focused control and the clipboard.
    void setEditMenuStates();

    // ---- Start-up and exit steps that have their own rules ---------------
    void restoreGeometry();
    void restoreBarPositions();
    void saveWorkspaceSettings();
    // What a confirmed exit keeps of the chart windows: whether the 3-D
    // window shows and its own settings, the number of 2-D chart windows and
    // each one's settings under its number.
    void saveChartWindows();
    // Closes every chart window; their settings are written already.
    void closeChartWindows();
    // Tells the user, once, of the recovery file an end by the system wrote.
    void announceRecoveredStrategies();

    // ---- The chart windows follow the session (ChartWindows.cpp) ---------
    void connectSession();
    // Runs `f` on every open 2-D chart window.
    template <class F>
    void forEachChart(F&& f) const
    {
        for (const auto& entry : m_Charts) {
            if (entry.second != nullptr)
                f(entry.second.data());
        }
    }
    // Gives a chart window the loaded chain's pricing price, date and ticker
    // (nothing without a chain).
    void showStockIn(frmChart* chart) const;
    void showEvaluation(const Evaluation& ev);
    void clearChartLegs();
    // Brings back the chart window of a Windows-menu or window-list entry
    // (its key is the chart-window prefix and the chart's key).
    void showChartWindow(const QString& entryKey);
    // The Windows-menu entries follow the captions the chart windows
    // announced (a caption two windows share is numbered).
    void refreshChartEntries();
    // A new chart window (no stored place, not the first chart of a start,
    // which goes beside the main window) goes a title bar below and right of
    // the new one opened before it, or to its default place.
    void cascadeNewChart(frmChart* chart, int32_t AsNumber);
    // The step of a cascade of windows: a title bar, the window manager's
    // of `framed` (or of the main window, should `framed` not be framed
    // yet), else the style's.
    int cascadeStep(const QWidget* framed) const;
    // The chart windows and the 3-D window of the last run, whose places
    // saved on a larger screen brought several to one place, spread into a
    // cascade in the order they open (startup, after the charts reopened).
    void spreadRestoredWindows();
    // Shows a window that the start reopens without giving it the keyboard,
    // which stays with the main window.
    static void showWithoutKeyboard(QWidget* window);

    // The frame's controls.
    platform::ReBar* rbrMain = nullptr;
    QMenuBar* tbrMenu = nullptr;
    platform::Toolbar* tbrTools = nullptr;
    QWidget* picStgDesc = nullptr;
    QWidget* picDescParam = nullptr;
    QWidget* picChartParams = nullptr;
    QWidget* picParamsOptions = nullptr;
    QWidget* picOptionsStock = nullptr;
    // The bottom frame, which holds the chain and pricing panes and the
    // status line.
    QGroupBox* fraExchange = nullptr;
    QLabel* lblStatus = nullptr;
    // One-shot start-up timer (5000 ms).
    QTimer* DelayTimer = nullptr;

    // The menu bar, the panes' popups and the window list.
    platform::PopupMenu* m_cMenu = nullptr;
    platform::PopupMenu* m_cStrategiesMenu = nullptr;
    platform::PopupMenu* m_cOptionsMenu = nullptr;
    platform::PopupMenu* m_cParamsMenu = nullptr;
    platform::PopupMenu* m_cChartList = nullptr;

    std::unique_ptr<cSplitter> m_cSplitStgDesc;
    std::unique_ptr<cSplitter> m_cSplitChartParams;
    std::unique_ptr<cSplitter> m_cSplitDescParams;
    std::unique_ptr<cSplitter> m_cSplitParamsOptions;
    std::unique_ptr<cSplitter> m_cSplitOptionsStock;

    AnalysisSession* m_session = nullptr;
    StrategyLibraryPane* m_library = nullptr;
    DescriptionPane* m_description = nullptr;
    LegsPane* m_legs = nullptr;
    ChainPane* m_chain = nullptr;
    PricingPane* m_pricing = nullptr;
    // Every pane, for the layout, which places their controls by name.
    QList<WorkspacePane*> m_panes;

    QList<QPair<QString, QPointer<frmChart>>> m_Charts;
    int32_t m_ChartCounter = 0;
    // The caption each open chart window announced last, by chart key.
    QHash<QString, QString> m_chartCaptions;
    // The keys of the open chart windows that were placed as new ones.
    QSet<QString> m_newChartKeys;

    bool m_DecimalComma = false;
    QString m_DecimalSeparator;
    int32_t m_FormWidth = 0;
    int32_t m_FormHeight = 0;
    // No bar position was stored: the bars keep to their default rule as the
    // client area changes, until the user drags one.
    bool m_barsAtDefault = false;
    // The horizontal bars keep the bottom band whole (fitHorizontalBars) as
    // the client area changes: from the start-up on, and again from every
    // maximise and restore, until the user drags a horizontal bar.
    bool m_keepBottomBand = false;
    layout::LayoutGeometry m_geometry;
    QHash<QString, QWidget*> m_controls;
    // The window closes once the running download has ended.
    bool m_closeAfterDownload = false;
    bool m_unloaded = false;
    // The system ended the program: everything is written.
    bool m_sessionEnded = false;
};

} // namespace tw
