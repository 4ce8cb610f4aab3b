// The main window's controls and its start-up.

#include "mainwindow/frmStrategies.h"

#include "app/AppIcons.h"
#include "app/AssFile.h"
#include "app/CAppSettings.h"
#include "app/CFormRestore.h"
#include "app/Convert.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "app/cSplitter.h"
#include "charts/frm3dChart.h"
#include "mainwindow/StartupSettings.h"
#include "workspace/PricingSettings.h"
#include "platform/ElidedLabel.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/ReBar.h"
#include "platform/TabStrip.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"
#include "platform/WindowGeometry.h"
#include "workspace/AnalysisSession.h"
#include "workspace/DescriptionPane.h"
#include "workspace/GridLayouts.h"
#include "workspace/LegsPane.h"
#include "workspace/LibraryEdits.h"
#include "workspace/PricingPane.h"
#include "workspace/PayoffSketch.h"
#include "workspace/StrategyLibraryPane.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

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
// Controls

void frmStrategies::createControls()
{
    const auto name = [this](QWidget* w, const char* n) {
        w->setObjectName(QLatin1String(n));
        m_controls.insert(QLatin1String(n), w);
    };
    const auto frame = [&](const char* n, const char* caption) {
        auto* g = new QGroupBox(QString::fromUtf8(caption), this);
        name(g, n);
        return g;
    };
    const auto label = [&](QWidget* parent, const char* n, const char* caption) {
        auto* l = new QLabel(QString::fromUtf8(caption), parent);
        name(l, n);
        return l;
    };
    const auto lineEdit = [&](QWidget* parent, const char* n, const char* text) {
        auto* e = new QLineEdit(QString::fromUtf8(text), parent);
        name(e, n);
        return e;
    };
    const auto combo = [&](QWidget* parent, const char* n) {
        auto* c = new QComboBox(parent);
        name(c, n);
        return c;
    };
    const auto button = [&](QWidget* parent, const char* n, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), parent);
        name(b, n);
        return b;
    };

    // Rebar with the menu bar and the toolbar.
    rbrMain = new platform::ReBar(this);
    tbrMenu = new QMenuBar;
    tbrMenu->setObjectName(QStringLiteral("tbrMenu"));
    tbrMenu->setNativeMenuBar(false);
    tbrTools = new platform::Toolbar;
    tbrTools->setObjectName(QStringLiteral("tbrTools"));

    // Frames.
    m_library = new StrategyLibraryPane(*m_session, this);
    m_panes.append(m_library);
    m_description = new DescriptionPane(*m_session, this);
    m_panes.append(m_description);
    m_legs = new LegsPane(*m_session, this);
    m_panes.append(m_legs);
    fraExchange = frame("fraExchange", " Stock parameters");


    // Bottom pane.
    lblStockValue = label(fraExchange, "lblStockValue", "");
    lblPriceValue = label(fraExchange, "lblPriceValue", "");
    lblDateValue = label(fraExchange, "lblDateValue", "");
    lblStatus = new platform::ElidedLabel(fraExchange);
    name(lblStatus, "lblStatus");
    tabOptionsNew = new platform::TabStrip(fraExchange);
    name(tabOptionsNew, "tabOptionsNew");

    // The chain panes over the tab strip's client area.
    fraStock = new QFrame(fraExchange);
    name(fraStock, "fraStock");
    gdCalls = new platform::Grid(fraExchange);
    name(gdCalls, "gdCalls");
    gdPuts = new platform::Grid(fraExchange);
    name(gdPuts, "gdPuts");

    lblTicker = label(fraStock, "lblTicker", "Stock");
    txtTicker = lineEdit(fraStock, "txtTicker", "");
    cmdDownload = button(fraStock, "cmdDownload", "Download");
    cmdLookup = button(fraStock, "cmdLookup", "Lookup");
    cmdLoad = button(fraStock, "cmdLoad", "Load from file");
    cmdSave = button(fraStock, "cmdSave", "Save to file");
    lblBid = label(fraStock, "lblBid", "Bid:");
    lblBidValue = label(fraStock, "lblBidValue", "");
    lblAsk = label(fraStock, "lblAsk", "Ask:");
    lblAskValue = label(fraStock, "lblAskValue", "");
    lblNet = label(fraStock, "lblNet", "Change:");
    lblNetValue = label(fraStock, "lblNetValue", "");
    lblVolume = label(fraStock, "lblVolume", "Volume:");
    lblVolumeValue = label(fraStock, "lblVolumeValue", "");
    lblSize = label(fraStock, "lblSize", "Size:");
    lblSizeValue = label(fraStock, "lblSizeValue", "");
    lblTickerStatus = label(fraStock, "lblTickerStatus", "");


    // Splitter bars, on top of the frames.
    for (auto [member, barName] : {std::pair{&picStgDesc, "picStgDesc"}, std::pair{&picDescParam, "picDescParam"},
                                   std::pair{&picChartParams, "picChartParams"},
                                   std::pair{&picParamsOptions, "picParamsOptions"},
                                   std::pair{&picOptionsStock, "picOptionsStock"}}) {
        auto* bar = new QWidget(this);
        name(bar, barName);
        *member = bar;
    }
    for (QWidget* bar : {picStgDesc, picChartParams})
        bar->setCursor(Qt::SizeHorCursor);
    for (QWidget* bar : {picDescParam, picParamsOptions, picOptionsStock})
        bar->setCursor(Qt::SizeVerCursor);

    // The quote labels size themselves to their text.
    for (QLabel* l : {lblStockValue, lblPriceValue, lblDateValue, lblBidValue, lblAskValue, lblNetValue,
                      lblVolumeValue, lblSizeValue})
        setAutoSizeCaption(l, QString());
    QFont bold = lblStockValue->font();
    bold.setBold(true);
    for (QLabel* l : {lblStockValue, lblPriceValue, lblDateValue})
        l->setFont(bold);

    // The pricing boxes lie over the chain's: the boxes of the "Stock" page
    // on top of that page.
    m_pricing = new PricingPane(*m_session, fraExchange);
    m_panes.append(m_pricing);

    // Fixed captions keep their places but widen to their text where the
    // font at hand is wider than the one the layout was drawn for; the
    // layout anchors them by their right edges to the box they name.
    for (const char* n : {"lblModel", "lblSteps", "lblCalculationMode", "lblInterestRate", "lblSetupPrice",
                          "lblExchange", "lblValatility", "chkPLSign"}) {
        layout::ControlRect& r = m_geometry.at(QLatin1String(n));
        const float need = static_cast<float>((m_pricing->preferredWidth(QLatin1String(n)) + 2) * twipsPerPixel());
        if (need > r.width)
            r.width = need;
    }

    // Everything at its design-time place.
    QStringList all;
    for (const layout::ControlRect& r : m_geometry.controls())
        all.append(r.name);
    applyGeometry(all);
    for (QWidget* w : {static_cast<QWidget*>(fraStock), static_cast<QWidget*>(gdCalls), static_cast<QWidget*>(gdPuts)})
        w->raise();
    m_pricing->raise();
    for (QWidget* w : {picStgDesc, picDescParam, picChartParams, picParamsOptions, picOptionsStock})
        w->raise();
    rbrMain->raise();
}

