#include "workspace/PricingPane.h"

#include "app/CAppSettings.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "model/stock.h"
#include "workspace/AnalysisSession.h"
#include "workspace/ParameterRules.h"
#include "workspace/PricingSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QTimer>

namespace tw {

namespace {
const QString kSettings = QStringLiteral("Settings");
}

PricingPane::PricingPane(AnalysisSession& session, QWidget* host)
    : WorkspacePane(session, host, QStringLiteral("PricingPane"))
{
    createControls();
    connectControls();
}

PricingPane::~PricingPane()
{
    m_closing = true;
}

void PricingPane::createControls()
{
    const auto label = [this](QWidget* parent, const char* n, const char* caption) {
        return named(new QLabel(QString::fromUtf8(caption), parent), n);
    };
    const auto lineEdit = [this](QWidget* parent, const char* n, const char* text) {
        return named(new QLineEdit(QString::fromUtf8(text), parent), n);
    };
    const auto combo = [this](QWidget* parent, const char* n) { return named(new QComboBox(parent), n); };

    lblModel = label(this, "lblModel", "Model");
    cmbModel = combo(this, "cmbModel");
    cmbModel->addItems({QStringLiteral("Black-Scholes"), QStringLiteral("Binominal European"),
                        QStringLiteral("Binominal American")});
    cmbModel->setCurrentIndex(-1);
    lblSteps = label(this, "lblSteps", "Steps");
    txtSteps = lineEdit(this, "txtSteps", "10");
    lblCalculationMode = label(this, "lblCalculationMode", "Calculate");
    cbCalculationMode = combo(this, "cbCalculationMode");
    cbCalculationMode->addItems({QStringLiteral("Profit/Loss"), QStringLiteral("Position worth")});
    cbCalculationMode->setCurrentIndex(-1);
    lblInterestRate = label(this, "lblInterestRate", "Interest rate");
    txtInetrestRate = lineEdit(this, "txtInetrestRate", "");
    chkPLSign = named(new QCheckBox(QStringLiteral("True signed percent profit"), this), "chkPLSign");
    lblSetupPrice = label(this, "lblSetupPrice", "Setup price:");
    picHolder = named(new QWidget(this), "picHolder");
    optTheoreticalPrice = named(new QRadioButton(QStringLiteral("Theor."), picHolder), "optTheoreticalPrice");
    optRealPrice = named(new QRadioButton(QStringLiteral("Last"), picHolder), "optRealPrice");
    optBidAsk = named(new QRadioButton(QStringLiteral("Bid/Ask"), picHolder), "optBidAsk");

    picStockParams = named(new QWidget(this), "picStockParams");
    lblExchange = label(picStockParams, "lblExchange", "Exchange");
    cbExchange = combo(picStockParams, "cbExchange");
    lblValatility = label(picStockParams, "lblValatility", "Volatility");
    cbVolatility = combo(picStockParams, "cbVolatility");
    cbVolatility->hide();
    txtVolatility = lineEdit(picStockParams, "txtVolatility", "");
    lblDividends = label(picStockParams, "lblDividends", "Dividends (%)");
    txtDividends = lineEdit(picStockParams, "txtDividends", "");

    cbExchange->addItems({QStringLiteral("CBOE (Chicago Board Options Exchange)"),
                          QStringLiteral("AMEX (American Stock Exchange)"),
                          QStringLiteral("PHLX (Philadelphia Stock Exchange)"),
                          QStringLiteral("PCX or PSE (Pacific Stock Exchange)"),
                          QStringLiteral("ISE (International Securities Exchange)"), QStringLiteral("Other exchange")});
    cbExchange->setCurrentIndex(-1);
    keepToControls(picStockParams);
    cmbModel->setToolTip(QStringLiteral("Calculation options model selection"));
    txtDividends->setToolTip(QStringLiteral("dividends are used only in binominal american calculation model"));
    cbExchange->setToolTip(QStringLiteral("Stock Exchange selection"));
    // Without a chain there is nothing to filter or to keep a volatility for.
    txtVolatility->setEnabled(false);
    cbExchange->setEnabled(false);
}

void PricingPane::connectControls()
{
    // Choices made by the user run the same procedures that start-up calls
    // after setting the controls from code.
    connect(cmbModel, &QComboBox::activated, this, [this] { cmbModel_Click(); });
    connect(cbCalculationMode, &QComboBox::activated, this, [this] { cbCalculationMode_Click(); });
    connect(cbExchange, &QComboBox::activated, this, [this] { cbExchange_Click(); });
    connect(optTheoreticalPrice, &QRadioButton::clicked, this, [this] { optTheoreticalPrice_Click(); });
    connect(optRealPrice, &QRadioButton::clicked, this, [this] { optRealPrice_Click(); });
    connect(optBidAsk, &QRadioButton::clicked, this, [this] { optBidAsk_Click(); });
    connect(chkPLSign, &QCheckBox::clicked, this, [this] { chkPLSign_Click(); });
    for (QLineEdit* box : {txtVolatility, txtInetrestRate, txtDividends, txtSteps}) {
        box->installEventFilter(this);
        // A refused text stays marked until the box holds a usable one.
        connect(box, &QLineEdit::textChanged, this, [this, box] {
            if (box->property("refused").toBool() && boxTextUsable(box))
                markRefused(box, false);
        });
    }
    connect(&session(), &AnalysisSession::stockChanged, this, [this] {
        const bool loaded = session().ObjStock() != nullptr;
        txtVolatility->setEnabled(loaded);
        cbExchange->setEnabled(loaded);
    });
    connect(&session(), &AnalysisSession::tickerSettingsRestored, this,
            [this](double volatility, double dividends) { showTickerSettings(volatility, dividends); });
}

void PricingPane::followInTabOrder(QWidget* previous)
{
    for (QWidget* box : {static_cast<QWidget*>(cbExchange), static_cast<QWidget*>(cbVolatility),
                         static_cast<QWidget*>(txtVolatility), static_cast<QWidget*>(txtDividends)}) {
        QWidget::setTabOrder(previous, box);
        previous = box;
    }
}

void PricingPane::showTickerSettings(double volatilityPercent, double dividendsPercent)
{
    txtVolatility->setText(QLocale().toString(volatilityPercent, 'g', 15));
    txtDividends->setText(QLocale().toString(dividendsPercent, 'g', 15));
}

void PricingPane::restorePricingParameters(const PricingSettings& p)
{
    txtVolatility->setText(QLocale().toString(p.volatility, 'g', 15));
    txtInetrestRate->setText(QLocale().toString(p.interest, 'g', 15));
    session().setVolatility(p.volatility);
    session().setInterestRate(p.interest);
    if (p.exchange >= 0 && p.exchange < cbExchange->count()) {
        cbExchange->setCurrentIndex(p.exchange);
        cbExchange_Click();
    }
    if (p.calcMode >= 0 && p.calcMode < cbCalculationMode->count()) {
        cbCalculationMode->setCurrentIndex(p.calcMode);
        cbCalculationMode_Click();
    }
    optRealPrice->setChecked(false);
    optTheoreticalPrice->setChecked(false);
    switch (p.priceModel) {
    case 0:
        cbCalculationMode->setCurrentIndex(1);
        cbCalculationMode_Click();
        break;
    case 1:
        optRealPrice->setChecked(true);
        optRealPrice_Click();
        break;
    case 2:
        optTheoreticalPrice->setChecked(true);
        optTheoreticalPrice_Click();
        break;
    case 3:
        optBidAsk->setChecked(true);
        optBidAsk_Click();
        break;
    default:
        break;
    }
    chkPLSign->setChecked(p.plSign != 0);
    chkPLSign_Click();
    txtSteps->setText(QString::number(p.steps));
    session().setSteps(p.steps);
    if (p.model >= 0 && p.model < cmbModel->count()) {
        cmbModel->setCurrentIndex(p.model);
        cmbModel_Click();
    }
}

void PricingPane::savePricingSettings(CAppSettings& s) const
{
    // The rate is stored as a number, whatever the user's decimal separator.
    bool ok = false;
    const double rate = QLocale().toDouble(txtInetrestRate->text().trimmed(), &ok);
    s.SaveSetting(kSettings, QStringLiteral("Interest"), ok ? storedTextFromNumber(rate) : txtInetrestRate->text());
    s.SaveSetting(kSettings, QStringLiteral("Exchange"), cbExchange->currentIndex());
    s.SaveSetting(kSettings, QStringLiteral("CalcMode"), cbCalculationMode->currentIndex());
    if (optRealPrice->isChecked())
        s.SaveSetting(kSettings, QStringLiteral("PriceModel"), 1);
    else if (optTheoreticalPrice->isChecked())
        s.SaveSetting(kSettings, QStringLiteral("PriceModel"), 2);
    else if (optBidAsk->isChecked())
        s.SaveSetting(kSettings, QStringLiteral("PriceModel"), 3);
    s.SaveSetting(kSettings, QStringLiteral("PLSign"), chkPLSign->isChecked() ? 1 : 0);
    s.SaveSetting(kSettings, QStringLiteral("Model"), cmbModel->currentIndex());
}

void PricingPane::cmbModel_Click()
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
    TW_STEP(proc, session().setModel(model));
    TW_STEP(proc, {
        if (session().hasSelection())
            session().SelectOptions(session().selectedParams());
    });
}

