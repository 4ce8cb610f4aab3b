// The workspace's refresh road and its pricing-parameter boxes: every change
// of the chain, the exchange, a pricing parameter, the price source, the
// calculation mode or the model ends in a new evaluation of the selected
// strategy.

#include "mainwindow/frmStrategies.h"

#include "app/CAppSettings.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "charts/ChartHost.h"
#include "charts/frm3dChart.h"
#include "charts/frmChart.h"
#include "mainwindow/StartupSettings.h"
#include "model/OptionsCollection.h"
#include "model/stock.h"
#include "workspace/ParameterRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

namespace tw {

namespace {
const QString kSettings = QStringLiteral("Settings");
}

// ---------------------------------------------------------------------------
// Refresh

void frmStrategies::SelectCalcStockPrice()
{
    Procedure proc("frmStrategies", "SelectCalcStockPrice");
    TW_STEP(proc, {
        double price = 0;
        if (ObjStock != nullptr) {
            price = optBidAsk->isChecked() ? (ObjStock->Bid() + ObjStock->Ask()).toDouble() / 2.0
                                           : ObjStock->Price().toDouble();
        }
        CalcStockPrice = price == 0 ? 1e-06 : price;
    });
}

void frmStrategies::NewStockLoaded()
{
    Procedure proc("frmStrategies", "NewStockLoaded");
    TW_STEP(proc, SelectCalcStockPrice());
    TW_STEP(proc, {
        for (const auto& entry : std::as_const(m_Charts)) {
            if (entry.second == nullptr)
                continue;
            entry.second->setStockPrice(CalcStockPrice);
            entry.second->setStockDate(ObjStock->StockDate());
            entry.second->setStockTicker(ObjStock->Code());
        }
    });
    TW_STEP(proc, frm3dChart::instance()->setStockTicker(ObjStock->Code()));
    TW_STEP(proc, UpdateLists());
}

void frmStrategies::UpdateLists()
{
    Procedure proc("frmStrategies", "UpdateLists");
    if (ObjStock != nullptr) {
        TW_STEP(proc, {
            const QString exchange = cbExchange->currentText();
            m_Calls = ObjStock->Calls()->ExchangeFilter(exchange);
            m_Puts = ObjStock->Puts()->ExchangeFilter(exchange);
        });
    }
    TW_STEP(proc, SelectOptions(selectedParams()));
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
            for (const auto& entry : std::as_const(m_Charts)) {
                if (entry.second != nullptr)
                    entry.second->setUseOptionsModel(model);
            }
        });
    }
    TW_STEP(proc, {
        if (tvStrategies->currentItem() != nullptr)
            SelectOptions(selectedParams());
    });
}

void frmStrategies::cbCalculationMode_Click()
{
    Procedure proc("frmStrategies", "cbCalculationMode_Click");
    TW_STEP(proc, {
        switch (cbCalculationMode->currentIndex()) {
        case 0:
            ChartHost::CalculationModeCaption = QStringLiteral("Profit/Loss");
            break;
        case 1:
            ChartHost::CalculationModeCaption = QStringLiteral("Position worth");
            break;
        default:
            ChartHost::CalculationModeCaption = QStringLiteral("Invalid mode");
            break;
        }
    });
    TW_STEP(proc, SelectCalcStockPrice());
    TW_STEP(proc, UpdateLists());
    TW_STEP(proc, frm3dChart::instance()->UpdateChart());
}

void frmStrategies::optBidAsk_Click()
{
    Procedure proc("frmStrategies", "optBidAsk_Click");
    TW_STEP(proc, SelectCalcStockPrice());
    TW_STEP(proc, UpdateLists());
}

void frmStrategies::optRealPrice_Click()
{
    Procedure proc("frmStrategies", "optRealPrice_Click");
    TW_STEP(proc, SelectCalcStockPrice());
    TW_STEP(proc, UpdateLists());
}

void frmStrategies::optTheoreticalPrice_Click()
{
    Procedure proc("frmStrategies", "optTheoreticalPrice_Click");
    TW_STEP(proc, SelectCalcStockPrice());
    TW_STEP(proc, UpdateLists());
}

void frmStrategies::cbExchange_Click()
{
    Procedure proc("frmStrategies", "cbExchange_Click");
    TW_STEP(proc, UpdateLists());
}

void frmStrategies::chkPLSign_Click()
{
    Procedure proc("frmStrategies", "chkPLSign_Click");
    TW_STEP(proc, frm3dChart::instance()->UpdateChart());
}

