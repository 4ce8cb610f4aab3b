// The workspace's refresh road and its pricing-parameter boxes: every change
// of the chain, the exchange, a pricing parameter, the price source, the
// calculation mode or the model ends in a new evaluation of the selected
// strategy.

#include "mainwindow/frmStrategies.h"

#include "app/CAppSettings.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "charts/frm3dChart.h"
#include "mainwindow/StartupSettings.h"
#include "workspace/PricingSettings.h"
#include "model/OptionsCollection.h"
#include "model/stock.h"
#include "workspace/AnalysisSession.h"
#include "workspace/ParameterRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

namespace tw {

namespace {
const QString kSettings = QStringLiteral("Settings");
}

// ---------------------------------------------------------------------------
// Pricing-parameter boxes

void frmStrategies::cmbModel_Click()
{
    Procedure proc("frmStrategies", "cmbModel_Click");
    const int model = cmbModel->currentIndex();
    if (model >= 0 && model <= 2) {
        TW_STEP(proc, {
            const bool american = model == 2;
            txtDividends->setVisible(american);
            lblDividends->setVisible(american);
            txtSteps->setEnabled(model != 0);
            lblSteps->setEnabled(model != 0);
        });
    }
    // The chart windows take the model from the session's announcement.
    TW_STEP(proc, m_session->setModel(model));
    TW_STEP(proc, {
        if (m_session->hasSelection())
            m_session->SelectOptions(m_session->selectedParams());
    });
}

void frmStrategies::cbCalculationMode_Click()
{
    Procedure proc("frmStrategies", "cbCalculationMode_Click");
    // Announced to the charts as the program-wide calculation-mode caption.
    TW_STEP(proc, m_session->setCalculationMode(cbCalculationMode->currentIndex()));
    TW_STEP(proc, m_session->SelectCalcStockPrice());
    TW_STEP(proc, m_session->UpdateLists());
    TW_STEP(proc, frm3dChart::instance()->UpdateChart());
}

void frmStrategies::optBidAsk_Click()
{
    Procedure proc("frmStrategies", "optBidAsk_Click");
    TW_STEP(proc, m_session->setPriceSource(PriceSource::BidAsk));
    TW_STEP(proc, m_session->SelectCalcStockPrice());
    TW_STEP(proc, m_session->UpdateLists());
}

void frmStrategies::optRealPrice_Click()
{
    Procedure proc("frmStrategies", "optRealPrice_Click");
    TW_STEP(proc, m_session->setPriceSource(PriceSource::LastSale));
    TW_STEP(proc, m_session->SelectCalcStockPrice());
    TW_STEP(proc, m_session->UpdateLists());
}

void frmStrategies::optTheoreticalPrice_Click()
{
    Procedure proc("frmStrategies", "optTheoreticalPrice_Click");
    TW_STEP(proc, m_session->setPriceSource(PriceSource::Theoretical));
    TW_STEP(proc, m_session->SelectCalcStockPrice());
    TW_STEP(proc, m_session->UpdateLists());
}

void frmStrategies::cbExchange_Click()
{
    Procedure proc("frmStrategies", "cbExchange_Click");
    TW_STEP(proc, m_session->setExchange(cbExchange->currentText()));
    TW_STEP(proc, m_session->UpdateLists());
}

void frmStrategies::chkPLSign_Click()
{
    Procedure proc("frmStrategies", "chkPLSign_Click");
    TW_STEP(proc, m_session->setPLSign(chkPLSign->isChecked()));
    TW_STEP(proc, frm3dChart::instance()->UpdateChart());
}

void frmStrategies::UpdateVolatility()
{
    Procedure proc("frmStrategies", "UpdateVolatility");
    const auto v = boxNumber(txtVolatility->text(), QLocale());
    if (!v || !volatilityAccepted(*v))
        return;
    TW_STEP(proc, m_session->setVolatility(*v));
    TW_STEP(proc, m_session->UpdateLists());
    TW_STEP(proc, {
        if (m_session->ObjStock() != nullptr)
            appSettings().SaveSetting(QStringLiteral("Volatility"), tickerOfCode(m_session->ObjStock()->Code()),
                                      storedTextFromNumber(*v));
    });
}

void frmStrategies::UpdateInetrestRate()
{
    Procedure proc("frmStrategies", "UpdateInetrestRate");
    const auto v = boxNumber(txtInetrestRate->text(), QLocale());
    if (!v || !rateAccepted(*v))
        return;
    TW_STEP(proc, m_session->setInterestRate(*v));
    TW_STEP(proc, m_session->UpdateLists());
}

void frmStrategies::UpdateDividends()
{
    Procedure proc("frmStrategies", "UpdateDividends");
    const auto v = boxNumber(txtDividends->text(), QLocale());
    if (!v || !rateAccepted(*v))
        return;
    TW_STEP(proc, m_session->setDividends(*v / 100.0));
    TW_STEP(proc, {
        if (m_session->ObjStock() != nullptr)
            appSettings().SaveSetting(QStringLiteral("Dividends"), tickerOfCode(m_session->ObjStock()->Code()),
                                      storedTextFromNumber(*v));
    });
    TW_STEP(proc, m_session->UpdateLists());
}

void frmStrategies::UpdateSteps()
{
    Procedure proc("frmStrategies", "UpdateSteps");
    const StepsDecision d = decideSteps(txtSteps->text(), QLocale());
    if (d.kind == StepsDecision::Refuse) {
        TW_STEP(proc, dialogs().messageBox(QStringLiteral("Please, use values between 1 and 200"),
                                           Msg::OkOnly | Msg::Exclamation, appTitle()));
        TW_STEP(proc, txtSteps->setText(QString::number(m_session->steps())));
        return;
    }
    // The question is asked once per change: a value already confirmed and
    // applied is not asked about again when the box is left or Return is
    // pressed once more.
    if (d.kind == StepsDecision::Confirm && d.steps != m_session->steps()) {
        int answer = Msg::Cancel;
        TW_STEP(proc, answer = dialogs().messageBox(
                          QStringLiteral("Too high number of steps will significantly reduce\r\n"
                                         "the performance of Tarnwell charts! Continue?"),
                          Msg::OkCancel | Msg::Information, appTitle()));
        if (answer != Msg::Ok) {
            TW_STEP(proc, txtSteps->setText(QString::number(m_session->steps())));
            return;
        }
    }
    TW_STEP(proc, m_session->setSteps(d.steps));
    TW_STEP(proc, appSettings().SaveSetting(kSettings, QStringLiteral("Steps"), QString::number(m_session->steps())));
    TW_STEP(proc, m_session->UpdateLists());
}

bool frmStrategies::validateBox(QLineEdit* box)
{
    // True when the box's text is acceptable (and has been applied).
    const bool usable = boxTextUsable(box);
    markRefused(box, !usable);
    if (!usable)
        return false;
    if (box == txtVolatility)
        UpdateVolatility();
    else if (box == txtInetrestRate)
        UpdateInetrestRate();
    else if (box == txtDividends)
        UpdateDividends();
    else if (box == txtSteps)
        UpdateSteps();
    return true;
}

bool frmStrategies::boxTextUsable(const QLineEdit* box) const
{
    const auto v = boxNumber(box->text(), QLocale());
    if (!v)
        return false;
    if (box == txtVolatility)
        return volatilityAccepted(*v);
    if (box == txtInetrestRate || box == txtDividends)
        return rateAccepted(*v);
    return true; // the steps box answers out-of-range values with a message
}

void frmStrategies::markRefused(QLineEdit* box, bool refused)
{
    if (box->property("refused").toBool() == refused)
        return;
    box->setProperty("refused", refused);
    if (refused) {
        box->setProperty("plainToolTip", box->toolTip());
        QPalette p = box->palette();
        p.setColor(QPalette::Text, QColor(0xC0, 0x00, 0x00));
        p.setColor(QPalette::Base, QColor(0xFF, 0xE4, 0xE4));
        box->setPalette(p);
        box->setToolTip(QStringLiteral("This value is not used: the prices are computed with the last accepted "
                                       "value (Escape puts it back)."));
    } else {
        box->setPalette(QPalette());
        box->setToolTip(box->property("plainToolTip").toString());
    }
}

void frmStrategies::parameterBoxKeyUp(QLineEdit* box, int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (validateBox(box)) {
            box->selectAll();
        } else if (box == txtVolatility) {
            box->selectAll();
            box->setFocus();
        }
    } else if (key == Qt::Key_Escape) {
        double value = 0;
        if (box == txtVolatility)
            value = m_session->volatility();
        else if (box == txtInetrestRate)
            value = m_session->interestRate();
        else if (box == txtDividends)
            value = m_session->dividends() * 100.0;
        else if (box == txtSteps)
            value = m_session->steps();
        box->setText(escapeText(value, QLocale()));
    }
}

bool frmStrategies::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    const bool parameterBox =
        box != nullptr && (box == txtVolatility || box == txtInetrestRate || box == txtDividends || box == txtSteps);
    if (parameterBox && event->type() == QEvent::KeyPress) {
        m_keyPressedIn = box;
    } else if (parameterBox && event->type() == QEvent::KeyRelease) {
        // The release of a key pressed elsewhere (Return on the OK button of
        // a question this box asked) is not a key of the box.
        const bool own = m_keyPressedIn == box;
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
            m_keyPressedIn = nullptr;
        if (own)
            shielded("frmStrategies.parameterBox_KeyUp",
                     [&] { parameterBoxKeyUp(box, static_cast<QKeyEvent*>(event)->key()); });
    } else if (parameterBox && event->type() == QEvent::FocusOut && !m_closing) {
        m_keyPressedIn = nullptr;
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // A box keeps the focus while its text cannot be applied; leaving for
        // a menu or another window checks nothing yet.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            bool ok = true;
            shielded("frmStrategies.parameterBox_Validate", [&] { ok = validateBox(box); });
            if (!ok)
                QTimer::singleShot(0, box, [box] { box->setFocus(Qt::OtherFocusReason); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tw
