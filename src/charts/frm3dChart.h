#pragma once
// The single 3-D chart window: the profit/loss surface of the evaluated
// position over 30 stock prices by 30 dates, in money or in percent of the
// position's initial price, with two view presets and a read-out of the
// point under the mouse. Created and loaded on first use; the user's close
// box only hides it, unloading from code saves its place and percent mode.

#include "model/LegsArray.h"
#include "platform/Chart3D.h"

#include <QWidget>
#include <cstdint>
#include <array>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tw {

class frm3dChart : public QWidget {
    Q_OBJECT
public:
    // The window, created and loaded on first use.
    static frm3dChart* instance();
    // The window when it exists, else nullptr (never creates it).
    static frm3dChart* loaded();
    // Saves its place and percent mode (unless `save` is false: they were
    // saved already), then destroys the window.
    void unload(bool save = true);
    // Writes its percent mode, window state and place.
    void Form_Unload();

    // The evaluated legs, or no value when nothing is evaluated.
    LegsArray mLines;
    double mInterestRate = 0; // percent
    double mVolatility = 0;   // percent
    double mMaxDate = 0;      // date serial of the latest option expiration, 0 for none
    // The mouse read-out over the chart works only once this is set.
    bool UnlockMouseMove = false;

    // Recomputes the surface from mLines and draws it, unless the window is
    // minimised.
    void UpdateChart();
    // The stock code of the caption; a new one renews the caption.
    void setStockTicker(const QString& NewTicker);

    // Puts the window at its saved place ("3dChartLeft"...), each value
    // defaulting to the current one, through the program's checks of a
    // saved place.
    void RestorePlace();
    // Whether the last RestorePlace could not keep the saved place as it
    // was (saved on a larger screen, say).
    bool placeMoved() const { return m_placeMoved; }

    // The controls over the chart.
    platform::Chart3D* Chart3D = nullptr;
    QLineEdit* txtPrice = nullptr;
    QLineEdit* txtDays = nullptr;
    QLineEdit* txtValue = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdZone = nullptr;
    QCheckBox* chkPercent = nullptr;

    // The read-out tables of the last full draw (empty before the first).
    const std::vector<double>& priceValues() const { return m_PriceValues; }
    const std::vector<int32_t>& dayValues() const { return m_DayValues; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    frm3dChart();
    ~frm3dChart() override;
    void Form_Load();
    void Form_Resize();
    // True keeps the window (the user's close box only hides it).
    bool Form_QueryUnload(bool byUser);
    void chkPercent_Click();
    void cmdReset_Click();
    void cmdZone_Click();
    void Chart3D_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void pShowReadOut(const platform::Chart3DPoint& point);
    void pClearReadOut();
    void pSetCaption();
    void pApplyView(const platform::Chart3DView& view, bool zones);
    std::array<QWidget*, 6> overlays() const;

    QString m_Ticker;
    std::vector<double> m_PriceValues;
    std::vector<int32_t> m_DayValues;
    bool m_unloading = false;
    bool m_placeMoved = false;
};

} // namespace tw