void frmStrategies::UpdateVolatility()
{
    Procedure proc("frmStrategies", "UpdateVolatility");
    const auto v = boxNumber(txtVolatility->text(), QLocale());
    if (!v || !volatilityAccepted(*v))
        return;
    TW_STEP(proc, m_Volatility = *v);
    TW_STEP(proc, UpdateLists());
    TW_STEP(proc, {
        if (ObjStock != nullptr)
            appSettings().SaveSetting(QStringLiteral("Volatility"), tickerOfCode(ObjStock->Code()),
                                      storedTextFromNumber(*v));
    });
}

void frmStrategies::UpdateInetrestRate()
{
    Procedure proc("frmStrategies", "UpdateInetrestRate");
    const auto v = boxNumber(txtInetrestRate->text(), QLocale());
    if (!v || !rateAccepted(*v))
        return;
    TW_STEP(proc, m_InterestRate = *v);
    TW_STEP(proc, UpdateLists());
}

void frmStrategies::UpdateDividends()
{
    Procedure proc("frmStrategies", "UpdateDividends");
    const auto v = boxNumber(txtDividends->text(), QLocale());
    if (!v || !rateAccepted(*v))
        return;
    TW_STEP(proc, dblDividends = *v / 100.0);
    TW_STEP(proc, {
        for (const auto& entry : std::as_const(m_Charts)) {
            if (entry.second != nullptr)
                entry.second->setDividends(dblDividends);
        }
    });
    TW_STEP(proc, {
        if (ObjStock != nullptr)
            appSettings().SaveSetting(QStringLiteral("Dividends"), tickerOfCode(ObjStock->Code()),
                                      storedTextFromNumber(*v));
    });
    TW_STEP(proc, UpdateLists());
}

void frmStrategies::UpdateSteps()
{
    Procedure proc("frmStrategies", "UpdateSteps");
    const StepsDecision d = decideSteps(txtSteps->text(), QLocale());
    if (d.kind == StepsDecision::Refuse) {
        TW_STEP(proc, dialogs().messageBox(QStringLiteral("Please, use values between 1 and 200"),
                                           Msg::OkOnly | Msg::Exclamation, appTitle()));
        TW_STEP(proc, txtSteps->setText(QString::number(mSteps)));
        return;
    }
    if (d.kind == StepsDecision::Confirm) {
        int answer = Msg::Cancel;
        TW_STEP(proc, answer = dialogs().messageBox(
                          QStringLiteral("Too high number of steps will significantly reduce\r\n"
                                         "the performance of Tarnwell charts! Continue?"),
                          Msg::OkCancel | Msg::Information, appTitle()));
        if (answer != Msg::Ok) {
            TW_STEP(proc, txtSteps->setText(QString::number(mSteps)));
            return;
        }
    }
    TW_STEP(proc, mSteps = d.steps);
    TW_STEP(proc, {
        for (const auto& entry : std::as_const(m_Charts)) {
            if (entry.second != nullptr)
                entry.second->setBinominalSteps(mSteps);
        }
    });
    TW_STEP(proc, appSettings().SaveSetting(kSettings, QStringLiteral("Steps"), QString::number(mSteps)));
    TW_STEP(proc, UpdateLists());
}

bool frmStrategies::validateBox(QLineEdit* box)
{
    // True when the box's text is acceptable (and has been applied).
    const auto v = boxNumber(box->text(), QLocale());
    if (box == txtVolatility) {
        if (!v || !volatilityAccepted(*v))
            return false;
        UpdateVolatility();
        return true;
    }
    if (!v)
        return false;
    if (box == txtInetrestRate) {
        if (!rateAccepted(*v))
            return false;
        UpdateInetrestRate();
    } else if (box == txtDividends) {
        if (!rateAccepted(*v))
            return false;
        UpdateDividends();
    } else if (box == txtSteps) {
        UpdateSteps();
    }
    return true;
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
            value = m_Volatility;
        else if (box == txtInetrestRate)
            value = m_InterestRate;
        else if (box == txtDividends)
            value = dblDividends * 100.0;
        else if (box == txtSteps)
            value = mSteps;
        box->setText(escapeText(value, QLocale()));
    }
}

bool frmStrategies::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    const bool parameterBox =
        box != nullptr && (box == txtVolatility || box == txtInetrestRate || box == txtDividends || box == txtSteps);
    if (parameterBox && event->type() == QEvent::KeyRelease) {
        shielded("frmStrategies.parameterBox_KeyUp",
                 [&] { parameterBoxKeyUp(box, static_cast<QKeyEvent*>(event)->key()); });
    } else if (parameterBox && event->type() == QEvent::FocusOut && !m_closing) {
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
