// A 2-D chart window's settings: its place and its choices (switches, axes,
// fixed parameter, always on top), kept in section "Settings\CC" followed by
// the chart's number and read back when the window is opened.

#include "charts/frmChart.h"

#include "app/CAppSettings.h"
#include "app/CFormRestore.h"
#include "app/Convert.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "charts/ChartHost.h"
#include "charts/ChartTexts.h"
#include "platform/Toolbar.h"
#include "platform/WindowGeometry.h"

#include <QComboBox>

#include <algorithm>

namespace tw {

namespace {

const QString kSettingsPrefix = QStringLiteral("Settings\\CC");

// The keys of a chart's place in its section.
QStringList placeKeys()
{
    return {QStringLiteral("Left"), QStringLiteral("Top"), QStringLiteral("Width"), QStringLiteral("Height")};
}

} // namespace

QRectF frmChart::pDefaultPlace(int32_t AsNumber) const
{
    const QRect area = platform::workArea(this);
    const double tpp = twipsPerPixel();
    const double w = (static_cast<double>(area.left()) + area.width()) * tpp - area.left() * tpp;
    const double h = (static_cast<double>(area.top()) + area.height()) * tpp - area.top() * tpp;
    QRectF place;
    QWidget* main = m_host != nullptr ? m_host->hostWindow() : nullptr;
    if (AsNumber == 1 && main != nullptr) {
        const QRectF m = platform::outerTwips(main);
        place = QRectF(roundHalfEven(m.left() + m.width()), roundHalfEven(m.top()),
                       roundHalfEven(w - (m.left() + m.width())), roundHalfEven(h / 2 - m.top()));
    }
    // Beside the main window only when there is room for it there.
    if (place.width() < 1500 || place.height() < 1500)
        place = QRectF(roundHalfEven(w / 4), roundHalfEven(h / 4), roundHalfEven(w / 2), roundHalfEven(h / 2));
    return place;
}

// The saved place goes the program's one checked road to a window's place:
// a value that is not a number, a size that is not above zero, a window
// larger than the work area or a place off every screen never reaches the
// window as it stands. What a bad value falls back to is the default place.
void frmChart::pRestorePlace(const QString& section, const QRectF& defaultPlace)
{
    const CAppSettings& s = appSettings();
    const QStringList keys = placeKeys();
    m_placeRestored = std::any_of(keys.begin(), keys.end(), [&](const QString& key) {
        return s.GetSetting(section, key, QVariant()).isValid();
    });
    CFormRestore::restorePlace(this, defaultPlace);
    m_placeMoved = CFormRestore::restorePlace(this, CFormRestore::readPlace(s, section, keys, defaultPlace))
        && m_placeRestored;
    platform::setWindowStateCode(this, platform::StateNormal);
}

void frmChart::SaveParams(int32_t& AsNumber)
{
    Procedure proc("frmChart", "SaveParams");
    // Every failing write is skipped.
    const QString section = kSettingsPrefix + QString::number(AsNumber);
    CAppSettings& s = appSettings();
    const auto save = [&](const char* key, const QVariant& value) {
        shielded("frmChart.SaveParams", [&] { s.SaveSetting(section, QLatin1String(key), value); });
    };
    const int state = platform::windowStateCode(this);
    save("WindowState", state);
    if (state == platform::StateNormal)
        shielded("frmChart.SaveParams", [&] { CFormRestore::savePlace(s, section, placeKeys(), this); });
    save("Percent", m_sweep.Percent);
    save("TimeValue", m_sweep.TimeValue);
    save("Total", m_sweep.Total);
    save("AxisX", m_sweep.AxisX);
    save("AxisY", m_sweep.AxisY);
    save("Params", cbParam->currentIndex());
    save("OnTop", tbrChartMode->ButtonChecked(tbrChartMode->ButtonIndex(QStringLiteral("ontop"))));
}

void frmChart::RestoreParams(int32_t AsNumber)
{
    Procedure proc("frmChart", "RestoreParams");
    QRectF place;
    TW_STEP(proc, place = pDefaultPlace(AsNumber));
    const QString section = kSettingsPrefix + QString::number(AsNumber);
    const CAppSettings& s = appSettings();
    TW_STEP(proc, {
        const bool wasEnabled = updatesEnabled();
        setUpdatesEnabled(false);
        pRestorePlace(section, place);
        setUpdatesEnabled(wasEnabled);
    });
    // The switches go through their buttons, as a click would.
    const struct {
        const char* button;
        const char* key;
        bool byDefault;
    } switches[] = {{"percent", "Percent", true}, {"timevalue", "TimeValue", false}, {"total", "Total", true}};
    for (const auto& sw : switches) {
        TW_STEP(proc, {
            const int b = tbrChartMode->ButtonIndex(QLatin1String(sw.button));
            tbrChartMode->setButtonChecked(b, settingBool(s, section, QLatin1String(sw.key), sw.byDefault));
            tbrChartMode_ButtonClick(b);
        });
    }
    // The axes go through their menu commands; a number no command sets
    // gives the stock price and the value.
    TW_STEP(proc, pRunMenuCommand(axisXCommandKey(settingInt(s, section, QStringLiteral("AxisX"), 3))));
    TW_STEP(proc, pRunMenuCommand(axisYCommandKey(settingInt(s, section, QStringLiteral("AxisY"), 5))));
    TW_STEP(proc, {
        // A stored entry the box does not have gives its first entry.
        const int stored = settingInt(s, section, QStringLiteral("Params"), 0);
        pSelectParam(stored >= 0 && stored < cbParam->count() ? stored : 0);
    });
    TW_STEP(proc, {
        const int b = tbrChartMode->ButtonIndex(QStringLiteral("ontop"));
        tbrChartMode->setButtonChecked(b, settingBool(s, section, QStringLiteral("OnTop"), false));
        SetTopmost(tbrChartMode->ButtonChecked(b));
    });
}

} // namespace tw
