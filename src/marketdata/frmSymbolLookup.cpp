#include "marketdata/frmSymbolLookup.h"

#include "app/Convert.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "marketdata/WinInet.h"
#include "platform/Grid.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace tw {

namespace {
constexpr uint32_t kOddRowBgr = 0xE0F0F0;
constexpr uint32_t kEvenRowBgr = 0xE9F9F9;
constexpr uint32_t kTextBgr = 0x654611;
} // namespace

frmSymbolLookup::frmSymbolLookup(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmSymbolLookup"));
    setWindowTitle(QStringLiteral("Symbol lookup"));
    setModal(true);

    picForm = new QWidget(this);
    picForm->setObjectName(QStringLiteral("picForm"));
    lblCompanyName = new QLabel(QStringLiteral("Company name"), picForm);
    lblCompanyName->setObjectName(QStringLiteral("lblCompanyName"));
    txtSearchString = new QLineEdit(picForm);
    txtSearchString->setObjectName(QStringLiteral("txtSearchString"));
    lblCompanyName->setBuddy(txtSearchString);
    cmdSearch = new QPushButton(QStringLiteral("Search"), picForm);
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    optBeginsWith = new QRadioButton(QStringLiteral("Begins with"), picForm);
    optBeginsWith->setObjectName(QStringLiteral("optBeginsWith"));
    optContains = new QRadioButton(QStringLiteral("Contains"), picForm);
    optContains->setObjectName(QStringLiteral("optContains"));
    optContains->setChecked(true);
    gdResult = new platform::Grid(this);
    gdResult->setObjectName(QStringLiteral("gdResult"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setFrameShape(QFrame::StyledPanel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    // A long status (the count found and the count shown, a long search
    // text) takes a second line rather than being cut at the dialog's edge.
    lblStatus->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter in the search box searches; no button takes Enter by itself.
    for (QPushButton* b : {cmdSearch, cmdOK, cmdCancel})
        b->setAutoDefault(false);

    auto* form = new QGridLayout(picForm);
    form->setContentsMargins(0, 0, 0, 0);
    form->addWidget(lblCompanyName, 0, 0);
    form->addWidget(txtSearchString, 0, 1);
    form->addWidget(cmdSearch, 0, 2);
    auto* options = new QHBoxLayout;
    options->addWidget(optBeginsWith);
    options->addWidget(optContains);
    options->addStretch(1);
    form->addLayout(options, 1, 1, 1, 2);
    form->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picForm);
    layout->addWidget(gdResult, 1);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);
    resize(420, 360);

    connect(cmdSearch, &QPushButton::clicked, this, [this] { cmdSearch_Click(); });
    connect(txtSearchString, &QLineEdit::returnPressed, this, [this] {
        if (!searching())
            cmdSearch_Click();
    });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(gdResult, &platform::Grid::DblClick, this, [this] { gdResult_DblClick(); });
    connect(optBeginsWith, &QRadioButton::clicked, this, [this] { showRows(); });
    connect(optContains, &QRadioButton::clicked, this, [this] { showRows(); });

    Form_Load();
}

frmSymbolLookup::~frmSymbolLookup() = default;

bool frmSymbolLookup::searching() const
{
    return WI != nullptr && WI->Running();
}

void frmSymbolLookup::Form_Load()
{
    Procedure proc("frmSymbolLookup", "Form_Load");
    TW_STEP(proc, {
        WI = new WinInet(this);
        WI->setMaxResponseBytes(marketdata::kMaxLookupPageBytes);
        connect(WI, &WinInet::OnProgress, this, [this](int32_t done, int32_t total) { WI_OnProgress(done, total); });
        connect(WI, &WinInet::OnStateChanged, this, [this](int32_t state) { WI_OnStateChanged(state); });
    });
    TW_STEP(proc, {
        gdResult->AddColumn(QStringLiteral("ticker"), QStringLiteral("Ticker"), 0, -1, 75);
        gdResult->AddColumn(QStringLiteral("company"), QStringLiteral("Company name"), 0, -1, 210);
        gdResult->AddColumn(QStringLiteral("exchange"), QStringLiteral("Exchange"), 0, -1, 75);
    });
    TW_STEP(proc, {
        gdResult->setRowMode(true);
        gdResult->setDefaultRowHeight(16);
    });
    TW_STEP(proc, cmdOK->setEnabled(false));
    TW_STEP(proc, m_tag = QStringLiteral("2"));
}

void frmSymbolLookup::cmdSearch_Click()
{
    Procedure proc("frmSymbolLookup", "cmdSearch_Click");
    if (cmdSearch->text() == QLatin1String("Cancel")) {
        TW_STEP(proc, WI->Cancel());
        return;
    }
    if (txtSearchString->text().isEmpty()) {
        TW_STEP(proc, dialogs().beep());
        TW_STEP(proc, txtSearchString->setFocus());
        return;
    }
    // Whatever happens below, the window is left idle; a page that could
    // not be read says so, and lists nothing: the rows of an earlier search
    // would pass for its results.
    bool parsing = false;
    const auto idle = qScopeGuard([this, &parsing] {
        cmdSearch->setText(QStringLiteral("Search"));
        unsetCursor();
        if (parsing) {
            m_rows.clear();
            m_summary.clear();
            m_searched.clear();
            gdResult->Clear(false);
            lblStatus->setText(QStringLiteral(" The answer holds no search results."));
        }
    });
    TW_STEP(proc, setCursor(Qt::WaitCursor));
    TW_STEP(proc, m_Cancelled = false);
    TW_STEP(proc, cmdOK->setEnabled(false));
    const QString searched = txtSearchString->text();
    TW_STEP(proc, marketdata::prepareFormPost(*WI, QLatin1String(marketdata::kSymbolLookupResource),
                                              marketdata::symbolLookupFormBody(searched),
                                              QStringLiteral("Symbol.aspx")));
    TW_STEP(proc, cmdSearch->setText(QStringLiteral("Cancel")));
    TW_STEP(proc, WI->Execute());
    TW_STEP(proc, cmdSearch->setText(QStringLiteral("Search")));
    if (!WI->SuccessDone() || m_Cancelled) {
        // Said as it happened: a search the user ended (with the search
        // button, or by closing the window) has its " Canceled." and no
        // more; a failure is in the status line before its message shows.
        const WinInet::Failure why = m_Cancelled ? WinInet::Failure::Cancelled : WI->LastFailure();
        const marketdata::SearchFailureTexts texts = marketdata::searchFailureTexts(why);
        if (texts.message.isEmpty())
            return;
        TW_STEP(proc, lblStatus->setText(texts.status));
        TW_STEP(proc, dialogs().beep());
        TW_STEP(proc, ShowMessageOnce(texts.message, QStringLiteral("SRCHFAIL")));
        return;
    }
    TW_STEP(proc, lblStatus->setText(QStringLiteral(" Parsing...")));
    // A page that is no page of results is an error for the error handler.
    parsing = true;
    marketdata::LookupPage page;
    TW_STEP(proc, {
        page = marketdata::readLookupPage(WI->ResponseBytes(), WI->ContentType());
        parsing = false;
    });
    if (parsing)
        return; // ignored: there is nothing to show
    TW_STEP(proc, {
        m_rows = page.rows;
        m_summary = page.summary;
        m_searched = searched;
        showRows();
    });
    TW_STEP(proc, cmdOK->setEnabled(true));
}

void frmSymbolLookup::showRows()
{
    Procedure proc("frmSymbolLookup", "showRows");
    const QList<marketdata::LookupRow> rows =
        marketdata::filterLookupRows(m_rows, m_searched, optBeginsWith->isChecked());
    TW_STEP(proc, {
        gdResult->setRedraw(false);
        gdResult->Clear(false);
    });
    TW_STEP(proc, {
        const QColor text = colorFromBgr(kTextBgr);
        bool odd = false;
        const int ticker = gdResult->ColumnIndex(QStringLiteral("ticker"));
        const int company = gdResult->ColumnIndex(QStringLiteral("company"));
        const int exchange = gdResult->ColumnIndex(QStringLiteral("exchange"));
        for (const marketdata::LookupRow& r : rows) {
            odd = !odd;
            const QColor back = colorFromBgr(odd ? kOddRowBgr : kEvenRowBgr);
            const int row = gdResult->AddRow();
            gdResult->CellDetails(row, ticker, platform::GridValue(r.ticker), platform::Grid::DefaultCellAlign, -1, back, text);
            gdResult->CellDetails(row, company, platform::GridValue(r.company), platform::Grid::DefaultCellAlign, -1, back,
                                  text);
            gdResult->CellDetails(row, exchange, platform::GridValue(r.exchange), platform::Grid::DefaultCellAlign, -1, back,
                                  text);
        }
    });
    TW_STEP(proc, {
        if (gdResult->Rows() >= 1)
            gdResult->setSelectedRow(1);
    });
    TW_STEP(proc, gdResult->setRedraw(true));
    // The status counts the rows shown as well as those found.
    if (!m_summary.isEmpty())
        TW_STEP(proc, lblStatus->setText(marketdata::lookupStatusText(m_summary, rows.size(), m_searched,
                                                                      optBeginsWith->isChecked())));
}

void frmSymbolLookup::cmdOK_Click()
{
    Procedure proc("frmSymbolLookup", "cmdOK_Click");
    TW_STEP(proc, {
        const int row = gdResult->SelectedRow();
        m_SelectedSymbol = gdResult->Rows() > 0 && row > 0
            ? gdResult->CellText(row, gdResult->ColumnIndex(QStringLiteral("ticker")))
            : QString();
    });
    TW_STEP(proc, m_tag = QStringLiteral("1"));
    TW_STEP(proc, hide());
}

void frmSymbolLookup::cmdCancel_Click()
{
    Procedure proc("frmSymbolLookup", "cmdCancel_Click");
    TW_STEP(proc, WI->Cancel());
    TW_STEP(proc, m_tag = QStringLiteral("2"));
    TW_STEP(proc, hide());
}

void frmSymbolLookup::gdResult_DblClick()
{
    Procedure proc("frmSymbolLookup", "gdResult_DblClick");
    if (gdResult->Rows() > 0)
        TW_STEP(proc, cmdOK_Click());
}

void frmSymbolLookup::WI_OnProgress(int32_t BytesDownloaded, int32_t BytesTotal)
{
    shielded("frmSymbolLookup.WI_OnProgress", [&] {
        const QLocale locale;
        lblStatus->setText(QStringLiteral(" Downloading: %1 of %2 KB")
                               .arg(locale.toString(BytesDownloaded / 1024.0, 'f', 0),
                                    locale.toString(BytesTotal / 1024.0, 'f', 0)));
    });
}

void frmSymbolLookup::WI_OnStateChanged(int32_t State)
{
    shielded("frmSymbolLookup.WI_OnStateChanged", [&] {
        // The end of an answer too large is no query error.
        if (State == 10 && WI->LastFailure() == WinInet::Failure::TooLarge)
            lblStatus->setText(marketdata::searchFailureTexts(WinInet::Failure::TooLarge).status);
        else
            lblStatus->setText(marketdata::lookupStateText(State));
        if (State == 12) {
            m_Cancelled = true;
            cmdSearch->setText(QStringLiteral("Search"));
        }
    });
}

void frmSymbolLookup::reject()
{
    cmdCancel_Click();
}

void frmSymbolLookup::closeEvent(QCloseEvent* event)
{
    // Closed from the title bar: unloaded once the modal show is over.
    m_unloadRequested = true;
    cmdCancel_Click();
    event->accept();
}

} // namespace tw