void frmStrategies::connectControls()
{
    connect(m_pricing, &PricingPane::surfaceRedrawRequested, this, [] { frm3dChart::instance()->UpdateChart(); });
    connect(tabOptionsNew, &platform::TabStrip::TabClick, this, [this](int tab) {
        tabOptionsNew_TabClick(tab);
        ArrangeControls();
    });
    connect(m_description, &DescriptionPane::editMenuRequested, this, [this](int x, int y) {
        setEditMenuStates();
        m_cMenu->ShowSubmenuAt(x, y, m_cMenu->IndexOfKey(QStringLiteral("mnuEditCopy")));
    });
    connect(m_legs, &LegsPane::optionShowRequested, this,
            [this](int32_t kind, const QString& code) { SelectInDownloader(kind, code); });
    for (WorkspacePane* pane : std::as_const(m_panes))
        connect(pane, &WorkspacePane::statusMessage, this, [this](const QString& text) { lblStatus->setText(text); });

    for (platform::Grid* grid : {gdCalls, gdPuts}) {
        saveGridLayoutOnChange(this, grid, m_RestoringGrid);
        connect(grid, &platform::Grid::MouseUp, this,
                [this, grid](int button, int, double x, double y) { chainGridMouseUp(grid, button, x, y); });
    }
    connect(cmdLoad, &QPushButton::clicked, this, [this] { cmdLoad_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    cmdSave->setEnabled(false);
    connect(cmdDownload, &QPushButton::clicked, this, [this] { cmdDownload_Click(); });
    connect(cmdLookup, &QPushButton::clicked, this, [this] { cmdLookup_Click(); });
    connect(rbrMain, &platform::ReBar::HeightChanged, this, [this] { rbrMain_HeightChanged(); });

}

QWidget* frmStrategies::control(const QString& name) const
{
    return m_controls.value(name, nullptr);
}

double frmStrategies::twipsPerPixel() const
{
    return tw::twipsPerPixel(logicalDpiY());
}

QPoint frmStrategies::popupPoint(const QWidget* frame, const QWidget* control, double x, double y) const
{
    const double tpp = twipsPerPixel();
    return QPoint(static_cast<int>(roundHalfEven(frame->x() * tpp + control->x() * tpp + x)),
                  static_cast<int>(roundHalfEven(frame->y() * tpp + control->y() * tpp + y)));
}

float frmStrategies::ScaleWidth() const
{
    return static_cast<float>(width() * twipsPerPixel());
}

float frmStrategies::ScaleHeight() const
{
    return static_cast<float>(height() * twipsPerPixel());
}

layout::ClientArea frmStrategies::clientArea() const
{
    return layout::ClientArea{0.0f, 0.0f, ScaleWidth(), ScaleHeight()};
}

void frmStrategies::applyGeometry(const QString& name)
{
    if (!m_geometry.contains(name))
        return;
    const QRect rect = layout::pixelRect(m_geometry.at(name), 1440.0 / twipsPerPixel());
    if (QWidget* w = control(name)) {
        w->setGeometry(rect);
        return;
    }
    for (WorkspacePane* pane : std::as_const(m_panes)) {
        if (pane->hasControl(name)) {
            pane->placeControl(name, rect);
            return;
        }
    }
}

void frmStrategies::applyGeometry(const QStringList& names)
{
    for (const QString& n : names)
        applyGeometry(n);
}

void frmStrategies::setAutoSizeCaption(QLabel* label, const QString& caption)
{
    label->setText(caption);
    const QString n = label->objectName();
    if (!m_geometry.contains(n))
        return;
    const int px = caption.isEmpty() ? 5 : label->fontMetrics().horizontalAdvance(caption) + 2;
    layout::ControlRect& r = m_geometry.at(n);
    r.width = static_cast<float>(px * twipsPerPixel());
    applyGeometry(n);
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
    TW_STEP(proc, {
        tabOptionsNew->AddTab(QStringLiteral("Stock"));
        tabOptionsNew->AddTab(QStringLiteral("Calls"));
        tabOptionsNew->AddTab(QStringLiteral("Puts"));
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
            LoadOptionFromFile();
    });
    TW_STEP(proc, UpdateControls());
    TW_STEP(proc, {
        if (chainNamed && m_session->ObjStock() == nullptr && !QFileInfo(m_session->dataFile()).isFile()) {
            const QString text = QStringLiteral("The \"%1\" file is not found.").arg(m_session->dataFile());
            lblTickerStatus->setText(QLatin1Char(' ') + text);
            dialogs().messageBox(text, Msg::OkOnly | Msg::Critical, appTitle());
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
    TW_STEP(proc, tabOptionsNew->setSelectedTab(
                      validTab(settingInt(appSettings(), kSettings, QStringLiteral("ViewOptions"), 1))));
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
    TW_STEP(proc, {
        const int n = validChartCount(settingInt(appSettings(), kSettings, QStringLiteral("CCCount"), 1));
        for (int i = 1; i <= n; ++i)
            AddNewCustomChart(i);
    });
    TW_STEP(proc, {
        if (settingBool(appSettings(), kSettings, QStringLiteral("3dChartVisible"), true))
            frm3dChart::instance()->show();
    });
    TW_STEP(proc, m_pricing->cbCalculationMode_Click());
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
    const layout::BarPositions defaults = layout::defaultBarPositions(ScaleWidth(), ScaleHeight());
    layout::BarPositions bars;
    CAppSettings& s = appSettings();
    for (const layout::SplitterBar bar :
         {layout::SplitterBar::StgDesc, layout::SplitterBar::ChartParams, layout::SplitterBar::DescParam,
          layout::SplitterBar::ParamsOptions, layout::SplitterBar::OptionsStock}) {
        bars.set(bar, static_cast<float>(
                          settingDouble(s, kSettings, layout::barSettingKey(bar), defaults.get(bar))));
    }
    bars = layout::keepHorizontalBarsInOrder(bars, ScaleHeight());
    // Vertical bars restored beyond the window come back by the drag rule.
    bars.stgDescLeft = layout::clampVerticalBarAfterDrag(bars.stgDescLeft, 0, ScaleWidth());
    bars.chartParamsLeft = layout::clampVerticalBarAfterDrag(bars.chartParamsLeft, 0, ScaleWidth());
    layout::setBarPositions(m_geometry, bars);
}

void frmStrategies::DelayTimer_Timer()
{
    shielded("frmStrategies.DelayTimer_Timer", [this] {
        frm3dChart::instance()->UnlockMouseMove = true;
        DelayTimer->stop();
    });
}

} // namespace tw
