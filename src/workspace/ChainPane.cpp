// The chain pane: the "Stock", "Calls" and "Puts" pages, the quote labels,
// the two chain grids and their popup.

#include "workspace/ChainPane.h"

#include "app/CAppSettings.h"
#include "app/Convert.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "app/Tools.h"
#include "model/Evaluation.h"
#include "model/OptionsCollection.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/TabStrip.h"
#include "platform/WrappedLabel.h"
#include "workspace/AnalysisSession.h"
#include "workspace/GridLayouts.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

namespace tw {

namespace {

// The texts the status line remembers for the withdrawal of a newer one.
constexpr qsizetype kStatusTextsKept = 16;

// Lets the window repaint (status texts during a long fill) without letting
// any user command run in the middle of it.
void repaintPending()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The rows of a chain grid: one per option of a side of the chain, in chain
// order, read from the options when the grid shows them (a big index's chain
// has a hundred thousand). The side is never changed once parsed.
class ChainRows : public platform::GridRowSource {
public:
    ChainRows(std::shared_ptr<const OptionsCollection> side, uint32_t oddBgr, uint32_t evenBgr, const CellFonts& fonts)
        : m_side(std::move(side)), m_odd(colorFromBgr(oddBgr)), m_even(colorFromBgr(evenBgr)), m_fonts(fonts)
    {
    }

    int rowCount() const override { return m_side->Count(); }

    platform::GridValue value(int row, int col) const override
    {
        using V = platform::GridValue;
        const OptionItem& o = **(m_side->begin() + (row - 1));
        switch (col) {
        case 1:
            return V::text(o.Code());
        case 2:
            return V::money(o.StrikePrice().raw());
        case 3:
            return V::date(o.ExpirationDate());
        case 4:
            return V::money(o.LastSale().raw());
        case 5:
            return V::text(o.Net());
        case 6:
            return V::money(o.Bid().raw());
        case 7:
            return V::money(o.Ask().raw());
        case 8:
            return V::integer(o.Volume());
        case 9:
            return V::integer(o.OpenInt());
        case 10:
            return V::text(o.StockExchange());
        default:
            return {};
        }
    }

