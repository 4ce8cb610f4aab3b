// The commands that change the legs of the selected strategy besides the
// in-cell editors: a default leg, an option picked in a chain grid, deleting
// the leg of a row, shifting every strike one step, reached through the
// chain-grid popup and the leg-grid popup (which also edits a cell and
// exports the evaluated legs).

#include "mainwindow/frmStrategies.h"

#include "app/Convert.h"
#include "app/Dialogs.h"
#include "app/Procedure.h"
#include "model/OptionsCollection.h"
#include "model/StrategyTemplates.h"
#include "model/stock.h"
#include "platform/Grid.h"
#include "platform/PopupMenu.h"
#include "platform/TabStrip.h"
#include "workspace/LegEditRules.h"

#include <QApplication>
#include <QGroupBox>
#include <QScopeGuard>

namespace tw {

void frmStrategies::connectLegMenus()
{
    connect(m_cParamsMenu, &platform::PopupMenu::Click, this, [this](int item) { m_cParamsMenu_Click(item); });
    connect(m_cOptionsMenu, &platform::PopupMenu::Click, this, [this](int item) { m_cOptionsMenu_Click(item); });
}

void frmStrategies::legGridMouseUp(platform::Grid* grid, int button, double x, double y)
{
    Procedure proc("frmStrategies", grid == gdParams ? "gdParams_MouseUp" : "gdSelected_MouseUp");
    if (button != 2 || grid->Rows() < 1)
        return;
    // An editor open on the grid is left (and so written) first.
    TW_STEP(proc, grid->EndEdit());
    TW_STEP(proc, grid->setFocus(Qt::MouseFocusReason));
    TW_STEP(proc, {
        m_popupGrid = grid;
        QWidget* frame = grid == gdParams ? static_cast<QWidget*>(fraParams) : static_cast<QWidget*>(fraOptions);
        const QPoint at = popupPoint(frame, grid, x, y);
        m_cParamsMenu->ShowAt(at.x(), at.y());
    });
}

platform::Grid* frmStrategies::activeLegGrid() const
{
    if (m_commandGrid != nullptr)
        return m_commandGrid;
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == gdParams || gdParams->isAncestorOf(focus)) ? gdParams : gdSelected;
}

void frmStrategies::refreshLegGrids(const std::shared_ptr<ParamsCollection>& params)
{
    const int pr = gdParams->SelectedRow();
    const int pc = gdParams->SelectedCol();
    UpdateParamsList(*params);
    if (pr >= 1 && pc >= 1)
        gdParams->setCellSelected(pr, pc);
    const int sr = gdSelected->SelectedRow();
    const int sc = gdSelected->SelectedCol();
    m_session->SelectOptions(params);
    if (sr >= 1 && sc >= 1)
        gdSelected->setCellSelected(sr, sc);
}

void frmStrategies::legsChanged(bool markChanged)
{
    const auto params = m_session->selectedParams();
    if (params == nullptr)
        return;
    UpdateParamsList(*params);
    m_session->SelectOptions(params);
    if (markChanged)
        m_session->setStrategiesChanged(true);
}

void frmStrategies::AddNewParam()
{
    Procedure proc("frmStrategies", "AddNewParam");
    const auto params = m_session->selectedParams();
    if (params == nullptr)
        return;
    TW_STEP(proc, params->Add(LegKind::Call, LegPosition::Long, 0, 3, 1));
    TW_STEP(proc, m_NewLegFlag = true);
    TW_STEP(proc, legsChanged(true));
}

void frmStrategies::AddOption(int32_t Position)
{
    Procedure proc("frmStrategies", "AddOption");
    const auto params = m_session->selectedParams();
    if (params == nullptr || m_session->ObjStock() == nullptr)
        return;
    const int tab = tabOptionsNew->SelectedTab();
    if (tab != 2 && tab != 3)
        return;
    platform::Grid* grid = tab == 2 ? gdCalls : gdPuts;
    const auto& chain = tab == 2 ? m_session->ObjStock()->Calls() : m_session->ObjStock()->Puts();
    const auto& filtered = tab == 2 ? m_session->calls() : m_session->puts();
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
    TW_STEP(proc, filtered->ItemToParams(position, m_session->ObjStock()->Price(), offset, expiration));
    if (expiration == -1)
        return;
    TW_STEP(proc, params->Add(kind, Position, offset, expiration, 1));
    TW_STEP(proc, legsChanged(true));
}

void frmStrategies::DeleteParams()
{
    Procedure proc("frmStrategies", "DeleteParams");
    const auto params = m_session->selectedParams();
    if (params == nullptr)
        return;
    platform::Grid* source = activeLegGrid();
    const int r = source->SelectedRow();
    if (r < 1 || r > params->Count())
        return;
    TW_STEP(proc, params->Remove(r));
    TW_STEP(proc, refreshLegGrids(params));
    TW_STEP(proc, m_session->setStrategiesChanged(true));
}

void frmStrategies::ShiftStrikes(int step)
{
    Procedure proc("frmStrategies", step > 0 ? "ShiftStrikesUp" : "ShiftStrikesDown");
    const auto params = m_session->selectedParams();
    if (params == nullptr)
        return;
    // A shift that moves a strike changes the library like any other edit
    // and is not to be lost at exit without a question.
    bool moved = false;
    TW_STEP(proc, {
        for (const auto& leg : *params) {
            if (leg->ItemType() == LegKind::Stock)
                continue;
            const int16_t offset = shiftedOffset(leg->StrikePrice(), step);
            moved = moved || offset != leg->StrikePrice();
            leg->setStrikePrice(offset);
        }
    });
    TW_STEP(proc, legsChanged(moved));
}

void frmStrategies::m_cOptionsMenu_Click(int itemNumber)
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

void frmStrategies::m_cParamsMenu_Click(int itemNumber)
{
    Procedure proc("frmStrategies", "m_cParamsMenu_Click");
    QString key;
    TW_STEP(proc, key = m_cParamsMenu->KeyOfItem(itemNumber));
    // The commands work on the grid the menu was opened on, whatever holds
    // the focus while the menu is up.
    m_commandGrid = m_popupGrid;
    const auto done = qScopeGuard([this] { m_commandGrid = nullptr; });
    if (key == QLatin1String("mnuParamsAdd")) {
        TW_STEP(proc, AddNewParam());
    } else if (key == QLatin1String("mnuParamsEdit")) {
        TW_STEP(proc, {
            platform::Grid* grid = activeLegGrid();
            grid->RequestEditAt(grid->SelectedRow(), grid->SelectedCol());
        });
    } else if (key == QLatin1String("mnuParamsDelete")) {
        TW_STEP(proc, DeleteParams());
    } else if (key == QLatin1String("mnuParams1StepUp")) {
        TW_STEP(proc, ShiftStrikes(1));
    } else if (key == QLatin1String("mnuParams1StepDown")) {
        TW_STEP(proc, ShiftStrikes(-1));
    } else if (key == QLatin1String("mnuParamsExportToExcel")) {
        TW_STEP(proc, ExportStrategyToExcel());
    }
}

} // namespace tw
