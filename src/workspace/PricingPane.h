#pragma once
// The pricing pane: the boxes of the bottom frame that set how the legs are
// priced - the model and its steps, the calculation mode, the interest rate,
// the price source, the "True signed percent profit" check box, and on the
// chain's "Stock" page the exchange, the volatility and the dividends.
//
// Every choice is applied to the session and ends in a new evaluation of the
// selected strategy. A box whose text cannot be used is marked and keeps the
// last applied value; Escape puts that value back.

#include "workspace/WorkspacePane.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tw {

class CAppSettings;
struct PricingSettings;

class PricingPane : public WorkspacePane {
    Q_OBJECT
public:
    PricingPane(AnalysisSession& session, QWidget* host);
    ~PricingPane() override;

    // The start-up's settings, set on the boxes; each box's click procedure
    // runs as after a click of the user's.
    void restorePricingParameters(const PricingSettings& p);
    // What the exit keeps of the boxes: "Interest", "Exchange", "CalcMode",
    // "PriceModel", "PLSign" and "Model" of section "Settings".
    void savePricingSettings(CAppSettings& s) const;

    // The stock page's boxes come right after `previous` when the Tab key
    // goes round the window (after the chain's stock page, whose page they
    // share).
    void followInTabOrder(QWidget* previous);

    void cmbModel_Click();
    void cbCalculationMode_Click();
    void cbExchange_Click();
    void optRealPrice_Click();
    void optTheoreticalPrice_Click();
    void optBidAsk_Click();
    void chkPLSign_Click();
    void UpdateVolatility();
    void UpdateInetrestRate();
    void UpdateDividends();
    void UpdateSteps();

signals:
    // The 3-D surface is to be drawn again (the calculation mode or the
    // percent sign changed).
    void surfaceRedrawRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectControls();
    bool validateBox(QLineEdit* box);
    void parameterBoxKeyUp(QLineEdit* box, int key);
    // A box whose text was refused shows it until the text can be used.
    void markRefused(QLineEdit* box, bool refused);
    bool boxTextUsable(const QLineEdit* box) const;
    void showTickerSettings(double volatilityPercent, double dividendsPercent);

    QLabel* lblModel = nullptr;
    QComboBox* cmbModel = nullptr;
    QLabel* lblSteps = nullptr;
    QLineEdit* txtSteps = nullptr;
    QLabel* lblCalculationMode = nullptr;
    QComboBox* cbCalculationMode = nullptr;
    QLabel* lblInterestRate = nullptr;
    QLineEdit* txtInetrestRate = nullptr;
    QCheckBox* chkPLSign = nullptr;
    QLabel* lblSetupPrice = nullptr;
    QWidget* picHolder = nullptr;
    QRadioButton* optTheoreticalPrice = nullptr;
    QRadioButton* optRealPrice = nullptr;
    QRadioButton* optBidAsk = nullptr;
    // The boxes on the chain's "Stock" page, on a page of their own laid
    // over the same place.
    QWidget* picStockParams = nullptr;
    QLabel* lblExchange = nullptr;
    QComboBox* cbExchange = nullptr;
    QLabel* lblValatility = nullptr;
    QComboBox* cbVolatility = nullptr;
    QLineEdit* txtVolatility = nullptr;
    QLabel* lblDividends = nullptr;
    QLineEdit* txtDividends = nullptr;

    // The box that saw the press of the key whose release comes next (a
    // release whose press went to a closing message box is not the box's).
    QLineEdit* m_keyPressedIn = nullptr;
    // Set while the pane is destroyed: its boxes' events reach nothing.
    bool m_closing = false;
};

} // namespace tw