    platform::GridCellLook look(int row, int col) const override
    {
        // The code in bold; the code and the exchange left, the figures
        // right; the row colours alternate from the first.
        platform::GridCellLook l;
        l.align = (col == 1 || col == 10) ? platform::Grid::DtLeft : platform::Grid::DtRight;
        l.back = row % 2 == 1 ? m_odd : m_even;
        l.fore = Qt::black;
        l.font = col == 1 ? &m_fonts.bold : &m_fonts.plain;
        return l;
    }

private:
    std::shared_ptr<const OptionsCollection> m_side;
    QColor m_odd;
    QColor m_even;
    CellFonts m_fonts;
};

} // namespace

ChainPane::ChainPane(AnalysisSession& session, QWidget* host)
    : WorkspacePane(session, host, QStringLiteral("ChainPane"))
{
    createControls();
    connectControls();
}

ChainPane::~ChainPane() = default;

void ChainPane::createControls()
{
    const auto label = [this](QWidget* parent, const char* n, const char* caption) {
        return named(new QLabel(QString::fromUtf8(caption), parent), n);
    };
    const auto button = [this](QWidget* parent, const char* n, const char* caption) {
        return named(new QPushButton(QString::fromUtf8(caption), parent), n);
    };
    // The quote line.
    lblStockValue = label(this, "lblStockValue", "");
    lblPriceValue = label(this, "lblPriceValue", "");
    lblDateValue = label(this, "lblDateValue", "");
    QFont bold = lblStockValue->font();
    bold.setBold(true);
    for (QLabel* l : {lblStockValue, lblPriceValue, lblDateValue})
        l->setFont(bold);

    tabOptionsNew = named(new platform::TabStrip(this), "tabOptionsNew");
    tabOptionsNew->AddTab(QStringLiteral("Stock"));
    tabOptionsNew->AddTab(QStringLiteral("Calls"));
    tabOptionsNew->AddTab(QStringLiteral("Puts"));
    // The pages over the tab strip's client area.
    fraStock = named(new QFrame(this), "fraStock");
    gdCalls = named(new platform::Grid(this), "gdCalls");
    gdPuts = named(new platform::Grid(this), "gdPuts");

    lblTicker = label(fraStock, "lblTicker", "Stock");
    txtTicker = named(new QLineEdit(fraStock), "txtTicker");
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
    // The window's status line lies on the pane, under the tab strip, so it
    // is seen whatever tab is open.
    lblTickerStatus = named(new platform::WrappedLabel(this), "lblTickerStatus");
    for (QWidget* w : {static_cast<QWidget*>(fraStock), static_cast<QWidget*>(gdCalls), static_cast<QWidget*>(gdPuts)})
        w->raise();
    cmdSave->setEnabled(false);
}

void ChainPane::connectControls()
{
    connect(tabOptionsNew, &platform::TabStrip::TabClick, this, [this](int tab) {
        tabOptionsNew_TabClick(tab);
        emit layoutRequested();
    });
    for (platform::Grid* grid : {gdCalls, gdPuts}) {
        saveGridLayoutOnChange(this, grid, m_RestoringGrid);
        connect(grid, &platform::Grid::MouseUp, this,
                [this, grid](int button, int, double x, double y) { chainGridMouseUp(grid, button, x, y); });
    }
    connect(cmdLoad, &QPushButton::clicked, this, [this] { cmdLoad_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdDownload, &QPushButton::clicked, this, [this] { cmdDownload_Click(); });
    connect(cmdLookup, &QPushButton::clicked, this, [this] { cmdLookup_Click(); });
}

void ChainPane::setPopupMenu(platform::PopupMenu* menu)
{
    m_cOptionsMenu = menu;
    connect(menu, &platform::PopupMenu::Click, this, [this](int item) { m_cOptionsMenu_Click(item); });
}

int ChainPane::selectedTab() const
{
    return tabOptionsNew->SelectedTab();
}

void ChainPane::selectTab(int tab)
{
    tabOptionsNew->setSelectedTab(tab);
}

QRect ChainPane::tabStripRect() const
{
    return tabOptionsNew->rect();
}

QRect ChainPane::tabClientRect() const
{
    return tabOptionsNew->ClientRect();
}

void ChainPane::showTickerStatus(const QString& text)
{
    m_statusShown.removeAll(text);
    m_statusShown.append(text);
    while (m_statusShown.size() > kStatusTextsKept)
        m_statusShown.removeFirst();
    pShowStatus(text);
}

void ChainPane::withdrawTickerStatus(const QString& text)
{
    if (text.isEmpty())
        return;
    m_statusShown.removeAll(text);
    if (lblTickerStatus->text() == text)
        pShowStatus(m_statusShown.isEmpty() ? QString() : m_statusShown.last());
}

void ChainPane::pShowStatus(const QString& text)
{
    if (lblTickerStatus->text() == text)
        return;
    lblTickerStatus->setText(text);
    // A text that needs another height gets it (the line is laid out with
    // the rest of the window).
    if (lblTickerStatus->heightForWidth(lblTickerStatus->width()) != lblTickerStatus->height())
        emit layoutRequested();
}

int ChainPane::tickerStatusHeight(int width) const
{
    return lblTickerStatus->heightForWidth(width);
}

void ChainPane::UpdateControls()
{
    Procedure proc("frmStrategies", "UpdateControls");
    const QList<QLabel*> quoteLabels{lblBid,    lblBidValue,    lblAsk,  lblAskValue,    lblSize,
                                     lblSizeValue, lblVolume, lblVolumeValue, lblNet, lblNetValue};
    const QList<QLabel*> stockLabels{lblStockValue, lblPriceValue, lblDateValue};
    if (session().ObjStock() == nullptr) {
        TW_STEP(proc, {
            for (QLabel* l : quoteLabels + stockLabels)
                l->hide();
            gdCalls->hide();
            gdPuts->hide();
        });
    } else {
        TW_STEP(proc, {
            for (QLabel* l : quoteLabels + stockLabels)
                l->show();
        });
        // User commands wait until both grids are filled.
        m_filling = true;
        const auto done = qScopeGuard([this] { m_filling = false; });
        TW_STEP(proc, {
            showTickerStatus(QStringLiteral(" Loading stock ..."));
            repaintPending();
        });
        TW_STEP(proc, {
            const stock& s = *session().ObjStock();
            const QLocale loc;
            const auto money = [&loc](Currency c) {
                QString t = c.toString();
                return t.replace(QLatin1Char('.'), loc.decimalPoint());
            };
            lblStockValue->setText(QStringLiteral("  ") + s.Code() + QStringLiteral("  "));
            lblDateValue->setText(QStringLiteral("  ") + generalDateText(s.StockDate()).left(22)
                                                 + QStringLiteral("  "));
            lblPriceValue->setText(QStringLiteral(" $ ") + money(s.Price()) + QStringLiteral("  "));
            lblNetValue->setText(QStringLiteral("  ") + s.Net() + QStringLiteral("  "));
            lblBidValue->setText(QStringLiteral("  ") + money(s.Bid()) + QStringLiteral("  "));
            lblAskValue->setText(QStringLiteral("  ") + money(s.Ask()) + QStringLiteral("  "));
            lblSizeValue->setText(QStringLiteral("  ") + s.Size() + QStringLiteral("  "));
            lblVolumeValue->setText(QStringLiteral("  ") + QString::number(s.Volume()) + QStringLiteral("  "));
        });
        TW_STEP(proc, {
            showTickerStatus(QStringLiteral(" Loading calls..."));
            repaintPending();
        });
        const CellFonts fonts = cellFonts(*gdCalls);
        TW_STEP(proc, fillChainGrid(gdCalls, session().ObjStock()->Calls(), 0xF0F0E0, 0xF9F9E9, fonts));
        TW_STEP(proc, {
            showTickerStatus(QStringLiteral(" Loading puts..."));
            repaintPending();
        });
        TW_STEP(proc, fillChainGrid(gdPuts, session().ObjStock()->Puts(), 0xE0F0F0, 0xE9F9E9, fonts));
        TW_STEP(proc, session().NewStockLoaded());
    }
    TW_STEP(proc, {
        repaintPending();
        emit layoutRequested();
    });
    // The status line had the general status label cleared here: it holds
    // one text, which this replaces.
    TW_STEP(proc, showTickerStatus(session().ObjStock() == nullptr ? QStringLiteral(" No ticker data loaded")
                                                                   : QStringLiteral(" Loaded from ") + session().dataFile()));
}

void ChainPane::fillChainGrid(platform::Grid* grid, std::shared_ptr<const OptionsCollection> side, uint32_t oddBgr,
                              uint32_t evenBgr, const CellFonts& fonts)
{
    grid->setRedraw(false);
    const auto redraw = qScopeGuard([grid] { grid->setRedraw(true); });
    RestoreGridHeader(grid);
    grid->setRowSource(std::make_shared<ChainRows>(std::move(side), oddBgr, evenBgr, fonts));
}

QString ChainPane::generalDateText(double serial) const
{
    const QDateTime dt = dateTimeFromSerial(serial);
    const QLocale loc;
    if (dt.time() == QTime(0, 0))
        return loc.toString(dt.date(), QLocale::ShortFormat);
    return loc.toString(dt, QLocale::ShortFormat);
}

void ChainPane::tabOptionsNew_TabClick(int tab)
{
    if (tab < 1 || tab > 3)
        return;
    fraStock->setVisible(tab == 1);
    gdCalls->setVisible(tab == 2);
    gdPuts->setVisible(tab == 3);
    emit pageShown(tab);
}

void ChainPane::SelectInDownloader(int32_t ItemType, const QString& Code)
{
    Procedure proc("frmStrategies", "SelectInDownloader");
    platform::Grid* grid = ItemType == 2 ? gdCalls : (ItemType == 1 ? gdPuts : nullptr);
    if (grid == nullptr)
        return;
    bool found = false;
    TW_STEP(proc, {
        for (int i = 1; i <= grid->Rows(); ++i) {
            if (grid->CellText(i, 1) == Code) {
                grid->setSelectedRow(i);
                grid->EnsureVisible(i, 1);
                found = true;
                break;
            }
        }
    });
    if (found) {
        TW_STEP(proc, tabOptionsNew->setSelectedTab(ItemType == 2 ? 2 : 3));
        TW_STEP(proc, tabOptionsNew_TabClick(tabOptionsNew->SelectedTab()));
    }
}

void ChainPane::AddOption(int32_t Position)
{
    Procedure proc("frmStrategies", "AddOption");
    const auto params = session().selectedParams();
    if (params == nullptr || session().ObjStock() == nullptr)
        return;
    const int tab = tabOptionsNew->SelectedTab();
    if (tab != 2 && tab != 3)
        return;
    platform::Grid* grid = tab == 2 ? gdCalls : gdPuts;
    const auto& chain = tab == 2 ? session().ObjStock()->Calls() : session().ObjStock()->Puts();
    const auto& filtered = tab == 2 ? session().calls() : session().puts();
    const int32_t kind = tab == 2 ? LegKind::Call : LegKind::Put;
    if (grid->SelectedCol() < 1 || grid->SelectedRow() < 1 || grid->SelectedRow() > chain->Count())
        return;
    int32_t position = -1;
    TW_STEP(proc, {
        const OptionItem& option = *chain->Item(grid->SelectedRow());
        position = filtered != nullptr ? filtered->ItemIndex(option.StrikePrice(), option.ExpirationDate()) : -1;
    });
    if (position < 0) {
        TW_STEP(proc, dialogs().messageBox(QStringLiteral("No matching item found, try to select another Exchange!"),
                                           Msg::OkOnly | Msg::Information, QStringLiteral("No matching item found")));
        return;
    }
    int16_t offset = 0;
    int16_t expiration = -1;
    // The leg is placed from the same at-the-money strike the evaluation
    // resolves it at (the stock's last price), so it comes back as the
    // option that was picked.
    TW_STEP(proc, filtered->ItemToParams(position, session().ObjStock()->Price(), offset, expiration));
    if (expiration == -1)
        return;
    TW_STEP(proc, params->Add(kind, Position, offset, expiration, 1));
    TW_STEP(proc, session().legsEdited(true));
}

void ChainPane::m_cOptionsMenu_Click(int itemNumber)
{
    Procedure proc("frmStrategies", "m_cOptionsMenu_Click");
    QString key;
    TW_STEP(proc, key = m_cOptionsMenu->KeyOfItem(itemNumber));
    if (key == QLatin1String("mnuOptionsAddLong")) {
        TW_STEP(proc, AddOption(LegPosition::Long));
    } else if (key == QLatin1String("mnuOptionsAddShort")) {
        TW_STEP(proc, AddOption(LegPosition::Short));
    }
}

void ChainPane::RestoreGridHeader(platform::Grid* grid)
{
    tw::RestoreGridHeader(appSettings(), *grid, m_RestoringGrid, priceColumnHeader(session().priceSource()));
}

void ChainPane::chainGridMouseUp(platform::Grid* grid, int button, double x, double y)
{
    Procedure proc("frmStrategies", grid == gdCalls ? "gdCalls_MouseUp" : "gdPuts_MouseUp");
    if (button != 2 || grid->SelectedRow() <= 0)
        return;
    TW_STEP(proc, {
        const QPoint at = popupPoint(grid, x, y);
        m_cOptionsMenu->ShowAt(at.x(), at.y());
    });
}

} // namespace tw