void PricingPane::cbCalculationMode_Click()
{
    Procedure proc("frmStrategies", "cbCalculationMode_Click");
    // Announced to the charts as the program-wide calculation-mode caption.
    TW_STEP(proc, session().setCalculationMode(cbCalculationMode->currentIndex()));
    TW_STEP(proc, session().SelectCalcStockPrice());
    TW_STEP(proc, session().UpdateLists());
    TW_STEP(proc, emit surfaceRedrawRequested());
}

void PricingPane::optBidAsk_Click()
{
    Procedure proc("frmStrategies", "optBidAsk_Click");
    TW_STEP(proc, session().setPriceSource(PriceSource::BidAsk));
    TW_STEP(proc, session().SelectCalcStockPrice());
    TW_STEP(proc, session().UpdateLists());
}

void PricingPane::optRealPrice_Click()
{
    Procedure proc("frmStrategies", "optRealPrice_Click");
    TW_STEP(proc, session().setPriceSource(PriceSource::LastSale));
    TW_STEP(proc, session().SelectCalcStockPrice());
    TW_STEP(proc, session().UpdateLists());
}

void PricingPane::optTheoreticalPrice_Click()
{
    Procedure proc("frmStrategies", "optTheoreticalPrice_Click");
    TW_STEP(proc, session().setPriceSource(PriceSource::Theoretical));
    TW_STEP(proc, session().SelectCalcStockPrice());
    TW_STEP(proc, session().UpdateLists());
}

