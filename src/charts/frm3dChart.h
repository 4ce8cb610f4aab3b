#pragma once
// The single 3-D chart window: the profit/loss surface of the evaluated
// position over stock price and date. Created and loaded on first use; the
// user's close box only hides it, unloading from code saves its place and
// percent mode.
//
// The surface itself is not drawn yet: the window lists what it was handed
// (legs, volatility, rate, last expiration), so the data road to it can be
// followed and checked.

#include "model/LegsArray.h"

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;

namespace tw {

class frm3dChart : public QWidget {
    Q_OBJECT
public:
    // The window, created and loaded on first use.
    static frm3dChart* instance();
    // The window when it exists, else nullptr (never creates it).
    static frm3dChart* loaded();
    // Saves its place and percent mode, then destroys the window.
    void unload();

    // The mouse read-out over the chart works only once this is set.
    bool UnlockMouseMove = false;
    // The evaluated legs, or no value when nothing is evaluated.
    LegsArray mLines;
    double mVolatility = 0;   // percent
    double mInterestRate = 0; // percent
    double mMaxDate = 0;      // date serial of the latest option expiration

    // Recomputes and redraws from mLines, unless the window is minimised.
    void UpdateChart();

    bool percentMode() const;
    QCheckBox* chkPercent = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    frm3dChart();
    ~frm3dChart() override;
    void Form_Load();
    void Form_Unload();

    QPlainTextEdit* m_summary = nullptr;
    bool m_unloading = false;
};

} // namespace tw
