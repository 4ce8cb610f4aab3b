// The main window's start-up: the window itself, Form_Load and the start-up
// steps that have rules of their own.

#include "mainwindow/frmStrategies.h"

#include "app/AppIcons.h"
#include "app/AssFile.h"
#include "app/CAppSettings.h"
#include "app/CFormRestore.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "app/cSplitter.h"
#include "charts/frm3dChart.h"
#include "mainwindow/StartupSettings.h"
#include "marketdata/QuoteTable.h"
#include "platform/PopupMenu.h"
#include "platform/ReBar.h"
#include "platform/Toolbar.h"
#include "platform/Workbook.h"
#include "platform/WindowGeometry.h"
#include "workspace/AnalysisSession.h"
#include "workspace/ChainPane.h"
#include "workspace/LibraryEdits.h"
#include "workspace/PricingPane.h"
#include "workspace/PricingSettings.h"
#include "workspace/StrategyLibraryPane.h"
#include "workspace/StrategySheet.h"

#include <QFileInfo>
#include <QLocale>
#include <QMenuBar>
#include <QTimer>

namespace tw {

namespace {
frmStrategies* g_instance = nullptr;

const QString kSettings = QStringLiteral("Settings");
} // namespace

frmStrategies* frmStrategies::load()
{
    if (g_instance == nullptr) {
        g_instance = new frmStrategies;
        g_instance->Form_Load();
    }
    return g_instance;
}

frmStrategies* frmStrategies::instance()
{
    return g_instance;
}

frmStrategies::frmStrategies(QWidget* parent)
    : QWidget(parent), m_geometry(layout::LayoutGeometry::designTime())
{
    setObjectName(QStringLiteral("frmStrategies"));
    setWindowTitle(QStringLiteral("Tarnwell"));
    setWindowIcon(AppIcons::programIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    // The panes are sized for a small dialog font, as the layout's twips
    // expect (8.25 points).
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSizeF(8.25);
    f.setStyleHint(QFont::SansSerif);
    setFont(f);
    resize(900, 680);

    DelayTimer = new QTimer(this);
    DelayTimer->setObjectName(QStringLiteral("DelayTimer"));
    DelayTimer->setSingleShot(true);
    DelayTimer->setInterval(5000);
    connect(DelayTimer, &QTimer::timeout, this, [this] { DelayTimer_Timer(); });

    m_session = new AnalysisSession(this);
    createControls();
    connectControls();
    connectSession();
    // The 3-D window reads the pricing values through it.
    setChartHost(this);
}

frmStrategies::~frmStrategies()
{
    if (g_instance == this)
        g_instance = nullptr;
    if (chartHost() == this)
        setChartHost(nullptr);
}

// ---------------------------------------------------------------------------
// Start-up

void frmStrategies::Form_Load()
{
    Procedure proc("frmStrategies", "Form_Load");
    // The minimum size is the window's own (the window system enforces it).
    TW_STEP(proc, setMinimumSize(500, 300));
    TW_STEP(proc, m_Charts.clear());
    TW_STEP(proc, CreateMainMenu());
    TW_STEP(proc, CreateToolBar());
    TW_STEP(proc, m_cMenu->FillMenuBar(tbrMenu));
    TW_STEP(proc, {
        rbrMain->AddBandByHwnd(tbrMenu, QString(), false, false, QStringLiteral("MENU"));
        rbrMain->AddBandByHwnd(tbrTools, QString(), false, false, QStringLiteral("TOOLS"));
    });
    TW_STEP(proc, createSplitters());
    TW_STEP(proc, {
        const QString half = QLocale().toString(0.5);
        const QString sep = half.size() >= 2 ? half.mid(1, 1) : QStringLiteral(".");
        m_DecimalComma = sep != QLatin1String(".");
        m_DecimalSeparator = m_DecimalComma ? sep : QString();
    });
    TW_STEP(proc, m_pricing->restorePricingParameters(readPricingSettings(appSettings())));
    // A chain file named on the command line that cannot be found is
    // reported; the last file of an earlier run only in the status line.
    bool chainNamed = false;
    TW_STEP(proc, {
        const QStringList args = SplitCommandLine(4);
        const int n = static_cast<int>(args.size()) - 1;
        for (int pair = 1; pair + 1 <= n && pair <= 3; pair += 2) {
            const QString sw = args.at(pair).toUpper();
            if (sw == QLatin1String("-O")) {
                m_session->setDataFile(args.at(pair + 1));
                chainNamed = true;
            }
            else if (sw == QLatin1String("-S"))
                m_session->setLibraryFile(args.at(pair + 1));
        }
    });
    TW_STEP(proc, {
        if (m_session->dataFile().isEmpty())
            m_session->setDataFile(settingText(appSettings(), kSettings, QStringLiteral("LastFile"), QString()));
        if (!m_session->dataFile().isEmpty())
            m_chain->LoadOptionFromFile();
    });
    TW_STEP(proc, m_chain->UpdateControls());
    TW_STEP(proc, {
        if (chainNamed && m_session->ObjStock() == nullptr) {
            // A file that is not found, a folder, a file that cannot be
            // opened or read as a chain file is said so (one whose table is
            // refused, by the parser).
            QString text = marketdata::chainFileOpenProblem(m_session->dataFile());
            if (text.isEmpty())
                text = m_chain->loadFailure();
            if (!text.isEmpty()) {
                m_chain->showTickerStatus(QLatin1Char(' ') + text);
                dialogs().messageBox(text, Msg::OkOnly | Msg::Critical, appTitle());
            }
        }
    });
    TW_STEP(proc, m_session->setDataNotSaved(false));
    TW_STEP(proc, TileWindows());
    TW_STEP(proc, {
        if (m_session->libraryFile().isEmpty())
            m_session->setLibraryFile(settingText(appSettings(), kSettings, QStringLiteral("StrategyTypesFile"),
                                                  QLatin1String(DefaultStrategiesFile)));
        if (QFileInfo(m_session->libraryFile()).fileName() == m_session->libraryFile()
            && !QFileInfo::exists(m_session->libraryFile()))
            m_session->setLibraryFile(locateShippedFile(m_session->libraryFile()));
        m_library->LoadStartupStrategies();
    });
    TW_STEP(proc, AssociateFile());
    // Temporary files of exports that an earlier run was killed in the middle of.
    TW_STEP(proc, platform::removeWorkbookLeftovers(exportFolder()));
    TW_STEP(proc, restoreGeometry());
    TW_STEP(proc, {
        platform::setWindowStateCode(this, platform::StateNormal);
        platform::setWindowStateCode(frm3dChart::instance(), platform::StateNormal);
    });
    // A saved node that no longer exists simply leaves nothing selected.
    try {
        m_library->restoreSelection(
            settingText(appSettings(), kSettings, QStringLiteral("StgSelectedStrategy"), QStringLiteral("T1S1")));
    } catch (...) {
    }
    TW_STEP(proc, m_chain->selectTab(validTab(settingInt(appSettings(), kSettings, QStringLiteral("ViewOptions"), 1))));
    TW_STEP(proc, {
        const layout::RecordedSize rec = layout::recordOuterSize(platform::outerTwips(this).width(),
                                                                 platform::outerTwips(this).height(), {});
        m_FormWidth = rec.width;
        m_FormHeight = rec.height;
    });
    TW_STEP(proc, restoreBarPositions());
    TW_STEP(proc, {
        show();
        ArrangeControls();
    });
    // The windows of the last run open over the main window, which keeps
    // the keyboard.
    TW_STEP(proc, {
        const int n = validChartCount(settingInt(appSettings(), kSettings, QStringLiteral("CCCount"), 1));
        for (int i = 1; i <= n; ++i)
            AddNewCustomChart(i);
    });
    TW_STEP(proc, spreadRestoredWindows());
    TW_STEP(proc, {
        if (settingBool(appSettings(), kSettings, QStringLiteral("3dChartVisible"), true))
            showWithoutKeyboard(frm3dChart::instance());
    });
    TW_STEP(proc, m_pricing->cbCalculationMode_Click());
    TW_STEP(proc, announceRecoveredStrategies());
}

void frmStrategies::restoreGeometry()
{
    CAppSettings& s = appSettings();
    if (settingDouble(s, kSettings, QStringLiteral("StgLeft"), -1) == -1)
        return;
    // Every place read goes through the same checks before a window gets it.
    CFormRestore::restorePlace(
        this, CFormRestore::readPlace(s, kSettings, mainWindowPlaceKeys(), CFormRestore::placeToSave(this)));
    frm3dChart::instance()->RestorePlace();
}

void frmStrategies::restoreBarPositions()
{
    const layout::BarPositions defaults =
        layout::defaultBarPositions(ScaleWidth(), ScaleHeight(), bottomBandNeed());
    layout::BarPositions bars;
    CAppSettings& s = appSettings();
    m_barsAtDefault = true;
    for (const layout::SplitterBar bar :
         {layout::SplitterBar::StgDesc, layout::SplitterBar::ChartParams, layout::SplitterBar::DescParam,
          layout::SplitterBar::ParamsOptions, layout::SplitterBar::OptionsStock}) {
        const QString key = layout::barSettingKey(bar);
        m_barsAtDefault = m_barsAtDefault && !s.GetSetting(kSettings, key, QVariant()).isValid();
        bars.set(bar, static_cast<float>(settingDouble(s, kSettings, key, defaults.get(bar))));
    }
    // Bars saved for a taller window leave the bottom band whole here too.
    m_keepBottomBand = true;
    bars = layout::fitHorizontalBars(bars, ScaleHeight(), bottomBandNeed());
    // Vertical bars restored beyond the window come back by the drag rule.
    bars.stgDescLeft = layout::clampVerticalBarAfterDrag(bars.stgDescLeft, 0, ScaleWidth());
    bars.chartParamsLeft = layout::clampVerticalBarAfterDrag(bars.chartParamsLeft, 0, ScaleWidth());
    layout::setBarPositions(m_geometry, bars);
}

void frmStrategies::startDelayTimer()
{
    DelayTimer->start();
}

void frmStrategies::DelayTimer_Timer()
{
    shielded("frmStrategies.DelayTimer_Timer", [this] {
        frm3dChart::instance()->UnlockMouseMove = true;
        DelayTimer->stop();
    });
}

} // namespace tw