void PricingPane::cbExchange_Click()
{
    Procedure proc("frmStrategies", "cbExchange_Click");
    TW_STEP(proc, session().setExchange(cbExchange->currentText()));
    TW_STEP(proc, session().UpdateLists());
}

void PricingPane::chkPLSign_Click()
{
    Procedure proc("frmStrategies", "chkPLSign_Click");
    TW_STEP(proc, session().setPLSign(chkPLSign->isChecked()));
    TW_STEP(proc, emit surfaceRedrawRequested());
}

void PricingPane::UpdateVolatility()
{
    Procedure proc("frmStrategies", "UpdateVolatility");
    const auto v = boxNumber(txtVolatility->text(), QLocale());
    if (!v || !volatilityAccepted(*v))
        return;
    TW_STEP(proc, session().setVolatility(*v));
    TW_STEP(proc, session().UpdateLists());
    TW_STEP(proc, {
        if (session().ObjStock() != nullptr)
            appSettings().SaveSetting(QStringLiteral("Volatility"), tickerOfCode(session().ObjStock()->Code()),
                                      storedTextFromNumber(*v));
    });
}

void PricingPane::UpdateInetrestRate()
{
    Procedure proc("frmStrategies", "UpdateInetrestRate");
    const auto v = boxNumber(txtInetrestRate->text(), QLocale());
    if (!v || !rateAccepted(*v))
        return;
    TW_STEP(proc, session().setInterestRate(*v));
    TW_STEP(proc, session().UpdateLists());
}

void PricingPane::UpdateDividends()
{
    Procedure proc("frmStrategies", "UpdateDividends");
    const auto v = boxNumber(txtDividends->text(), QLocale());
    if (!v || !rateAccepted(*v))
        return;
    TW_STEP(proc, session().setDividends(*v / 100.0));
    TW_STEP(proc, {
        if (session().ObjStock() != nullptr)
            appSettings().SaveSetting(QStringLiteral("Dividends"), tickerOfCode(session().ObjStock()->Code()),
                                      storedTextFromNumber(*v));
    });
    TW_STEP(proc, session().UpdateLists());
}

void PricingPane::UpdateSteps()
{
    Procedure proc("frmStrategies", "UpdateSteps");
    const StepsDecision d = decideSteps(txtSteps->text(), QLocale());
    if (d.kind == StepsDecision::Refuse) {
        TW_STEP(proc, dialogs().messageBox(QStringLiteral("Please, use values between 1 and 200"),
                                           Msg::OkOnly | Msg::Exclamation, appTitle()));
        TW_STEP(proc, txtSteps->setText(QString::number(session().steps())));
        return;
    }
    // The question is asked once per change: a value already confirmed and
    // applied is not asked about again when the box is left or Return is
    // pressed once more.
    if (d.kind == StepsDecision::Confirm && d.steps != session().steps()) {
        int answer = Msg::Cancel;
        TW_STEP(proc, answer = dialogs().messageBox(
                          QStringLiteral("Too high number of steps will significantly reduce\r\n"
                                         "the performance of Tarnwell charts! Continue?"),
                          Msg::OkCancel | Msg::Information, appTitle()));
        if (answer != Msg::Ok) {
            TW_STEP(proc, txtSteps->setText(QString::number(session().steps())));
            return;
        }
    }
    TW_STEP(proc, session().setSteps(d.steps));
    TW_STEP(proc, appSettings().SaveSetting(kSettings, QStringLiteral("Steps"), QString::number(session().steps())));
    TW_STEP(proc, session().UpdateLists());
}

bool PricingPane::validateBox(QLineEdit* box)
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

bool PricingPane::boxTextUsable(const QLineEdit* box) const
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

void PricingPane::markRefused(QLineEdit* box, bool refused)
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

void PricingPane::parameterBoxKeyUp(QLineEdit* box, int key)
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
            value = session().volatility();
        else if (box == txtInetrestRate)
            value = session().interestRate();
        else if (box == txtDividends)
            value = session().dividends() * 100.0;
        else if (box == txtSteps)
            value = session().steps();
        box->setText(escapeText(value, QLocale()));
    }
}

bool PricingPane::eventFilter(QObject* watched, QEvent* event)
{
    if (m_closing)
        return false;
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
    } else if (parameterBox && event->type() == QEvent::FocusOut) {
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
    return WorkspacePane::eventFilter(watched, event);
}

} // namespace tw
