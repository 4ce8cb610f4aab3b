#include "charts/frm3dChart.h"

#include "app/AppIcons.h"
#include "app/CAppSettings.h"
#include "app/Convert.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "charts/ChartHost.h"
#include "charts/LegsSummary.h"
#include "platform/WindowGeometry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tw {

namespace {
frm3dChart* g_chart3d = nullptr;
const QString kSettings = QStringLiteral("Settings");
} // namespace

frm3dChart* frm3dChart::instance()
{
    if (g_chart3d == nullptr) {
        g_chart3d = new frm3dChart;
        g_chart3d->Form_Load();
    }
    return g_chart3d;
}

frm3dChart* frm3dChart::loaded()
{
    return g_chart3d;
}

frm3dChart::frm3dChart() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frm3dChart"));
    setWindowTitle(QStringLiteral("3D chart"));
    setWindowIcon(AppIcons::icon(AppIcons::Chart3D));
    auto* layout = new QVBoxLayout(this);
    chkPercent = new QCheckBox(QStringLiteral("Percent"), this);
    chkPercent->setObjectName(QStringLiteral("chkPercent"));
    m_summary = new QPlainTextEdit(this);
    m_summary->setReadOnly(true);
    layout->addWidget(chkPercent);
    layout->addWidget(m_summary, 1);
    resize(480, 360);
    connect(chkPercent, &QCheckBox::toggled, this, [this] { UpdateChart(); });
}

frm3dChart::~frm3dChart()
{
    if (g_chart3d == this)
        g_chart3d = nullptr;
}

void frm3dChart::Form_Load()
{
    Procedure proc("frm3dChart", "Form_Load");
    TW_STEP(proc, chkPercent->setChecked(settingInt(appSettings(), kSettings, QStringLiteral("3DP"), 1) != 0));
}

bool frm3dChart::percentMode() const
{
    return chkPercent->isChecked();
}

void frm3dChart::UpdateChart()
{
    Procedure proc("frm3dChart", "UpdateChart");
    if (isMinimized())
        return;
    TW_STEP(proc, {
        QString text;
        if (!mLines) {
            text = QStringLiteral("Nothing evaluated.");
        } else {
            text = QStringLiteral("Profit/loss surface (%1)\nVolatility %2 %, interest rate %3 %, dates up to %4\n\n")
                       .arg(ChartHost::CalculationModeCaption)
                       .arg(mVolatility)
                       .arg(mInterestRate)
                       .arg(mMaxDate > 0 ? dateFromSerial(mMaxDate + 7).toString(QStringLiteral("dd MMM yyyy"))
                                         : QStringLiteral("-"));
            text += legsSummary(*mLines);
            if (ChartHost* host = chartHost(); host != nullptr && percentMode())
                text += QStringLiteral("\nPercent of %1").arg(host->hostStartStrategyPrice(), 0, 'f', 2);
        }
        m_summary->setPlainText(text);
    });
}

void frm3dChart::Form_Unload()
{
    // A failing write is skipped; the window goes anyway.
    CAppSettings& s = appSettings();
    const QRectF outer = platform::outerTwips(this);
    for (const auto& [key, value] : {std::pair{"3dChartLeft", outer.left()}, std::pair{"3dChartTop", outer.top()},
                                     std::pair{"3dChartWidth", outer.width()},
                                     std::pair{"3dChartHeight", outer.height()}}) {
        try {
            s.SaveSetting(kSettings, QLatin1String(key), value);
        } catch (...) {
        }
    }
    try {
        s.SaveSetting(kSettings, QStringLiteral("3dChartWindowState"), platform::windowStateCode(this));
        s.SaveSetting(kSettings, QStringLiteral("3DP"), percentMode() ? 1 : 0);
    } catch (...) {
    }
}

void frm3dChart::unload()
{
    m_unloading = true;
    Form_Unload();
    close();
    delete this;
}

void frm3dChart::closeEvent(QCloseEvent* event)
{
    if (m_unloading) {
        event->accept();
        return;
    }
    // The user's close box only hides the window.
    event->ignore();
    hide();
}

} // namespace tw
